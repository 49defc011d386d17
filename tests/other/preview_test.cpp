// The receipt view, the progress bar and Stop, driven through the report buttons.
#include <gtest/gtest.h>

#include <algorithm>

#include "reports/other/report_buttons.h"
#include "support/fixtures.h"
#include "tools/drive_script.h"

namespace tillora {
namespace {

using test::Lines;
using test::TestStation;

// Tickets 1..n of server 7, one a day from 2020-01-01 on, with an item and a cash tender each;
// the whole year 2020 in the date boxes, manager 103 logged in.
void year_of_tickets(TestStation& t, int n) {
    for (int i = 1; i <= n; ++i) {
        const int day = 20200101 + (i - 1) % 28 + (i - 1) / 28 * 100;
        const test::Row more = {{"poschitdate", day}, {"poschittotal", 10.0}, {"server", 7}};
        t.add_line(test::line(7, i, 1, 10.0, 0, 0, test::with(more, {{"poschitnum", 2 * i}})));
        t.add_line(test::with(test::tender(i, 1, 10.0, "Paid by Cash"),
                              test::with(more, {{"poschitnum", 2 * i + 1}})));
    }
    t.s().form.txtempid.text = "103";
    t.s().form.txtfromdate.text = "20200101";
    t.s().form.txttodate.text = "20201231";
}

void click(TestStation& t, const std::string& name) {
    ASSERT_TRUE(click_report_button(t.s(), name)) << name;
}

std::string joined(const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    return text;
}

// A ticket list, a report with its own set-up, the server's own reports, an audit file report
// and the whole batch (the printer's error and the closing of the view:
// tests/scripts/preview_printer_error and closeout_viewer).
TEST(Preview, ShowsEveryReportExactlyAsItPrintsAndPrintsItAsOneJob) {
    for (const char* button : {"cmdserver3", "cmdserver4", "cmdtender1", "cmdserver1", "cmdserver2",
                               "cmdaudit", "cmdprintall"}) {
        SCOPED_TRACE(button);
        TestStation t;
        year_of_tickets(t, 3);
        test::write_file(t.home() / "audit03.txt", "01022020\\10:00\\E#7\\Ticket 1 started\n");
        t.ui.answers = {true};
        click(t, "cmdpreview");
        click(t, button);
        const auto& f = t.s().form;
        ASSERT_TRUE(f.txtpreview.visible);
        EXPECT_TRUE(f.cmdpreviewprint.visible);
        EXPECT_TRUE(t.jobs().empty());
        EXPECT_EQ(t.st().reportbusy, 0);
        const Lines previewed = t.s().preview.shown;
        ASSERT_GT(previewed.size(), 6u);
        EXPECT_EQ(f.txtpreview.text + "\n", joined(previewed));

        t.st().reportbusy = 1;  // a report still running turns Print away
        click(t, "cmdpreviewprint");
        EXPECT_EQ(t.boxes().back(),
                  "MSGBOX Printer... | Please wait for current report to complete.");
        EXPECT_TRUE(t.jobs().empty());
        t.st().reportbusy = 0;
        click(t, "cmdpreviewprint");  // exactly the view, one job
        ASSERT_EQ(t.jobs().size(), 1u);
        EXPECT_EQ(t.job_texts()[0], joined(previewed));

        click(t, "cmdpreview");  // off: the report itself prints the same bytes
        t.ui.answers = {true};
        click(t, button);
        const auto jobs = t.job_texts();
        ASSERT_GE(jobs.size(), 2u);  // Tender Totals prints three receipts
        EXPECT_TRUE(jobs.size() == 2 || button != std::string("cmdprintall"));  // one batch job
        std::string printed;
        for (std::size_t j = 1; j < jobs.size(); ++j) printed += jobs[j];
        EXPECT_EQ(printed, jobs[0]);
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

// The export (ten rows in each pass: the bar starts over, and there is no Stop), the batch, and
// a year list whose bar shows only once its gather has run a while: the (value, maximum) pairs
// the bar showed at the yields, where it showed first, halfway and last, and how often it
// (re)started at 1.
TEST(Progress, ExportPrintAllAndLongGathersMoveTheBarAndHideItAtTheEnd) {
    using Bar = std::pair<long, long>;
    struct Case {
        const char* button;
        int tickets;
        long long ms_per_yield;
        std::vector<Bar> shown;  // first, halfway, last; empty: never shown
        long starts;
    };
    const std::vector<Case> cases = {
        {"cmdexport1", 5, 0, {{0, 10}, {5, 10}, {10, 10}}, 2},
        {"cmdprintall", 2, 0, {{0, 14}, {7, 14}, {14, 14}}, 1},
        {"cmdserver3", 20, 0, {}, 0},
        {"cmdserver3", 20, 100, {{6, 20}, {13, 20}, {20, 20}}, 0},  // shown after 500 ms
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + std::to_string(c.ms_per_yield));
        TestStation t;
        year_of_tickets(t, c.tickets);
        std::vector<Bar> seen;
        const auto sample = [&] {
            const Control& bar = t.s().form.prgwork;
            if (bar.visible && (seen.empty() || seen.back() != Bar{bar.value, bar.maximum})) {
                seen.emplace_back(bar.value, bar.maximum);
            }
            EXPECT_FALSE(t.s().form.cmdstop.visible && c.button == std::string("cmdexport1"));
        };
        t.ui.on_yield = [&] {
            t.clock.advance_ms(c.ms_per_yield);
            sample();
        };
        t.s().on_change = sample;
        t.ui.files.push_back((t.home() / "export03.csv").string());
        t.ui.answers = {true, true};
        click(t, c.button);
        ASSERT_EQ(seen.empty(), c.shown.empty());
        if (!seen.empty()) {
            EXPECT_EQ(seen.front(), c.shown[0]);
            EXPECT_NE(std::find(seen.begin(), seen.end(), c.shown[1]), seen.end());
            EXPECT_EQ(seen.back(), c.shown[2]);
        }
        EXPECT_EQ(
            std::count(seen.begin(), seen.end(), Bar{1, seen.empty() ? 0 : c.shown[2].second}),
            c.starts);
        EXPECT_FALSE(t.s().form.prgwork.visible);
    }
}

// Stop after ten rows of the year list, alone or in the batch. Previewed, the view holds what
// was gathered, then the mark; printed, the batch ends the job it started (Server Totals ran
// first) and a single list prints nothing at all. The next report runs in full.
TEST(Stop, EndsAYearListAtItsNextRowAndTheNextReportRunsNormally) {
    const auto has = [](const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    for (const bool preview : {false, true}) {
        for (const std::string button : {"cmdserver3", "cmdprintall"}) {
            SCOPED_TRACE(button + (preview ? " previewed" : " printed"));
            TestStation t;
            year_of_tickets(t, 30);
            if (preview) click(t, "cmdpreview");
            bool stop_shown = false;
            t.ui.on_yield = [&] { stop_shown = stop_shown || t.s().form.cmdstop.visible; };
            t.s().work.stop_after = 10;
            t.ui.answers = {true};
            click(t, button);
            EXPECT_TRUE(stop_shown);
            EXPECT_FALSE(t.s().form.cmdstop.visible);
            EXPECT_EQ(t.s().form.helpwindow.text, "Report stopped.");
            EXPECT_EQ(t.st().reportbusy, 0);
            EXPECT_EQ(t.st().printall, 0);
            const bool batch = button == "cmdprintall";
            const Lines out = preview ? t.s().preview.shown : t.printed();
            EXPECT_EQ(t.jobs().size(), batch && !preview ? 1u : 0u);
            EXPECT_EQ(has(out, "Ticket Count:   10"), preview);
            EXPECT_EQ(has(out, "All Closed Tickets"), preview);
            EXPECT_EQ(!out.empty() && out.back() == "*** stopped ***", preview);
            EXPECT_TRUE(!batch || out.front() == "All Servers - Closed Tickets");

            click(t, "cmdserver3");
            const Lines again = preview ? t.s().preview.shown : t.jobs().back();
            EXPECT_TRUE(has(again, "Ticket Count:   30"));
            EXPECT_NE(again.back(), "*** stopped ***");
            EXPECT_NE(t.s().form.helpwindow.text, "Report stopped.");
        }
    }
}

// The driver's stop-after in use: tests/scripts/preview_stop.
TEST(Stop, DriverNeedsANumberOfRows) {
    std::vector<ScriptAction> actions;
    std::string error;
    std::istringstream bad("stop-after many\n");
    EXPECT_FALSE(parse_script(bad, actions, error));
    EXPECT_EQ(error, "line 1: stop-after needs a number of rows");
}

}  // namespace
}  // namespace tillora
