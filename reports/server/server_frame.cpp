#include "reports/server/server_frame.h"

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "platform/files.h"

namespace tillora {

std::optional<std::string> sql_number(const Value& key) {
    if (key.is_null() || key.is_empty()) return std::nullopt;
    return default_text(key);
}

void append_server_audit_entry(Station& s, const std::string& entry) {
    s.st.auditline = entry + "-" + s.form.txtempid.text;
    try {
        append_audit_entry(s);
    } catch (const FileError& e) {
        s.st.auditline.clear();
        s.st.msg =
            "The audit entry could not be written to " + audit_file_name(s.st) + ".\r\n" + e.what();
        s.message(s.st.msg, "Oops...", Icon::Exclamation);
    }
}

}  // namespace tillora
