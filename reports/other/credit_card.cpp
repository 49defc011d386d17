#include "reports/other/credit_card.h"

#include <optional>

#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "platform/text.h"

namespace tillora {

namespace {

// The first card payment of a ticket, as printed.
struct CardPayment {
    std::int64_t cents = 0;
    std::string number, name, month, year, refcode, orderid;
};

// The first card row of `ticket`, if any. Both sets are in ticket order, so the card set is
// walked once for the whole list: rows of smaller tickets are passed (only their ticket number is
// read) and the walk stops at the first row of a larger ticket.
std::optional<CardPayment> first_payment(Recordset& cards, std::int64_t ticket) {
    for (; !cards.eof(); cards.move_next()) {
        const std::int64_t t = cards.field("ticket").as_int();
        if (t > ticket) return std::nullopt;
        if (t < ticket) continue;
        return CardPayment{
            cards.field("amount").as_int(),        cards.field("ccnumber").as_text(),
            cards.field("ccname").as_text(),       cards.field("expmonth").as_text(),
            cards.field("expyear").as_text(),      cards.field("resultrefcode").as_text(),
            cards.field("resultorderid").as_text()};
    }
    return std::nullopt;
}

Currency cents(std::int64_t c) {
    return Currency::from_units(c * 100);
}

std::string first_line(const std::string& ticket, const CardPayment& p) {
    const std::string number = trim(p.number);
    return left_column(ticket, 8) + right_column(last_chars(number, 4), 4) + " " +
           left_column(trim(p.name), 12) + left_column(p.month, 2) + "/" + left_column(p.year, 4) +
           " " + money_column(cents(p.cents), "#######.#0", 7);
}

std::string second_line(const CardPayment& p) {
    return "  " + left_column(p.refcode, 24) + left_column(p.orderid, 14);
}

void print_header_and_list(Station& s, Recordset& tickets, Recordset& cards) {
    const ModuleState& st = s.st;
    const std::string from = std::to_string(st.fromdate), to = std::to_string(st.todate);
    print(s, "Credit Card Report");
    print(s, "Date printed: " + s.svc.clock.date_text() + " Time: " + s.svc.clock.time_text());
    print(s, "From date: " + from + " to: " + to);
    print(s, "Time range   :" + st.fromtime + " - " + st.totime);
    print(s, "Printed by Emp#: " + s.form.txtempid.text);
    print(s, "Workstation #  : " + st.unitstr);
    print(s, st.dashline);
    print(s, "Ticket Card# Name        ExpDate   Total");
    print(s, "   RefCode-AuthCode       OrderID/RefNo");
    print(s, st.dashline);
    std::int64_t total = 0;
    long count = 0;
    for (; !tickets.eof(); tickets.move_next()) {
        const Value ticket = tickets.field(std::size_t{0});
        const auto payment = first_payment(cards, ticket.as_int());
        if (!payment) continue;
        total += payment->cents;
        ++count;
        print(s, first_line(default_text(ticket), *payment));
        print(s, second_line(*payment));
        print(s, " ");
    }
    print(s, left_column("Total:", 30) + money_column(cents(total), "#######.#0", 10));
    print(s, st.dashline);
    s.yield();
    print(s, "Count:   " + (count == 0 ? std::string() : std::to_string(count)));
    print(s, st.dashline);
    s.yield();
    feed_and_end(s);
}

// The card rows are walked beside the ticket list from its first ticket: rows of smaller
// tickets would only be passed over, and the store keeps every day's. A list that starts with a
// ticket that is not a whole number (null sorts first) walks every card row, as before.
std::string from_first_ticket(const Recordset& tickets) {
    const Value& first = tickets.field(std::size_t{0});
    if (!std::holds_alternative<std::int64_t>(first.data())) return "";
    return " and ticket >= " + std::to_string(first.as_int());
}

void print_credit_cards(Station& s) {
    ModuleState& st = s.st;
    if (st.closeoutmode == 0 && st.printall == 0) select_printer(s, /*report_invalid=*/false);
    set_receipt_lines(s);
    auto db = open_transaction_db(s);
    st.sqlstring = "select distinct ticket from xact where poschitdate between " +
                   std::to_string(st.fromdate) + " and " + std::to_string(st.todate) +
                   " and postendtype between 3 and 8 order by ticket";
    Recordset tickets = db->open_recordset(st.sqlstring);
    if (tickets.record_count() == 0) {
        st.msg = "No credit card transactions between " + std::to_string(st.fromdate) + " and " +
                 std::to_string(st.todate);
        if (st.closeoutmode == 0) s.message(st.msg, "Oops...", Icon::Information);
        return;
    }
    st.sqlstring =
        "select * from ccard where status >= 3" + from_first_ticket(tickets) + " order by ticket";
    Recordset cards = db->open_recordset(st.sqlstring);
    print_header_and_list(s, tickets, cards);
}

}  // namespace

void cmdcreditcard_click(Station& s) {
    if (!report_guard(s)) return;
    show_status(s, "Credit Card Report");
    take_dates(s);
    if (run_report(s, "Credit Card Report", [&] { print_credit_cards(s); })) finish_print(s);
    per_report_reset(s);
}

}  // namespace tillora
