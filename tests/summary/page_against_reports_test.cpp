#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "platform/value.h"
#include "reports/other/closeout.h"
#include "summary/page_figures.h"
#include "support/test_support.h"
#include "tools/demo_data.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using Figures = std::map<std::string, std::string>;

// A demo installation closed out for 2020-09-04: its close-out file and its page.
struct ClosedDay {
    ClosedDay() {
        demo::DemoOptions o;
        o.folder = dir / "home";
        o.days = 10;
        o.tickets = 30;
        o.start = 20200901;
        demo::make_demo_installation(o);
        fs::create_directories(dir / "spool");
        ::setenv("TILLORA_SPOOL", (dir / "spool").c_str(), 1);
        std::ostringstream err;
        EXPECT_EQ(run_closeout(home(), "KVRUN20200904", err), 0) << err.str();
        text = test::file_lines(home() / "closeout03-20200904.txt");
        page = test::read_file(home() / "closeout03-20200904.html");
    }
    ~ClosedDay() { ::unsetenv("TILLORA_SPOOL"); }
    fs::path home() const { return dir / "home"; }

    // The lines of the report titled `title` up to the next separator.
    std::vector<std::string> report(const std::string& title) const {
        auto it = std::find(text.begin(), text.end(), title);
        auto end = std::find(it, text.end(), std::string(39, '*'));
        return {it, end};
    }

    test::TempDir dir;
    std::vector<std::string> text;
    std::string page;
};

std::string amount(const std::string& column) {
    return format_pattern(leading_number(column), "#######.#0");
}

// The figures as the receipts print them, keyed as the page keys them.
Figures receipt_figures(const ClosedDay& d) {
    Figures f;
    const auto pick = [](const std::vector<std::string>& lines, const std::string& start) {
        for (const std::string& l : lines) {
            if (l.rfind(start, 0) == 0) return l.substr(start.size());
        }
        ADD_FAILURE() << "no line " << start;
        return std::string();
    };
    bool rows = false;
    for (const std::string& l : d.report("All Servers - Closed Tickets")) {
        if (l.rfind("Totals:", 0) == 0) {
            rows = false;
            for (auto [key, from, width] :
                 {std::tuple{"base", 10, 8}, {"srvchg", 18, 7}, {"tax", 25, 7}, {"total", 32, 8}}) {
                f[std::string("figure:") + key] = amount(l.substr(from, width));
            }
        }
        if (rows) f["server:" + trim(l.substr(0, 10))] = amount(l.substr(32));
        if (l.rfind("Server        Base", 0) == 0) rows = true;
    }
    f["figure:tickets"] = pick(d.report("All Closed Tickets"), "Ticket Count:   ");
    rows = false;
    for (const std::string& l : d.report("Tender Totals - Closed Tickets")) {
        if (l.rfind("   Totals:", 0) == 0) break;
        if (rows) f["tender:" + trim(l.substr(0, 3))] = amount(l.substr(27));
        if (l == "Tender               Count        Total") rows = true;
    }
    f["figure:removed"] = amount(pick(d.report("Removed Items"), "Grand Total:"));
    f["figure:paidoutin"] =
        amount(pick(d.report("Drawer Balancing Report"), "   Paid Out/In").substr(13));
    f["cleared"] = pick(d.report("All Cleared Tickets"), "Ticket Count:   ");
    return f;
}

// The page's figures without the hours and the average, which no receipt prints; the hours must
// add up to the total.
Figures comparable(const std::string& page) {
    Figures f = test::page_figures(page);
    long long hours = 0;
    for (int h = 0; h < 24; ++h) {
        const std::string key = std::string("hour:") + (h < 10 ? "0" : "") + std::to_string(h);
        EXPECT_TRUE(f.contains(key)) << key;
        hours += test::cents(f[key]);
        f.erase(key);
    }
    EXPECT_EQ(hours, test::cents(f["figure:total"]));
    f.erase("figure:average");
    return f;
}

