#include "reports/server/server_totals.h"

#include <memory>

#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/range.h"
#include "reports/server/server_frame.h"

namespace tillora {

namespace {

// What one member of the family selects and prints.
struct ServerTotals {
    const char* status_text;       // shown in helpwindow
    const char* title;             // first header line
    const char* condition;         // state of the tickets, in every query
    const char* lines;             // lines counted in the three sums
    bool service_charge_lines;     // -2 lines added to the service charge
    bool select_during_print_all;  // printer selection and set-up while printall is 1
};

// clang-format off
const ServerTotals kServerTotals{"Server Totals Report", "All Servers - Closed Tickets",
                                 "status >= 2", " and (itemnumber > 0 or itemnumber = -5)",
                                 true, true};
const ServerTotals kServerClearTotals{"Server 'Clear' Totals", "Server Cleared Ticket Totals",
                                      "status = -86", " and itemnumber > 0", false, false};
// clang-format on

constexpr const char* kServiceChargeLines = " and itemnumber = -2";

// One work row for one server: its sums and the server of its first line in range.
void add_server_row(Station& s, const ServerTotals& r, Database& src, Database& rpt, Recordset& ar,
                    const std::string& server) {
    const std::string f = range_filter(s.st);
    const std::string of_server = std::string(r.condition) + " and server = " + server;
    const std::string charges =
        r.service_charge_lines
            ? std::string(r.condition) + " and server = " + server + kServiceChargeLines + f
            : "";
    sum_key_lines(s, src, of_server + r.lines + f, charges);
    Recordset row = src.open_recordset("select * from xact where " + of_server + f);
    add_amount_row(s, rpt, src, ar,
                   {{"aracctnum", row.eof() ? Value::null() : row.field("server")}});
}

void gather(Station& s, const ServerTotals& r) {
    auto rpt = open_report_db(s);
    s.st.sqlstring = "delete * from ar";
    rpt->execute(s.st.sqlstring);
    s.yield();
    auto src = open_transaction_db(s);
    s.st.sqlstring = "select distinct server from xact where " + std::string(r.condition) +
                     range_filter_ordered(s.st, "server");
    Recordset servers = src->open_recordset(s.st.sqlstring);
    if (servers.record_count() > 0) {
        Recordset ar = rpt->open_recordset("select * from ar", SetKind::Updatable);
        s.yield();
        DistinctKeys keys;
        for (; !servers.eof(); servers.move_next()) {
            const Value& server = servers.field(std::size_t{0});
            if (server.is_null()) continue;  // a null server has no line of its own
            if (const auto number = keys.first(server)) {
                add_server_row(s, r, *src, *rpt, ar, *number);
            }
        }
    }
    rpt->idle();
}

// Selection and set-up unless in close-out mode; Server Clear Totals also leaves them to the
// batch under Print All Reports. False when the printer is invalid (the message was shown).
bool select_receipt_printer(Station& s, const ServerTotals& r) {
    if (s.st.closeoutmode == 1) return true;
    if (s.st.printall == 1 && !r.select_during_print_all) return true;
    return select_printer(s);
}

void print_totals(Station& s, const ServerTotals& r) {
    if (!select_receipt_printer(s, r)) {
        finish_print(s);
        return;
    }
    set_receipt_lines(s);
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    print_header(s, r.title);
    print_amount_section(s, rpt.get(),
                         {"Server        Base    S/C    Tax   Total", kServerTotalsRows,
                          "aracctnum", "Tender Count:   "},
                         print);
    feed_and_end(s);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

void run_server_totals(Station& s, const ServerTotals& r) {
    run_guarded_report(
        s, r.status_text, r.title, [&] { gather(s, r); }, [&] { print_totals(s, r); });
}

}  // namespace

void cmdserver4_click(Station& s) {
    run_server_totals(s, kServerTotals);
}

void cmdserver6_click(Station& s) {
    run_server_totals(s, kServerClearTotals);
}

void gather_server_totals(Station& s) {
    gather(s, kServerTotals);
}

ServerTotalsLines server_totals_lines(const ModuleState& st) {
    const std::string f = range_filter(st);
    return {kServerTotals.condition + std::string(kServerTotals.lines) + f,
            kServerTotals.condition + std::string(kServiceChargeLines) + f};
}

}  // namespace tillora
