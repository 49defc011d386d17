#include "reports/tender/audit_frame.h"

#include <cmath>

#include "engine/audit_file.h"
#include "engine/print_frame.h"
#include "platform/files.h"

namespace tillora {

bool report_file_present(Station& s, const std::string& name, const std::string& message,
                         bool quiet_in_closeout) {
    if (file_exists(s.path(name))) return true;
    if (!(quiet_in_closeout && s.st.closeoutmode == 1)) {
        s.st.msg = message;
        s.message(s.st.msg, name, Icon::Information);
    }
    return false;
}

void prepare_audit_printer(Station& s) {
    if (s.st.closeoutmode == 1 || s.st.printall == 1) return;
    skip_errors(s, [&] { select_receipt_printer(s); });
    skip_errors(s, [&] { receipt_printer(s).set_font("Printer 17cpi"); });
}

void print_audit_header(Station& s, const std::string& first_line, bool leading_dashline) {
    if (leading_dashline) print(s, s.st.dashline);
    print(s, first_line);
    print(s, "Report date  :" + s.svc.clock.date_text() + " Time: " + s.svc.clock.time_text());
    print(s, "Server       :" + s.form.txtempid.text);
    print(s, "Date range   :" + s.form.txtfromdate.text + " - " + s.form.txttodate.text);
    print(s, "Workstation #:" + s.st.unitstr);
    print(s, s.st.dashline);
}

void for_each_line_in_range(Station& s, const std::string& name,
                            std::string (*make_key)(const std::string&),
                            const std::function<void(const std::string&)>& on_line) {
    const std::string from = make_key(s.form.txtfromdate.text);
    const std::string to = make_key(s.form.txttodate.text);
    try {
        for_each_line_in_keys(s, s.path(name), from, to, on_line);
    } catch (const FileError& e) {
        s.st.msg = name + " could not be read.\r\n" + e.what();
        s.message(s.st.msg, "Oops...", Icon::Critical);
    }
}

void end_audit_report(Station& s) {
    feed_and_end(s);
    finish_print(s);
}

Currency audit_amount(double value) {
    constexpr double kLargestAmount = 1e9;
    if (!std::isfinite(value) || std::fabs(value) >= kLargestAmount) return Currency{};
    return Currency::from_double(value);
}

}  // namespace tillora
