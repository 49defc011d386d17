// The demo installation: every report family finds its rows, the money balances, the audit file
// holds what the readers look for; the same seed gives the same installation; options refused.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/store.h"
#include "platform/value.h"
#include "support/test_support.h"
#include "tools/demo_calendar.h"
#include "tools/demo_data.h"
#include "tools/demo_sales.h"
#include "tools/register_sim.h"

namespace fs = std::filesystem;
using namespace tillora;
using namespace tillora::demo;

namespace {

DemoOptions small_store(const fs::path& folder, std::uint64_t seed = 7) {
    DemoOptions o;
    o.folder = folder;
    o.days = 2;
    o.tickets = 10;
    o.seed = seed;
    return o;
}

// Every xact row as one text line, in table order.
std::vector<std::string> xact_dump(const fs::path& db_path) {
    auto db = Database::open(db_path);
    std::vector<std::string> rows;
    for (Recordset rs = db->open_recordset("select * from xact order by rowid"); !rs.eof();
         rs.move_next()) {
        std::string row;
        for (std::size_t i = 0; i < rs.field_count(); ++i) row += rs.field(i).as_text() + "|";
        rows.push_back(row);
    }
    return rows;
}

long count(Database& db, const std::string& sql) {
    return static_cast<long>(db.open_recordset(sql).field(0).as_int());
}

class DemoStore : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        make_demo_installation(small_store(dir_->path() / "shop"));
    }
    static void TearDownTestSuite() { delete dir_; }
    static fs::path home() { return dir_->path() / "shop"; }

    static test::TempDir* dir_;
};
test::TempDir* DemoStore::dir_ = nullptr;

// The counts of tests/tools/demo_store_counts.txt, and lines on the configured service-charge
// account.
TEST_F(DemoStore, EveryDatabaseOpensWithTheRowsEachReportFamilyNeeds) {
    const auto table = fs::path(TILLORA_SOURCE_DIR) / "tests" / "tools" / "demo_store_counts.txt";
    int rows = 0;
    for (const std::string& line : test::file_lines(table)) {
        if (line.empty() || line[0] == '#') continue;
        ++rows;
        std::vector<std::string> cells;
        std::istringstream in(line);
        for (std::string cell; std::getline(in, cell, '|');) cells.push_back(trim(cell));
        ASSERT_EQ(cells.size(), 4u) << line;
        const long n = count(*Database::open(home() / cells[0]), cells[1]);
        EXPECT_TRUE(n >= std::stol(cells[2]) && (cells[3] == "-" || n <= std::stol(cells[3])))
            << line << " gives " << n;
    }
    EXPECT_EQ(rows, 19);
    const std::string charge = Database::open(home() / "kovra03.mdb")
                                   ->open_recordset("select arglsrvchg from config")
                                   .field(0)
                                   .as_text();
    EXPECT_GT(count(*Database::open(home() / "KOVRAX03.MDB"),
                    "select count(*) from xact where posacctnum = " + charge),
              0);
}

