// The removed lines of a range (status -76), copied whole into the work copy of xact in the
// report database; Removed Items prints them and the day page counts them.
#pragma once

#include "panel/station.h"

namespace tillora {

// The work copy's rows in the order Removed Items prints them.
inline constexpr const char* kRemovedLinesRows = "select * from xact order by server, ticket";

// Empties the work copy of xact in rptdb and copies every removed line of the range as it
// stands into it, field by position, in ticket order. Throws StoreError when a database fails.
void gather_removed_lines(Station& s);

}  // namespace tillora
