#include <gtest/gtest.h>

#include "engine/print_frame.h"
#include "reports/server/server_totals.h"
#include "support/report_cases.h"

namespace tillora {
namespace {

using namespace test;

// The cases of tests/cases/server-totals.txt, server-tickets.txt and my-sales.txt.
TEST(ServerReports, Cases) {
    for (const char* table : {"server-totals", "server-tickets", "my-sales"}) {
        SCOPED_TRACE(table);
        run_report_cases(table);
    }
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
