#include <gtest/gtest.h>

#include "reports/other/credit_card.h"
#include "reports/other/removed_items.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::TestStation;

TEST(CreditCardReport, ListsTheFirstSettledCardPaymentOfEachCardTicket) {
    TestStation t;
    test::add_card_day(t);
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "22";  // the time of day does not filter the list
    cmdcreditcard_click(t.s());
    test::expect_jobs(t, {"credit-card.txt"});
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
        test::add_card_day(t);
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
    test::expect_jobs(t, {"credit-card-no-payments.txt"});
}

TEST(RemovedItems, GroupsRemovedLinesByServerWithSubtotals) {
    TestStation t;
    test::add_removed_day(t);
    t.s().form.txtfromhour.text = "06";
    cmdserver9_click(t.s());
    cmdserver9_click(t.s());  // a second run keeps no rows of the first
    const auto jobs = t.job_texts();
    ASSERT_EQ(jobs.size(), 2u);
    test::expect_file("removed-items.txt", jobs[1]);
}

TEST(RemovedItems, NothingRemovedPrintsZeroTotalsAndCloseOutHasNoBlankLines) {
    TestStation t;
    t.enter_closeout_mode();
    cmdserver9_click(t.s());
    test::expect_closeout(t, "removed-items-none-closeout.txt");
}

}  // namespace
}  // namespace tillora
