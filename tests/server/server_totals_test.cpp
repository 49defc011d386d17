#include <gtest/gtest.h>

#include "engine/print_frame.h"
#include "reports/other/report_buttons.h"
#include "reports/server/server_totals.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using namespace test;

TEST(ServerTotals, PrintsOneLineAndTheTotalsPerServerOnTheReceipt) {
    const struct {
        const char* button;
        const char* status_text;
        const char* expected;
        const char* closeout;
    } cases[] = {
        {"cmdserver4", "Server Totals Report", "server-totals.txt", "server-totals-closeout.txt"},
        {"cmdserver6", "Server 'Clear' Totals", "server-clear-totals.txt",
         "server-clear-totals-closeout.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TestStation t;
        add_server_totals_day(t);
        ASSERT_TRUE(click_report_button(t.s(), c.button));
        expect_jobs(t, {c.expected});
        EXPECT_EQ(t.s().form.helpwindow.text, c.status_text);
        EXPECT_EQ(t.st().reportbusy, 0);

        TestStation closeout;
        add_server_totals_day(closeout);
        closeout.enter_closeout_mode();
        closeout.st().dashline = std::string(40, '=');  // what the previous report left
        ASSERT_TRUE(click_report_button(closeout.s(), c.button));
        expect_closeout(closeout, c.closeout);
        EXPECT_TRUE(closeout.jobs().empty());
    }
}

TEST(ServerTotals, EmptyRangePrintsTheFrameWithoutTotals) {
    TestStation t;
    t.s().form.txtempid.text = "12";
    cmdserver6_click(t.s());
    expect_jobs(t, {"server-clear-totals-empty.txt"});
}

// Under Print All Reports Server Totals still selects the printer (so an invalid printer stops
// it), while Server Clear Totals prints on the current printer; neither ends the job.
TEST(ServerTotals, PrintAllSelectsThePrinterOnlyForServerTotals) {
    TestStation t;
    add_server_totals_day(t);
    t.st().printall = 1;
    t.st().localprinter = 5;
    cmdserver4_click(t.s());
    EXPECT_EQ(t.boxes(),
              std::vector<std::string>{"MSGBOX Uh-oh... | Invalid receipt printer configuration."});
    EXPECT_EQ(t.st().reportbusy, 0);
    cmdserver6_click(t.s());
    EXPECT_EQ(t.boxes().size(), 1u);
    EXPECT_TRUE(t.jobs().empty());
    end_print_job(t.s());
    ASSERT_EQ(t.jobs().size(), 1u);
    EXPECT_EQ(t.jobs()[0].front(), "Server Cleared Ticket Totals");
    EXPECT_EQ(t.jobs()[0].back(), std::string(39, ' '));
}

TEST(ServerTotals, FailuresLeaveTheNextReportFree) {
    TestStation t;
    add_server_totals_day(t);
    t.st().reportbusy = 1;
    cmdserver4_click(t.s());
    EXPECT_EQ(t.boxes().back(), "MSGBOX Printer... | Please wait for current report to complete.");
    t.st().reportbusy = 0;
    std::filesystem::remove(t.home() / "KOVRAX03.MDB");
    cmdserver4_click(t.s());
    EXPECT_EQ(t.boxes().back().rfind("MSGBOX Oops... | ", 0), 0u);
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.st().reportbusy, 0);
}

}  // namespace
}  // namespace tillora
