#include <gtest/gtest.h>

#include <random>

#include "reports/tender/audit_reports.h"
#include "reports/tender/drawer.h"
#include "reports/tender/tender_totals.h"
#include "support/test_support.h"
#include "tender/receipts.h"

namespace tillora {
namespace {

using test::kDash39;
using test::kDash40;
using test::Lines;
using test::operator+;
using test::TestStation;

const char* kAudit =
    "09042020\\08:00\\E#12\\Ticket 101 started\n"
    "09042020\\08:30\\E#12\\Ticket 101 closed\n"
    "09042020\\09:00\\E#12\\PaidOut 12.50\n"
    "09042020\\09:10\\E#12\\paidout 2.25\n"
    "09042020\\09:20\\E#12\\Paid-IN 5.00\n"
    "09032020\\09:20\\E#12\\Paid-IN 5.00\n"
    "09042020\\10:00\\E#12\\SvrTktRpt-12\n"
    "09042020\\10:05\\E#12\\Ticket 102 Cleared\n"
    "09052020\\07:00\\E#12\\Ticket 103 started\n";
const char* kErrors = "09042020\\11:00\\Printer off line\n09012020\\11:00\\Old error\n";

// The year-free lines of kAudit in the range.
const Lines kAuditListing = {
    "0904\\08:00\\E#12\\Ticket 101 started", "0904\\08:30\\E#12\\Ticket 101 closed",
    "0904\\09:00\\E#12\\PaidOut 12.50",      "0904\\09:10\\E#12\\paidout 2.25",
    "0904\\09:20\\E#12\\Paid-IN 5.00",       "0904\\10:00\\E#12\\SvrTktRpt-12",
    "0904\\10:05\\E#12\\Ticket 102 Cleared"};

const Lines kPaidHeader = test::lines_from(test::file_header("Paid Outs/Paid Ins", kDash40), 1);

Lines paid_totals(const char* out, const char* in, const char* net) {
    return {test::kBlank,
            std::string("Total Paid Out:  ") + out,
            std::string("Total Paid In:   ") + in,
            "-----------------------------------",
            std::string("Net Paid Out/In: ") + net,
            kDash40};
}

struct AuditCase {
    const char* name;
    void (*click)(Station&);
    bool closeout;
    const char* audit;            // nullptr: no audit file
    const char* errors;           // nullptr: no error file
    std::vector<Lines> receipts;  // without the paper feed
    Lines boxes;
    const char* from = "20200904";
    const char* to = "20200904";
};

TEST(AuditFileReports, PrintTheLinesOfTheRangeWithoutTheYear) {
    const Lines paid_body = {"0904\\09:00\\E#12\\PAIDOUT 12.50", "0904\\09:10\\E#12\\PAIDOUT 2.25",
                             "0904\\09:20\\E#12\\PAID-IN 5.00"};
    const Lines audit = test::file_header("Audit File   :audit03.txt", kDash40) + kAuditListing;
    const Lines errors = test::file_header("Error File   :error03.txt", kDash40) +
                         Lines{"0904\\11:00\\Printer off line"};
    const std::string no_audit = "MSGBOX audit03.txt | No audit file.";
    // clang-format off
    const AuditCase cases[] = {
        {"workstation and error audit", cmdaudit_click, false, kAudit, kErrors, {audit, errors}, {}},
        {"audit range across a year end selects nothing", cmdaudit_click, false,
         "12292026\\10:00\\E#1\\Ticket 1 started\n01022027\\10:00\\E#1\\Ticket 2 started\n",
         "12302026\\10:00\\Printer off line\n",
         {test::file_header("Audit File   :audit03.txt", kDash40, "20261228", "20270103"),
          test::file_header("Error File   :error03.txt", kDash40, "20261228", "20270103")},
         {}, "20261228", "20270103"},
        {"missing files", cmdaudit_click, false, nullptr, nullptr, {},
         {no_audit, "MSGBOX error03.txt | Good News - no error file to report."}},
        {"missing audit file, error file present", cmdaudit_click, false, nullptr, kErrors, {errors},
         {no_audit}},
        {"workstation and error audit in close-out mode", cmdaudit_click, true, kAudit, kErrors,
         {audit, errors}, {}},
        {"missing files in close-out mode", cmdaudit_click, true, nullptr, nullptr, {}, {}},
        {"paid outs and ins, upper-cased", cmdpaidinpaidout_click, false, kAudit, nullptr,
         {kPaidHeader + paid_body + paid_totals("14.75", "5.00", "19.75")}, {}},
        {"paid outs and ins without audit file", cmdpaidinpaidout_click, false, nullptr, nullptr, {},
         {no_audit}},
        {"ticket count log", cmdticketcount_click, false, kAudit, nullptr,
         {test::file_header("Ticket Count :audit03.txt", kDash39) +
          Lines{"0904\\08:00\\E#12\\Ticket 101 started", "0904\\08:30\\E#12\\Ticket 101 closed"}},
         {}},
        {"ticket count log without audit file in close-out mode", cmdticketcount_click, true, nullptr,
         nullptr, {}, {}},
    };
    // clang-format on
    for (const AuditCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        if (c.audit) test::write_file(t.home() / "audit03.txt", c.audit);
        if (c.errors) test::write_file(t.home() / "error03.txt", c.errors);
        if (c.closeout) t.enter_closeout_mode();
        c.click(t.s());

        if (c.closeout) {
            Lines all;
            for (const Lines& r : c.receipts) all = all + r;
            EXPECT_EQ(t.closeout(), all);
        } else {
            std::vector<Lines> expected;
            for (const Lines& r : c.receipts) expected.push_back(r + test::paper_feed());
            EXPECT_EQ(t.jobs(), expected);
        }
        EXPECT_EQ(t.boxes(), c.boxes);
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

// Random bytes, lines too short to cut and lines that only start like entries: every reader of
// the audit file reaches its end.
TEST(AuditFileReports, DamagedAuditFileNeverStopsAReport) {
    std::mt19937 random(20200904);
    std::string text =
        "\n0\n0904\n09042020\n09042020\\\n09042020\\POA\\\n09042020\\12:00\\POA\\\n"
        "09-04-2020\n09-04-2020PaidOut\n09-04-2020 Paid-IN\n09042020PAIDOUT\n09042020PAID-IN-\n";
    for (int line = 0; line < 200; ++line) {
        text += line % 2 ? "09042020" : "09-04-2020";
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i) text += static_cast<char>(random() % 256);
        text += line % 3 ? "\n" : "\r\n";
    }
    TestStation t;
    t.s().form.txtempid.text = "12";
    test::write_file(t.home() / "audit03.txt", text);
    test::write_file(t.home() / "error03.txt", text);
    t.ui.answers.push_back(true);
    cmdtender1_click(t.s());
    cmdbalancedrawer_click(t.s());
    cmdaudit_click(t.s());
    cmdpaidinpaidout_click(t.s());
    cmdticketcount_click(t.s());
    EXPECT_EQ(t.jobs().size(), 3u + 1u + 2u + 1u + 1u);
    EXPECT_EQ(t.st().reportbusy, 0);
}

}  // namespace
}  // namespace tillora
