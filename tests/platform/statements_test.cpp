// The statements the reports run, on databases made from schema/, and the literal lifting of
// the statement cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/store.h"
#include "platform/store_detail.h"
#include "support/test_support.h"

namespace tillora {
namespace {

// A compact text of a value: 12 (whole number), $12.3400 (money), 2.5 (double), "null".
std::string show(const Value& v) {
    const auto& d = v.data();
    if (v.is_null()) return "null";
    if (const auto* i = std::get_if<std::int64_t>(&d)) return std::to_string(*i);
    if (const auto* c = std::get_if<Currency>(&d)) {
        char buf[48];
        const std::int64_t u = c->units < 0 ? -c->units : c->units;
        std::snprintf(buf, sizeof buf, "$%s%lld.%04lld", c->units < 0 ? "-" : "",
                      static_cast<long long>(u / 10000), static_cast<long long>(u % 10000));
        return buf;
    }
    if (const auto* f = std::get_if<double>(&d)) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%.15g", *f);
        return buf;
    }
    return v.as_text();
}

// Every row of a query: the named fields (or the first field) joined by "|".
std::vector<std::string> rows_of(Database& db, const std::string& sql,
                                 const std::vector<std::string>& fields) {
    std::vector<std::string> out;
    auto rs = db.open_recordset(sql);
    for (; !rs.eof(); rs.move_next()) {
        std::string line;
        if (fields.empty()) line = show(rs.field(std::size_t{0}));
        for (const auto& f : fields) line += (line.empty() ? "" : "|") + show(rs.field(f));
        out.push_back(line);
    }
    if (sql.find("order by") == std::string::npos) std::sort(out.begin(), out.end());
    return out;
}

constexpr const char* kXactColumns =
    "insert into xact (ticket, poschitnum, server, itemnumber, status, postendtype, posbatch, "
    "poschitdate, trantime, poschitbase, poschitsrvchg, poschittax, poschittotal, posacctnum, "
    "posmemo, saletext) values ";

// Hand-made lines: closed ticket 101 (items, a -5 line, a service-charge line, a Visa tender
// and a voided item), cleared 102 at the last second of the range, held 103, un-sent 104 at the
// first second, 105 after the range, removed line 106, payment on account 107, sent 108.
constexpr const char* kXactRows =
    "(101, 11, 7, 1, 2, 0, '0', 20200901, '12:00:00', 10.10, 1.00, 0.81, 14.41, 0, '2 Soup', "
    "'Soup'),"
    "(101, 12, 7, -5, 2, 0, '0', 20200901, '12:00:00', 2.00, 0, 0, 14.41, 0, 'Misc', 'Misc'),"
    "(101, 13, 7, -2, 2, 0, '0', 20200901, '12:00:00', 0, 0.50, 0, 14.41, 0, 'S/C', 'S/C'),"
    "(101, 14, 7, -1, 2, 3, '1', 20200901, '12:00:00', 14.41, 0, 0, 14.41, 0, 'Paid by Visa', "
    "''),"
    "(101, 15, 7, 1, -10, 0, '0', 20200901, '12:00:00', 100, 0, 0, 14.41, 0, 'Void', 'Void'),"
    "(102, 21, 8, 1, -86, 0, '0', 20200902, '23:59:59', 5.00, 0, 0, 5, 0, 'Tea', 'Tea'),"
    "(103, 31, 7, 2, 1, 0, '0', 20200903, '09:30:00', 3.33, 0, 0, 3.33, 0, 'Pie', 'Pie'),"
    "(104, 41, 8, 1, 3, 0, '0', 20200904, '00:00:00', 1.11, 0, 0.09, 1.20, 0, 'Tea', 'Tea'),"
    "(105, 51, 8, 1, 2, 0, '0', 20200905, '10:00:00', 9.99, 0, 0, 9.99, 0, 'Tea', 'Tea'),"
    "(106, 61, 9, 3, -76, 0, '0', 20200902, '11:00:00', 2.50, 0, 0, 0, 0, 'Fries', 'Fries'),"
    "(107, 71, 9, -3, 2, 1, '2', 20200903, '15:00:00', 25.00, 0, 0, 25, 0, 'POA', ''),"
    "(108, 81, 8, 1, 6, 0, '0', 20200903, '15:00:00', 7.25, 0, 0, 7.25, 0, 'Tea', 'Tea');";

class Statements : public ::testing::Test {
  protected:
    void SetUp() override {
        xact = test::create_database(dir / "KOVRAX03.MDB", "transactions.sql");
        execute_script(*xact, std::string(kXactColumns) + kXactRows +
                                  "insert into ccard (ticket, status, amount, ccnumber) values "
                                  "(101, 3, 1441, '4111111111111111'), (104, 2, 120, '42');");
        report = test::create_database(dir / "RPT03.MDB", "report.sql");
        execute_script(*report,
                       "insert into ar (ardate, aracctnum, base, covers, artototal, Memo) values "
                       "(101, 7, 12.10, null, null, 'a'), (-5, 1, 2, null, null, 'b'), "
                       "(99999999, -1, 0, 2, null, 'Paid by Check'), (0, 3, 0, 1, 4, 'c');");
        config = test::create_database(dir / "kovra03.mdb", "config.sql");
        execute_script(*config, "insert into config (compname, session) values ('Cafe', 0);");
        history = test::create_database(dir / "KOVRAH.MDB", "history.sql");
        execute_script(*history, "insert into config03 (compname) values ('Unit three');");
        employees = test::create_database(dir / "kovraemp.mdb", "employees.sql");
        execute_script(*employees,
                       "insert into empinfo values (12, 5, '777', '39000', 'Ann'), "
                       "(13, 6, '888', '1234', 'Bob');");
        held = test::create_database(dir / "kovratmp.mdb", "held.sql");
        execute_script(*held, std::string(kXactColumns) + kXactRows);
    }

