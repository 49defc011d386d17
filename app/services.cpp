#include "app/services.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace tillora {

fs::path Services::resolve(const std::string& name) const {
    fs::path p(name);
    if (p.is_absolute()) return p;
    return home / p;
}

fs::path installation_folder(const char* argv0) {
    if (const char* env = std::getenv("TILLORA_HOME"); env != nullptr && *env != '\0') {
        return fs::absolute(env);
    }
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 != nullptr) exe = fs::absolute(argv0, ec);
    return exe.parent_path();
}

}  // namespace tillora
