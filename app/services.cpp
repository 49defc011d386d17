#include "app/services.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace tillora {

fs::path Services::resolve(const std::string& name) const {
    fs::path p(name);
    if (p.is_absolute()) return p;
    return home / p;
}

namespace {

// The first line of `file` without surrounding blanks; "" when it cannot be read.
std::string first_line(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return "";
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

fs::path installation_folder_for(const char* tillora_home, const fs::path& executable,
                                 const fs::path& folder_file) {
    if (tillora_home != nullptr && *tillora_home != '\0') return fs::absolute(tillora_home);
    const fs::path program_folder = executable.parent_path();
    std::error_code ec;
    if (fs::exists(program_folder / "CMakeCache.txt", ec)) return program_folder;
    if (const std::string line = first_line(folder_file); !line.empty()) {
        return fs::absolute(line, ec);
    }
    return kDefaultInstallationFolder;
}

fs::path installation_folder(const char* argv0) {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 != nullptr) exe = fs::absolute(argv0, ec);
    return installation_folder_for(std::getenv("TILLORA_HOME"), exe, kInstallationFolderFile);
}

}  // namespace tillora
