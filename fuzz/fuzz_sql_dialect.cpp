// The translation of the reports' SQL dialect and the lifting of literals out of statements.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/store.h"
#include "platform/store_detail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tillora;
    const std::string_view sql(reinterpret_cast<const char*>(data), size);
    (void)translate_dialect(sql);
    const detail::StatementKey key = detail::parametrise(sql);
    // Lifting never invents literals: each one came out of the text.
    if (key.params.size() > sql.size()) __builtin_trap();
    (void)detail::parse_updatable(sql);
    return 0;
}
