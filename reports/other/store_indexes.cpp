#include "reports/other/store_indexes.h"

#include <set>
#include <string_view>

namespace tillora {

extern const char* const kTransactionSchema;

namespace {

// One "CREATE INDEX IF NOT EXISTS <name> ON <table> (...);" statement of a schema.
struct IndexStatement {
    std::string name;
    std::string table;
    std::string sql;
};

std::vector<IndexStatement> index_statements(const std::string& schema) {
    constexpr std::string_view kCreate = "CREATE INDEX IF NOT EXISTS ";
    std::vector<IndexStatement> list;
    for (auto at = schema.find(kCreate); at != std::string::npos; at = schema.find(kCreate, at)) {
        const auto end = schema.find(';', at);
        const std::string sql = schema.substr(at, end - at);
        const auto name_at = kCreate.size();
        const auto name_end = sql.find(' ', name_at);
        const auto table_at = sql.find(" ON ", name_end) + 4;
        list.push_back({sql.substr(name_at, name_end - name_at),
                        sql.substr(table_at, sql.find(' ', table_at) - table_at), sql});
        at = end;
    }
    return list;
}

// The names of the database's tables and indexes, by type.
std::set<std::string> names_of(Database& db, const char* type) {
    std::set<std::string> names;
    Recordset rs = db.open_recordset(std::string("select name from sqlite_master where type = '") +
                                     type + "'");
    for (; !rs.eof(); rs.move_next()) names.insert(rs.field(std::size_t{0}).as_text());
    return names;
}

// The index statements of `schema` missing from `db` whose table it holds: a database without
// the table is not one this program may change.
std::vector<IndexStatement> missing(Database& db, const std::string& schema) {
    const std::set<std::string> tables = names_of(db, "table");
    const std::set<std::string> indexes = names_of(db, "index");
    std::vector<IndexStatement> list;
    for (IndexStatement& i : index_statements(schema)) {
        if (tables.count(i.table) && !indexes.count(i.name)) list.push_back(std::move(i));
    }
    return list;
}

}  // namespace

std::vector<std::string> missing_indexes(Database& db, const std::string& schema) {
    std::vector<std::string> names;
    for (const IndexStatement& i : missing(db, schema)) names.push_back(i.name);
    return names;
}

std::vector<std::string> missing_store_indexes(Database& db) {
    return missing_indexes(db, kTransactionSchema);
}

std::vector<std::string> add_missing_indexes(Database& db) {
    std::vector<std::string> built;
    for (const IndexStatement& i : missing(db, kTransactionSchema)) {
        db.execute(i.sql);  // one write transaction each, committed as soon as it is built
        built.push_back(i.name);
    }
    return built;
}

}  // namespace tillora
