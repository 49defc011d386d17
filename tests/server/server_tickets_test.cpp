#include <gtest/gtest.h>

#include "reports/other/report_buttons.h"
#include "reports/server/server_tickets.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using namespace test;

// Tickets then the summary in one job, then the hold lists (main hold skipped off line); the
// audit entries carry the employee unless newemp cleared it; the close-out file is never written.
TEST(ServerCashierReports, PrintsTicketsThenTheSummaryInOneJobThenTheHoldLists) {
    const struct {
        int offline;
        Lines expected;
        const char* employee;
    } cases[] = {
        {0, {"server-tickets.txt", "local-hold-server-12.txt", "main-hold-server-12.txt"}, "12"},
        {1, {"server-tickets.txt", "local-hold-server-12.txt"}, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offline);
        TestStation t;
        add_server_tickets_day(t);
        t.st().offlinemode = c.offline;
        t.st().newemp = c.offline;
        t.st().closeoutfile = "closeout03-20200904.txt";
        ASSERT_TRUE(click_report_button(t.s(), "cmdserver2"));
        EXPECT_FALSE(std::filesystem::exists(t.home() / t.st().closeoutfile));
        expect_jobs(t, c.expected);
        const std::string entry = std::string("09042020\\14:37\\E#") + c.employee + "\\";
        EXPECT_EQ(file_lines(t.home() / "audit03.txt"),
                  (Lines{entry + "SvrTktRpt-12", entry + "MyTktRpt-12"}));
        EXPECT_EQ(t.s().form.ownsalesonly, 1);
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

}  // namespace
}  // namespace tillora
