#include <gtest/gtest.h>

#include "engine/print_frame.h"
#include "reports/server/server_totals.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::TestStation;

const std::string kDash39(39, '-');
const std::string kBlank(39, ' ');

// Server 5: closed lines of every kind. Server 7: cleared lines. Server -3: a closed item.
// Lines outside the time range, of held tickets and voided cleared lines are left out.
void build_store(TestStation& t) {
    t.add_lines({
        {{"server", 5}, {"poschitbase", 10.0}, {"poschitsrvchg", 1.0}, {"poschittax", 0.8}},
        {{"server", 5},
         {"itemnumber", -5},
         {"poschitbase", 2.0},
         {"poschitsrvchg", 0.2},
         {"poschittax", 0.16}},
        {{"server", 5}, {"itemnumber", -2}, {"poschitsrvchg", 1.5}},
        {{"server", 5}, {"itemnumber", -1}, {"poschitbase", 40.0}},
        {{"server", 5}, {"status", 1}, {"poschitbase", 99.0}},
        {{"server", 5}, {"trantime", "14:00:00"}, {"poschitbase", 77.0}},
        {{"server", 7},
         {"ticket", 2},
         {"status", -86},
         {"poschitbase", 3.0},
         {"poschitsrvchg", 0.3},
         {"poschittax", 0.24}},
        {{"server", 7}, {"ticket", 2}, {"status", -86}, {"itemnumber", -5}, {"poschitbase", 1.0}},
        {{"server", 7}, {"ticket", 2}, {"status", -86}, {"itemnumber", -2}, {"poschitsrvchg", 0.5}},
        {{"server", 7}, {"ticket", 3}, {"status", 3}, {"poschitbase", 123456.78}},
        {{"server", 7}, {"ticket", 3}, {"status", 3}, {"itemnumber", -2}, {"poschitsrvchg", 0.4}},
        {{"server", -3}, {"ticket", 4}, {"status", 2}, {"poschitbase", 4.0}},
    });
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
}

std::vector<std::string> header(const std::string& title, const std::string& who,
                                const std::string& dash) {
    return {title,
            "Report date  :09-04-2020 Time:14:37:05",
            who,
            "Date range   :20200904 - 20200904",
            "Time range   :10:00:00 - 13:59:59",
            "Workstation #:03",
            dash,
            "Server        Base    S/C    Tax   Total"};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Case {
    const char* name;
    void (*click)(Station&);
    const char* title;
    const char* status_text;
    std::vector<std::string> body;
};

TEST(ServerTotals, PrintsOneLineAndTheTotalsPerServerOnTheReceipt) {
    const std::vector<Case> cases = {
        {"closed",
         cmdserver4_click,
         "All Servers - Closed Tickets",
         "Server Totals Report",
         {"5            12.00   2.70    .96   15.66", "7         23456.78    .40    .0023457.18",
          "Totals:   23468.78   3.10    .9623472.84"}},
        {"cleared",
         cmdserver6_click,
         "Server Cleared Ticket Totals",
         "Server 'Clear' Totals",
         {"7             3.00    .30    .24    3.54", "Totals:       3.00    .30    .24    3.54"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        build_store(t);
        c.click(t.s());
        const std::size_t servers = c.body.size() - 1;
        const auto expected = concat(concat(header(c.title, "Printed by   :12", kDash39), c.body),
                                     {kDash39, "Tender Count:   " + std::to_string(servers),
                                      kDash39, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank});
        ASSERT_EQ(t.jobs().size(), 1u);
        EXPECT_EQ(t.jobs()[0], expected);
        EXPECT_EQ(t.s().form.helpwindow.text, c.status_text);
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

TEST(ServerTotals, GathersNegativeServersWithoutPrintingThem) {
    TestStation t;
    build_store(t);
    cmdserver4_click(t.s());
    auto rpt = t.report_db();
    auto rs = rpt->open_recordset("select base from ar where aracctnum = -3");
    ASSERT_EQ(rs.record_count(), 1);
    EXPECT_EQ(rs.field("base").as_currency(), Currency::from_units(40000));
    for (const auto& line : t.printed()) EXPECT_NE(line.rfind("-3", 0), 0u) << line;
}

TEST(ServerTotals, EmptyRangePrintsTheFrameWithoutTotals) {
    TestStation t;
    t.s().form.txtempid.text = "12";
    cmdserver6_click(t.s());
    ASSERT_EQ(t.jobs().size(), 1u);
    const auto job = t.jobs()[0];
    ASSERT_EQ(job.size(), 17u);
    EXPECT_EQ(job[7], "Server        Base    S/C    Tax   Total");
    EXPECT_EQ(job[8], kDash39);
    EXPECT_EQ(job[9], "Tender Count:   ");
    EXPECT_EQ(job[10], kDash39);
}

TEST(ServerTotals, CloseOutModeWritesTheWholeReceiptToTheCloseOutFile) {
    for (auto click : {cmdserver4_click, cmdserver6_click}) {
        TestStation t;
        build_store(t);
        t.enter_closeout_mode();
        t.st().dashline = std::string(40, '=');  // what the previous report left
        click(t.s());
        EXPECT_TRUE(t.jobs().empty());
        const auto lines = t.closeout();
        ASSERT_GE(lines.size(), 11u);
        EXPECT_EQ(lines[2], "Printed by   :CENTRAL");
        EXPECT_EQ(lines[6], kDash39);
        EXPECT_EQ(lines[lines.size() - 2].rfind("Tender Count:   ", 0), 0u);
        EXPECT_EQ(lines.back(), kDash39);
    }
}

// Under Print All Reports Server Totals still selects the printer (so an invalid printer stops
// it), while Server Clear Totals prints on the current printer; neither ends the job.
TEST(ServerTotals, PrintAllSelectsThePrinterOnlyForServerTotals) {
    TestStation t;
    build_store(t);
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
    EXPECT_EQ(t.jobs()[0].back(), kBlank);
}

TEST(ServerTotals, FailuresLeaveTheNextReportFree) {
    TestStation t;
    build_store(t);
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
