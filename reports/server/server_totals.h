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

// The work rows Server Totals prints and totals, in order: servers numbered 0 and up.
inline constexpr const char* kServerTotalsRows =
    "select * from ar where aracctnum >= 0 order by aracctnum";

// The gather step of Server Totals: empties ar and fills it with one row per server for the
// range as it stands (fromdate, todate, fromtime, totime). Throws StoreError.
void gather_server_totals(Station& s);

// Where-clauses (after "where ") of the lines Server Totals adds up for the range as it stands,
// of all servers: the lines of its three sums, and its service-charge lines.
struct ServerTotalsLines {
    std::string sums;
    std::string service_charges;
};
ServerTotalsLines server_totals_lines(const ModuleState& st);

}  // namespace tillora
