// The node file reader: any text as ravonode.ini, item by item, then the derived names.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/node_file.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tillora;
    ModuleState st;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& item : split_items(text)) apply_node_item(st, item);
    derive_database_names(st);
    // The names are built from 16-bit numbers: the two-digit unit text is always two digits.
    if (st.unitstr.size() != 2) __builtin_trap();
    return 0;
}