    test::TempDir dir;
    std::unique_ptr<Database> xact, report, config, history, employees, held;
};

const std::string kRange =
    " and poschitdate between 20200901 and 20200904 and trantime between '00:00:00' and "
    "'23:59:59'";
const std::string kDates = " and poschitdate between 20200901 and 20200904";

TEST_F(Statements, EveryStatementShapeOfTheReportsGivesTheExpectedRows) {
    struct Case {
        Database* db;
        std::string sql;
        std::vector<std::string> fields;  // empty: the first field
        std::vector<std::string> rows;
    };
    Database* const x = xact.get();
    Database* const r = report.get();
    const std::string closed = "select distinct ticket from xact where ";
    const std::string range_ordered = kRange.substr(0, kRange.size() - 1) + "' order by ";
    const std::string lines = " and (itemnumber > 0 or itemnumber = -5) and status > -10";
    // clang-format off
    const Case cases[] = {
        // Ticket lists: selections, the three sums, a null sum, the row that gives the server.
        {x, closed + "status >= 2" + range_ordered + "ticket", {}, {"101", "104", "107", "108"}},
        {x, closed + "status = -86" + range_ordered + "ticket", {}, {"102"}},
        {x, closed + "server = 7 and status > -10 and status < 2" + range_ordered + "ticket", {},
         {"103"}},
        {x, closed + "(status = 2 or status = 3)" + kDates + " order by ticket", {},
         {"101", "104", "107"}},
        {x, "select sum(poschitbase) from xact where ticket = 101" + lines + kRange, {}, {"12.1"}},
        {x, "select sum(poschitsrvchg) from xact where ticket = 101 and itemnumber = -2 and "
            "status > -10" + kRange, {}, {"0.5"}},
        {x, "select sum(poschittax) from xact where ticket = 101 and itemnumber > 0" + kRange, {},
         {"0.81"}},
        {x, "select sum(poschitbase) from xact where ticket = 999" + kRange, {}, {"null"}},
        {x, "select * from xact where ticket = 101 and status > -10" + kRange,
         {"server", "poschitbase"}, {"7|$0.0000", "7|$10.1000", "7|$14.4100", "7|$2.0000"}},
        // Server totals and my sales summary.
        {x, "select distinct server from xact where status >= 2" + range_ordered + "server", {},
         {"7", "8", "9"}},
        {x, "select distinct itemnumber from xact where server = 7 and status >= 2" +
            range_ordered + "itemnumber", {}, {"-5", "-2", "-1", "1"}},
        {x, "select distinct postendtype from xact where server = 7 and itemnumber = -1 order by "
            "postendtype", {}, {"3"}},
        {x, "select distinct ticket from xact where status >= 2 and server = 8" + kDates, {},
         {"104", "108"}},
        // Tender totals and payments on account.
        {x, "select distinct postendtype from xact where status >= 2 and postendtype > 0 and "
            "posbatch > '0' and status > -10" + range_ordered + "postendtype", {}, {"1", "3"}},
        {x, "select count(poschitbase) from xact where postendtype = 3 and posbatch > '0' and "
            "status > -10" + kRange, {}, {"1"}},
        {x, "select sum(poschitbase) from xact where itemnumber = -3 and postendtype = 1 and "
            "status > -10" + kRange, {}, {"25"}},
        {x, "select * from xact where itemnumber = -3 and postendtype = 1 and status > -10" +
            kRange, {"posmemo"}, {"POA"}},
        // Export and history selections.
        {x, "select * from xact where (status = 2 or status = 3) and poschittotal <> 0" + kDates +
            " order by poschitnum", {"poschitnum"}, {"11", "12", "13", "14", "41", "71"}},
        {x, "select * from xact where status >= 4 and poschittotal <> 0" + kDates +
            " order by poschitnum", {"poschitnum", "poschittotal"}, {"81|$7.2500"}},
        {x, "select * from xact where status > -10 and status < 8" + kDates +
            " order by poschitnum", {"ticket"},
         {"101", "101", "101", "101", "103", "104", "107", "108"}},
        // Credit card report, removed items, main hold sales from the shared database.
        {x, "select distinct ticket from xact where poschitdate between 20200901 and 20200904 "
            "and postendtype between 3 and 8 order by ticket", {}, {"101"}},
        {x, "select * from ccard where status >= 3 order by ticket",
         {"ticket", "amount", "ccnumber"}, {"101|1441|4111111111111111"}},
        {x, "select * from xact where status = -76" + range_ordered + "ticket",
         {"server", "saletext"}, {"9|Fries"}},
        {held.get(), closed + "status < 2" + range_ordered + "ticket", {},
         {"101", "102", "103", "106"}},
        // Print steps over ar.
        {r, "select * from ar where ardate > 0 order by ardate", {"ardate", "base"},
         {"101|$12.1000", "99999999|$0.0000"}},
        {r, "select * from ar where (ardate > 0 or ardate = -5) order by ardate", {"ardate"},
         {"-5", "101", "99999999"}},
        {r, "select * from ar where aracctnum >= 0 order by aracctnum", {"aracctnum"},
         {"1", "3", "7"}},
        {r, "select * from ar where covers >= 1 order by covers", {"memo"},
         {"c", "Paid by Check"}},
        {r, "select * from ar where covers > 0 order by covers", {"covers"}, {"1", "2"}},
        {r, "select * from ar where artototal > 0", {"artototal", "srvchg"}, {"4|$0.0000"}},
        // Configuration and employees.
        {config.get(), "select * from config", {"compname", "session", "arglsrvchg"},
         {"Cafe|0|null"}},
        {history.get(), "select * from config03", {"compname"}, {"Unit three"}},
        {employees.get(), "select * from empinfo where empid = 12", {"pword"}, {"39000"}},
        {employees.get(), "select * from empinfo where operator = 6", {"empname"}, {"Bob"}},
        {employees.get(), "select * from empinfo where accessnum = '777'", {"empid"}, {"12"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(rows_of(*c.db, c.sql, c.fields), c.rows) << c.sql;
    }
}

TEST(TranslateDialect, OnlyDeleteStarIsRewritten) {
    const std::pair<std::string, std::string> cases[] = {
        {"delete * from ar", "delete from ar"},
        {"DELETE\t*\n  FROM xact", "DELETE FROM xact"},
        {"  delete *from ar where ardate > 0", "  delete from ar where ardate > 0"},
        {"delete from ar", "delete from ar"},
        {"select * from ar", "select * from ar"},
        {"select count(*) from ar", "select count(*) from ar"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(translate_dialect(in), out) << in;
}

TEST(StatementKey, LiftsOnlyTheLiteralsOfConditions) {
    struct Case {
        std::string sql;
        std::string text;
        std::vector<Value> params;
    };
    // clang-format off
    const Case cases[] = {
        {"select sum(poschitbase) from xact where ticket = 12 and trantime between '00:00:00' "
         "and '23:59:59'",
         "select sum(poschitbase) from xact where ticket = ? and trantime between ? and ?",
         {12, "00:00:00", "23:59:59"}},
        {"select * from config03", "select * from config03", {}},
        {"select * from t where c2 = 'a''b' and x = -5 order by 2 limit 3",
         "select * from t where c2 = ? and x = -? order by 2 limit 3", {"a'b", 5}},
        {"select 7, 'x' from t where \"col 1\" = 1.5 and [c 2] = 0x10 and b = x'01'",
         "select 7, 'x' from t where \"col 1\" = 1.5 and [c 2] = 0x10 and b = x'01'", {}},
        {"select * from t where a = 1 -- 2\n and b = '-- 3'",
         "select * from t where a = ? -- 2\n and b = ?", {1, "-- 3"}},
        {"select * from t where a = ?", "select * from t where a = ?", {}},
        {"create index i on t (a) where a > 5", "create index i on t (a) where a > 5", {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const auto key = detail::parametrise(c.sql);
        EXPECT_EQ(key.text, c.text) << c.sql;
        EXPECT_EQ(key.params, c.params) << c.sql;
    }
}

TEST(StatementCache, StatementsDifferingInLiteralsGiveTheirOwnRows) {
    test::TempDir dir;
    auto db = Database::open(dir / "t.db", OpenMode::Create);
    execute_script(*db,
                   "create table t (c1 integer, c2 text, \"c 3\" integer);"
                   "insert into t values (1, 'a''b', 5), (2, 'a''''b', -5), (3, 'ab', 5),"
                   "(4, '', null);");
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"select c1 from t where c2 = 'a''b'", {"1"}},
        {"select c1 from t where c2 = 'a''''b'", {"2"}},
        {"select c1 from t where c2 = 'ab'", {"3"}},
        {"select c1 from t where c2 = ''", {"4"}},
        {"select c1 from t where \"c 3\" = -5", {"2"}},
        {"select c1 from t where \"c 3\" = 5 order by 1", {"1", "3"}},
        {"select c1 from t where \"c 3\" = 5 order by 1 desc", {"3", "1"}},
        {"select c1 from t where c1 between 2 and 3 order by c1 limit 1", {"2"}},
        {"select c1 from t where c1 between 1 and 4 and c2 like 'a%' order by c1", {"1", "2", "3"}},
        {"select c2 from t where c1 = 3", {"ab"}},
        {"select c1 from t where c1 = 3", {"3"}},
    };
    for (int round = 0; round < 2; ++round) {  // the second round runs from the cache
        for (const auto& [sql, rows] : cases) EXPECT_EQ(rows_of(*db, sql, {}), rows) << sql;
    }
}

}  // namespace
}  // namespace tillora
