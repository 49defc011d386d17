#include "panel/work.h"

#include "panel/station.h"

namespace tillora {

namespace {

// A gather shorter than this finishes before the bar would mean anything.
constexpr long long kProgressAfterMs = 500;

void changed(Station& s) {
    if (s.on_change) s.on_change();
}

}  // namespace

void show_progress(Station& s, long value, long maximum) {
    Control& bar = s.form.prgwork;
    const bool appears = !bar.visible;
    bar.value = value;
    bar.maximum = maximum;
    bar.visible = true;
    if (appears) changed(s);
}

void hide_progress(Station& s) {
    Control& bar = s.form.prgwork;
    bar.value = 0;
    bar.maximum = 0;
    if (!bar.visible) return;
    bar.visible = false;
    changed(s);
}

void begin_rows(Station& s, long total) {
    s.work.rows_done = 0;
    s.work.rows_total = total;
    s.work.started_ms = s.svc.clock.elapsed_ms();
}

void row_done(Station& s) {
    Work& w = s.work;
    if (w.stop_requested) {
        // The print step of a stopped gather prints nothing more, except into the preview.
        w.stop_requested = false;
        w.stopped = true;
        throw ReportStopped();
    }
    ++w.rows_done;
    if (s.st.printall == 0 && w.rows_total > 0 &&
        (s.form.prgwork.visible || s.svc.clock.elapsed_ms() - w.started_ms >= kProgressAfterMs)) {
        show_progress(s, w.rows_done, w.rows_total);
    }
    if (w.stop_after >= 0 && w.rows_done >= w.stop_after) {
        w.stop_after = -1;
        cmdstop_click(s);
    }
}

bool stopping(const Station& s) {
    return s.work.stop_requested || s.work.stopped;
}

bool dropping_lines(const Station& s) {
    return s.work.stop_requested;
}

void cmdstop_click(Station& s) {
    if (!s.work.running) return;
    s.work.stop_requested = true;
    s.form.cmdstop.enabled = false;  // pressed once is enough
    changed(s);
}

void run_stoppable(Station& s, const std::function<void()>& body) {
    Work& w = s.work;
    if (w.running) {
        body();
        return;
    }
    w.running = true;
    w.stop_requested = false;
    w.stopped = false;
    w.rows_done = 0;
    w.rows_total = 0;  // a gather that does not count its rows shows no bar
    s.preview.new_run = true;
    s.form.cmdstop.visible = true;
    s.form.cmdstop.enabled = true;
    changed(s);
    try {
        body();
    } catch (...) {
        w.running = false;
        s.form.cmdstop.visible = false;
        hide_progress(s);
        throw;
    }
    const bool was_stopped = stopping(s);
    w.running = false;
    w.stop_requested = false;
    w.stopped = false;
    w.stop_after = -1;
    s.form.cmdstop.visible = false;
    hide_progress(s);
    if (was_stopped) {
        s.st.reportbusy = 0;
        s.form.helpwindow.text = "Report stopped.";
    }
    changed(s);
}

}  // namespace tillora
