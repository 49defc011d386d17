// The node file ravonode.ini: which workstation this is and where the shared folder lies, and
// the database names derived from it.
#pragma once

#include <cstdint>
#include <string>

#include "app/module_state.h"
#include "app/services.h"

namespace tillora {

inline constexpr const char* kNodeFileName = "ravonode.ini";

// Applies one item of the node file: a key (case-insensitive) followed by its value. Items that
// match no key are ignored.
void apply_node_item(ModuleState& st, const std::string& item);

// Reads ravonode.ini from the installation folder item by item, yields, then builds rptdb,
// unitstr and xactdb. A missing file shows "This node has not been initialized." titled
// "Invalid Installation" and leaves every name as it was; an unreadable one shows why. Returns
// false in both cases.
bool read_node_file(ModuleState& st, Services& svc);

// rptdb, unitstr and xactdb from posunit and nodenumber.
void derive_database_names(ModuleState& st);

// The last two characters of "00" followed by the number ("03" for 3, "23" for 123).
std::string two_digit_unit(long number);

// A 16-bit integer from a numeric value, rounded to the nearest (halves to even); values that
// do not fit give 0.
std::int16_t to_int16(double value);
// A 32-bit integer from a numeric value, rounded likewise; values that do not fit give 0.
std::int32_t to_int32(double value);

}  // namespace tillora
