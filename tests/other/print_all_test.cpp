#include "reports/other/print_all.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace tillora {
namespace {

using test::TestStation;

const std::string kSeparator(39, '*');

void add_some_sales(TestStation& t) {
    // clang-format off
    t.add_lines({{{"ticket", 1}, {"server", 7}, {"poschitbase", 10.0}},
                 {{"ticket", 1}, {"server", 7}, {"itemnumber", -1}, {"postendtype", 1},
                  {"posbatch", "12"}, {"posmemo", "Paid by Cash"}, {"poschitbase", 10.0}}});
    // clang-format on
    test::write_file(t.home() / "audit03.txt", "09042020\\10:00\\E#7\\Ticket 1 started\n");
}

TEST(PrintAll, CloseOutWritesASeparatorAfterEachReportAndTheRequestLine) {
    struct Case {
        const char* name;
        std::int16_t offline;
        long separators;
    };
    for (const Case& c : {Case{"on-line", 0, 14}, Case{"off-line", 1, 13}}) {
        SCOPED_TRACE(c.name);
        TestStation t;
        add_some_sales(t);
        t.enter_closeout_mode();
        t.st().offlinemode = c.offline;
        cmdprintall_click(t.s());
        const auto lines = t.closeout();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kSeparator), c.separators);
        EXPECT_EQ(lines.back(), kSeparator);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "All Closed Tickets"), 1);
        EXPECT_TRUE(t.jobs().empty());
        EXPECT_EQ(test::read_file(t.home() / "local" / "kovra.req"),
                  "25,closeout03-20200904.txt,0,0,0\r\n");
        EXPECT_TRUE(t.s().failures.empty()) << t.s().failures.front();
        EXPECT_TRUE(t.s().form.closed);
        EXPECT_EQ(t.st().reqcode, 0);
    }
}

TEST(PrintAll, InteractiveBatchAsksFirstAndPrintsOneJob) {
    for (const bool yes : {false, true}) {
        TestStation t;
        add_some_sales(t);
        t.ui.answers.push_back(yes);
        cmdprintall_click(t.s());
        EXPECT_EQ(t.st().printall, 0);
        EXPECT_FALSE(t.s().form.closed);
        ASSERT_EQ(t.boxes().size(), yes ? 4u : 1u);  // then the batch's own boxes
        EXPECT_EQ(t.boxes()[0],
                  std::string(
                      "QUESTION Print All Reports | Note: this could be quite a lengthy report. Be "
                      "sure the\\nprinter has sufficient paper. Click YES to continue and\\nprint "
                      "the report; click NO to cancel. -> ") +
                      (yes ? "yes" : "no"));
        const auto jobs = t.jobs();
        ASSERT_EQ(jobs.size(), yes ? 1u : 0u);
        if (yes) {
            EXPECT_EQ(jobs[0].front(), "All Servers - Closed Tickets");
            EXPECT_NE(std::find(jobs[0].begin(), jobs[0].end(), "All Closed Tickets"),
                      jobs[0].end());
            EXPECT_EQ(t.s().form.helpwindow.text, "Done");
        }
    }
}

}  // namespace
}  // namespace tillora
