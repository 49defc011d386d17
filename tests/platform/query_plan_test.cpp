// The indexes of the transaction database serve the per-ticket, per-server and per-tender
// statements of the reports: no statement scans the whole of xact, and the sums read the index
// alone. Plans are taken for the text the store prepares (literals lifted to parameters).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/store_detail.h"
#include "support/test_support.h"

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
         "xact_date", false},
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

}  // namespace
}  // namespace tillora
