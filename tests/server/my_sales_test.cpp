#include <gtest/gtest.h>

#include "reports/server/my_sales.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::TestStation;

const std::string kDash40(40, '-');
const std::string kBlank(39, ' ');

// Server 12 in the range 10:00-13:59, service-charge account 4000. Server 13 shares ticket 1.
void build_store(TestStation& t) {
    t.st().arglsrvchg = 4000;
    t.add_lines({
        {{"server", 12},
         {"itemnumber", 7},
         {"posmemo", "2 Burger"},
         {"posacctnum", 100},
         {"poschitbase", 10.0},
         {"poschitsrvchg", 1.0},
         {"poschittax", 0.8}},
        {{"server", 12},
         {"itemnumber", 7},
         {"posmemo", "Burger"},
         {"posacctnum", 100},
         {"poschitbase", 5.0},
         {"poschitsrvchg", 0.5},
         {"poschittax", 0.4}},
        {{"server", 13}, {"itemnumber", 7}, {"posacctnum", 100}, {"poschitbase", 100.0}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", 3},
         {"posmemo", "Th\xc3\xa9|x"},
         {"posacctnum", 100},
         {"poschitbase", 2.0},
         {"poschittax", 0.16}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", -5},
         {"posmemo", "Open food"},
         {"posacctnum", 100},
         {"poschitbase", 1.0},
         {"poschitsrvchg", 0.1},
         {"poschittax", 0.08}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", 9},
         {"posmemo", "1"},
         {"posacctnum", 4000},
         {"poschitbase", 3.0},
         {"poschittax", 0.5}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", -2},
         {"posacctnum", 4000},
         {"poschitsrvchg", 1.5}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", 8},
         {"status", -86},
         {"posacctnum", 100},
         {"poschitbase", 60.0}},
        // Tenders: amounts over the whole day, ordered by batch, unbatched ones left out.
        {{"server", 12},
         {"itemnumber", -1},
         {"postendtype", 1},
         {"posmemo", "Paid by Cash"},
         {"posbatch", "2"},
         {"posacctnum", 100},
         {"poschitbase", 20.0}},
        {{"server", 12},
         {"ticket", 3},
         {"itemnumber", -1},
         {"postendtype", 1},
         {"trantime", "23:30:00"},
         {"posmemo", "Paid by Cash"},
         {"posbatch", "2"},
         {"poschitbase", 5.0}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", -1},
         {"postendtype", 3},
         {"posmemo", "Paid by Visa"},
         {"posbatch", "1"},
         {"posacctnum", 100},
         {"poschitbase", 15.0}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", -1},
         {"postendtype", 4},
         {"posmemo", "Paid by Check"},
         {"posbatch", "0"},
         {"poschitbase", 9.0}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", -1},
         {"postendtype", 5},
         {"posmemo", "Paid by Gift"},
         {"posbatch", "abc"},
         {"poschitbase", 8.0}},
        {{"server", 12},
         {"ticket", 2},
         {"itemnumber", -1},
         {"postendtype", 6},
         {"posbatch", Value::null()},
         {"poschitbase", 7.0}},
        {{"server", 12},
         {"ticket", 5},
         {"itemnumber", -1},
         {"postendtype", 1},
         {"poschitdate", 20200903},
         {"posbatch", "2"},
         {"poschitbase", 50.0}},
        // Ticket 3 is outside the time range: its item is left out, its ticket is counted.
        {{"server", 12},
         {"ticket", 3},
         {"itemnumber", 7},
         {"trantime", "23:30:00"},
         {"posacctnum", 100},
         {"poschitbase", 70.0}},
    });
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

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(MySalesSummary, PrintsItemsTendersAndTicketCountOnOneReceipt) {
    TestStation t;
    build_store(t);
    cmdserver1_click(t.s());
    const auto expected = header("Server Item Sales Summary") +
                          std::vector<std::string>{"Item Sales    Base    S/C    Tax   Total",
                                                   "Open food     1.00    .10    .08    1.18",
                                                   "Th   x        2.00    .00    .16    2.16",
                                                   "Burger       15.00   1.50   1.20   17.70",
                                                   "               .00   3.00    .00    3.00",
                                                   kDash40,
                                                   "Totals:      18.00   4.60   1.44   24.04",
                                                   kDash40,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank} +
                          header("Cashier Tender Summary - Closed Tickets") +
                          std::vector<std::string>{"Visa                               15.00",
                                                   "Cash                               25.00",
                                                   kDash40,
                                                   "Total:                             40.00",
                                                   kDash40,
                                                   "Ticket count:   3",
                                                   kDash40,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank};
    ASSERT_EQ(t.jobs().size(), 1u);
    EXPECT_EQ(t.jobs()[0], expected);
    EXPECT_EQ(t.st().reportbusy, 0);
    EXPECT_EQ(t.s().form.ownsalesonly, 1);
}

TEST(MySalesSummary, NoSalesPrintsBothHeadersAndNoTicketCount) {
    TestStation t;
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
    cmdserver1_click(t.s());
    const auto expected = header("Server Item Sales Summary") +
                          std::vector<std::string>{"Item Sales    Base    S/C    Tax   Total",
                                                   kDash40,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank,
                                                   kBlank} +
                          header("Cashier Tender Summary - Closed Tickets") +
                          std::vector<std::string>{kDash40, kBlank, kBlank, kBlank};
    ASSERT_EQ(t.jobs().size(), 1u);
    EXPECT_EQ(t.jobs()[0], expected);
}

TEST(MySalesSummary, WritesTheAuditEntryWithTheEmployeeUnlessNewempClearedIt) {
    for (int newemp : {0, 1}) {
        TestStation t;
        build_store(t);
        t.st().newemp = newemp;
        t.st().printall = 1;  // the job is ended all the same
        cmdserver1_click(t.s());
        EXPECT_EQ(t.jobs().size(), 1u);
        const auto audit = test::file_lines(t.home() / "audit03.txt");
        EXPECT_EQ(audit, std::vector<std::string>{std::string("09042020\\14:37\\E#") +
                                                  (newemp ? "0" : "12") + "\\SvrTktRpt-12"});
        EXPECT_EQ(t.st().auditline, "");
    }
}

TEST(MySalesSummary, ItemTextDropsTheQuantityAndCleansTheRest) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2 Burger", "Burger"},
        {"12 Wings", " Wings"},
        {"Fries", "Fries"},
        {"0 Soup", "0 Soup"},
        {"-1 Refund", "-1 Refund"},
        {"", ""},
        {"1", ""},
        {"12", ""},
        {"3 ", ""},
        {"Fish & Chips!", "Fish & Chips!"},
        {"a,b\"c\td", "a b c d"},
        {"\xc3\xa9", "  "},
    };
    TestStation t;
    for (const auto& [memo, text] : cases) {
        EXPECT_EQ(item_text(t.s(), memo), text) << memo;
        EXPECT_EQ(t.st().cleanstr, "");
    }
}

TEST(MySalesSummary, TenderLabelDropsPaidBy) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Paid by Cash", "Cash"},
        {"Paid by ", ""},
        {"Paid by", ""},
        {"Cash", "Cash"},
        {"paid by Visa", "paid by Visa"},
        {"Gift Paid by X", "d by X"},
        {"", ""},
    };
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
