// The on-screen receipt view: while cmdpreview is on, a report's print job is kept here and shown
// in txtpreview instead of going to the receipt printer.
#pragma once

#include <string>
#include <vector>

#include "platform/printer.h"

namespace tillora {

struct Station;

// A printer that keeps the lines of its open job; nothing leaves the program.
class PreviewPrinter : public Printer {
  public:
    std::string name() const override { return "Preview"; }
    void set_font(const std::string&) override {}
    void set_attribute(bool) override {}
    void print_line(const std::string& line) override { job_.push_back(line); }
    void end_job() override {}
    // The lines printed since the last take; the job starts empty again.
    std::vector<std::string> take_job();

  private:
    std::vector<std::string> job_;
};

// The preview's own state; one per station.
struct Preview {
    PreviewPrinter printer;
    std::vector<std::string> shown;  // the lines in the view, exactly as they would print
    bool sending = false;            // the view's job is on its way to the receipt printer
    bool new_run = true;  // the next job replaces the view; later jobs of one run are added
};

// The line that ends the view of a stopped report.
inline constexpr const char* kStoppedLine = "*** stopped ***";

// True when print jobs go to the view: cmdpreview is on, outside the unattended run and while
// the view is not printing its own job.
bool previewing(const Station& s);

// Shows `lines` in txtpreview with its Print and Close buttons.
void show_in_view(Station& s, std::vector<std::string> lines);
// Ends the preview's job: its lines (and kStoppedLine when the work was stopped) in the view,
// after the jobs the same report or batch ended before (a report of several receipts).
void show_preview_job(Station& s);

// cmdpreview click: turns the preview on or off; ignored while a report runs.
void cmdpreview_click(Station& s);
// cmdpreviewclose click: hides the view and forgets its lines.
void cmdpreviewclose_click(Station& s);

}  // namespace tillora
