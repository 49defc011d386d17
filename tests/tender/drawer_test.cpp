#include <gtest/gtest.h>

#include "reports/tender/drawer.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::tender;
using test::TestStation;

TEST(BalanceDrawer, PrintsTendersPaidOutsInsAndTheCountForm) {
    const char* paid_lines =
        "09-04-2020 14:00 E#12 PaidOut 12.50\n"
        "09-04-2020 15:00 E#12 Paid-IN 5.00\n"
        "09-04-2020 16:00 E#12 paidout 3.00\n"
        "09-03-2020 16:00 E#12 PaidOut 8.00\n"
        "09042020\\16:00\\E#12\\PaidOut 8.00\n";
    const test::Row cash = tender(1, 1, 10.0, "Paid by Cash");
    const struct {
        std::vector<test::Row> lines;
        const char* audit;  // nullptr: no audit file
        bool closeout;
        const char* expected;  // the receipt, or the close-out file
        const char* from = "20200904";
        const char* to = "20200904";
    } cases[] = {
        // clang-format off
        {{tender(1, 1, -40.0, "Refund"), tender(2, 2, 20.0, "Paid by Check"),
          tender(3, 20, 3.0, "Paid by House Acct")}, paid_lines, false, "drawer.txt"},
        // The amount is read one character after the keyword, which must start at position 6 or
        // later, in its case: 1.00 + 12.50 - 3.25 + 5 + 2 + 0 + 0 in 7 entries.
        {{cash}, "09-PaidOut 77.00\n09-04-2020 PaidOut 1.00\n09-04-2020 PaidOut 12.50\n"
         "09-04-2020 PaidOut:-3.25 cash\n09-04-2020 Paid-IN 5 PaidOut 2\n09-04-2020 PaidOut\n"
         "0904PaidOut 9.00\n09-04-2020 PaidOut x9.00\n09-04-2020 PAIDOUT 9.00\n", false,
         "drawer-keyword-position.txt", "20200101", "20201231"},
        {{}, paid_lines, false, "drawer-no-tenders.txt"},
        {{cash}, nullptr, false, "drawer-no-audit.txt"},
        {{cash}, nullptr, true, "drawer-closeout.txt"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        for (const test::Row& line : c.lines) t.add_line(line);
        if (c.audit) test::write_file(t.home() / "audit03.txt", c.audit);
        if (c.closeout) t.enter_closeout_mode();
        cmdbalancedrawer_click(t.s());

        if (c.closeout) {
            test::expect_closeout(t, c.expected);
            EXPECT_TRUE(t.jobs().empty());
        } else {
            test::expect_jobs(t, {c.expected});
        }
        EXPECT_EQ(t.boxes(), c.audit
                                 ? std::vector<std::string>{}
                                 : std::vector<std::string>{"MSGBOX audit03.txt | No audit file."});
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

}  // namespace
}  // namespace tillora
