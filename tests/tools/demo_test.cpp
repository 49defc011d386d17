#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/store.h"
#include "platform/value.h"
#include "support/test_support.h"
#include "tools/demo_calendar.h"
#include "tools/demo_data.h"
#include "tools/demo_sales.h"
#include "tools/demo_sqlite.h"

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
    Recordset rs = db->open_recordset("select * from xact order by rowid");
    std::vector<std::string> rows;
    for (; !rs.eof(); rs.move_next()) {
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
        summary_ = make_demo_installation(small_store(dir_->path() / "shop"));
    }
    static void TearDownTestSuite() { delete dir_; }
    static fs::path home() { return dir_->path() / "shop"; }

    static test::TempDir* dir_;
    static DemoSummary summary_;
};
test::TempDir* DemoStore::dir_ = nullptr;
DemoSummary DemoStore::summary_;

TEST_F(DemoStore, EveryDatabaseOpensThroughTheStoreWithItsRows) {
    auto config = Database::open(home() / "kovra03.mdb");
    Recordset c = config->open_recordset("select * from config");
    ASSERT_EQ(c.record_count(), 1);
    EXPECT_GE(c.field("regflags").as_text().size(), 16u);
    EXPECT_EQ(c.field("empvalmethod").as_int(), 1);
    EXPECT_EQ(c.field("offlinemode").as_int(), 0);
    EXPECT_GT(c.field("arglsrvchg").as_double(), 0);

    auto xact = Database::open(home() / "KOVRAX03.MDB");
    // The service-charge account of the configuration is used by the sales.
    EXPECT_GT(count(*xact, "select count(*) from xact where posacctnum = " +
                               c.field("arglsrvchg").as_text()),
              0);

    auto emp = Database::open(home() / "kovraemp.mdb");
    EXPECT_GE(count(*emp, "select count(*) from empinfo"), 4);
    EXPECT_GE(count(*emp, "select count(*) from empinfo where cast(pword as real) > 38500"), 1);
    EXPECT_GE(count(*emp, "select count(*) from empinfo where cast(pword as real) <= 38500"), 3);

    auto rpt = Database::open(home() / "RPT03.MDB");
    EXPECT_EQ(count(*rpt, "select (select count(*) from ar) + (select count(*) from xact)"), 0);

    auto history = Database::open(home() / "server" / "KOVRAH.MDB");
    for (const char* table : {"config01", "config03", "config10"}) {
        EXPECT_EQ(count(*history, std::string("select count(*) from ") + table), 1) << table;
    }
}

