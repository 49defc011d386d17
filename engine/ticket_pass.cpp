#include "engine/ticket_pass.h"

#include <string_view>

namespace tillora {

namespace {

// " and a and b" as a condition of its own: "a and b".
std::string without_and(const std::string& conditions) {
    constexpr std::string_view kAnd = " and ";
    return conditions.starts_with(kAnd) ? conditions.substr(kAnd.size()) : conditions;
}

// The sum of `column` over the lines of `lines` among a ticket's rows: the other rows add null,
// which a sum leaves out, so it is null when no line matches, as the per-ticket query is.
std::string sum_of(const std::string& column, const std::string& lines) {
    return ", sum(case when " + without_and(lines) + " then " + column + " end)";
}

// Fields: ticket, tickets selected, rows, rows with a server, lowest and highest server, base,
// service charge, tax and, when the list adds them, the service-charge lines.
enum Field : std::size_t {
    kTicket,
    kSelected,
    kRows,
    kServers,
    kLowest,
    kHighest,
    kBase,
    kSrvchg,
    kTax,
    kCharges
};

// The tickets with a selected line among their rows of the range: the same tickets as "select
// distinct ticket ... where <selection>" (the selected lines are rows), in the same order.
std::string grouped(const TicketLines& l) {
    std::string sql =
        "select ticket, count(*) over (), count(*), count(server), min(server), max(server)";
    sql += sum_of("poschitbase", l.lines) + sum_of("poschitsrvchg", l.lines) +
           sum_of("poschittax", l.lines);
    if (!l.charges.empty()) sql += sum_of("poschitsrvchg", l.charges);
    return sql + " from xact where " + without_and(l.rows + l.range) +
           " group by ticket having count(case when " + l.selection +
           " then 1 end) > 0 order by ticket";
}

}  // namespace

TicketPass::TicketPass(Database& src, const TicketLines& lines)
    : src_(src),
      sql_(grouped(lines)),
      groups_(src.open_recordset(sql_)),
      charges_(!lines.charges.empty()) {
    if (!groups_.eof()) count_ = static_cast<long>(groups_.field(kSelected).as_int());
}

void TicketPass::move_next() {
    groups_.move_next();
    // Past the last ticket the statement ends and frees its sorted rows (25 ms for a year):
    // that step runs beside the window.
    if (next_++ == count_) src_.run_beside([this] { (void)groups_.eof(); });
}

const Value& TicketPass::ticket() const {
    return groups_.field(kTicket);
}

TicketSums TicketPass::sums() const {
    TicketSums sums{groups_.field(kBase), groups_.field(kSrvchg),
                    charges_ ? groups_.field(kCharges) : Value::null(), groups_.field(kTax),
                    std::nullopt};
    // Rows that all name one server (or none) give it whichever of them comes first.
    const std::int64_t servers = groups_.field(kServers).as_int();
    if (servers == 0) {
        sums.server = Value::null();
    } else if (servers == groups_.field(kRows).as_int() &&
               groups_.field(kLowest) == groups_.field(kHighest)) {
        sums.server = groups_.field(kLowest);
    }
    return sums;
}

}  // namespace tillora
