#include <gtest/gtest.h>

#include "reports/other/report_buttons.h"
#include "reports/server/server_tickets.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::TestStation;

const std::string kDash40(40, '-');
const std::string kBlank(39, ' ');

// Server 12's closed tickets 1 and 2 in the range 10:00-13:59; ticket 3 is out of the time
// range; server 13 has lines on ticket 1 and held tickets of its own.
void build_store(TestStation& t) {
    t.add_lines({
        {{"server", 12},
         {"posacctnum", 100},
         {"posmemo", "Steak"},
         {"poschitbase", 10.0},
         {"poschitsrvchg", 1.0},
         {"poschittax", 0.8}},
        {{"server", 12},
         {"itemnumber", -5},
         {"posacctnum", 100},
         {"poschitbase", 2.0},
         {"poschitsrvchg", 0.2},
         {"poschittax", 0.16}},
        {{"server", 12}, {"itemnumber", -2}, {"posacctnum", 100}, {"poschitsrvchg", 1.5}},
        {{"server", 12}, {"status", -10}, {"posacctnum", 100}, {"poschitbase", 50.0}},
        {{"server", 12}, {"itemnumber", -2}, {"status", -12}, {"poschitsrvchg", 9.0}},
        {{"server", 13}, {"posacctnum", 100}, {"poschitbase", 7.0}, {"poschittax", 0.5}},
        {{"server", 13}, {"itemnumber", -2}, {"poschitsrvchg", 4.0}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", 4},
         {"posacctnum", 100},
         {"posmemo", "Wine"},
         {"poschitbase", 4.0},
         {"poschittax", 0.32}},
        {{"server", 12}, {"ticket", 3}, {"trantime", "23:30:00"}, {"poschitbase", 70.0}},
        {{"server", 12}, {"ticket", 21}, {"status", 1}, {"poschitbase", 6.0}},
        {{"server", 13}, {"ticket", 20}, {"status", 1}, {"poschitbase", 8.0}},
    });
    auto held = Database::open(t.home() / "server" / "kovratmp.mdb");
    for (const auto& [ticket, server] : {std::pair{31, 12}, std::pair{30, 13}}) {
        test::insert_row(*held, "xact",
                         {{"ticket", ticket},
                          {"server", server},
                          {"itemnumber", 1},
                          {"status", 1},
                          {"poschitdate", 20200904},
                          {"trantime", "12:00:00"},
                          {"poschitbase", 5.0}});
    }
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
}

std::vector<std::string> header(const std::string& title) {
    return {title,
            "Report date  :09-04-2020 Time:14:37:05",
            "Server       :12",
            "Date range   :20200904 - 20200904",
            "Time range   :10:00:00 - 13:59:59",
            "Workstation #:03",
            kDash40};
}

bool has_line_starting(const std::vector<std::string>& job, const std::string& start) {
    for (const auto& line : job) {
        if (line.rfind(start, 0) == 0) return true;
    }
    return false;
}

TEST(ServerCashierReports, PrintsTicketsThenTheSummaryInOneJobThenTheHoldLists) {
    TestStation t;
    build_store(t);
    ASSERT_TRUE(click_report_button(t.s(), "cmdserver2"));
    const auto jobs = t.jobs();
    ASSERT_EQ(jobs.size(), 3u);

    std::vector<std::string> tickets = header("Server Item Sales by Ticket #");
    for (const std::string& line :
         {std::string("Ticket #      Base    S/C    Tax   Total"),
          std::string("1            12.00   2.70    .96   15.66"),
          std::string("2             4.00    .00    .32    4.32"),
          std::string("Totals:      16.00   2.70   1.28   19.98"), kDash40,
          std::string("Ticket Count:   2"), kDash40, kBlank, kBlank, kBlank, kBlank}) {
        tickets.push_back(line);
    }
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

    EXPECT_EQ(test::file_lines(t.home() / "audit03.txt"),
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
    EXPECT_EQ(test::file_lines(t.home() / "audit03.txt"),
              (std::vector<std::string>{"09042020\\14:37\\E#0\\SvrTktRpt-12",
                                        "09042020\\14:37\\E#0\\MyTktRpt-12"}));
}

TEST(ServerCashierReports, NeverWritesTheCloseOutFile) {
    TestStation t;
    build_store(t);
    t.st().closeoutfile = "closeout03-20200904.txt";
    cmdserver2_click(t.s());
    EXPECT_FALSE(std::filesystem::exists(t.home() / "closeout03-20200904.txt"));
    EXPECT_EQ(t.jobs().size(), 3u);
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
