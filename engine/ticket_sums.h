// The sums of every ticket of a range read in one pass: one grouped statement in ticket order,
// walked beside a ticket list's selection (also in ticket order), gives each ticket what its four
// sum statements and its row look-up would give, without running five statements per ticket.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/store.h"

namespace tillora {

// What one ticket's own statements give: the first field of each sum query (null when no line
// matched) and, when all of the ticket's rows agree on it, the server of its first row.
struct TicketSums {
    Value base;
    Value srvchg;
    Value charge;  // the service-charge lines' sum; null also when the list adds none
    Value tax;
    std::optional<Value> server;  // nullopt: the rows name different servers
};

// The lines of one ticket list as its per-ticket statements select them, each a text of
// " and ..." conditions: the summed lines and the service-charge lines must be rows too.
struct TicketLines {
    std::string rows;     // the rows that may give the server ("" for every row)
    std::string lines;    // the lines summed for base, service charge and tax
    std::string charges;  // the service-charge lines added to the service charge; "" for none
    std::string range;    // the range filter
};

class TicketSumsPass {
  public:
    // Opens the grouped statement over the rows of the range on `src`. Throws StoreError.
    TicketSumsPass(Database& src, const TicketLines& lines);

    // The sums of the whole-number ticket `ticket`; nullopt when the pass holds no group for it
    // (the caller then runs the ticket's own statements). Tickets must be asked for in ascending
    // order. Throws StoreError.
    std::optional<TicketSums> of(std::int64_t ticket);

  private:
    Recordset groups_;
    bool charges_;  // the statement has the service-charge lines' sum
};

}  // namespace tillora
