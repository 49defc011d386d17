// Server Totals and Server Clear Totals: one line per server with base, service charge, tax and
// total for the range. The two reports share one gather and one print step; what differs is a
// table row.
#pragma once

#include "panel/station.h"

namespace tillora {

// Server Totals: the lines of closed tickets, -5 lines and service-charge lines included.
// A database failure gives an "Oops..." message; nothing is printed then.
void cmdserver4_click(Station& s);
// Server Clear Totals: the sold items of cleared tickets. Fails as cmdserver4_click.
void cmdserver6_click(Station& s);

}  // namespace tillora
