#include <gtest/gtest.h>

#include "reports/tender/tender_totals.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Lines;
using test::TestStation;

const std::string kQuestion =
    "QUESTION POA Detail Report? | Print this register's payment on account detail?";

class TenderTotals : public ::testing::Test {
  protected:
    TenderTotals() { t.s().form.txtempid.text = "12"; }
    TestStation t;
};

TEST_F(TenderTotals, PrintsTenderAndPaymentsOnAccountTables) {
    test::add_tender_day(t);
    cmdtender1_click(t.s());
    test::expect_jobs(t, {"tender-totals.txt", "payments-on-account.txt"});
    EXPECT_EQ(t.boxes(), Lines{kQuestion + " -> no"});
    EXPECT_EQ(t.st().reportbusy, 0);
    EXPECT_EQ(t.st().reqparm4, Value(0));
}

TEST_F(TenderTotals, EmptyRangePrintsOnlyTheFrame) {
    cmdtender1_click(t.s());
    test::expect_jobs(t, {"tender-totals-empty.txt", "payments-on-account-empty.txt"});
}

TEST_F(TenderTotals, CloseOutWritesBothTablesWithoutFeedOrQuestionWait) {
    test::add_tender_day(t);
    test::write_file(t.home() / "audit03.txt", "09042020\\10:15\\E#12\\POA\\4711\\25.00\n");
    t.enter_closeout_mode();
    cmdtender1_click(t.s());
    test::expect_closeout(t, "tender-totals-closeout.txt");
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.boxes(), Lines{kQuestion + " -> no"});
}

TEST_F(TenderTotals, InvalidPrinterSkipsEachTableAndGoesOn) {
    test::add_tender_day(t);
    t.st().localprinter = 7;
    cmdtender1_click(t.s());
    const std::string invalid = "MSGBOX Uh-oh... | Invalid receipt printer configuration.";
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.boxes(), (Lines{invalid, invalid, kQuestion + " -> no"}));
    EXPECT_EQ(t.st().reportbusy, 0);
}

// The POA detail: which audit lines it selects and how it lays them out.
TEST_F(TenderTotals, PoaDetailListsPaymentsOnAccountOfTheAuditFile) {
    const struct {
        const char* from;
        const char* to;
        const char* audit;     // nullptr: no audit file
        const char* expected;  // the third job
    } cases[] = {
        {"20200904", "20200904",
         "09042020\\10:15\\E#12\\POA\\4711\\25.00\n"
         "09042020\\10:20\\E#12\\PaidOut 12.50\n"
         "09032020\\09:00\\E#12\\POA\\1\\5.00\n"
         "09042020\\11:00\\E#12\\poa\\1\\5.00\n"
         "09042020\\11:30\\E#7\\POA\\4712\\Jones\\ 40.00 \n"
         "09042020\\12:00\\POA\\\n",
         "poa-detail.txt"},
        {"20261228", "20270103",
         "12292026\\10:15\\E#12\\POA\\4711\\25.00\n01022027\\10:15\\E#12\\POA\\4711\\25.00\n",
         "poa-detail-year-end.txt"},
        {"20200904", "20200904", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        if (c.audit) test::write_file(t.home() / "audit03.txt", c.audit);
        t.ui.answers.push_back(true);
        cmdtender1_click(t.s());
        EXPECT_EQ(t.st().reportbusy, 0);
        const auto jobs = t.job_texts();
        if (!c.audit) {
            EXPECT_EQ(jobs.size(), 2u);
            EXPECT_EQ(t.boxes(),
                      (Lines{kQuestion + " -> yes", "MSGBOX audit03.txt | No audit file."}));
            continue;
        }
        ASSERT_EQ(jobs.size(), 3u);
        test::expect_file(c.expected, jobs[2]);
    }
}

}  // namespace
}  // namespace tillora
