#include "reports/tender/audit_reports.h"

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/range.h"
#include "platform/text.h"
#include "reports/tender/audit_frame.h"

namespace tillora {

namespace {

enum class Body {
    Listing,     // every line of the range
    TicketLife,  // lines with "started", "closed" or "cleared"
    PaidOutIn,   // upper-cased lines with "PAIDOUT" or "PAID-IN", then the totals
};

// What one audit file report reads and prints.
struct AuditReport {
    const char* status_text;   // shown in helpwindow
    const char* first_line;    // first header line, followed by the file name unless PaidOutIn
    bool error_file;           // the error file instead of the audit file
    const char* missing_text;  // message when the file is missing
    Body body;
    bool own_dashline;  // rebuilds dashline as 39 "-"
};

// clang-format off
const AuditReport kWorkstationAudit{"Workstation Audit", "Audit File   :", false,
                                    "No audit file.", Body::Listing, false};
const AuditReport kErrorAudit{"Error Audit", "Error File   :", true,
                              "Good News - no error file to report.", Body::Listing, false};
const AuditReport kTicketCount{"Ticket Count", "Ticket Count :", false,
                               "No audit file.", Body::TicketLife, true};
const AuditReport kPaidOutIn{"Paid Outs/Paid Ins", "Paid Outs/Paid Ins", false,
                             "No audit file.", Body::PaidOutIn, false};
// clang-format on

// The line as the reports show it: month and day, then everything after the year.
std::string display_text(const std::string& line) {
    return first_chars(line, 4) + chars_from(line, 8);
}

bool is_ticket_life(const std::string& text) {
    for (const char* word : {"started", "closed", "cleared"}) {
        if (text.find(word) != std::string::npos) return true;
    }
    return false;
}

struct PaidTotals {
    Currency paid_out;
    Currency paid_in;
};

// Prints the display text once per keyword it holds and adds the amount behind the keyword.
void add_paid_line(Station& s, const std::string& text, PaidTotals& totals) {
    const std::pair<const char*, Currency*> keywords[] = {{"PAIDOUT", &totals.paid_out},
                                                          {"PAID-IN", &totals.paid_in}};
    for (const auto& [keyword, sum] : keywords) {
        const std::size_t at = text.find(keyword);
        if (at == std::string::npos) continue;
        // The keyword and one more character.
        *sum += audit_amount(leading_number(chars_from(std::string_view(text).substr(at), 8)));
        print(s, text);
    }
}

void print_paid_totals(Station& s, const PaidTotals& t) {
    print(s, s.st.blankline);
    print(s, "Total Paid Out:  " + format_pattern(t.paid_out, "######.#0"));
    print(s, "Total Paid In:   " + format_pattern(t.paid_in, "######.#0"));
    print(s, "-----------------------------------");
    print(s, "Net Paid Out/In: " + format_pattern(t.paid_out + t.paid_in, "######.#0"));
    print(s, s.st.dashline);
}

// The frame after the report guard: status, range, file check, printer, header, body, end.
void run_audit_report(Station& s, const AuditReport& r) {
    show_status(s, r.status_text);
    verifydate(s);
    const std::string name = r.error_file ? error_file_name(s.st) : audit_file_name(s.st);
    if (!report_file_present(s, name, r.missing_text, true)) {
        s.st.reportbusy = 0;
        return;
    }
    prepare_audit_printer(s);
    s.st.blankline = std::string(39, ' ');
    if (r.own_dashline) s.st.dashline = std::string(39, '-');
    const bool paid = r.body == Body::PaidOutIn;
    print_audit_header(s, paid ? r.first_line : r.first_line + name, !paid);
    PaidTotals totals;
    for_each_line_in_range(s, name, mmddyyyy_key, [&](const std::string& line) {
        switch (r.body) {
            case Body::Listing:
                print(s, display_text(line));
                break;
            case Body::TicketLife:
                if (is_ticket_life(display_text(line))) print(s, display_text(line));
                break;
            case Body::PaidOutIn:
                add_paid_line(s, display_text(upper(line)), totals);
                break;
        }
    });
    if (paid) print_paid_totals(s, totals);
    end_audit_report(s);
}

// The report guard, which the unattended close-out run does without.
bool audit_guard(Station& s) {
    return s.st.closeoutmode == 1 || report_guard(s);
}

}  // namespace

void cmdaudit_click(Station& s) {
    if (!audit_guard(s)) return;
    run_audit_report(s, kWorkstationAudit);
    s.st.reportbusy = 1;
    run_audit_report(s, kErrorAudit);
}

void cmdpaidinpaidout_click(Station& s) {
    if (audit_guard(s)) run_audit_report(s, kPaidOutIn);
}

void cmdticketcount_click(Station& s) {
    if (audit_guard(s)) run_audit_report(s, kTicketCount);
}

}  // namespace tillora
