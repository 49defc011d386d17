// The credit card and removed items reports, and receipts of members and dishes with accents:
// every column keeps its width in characters, no cut splits a character, and text that a
// register wrote in Windows-1252 (store or audit file) prints as the same letters (an empty card
// range on a station: tests/scripts/card_empty_ranges).
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

// Each case: the rows of a fixture (the paid-outs: an audit file with a Windows-1252 line), the
// employee and the from hour, the report run twice (a second run keeps no rows of the first;
// once into a close-out file), and its last receipt or the close-out file compared with
// tests/expected/<case>.txt: every line valid UTF-8 without control characters, no box shown, the
// guard cleared.
TEST(OtherReceipts, PrintAsTheExpectedFiles) {
    const char* const paid_outs =
        "09042020\\09:00\\E#12\\PaidOut 12.50 Caf\xc3\xa9 supplies\n"
        "09042020\\09:10\\E#12\\PaidOut 3.00 Caf\xe9 cr\xe8me\n"
        "09042020\\09:20\\E#12\\Paid-IN 5.00 Stra\xc3\x9f"
        "e fair\n";
    const struct {
        std::string name;
        const char* fixture;  // "" for none
        void (*click)(Station&);
        const char* empid;  // nullptr: the box as start-up leaves it
        const char* fromhour;
        bool closeout;
    } cases[] = {
        {"accented-removed-items", "accented-removed-items", cmdserver9_click, "12", "00", false},
        {"accented-credit-card", "accented-credit-card", cmdcreditcard_click, "12", "00", false},
        {"accented-my-sales-summary", "accented-my-sales-summary", cmdserver1_click, "12", "00",
         false},
        {"accented-paid-outs", "", cmdpaidinpaidout_click, "12", "00", false},
        {"accented-closed-tickets", "accented-closed-tickets", cmdserver3_click, "12", "00", false},
        // The time of day does not filter the card list; the first settled payment of a ticket.
        {"credit-card", "card-day", cmdcreditcard_click, "12", "22", false},
        {"credit-card-no-payments", "credit-card-no-payments", cmdcreditcard_click, nullptr, "00",
         false},
        {"credit-card-none-closeout", "", cmdcreditcard_click, nullptr, "00", true},
        // Control characters from the database never reach a printer or the close-out file.
        {"credit-card-control", "control-characters", cmdcreditcard_click, nullptr, "00", false},
        {"credit-card-control-closeout", "control-characters", cmdcreditcard_click, nullptr, "00",
         true},
        {"removed-items", "removed-day", cmdserver9_click, nullptr, "06", false},
        {"removed-items-none-closeout", "", cmdserver9_click, nullptr, "00", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        if (c.closeout) t.enter_closeout_mode();
        if (c.empid) t.s().form.txtempid.text = c.empid;
        t.s().form.txtfromhour.text = c.fromhour;
        t.st().arglsrvchg = 4000;  // the service-charge account of the sales summary
        if (*c.fixture) test::load_fixture(t, c.fixture);
        if (c.click == cmdpaidinpaidout_click)
            test::write_file(t.home() / "audit03.txt", paid_outs);
        for (int run = c.closeout ? 1 : 2; run > 0; --run) c.click(t.s());
        const auto jobs = t.job_texts();
        EXPECT_EQ(jobs.size(), c.closeout ? 0u : 2u);
        const std::string out = c.closeout     ? test::read_file(t.s().path(t.st().closeoutfile))
                                : jobs.empty() ? ""
                                               : jobs.back();
        test::expect_file(c.name + ".txt", out);
        for (const std::string& line : test::split_lines(out)) {
            EXPECT_TRUE(is_utf8(line)) << line;
            for (char ch : line) EXPECT_GE(static_cast<unsigned char>(ch), ' ') << line;
        }
        EXPECT_TRUE(t.boxes().empty()) << testing::PrintToString(t.boxes());
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

}  // namespace
}  // namespace tillora
