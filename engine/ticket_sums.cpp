#include "engine/ticket_sums.h"

#include <string_view>

namespace tillora {

namespace {

// " and a and b" as a condition of its own: "a and b".
std::string without_and(const std::string& conditions) {
    constexpr std::string_view kAnd = " and ";
    return conditions.starts_with(kAnd) ? conditions.substr(kAnd.size()) : conditions;
}

// The sum of `column` over the lines of `lines` among a group's rows: the other rows add null,
// which a sum leaves out, so it is null when no line matches, as the per-ticket query is.
std::string sum_of(const std::string& column, const std::string& lines) {
    return ", sum(case when " + without_and(lines) + " then " + column + " end)";
}

// Fields: ticket, rows, rows with a server, lowest and highest server, base, service charge,
// tax and, when the list adds them, the service-charge lines.
enum Field : std::size_t { kTicket, kRows, kServers, kLowest, kHighest, kBase, kSrvchg, kTax };
constexpr std::size_t kCharges = kTax + 1;

std::string grouped(const TicketLines& l) {
    std::string sql = "select ticket, count(*), count(server), min(server), max(server)";
    sql += sum_of("poschitbase", l.lines) + sum_of("poschitsrvchg", l.lines) +
           sum_of("poschittax", l.lines);
    if (!l.charges.empty()) sql += sum_of("poschitsrvchg", l.charges);
    return sql + " from xact where " + without_and(l.rows + l.range) +
           " group by ticket order by ticket";
}

// Where a group's ticket stands beside the whole number `ticket` in the order of "order by
// ticket" (null, then numbers, then text): below 0 before it, 0 the same ticket, above 0 after.
// A group whose ticket is not a whole number is never the same ticket: the caller then runs the
// ticket's own statements.
int compare(const Value& group, std::int64_t ticket) {
    if (group.is_null()) return -1;
    if (const auto* whole = std::get_if<std::int64_t>(&group.data())) {
        return (*whole > ticket) - (*whole < ticket);
    }
    if (const auto* real = std::get_if<double>(&group.data())) {
        return *real < static_cast<double>(ticket) ? -1 : 1;
    }
    return 1;  // text sorts after every number
}

}  // namespace

TicketSumsPass::TicketSumsPass(Database& src, const TicketLines& lines)
    : groups_(src.open_recordset(grouped(lines))), charges_(!lines.charges.empty()) {}

std::optional<TicketSums> TicketSumsPass::of(std::int64_t ticket) {
    for (; !groups_.eof(); groups_.move_next()) {
        const int order = compare(groups_.field(kTicket), ticket);
        if (order < 0) continue;
        if (order > 0) return std::nullopt;
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
        groups_.move_next();
        return sums;
    }
    return std::nullopt;
}

}  // namespace tillora
