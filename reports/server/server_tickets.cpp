#include "reports/server/server_tickets.h"

#include <memory>

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "engine/ticket_lists.h"
#include "panel/range.h"
#include "reports/server/my_sales.h"
#include "reports/server/server_frame.h"

namespace tillora {

namespace {

// One work row for ticket `ticket`: the server's counted lines and service-charge lines.
void add_ticket_row(Station& s, Database& src, Database& rpt, Recordset& ar, const Value& ticket,
                    const std::string& number) {
    const std::string id = operator_text(s);
    const std::string f = " and server = " + id + range_filter(s.st);
    const std::string of_ticket = "server = " + id + " and ticket = " + number;
    sum_key_lines(s, src,
                  of_ticket + " and (itemnumber > 0 or itemnumber = -5) and status > -10" + f,
                  of_ticket + " and itemnumber = -2 and status > -10" + f);
    add_amount_row(s, rpt, src, ar, {{"ardate", ticket}});
}

void gather(Station& s) {
    auto rpt = open_report_db(s);
    s.st.sqlstring = "delete * from ar";
    rpt->execute(s.st.sqlstring);
    s.yield();
    auto src = open_transaction_db(s);
    s.st.sqlstring = "select distinct ticket from xact where server = " + operator_text(s) +
                     " and status >= 2" + range_filter_ordered(s.st, "ticket");
    Recordset tickets = src->open_recordset(s.st.sqlstring);
    if (tickets.record_count() > 0) {
        Recordset ar = rpt->open_recordset("select * from ar", SetKind::Updatable);
        s.yield();
        for (; !tickets.eof(); tickets.move_next()) {
            const Value& ticket = tickets.field(std::size_t{0});
            if (const auto number = sql_number(ticket)) {
                add_ticket_row(s, *src, *rpt, ar, ticket, *number);
            }
        }
    }
    rpt->idle();
}

// Straight to the receipt printer, after its own selection; the job stays open for the summary.
void print_tickets(Station& s) {
    if (!select_printer(s)) {
        finish_print(s);
        return;
    }
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    for (const std::string& line : header_lines(s, "Server Item Sales by Ticket #", true)) {
        print_direct(s, line);
    }
    print_amount_section(
        s, rpt.get(),
        {"Ticket #      Base    S/C    Tax   Total",
         "select * from ar where ardate > 0 order by ardate", "ardate", "Ticket Count:   "},
        print_direct);
    for (int i = 0; i < 4; ++i) print_direct(s, s.st.blankline);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

}  // namespace

void cmdserver2_click(Station& s) {
    verifydate(s);
    take_dates(s);
    s.form.ownsalesonly = 1;
    if (run_report(s, "Server Item Sales by Ticket #", [&] { gather(s); })) print_tickets(s);
    per_report_reset(s);
    cmdserver1_click(s);
    cmdserver8_click(s);
    if (s.st.offlinemode == 0) cmdserver7_click(s);
    append_operator_audit_entry(s, "MyTktRpt");
}

}  // namespace tillora
