#include "engine/ticket_lists.h"

#include <gtest/gtest.h>

#include "engine/pipeline.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::Lines;
using test::operator+;
using test::Row;
using test::TestStation;

const std::string kDash = test::kDash39;

// A line of `ticket` rung by `server`, with the other columns of `more`.
Row sale(int ticket, int server, const Row& more) {
    return test::with({{"ticket", ticket}, {"server", server}}, more);
}

// A day of tickets that tells the five lists apart: counted and voided lines, -2 and -5 lines,
// a tender, a ticket stamped before the time range, held, cleared and out-of-range tickets.
void add_day(TestStation& t) {
    t.add_lines({
        sale(101, 7, {{"poschitbase", 10.0}, {"poschitsrvchg", 1.0}, {"poschittax", 0.8}}),
        sale(101, 7, {{"itemnumber", -5}, {"poschitbase", 2.5}, {"poschittax", 0.2}}),
        sale(101, 7, {{"itemnumber", -2}, {"poschitsrvchg", 1.5}}),
        sale(101, 7, {{"status", -12}, {"poschitbase", 99.0}}),
        sale(101, 7, {{"itemnumber", -1}, {"postendtype", 1}, {"poschitbase", 16.0}}),
        sale(102, 8, {{"status", 3}, {"trantime", "23:59:59"}, {"poschitbase", 100000.0}}),
        sale(103, 7, {{"status", 0}, {"poschitbase", 5.0}, {"poschittax", 0.4}}),
        sale(103, 7, {{"status", -20}, {"poschitbase", 1.0}}),
        sale(104, 9, {{"status", -86}, {"poschitbase", 7.0}, {"poschitsrvchg", 0.7}}),
        sale(104, 9, {{"status", -86}, {"itemnumber", -2}, {"poschitsrvchg", 3.0}}),
        sale(105, 7, {{"trantime", "05:00:00"}, {"poschitbase", 1.0}}),
        sale(106, 7, {{"poschitdate", 20200903}, {"poschitbase", 4.0}}),
    });
    auto held = Database::open(t.home() / "server" / "kovratmp.mdb");
    const Row held_line = {{"itemnumber", 1}, {"poschitdate", 20200904}, {"trantime", "12:00:00"}};
    for (const auto& [status, base] : {std::pair{1, 3.0}, std::pair{-15, 2.0}}) {
        test::insert_row(
            *held, "xact",
            sale(201, 7, test::with(held_line, {{"status", status}, {"poschitbase", base}})));
    }
    test::write_file(t.home() / "audit03.txt",
                     "09042020\\15:09\\E#5 CLEARED .00\n"  // no ticket: number stays 0, not printed
                     "09042020\\15:10\\E#9\\T150 cleared .00\n"  // ticket 150, server 9
                     "09032020\\15:10\\E#9\\T151 CLEARED .00\n"  // another day
                     "09042020\\15:12\\E#6 CLEARED .00\\\n"      // separator last: skipped
                     "0904\n"                                    // too short
                     "09042020\\15:13\\E#4\\T160 started\n");
}

std::vector<std::string> body_of(const std::vector<std::string>& job) {
    // Header block (7 lines) first, six feed lines last.
    if (job.size() < 13) return job;
    return std::vector<std::string>(job.begin() + 7, job.end() - 6);
}

struct ListCase {
    const char* name;
    void (*click)(Station&);
    const char* title;
    bool own_sales;
    std::vector<std::string> body;
};

