// The indexes of the transaction database serve the per-ticket, per-server and per-tender
// statements of the reports: no statement scans the whole of xact, and the sums read the index
// alone. Plans are taken for the text the store prepares (literals lifted to parameters).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/store_detail.h"
#include "reports/other/closeout.h"
#include "reports/other/store_indexes.h"
#include "support/test_support.h"
#include "tools/demo_data.h"

namespace tillora {
namespace {

const std::string kRange =
    " and poschitdate between 20210101 and 20211231 and trantime between '00:00:00' and "
    "'23:59:59'";

// The plan's detail lines of the statement as the store prepares it.
std::string plan_of(sqlite3* db, const std::string& sql) {
    const std::string text = "EXPLAIN QUERY PLAN " + detail::parametrise(sql).text;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, text.c_str(), -1, &stmt, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db) << "\n"
        << text;
    std::string plan;
    while (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW) {
        plan += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
        plan += "\n";
    }
    sqlite3_finalize(stmt);
    return plan;
}

struct PlanCase {
    std::string sql;
    std::string index;  // the index the plan must search
    bool covering;      // the index alone answers it
};

TEST(QueryPlan, ReportStatementsSearchAnIndexAndNeverScanXact) {
    const std::string ticket = "select sum(poschitbase) from xact where ticket = 1001";
    const std::string range_ordered = kRange.substr(0, kRange.size() - 1) + "' order by ";
    const std::string server = " from xact where status >= 2 and server = 27";
    const std::string tender =
        " from xact where postendtype = 3 and posbatch > '0' and status > -10";
    // clang-format off
    const std::vector<PlanCase> cases = {
        // The ticket lists, per ticket: the three sums, the service-charge lines, the row.
        {ticket + " and (itemnumber > 0 or itemnumber = -5) and status > -10" + kRange,
         "xact_ticket", true},
        {"select sum(poschittax) from xact where ticket = 1001 and itemnumber > 0" + kRange,
         "xact_ticket", true},
        {"select sum(poschitsrvchg) from xact where ticket = 1001 and itemnumber = -2 and "
         "status > -10" + kRange, "xact_ticket", true},
        {"select * from xact where ticket = 1001 and status > -10" + kRange, "xact_ticket", false},
        {"select * from xact where ticket = 1001 and poschitdate between 20210101 and 20211231",
         "xact_ticket", false},
        // The ticket and server selections of a range.
        {"select distinct ticket from xact where status >= 2" + range_ordered + "ticket",
         "xact_date", true},
        {"select distinct server from xact where status >= 2" + range_ordered + "server",
         "xact_date_lists", true},
        // Server totals, per server.
        {"select sum(poschitbase)" + server + " and (itemnumber > 0 or itemnumber = -5)" + kRange,
         "xact_server", true},
        {"select sum(poschitsrvchg)" + server + " and itemnumber = -2" + kRange, "xact_server", true},
        {"select *" + server + kRange, "xact_server", false},
        // Tender totals, payments on account and the drawer, per tender type.
        {"select sum(poschitbase)" + tender + kRange, "xact_tender", true},
        {"select count(poschitbase)" + tender + kRange, "xact_tender", true},
        {"select sum(poschitbase) from xact where itemnumber = -3 and postendtype = 3 and status > "
         "-10" + kRange, "xact_tender", true},
        {"select *" + tender + kRange, "xact_tender", false},
    };
    // clang-format on
    test::TempDir dir;
    auto db = test::create_database(dir / "KOVRAX03.MDB", "transactions.sql");
    db.reset();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "KOVRAX03.MDB").c_str(), &raw), SQLITE_OK);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const std::string plan = plan_of(raw, c.sql);
        EXPECT_EQ(plan.find("SCAN xact"), std::string::npos) << plan;
        const std::string search =
            std::string(c.covering ? "USING COVERING INDEX " : "USING INDEX ") + c.index + " ";
        EXPECT_NE(plan.find("SEARCH xact " + search), std::string::npos) << plan;
    }
    sqlite3_close(raw);
}

// Every statement prepared on any connection while a capture is on: the database file's name
// and the text as prepared (parameters, not literals).
using Captured = std::set<std::pair<std::string, std::string>>;
Captured* g_captured = nullptr;

int on_statement(unsigned, void*, void* stmt, void*) {
    auto* s = static_cast<sqlite3_stmt*>(stmt);
    const std::string file = sqlite3_db_filename(sqlite3_db_handle(s), "main");
    g_captured->emplace(file.substr(file.rfind('/') + 1), sqlite3_sql(s));
    return 0;
}

int trace_connection(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, on_statement, nullptr);
    return SQLITE_OK;
}