TEST_F(DemoStore, LinesAreInOrderMoneyIsExactTwoDecimalsAndTicketsBalance) {
    auto db = Database::open(home() / "KOVRAX03.MDB");
    Recordset rs = db->open_recordset(
        "select ticket, itemnumber, status, poschitbase, poschitsrvchg, poschittax, poschittotal, "
        "poschitnum, trantime, poschitdate from xact order by rowid");
    std::map<std::int64_t, Currency> due, paid, total;
    std::set<std::int64_t> closed;
    std::int64_t last_chit = 0, last_ticket = 0;
    for (; !rs.eof(); rs.move_next()) {
        // Lines are numbered in order within the business day, on one of its two dates.
        const std::int64_t ticket = rs.field("ticket").as_int();
        const std::int64_t chit = rs.field("poschitnum").as_int();
        EXPECT_GT(chit, last_chit);
        EXPECT_GE(ticket, last_ticket);
        last_chit = chit;
        last_ticket = ticket;
        const std::string time = rs.field("trantime").as_text();
        EXPECT_TRUE(time.size() == 8 && time[2] == ':' && time[5] == ':' && time < "24:00:00")
            << time;
        const std::int64_t date = rs.field("poschitdate").as_int();
        EXPECT_TRUE(date == 20200901 || date == 20200902) << date;
        for (const char* money : {"poschitbase", "poschitsrvchg", "poschittax", "poschittotal"}) {
            EXPECT_EQ(rs.field(money).as_currency().units % 100, 0) << money << " " << ticket;
        }
        const std::int64_t status = rs.field("status").as_int();
        if (status >= 2) closed.insert(ticket);
        total[ticket] = rs.field("poschittotal").as_currency();
        if (rs.field("itemnumber").as_int() == -1) {
            paid[ticket] += rs.field("poschitbase").as_currency();
        } else if (status > -10 || status == -86) {
            due[ticket] += rs.field("poschitbase").as_currency() +
                           rs.field("poschitsrvchg").as_currency() +
                           rs.field("poschittax").as_currency();
        }
    }
    ASSERT_FALSE(closed.empty());
    for (const auto& [ticket, amount] : due) EXPECT_EQ(amount, total[ticket]) << ticket;
    for (std::int64_t ticket : closed) EXPECT_EQ(-paid[ticket], total[ticket]) << ticket;

    // Every card tender has its processor record for the same amount, in cents.
    Recordset cards = db->open_recordset(
        "select ticket, sum(poschitbase) as paid from xact where postendtype between 3 and 8 "
        "and itemnumber = -1 group by ticket");
    ASSERT_GT(cards.record_count(), 0);
    for (; !cards.eof(); cards.move_next()) {
        const std::string ticket = cards.field("ticket").as_text();
        Recordset cc = db->open_recordset(
            "select sum(amount), min(length(ccnumber)), min(status) from ccard where ticket = " +
            ticket);
        EXPECT_EQ(cc.field(0).as_int() * 100, -cards.field("paid").as_currency().units) << ticket;
        EXPECT_EQ(cc.field(1).as_int(), 16) << ticket;
        EXPECT_GE(cc.field(2).as_int(), 3) << ticket;
    }
    // Held tickets on the server are not also on the workstation.
    auto held = Database::open(home() / "server" / "kovratmp.mdb");
    for (Recordset h = held->open_recordset("select distinct ticket from xact"); !h.eof();
         h.move_next()) {
        EXPECT_EQ(count(*db, "select count(*) from xact where ticket = " + h.field(0).as_text()),
                  0);
    }
}

TEST_F(DemoStore, AuditFileHoldsEveryEntryTheReadersLookFor) {
    int cleared = 0, poa = 0, drawer = 0, keyed_paid = 0;
    const auto npos = std::string::npos;
    for (const std::string& line : test::file_lines(home() / "audit03.txt")) {
        ASSERT_GE(line.size(), 17u) << line;
        if (line.substr(0, 10) == "09-01-2020" || line.substr(0, 10) == "09-02-2020") {
            drawer += line.find(" PaidOut ") != npos || line.find(" Paid-IN ") != npos;
            continue;
        }
        EXPECT_TRUE(line.substr(0, 9) == "09012020\\" || line.substr(0, 9) == "09022020\\") << line;
        EXPECT_EQ(line.substr(14, 3), "\\E#") << line;
        const std::string rest = upper(line.substr(17));
        if (rest.find("CLEARED .00") != npos) {
            EXPECT_GT(leading_number(rest), 0.0) << line;
            EXPECT_GT(leading_number(rest.substr(rest.find('\\') + 2)), 1000.0) << line;
            ++cleared;
        }
        poa += line.find("\\POA\\") != npos;
        keyed_paid += rest.find("PAIDOUT\\") != npos || rest.find("PAID-IN\\") != npos;
    }
    EXPECT_GE(cleared, 2);
    EXPECT_GE(poa, 2);
    EXPECT_GE(drawer, 4);
    EXPECT_EQ(keyed_paid, drawer);
    EXPECT_FALSE(test::file_lines(home() / "error03.txt").empty());
}

// Amounts and audit lines as the register writes them; business days step over month, year and
// leap-day ends; impossible dates are refused.
TEST(DemoFormats, MoneyAuditLinesAndDates) {
    const std::pair<std::int64_t, const char*> money[] = {
        {0, ".00"}, {5, ".05"}, {1250, "12.50"}, {-1036, "-10.36"}, {123456, "1234.56"}};
    for (const auto& [cents, text] : money) EXPECT_EQ(money_text(cents), text);
    const CalendarDate day{2020, 9, 4};
    EXPECT_EQ(audit_line(day, {14 * 3600 + 37 * 60 + 5, 12, "#1234 Ticket cleared .00", false}),
              "09042020\\14:37\\E#12\\#1234 Ticket cleared .00");
    EXPECT_EQ(audit_line(day, {9 * 3600 + 5, 90, "PaidOut -12.50 Ice", true}),
              "09-04-2020 09:00:05 E#90 PaidOut -12.50 Ice");
    const std::tuple<int, int, int> steps[] = {{20200901, 29, 20200930},
                                               {20201231, 1, 20210101},
                                               {20200228, 1, 20200229},
                                               {20210228, 1, 20210301},
                                               {20200301, -1, 20200229}};
    for (const auto& [from, days, to] : steps) {
        EXPECT_EQ(date_number(add_days(*date_from_number(from), days)), to) << from;
    }
    for (long bad : {20210229L, 20201301L, 20200900L, 18991231L}) {
        EXPECT_FALSE(date_from_number(bad).has_value()) << bad;
    }
}

