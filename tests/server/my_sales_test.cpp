#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "reports/other/report_buttons.h"
#include "reports/server/my_sales.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using namespace test;

// Items, tenders and the ticket count on one receipt (without sales, the audit entry: the
// cases of tests/cases/my-sales.txt).
TEST(MySalesSummary, PrintsItemsTendersAndTicketCountOnOneReceipt) {
    TestStation t;
    add_my_sales_day(t);
    ASSERT_TRUE(click_report_button(t.s(), "cmdserver1"));
    expect_jobs(t, {"my-sales.txt"});
    EXPECT_EQ(t.st().reportbusy, 0);
    EXPECT_EQ(t.s().form.ownsalesonly, 1);
}

// A service, tender or payment line on the service-charge account, or with no account, is that
// account's row: listed last, its base under S/C and Total, and counted in the totals.
TEST(MySalesSummary, NegativeItemsOnTheServiceChargeAccountPrintItsRow) {
    auto account = [](int number, const char* memo) {
        return Row{{"posacctnum", number}, {"posmemo", memo}};
    };
    const std::string dash(40, '-');
    const struct {
        double arglsrvchg;
        Row line;
        Lines items;
    } cases[] = {
        {0,
         line(12, 1, -2, 0, 3.03, 0, {{"posmemo", "Service charge"}}),
         {"Burger       10.00   1.00    .80   11.80", "Service ch     .00    .00    .00     .00",
          dash, "Totals:      10.00   1.00    .80   11.80"}},
        {900,
         line(12, 1, -1, -17.71, 0, 0,
              {{"posacctnum", 900}, {"posmemo", "Paid by Cash"}, {"postendtype", 1}}),
         {"Burger       10.00   1.00    .80   11.80", "Paid by Ca     .00 -17.71    .00  -17.71",
          dash, "Totals:      10.00 -16.71    .80   -5.91"}},
    };
    for (const auto& c : cases) {
        TestStation t;
        t.st().arglsrvchg = c.arglsrvchg;
        t.add_lines({line(12, 1, 7, 10.0, 1.0, 0.8, account(100, "Burger")), c.line,
                     line(12, 1, -3, 4.0, 0, 0, account(100, "On account"))});
        operator_12_midday(t);
        cmdserver1_click(t.s());
        ASSERT_EQ(t.jobs().size(), 1u);
        const Lines job = t.jobs()[0];
        EXPECT_EQ(Lines(job.begin() + 8, job.begin() + 8 + c.items.size()), c.items);
    }
}

// The cases of tests/server/memo_texts.txt.
TEST(MySalesSummary, ItemTextAndTenderLabel) {
    TestStation t;
    int rows = 0;
    for (const std::string& line :
         file_lines(std::filesystem::path(TILLORA_SOURCE_DIR) / "tests/server/memo_texts.txt")) {
        if (line.empty() || line[0] == '#') continue;
        ++rows;
        std::istringstream in(line);
        std::string kind, memo, text;
        in >> kind >> std::quoted(memo) >> std::quoted(text);
        EXPECT_EQ(kind == "item" ? item_text(t.s(), memo) : tender_label(memo), text) << line;
        EXPECT_EQ(t.st().cleanstr, "");
    }
    EXPECT_EQ(rows, 20);
}

TEST(MySalesSummary, DatabaseFailurePrintsNothingAndWritesNoEntry) {
    TestStation t;
    add_my_sales_day(t);
    std::filesystem::remove(t.home() / "RPT03.MDB");
    cmdserver1_click(t.s());
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.boxes().back().rfind("MSGBOX Oops... | ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(t.home() / "audit03.txt"));
}

}  // namespace
}  // namespace tillora
