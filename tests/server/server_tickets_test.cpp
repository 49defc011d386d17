#include <gtest/gtest.h>

#include "reports/other/report_buttons.h"
#include "reports/server/server_tickets.h"
#include "server/server_store.h"

namespace tillora {
namespace {

using namespace test;

// Server 12's closed tickets 1 and 2 in the range 10:00-13:59; ticket 3 is out of the time
// range; server 13 has lines on ticket 1 and held tickets of its own.
void build_store(TestStation& t) {
    t.add_lines({
        line(12, 1, 1, 10.0, 1.0, 0.8),
        line(12, 1, -5, 2.0, 0.2, 0.16),
        line(12, 1, -2, 0, 1.5),
        line(12, 1, 1, 50.0, 0, 0, {{"status", -10}}),
        line(12, 1, -2, 0, 9.0, 0, {{"status", -12}}),
        line(13, 1, 1, 7.0, 0, 0.5),
        line(13, 1, -2, 0, 4.0),
        line(12, 2, 4, 4.0, 0, 0.32),
        line(12, 3, 1, 70.0, 0, 0, {{"trantime", "23:30:00"}}),
        line(12, 21, 1, 6.0, 0, 0, {{"status", 1}}),
        line(13, 20, 1, 8.0, 0, 0, {{"status", 1}}),
    });
    auto held = Database::open(t.home() / "server" / "kovratmp.mdb");
    for (const auto& [ticket, server] : {std::pair{31, 12}, std::pair{30, 13}}) {
        insert_row(*held, "xact",
                   line(server, ticket, 1, 5.0, 0, 0,
                        {{"status", 1}, {"poschitdate", 20200904}, {"trantime", "12:00:00"}}));
    }
    operator_12_midday(t);
}

bool has_line_starting(const std::vector<std::string>& job, const std::string& start) {
    for (const auto& printed : job) {
        if (printed.rfind(start, 0) == 0) return true;
    }
    return false;
}

TEST(ServerCashierReports, PrintsTicketsThenTheSummaryInOneJobThenTheHoldLists) {
    TestStation t;
    build_store(t);
    t.st().closeoutfile = "closeout03-20200904.txt";  // never written by these receipts
    ASSERT_TRUE(click_report_button(t.s(), "cmdserver2"));
    EXPECT_FALSE(std::filesystem::exists(t.home() / t.st().closeoutfile));
    const auto jobs = t.jobs();
    ASSERT_EQ(jobs.size(), 3u);

    const Lines tickets = header("Server Item Sales by Ticket #", "Server       :12", kDash40) +
                          Lines{"Ticket #      Base    S/C    Tax   Total",
                                "1            12.00   2.70    .96   15.66",
                                "2             4.00    .00    .32    4.32",
                                "Totals:      16.00   2.70   1.28   19.98",
                                kDash40,
                                "Ticket Count:   2",
                                kDash40} +
                          Lines(4, kBlank);
    ASSERT_GT(jobs[0].size(), tickets.size());
    EXPECT_EQ(std::vector<std::string>(jobs[0].begin(), jobs[0].begin() + tickets.size()), tickets);
    EXPECT_EQ(jobs[0][tickets.size()], "Server Item Sales Summary");
    EXPECT_TRUE(has_line_starting(jobs[0], "Ticket count:   3"));

    EXPECT_EQ(jobs[1].front(), "Local Hold Tickets");
    EXPECT_TRUE(has_line_starting(jobs[1], "21 - 12"));
    EXPECT_FALSE(has_line_starting(jobs[1], "20 - 13"));
    EXPECT_EQ(jobs[2].front(), "Main Hold Tickets");
    EXPECT_TRUE(has_line_starting(jobs[2], "31 - 12"));
    EXPECT_FALSE(has_line_starting(jobs[2], "30 - 13"));

    EXPECT_EQ(file_lines(t.home() / "audit03.txt"),
              (std::vector<std::string>{"09042020\\14:37\\E#12\\SvrTktRpt-12",
                                        "09042020\\14:37\\E#12\\MyTktRpt-12"}));
    EXPECT_EQ(t.s().form.ownsalesonly, 1);
    EXPECT_EQ(t.st().reportbusy, 0);
}

TEST(ServerCashierReports, OffLineSkipsMainHoldSales) {
    TestStation t;
    build_store(t);
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
        build_store(t);
        ASSERT_TRUE(click_report_button(t.s(), name));
        EXPECT_FALSE(t.jobs().empty());
    }
}

}  // namespace
}  // namespace tillora
