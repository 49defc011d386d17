#include "reports/server/server_frame.h"

#include "engine/pipeline.h"
#include "engine/print_frame.h"

namespace tillora {

std::optional<std::string> sql_number(const Value& key) {
    if (key.is_null() || key.is_empty()) return std::nullopt;
    return sql_key(key);
}

}  // namespace tillora