TEST(TicketLists, PrintEachListLineForLineFromOneDay) {
    // The body under the column heading.
    // clang-format off
    const std::vector<ListCase> cases = {
        {"all closed", cmdserver3_click, "All Closed Tickets", false,
         {"101 - 7      12.50   2.50   1.00   16.00", "102 - 8   00000.00    .00    .0000000.00",
          "Totals:   00012.50   2.50   1.0000016.00", kDash, "Ticket Count:   2", kDash}},
        {"un-sent ignores the time of day", cmdunsentxact_click, "All Un-Sent Tickets", false,
         {"101 - 7      12.50   2.50   1.00   16.00", "102 - 8   00000.00    .00    .0000000.00",
          "105 - 7       1.00    .00    .00    1.00", "Totals:   00013.50   2.50   1.0000017.00",
          kDash, "Ticket Count:   3", kDash}},
        {"local hold leaves voided lines out and warns", cmdserver8_click, "Local Hold Tickets",
         false,
         {"103 - 7       5.00    .00    .40    5.40", "Totals:       5.00    .00    .40    5.40",
          kDash, "Ticket Count:   1", kDash, "The presence of LOCAL hold sales often",
          "indicates that a network connection", "problem exists. Contact your manager.", kDash}},
        {"local hold of another server is empty", cmdserver8_click, "Local Hold Tickets", true,
         {kDash, "Ticket Count:   ", kDash}},
        {"main hold counts voided lines", cmdserver7_click, "Main Hold Tickets", false,
         {"201 - 7       5.00    .00    .00    5.00", "Totals:       5.00    .00    .00    5.00",
          kDash, "Ticket Count:   1", kDash}},
        {"cleared adds the audit entries", cmdserver5_click, "All Cleared Tickets", false,
         {"104-9         7.00    .70    .00    7.70", "150-9          .00    .00    .00     .00",
          "Totals:       7.00    .70    .00    7.70", kDash, "Ticket Count:   2", kDash}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        add_day(t);
        t.s().form.txtempid.text = "8";
        t.s().form.ownsalesonly = c.own_sales ? 1 : 0;
        t.s().form.txtfromhour.text = "06";
        c.click(t.s());
        const auto jobs = t.jobs();
        ASSERT_EQ(jobs.size(), 1u);
        const auto& job = jobs[0];
        EXPECT_EQ(Lines(job.begin(), job.begin() + 7),
                  test::frame_header(c.title, kDash, "Printed by   :8", "06:00:00 - 23:59:59"));
        EXPECT_EQ(body_of(job), Lines{"Ticket-Server Base    S/C    Tax   Total"} + c.body);
        EXPECT_EQ(Lines(job.end() - 6, job.end()), test::paper_feed());
        EXPECT_EQ(t.st().reportbusy, 0);
    }
}

TEST(TicketLists, CloseOutModeWritesEveryLineToTheFileAndNothingToPaper) {
    TestStation t;
    add_day(t);
    t.enter_closeout_mode();
    cmdserver3_click(t.s());
    const auto lines = t.closeout();
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[2], "Printed by   :CENTRAL");
    EXPECT_EQ(lines.back(), kDash);
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

TEST(TicketLists, ClearedWithoutAuditFileSaysSoAndStillPrints) {
    TestStation t;
    add_day(t);
    std::filesystem::remove(t.home() / "audit03.txt");
    cmdserver5_click(t.s());
    EXPECT_EQ(t.boxes(), std::vector<std::string>{"MSGBOX audit03.txt | No audit file."});
    ASSERT_EQ(t.jobs().size(), 1u);
    EXPECT_EQ(t.jobs()[0][8], "104-9         7.00    .70    .00    7.70");
}

TEST(TicketLists, ButtonPressedDuringAYieldOnlyShowsTheGuardMessage) {
    TestStation t;
    add_day(t);
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

TEST(TicketLists, DatabaseFailuresAreReportedAndTheNextReportRuns) {
    struct Fault {
        const char* name;
        const char* file;
        std::string contents;  // empty: the file is removed
        const char* message_part;
    };
    const std::vector<Fault> faults = {
        {"missing transaction database", "KOVRAX03.MDB", "", "KOVRAX03.MDB"},
        {"damaged report database", "RPT03.MDB", std::string(4096, '\x5a'), "RPT03.MDB"},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.name);
        TestStation t;
        add_day(t);
        const auto path = t.home() / f.file;
        const std::string saved = test::read_file(path);
        std::filesystem::remove(path);
        if (!f.contents.empty()) test::write_file(path, f.contents);
        cmdserver3_click(t.s());
        ASSERT_EQ(t.boxes().size(), 1u);
        EXPECT_EQ(t.boxes()[0].rfind("MSGBOX Oops... | All Closed Tickets could not run.", 0), 0u);
        EXPECT_NE(t.boxes()[0].find(f.message_part), std::string::npos);
        EXPECT_EQ(t.st().reportbusy, 0);
        EXPECT_TRUE(t.jobs().empty());
        ASSERT_EQ(t.s().failures.size(), 1u);
        std::filesystem::remove(path);
        test::write_file(path, saved);
        cmdserver3_click(t.s());
        EXPECT_EQ(t.jobs().size(), 1u);
    }
}

TEST(TicketLists, InvalidPrinterIsReportedOnceAndClearsTheGuard) {
    TestStation t;
    add_day(t);
    t.st().localprinter = 4;
    cmdserver3_click(t.s());
    EXPECT_EQ(t.boxes(),
              std::vector<std::string>{"MSGBOX Uh-oh... | Invalid receipt printer configuration."});
    EXPECT_TRUE(t.jobs().empty());
    EXPECT_EQ(t.st().reportbusy, 0);
}

}  // namespace
}  // namespace tillora
