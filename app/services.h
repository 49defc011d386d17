// The platform services one program run works with, chosen at start: the UI (Qt, scripted or
// unattended), the printers (spool or CUPS), the clock (system or fixed) and the installation
// folder that every relative file name resolves in.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/printer.h"
#include "platform/ui.h"

namespace tillora {

struct Services {
    Ui& ui;
    PrinterSystem& printers;
    const Clock& clock;
    std::filesystem::path home;  // the program folder (working folder)

    // A file name as the program uses it: absolute names stay, relative ones resolve in `home`.
    std::filesystem::path resolve(const std::string& name) const;
};

// Where an installed program finds its installation when TILLORA_HOME is not set: the one line
// of this file, else kDefaultInstallationFolder.
inline constexpr const char* kInstallationFolderFile = "/etc/tillora/home";
inline constexpr const char* kDefaultInstallationFolder = "/var/lib/tillora";

// The installation folder: TILLORA_HOME when set (`tillora_home` non-empty); for a program run
// from its build folder (the one holding CMakeCache.txt), the folder of `executable`; for an
// installed program, the first line of `folder_file` when it names a folder, else
// kDefaultInstallationFolder. Never fails: an unreadable `folder_file` counts as missing.
std::filesystem::path installation_folder_for(const char* tillora_home,
                                              const std::filesystem::path& executable,
                                              const std::filesystem::path& folder_file);

// installation_folder_for with the environment, the running executable (`argv0`, resolved
// through /proc/self/exe when possible) and kInstallationFolderFile.
std::filesystem::path installation_folder(const char* argv0);

}  // namespace tillora
