#include <gtest/gtest.h>

#include "reports/server/my_sales.h"
#include "server/server_store.h"

namespace tillora {
namespace {

using namespace test;

Row account(int number, const char* memo = nullptr) {
    Row r{{"posacctnum", number}};
    if (memo) r.emplace_back("posmemo", memo);
    return r;
}

Row tender(int type, const Value& batch, const char* memo, Row more = {}) {
    Row r{{"postendtype", type}, {"posbatch", batch}, {"posmemo", memo}};
    r.insert(r.end(), more.begin(), more.end());
    return r;
}

// Server 12 in the range 10:00-13:59, service-charge account 4000. Server 13 shares ticket 1.
// Ticket 3 is outside the time range: its item is left out, its tender and ticket count.
// The -2 line on account 4000 and the tender lines without an account are service-charge
// account rows.
void build_store(TestStation& t) {
    t.st().arglsrvchg = 4000;
    const Row late{{"trantime", "23:30:00"}};
    t.add_lines({
        line(12, 1, 7, 10.0, 1.0, 0.8, account(100, "2 Burger")),
        line(12, 1, 7, 5.0, 0.5, 0.4, account(100, "Burger")),
        line(13, 1, 7, 100.0, 0, 0, account(100)),
        line(12, 2, 3, 2.0, 0, 0.16, account(100, "Th\xc3\xa9|x")),
        line(12, 2, -5, 1.0, 0.1, 0.08, account(100, "Open food")),
        line(12, 2, 9, 3.0, 0, 0.5, account(4000, "1")),
        line(12, 2, -2, 0, 1.5, 0, account(4000)),
        line(12, 2, 8, 60.0, 0, 0, {{"status", -86}}),
        line(12, 3, 7, 70.0, 0, 0, late),
        // Tenders: the whole day, ordered by batch; unbatched ones are left out.
        line(12, 1, -1, 20.0, 0, 0, tender(1, "2", "Paid by Cash")),
        line(12, 3, -1, 5.0, 0, 0, tender(1, "2", "Paid by Cash", late)),
        line(12, 2, -1, 15.0, 0, 0, tender(3, "1", "Paid by Visa")),
        line(12, 2, -1, 9.0, 0, 0, tender(4, "0", "Paid by Check")),
        line(12, 2, -1, 8.0, 0, 0, tender(5, "abc", "Paid by Gift")),
        line(12, 2, -1, 7.0, 0, 0, tender(6, Value::null(), "")),
        line(12, 5, -1, 50.0, 0, 0, tender(1, "2", "Paid by Cash", {{"poschitdate", 20200903}})),
    });
    operator_12_midday(t);
}

std::vector<std::string> summary_header(const std::string& title) {
    return header(title, "Server       :12", kDash40);
}

// The receipt: the item table and five blank lines, then the tender table and three.
Lines summary(const Lines& items, const Lines& tenders) {
    return summary_header("Server Item Sales Summary") +
           Lines{"Item Sales    Base    S/C    Tax   Total"} + items + Lines{kDash40} +
           Lines(5, kBlank) + summary_header("Cashier Tender Summary - Closed Tickets") + tenders +
           Lines{kDash40} + Lines(3, kBlank);
}

TEST(MySalesSummary, PrintsItemsTendersAndTicketCountOnOneReceipt) {
    TestStation t;
    build_store(t);
    cmdserver1_click(t.s());
    const Lines expected = summary(
        {"Open food     1.00    .10    .08    1.18", "Th  x         2.00    .00    .16    2.16",
         "Burger       15.00   1.50   1.20   17.70", "               .00    .00    .00     .00",
         "               .00  59.00    .00   59.00", "               .00   3.00    .00    3.00",
         kDash40, "Totals:      18.00  63.60   1.44   83.04"},
        {"Visa                               15.00", "Cash                               25.00",
         kDash40, "Total:                             40.00", kDash40, "Ticket count:   3"});
    EXPECT_EQ(t.jobs(), std::vector<Lines>{expected});
    EXPECT_EQ(t.st().reportbusy, 0);
    EXPECT_EQ(t.s().form.ownsalesonly, 1);
}

// A service, tender or payment line on the service-charge account, or with no account, is that
// account's row: listed last, its base under S/C and Total, and counted in the totals.
TEST(MySalesSummary, NegativeItemsOnTheServiceChargeAccountPrintItsRow) {
    const Row burger = account(100, "Burger");
    const struct {
        double arglsrvchg;
        Row line;
        Lines items;
    } cases[] = {
        {0,
         line(12, 1, -2, 0, 3.03, 0, {{"posmemo", "Service charge"}}),
         {"Burger       10.00   1.00    .80   11.80", "Service ch     .00    .00    .00     .00",
          kDash40, "Totals:      10.00   1.00    .80   11.80"}},
        {900,
         line(12, 1, -1, -17.71, 0, 0,
              {{"posacctnum", 900}, {"posmemo", "Paid by Cash"}, {"postendtype", 1}}),
         {"Burger       10.00   1.00    .80   11.80", "Paid by Ca     .00 -17.71    .00  -17.71",
          kDash40, "Totals:      10.00 -16.71    .80   -5.91"}},
    };
    for (const auto& c : cases) {
        TestStation t;
        t.st().arglsrvchg = c.arglsrvchg;
        t.add_lines({line(12, 1, 7, 10.0, 1.0, 0.8, burger), c.line,
                     line(12, 1, -3, 4.0, 0, 0, account(100, "On account"))});
        operator_12_midday(t);
        cmdserver1_click(t.s());
        ASSERT_EQ(t.jobs().size(), 1u);
        const Lines job = t.jobs()[0];
        EXPECT_EQ(Lines(job.begin() + 8, job.begin() + 8 + c.items.size()), c.items);
    }
}

TEST(MySalesSummary, NoSalesPrintsBothHeadersAndNoTicketCount) {
    TestStation t;
    operator_12_midday(t);
    cmdserver1_click(t.s());
    EXPECT_EQ(t.jobs(), std::vector<Lines>{summary({}, {})});
}

TEST(MySalesSummary, WritesTheAuditEntryWithTheEmployeeUnlessNewempClearedIt) {
    for (int newemp : {0, 1}) {
        TestStation t;
        build_store(t);
        t.st().newemp = newemp;
        t.st().printall = 1;  // the job is ended all the same
        cmdserver1_click(t.s());
        EXPECT_EQ(t.jobs().size(), 1u);
        EXPECT_EQ(file_lines(t.home() / "audit03.txt"),
                  std::vector<std::string>{std::string("09042020\\14:37\\E#") +
                                           (newemp ? "0" : "12") + "\\SvrTktRpt-12"});
        EXPECT_EQ(t.st().auditline, "");
    }
}

TEST(MySalesSummary, ItemTextDropsTheQuantityAndCleansTheRest) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2 Burger", "Burger"}, {"12 Wings", " Wings"}, {"Fries", "Fries"}, {"0 Soup", "0 Soup"},
        {"-1 Refund", "-1 Refund"}, {"", ""}, {"1", ""}, {"12", ""}, {"3 ", ""},
        {"Fish & Chips!", "Fish & Chips!"}, {"a,b\"c\td", "a b c d"}, {"\xc3\xa9", " "}};
    // clang-format on
    TestStation t;
    for (const auto& [memo, text] : cases) {
        EXPECT_EQ(item_text(t.s(), memo), text) << memo;
        EXPECT_EQ(t.st().cleanstr, "");
    }
}

TEST(MySalesSummary, TenderLabelDropsPaidBy) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Paid by Cash", "Cash"}, {"Paid by ", ""}, {"Paid by", ""}, {"Cash", "Cash"},
        {"paid by Visa", "paid by Visa"}, {"Gift Paid by X", "d by X"}, {"", ""}};
    // clang-format on
    for (const auto& [memo, label] : cases) EXPECT_EQ(tender_label(memo), label) << memo;
}

TEST(MySalesSummary, DatabaseFailurePrintsNothingAndWritesNoEntry) {
    TestStation t;
    build_store(t);
    std::filesystem::remove(t.home() / "RPT03.MDB");
    cmdserver1_click(t.s());
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.boxes().back().rfind("MSGBOX Oops... | ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(t.home() / "audit03.txt"));
}

}  // namespace
}  // namespace tillora
