#include "reports/tender/tender_totals.h"

#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "engine/question.h"
#include "panel/range.h"
#include "reports/tender/poa_detail.h"
#include "reports/tender/tender_rows.h"
#include "reports/tender/tender_types.h"

namespace tillora {

namespace {

bool printing_payments_on_account(const ModuleState& st) {
    return st.reqparm4.is_text() && st.reqparm4.as_text() == "POA";
}

// Gathers one table and prints it; false when the gather failed (reported already).
bool run_section(Station& s, TenderRows kind, const char* report) {
    const bool gathered = run_report(s, report, [&] { gather_tender_rows(s, kind); });
    if (gathered) print_tender_table(s);
    per_report_reset(s);
    return gathered;
}

}  // namespace

void print_tender_table(Station& s) {
    if (!select_printer_unless_batch(s)) {
        finish_print(s);
        return;
    }
    set_receipt_lines(s);
    const bool poa = printing_payments_on_account(s.st);
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    print_header(s, poa ? "Payments on Account" : "Tender Totals - Closed Tickets");
    print(s, "Tender               Count        Total");
    const auto [rows, lines, total] = print_tender_rows(s, rpt.get(), [&](const Recordset& ar) {
        const std::string text =
            poa ? payment_on_account_label(static_cast<long>(ar.field("covers").as_int()))
                : without_paid_by(ar.field("Memo").as_text());
        return tender_line(default_text(ar.field("covers")), text,
                           static_cast<double>(ar.field("arlines").as_int()),
                           ar.field("total").as_currency());
    });
    if (rows > 0) print(s, tender_totals_line(static_cast<double>(lines), total));
    print(s, s.st.dashline);
    s.yield();
    print(s, unique_tenders_line(rows));
    print(s, tender_count_line(rows, lines));
    print(s, s.st.dashline);
    feed_and_end(s);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

void cmdtender1_click(Station& s) {
    if (!report_guard(s)) return;
    show_status(s, "Tender Totals");
    verifydate(s);
    take_dates(s);
    if (!run_section(s, TenderRows::ClosedTickets, "Tender Totals")) return;

    if (!report_guard(s)) return;
    s.st.reqparm4 = Value("POA");
    if (!run_section(s, TenderRows::PaymentsOnAccount, "Payments on Account")) return;

    s.st.title = Value("POA Detail Report?");
    s.st.msg = "Print this register's payment on account detail?";
    if (!ask_yes_no(s)) return;
    print_poa_detail(s);
}

}  // namespace tillora
