// The store over SQLite: exact money sums, failures as StoreError, result sets, writing rows
// back, and waiting for a database that another connection is writing.
#include "platform/store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace tillora {
namespace {

// The StoreError an action throws; fails the test when it throws nothing.
StoreError error_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const StoreError& e) {
        return e;
    }
    ADD_FAILURE() << "no StoreError";
    return StoreError(0, "", "");
}

// The number of rows of a table, as the engine counts them.
std::int64_t rows_in(Database& db, const std::string& table) {
    return db.open_recordset("select count(*) from " + table).field(std::size_t{0}).as_int();
}

std::unique_ptr<Database> table_db(const test::TempDir& dir, const std::string& script,
                                   Durability durability = Durability::Normal) {
    auto db = Database::open(dir / "t.db", OpenMode::Create, durability);
    execute_script(*db, script);
    return db;
}

TEST(ExactSum, MoneySumsAreExactWhereTheFloatingPointTotalIsNot) {
    test::TempDir dir;
    auto db = table_db(dir, "create table t (x CURRENCY);");
    std::mt19937_64 random(20200904);
    std::uniform_int_distribution<std::int64_t> cents(1, 100000000);  // .01 to 1,000,000.00
    std::int64_t total_cents = 0;
    std::string script;
    for (int chunk = 0; chunk < 100; ++chunk) {
        script += "insert into t values ";
        for (int i = 0; i < 1000; ++i) {
            const std::int64_t c = cents(random);
            total_cents += c;
            script += (i ? ",(" : "(") + std::to_string(c / 100) + "." +
                      std::to_string(100 + c % 100).substr(1) + ")";
        }
        script += ";";
    }
    execute_script(*db, script);

    const Currency exact{total_cents * 100};
    EXPECT_EQ(db->open_recordset("select sum(x) from t").field(std::size_t{0}).as_currency(),
              exact);
    // total() is still the engine's own floating-point sum: it misses the exact amount.
    const Value builtin = db->open_recordset("select total(x) from t").field(std::size_t{0});
    EXPECT_NE(builtin.as_currency(), exact);
}

TEST(ExactSum, KindsOfInputAndEmptySums) {
    test::TempDir dir;
    auto db = table_db(dir, "create table t (x CURRENCY);");
    const std::pair<std::string, Value> cases[] = {
        {"select sum(v) from (select 1 as v union all select 2)", Value(std::int64_t{3})},
        {"select sum(v) from (select 0.1 as v union all select 0.2)", Value(0.3)},
        {"select sum(v) from (select 12 as v union all select 0.345)", Value(12.345)},
        {"select sum(v) from (select '2.5' as v union all select 1)", Value(3.5)},
        {"select sum(v) from (select null as v union all select -0.25)", Value(-0.25)},
        {"select sum(v) from (select null as v)", Value::null()},
        {"select sum(x) from t", Value::null()},
    };
    for (const auto& [sql, expected] : cases) {
        EXPECT_EQ(db->open_recordset(sql).field(std::size_t{0}), expected) << sql;
    }
    const auto e = error_of([&] {
        db->open_recordset(
            "select sum(v) from (select 9223372036854775807 as v union all "
            "select 1)");
    });
    EXPECT_NE(e.engine_message().find("integer overflow"), std::string::npos);
}

TEST(StoreErrors, BadFilesAndStatementsThrowWithAUsefulMessage) {
    test::TempDir dir;
    {
        auto db = table_db(dir, "create table xact (ticket integer, memo text);");
        for (int i = 0; i < 40; ++i) {
            db->execute("insert into xact values (" + std::to_string(i) + ", '" +
                        std::string(1000, 'x') + "')");
        }
    }
    std::mt19937 random(7);
    std::string noise(8192, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    test::write_file(dir / "noise.mdb", noise);
    const std::string whole = test::read_file(dir / "t.db");
    test::write_file(dir / "half.mdb", whole.substr(0, whole.size() / 2));
    test::write_file(dir / "header.mdb", whole.substr(0, 60));
    fs::create_directory(dir / "folder.mdb");

    struct Case {
        std::string what;
        std::function<void()> action;
        int code;
        std::string message;  // a part of the engine's message
    };
    const Case cases[] = {
        {"missing file", [&] { Database::open(dir / "none.mdb"); }, kMissingDatabase,
         "Could not find file '" + (dir / "none.mdb").string() + "'."},
        {"missing table",
         [&] { Database::open(dir / "t.db")->open_recordset("select * from nosuch"); },
         SQLITE_ERROR, "no such table: nosuch"},
        {"missing column",
         [&] { Database::open(dir / "t.db")->execute("delete * from xact where nosuch = 1"); },
         SQLITE_ERROR, "no such column: nosuch"},
        {"random bytes", [&] { Database::open(dir / "noise.mdb"); }, SQLITE_NOTADB,
         "file is not a database"},
        {"truncated", [&] { Database::open(dir / "half.mdb"); }, SQLITE_CORRUPT, "malformed"},
        {"header only", [&] { Database::open(dir / "header.mdb"); }, SQLITE_CORRUPT, "malformed"},
        {"a folder", [&] { Database::open(dir / "folder.mdb"); }, SQLITE_CANTOPEN,
         "unable to open"},
        {"two statements",
         [&] { Database::open(dir / "t.db")->execute("delete from xact; drop table xact"); }, 3142,
         "after end of SQL statement"},
    };
    for (const auto& c : cases) {
        const StoreError e = error_of(c.action);
        EXPECT_EQ(e.code() & 0xff, c.code & 0xff) << c.what << ": " << e.what();
        EXPECT_NE(e.engine_message().find(c.message), std::string::npos)
            << c.what << ": " << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "none.mdb"));  // an existing database is never created
    EXPECT_EQ(rows_in(*Database::open(dir / "t.db"), "xact"), 40);
}

