#include "reports/tender/drawer.h"

#include <cmath>

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/range.h"
#include "platform/files.h"
#include "platform/text.h"
#include "reports/tender/audit_frame.h"
#include "reports/tender/tender_rows.h"
#include "reports/tender/tender_types.h"

namespace tillora {

namespace {

constexpr const char* kTicketBlankLine = "Ticket Count:________Total$_____________";
constexpr const char* kCardLine = "Type_______Count_______Total$__________";

// A tender row's amount as the drawer prints it.
Currency drawer_amount(const Recordset& ar) {
    return -ar.field("total").as_currency();
}

// The label of a drawer row: the long label of a code 1-16, otherwise the stored memo; either
// without its "Paid by ".
std::string drawer_label(const std::string& code_text, const std::string& memo) {
    const double code = leading_number(code_text);
    std::string text = memo;
    if (code >= 1 && code <= 16 && code == std::floor(code)) {
        text = tender_long_label(static_cast<long>(code));
    }
    return without_paid_by(text);
}

// Two blank lines straight on the printer (none in close-out mode).
void form_gap(Station& s) {
    if (s.st.closeoutmode == 1) return;
    print_direct(s, s.st.blankline);
    print_direct(s, s.st.blankline);
}

void ticket_block(Station& s) {
    form_gap(s);
    print(s, kTicketBlankLine);
    print(s, s.st.dashline);
}

void print_count_form(Station& s) {
    for (const char* heading : {"CASH", "CHECKS", "MEMBER CHARGE"}) {
        print(s, heading);
        ticket_block(s);
    }
    print(s, "CREDIT CARDS");
    for (int i = 0; i < 8; ++i) {
        form_gap(s);
        print(s, kCardLine);
    }
    print(s, s.st.dashline);
    for (const char* heading : {"Paid Out/In", "Grand Total in Drawer"}) {
        print(s, heading);
        ticket_block(s);
    }
}

void print_drawer(Station& s) {
    if (!select_printer_unless_batch(s)) {
        finish_print(s);
        return;
    }
    const PaidOutIn paid = scan_paid_out_in(s);
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    print_header(s, "Drawer Balancing Report");
    print(s, "Tender                Count       Total");
    auto [rows, lines, total] = print_tender_rows(s, rpt.get(), [&](const Recordset& ar) {
        const std::string code = left_column(default_text(ar.field("covers")), 3);
        return tender_line(code, drawer_label(code, ar.field("Memo").as_text()),
                           static_cast<double>(ar.field("arlines").as_int()), drawer_amount(ar));
    });
    if (rows > 0) {
        if (paid.count > 0) {
            print(s, tender_line("", "Paid Out/In", static_cast<double>(paid.count),
                                 Currency::from_double(paid.amount)));
            total -= Currency::from_double(paid.amount);
            lines += paid.count;
        }
        print(s, tender_totals_line(static_cast<double>(lines), -total));
    }
    print(s, s.st.dashline);
    s.yield();
    print(s, unique_tenders_line(rows));
    print(s, tender_count_line(rows, lines));
    print(s, s.st.dashline);
    print_count_form(s);
    print(s, s.st.dashline);
    feed_and_end(s);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

}  // namespace

PaidOutIn scan_paid_out_in(Station& s, bool quiet) {
    PaidOutIn paid;
    const std::string name = audit_file_name(s.st);
    const bool present =
        quiet ? file_exists(s.path(name)) : report_file_present(s, name, "No audit file.", false);
    if (present) {
        for_each_line_in_range(s, name, dashed_key,
                               [&](const std::string& line) { add_paid_out_in(line, paid); });
    }
    s.yield();
    return paid;
}

void add_paid_out_in(const std::string& line, PaidOutIn& paid) {
    for (const char* keyword : {"PaidOut", "Paid-IN"}) {
        const std::size_t at = line.find(keyword);
        if (at == std::string::npos || char_count(std::string_view(line).substr(0, at)) + 1 <= 10) {
            continue;
        }
        // The keyword and one more character.
        paid.amount +=
            audit_amount(leading_number(chars_from(std::string_view(line).substr(at), 8)))
                .to_double();
        ++paid.count;
    }
}

DrawerFigures gather_drawer_figures(Station& s) {
    gather_tender_rows(s, TenderRows::Drawer);
    DrawerFigures figures;
    auto rpt = open_report_db(s);
    Recordset ar = rpt->open_recordset(kTenderRows);
    for (; !ar.eof(); ar.move_next()) {
        figures.tenders[static_cast<long>(ar.field("covers").as_int())] += drawer_amount(ar);
    }
    ar.close();
    rpt.reset();
    figures.paid = scan_paid_out_in(s);
    return figures;
}

void cmdbalancedrawer_click(Station& s) {
    run_guarded_report(
        s, "Drawer Balancing Report", "Drawer Balancing Report",
        [&] { gather_tender_rows(s, TenderRows::Drawer); }, [&] { print_drawer(s); });
}

}  // namespace tillora
