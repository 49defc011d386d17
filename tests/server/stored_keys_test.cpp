// Keys read from the store (ticket, server) are written into the next statements as numbers: a
// text key stands for its numeric value and a null key for the lines whose key is null, so no
// stored value changes a statement and none makes a report fail.
#include <gtest/gtest.h>

#include "engine/ticket_lists.h"
#include "reports/server/server_totals.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::TestStation;

TEST(StoredKeys, TextAndNullKeysAreNumbersInTheStatements) {
    struct Case {
        const char* name;
        void (*click)(Station&);
        const char* key;                // the work table's column holding the key
        std::vector<std::string> rows;  // "key:base" of every work row, by key
    };
    const std::vector<Case> cases = {
        {"All Closed Tickets", cmdserver3_click, "ardate", {":2", "1:10", "2:5", "3:1"}},
        {"Un-sent Xact", cmdunsentxact_click, "ardate", {":2", "1:10", "2:5", "3:1"}},
        {"Server Totals", cmdserver4_click, "aracctnum", {"12:117"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        // clang-format off
        t.add_lines({{{"ticket", 1}, {"server", 12}, {"poschitbase", 10.0}},
                     {{"ticket", 2}, {"server", 12}, {"poschitbase", 5.0}},
                     {{"ticket", 3}, {"server", "12 or 1=1"}, {"poschitbase", 1.0}},
                     {{"ticket", Value::null()}, {"server", 12}, {"poschitbase", 2.0}},
                     {{"ticket", "1 or 1=1"}, {"server", 12}, {"poschitbase", 100.0}}});
        // clang-format on
        c.click(t.s());
        EXPECT_TRUE(t.s().failures.empty()) << testing::PrintToString(t.s().failures);
        EXPECT_EQ(t.jobs().size(), 1u);
        std::vector<std::string> rows;
        auto rpt = t.report_db();
        for (Recordset ar = rpt->open_recordset(std::string("select * from ar order by ") + c.key);
             !ar.eof(); ar.move_next()) {
            rows.push_back(default_text(ar.field(c.key)) + ":" + default_text(ar.field("base")));
        }
        EXPECT_EQ(rows, c.rows);
    }
}

}  // namespace
}  // namespace tillora