TEST(Recordset, ReadsEveryKindOfValueAndMovesLikeTheEngine) {
    test::TempDir dir;
    auto db = table_db(dir,
                       "create table t (n integer, m CURRENCY, d real, s text);"
                       "insert into t values (1, 12.34, 0.5, 'a'), (2, 12, 2, null),"
                       "(3, null, null, 'c');");
    auto rs = db->open_recordset("select * from t order by n");
    ASSERT_EQ(rs.record_count(), 1);  // the rows read so far, until the end is reached
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.field("N"), Value(std::int64_t{1}));
    EXPECT_EQ(rs.field("m"), Value(Currency{123400}));
    EXPECT_EQ(rs.field("D"), Value(0.5));
    EXPECT_EQ(rs.field(3), Value("a"));
    EXPECT_EQ(rs.field_name(1), "m");
    rs.move_next();
    EXPECT_EQ(rs.field("m"), Value(Currency{120000}));  // stored as a whole number
    EXPECT_EQ(rs.field("d"), Value(2.0));
    EXPECT_TRUE(rs.is_null("s"));
    rs.move_last();
    EXPECT_EQ(rs.record_count(), 3);
    EXPECT_EQ(rs.field("n"), Value(std::int64_t{3}));
    EXPECT_TRUE(rs.is_null("m"));
    rs.move_next();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(error_of([&] { rs.field("n"); }).code(), kNoCurrentRecord);
    EXPECT_EQ(error_of([&] { rs.move_next(); }).code(), kNoCurrentRecord);
    rs.move_first();
    EXPECT_EQ(rs.field("n"), Value(std::int64_t{1}));
    EXPECT_EQ(error_of([&] { rs.field("nosuch"); }).code(), 3265);

    auto none = db->open_recordset("select sum(m) as total from t where n > 5");
    EXPECT_TRUE(none.field("TOTAL").is_null());
    auto empty = db->open_recordset("select * from t where n > 5");
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.bof());
    EXPECT_EQ(empty.record_count(), 0);
    EXPECT_EQ(error_of([&] { empty.move_last(); }).code(), kNoCurrentRecord);
}

TEST(Recordset, AddedAndEditedRowsAreWrittenBackExactly) {
    test::TempDir dir;
    auto db = test::create_database(dir / "RPT03.MDB", "report.sql");
    auto rs = db->open_recordset("select * from ar", SetKind::Updatable);
    ASSERT_TRUE(rs.eof());
    rs.add_new();
    rs.set("ARDATE", 101);
    rs.set("base", Currency{123456789012345});  // 12,345,678,901.2345
    rs.set("memo", "it's");
    rs.update();
    rs.add_new();
    rs.set("ardate", 102);
    rs.set("memo", Value::null());
    rs.update();
    EXPECT_EQ(rs.record_count(), 2);
    EXPECT_TRUE(rs.eof());  // an added row does not move the set
    rs.move_first();
    EXPECT_EQ(rs.field("base"), Value(Currency{123456789012345}));
    EXPECT_EQ(rs.field("srvchg"), Value(Currency{0}));  // the column's default
    rs.edit();
    rs.set("base", Currency{-5});
    rs.set("memo", Value::null());
    rs.update();
    EXPECT_EQ(rs.field("base"), Value(Currency{-5}));

    auto again = db->open_recordset("select * from ar order by ardate");
    EXPECT_EQ(again.field("base"), Value(Currency{-5}));
    EXPECT_TRUE(again.is_null("memo"));
    again.move_next();
    EXPECT_EQ(again.field("ardate"), Value(std::int64_t{102}));
    EXPECT_EQ(db->open_recordset("select sum(base) from ar").field(std::size_t{0}).as_currency(),
              Currency{-5});

    auto filtered = db->open_recordset("select * from ar a where ardate = 102 order by ardate",
                                       SetKind::Updatable);
    filtered.edit();
    filtered.set(std::size_t{9}, "edited");
    filtered.update();
    EXPECT_EQ(filtered.field("memo"), Value("edited"));

    auto snapshot = db->open_recordset("select * from ar");
    EXPECT_EQ(error_of([&] { snapshot.add_new(); }).code(), 3027);
    auto computed =
        db->open_recordset("select ardate, base * 2 as twice from ar", SetKind::Updatable);
    computed.edit();
    EXPECT_EQ(error_of([&] { computed.set("twice", 1); }).code(), 3164);
    EXPECT_EQ(error_of([&] { rs.set("base", 1); }).code(), 3020);  // no add_new or edit

    db.reset();  // the database goes away before its set
    EXPECT_EQ(error_of([&] { rs.field("base"); }).code(), 3420);
    EXPECT_EQ(error_of([&] { rs.add_new(); }).code(), 3420);
}