TEST_F(DemoStore, EachReportFamilyFindsData) {
    auto xact = Database::open(home() / "KOVRAX03.MDB");
    const std::vector<std::pair<const char*, const char*>> families = {
        {"closed tickets", "select count(*) from xact where status >= 2"},
        {"sent tickets", "select count(*) from xact where status >= 4"},
        {"un-sent tickets", "select count(*) from xact where status = 2 or status = 3"},
        {"cleared tickets", "select count(*) from xact where status = -86"},
        {"local held tickets", "select count(*) from xact where status > -10 and status < 2"},
        {"voided lines", "select count(*) from xact where status <= -10 and status > -76"},
        {"removed items", "select count(*) from xact where status = -76 and saletext <> ''"},
        {"settled tenders", "select count(*) from xact where itemnumber = -1 and posbatch > '0'"},
        {"payments on account",
         "select count(*) from xact where itemnumber = -3 and postendtype > 0"},
        {"service-charge lines",
         "select count(*) from xact where itemnumber = -2 and poschitsrvchg > 0"},
        {"-5 lines", "select count(*) from xact where itemnumber = -5"},
        {"card tickets", "select count(*) from xact where postendtype between 3 and 8"},
    };
    for (const auto& [name, sql] : families) EXPECT_GT(count(*xact, sql), 0) << name;

    auto held = Database::open(home() / "server" / "kovratmp.mdb");
    EXPECT_GT(count(*held, "select count(*) from xact where status < 2"), 0);
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
        const std::int64_t item = rs.field("itemnumber").as_int();
        const std::int64_t status = rs.field("status").as_int();
        if (status >= 2) closed.insert(ticket);
        total[ticket] = rs.field("poschittotal").as_currency();
        if (item == -1) {
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

TEST(DemoFormats, MoneyAuditLinesAndDates) {
    const std::vector<std::pair<std::int64_t, std::string>> money = {
        {0, ".00"}, {5, ".05"}, {1250, "12.50"}, {-1036, "-10.36"}, {123456, "1234.56"}};
    for (const auto& [cents, text] : money) EXPECT_EQ(money_text(cents), text);

    const CalendarDate day{2020, 9, 4};
    EXPECT_EQ(audit_line(day, {14 * 3600 + 37 * 60 + 5, 12, "#1234 Ticket cleared .00", false}),
              "09042020\\14:37\\E#12\\#1234 Ticket cleared .00");
    EXPECT_EQ(audit_line(day, {9 * 3600 + 5, 90, "PaidOut -12.50 Ice", true}),
              "09-04-2020 09:00:05 E#90 PaidOut -12.50 Ice");

    const std::vector<std::tuple<int, int, int>> steps = {{20200901, 29, 20200930},
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
    make_demo_installation(small_store(dir / "a", 42));
    make_demo_installation(small_store(dir / "b", 42));
    make_demo_installation(small_store(dir / "c", 43));
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

TEST(DemoOptions, BadCommandLinesAreRefused) {
    // clang-format off
    const std::vector<std::vector<std::string>> bad = {
        {}, {"--unit", "3"}, {"--folder"}, {"--folder", "x", "--colour", "red"},
        {"--folder", "x", "--unit", "100"}, {"--folder", "x", "--tickets", "ten"},
        {"--folder", "x", "--start", "20210230"}, {"--folder", "x", "--seed", "-1"},
        {"--folder", "x", "--end", "20201301"}, {"--folder", "x", "--start", "20200901",
        "--end", "20200904"}, {"--folder", "x", "stray"}};
    // clang-format on
    for (const auto& args : bad) {
        EXPECT_THROW(parse_demo_options(args, 20260101), UsageError)
            << (args.empty() ? "" : args.back());
    }
    const DemoOptions o = parse_demo_options(
        {"--folder", "x", "--unit", "5", "--start", "20200229", "--offline", "--seed", "9"}, 0);
    EXPECT_EQ(o.unit, 5);
    EXPECT_EQ(o.start, 20200229);
    EXPECT_TRUE(o.offline);
    EXPECT_EQ(o.seed, 9u);
}

// The sales end today unless --end or --start says otherwise.
TEST(DemoOptions, SalesEndTodayOrOnTheEndDate) {
    const std::vector<std::tuple<std::vector<std::string>, int>> cases = {
        {{"--folder", "x", "--days", "5"}, 20260302},
        {{"--folder", "x", "--days", "5", "--end", "20200904"}, 20200831},
        {{"--folder", "x", "--days", "1", "--end", "20200904"}, 20200904},
        {{"--folder", "x", "--start", "20200901"}, 20200901}};
    for (const auto& [args, start] : cases) {
        EXPECT_EQ(parse_demo_options(args, 20260306).start, start) << args.back();
    }
}

TEST(DemoSchema, IndexesAreSplitFromTheTablesAndCommentsDropped) {
    const SchemaParts parts = split_schema(
        "-- a comment; with a semicolon\n"
        "CREATE TABLE t (a INTEGER); -- trailing; comment\n"
        "create unique index t_a on t (a);\n"
        "CREATE INDEX t_b ON t (a);\n");
    ASSERT_EQ(parts.tables.size(), 1u);
    EXPECT_EQ(parts.tables[0], "CREATE TABLE t (a INTEGER)");
    EXPECT_EQ(parts.indexes.size(), 2u);
}

}  // namespace
