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

// The installation folder: TILLORA_HOME when set, otherwise the folder of the executable
// (`argv0`, resolved through /proc/self/exe when possible).
std::filesystem::path installation_folder(const char* argv0);

}  // namespace tillora
