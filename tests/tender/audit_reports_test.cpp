#include <gtest/gtest.h>

#include <random>

#include "reports/tender/audit_reports.h"
#include "reports/tender/drawer.h"
#include "reports/tender/tender_totals.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Lines;
using test::TestStation;

TEST(AuditFileReports, PrintTheLinesOfTheRangeWithoutTheYear) {
    const std::string no_audit = "MSGBOX audit03.txt | No audit file.";
    const char* year_end_audit =
        "12292026\\10:00\\E#1\\Ticket 1 started\n01022027\\10:00\\E#1\\Ticket 2 started\n";
    const struct {
        const char* name;
        void (*click)(Station&);
        bool closeout;
        const char* audit;   // nullptr: no audit file
        const char* errors;  // nullptr: no error file
        Lines expected;      // the spool jobs, or the close-out file
        Lines boxes;
        const char* from = "20200904";
        const char* to = "20200904";
    } cases[] = {
        // clang-format off
        {"workstation and error audit", cmdaudit_click, false, test::kAuditDay, test::kErrorDay,
         {"audit-file.txt", "error-file.txt"}, {}},
        {"audit range across a year end selects nothing", cmdaudit_click, false, year_end_audit,
         "12302026\\10:00\\Printer off line\n",
         {"audit-file-year-end.txt", "error-file-year-end.txt"}, {}, "20261228", "20270103"},
        {"missing files", cmdaudit_click, false, nullptr, nullptr, {},
         {no_audit, "MSGBOX error03.txt | Good News - no error file to report."}},
        {"missing audit file, error file present", cmdaudit_click, false, nullptr,
         test::kErrorDay, {"error-file.txt"}, {no_audit}},
        {"workstation and error audit in close-out mode", cmdaudit_click, true, test::kAuditDay,
         test::kErrorDay, {"audit-closeout.txt"}, {}},
        {"missing files in close-out mode", cmdaudit_click, true, nullptr, nullptr, {}, {}},
        {"paid outs and ins, upper-cased", cmdpaidinpaidout_click, false, test::kAuditDay,
         nullptr, {"paid-outs-ins.txt"}, {}},
        {"paid outs and ins without audit file", cmdpaidinpaidout_click, false, nullptr, nullptr,
         {}, {no_audit}},
        {"ticket count log", cmdticketcount_click, false, test::kAuditDay, nullptr,
         {"ticket-count-log.txt"}, {}},
        {"ticket count log without audit file in close-out mode", cmdticketcount_click, true,
         nullptr, nullptr, {}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.s().form.txtfromdate.text = c.from;
        t.s().form.txttodate.text = c.to;
        if (c.audit) test::write_file(t.home() / "audit03.txt", c.audit);
        if (c.errors) test::write_file(t.home() / "error03.txt", c.errors);
        if (c.closeout) t.enter_closeout_mode();
        c.click(t.s());

        if (!c.closeout) {
            test::expect_jobs(t, c.expected);
        } else if (c.expected.empty()) {
            EXPECT_TRUE(t.closeout().empty());
        } else {
            test::expect_closeout(t, c.expected[0]);
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
