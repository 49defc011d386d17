// Pieces the server reports share besides the money rows of the engine: selected keys as the
// statements write them and the audit entry a server report leaves behind.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/amount_rows.h"
#include "panel/station.h"
#include "platform/store.h"

namespace tillora {

// A selected key (server, ticket, item number, tender type) as the statements write it
// (sql_key: the numeric value in plain decimal). A null key gets no row of these reports:
// nullopt.
std::optional<std::string> sql_number(const Value& key);

}  // namespace tillora
