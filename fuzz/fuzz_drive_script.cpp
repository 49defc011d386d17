// The operator-script parser of tillora-drive.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/drive_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tillora;
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<ScriptAction> actions;
    std::string error;
    const bool ok = tillora::parse_script(script, actions, error);
    // A refused script says where; an accepted one has no error text.
    if (ok != error.empty()) __builtin_trap();
    if (!ok && error.rfind("line ", 0) != 0) __builtin_trap();
    return 0;
}
