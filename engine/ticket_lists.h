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

// The work rows a ticket list prints and counts, in ticket order.
inline constexpr const char* kTicketListRows = "select * from ar where ardate > 0 order by ardate";

// The ticket selection of All Closed Tickets for the range as it stands: one row per ticket, the
// ticket number first, in ticket order (the list prints those numbered above 0).
std::string closed_ticket_selection(const Station& s);

// The gather step of Cleared Tickets (with the cleared entries of the audit file): empties ar and
// fills it for the range as it stands. Throws StoreError.
void gather_cleared_tickets(Station& s);

}  // namespace tillora
