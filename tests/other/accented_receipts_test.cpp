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

using test::Row;
using test::TestStation;

// "José Müller" and friends in UTF-8; the same names as a Windows-1252 register writes them.
const char* const kJose = "Jos\xc3\xa9 M\xc3\xbcller";
const char* const kJose1252 = "Jos\xe9 M\xfcller";
const char* const kPina =
    "Pi\xc3\xb1"
    "a colada";
const char* const kCreme =
    "Cr\xc3\xa8me br\xc3\xbbl\xc3\xa9"
    "e maison";
const char* const kCafe1252 = "Caf\xe9 cr\xe8me";
const char* const kCafeCombining = "Cafe\xcc\x81 au lait";  // e + combining acute

void removed_items_day(TestStation& t) {
    auto removed = [](int ticket, const Value& server, const char* text, double base) {
        return Row{{"ticket", ticket},
                   {"server", server},
                   {"status", -76},
                   {"saletext", text},
                   {"poschitbase", base}};
    };
    t.add_lines({removed(101, 7, kPina, 12.5), removed(102, 7, kCreme, 6.0),
                 removed(103, 7, kCafe1252, 3.0), removed(104, 7, kCafeCombining, 2.0),
                 removed(105, kJose, "Soup", 4.0)});
}

void credit_card_day(TestStation& t) {
    const std::pair<int, const char*> cards[] = {
        {301, kJose}, {302, kJose1252}, {303, "Fran\xc3\xa7oise D\xc3\xbcrrenmatt"}};
    for (const auto& [ticket, name] : cards) {
        t.add_line({{"ticket", ticket}, {"itemnumber", -1}, {"postendtype", 3}});
        // clang-format off
        test::insert_row(*t.xact_db(), "ccard",
                         {{"ticket", ticket}, {"status", 3}, {"amount", 1250}, {"ccname", name},
                          {"ccnumber", "4111111111111111"}, {"expmonth", "9"}, {"expyear", "2027"},
                          {"resultrefcode", "R\xc3\xa9" "f"}, {"resultorderid", "O1"}});
        // clang-format on
    }
}

void my_sales_day(TestStation& t) {
    t.st().arglsrvchg = 4000;
    auto sold = [](int item, const char* memo, double base) {
        return Row{{"server", 12},      {"ticket", 1},           {"itemnumber", item},
                   {"posacctnum", 100}, {"posmemo", memo},       {"poschitbase", base},
                   {"poschittax", 0.5}, {"trantime", "12:00:00"}};
    };
    t.add_lines({sold(7, (std::string("2 ") + kPina).c_str(), 10.0), sold(8, kCreme, 8.0),
                 sold(9, kCafe1252, 4.0),
                 test::with(sold(-1, "Paid by Ch\xc3\xa8que", 22.0),
                            {{"postendtype", 4}, {"posbatch", "1"}})});
    t.s().form.txtempid.text = "12";
}

void paid_outs_day(TestStation& t) {
    test::write_file(t.home() / "audit03.txt",
                     "09042020\\09:00\\E#12\\PaidOut 12.50 Caf\xc3\xa9 supplies\n"
                     "09042020\\09:10\\E#12\\PaidOut 3.00 " +
                         std::string(kCafe1252) +
                         "\n"
                         "09042020\\09:20\\E#12\\Paid-IN 5.00 Stra\xc3\x9f"
                         "e fair\n");
}

void closed_tickets_day(TestStation& t) {
    t.add_lines({{{"ticket", 101}, {"server", kJose}, {"poschitbase", 10.0}},
                 {{"ticket", 102}, {"server", "Ren\xe9"}, {"poschitbase", 4.0}}});
}

TEST(AccentedReceipts, EveryColumnCountsCharactersAndNoCutSplitsOne) {
    const struct {
        const char* expected;
        void (*fill)(TestStation&);
        void (*click)(Station&);
    } cases[] = {
        {"accented-removed-items.txt", removed_items_day, cmdserver9_click},
        {"accented-credit-card.txt", credit_card_day, cmdcreditcard_click},
        {"accented-my-sales-summary.txt", my_sales_day, cmdserver1_click},
        {"accented-paid-outs.txt", paid_outs_day, cmdpaidinpaidout_click},
        {"accented-closed-tickets.txt", closed_tickets_day, cmdserver3_click},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TestStation t;
        t.s().form.txtempid.text = "12";
        c.fill(t);
        c.click(t.s());
        const auto printed = t.printed();
        test::expect_file(c.expected, printed);
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
