#include "reports/tender/poa_detail.h"

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/range.h"
#include "platform/text.h"
#include "reports/tender/audit_frame.h"

namespace tillora {

namespace {

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

std::string poa_detail_line(const std::string& audit_line) {
    const std::size_t last = audit_line.rfind('\\');
    const std::string amount =
        last == std::string::npos ? std::string() : trim(audit_line.substr(last + 1));
    const std::string before = audit_line.substr(0, last == std::string::npos ? 0 : last);
    std::string text = chars_from(before, 15);
    text = replace_all(text, "\\POA\\", " Acct# ");
    text = replace_all(text, "\\", "   ");
    return left_column(text, 28) + right_column(amount, 10);
}

void print_poa_detail(Station& s) {
    show_status(s, "POA Detail");
    verifydate(s);
    const std::string name = audit_file_name(s.st);
    if (!report_file_present(s, name, "No audit file.", true)) return;
    s.st.reportbusy = 1;
    prepare_audit_printer(s);
    set_receipt_lines(s);
    print_audit_header(s, "POA Detail   :" + name);
    for_each_line_in_range(s, name, mmddyyyy_key, [&](const std::string& line) {
        if (line.find("\\POA\\") != std::string::npos) print(s, poa_detail_line(line));
    });
    s.yield();
    end_audit_report(s);
}

}  // namespace tillora