// The numbers of column n, walking the set from its current row to the end.
std::vector<std::int64_t> walk(Recordset& rs) {
    std::vector<std::int64_t> seen;
    for (; !rs.eof(); rs.move_next()) seen.push_back(rs.field("n").as_int());
    return seen;
}

std::vector<std::int64_t> numbers(std::int64_t from, std::int64_t to) {
    std::vector<std::int64_t> out;
    for (std::int64_t n = from; n <= to; ++n) out.push_back(n);
    return out;
}

// A table t of the numbers 1..count in column n (and `extra` columns from the select list).
std::unique_ptr<Database> numbers_db(const test::TempDir& dir, int count,
                                     const std::string& columns = "n integer",
                                     const std::string& select = "n") {
    return table_db(dir, "create table t (" + columns +
                             ");"
                             "with recursive c(n) as (select 1 union all select n + 1 from c "
                             "where n < " +
                             std::to_string(count) + ") insert into t select " + select +
                             " from c;");
}

TEST(Recordset, LongSetsAreReadAsWalkedAndGiveTheSameRowsWhenWalkedAgain) {
    test::TempDir dir;
    auto db = numbers_db(dir, 5000);
    auto rs = db->open_recordset("select n from t where n > 0 order by n");
    EXPECT_EQ(walk(rs), numbers(1, 5000));
    EXPECT_EQ(rs.record_count(), 5000);
    rs.move_first();  // far behind the rows kept: the query runs again
    EXPECT_EQ(rs.field("n").as_int(), 1);
    rs.move_to(4990);
    EXPECT_EQ(walk(rs), numbers(4991, 5000));
    rs.move_to(2);
    rs.move_last();
    EXPECT_EQ(rs.field("n").as_int(), 5000);

    // Two sets of the same statement shape read side by side.
    auto low = db->open_recordset("select n from t where n < 3 order by n");
    auto high = db->open_recordset("select n from t where n < 6 order by n desc");
    EXPECT_EQ(walk(high), (std::vector<std::int64_t>{5, 4, 3, 2, 1}));
    EXPECT_EQ(walk(low), (std::vector<std::int64_t>{1, 2}));
}

TEST(Recordset, ASetBeingReadDoesNotStopItsConnectionFromWriting) {
    test::TempDir dir;
    auto db = numbers_db(dir, 3000);
    auto register_db = Database::open(dir / "t.db");
    auto rs = db->open_recordset("select n from t order by n");
    rs.move_next();
    // Another connection writes, then this one: its open set must not hold it on an old snapshot.
    register_db->execute("insert into t values (9001)");
    db->execute("insert into t values (9002)");
    EXPECT_EQ(walk(rs), numbers(2, 3000));  // the rows as the set first saw them
    EXPECT_EQ(rows_in(*db, "t"), 3002);
}

TEST(Recordset, AnUpdatableSetVisitsEachRowOnceWhileItsRowsChange) {
    test::TempDir dir;
    auto db = numbers_db(dir, 2000, "n integer, status integer", "n, 2");
    execute_script(*db, "create index t_status on t (status, n);");
    auto rs = db->open_recordset("select * from t where status = 2 order by status, n",
                                 SetKind::Updatable);
    EXPECT_EQ(rs.record_count(), 2000);  // exact at once
    auto register_db = Database::open(dir / "t.db");
    register_db->execute("insert into t values (5000, 2)");  // after the set was opened
    register_db->execute("delete from t where n = 1500");
    std::vector<std::int64_t> seen;
    for (; !rs.eof() && seen.size() < 1499; rs.move_next()) {
        seen.push_back(rs.field("n").as_int());
        rs.edit();
        rs.set("status", 6);  // moves the row in the index the query reads
        rs.update();
    }
    EXPECT_EQ(seen, numbers(1, 1499));
    EXPECT_EQ(rows_in(*db, "t where status = 6"), 1499);
    EXPECT_EQ(error_of([&] { rs.field("n"); }).code(), 3167);  // deleted by the register
}

