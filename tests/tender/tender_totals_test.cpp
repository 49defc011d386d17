#include <gtest/gtest.h>

#include "reports/tender/tender_totals.h"
#include "support/test_support.h"
#include "tender/receipts.h"

namespace tillora {
namespace {

using test::Lines;
using test::operator+;
using test::TestStation;

const std::string kHeading = "Tender               Count        Total";
const std::string kQuestion =
    "QUESTION POA Detail Report? | Print this register's payment on account detail?";

// The body of a tender table after its heading.
Lines table(const std::string& title, const Lines& rows, const std::string& unique,
            const std::string& count, const std::string& who = "12") {
    return test::printed_header(title, test::kDash39, who) + Lines{kHeading} + rows +
           Lines{test::kDash39, "Unique Tenders : " + unique, "Tender Count   : " + count,
                 test::kDash39};
}

using test::with;

// Tender lines of closed tickets and payments on account, with lines each selection leaves out.
void build_store(TestStation& t) {
    auto tender = [](int ticket, int type, double amount, const char* memo) {
        return test::Row{{"ticket", ticket}, {"itemnumber", -1},      {"postendtype", type},
                         {"posbatch", "1"},  {"poschitbase", amount}, {"posmemo", memo}};
    };
    auto poa = [](int ticket, int type, double amount) {
        return test::Row{{"ticket", ticket},
                         {"itemnumber", -3},
                         {"postendtype", type},
                         {"poschitbase", amount},
                         {"posmemo", "Acct 4711"}};
    };
    t.add_lines({tender(1, 1, 30.0, "Paid by Cash"), tender(2, 1, 12.5, "Paid by Cash"),
                 tender(4, 3, 45.0, "Visa 1234 approved long memo"),
                 tender(9, 12, 1234.5, "Paid by Prizemoney"), poa(20, 1, 25.0), poa(21, 16, 10.0),
                 poa(22, 17, 5.0)});
    // A held ticket's tender counts once its type is listed; its type alone is not listed.
    t.add_line(with(tender(3, 1, 7.5, "Paid by Cash"), {{"status", 1}}));
    t.add_line(with(tender(8, 5, 9.0, "Paid by Discover"), {{"status", 1}}));
    // Not batched, voided, another day, a plain item line, a voided payment on account.
    t.add_line(with(tender(5, 1, 100.0, "Paid by Cash"), {{"posbatch", "0"}}));
    t.add_line(with(tender(6, 1, 100.0, "Paid by Cash"), {{"status", -10}}));
    t.add_line(with(tender(7, 1, 100.0, "Paid by Cash"), {{"poschitdate", 20200903}}));
    t.add_line({{"ticket", 1}, {"poschitbase", 99.0}});
    t.add_line(with(poa(23, 2, 99.0), {{"status", -10}}));
}

const Lines kTenderRows = {
    "1  Cash                   3       50.00", "3  Visa 1234 approved l   1       45.00",
    "12 Prizemoney             1     1234.50", "   Totals:                5     1329.50"};
const Lines kPoaRows = {
    "1  Cash                   1      -25.00", "16 Coupon/Discount        1      -10.00",
    "17                        1       -5.00", "   Totals:                3      -40.00"};

void write_audit(TestStation& t, const std::string& text) {
    test::write_file(t.home() / "audit03.txt", text);
}

class TenderTotals : public ::testing::Test {
  protected:
    TenderTotals() { t.s().form.txtempid.text = "12"; }
    TestStation t;
};

TEST_F(TenderTotals, PrintsTenderAndPaymentsOnAccountTables) {
    build_store(t);
    cmdtender1_click(t.s());

    const auto jobs = t.jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0],
              table("Tender Totals - Closed Tickets", kTenderRows, "3", "5") + test::paper_feed());
    EXPECT_EQ(jobs[1], table("Payments on Account", kPoaRows, "3", "3") + test::paper_feed());
    EXPECT_EQ(t.boxes(), Lines{kQuestion + " -> no"});
    EXPECT_EQ(t.st().reportbusy, 0);
    EXPECT_EQ(t.st().reqparm4, Value(0));
}

