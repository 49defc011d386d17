#include "reports/other/removed_items.h"

#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "engine/removed_lines.h"
#include "panel/range.h"

namespace tillora {

namespace {

std::string total_line(const std::string& text, Currency amount) {
    return left_column(text, 30) + money_column(amount, "#####.#0", 9);
}

std::string detail(Recordset& rs) {
    return left_column(trim(rs.field("server").as_text()), 7) +
           left_column(rs.field("ticket").as_text(), 10) +
           left_column(rs.field("saletext").as_text(), 13) +
           money_column(rs.field("poschitbase").as_currency(), "#####.#0", 9);
}

// The server total line, then a blank line on paper.
void close_server(Station& s, Currency& subtotal, Currency& grand) {
    print(s, total_line("Server Total:", subtotal));
    grand += subtotal;
    subtotal = Currency{};
    if (s.st.closeoutmode == 0) print_direct(s, s.st.blankline);
}

void print_removed(Station& s) {
    select_printer_unless_batch(s, /*report_invalid=*/false);
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    print_header(s, "Removed Items");
    print(s, "Server Ticket    Item Desc         Base");
    Currency subtotal, grand;
    long count = 0;
    skip_errors(s, [&] {
        Recordset rs = rpt->open_recordset(kRemovedLinesRows);
        while (!rs.eof()) {
            subtotal += rs.field("poschitbase").as_currency();
            ++count;
            print(s, detail(rs));
            const Value server = rs.field("server");
            rs.move_next();
            if (!rs.eof() && !(rs.field("server") == server)) close_server(s, subtotal, grand);
        }
    });
    close_server(s, subtotal, grand);
    print(s, total_line("Grand Total:", grand));
    print(s, s.st.dashline);
    s.yield();
    print(s, "Removed Count:   " + (count == 0 ? std::string() : std::to_string(count)));
    print(s, s.st.dashline);
    s.yield();
    feed_and_end(s);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

}  // namespace

void cmdserver9_click(Station& s) {
    run_guarded_report(
        s, "Removed Items", "Removed Items", [&] { gather_removed_lines(s); },
        [&] { print_removed(s); });
}

}  // namespace tillora
