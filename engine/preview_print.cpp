#include "engine/preview_print.h"

#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/range.h"
#include "platform/files.h"

namespace tillora {

namespace {

// While it lives, print steps go to the receipt printer even with the preview on.
class SendingToPrinter {
  public:
    explicit SendingToPrinter(Preview& p) : p_(p) { p_.sending = true; }
    ~SendingToPrinter() { p_.sending = false; }
    SendingToPrinter(const SendingToPrinter&) = delete;
    SendingToPrinter& operator=(const SendingToPrinter&) = delete;

  private:
    Preview& p_;
};

}  // namespace

void cmdpreviewprint_click(Station& s) {
    if (s.preview.shown.empty() || !report_guard(s)) return;
    const std::vector<std::string> job = s.preview.shown;
    SendingToPrinter sending(s.preview);
    if (select_printer(s)) {
        for (const std::string& line : job) print_direct(s, line);
        end_print_job(s);
    }
    finish_print(s);
}

void cmdviewcloseout_click(Station& s) {
    verifydate(s);
    const std::string date = s.form.txtfromdate.text;
    const auto path = s.path("closeout" + s.st.unitstr + "-" + date + ".txt");
    if (!file_exists(path)) {
        s.st.msg = "No close-out file for " + date + ".";
        s.message(s.st.msg, "Oops...", Icon::Information);
        return;
    }
    std::vector<std::string> lines;
    try {
        lines = read_lines(path);
    } catch (const FileError& e) {
        s.st.msg = path.filename().string() + " could not be read.\r\n" + e.what();
        s.message(s.st.msg, "Oops...", Icon::Critical);
        return;
    }
    show_in_view(s, std::move(lines));
}

}  // namespace tillora
