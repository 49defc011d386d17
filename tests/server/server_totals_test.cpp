#include <gtest/gtest.h>

#include "engine/print_frame.h"
#include "reports/server/server_totals.h"
#include "server/server_store.h"

namespace tillora {
namespace {

using namespace test;

// Server 5: closed lines of every kind. Server 7: cleared lines and a closed ticket. Server -3:
// a closed item. Held lines and lines outside the time range are left out.
void build_store(TestStation& t) {
    t.add_lines({
        line(5, 1, 1, 10.0, 1.0, 0.8),
        line(5, 1, -5, 2.0, 0.2, 0.16),
        line(5, 1, -2, 0, 1.5),
        line(5, 1, -1, 40.0),
        line(5, 1, 1, 99.0, 0, 0, {{"status", 1}}),
        line(5, 1, 1, 77.0, 0, 0, {{"trantime", "14:00:00"}}),
        line(7, 2, 1, 3.0, 0.3, 0.24, {{"status", -86}}),
        line(7, 2, -5, 1.0, 0, 0, {{"status", -86}}),
        line(7, 2, -2, 0, 0.5, 0, {{"status", -86}}),
        line(7, 3, 1, 123456.78, 0, 0, {{"status", 3}}),
        line(7, 3, -2, 0, 0.4, 0, {{"status", 3}}),
        line(-3, 4, 1, 4.0),
    });
    operator_12_midday(t);
}

struct Case {
    const char* name;
    void (*click)(Station&);
    const char* title;
    const char* status_text;
    std::vector<std::string> rows;
};

TEST(ServerTotals, PrintsOneLineAndTheTotalsPerServerOnTheReceipt) {
    // clang-format off
    const std::vector<Case> cases = {
        {"closed", cmdserver4_click, "All Servers - Closed Tickets", "Server Totals Report",
         {"5            12.00   2.70    .96   15.66", "7         23456.78    .40    .0023457.18",
          "Totals:   23468.78   3.10    .9623472.84"}},
        {"cleared", cmdserver6_click, "Server Cleared Ticket Totals", "Server 'Clear' Totals",
         {"7             3.00    .30    .24    3.54", "Totals:       3.00    .30    .24    3.54"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        build_store(t);
        c.click(t.s());
        const std::string servers = std::to_string(c.rows.size() - 1);
        const auto expected = header(c.title, "Printed by   :12", kDash39) +
                              Lines{"Server        Base    S/C    Tax   Total"} + c.rows +
                              Lines{kDash39, "Tender Count:   " + servers, kDash39} + paper_feed();
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
    for (const auto& printed : t.printed()) EXPECT_NE(printed.rfind("-3", 0), 0u) << printed;
}

TEST(ServerTotals, EmptyRangePrintsTheFrameWithoutTotals) {
    TestStation t;
    t.s().form.txtempid.text = "12";
    cmdserver6_click(t.s());
    ASSERT_EQ(t.jobs().size(), 1u);
    const auto job = t.jobs()[0];
    ASSERT_EQ(job.size(), 17u);
    EXPECT_EQ(std::vector<std::string>(job.begin() + 7, job.begin() + 11),
              (std::vector<std::string>{"Server        Base    S/C    Tax   Total", kDash39,
                                        "Tender Count:   ", kDash39}));
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
