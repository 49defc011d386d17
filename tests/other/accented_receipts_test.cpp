// The credit card and removed items reports, and receipts of members and dishes with accents:
// every column keeps its width in characters, no cut splits a character, and text that a
// register wrote in Windows-1252 (store or audit file) prints as the same letters.
#include <gtest/gtest.h>

#include "engine/ticket_lists.h"
#include "platform/text.h"
#include "reports/other/credit_card.h"
#include "reports/other/removed_items.h"
#include "reports/server/my_sales.h"
#include "reports/tender/audit_reports.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::TestStation;

// Each case's rows are the fixture named like its expected file; the paid-outs come from an
// audit file with a Windows-1252 line.
TEST(AccentedReceipts, EveryColumnCountsCharactersAndNoCutSplitsOne) {
    const struct {
        const char* name;
        void (*click)(Station&);
        const char* audit;
    } cases[] = {
        {"accented-removed-items", cmdserver9_click, nullptr},
        {"accented-credit-card", cmdcreditcard_click, nullptr},
        {"accented-my-sales-summary", cmdserver1_click, nullptr},
        {"accented-paid-outs", cmdpaidinpaidout_click,
         "09042020\\09:00\\E#12\\PaidOut 12.50 Caf\xc3\xa9 supplies\n"
         "09042020\\09:10\\E#12\\PaidOut 3.00 Caf\xe9 cr\xe8me\n"
         "09042020\\09:20\\E#12\\Paid-IN 5.00 Stra\xc3\x9f"
         "e fair\n"},
        {"accented-closed-tickets", cmdserver3_click, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.st().arglsrvchg = 4000;  // the service-charge account of the sales summary
        if (c.audit) {
            test::write_file(t.home() / "audit03.txt", c.audit);
        } else {
            test::load_fixture(t, c.name);
        }
        c.click(t.s());
        const auto printed = t.printed();
        test::expect_file(std::string(c.name) + ".txt", printed);
        for (const std::string& line : printed) EXPECT_TRUE(is_utf8(line)) << line;
    }
}

TEST(CreditCardReport, ListsTheFirstSettledCardPaymentOfEachCardTicket) {
    TestStation t;
    test::add_card_day(t);
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "22";  // the time of day does not filter the list
    cmdcreditcard_click(t.s());
    test::expect_jobs(t, {"credit-card.txt"});
    EXPECT_EQ(t.st().reportbusy, 0);
}

// An empty range in a close-out run prints nothing and says nothing (on a station:
// tests/scripts/card_empty_ranges).
TEST(CreditCardReport, AnEmptyRangeInTheCloseOutRunSaysNothing) {
    TestStation t;
    t.enter_closeout_mode();
    cmdcreditcard_click(t.s());
    EXPECT_TRUE(t.boxes().empty());
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.st().reportbusy, 0);
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
