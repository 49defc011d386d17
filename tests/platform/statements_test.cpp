// The store's statement cache: statements that differ only in the literals of their conditions
// share one prepared statement and still give their own rows, whatever the literals look like.
// (The report dialect's "delete * from" runs in every report that clears its work table.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/store.h"
#include "support/test_support.h"

namespace tillora {
namespace {

TEST(StatementCache, StatementsDifferingInLiteralsGiveTheirOwnRows) {
    test::TempDir dir;
    auto db = Database::open(dir / "t.db", OpenMode::Create);
    execute_script(*db,
                   "create table t (c1 integer, c2 text, \"c 3\" integer);"
                   "insert into t values (1, 'a''b', 5), (2, 'a''''b', -5), (3, 'ab', 5),"
                   "(4, '', null);");
    db->execute("create index t_high on t (c1) where c1 > 5");  // no parameter in a schema
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"select c1 from t where c2 = 'a''b'", {"1"}},
        {"select c1 from t where c2 = 'a''''b'", {"2"}},
        {"select c1 from t where c2 = ''", {"4"}},
        {"select c1 from t where \"c 3\" = -5", {"2"}},
        {"select c1 from t where [c 3] = 5 order by 1", {"1", "3"}},
        {"select c1 from t where \"c 3\" = 5 order by 1 desc", {"3", "1"}},
        {"select c1 from t where c1 between 2 and 3 order by c1 limit 1", {"2"}},
        {"select c1 from t where c1 between 1 and 4 and c2 like 'a%' order by c1", {"1", "2", "3"}},
        {"select c1 from t where c1 = 3 -- or c1 = 4\n and c2 = 'ab'", {"3"}},
        {"select c1 from t where c1 = 0x2 and x'01' = x'01'", {"2"}},
        {"select c1 from t where c1 < 1.5", {"1"}},
        {"select c2 from t where c1 = 3", {"ab"}},
    };
    for (int round = 0; round < 2; ++round) {  // the second round runs from the cache
        for (const auto& [sql, rows] : cases) {
            std::vector<std::string> seen;
            for (auto rs = db->open_recordset(sql); !rs.eof(); rs.move_next()) {
                seen.push_back(rs.field(std::size_t{0}).as_text());
            }
            EXPECT_EQ(seen, rows) << sql;
        }
    }
}

}  // namespace
}  // namespace tillora
