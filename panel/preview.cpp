#include "panel/preview.h"

#include "panel/station.h"

namespace tillora {

std::vector<std::string> PreviewPrinter::take_job() {
    std::vector<std::string> job;
    job.swap(job_);
    return job;
}

bool previewing(const Station& s) {
    return s.form.cmdpreview.checked && s.st.closeoutmode == 0 && !s.preview.sending;
}

void show_in_view(Station& s, std::vector<std::string> lines) {
    FormModel& f = s.form;
    f.txtpreview.text.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) f.txtpreview.text += '\n';
        f.txtpreview.text += lines[i];
    }
    s.preview.shown = std::move(lines);
    for (Control* c : {&f.txtpreview, &f.cmdpreviewprint, &f.cmdpreviewclose}) c->visible = true;
    if (s.on_change) s.on_change();
}

void show_preview_job(Station& s) {
    std::vector<std::string> lines;
    if (!s.preview.new_run) lines = s.preview.shown;
    for (std::string& line : s.preview.printer.take_job()) lines.push_back(std::move(line));
    if (stopping(s)) lines.emplace_back(kStoppedLine);
    show_in_view(s, std::move(lines));
    s.preview.new_run = false;
}

void cmdpreview_click(Station& s) {
    if (s.st.reportbusy != 0 || s.work.running) return;
    s.form.cmdpreview.checked = !s.form.cmdpreview.checked;
}

void cmdpreviewclose_click(Station& s) {
    FormModel& f = s.form;
    for (Control* c : {&f.txtpreview, &f.cmdpreviewprint, &f.cmdpreviewclose}) c->visible = false;
    f.txtpreview.text.clear();
    s.preview.shown.clear();
}

}  // namespace tillora