TEST(DemoGenerator, SameSeedGivesTheSameSalesAndAnotherSeedOthers) {
    test::TempDir dir;
    for (const auto& [name, seed] : {std::pair{"a", 42}, std::pair{"b", 42}, std::pair{"c", 43}}) {
        make_demo_installation(small_store(dir / name, seed));
    }
    const auto a = xact_dump(dir / "a" / "KOVRAX03.MDB");
    EXPECT_GT(a.size(), 50u);
    EXPECT_EQ(a, xact_dump(dir / "b" / "KOVRAX03.MDB"));
    EXPECT_NE(a, xact_dump(dir / "c" / "KOVRAX03.MDB"));
    EXPECT_EQ(test::read_file(dir / "a" / "audit03.txt"),
              test::read_file(dir / "b" / "audit03.txt"));
}

TEST(DemoGenerator, OfflineUnitAndNodeShapeTheInstallationAndAFullFolderIsRefused) {
    test::TempDir dir;
    DemoOptions o = small_store(dir / "off");
    std::tie(o.unit, o.node, o.offline, o.days) = std::make_tuple(12, 7, true, 1);
    make_demo_installation(o);
    EXPECT_FALSE(fs::exists(dir / "off" / "server" / "ravo.exe"));
    for (const char* name : {"KOVRAX12.MDB", "RPT07.MDB", "kovra12.mdb", "audit12.txt"}) {
        EXPECT_TRUE(fs::exists(dir / "off" / name)) << name;
    }
    auto config = Database::open(dir / "off" / "kovra12.mdb");
    EXPECT_EQ(count(*config, "select offlinemode from config"), 1);

    test::write_file(dir / "KOVRAX03.MDB", "keep me");
    EXPECT_THROW(make_demo_installation(small_store(dir.path())), DemoError);
    EXPECT_EQ(test::read_file(dir / "KOVRAX03.MDB"), "keep me");
}

// The sales end today unless --end or --start says otherwise; bad command lines are refused.
TEST(DemoOptions, ReadsTheRangeAndRefusesBadCommandLines) {
    const std::pair<std::vector<std::string>, int> starts[] = {
        {{"--folder", "x", "--days", "5"}, 20260302},
        {{"--folder", "x", "--days", "5", "--end", "20200904"}, 20200831},
        {{"--folder", "x", "--days", "1", "--end", "20200904"}, 20200904},
        {{"--folder", "x", "--start", "20200229", "--unit", "5", "--offline"}, 20200229}};
    for (const auto& [args, start] : starts) {
        EXPECT_EQ(parse_demo_options(args, 20260306).start, start) << args.back();
    }
    const DemoOptions o =
        parse_demo_options({"--folder", "x", "--unit", "5", "--seed", "9"}, 20260306);
    EXPECT_EQ(std::tie(o.unit, o.seed), std::make_tuple(5, std::uint64_t{9}));
}

// The rows of tests/tools/usage_errors.txt, for the demo and the register simulator.
TEST(DemoOptions, BadCommandLinesAreRefused) {
    int rows = 0;
    for (const std::string& line :
         test::file_lines(fs::path(TILLORA_SOURCE_DIR) / "tests" / "tools" / "usage_errors.txt")) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells, args;
        std::istringstream in(line);
        for (std::string cell; std::getline(in, cell, '|');) cells.push_back(trim(cell));
        std::istringstream words(cells.at(1));
        for (std::string word; words >> word;) args.push_back(word);
        ++rows;
        try {
            cells[0] == "demo" ? (void)parse_demo_options(args, 20260101)
                               : (void)parse_register_options(args);
            ADD_FAILURE() << "accepted: " << line;
        } catch (const UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(cells.size() > 2 ? cells[2] : ""),
                      std::string::npos)
                << line;
        }
    }
    EXPECT_EQ(rows, 17);
}

}  // namespace
