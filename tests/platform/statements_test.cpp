// The store's rewriting of the report dialect and the literal lifting of its statement cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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
