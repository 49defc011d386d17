#include <gtest/gtest.h>

#include "reports/other/credit_card.h"
#include "reports/other/removed_items.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::kBlank;
using test::kDash39;
using test::kDash40;
using test::Lines;
using test::lines_from;
using test::TestStation;
using test::operator+;

void add_card_day(TestStation& t) {
    t.add_lines({
        {{"ticket", 301}, {"itemnumber", -1}, {"postendtype", 3}, {"trantime", "03:00:00"}},
        {{"ticket", 302}, {"itemnumber", -1}, {"postendtype", 5}},
        {{"ticket", 303}, {"itemnumber", -1}, {"postendtype", 1}},
        {{"ticket", 304}, {"itemnumber", -1}, {"postendtype", 4}},
        {{"ticket", 305}, {"itemnumber", -1}, {"postendtype", 3}, {"poschitdate", 20200905}},
    });
    auto db = t.xact_db();
    const char* columns[] = {"ticket",   "status",  "amount",        "ccnumber",     "ccname",
                             "expmonth", "expyear", "resultrefcode", "resultorderid"};
    const std::vector<Value> cards[] = {
        {301, 3, 1234, "4111111111111111", " Jane Smith ", "9", "2025", "REF123", "ORD9"},
        {301, 3, 999, "5500000000000004", "Second Row", "1", "2030", "X", "Y"},
        {302, 2, 7777, "4000", "Not Settled", "1", "2030", "X", "Y"},
        {302, 4, 5000, "12", "Bob", "12", "27", "R2", "O2"},
        {305, 3, 100, "9999", "Next Day", "1", "2030", "X", "Y"}};
    for (const auto& card : cards) {
        test::Row row;
        for (std::size_t i = 0; i < card.size(); ++i) row.emplace_back(columns[i], card[i]);
        test::insert_row(*db, "ccard", row);
    }
}

TEST(CreditCardReport, ListsTheFirstSettledCardPaymentOfEachCardTicket) {
    TestStation t;
    add_card_day(t);
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "22";  // the time of day does not filter the list
    cmdcreditcard_click(t.s());
    ASSERT_EQ(t.jobs().size(), 1u);
    // clang-format off
    const Lines expected = {
        "Credit Card Report", "Date printed: 09-04-2020 Time: 14:37:05",
        "From date: 20200904 to: 20200904", "Time range   : - ", "Printed by Emp#: 12",
        "Workstation #  : 03", kDash39, "Ticket Card# Name        ExpDate   Total",
        "   RefCode-AuthCode       OrderID/RefNo", kDash39,
        "301     1111 Jane Smith  9 /2025   12.34", "  REF123                  ORD9          ", " ",
        "302       12 Bob         12/27     50.00", "  R2                      O2            ", " ",
        "Total:                             62.34", kDash39, "Count:   2", kDash39};
    // clang-format on
    EXPECT_EQ(t.jobs()[0], expected + test::paper_feed());
    EXPECT_EQ(t.st().reportbusy, 0);
}

TEST(CreditCardReport, EmptyRangesAndDatesInReverse) {
    struct Case {
        const char* name;
        const char* from;
        const char* to;
        bool closeout;
        std::vector<std::string> boxes;
    };
    const std::string none = "MSGBOX Oops... | No credit card transactions between ";
    // clang-format off
    const std::vector<Case> cases = {
        {"dates in reverse are not exchanged", "20200905", "20200904", false,
         {none + "20200905 and 20200904"}},
        {"no card tickets", "20200801", "20200802", false, {none + "20200801 and 20200802"}},
        {"the close-out run says nothing", "20200801", "20200802", true, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        add_card_day(t);
        if (c.closeout) t.enter_closeout_mode();
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        cmdcreditcard_click(t.s());
        EXPECT_EQ(t.boxes(), c.boxes);
        EXPECT_TRUE(t.jobs().empty());
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

TEST(CreditCardReport, CardTicketsWithoutPaymentsPrintAZeroTotalAndAnEmptyCount) {
    TestStation t;
    t.add_line({{"ticket", 401}, {"itemnumber", -1}, {"postendtype", 6}});
    cmdcreditcard_click(t.s());
    ASSERT_EQ(t.jobs().size(), 1u);
    const auto body = lines_from(t.jobs()[0], 10);
    EXPECT_EQ(body[0], "Total:                               .00");
    EXPECT_EQ(body[2], "Count:   ");
}

void add_removed_day(TestStation& t) {
    auto removed = [](int ticket, int server, const char* text, double base) {
        return test::Row{{"ticket", ticket},
                         {"server", server},
                         {"status", -76},
                         {"saletext", text},
                         {"poschitbase", base}};
    };
    t.add_lines({removed(101, 7, "Caesar Salad", 12.5),
                 removed(103, 7, "Soup", 4.0),
                 removed(102, 9, "Steak Frites Special", -30.0),
                 test::with(removed(104, 9, "", 8.0), {{"trantime", "05:00:00"}}),
                 {{"ticket", 105}, {"server", 9}, {"status", 2}, {"poschitbase", 9.0}}});
}

TEST(RemovedItems, GroupsRemovedLinesByServerWithSubtotals) {
    TestStation t;
    add_removed_day(t);
    t.s().form.txtfromhour.text = "06";
    cmdserver9_click(t.s());
    cmdserver9_click(t.s());  // a second run keeps no rows of the first
    const auto jobs = t.jobs();
    ASSERT_EQ(jobs.size(), 2u);
    const auto& job = jobs[1];
    EXPECT_EQ(job[0], "Removed Items");
    // clang-format off
    const Lines expected = {
        "Server Ticket    Item Desc         Base", "7      101       Caesar Salad     12.50",
        "7      103       Soup              4.00", "Server Total:                     16.50", kBlank,
        "9      102       Steak Frites    -30.00", "Server Total:                    -30.00", kBlank,
        "Grand Total:                     -13.50", kDash40, "Removed Count:   3", kDash40};
    // clang-format on
    EXPECT_EQ(lines_from(job, 7), expected + test::paper_feed());
}

TEST(RemovedItems, NothingRemovedPrintsZeroTotalsAndCloseOutHasNoBlankLines) {
    TestStation t;
    t.enter_closeout_mode();
    cmdserver9_click(t.s());
    const auto lines = t.closeout();
    ASSERT_GE(lines.size(), 7u);
    const Lines expected = {"Server Ticket    Item Desc         Base",
                            "Server Total:                       .00",
                            "Grand Total:                        .00",
                            kDash40,
                            "Removed Count:   ",
                            kDash40};
    EXPECT_EQ(lines_from(lines, 7), expected);
    EXPECT_EQ(lines[2], "Printed by   :CENTRAL");
}

}  // namespace
}  // namespace tillora