// True when a plan line reads a table of history through an index by date or by ticket (the
// key of a day: tickets are numbered one after the other), not all of it.
bool reads_one_day(const std::string& line) {
    if (line.rfind("SEARCH ", 0) != 0) return false;
    const std::string keys =
        line.substr(line.find('(') == std::string::npos ? line.size() : line.find('('));
    for (const char* key : {"poschitdate>", "poschitdate=", "ticket=", "ticket>"}) {
        if (keys.find(key) != std::string::npos) return true;
    }
    return false;
}

// A demo installation in dir/shop of `days` days from 2021-01-01 at `tickets` tickets a day.
demo::DemoOptions demo_shop(const test::TempDir& dir, int days, int tickets) {
    demo::DemoOptions o;
    o.folder = dir / "shop";
    o.days = days;
    o.tickets = tickets;
    o.start = 20210101;
    demo::make_demo_installation(o);
    return o;
}

// The close-out of one day on a store of several days runs every report of its batch over that
// day (All Closed Tickets and Server Totals among them) and writes the day page. Each statement
// it ran on the transaction and held-ticket databases must read xact, ccard and the held tickets
// through an index by date or ticket: a scan would cost what the store has kept, not the day.
TEST(QueryPlan, CloseoutOfOneDayReadsOnlyTheDay) {
    test::TempDir dir;
    const demo::DemoOptions o = demo_shop(dir, 3, 15);
    setenv("TILLORA_SPOOL", (dir / "spool").c_str(), 1);
    Captured captured;
    g_captured = &captured;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(trace_connection));
    std::ostringstream err;
    const int rc = run_closeout(o.folder, "KVRUN20210103", err);
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(trace_connection));
    unsetenv("TILLORA_SPOOL");
    ASSERT_EQ(rc, 0) << err.str();

    const std::set<std::string> history_files = {"KOVRAX03.MDB", "kovratmp.mdb"};
    const std::set<std::string> history_tables = {"xact", "ccard"};
    std::set<std::string> checked_files;
    for (const auto& [file, sql] : captured) {
        if (!history_files.count(file) || sql.rfind("select", 0) != 0) continue;
        SCOPED_TRACE(file + ": " + sql);
        sqlite3* db = nullptr;
        const std::string path = (file == "kovratmp.mdb" ? o.folder / "server" : o.folder) / file;
        ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        std::istringstream plan(plan_of(db, sql));
        sqlite3_close(db);
        for (std::string line; std::getline(plan, line);) {
            const std::string verb = line.substr(0, line.find(' ') + 1);
            if (verb != "SCAN " && verb != "SEARCH ") continue;
            const std::string rest = line.substr(verb.size());
            if (!history_tables.count(rest.substr(0, rest.find(' ')))) continue;
            EXPECT_TRUE(reads_one_day(line)) << line;
            checked_files.insert(file);
        }
    }
    EXPECT_EQ(checked_files, history_files);  // the capture saw the reports' statements
}

// A store made before an index of the schema was added: the close-out runs without it and says
// how to add it (building it would keep the register from writing for minutes); the one-off
// build adds it once. A table the store lacks (a damaged store) is not created, nor its index.
TEST(QueryPlan, MissingIndexesAreToldByTheCloseOutAndAddedOnRequest) {
    test::TempDir dir;
    const demo::DemoOptions o = demo_shop(dir, 1, 5);
    Database::open(o.folder / "KOVRAX03.MDB")->execute("drop index xact_date_lists");
    setenv("TILLORA_SPOOL", (dir / "spool").c_str(), 1);
    std::ostringstream closeout, build;
    EXPECT_EQ(run_closeout(o.folder, "KVRUN20210101", closeout), 0) << closeout.str();
    unsetenv("TILLORA_SPOOL");
    EXPECT_NE(closeout.str().find("KOVRAX03.MDB lacks the index xact_date_lists"),
              std::string::npos)
        << closeout.str();
    const std::vector<std::string> lacking = {"xact_date_lists"};
    EXPECT_EQ(missing_store_indexes(*Database::open(o.folder / "KOVRAX03.MDB")), lacking);
    EXPECT_EQ(add_store_indexes(o.folder, build), 0);
    EXPECT_EQ(build.str(),
              "tillora-closeout: KOVRAX03.MDB: building the index xact_date_lists\n"
              "tillora-closeout: KOVRAX03.MDB: built the index xact_date_lists\n");
    EXPECT_TRUE(missing_store_indexes(*Database::open(o.folder / "KOVRAX03.MDB")).empty());

    auto db = test::create_database(dir / "damaged.mdb", "transactions.sql");
    db->execute("drop table ccard");
    EXPECT_TRUE(add_missing_indexes(*db).empty());
    EXPECT_TRUE(db->open_recordset("select * from sqlite_master where name like 'ccard%'").eof());
}

}  // namespace
}  // namespace tillora
