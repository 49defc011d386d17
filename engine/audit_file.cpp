#include "engine/audit_file.h"

#include "platform/files.h"
#include "platform/text.h"
#include "platform/value.h"

namespace tillora {

std::string audit_file_name(const ModuleState& st) {
    return "audit" + st.unitstr + ".txt";
}

std::string error_file_name(const ModuleState& st) {
    return "error" + st.unitstr + ".txt";
}

void append_audit_entry(Station& s) {
    const std::string line = s.svc.clock.audit_date() + "\\" +
                             s.svc.clock.time_text().substr(0, 5) + "\\E#" + s.st.empid.text() +
                             "\\" + s.st.auditline;
    append_line(s.path(audit_file_name(s.st)), line);
    s.st.auditline.clear();
    s.yield();
}

void append_operator_audit_entry(Station& s, const std::string& entry, const std::string& suffix) {
    s.st.auditline = entry + "-" + s.form.txtempid.text + suffix;
    try {
        append_audit_entry(s);
    } catch (const FileError& e) {
        s.st.auditline.clear();
        s.st.msg =
            "The audit entry could not be written to " + audit_file_name(s.st) + ".\n" + e.what();
        s.message(s.st.msg, "Oops...", Icon::Exclamation);
    }
}

std::function<void(const std::string&)> repainting_lines(
    Station& s, std::function<void(const std::string&)> on_line) {
    constexpr unsigned kLinesPerRepaint = 512;
    return [&s, on_line = std::move(on_line), lines = 0u](const std::string& line) mutable {
        if (++lines % kLinesPerRepaint == 0) s.svc.ui.keep_alive();
        on_line(line);
    };
}

void for_each_file_line(Station& s, const std::filesystem::path& path,
                        const std::function<void(const std::string&)>& on_line) {
    for_each_line(path, repainting_lines(s, on_line));
}

std::string mmddyyyy_key(const std::string& yyyymmdd) {
    return chars_from(yyyymmdd, 4, 2) + chars_from(yyyymmdd, 6, 2) + chars_from(yyyymmdd, 0, 4);
}

std::string dashed_key(const std::string& yyyymmdd) {
    return chars_from(yyyymmdd, 4, 2) + "-" + chars_from(yyyymmdd, 6, 2) + "-" +
           chars_from(yyyymmdd, 0, 4);
}

bool line_in_keys(const std::string& line, const std::string& from_key, const std::string& to_key) {
    const std::string key = first_chars(line, std::max(from_key.size(), to_key.size()));
    return !(key < from_key) && !(key > to_key);
}

}  // namespace tillora