TEST(DayPageOfACloseOut, EqualsTheTextReportsAndEndsWithTheCloseOutFile) {
    ClosedDay d;
    Figures page = comparable(d.page);
    const std::regex cleared(R"re(data-figure="cleared" data-count="(\d+)")re");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(d.page, m, cleared));
    page["cleared"] = m[1];
    EXPECT_EQ(page, receipt_figures(d));
    EXPECT_GT(test::cents(page["figure:total"]), 0);
    EXPECT_GE(page.count("tender:1") + page.count("server:12"), 2u);
    const auto mode = fs::status(d.home() / "closeout03-20200904.html").permissions();
    EXPECT_EQ(mode & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string text;
    for (const std::string& l : d.text) text += l + "\n";
    EXPECT_NE(d.page.find("<pre>" + text + "</pre>"),
              std::string::npos);  // demo text has no < or &
}

int run(const std::string& command, const fs::path& err) {
    const int status = std::system((command + " 2>'" + err.string() + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SummaryProgram, WritesTheCloseOutsFiguresForAnyRangeAndRefusesBadOptions) {
    const fs::path program = fs::path(TILLORA_BINARY_DIR) / "tillora-summary";
    ASSERT_TRUE(fs::exists(program)) << "build tillora-summary first";
    ClosedDay d;
    const std::string base = "'" + program.string() + "' --home '" + d.home().string() + "'";
    const fs::path out = d.dir / "day.html", err = d.dir / "err.txt";
    ASSERT_EQ(
        run(base + " --from 20200904 --to 20200904 --out '" + out.string() + "' >/dev/null", err),
        0)
        << test::read_file(err);
    EXPECT_EQ(test::page_figures(test::read_file(out)), test::page_figures(d.page));
    EXPECT_EQ(test::read_file(out).find("<pre>"), std::string::npos);

    ASSERT_EQ(run(base + " --from 20200901 --to 20200910 >/dev/null", err), 0)
        << test::read_file(err);
    EXPECT_NE(test::read_file(err).find("20200901-20200910: takings by hour"), std::string::npos);
    const Figures ten_days =
        comparable(test::read_file(d.home() / "summary03-20200901-20200910.html"));
    EXPECT_GT(test::cents(ten_days.at("figure:total")),
              test::cents(test::page_figures(d.page)["figure:total"]));

    struct Case {
        std::string args;
        int status;
        const char* in_err;
    };
    const Case cases[] = {
        {" --from 20200904", 2, "--from and --to are required"},
        {" --from 20200931 --to 20201001", 2, "--from 20200931 is not a date"},
        {" --from 20200905 --to 20200904", 2, "is after --to"},
        {" --from 20200904 --to 20200904 --out '" + (d.dir / "no" / "x.html").string() + "'", 1,
         "tillora-summary: cannot create a temporary file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(run(base + c.args + " >/dev/null", err), c.status);
        EXPECT_NE(test::read_file(err).find(c.in_err), std::string::npos) << test::read_file(err);
    }
}

// A real browser opens the page as it is: the DOM it builds holds the same figures, and it
// renders a screenshot at a phone's width.
TEST(DayPageInABrowser, ChromiumReadsTheFiguresAndRendersThePage) {
    if (std::system("command -v chromium >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "chromium is not installed (Debian package chromium)";
    }
    ClosedDay d;
    const fs::path profile = d.dir / "profile", dom = d.dir / "dom.html", shot = d.dir / "page.png";
    fs::create_directories(profile);
    const std::string chromium =
        "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync "
        "--user-data-dir='" +
        profile.string() + "' ";
    const std::string url = " 'file://" + (d.home() / "closeout03-20200904.html").string() + "'";
    const fs::path err = d.dir / "chromium.txt";
    ASSERT_EQ(run(chromium + "--dump-dom" + url + " >'" + dom.string() + "'", err), 0)
        << test::read_file(err);
    EXPECT_EQ(test::page_figures(test::read_file(dom)), test::page_figures(d.page));
    ASSERT_EQ(
        run(chromium + "--window-size=390,2000 --screenshot='" + shot.string() + "'" + url, err), 0)
        << test::read_file(err);
    ASSERT_TRUE(fs::exists(shot));
    EXPECT_EQ(test::read_file(shot).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
}  // namespace tillora