TEST_F(TenderTotals, EmptyRangePrintsOnlyTheFrame) {
    cmdtender1_click(t.s());
    const Lines empty = {};
    EXPECT_EQ(t.jobs(),
              (std::vector<Lines>{
                  table("Tender Totals - Closed Tickets", empty, "", "") + test::paper_feed(),
                  table("Payments on Account", empty, "", "") + test::paper_feed()}));
}

TEST_F(TenderTotals, CloseOutWritesBothTablesWithoutFeedOrQuestionWait) {
    build_store(t);
    write_audit(t, "09042020\\10:15\\E#12\\POA\\4711\\25.00\n");
    t.enter_closeout_mode();
    cmdtender1_click(t.s());

    EXPECT_EQ(t.closeout(),
              table("Tender Totals - Closed Tickets", kTenderRows, "3", "5", "CENTRAL") +
                  table("Payments on Account", kPoaRows, "3", "3", "CENTRAL"));
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.boxes(), Lines{kQuestion + " -> no"});
}

TEST_F(TenderTotals, InvalidPrinterSkipsEachTableAndGoesOn) {
    build_store(t);
    t.st().localprinter = 7;
    cmdtender1_click(t.s());
    const std::string invalid = "MSGBOX Uh-oh... | Invalid receipt printer configuration.";
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.boxes(), (Lines{invalid, invalid, kQuestion + " -> no"}));
    EXPECT_EQ(t.st().reportbusy, 0);
}

// The POA detail: which audit lines it selects and how it lays them out.
struct DetailCase {
    const char* name;
    const char* from;
    const char* to;
    const char* audit;  // nullptr: no audit file
    Lines body;         // detail lines; ignored when there is no audit file
};

TEST_F(TenderTotals, PoaDetailListsPaymentsOnAccountOfTheAuditFile) {
    // clang-format off
    const DetailCase cases[] = {
        {"in range", "20200904", "20200904",
         "09042020\\10:15\\E#12\\POA\\4711\\25.00\n"
         "09042020\\10:20\\E#12\\PaidOut 12.50\n"
         "09032020\\09:00\\E#12\\POA\\1\\5.00\n"
         "09042020\\11:00\\E#12\\poa\\1\\5.00\n"
         "09042020\\11:30\\E#7\\POA\\4712\\Jones\\ 40.00 \n"
         "09042020\\12:00\\POA\\\n",
         {"E#12 Acct# 4711                  25.00", "E#7 Acct# 4712   Jones           40.00",
          "POA" + std::string(35, ' ')}},
        {"across a year end", "20261228", "20270103",
         "12292026\\10:15\\E#12\\POA\\4711\\25.00\n01022027\\10:15\\E#12\\POA\\4711\\25.00\n", {}},
        {"no audit file", "20200904", "20200904", nullptr, {}},
    };
    // clang-format on
    for (const DetailCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        if (c.audit) write_audit(t, c.audit);
        t.ui.answers.push_back(true);
        cmdtender1_click(t.s());

        const auto jobs = t.jobs();
        EXPECT_EQ(t.st().reportbusy, 0);
        if (!c.audit) {
            EXPECT_EQ(jobs.size(), 2u);
            EXPECT_EQ(t.boxes(),
                      (Lines{kQuestion + " -> yes", "MSGBOX audit03.txt | No audit file."}));
            continue;
        }
        ASSERT_EQ(jobs.size(), 3u);
        EXPECT_EQ(jobs[2],
                  test::file_header("POA Detail   :audit03.txt", test::kDash39, c.from, c.to) +
                      c.body + test::paper_feed());
    }
}

}  // namespace
}  // namespace tillora
