#include "engine/ticket_lists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "platform/files.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::TestStation;

TEST(TicketLists, PrintEachListLineForLineFromOneDay) {
    const struct {
        void (*click)(Station&);
        bool own_sales, audit_file;
        const char* expected;
        const char* box;  // the one message shown, if any
    } cases[] = {
        {cmdserver3_click, false, true, "all-closed.txt", nullptr},
        // The time of day does not filter.
        {cmdunsentxact_click, false, true, "unsent.txt", nullptr},
        // Voided lines left out, a warning.
        {cmdserver8_click, false, true, "local-hold.txt", nullptr},
        {cmdserver8_click, true, true, "local-hold-other-server.txt", nullptr},  // empty
        {cmdserver7_click, false, true, "main-hold.txt", nullptr},  // voided lines counted
        {cmdserver5_click, false, true, "cleared.txt", nullptr},    // audit entries added
        {cmdserver5_click, false, false, "cleared-no-audit.txt",
         "MSGBOX audit03.txt | No audit file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TestStation t;
        test::add_ticket_lists_day(t);
        if (!c.audit_file) std::filesystem::remove(t.home() / "audit03.txt");
        t.s().form.txtempid.text = "8";
        t.s().form.ownsalesonly = c.own_sales ? 1 : 0;
        t.s().form.txtfromhour.text = "06";
        c.click(t.s());
        test::expect_jobs(t, {c.expected});
        EXPECT_EQ(t.boxes(), c.box ? test::Lines{c.box} : test::Lines{});
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

// Each ticket's sums and server are those its own statements give: lines out of the range,
// voided lines and held lines left out, the first row's server also when the rows disagree or
// some have none, and a ticket that is not a whole number.
TEST(TicketLists, EachTicketGetsWhatItsOwnStatementsGive) {
    const struct {
        void (*click)(Station&);
        std::vector<std::string> rows;  // ticket:server:base:srvchg:tax of every work row
    } cases[] = {
        {cmdserver3_click,
         {"1:12:12.5:4:0.8", "2:22:1:0:0", "2.5:12:7:0:0", "3::1:0:0", "4:21:1:0:0", "5:12:0:0:0"}},
        {cmdserver8_click, {"7:40:9:0:0"}},
    };
    for (const auto& c : cases) {
        TestStation t;
        test::load_fixture(t, "ticket-sums");
        c.click(t.s());
        std::vector<std::string> rows;
        auto rpt = t.report_db();
        for (Recordset ar = rpt->open_recordset("select * from ar"); !ar.eof(); ar.move_next()) {
            std::string row = default_text(ar.field("ardate"));
            for (const char* f : {"aracctnum", "base", "srvchg", "salestax"}) {
                row += ":" + default_text(ar.field(f));
            }
            rows.push_back(row);
        }
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(TicketLists, CloseOutModeWritesEveryLineToTheFileAndNothingToPaper) {
    TestStation t;
    test::add_ticket_lists_day(t);
    t.enter_closeout_mode();
    cmdserver3_click(t.s());
    test::expect_closeout(t, "all-closed-closeout.txt");
    EXPECT_TRUE(t.jobs().empty());
}

TEST(TicketLists, MainHoldOffLineIsRefusedAndOffLineModeDoesNothing) {
    TestStation t;
    std::filesystem::remove(t.home() / "server" / "ravo.exe");
    cmdserver7_click(t.s());
    EXPECT_EQ(t.boxes(), std::vector<std::string>{
                             "MSGBOX Off-Line | Main hold sales unavailable when off-line"});
    EXPECT_EQ(t.st().reportbusy, 0);
    EXPECT_EQ(t.st().backofficemissing, 1);
    t.st().offlinemode = 1;
    cmdserver7_click(t.s());
    EXPECT_EQ(t.boxes().size(), 1u);
    EXPECT_TRUE(t.jobs().empty());
}

TEST(TicketLists, ButtonPressedDuringAYieldOnlyShowsTheGuardMessage) {
    TestStation t;
    test::add_ticket_lists_day(t);
    int clicks = 0;
    t.ui.on_yield = [&] {
        if (clicks++ == 3) cmdserver8_click(t.s());
    };
    cmdserver3_click(t.s());
    EXPECT_EQ(t.boxes(), std::vector<std::string>{
                             "MSGBOX Printer... | Please wait for current report to complete."});
    ASSERT_EQ(t.jobs().size(), 1u);
    EXPECT_EQ(t.jobs()[0][0], "All Closed Tickets");
    EXPECT_EQ(t.st().reportbusy, 0);
}

// A missing or damaged database, or a printer that does not exist: one message, nothing printed,
// the guard cleared so that the next report runs.
TEST(TicketLists, FailuresAreReportedOnceAndClearTheGuard) {
    const struct {
        const char* file;  // damaged, or removed when `damage` is empty
        std::string damage;
        int printer;
        const char* box;
    } cases[] = {
        {"KOVRAX03.MDB", "", 0, "MSGBOX Oops... | All Closed Tickets could not run."},
        {"RPT03.MDB", std::string(4096, '\x5a'), 0,
         "MSGBOX Oops... | All Closed Tickets could not run."},
        {"", "", 4, "MSGBOX Uh-oh... | Invalid receipt printer configuration."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        TestStation t;
        test::add_ticket_lists_day(t);
        const auto path = t.home() / c.file;
        const std::string saved = test::read_file(path);
        if (*c.file != '\0') std::filesystem::remove(path);
        if (!c.damage.empty()) test::write_file(path, c.damage);
        t.st().localprinter = static_cast<std::int16_t>(c.printer);
        cmdserver3_click(t.s());
        ASSERT_EQ(t.boxes().size(), 1u);
        EXPECT_EQ(t.boxes()[0].rfind(c.box, 0), 0u) << t.boxes()[0];
        EXPECT_NE(t.boxes()[0].find(c.file), std::string::npos);
        EXPECT_EQ(t.st().reportbusy, 0);
        EXPECT_TRUE(t.jobs().empty());
        if (*c.file == '\0') continue;
        EXPECT_EQ(t.s().failures.size(), 1u);
        std::filesystem::remove(path);
        test::write_file(path, saved);
        cmdserver3_click(t.s());
        EXPECT_EQ(t.jobs().size(), 1u);
    }
}

// The indexed read of a date range keeps exactly the lines the whole read keeps: lines out of
// date order, CR LF, a non-ASCII start, a combining accent in the key, a line over the limit, a
// last line without newline; then after a rewrite of the same size in place, after an append and
// after a larger file is renamed over it; each in this run and in a run that reads the index back
// from the work database.
TEST(AuditIndex, ReadsExactlyTheLinesTheWholeReadKeeps) {
    TestStation t;
    const auto path = t.home() / "audit03.txt";
    const std::string base =
        "09052020\\a\n09042020\\b\r\n09-04-2020 c\n\xe9"
        "9042020\\d\n0904202\xcc\x81"
        "0\\e\n09042020\\" +
        std::string(70000, 'x') + "\n09042020\\f\n\n09032020\\g";
    std::string same_size = base;
    std::swap(same_size[3], same_size[14]);  // 09042020\a first, 09052020\b second
    const std::function<void()> steps[] = {
        [&] { test::write_file(path, base); },
        [&] { test::write_file(path, same_size); },
        [&] { append_line(path, "\n09042020\\h\r\n09-04-2020 i", ""); },
        [&] {
            test::write_file(t.home() / "new.txt", "09042020\\j\n" + base + "\n09-04-2020 k\n");
            std::filesystem::rename(t.home() / "new.txt", path);
        },
    };
    const std::pair<std::string, std::string> ranges[] = {{"09042020", "09042020"},
                                                          {"09-04-2020", "09-04-2020"},
                                                          {"09032020", "09052020"},
                                                          {"0904", "0904"},
                                                          {"", "09042019"}};
    for (const auto& step : steps) {
        step();
        for (const bool later_run : {false, true}) {
            if (later_run) t.s().line_indexes.clear();
            for (const auto& [from, to] : ranges) {
                test::Lines whole, indexed;
                for_each_file_line(t.s(), path, [&](const std::string& line) {
                    if (line_in_keys(line, from, to)) whole.push_back(line);
                });
                for_each_line_in_keys(t.s(), path, from, to,
                                      [&](const std::string& line) { indexed.push_back(line); });
                EXPECT_EQ(indexed, whole) << from << "-" << to;
            }
            const std::string text = test::read_file(path);
            const std::uint64_t indexed_end = text.rfind('\n') + 1;
            EXPECT_EQ(t.s().line_indexes.at(path.string()).size, indexed_end);
            EXPECT_EQ(t.report_db()->open_recordset("select size from line_files").field("size"),
                      Value(static_cast<std::int64_t>(indexed_end)));
        }
    }
}

}  // namespace
}  // namespace tillora