TEST(Recordset, ALongEngineStepCallsTheHeartbeatAndAShortOneDoesNot) {
    test::TempDir dir;
    auto db = table_db(dir, "create table t (n integer); insert into t values (1);");
    int beats = 0;
    db->set_heartbeat([&] { ++beats; });
    EXPECT_EQ(db->open_recordset("select n from t").field("n").as_int(), 1);
    EXPECT_EQ(beats, 0);
    // One step that counts and sorts two million numbers runs far longer than a beat.
    auto rs = db->open_recordset(
        "with recursive c(n) as (select 1 union all select n + 1 from c where n < 2000000) "
        "select n from c order by -n");
    EXPECT_EQ(rs.field("n").as_int(), 2000000);
    EXPECT_GT(beats, 1);
}

TEST(Recordset, OnlyAStatementThatSortsTakesItsFirstStepBesideTheWindow) {
    test::TempDir dir;
    auto db = table_db(dir,
                       "create table t (n integer, m integer); create index t_n on t (n);"
                       "insert into t values (1, 3), (2, 2), (3, 1);");
    int beats = 0;
    int beside = 0;
    db->set_heartbeat([&] { ++beats; },
                      [&](const std::function<void()>& step) {
                          ++beside;
                          std::thread(step).join();
                      });
    struct Case {
        const char* sql;
        std::int64_t first;
        int beside;
    };
    const Case cases[] = {
        {"select n from t where m = 2", 2, 0},
        {"select n from t order by n desc", 3, 0},  // the index gives the order
        {"select n from t order by m", 3, 1},
        {"select distinct m from t order by m", 1, 1},
        // A long sort: the heartbeat is not called from the second thread.
        {"with recursive c(n) as (select 1 union all select n + 1 from c where n < 300000) "
         "select n from c order by -n",
         300000, 1},
    };
    for (const Case& c : cases) {
        beside = 0;
        auto rs = db->open_recordset(c.sql);
        EXPECT_EQ(rs.field(std::size_t{0}).as_int(), c.first) << c.sql;
        rs.move_next();  // later steps run in place
        EXPECT_EQ(beside, c.beside) << c.sql;
    }
    EXPECT_EQ(beats, 0);
}

TEST(Concurrency, AWriteWaitsForAnotherWriterThenGoesOn) {
    test::TempDir dir;
    table_db(dir, "create table t (who text);");
    auto db = Database::open(dir / "t.db");
    std::atomic<bool> locked{false};
    std::thread holder([&] {
        auto other = Database::open(dir / "t.db");
        other->execute("begin immediate");
        other->execute("insert into t values ('holder')");
        locked = true;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        other->execute("commit");
    });
    while (!locked) std::this_thread::yield();
    db->execute("insert into t values ('waiter')");  // waits for the holder's commit
    holder.join();
    EXPECT_EQ(rows_in(*db, "t"), 2);
    EXPECT_EQ(db->open_recordset("select who from t order by rowid").field("who"), Value("holder"));

    // A lock held past the busy timeout is a StoreError, not a hang or a crash.
    auto blocker = Database::open(dir / "t.db");
    blocker->execute("begin immediate");
    EXPECT_EQ(error_of([&] { db->execute("insert into t values ('late')"); }).code() & 0xff,
              SQLITE_BUSY);
    blocker->execute("rollback");
}

TEST(Concurrency, ScratchWritesReachOtherConnectionsAtIdle) {
    test::TempDir dir;
    auto scratch = table_db(dir, "create table t (n integer);", Durability::Scratch);
    scratch->execute("insert into t values (1)");
    auto reader = Database::open(dir / "t.db");
    EXPECT_EQ(rows_in(*reader, "t"), 0);
    EXPECT_EQ(rows_in(*scratch, "t"), 1);
    // idle() commits a batch, and ends a read transaction, at most every few milliseconds; the
    // reader's snapshot lasts until its own idle().
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    scratch->idle();
    EXPECT_EQ(rows_in(*reader, "t"), 0);
    reader->idle();
    EXPECT_EQ(rows_in(*reader, "t"), 1);
    scratch->execute("insert into t values (2)");
    scratch.reset();  // closing commits too
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    reader->idle();
    EXPECT_EQ(rows_in(*reader, "t"), 2);
}

}  // namespace
}  // namespace tillora
