// The tickets of a ticket list with their sums, read in one pass: one grouped statement over the
// range gives, in ticket order, each ticket the list selects with what its four sum statements
// and its row look-up would give, instead of a selection and five statements per ticket.
#pragma once

#include <optional>
#include <string>

#include "platform/store.h"

namespace tillora {

// The statements of one ticket list, each a text of " and ..." conditions as it follows
// "where " or "where ticket = ...": the selected lines, the summed lines and the service-charge
// lines must all be rows.
struct TicketLines {
    std::string selection;  // the lines that select a ticket (without the leading " and ")
    std::string rows;       // the rows that may give the server ("" for every row)
    std::string lines;      // the lines summed for base, service charge and tax
    std::string charges;    // the service-charge lines added to the service charge; "" for none
    std::string range;      // the range filter
};

// What one ticket's own statements give: the first field of each sum query (null when no line
// matched) and, when all of the ticket's rows agree on it, the server of its first row.
struct TicketSums {
    Value base;
    Value srvchg;
    Value charge;  // the service-charge lines' sum; null also when the list adds none
    Value tax;
    std::optional<Value> server;  // nullopt: the rows name different servers
};

// The selected tickets in ticket order (null, numbers, then text), each once.
class TicketPass {
  public:
    // Runs the grouped statement on `src`. Throws StoreError.
    TicketPass(Database& src, const TicketLines& lines);

    // The statement it runs.
    const std::string& sql() const { return sql_; }
    // The number of tickets selected.
    long count() const { return count_; }
    bool eof() const { return groups_.eof(); }
    // Throws StoreError at the end.
    void move_next();
    const Value& ticket() const;
    TicketSums sums() const;

  private:
    Database& src_;
    std::string sql_;
    Recordset groups_;
    long count_ = 0;
    long next_ = 1;  // the position move_next goes to
    bool charges_;   // the statement has the service-charge lines' sum
};

}  // namespace tillora
