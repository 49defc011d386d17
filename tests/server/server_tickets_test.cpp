#include <gtest/gtest.h>

#include "reports/other/report_buttons.h"
#include "reports/server/server_tickets.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using namespace test;

TEST(ServerCashierReports, PrintsTicketsThenTheSummaryInOneJobThenTheHoldLists) {
    TestStation t;
    add_server_tickets_day(t);
    t.st().closeoutfile = "closeout03-20200904.txt";  // never written by these receipts
    ASSERT_TRUE(click_report_button(t.s(), "cmdserver2"));
    EXPECT_FALSE(std::filesystem::exists(t.home() / t.st().closeoutfile));
    expect_jobs(t, {"server-tickets.txt", "local-hold-server-12.txt", "main-hold-server-12.txt"});

    EXPECT_EQ(file_lines(t.home() / "audit03.txt"),
              (std::vector<std::string>{"09042020\\14:37\\E#12\\SvrTktRpt-12",
                                        "09042020\\14:37\\E#12\\MyTktRpt-12"}));
    EXPECT_EQ(t.s().form.ownsalesonly, 1);
    EXPECT_EQ(t.st().reportbusy, 0);
}

TEST(ServerCashierReports, OffLineSkipsMainHoldSales) {
    TestStation t;
    add_server_tickets_day(t);
    t.st().offlinemode = 1;
    t.st().newemp = 1;
    cmdserver2_click(t.s());
    const auto jobs = t.jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[1].front(), "Local Hold Tickets");
    EXPECT_EQ(file_lines(t.home() / "audit03.txt"),
              (std::vector<std::string>{"09042020\\14:37\\E#0\\SvrTktRpt-12",
                                        "09042020\\14:37\\E#0\\MyTktRpt-12"}));
}

TEST(ServerReportButtons, RunFromTheButtonMap) {
    for (const char* name : {"cmdserver1", "cmdserver2", "cmdserver4", "cmdserver6"}) {
        SCOPED_TRACE(name);
        TestStation t;
        add_server_tickets_day(t);
        ASSERT_TRUE(click_report_button(t.s(), name));
        EXPECT_FALSE(t.jobs().empty());
    }
}

}  // namespace
}  // namespace tillora
