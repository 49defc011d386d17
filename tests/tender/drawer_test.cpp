#include <gtest/gtest.h>

#include "reports/tender/drawer.h"
#include "support/test_support.h"
#include "tender/receipts.h"

namespace tillora {
namespace {

using test::kDash40;
using test::Lines;
using test::operator+;
using test::TestStation;

// The cashier's count form; blank printer lines only outside close-out mode.
Lines count_form(bool closeout) {
    const Lines gap = closeout ? Lines{} : Lines{test::kBlank, test::kBlank};
    const Lines block = gap + Lines{"Ticket Count:________Total$_____________", kDash40};
    Lines form;
    for (const char* heading : {"CASH", "CHECKS", "MEMBER CHARGE"})
        form = form + Lines{heading} + block;
    form.push_back("CREDIT CARDS");
    for (int i = 0; i < 8; ++i)
        form = form + gap + Lines{"Type_______Count_______Total$__________"};
    form.push_back(kDash40);
    for (const char* heading : {"Paid Out/In", "Grand Total in Drawer"}) {
        form = form + Lines{heading} + block;
    }
    return form;
}

test::Row tender(int ticket, int type, double amount, const char* memo) {
    return {{"ticket", ticket}, {"itemnumber", -1},      {"postendtype", type},
            {"posbatch", "1"},  {"poschitbase", amount}, {"posmemo", memo}};
}

struct DrawerCase {
    const char* name;
    std::vector<test::Row> lines;
    const char* audit;  // nullptr: no audit file
    bool closeout;
    Lines rows;  // the lines between the heading and the dash line
    const char* unique;
    const char* count;
    const char* from = "20200904";
    const char* to = "20200904";
};

TEST(BalanceDrawer, PrintsTendersPaidOutsInsAndTheCountForm) {
    const char* paid_lines =
        "09-04-2020 14:00 E#12 PaidOut 12.50\n"
        "09-04-2020 15:00 E#12 Paid-IN 5.00\n"
        "09-04-2020 16:00 E#12 paidout 3.00\n"
        "09-03-2020 16:00 E#12 PaidOut 8.00\n"
        "09042020\\16:00\\E#12\\PaidOut 8.00\n";
    const test::Row cash = tender(1, 1, 10.0, "Paid by Cash");
    const Lines cash_only = {"1  Cash                   1      -10.00",
                             "   Totals:                1      -10.00"};
    // clang-format off
    const DrawerCase cases[] = {
        {"tenders with paid outs and ins",
         {tender(1, 1, -40.0, "Refund"), tender(2, 2, 20.0, "Paid by Check"),
          tender(3, 20, 3.0, "Paid by House Acct")}, paid_lines, false,
         {"1  Cash                   1       40.00", "2  Check                  1      -20.00",
          "20 House Acct             1       -3.00", "   Paid Out/In            2       17.50",
          "   Totals:                5       34.50"}, "3", "5"},
        {"keyword at position 10 or less", {cash}, "09-PaidOut 77.00\n09-04-2020 PaidOut 1.00\n",
         false, {"1  Cash                   1      -10.00", "   Paid Out/In            1        1.00",
          "   Totals:                2       -9.00"}, "1", "2", "20200101", "20201231"},
        {"no tender rows", {}, paid_lines, false, {}, "", ""},
        {"no audit file", {cash}, nullptr, false, cash_only, "1", "1"},
        {"close-out mode without audit file", {cash}, nullptr, true, cash_only, "1", "1"},
    };
    // clang-format on
    for (const DrawerCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        for (const test::Row& line : c.lines) t.add_line(line);
        if (c.audit) test::write_file(t.home() / "audit03.txt", c.audit);
        if (c.closeout) t.enter_closeout_mode();
        cmdbalancedrawer_click(t.s());

        const Lines expected = test::printed_header("Drawer Balancing Report", kDash40,
                                                    c.closeout ? "CENTRAL" : "12", c.from, c.to) +
                               Lines{"Tender                Count       Total"} + c.rows +
                               Lines{kDash40, std::string("Unique Tenders : ") + c.unique,
                                     std::string("Tender Count   : ") + c.count, kDash40} +
                               count_form(c.closeout) + Lines{kDash40};
        if (c.closeout) {
            EXPECT_EQ(t.closeout(), expected);
            EXPECT_TRUE(t.jobs().empty());
        } else {
            EXPECT_EQ(t.jobs(), std::vector<Lines>{expected + test::paper_feed()});
        }
        EXPECT_EQ(t.boxes(), c.audit ? Lines{} : Lines{"MSGBOX audit03.txt | No audit file."});
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

TEST(BalanceDrawer, PaidOutInReadsTheAmountAfterTheKeywordAndOneCharacter) {
    struct Case {
        const char* line;
        long count;
        double amount;
    };
    const Case cases[] = {
        {"09-04-2020 PaidOut 12.50", 1, 12.5},
        {"09-04-2020 PaidOut:-3.25 cash", 1, -3.25},
        {"09-04-2020 Paid-IN 5 PaidOut 2", 2, 7.0},  // both keywords on one line
        {"09-04-2020 PaidOut", 1, 0.0},              // nothing after the keyword
        {"0904PaidOut 9.00", 0, 0.0},                // keyword at position 5
        {"09-04-2020 PaidOut x9.00", 1, 0.0},        // no number after the separator
        {"09-04-2020 PAIDOUT 9.00", 0, 0.0},         // case-sensitive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        PaidOutIn paid;
        add_paid_out_in(c.line, paid);
        EXPECT_EQ(paid.count, c.count);
        EXPECT_DOUBLE_EQ(paid.amount, c.amount);
    }
}

}  // namespace
}  // namespace tillora
