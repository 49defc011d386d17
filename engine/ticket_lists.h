// The ticket list reports: one line per ticket with its server, base, service charge, tax and
// total. The five reports share one gather and one print step; what differs is a table row.
#pragma once

#include "panel/station.h"

namespace tillora {

void cmdserver3_click(Station& s);  // All Closed Tickets
void cmdserver5_click(Station& s);  // Cleared Tickets (with the cleared entries of the audit file)
void cmdserver7_click(Station& s);  // Main Hold Sales (the shared held-ticket database)
void cmdserver8_click(Station& s);  // Local Hold Sales
void cmdunsentxact_click(Station& s);  // Un-sent Xact (dates only)

}  // namespace tillora
