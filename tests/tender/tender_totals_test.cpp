#include <gtest/gtest.h>

#include "reports/tender/tender_totals.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Lines;
using test::TestStation;

const std::string kQuestion =
    "QUESTION POA Detail Report? | Print this register's payment on account detail?";
const std::string kInvalid = "MSGBOX Uh-oh... | Invalid receipt printer configuration.";
const std::string kNoAudit = "MSGBOX audit03.txt | No audit file.";

// Both tables, with and without data, in close-out mode and on an invalid printer (each table
// skipped, the report goes on); the POA detail from the audit file when the question is answered
// yes: which entries it selects, across a year end, and without an audit file.
TEST(TenderTotals, TablesAndPoaDetail) {
    const char* poa_audit =
        "09042020\\10:15\\E#12\\POA\\4711\\25.00\n09042020\\10:20\\E#12\\PaidOut 12.50\n"
        "09032020\\09:00\\E#12\\POA\\1\\5.00\n09042020\\11:00\\E#12\\poa\\1\\5.00\n"
        "09042020\\11:30\\E#7\\POA\\4712\\Jones\\ 40.00 \n09042020\\12:00\\POA\\\n";
    const struct {
        const char* name;
        bool day;           // the tender day's lines
        const char* audit;  // nullptr: no audit file
        bool poa;           // the question answered yes
        bool closeout;
        int printer;     // 0: as installed
        Lines expected;  // the spool jobs, or the close-out file
        Lines boxes;
        const char* from = "20200904";
        const char* to = "20200904";
    } cases[] = {
        // clang-format off
        {"a day", true, nullptr, false, false, 0, {"tender-totals.txt", "payments-on-account.txt"},
         {kQuestion + " -> no"}},
        {"an empty range", false, nullptr, false, false, 0,
         {"tender-totals-empty.txt", "payments-on-account-empty.txt"}, {kQuestion + " -> no"}},
        {"close-out", true, "09042020\\10:15\\E#12\\POA\\4711\\25.00\n", false, true, 0,
         {"tender-totals-closeout.txt"}, {kQuestion + " -> no"}},
        {"invalid printer", true, nullptr, false, false, 7, {},
         {kInvalid, kInvalid, kQuestion + " -> no"}},
        {"POA detail", false, poa_audit, true, false, 0,
         {"tender-totals-empty.txt", "payments-on-account-empty.txt", "poa-detail.txt"},
         {kQuestion + " -> yes"}},
        {"POA detail across a year end", false,
         "12292026\\10:15\\E#12\\POA\\4711\\25.00\n01022027\\10:15\\E#12\\POA\\4711\\25.00\n",
         true, false, 0, {"", "", "poa-detail-year-end.txt"}, {kQuestion + " -> yes"},
         "20261228", "20270103"},
        {"POA detail without audit file", false, nullptr, true, false, 0,
         {"tender-totals-empty.txt", "payments-on-account-empty.txt"},
         {kQuestion + " -> yes", kNoAudit}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        if (c.printer) t.st().localprinter = c.printer;
        if (c.day) test::add_tender_day(t);
        if (c.audit) test::write_file(t.home() / "audit03.txt", c.audit);
        if (c.closeout) t.enter_closeout_mode();
        t.ui.answers.push_back(c.poa);
        cmdtender1_click(t.s());

        if (c.closeout) {
            test::expect_closeout(t, c.expected[0]);
            EXPECT_TRUE(t.jobs().empty());
        } else if (!c.expected.empty() && c.expected[0].empty()) {  // only the detail matters
            ASSERT_EQ(t.job_texts().size(), 3u);
            test::expect_file(c.expected[2], t.job_texts()[2]);
        } else {
            test::expect_jobs(t, c.expected);
        }
        EXPECT_EQ(t.boxes(), c.boxes);
        EXPECT_EQ(t.st().reportbusy, 0);
        EXPECT_EQ(t.st().reqparm4, Value(0));
    }
}

}  // namespace
}  // namespace tillora
