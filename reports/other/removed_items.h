// The removed items report: lines removed from tickets, grouped by server.
#pragma once

#include "panel/station.h"

namespace tillora {

// cmdserver9: copies the removed lines of the range into the work copy of xact, then prints them
// by server and ticket with server subtotals, a grand total and the count.
void cmdserver9_click(Station& s);

}  // namespace tillora
