#include "summary/day_page.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "drawer/count_store.h"
#include "summary/page_figures.h"
#include "summary/page_html.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

// The page of a close-out, its figures worked out by hand from the reports' rules (in
// tests/expected/day-page-figures*.txt, hours included): closed lines of servers 0 and up, -5
// lines in all three sums, -2 lines in the service charge only; held, removed, cleared,
// other-day lines and tender lines outside the sales; a negative server's ticket counted as a
// ticket but not in the totals.
TEST(DayPage, FiguresOfAHandWorkedDayAndOfADayWithoutSales) {
    const struct {
        bool sales;  // the day of tests/fixtures/day-page.txt, its audit file and a drawer count
        std::vector<std::string> in_page, not_in_page;
    } cases[] = {
        {true,
         {"data-figure=\"cleared\" data-count=\"2\"", "data-count=\"2\" data-amount=\"5.75\"",
          "data-drawer-count=\"1\" data-amount=\"-1.50\"",
          "Zoë &quot;Chef&quot; &lt;O&#39;Brien&gt; &amp; Co",
          "Café &lt;Visa&gt; &amp; &quot;Co&quot;", "<pre>memo &lt;b&gt; &amp; “ü”\n</pre>"},
         {"<O'Brien>", "<Visa>", "<b>"}},
        {false,
         {"data-figure=\"cleared\" data-count=\"0\"", "No tender lines.", "No server sold"},
         {"Drawer counts", "data-tender", "data-server"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sales);
        test::TestStation t;
        t.enter_closeout_mode();
        if (c.sales) {
            test::load_fixture(t, "day-page");
            test::write_file(t.home() / "audit03.txt",
                             "09-04-2020 14:00 E#12 PaidOut 12.50\n09-04-2020 15:00 E#12 Paid-IN "
                             "5.00\n09042020\\15:10\\E#9\\T150 CLEARED .00\n");
            StoredCount count;
            count.countdate = 20200904;
            count.empid = "12";
            count.expected.cash = Currency::from_double(115.46);
            count.counted.cash = Currency::from_double(113.96);
            store_count(t.s(), count);
        }
        test::write_file(t.home() / "closeout03-20200904.txt", "memo <b> & “ü”\n");
        write_closeout_page(t.s());
        EXPECT_TRUE(t.s().failures.empty());
        const std::string page = test::read_file(t.home() / "closeout03-20200904.html");
        std::string figures;
        for (const auto& [key, amount] : test::page_figures(page))
            figures += key + " " + amount + "\n";
        test::expect_file(c.sales ? "day-page-figures.txt" : "day-page-figures-no-sales.txt",
                          figures);
        for (const std::string& text : c.in_page)
            EXPECT_NE(page.find(text), std::string::npos) << text;
        for (const std::string& text : c.not_in_page)
            EXPECT_EQ(page.find(text), std::string::npos) << text;
        // Self-contained: nothing is fetched and nothing runs.
        for (const char* outside : {"<script", "src=", "href=", "url(", "@import"}) {
            EXPECT_EQ(page.find(outside), std::string::npos) << outside;
        }
    }
}

TEST(DayPage, AmountsAreShownWholeAndCarriedAsPlainDecimals) {
    // amount, as carried in data-amount, as shown
    const std::tuple<double, const char*, const char*> cases[] = {
        {-0.125, "-0.13", "-0.13"},
        {999.994, "999.99", "999.99"},
        {1000, "1000.00", "1,000.00"},
        {-123456.785, "-123456.79", "-123,456.79"},
        {1234567.8, "1234567.80", "1,234,567.80"}};
    for (const auto& [amount, plain, shown] : cases) {
        EXPECT_EQ(plain_amount(Currency::from_double(amount)), plain);
        EXPECT_EQ(shown_amount(Currency::from_double(amount)), shown);
    }
}

// A page that cannot be written costs the close-out nothing: one failure line, the close-out
// file kept, no temporary file left. (A link in its place is refused by the same replace as the
// close-out file's, tested with it.)
TEST(DayPage, APageThatCannotBeWrittenIsAFailedReportAndKeepsTheCloseOutFile) {
    test::TestStation t;
    t.enter_closeout_mode();
    test::write_file(t.home() / "closeout03-20200904.txt", "the day's reports\n");
    fs::create_directory(t.home() / "closeout03-20200904.html");
    write_closeout_page(t.s());
    ASSERT_EQ(t.s().failures.size(), 1u);
    EXPECT_EQ(t.s().failures[0].rfind("Day page: cannot replace", 0), 0u) << t.s().failures[0];
    const auto lines = t.closeout();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "the day's reports");
    EXPECT_EQ(lines[1].rfind("*** Day page could not run: cannot replace", 0), 0u);
    for (const auto& entry : fs::directory_iterator(t.home())) {
        EXPECT_EQ(entry.path().filename().string().find(".html."), std::string::npos);
    }
}

}  // namespace
}  // namespace tillora
