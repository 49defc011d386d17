// Long work as the operator sees it: the progress bar prgwork, the Stop button cmdstop and the
// stop request that a report's gather honours at its next row.
#pragma once

#include <functional>
#include <stdexcept>

namespace tillora {

struct Station;

// The state of the report or batch that runs now; one per station.
struct Work {
    bool running = false;         // a report or Print All Reports runs (cmdstop is shown)
    bool stop_requested = false;  // Stop was pressed and the running report has not ended yet
    bool stopped = false;         // the running report or batch was stopped
    long stop_after = -1;         // presses Stop after this many rows (the driver); -1 never
    long rows_done = 0;           // rows of the current gather
    long rows_total = 0;          // rows the current gather selected
    long long started_ms = 0;     // when the current gather began
};

// Thrown at a row of a gather when Stop was pressed; the report ends without a failure.
class ReportStopped : public std::runtime_error {
  public:
    ReportStopped() : std::runtime_error("Report stopped.") {}
};

// Shows prgwork at `value` of `maximum`.
void show_progress(Station& s, long value, long maximum);
// Hides prgwork.
void hide_progress(Station& s);

// A gather begins walking `total` rows.
void begin_rows(Station& s, long total);
// A row of the gather is next: throws ReportStopped when Stop was pressed, moves the bar on
// (shown once the gather has run about half a second, and not inside Print All Reports) and
// presses Stop when the driver's stop_after count is reached.
void row_done(Station& s);

// True from a press of Stop to the end of the stopped report or batch.
bool stopping(const Station& s);
// Lines a print step outputs after Stop are dropped.
bool dropping_lines(const Station& s);

// cmdstop click: asks the running report or batch to end at its next row.
void cmdstop_click(Station& s);

// Runs a report or Print All Reports as one piece of work: cmdstop shown meanwhile; afterwards
// the bar and the button hidden and, when it was stopped, the guard cleared and "Report
// stopped." in the status box. Work started while other work runs just runs (the guard decides).
void run_stoppable(Station& s, const std::function<void()>& body);

}  // namespace tillora
