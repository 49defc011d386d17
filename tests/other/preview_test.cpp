// The receipt view, the progress bar and Stop, driven through the report buttons.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/preview_print.h"
#include "export/export_transactions.h"
#include "reports/other/report_buttons.h"
#include "support/test_support.h"
#include "tools/drive_script.h"

namespace tillora {
namespace {

using test::Lines;
using test::TestStation;

// Tickets 1..n of `server`, one a day from 2020-01-01 on, with an item and a cash tender each.
void add_tickets(TestStation& t, int n) {
    for (int i = 1; i <= n; ++i) {
        const int date = 20200100 + (i - 1) % 28 + 1 + ((i - 1) / 28) * 100;
        t.add_lines({{{"ticket", i},
                      {"server", 7},
                      {"poschitdate", date},
                      {"poschitbase", 10.0},
                      {"poschittotal", 10.0},
                      {"poschitnum", 2 * i}},
                     {{"ticket", i},
                      {"server", 7},
                      {"poschitdate", date},
                      {"itemnumber", -1},
                      {"postendtype", 1},
                      {"posmemo", "Paid by Cash"},
                      {"poschitbase", 10.0},
                      {"poschittotal", 10.0},
                      {"poschitnum", 2 * i + 1}}});
    }
}

// The whole year 2020 in the date boxes, manager 103 logged in.
void year_range(TestStation& t) {
    t.s().form.txtempid.text = "103";
    t.s().form.txtfromdate.text = "20200101";
    t.s().form.txttodate.text = "20201231";
}

void click(TestStation& t, const std::string& name) {
    ASSERT_TRUE(click_report_button(t.s(), name)) << name;
}

std::string job_file(TestStation& t, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "job-%04d.txt", number);
    return test::read_file(t.home() / "spool" / name);
}

std::string joined(const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    return text;
}

TEST(Preview, ShowsEveryReportExactlyAsItPrintsAndPrintsItAsOneJob) {
    // A ticket list, a report with its own set-up, the server's own reports, an audit file
    // report, and the whole batch.
    for (const char* button : {"cmdserver3", "cmdserver4", "cmdtender1", "cmdserver1", "cmdserver2",
                               "cmdaudit", "cmdprintall"}) {
        SCOPED_TRACE(button);
        TestStation t;
        add_tickets(t, 3);
        year_range(t);
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

        click(t, "cmdpreviewprint");  // exactly the view, one job
        ASSERT_EQ(t.jobs().size(), 1u);
        EXPECT_EQ(job_file(t, 1), joined(previewed));

        click(t, "cmdpreview");  // off: the report itself prints the same bytes
        t.ui.answers = {true};
        click(t, button);
        const int jobs = static_cast<int>(t.jobs().size());
        ASSERT_GE(jobs, 2);  // Tender Totals prints three receipts
        std::string printed;
        for (int j = 2; j <= jobs; ++j) printed += job_file(t, j);
        EXPECT_EQ(printed, job_file(t, 1));
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

TEST(Preview, KeepsTheReportsMessagesAndPrintingKeepsThePrintersErrors) {
    TestStation t;
    add_tickets(t, 1);
    t.st().localprinter = 4;  // no such printer
    click(t, "cmdpreview");
    click(t, "cmdserver3");
    EXPECT_TRUE(t.boxes().empty());  // the view needs no printer
    click(t, "cmdpreviewprint");
    EXPECT_EQ(t.boxes(), Lines{"MSGBOX Uh-oh... | Invalid receipt printer configuration."});
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.st().reportbusy, 0);

    t.st().reportbusy = 1;  // a report runs: the guard turns Print away
    click(t, "cmdpreviewprint");
    EXPECT_EQ(t.boxes().back(), "MSGBOX Printer... | Please wait for current report to complete.");
    t.st().reportbusy = 0;

    click(t, "cmdpreviewclose");
    EXPECT_FALSE(t.s().form.txtpreview.visible);
    EXPECT_TRUE(t.s().preview.shown.empty());
}

TEST(Preview, CloseOutViewerShowsTheFileOfTheFromDateOrSaysThereIsNone) {
    const Lines file = {"All Servers - Closed Tickets", "", "Printed by   :CENTRAL",
                        std::string(39, '*')};
    struct Case {
        const char* date;
        bool shown;
        const char* message;
    };
    for (const Case& c :
         {Case{"20200904", true, nullptr},
          Case{"20200903", false, "MSGBOX Oops... | No close-out file for 20200903."}}) {
        SCOPED_TRACE(c.date);
        TestStation t;
        std::string text;
        for (const auto& l : file) text += l + "\r\n";
        test::write_file(t.home() / "closeout03-20200904.txt", text);
        t.s().form.txtfromdate.text = c.date;
        click(t, "cmdviewcloseout");
        EXPECT_EQ(t.s().form.txtpreview.visible, c.shown);
        if (!c.shown) {
            EXPECT_EQ(t.boxes(), Lines{c.message});
            continue;
        }
        EXPECT_EQ(t.s().preview.shown, file);
        click(t, "cmdpreviewprint");
        EXPECT_EQ(t.jobs(), std::vector<Lines>{file});
    }
}

// Every (value, maximum) the bar showed at a yield, in order, without repeats.
struct BarSamples {
    explicit BarSamples(TestStation& t, long long ms_per_yield = 0) {
        t.ui.on_yield = [this, &t, ms_per_yield] {
            t.clock.advance_ms(ms_per_yield);
            sample(t.s().form.prgwork);
        };
        t.s().on_change = [this, &t] { sample(t.s().form.prgwork); };
    }
    void sample(const Control& bar) {
        if (!bar.visible) return;
        const auto value = std::make_pair(bar.value, bar.maximum);
        if (seen.empty() || seen.back() != value) seen.push_back(value);
    }
    bool has(long value, long maximum) const {
        return std::find(seen.begin(), seen.end(), std::make_pair(value, maximum)) != seen.end();
    }
    std::vector<std::pair<long, long>> seen;
};

TEST(Progress, ExportPrintAllAndLongGathersMoveTheBarAndHideItAtTheEnd) {
    {
        TestStation t;
        add_tickets(t, 5);  // 10 lines selected by both passes
        year_range(t);
        BarSamples bar(t);
        t.ui.files.push_back((t.home() / "export03.csv").string());
        t.ui.answers = {true, true};
        click(t, "cmdexport1");
        ASSERT_FALSE(bar.seen.empty());
        EXPECT_EQ(bar.seen.front(), std::make_pair(0L, 10L));
        EXPECT_TRUE(bar.has(5, 10));
        EXPECT_EQ(bar.seen.back(), std::make_pair(10L, 10L));
        // Both passes run their ten rows: the bar starts over.
        EXPECT_EQ(std::count(bar.seen.begin(), bar.seen.end(), std::make_pair(1L, 10L)), 2);
        EXPECT_FALSE(t.s().form.prgwork.visible);
        EXPECT_FALSE(t.s().form.cmdstop.visible);  // the export cannot be stopped
    }
    {
        TestStation t;
        add_tickets(t, 2);
        t.ui.answers = {true};
        BarSamples bar(t);
        click(t, "cmdprintall");
        ASSERT_FALSE(bar.seen.empty());
        EXPECT_EQ(bar.seen.front(), std::make_pair(0L, 14L));
        EXPECT_TRUE(bar.has(7, 14));
        EXPECT_EQ(bar.seen.back(), std::make_pair(14L, 14L));
        EXPECT_FALSE(t.s().form.prgwork.visible);
    }
    struct Case {
        long long ms_per_yield;
        bool shown;
    };
    for (const Case& c : {Case{0, false}, Case{100, true}}) {
        SCOPED_TRACE(c.ms_per_yield);
        TestStation t;
        add_tickets(t, 20);
        year_range(t);
        BarSamples bar(t, c.ms_per_yield);
        click(t, "cmdserver3");
        EXPECT_EQ(!bar.seen.empty(), c.shown);
        if (c.shown) {
            EXPECT_GT(bar.seen.front().first, 1);  // only once the gather has run a while
            EXPECT_EQ(bar.seen.back(), std::make_pair(20L, 20L));
        }
        EXPECT_FALSE(t.s().form.prgwork.visible);
    }
}

TEST(Stop, EndsAYearListAtItsNextRowAndTheNextReportRunsNormally) {
    struct Case {
        bool preview;
        const char* button;
    };
    for (const Case& c : {Case{false, "cmdserver3"}, Case{true, "cmdserver3"},
                          Case{false, "cmdprintall"}, Case{true, "cmdprintall"}}) {
        SCOPED_TRACE(std::string(c.button) + (c.preview ? " previewed" : " printed"));
        TestStation t;
        add_tickets(t, 30);
        year_range(t);
        if (c.preview) click(t, "cmdpreview");
        bool stop_shown = false;
        t.ui.on_yield = [&] { stop_shown = stop_shown || t.s().form.cmdstop.visible; };
        t.s().work.stop_after = 10;
        t.ui.answers = {true};
        click(t, c.button);
        EXPECT_TRUE(stop_shown);
        EXPECT_FALSE(t.s().form.cmdstop.visible);
        EXPECT_EQ(t.s().form.helpwindow.text, "Report stopped.");
        EXPECT_EQ(t.st().reportbusy, 0);
        EXPECT_EQ(t.st().printall, 0);
        const bool batch = std::string(c.button) == "cmdprintall";
        const Lines out = c.preview ? t.s().preview.shown : t.printed();
        if (c.preview) {
            // What was gathered, then the mark.
            ASSERT_FALSE(out.empty());
            EXPECT_EQ(out.back(), "*** stopped ***");
            EXPECT_NE(std::find(out.begin(), out.end(), "Ticket Count:   10"), out.end());
            EXPECT_TRUE(t.jobs().empty());
        } else {
            // The batch ends the job it started (Server Totals ran first); a single list prints
            // nothing at all.
            EXPECT_EQ(t.jobs().size(), batch ? 1u : 0u);
            EXPECT_EQ(std::find(out.begin(), out.end(), "All Closed Tickets"), out.end());
        }
        if (batch) {
            EXPECT_EQ(out.front(), "All Servers - Closed Tickets");
        }

        click(t, "cmdserver3");  // the next report runs in full
        const Lines again = c.preview ? t.s().preview.shown : t.jobs().back();
        EXPECT_NE(std::find(again.begin(), again.end(), "Ticket Count:   30"), again.end());
        EXPECT_NE(again.back(), "*** stopped ***");
        EXPECT_NE(t.s().form.helpwindow.text, "Report stopped.");
    }
}

TEST(Stop, DriverShowsTheViewAndTheBarAndStopsAfterRows) {
    TestStation t;
    add_tickets(t, 12);
    test::write_file(t.home() / "ravonode.ini", "POSUNIT=3\nNODENUMBER=3\n");
    auto emp = Database::open(t.home() / "kovraemp.mdb");
    test::insert_row(*emp, "empinfo", {{"empid", 103}, {"pword", "38501"}});
    std::istringstream script(
        "focus txtempid\ntype 103;38501\nclick cmdlogin\n"
        "focus txtfromdate\ntype 20200101\nkey Enter\nclick cmdmanager\nclick cmdpreview\n"
        "show cmdpreview\nstop-after 4\nclick cmdserver3\nshow txtpreview\nshow prgwork\n"
        "show helpwindow\n");
    std::ostringstream out, err;
    ASSERT_EQ(run_script(script, t.s(), out, err), kScriptDone) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("SHOW cmdpreview text=Preview enabled=1 visible=1 checked=1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("SHOW txtpreview text=All Closed Tickets\\nReport date  :"),
              std::string::npos);
    EXPECT_NE(text.find("Ticket Count:   4\\n"), std::string::npos);
    EXPECT_NE(text.find("\\n*** stopped *** enabled=1 visible=1\n"), std::string::npos);
    EXPECT_NE(text.find("SHOW prgwork text= enabled=1 visible=0 value=0 maximum=0\n"),
              std::string::npos);
    EXPECT_NE(text.find("SHOW helpwindow text=Report stopped. "), std::string::npos);

    std::vector<ScriptAction> actions;
    std::string error;
    std::istringstream bad("stop-after many\n");
    EXPECT_FALSE(parse_script(bad, actions, error));
    EXPECT_EQ(error, "line 1: stop-after needs a number of rows");
}

}  // namespace
}  // namespace tillora
