#include <gtest/gtest.h>

#include <random>

#include "reports/tender/audit_reports.h"
#include "reports/tender/drawer.h"
#include "reports/tender/tender_totals.h"
#include "support/report_cases.h"

namespace tillora {
namespace {

using test::TestStation;

// The cases of tests/cases: audit-reports.txt, balance-drawer.txt and tender-totals.txt.
TEST(TenderReports, Cases) {
    for (const char* table : {"audit-reports", "balance-drawer", "tender-totals"}) {
        SCOPED_TRACE(table);
        test::run_report_cases(table);
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
