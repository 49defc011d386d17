#include "drawer/count_store.h"

#include "platform/files.h"
#include "platform/store.h"

namespace tillora {

// The text of schema/drawer.sql, compiled in by the build.
extern const char* const kDrawerSchema;

namespace {

// The database, created with its table when the file or the table is missing.
std::unique_ptr<Database> open_for_storing(Station& s) {
    auto db = Database::open(s.path(drawer_db_name(s.st)), OpenMode::Create);
    Recordset table = db->open_recordset(
        "select count(*) from sqlite_master where type = 'table' and name = 'drawercount'");
    const bool present = table.field(std::size_t{0}).as_int() > 0;
    table.close();
    if (!present) execute_script(*db, kDrawerSchema);
    return db;
}

std::int64_t next_number(Database& db) {
    Recordset last = db.open_recordset("select max(countno) from drawercount");
    return last.field(std::size_t{0}).as_int() + 1;
}

void set_groups(Recordset& rs, const char* prefix, const TenderGroups& g) {
    const std::string p = prefix;
    rs.set(p + "cash", g.cash);
    rs.set(p + "checks", g.checks);
    rs.set(p + "member", g.member);
    rs.set(p + "cards", g.cards);
}

TenderGroups read_groups(const Recordset& rs, const char* prefix) {
    const std::string p = prefix;
    return {rs.field(p + "cash").as_currency(), rs.field(p + "checks").as_currency(),
            rs.field(p + "member").as_currency(), rs.field(p + "cards").as_currency()};
}

}  // namespace

std::string drawer_db_name(const ModuleState& st) {
    return "KOVRAZ" + st.unitstr + ".MDB";
}

void store_count(Station& s, StoredCount& count) {
    auto db = open_for_storing(s);
    // Two programs counting at once cannot share a number: the second insert fails on the key.
    const std::int64_t number = next_number(*db);
    Recordset rs = db->open_recordset("select * from drawercount where 0", SetKind::Updatable);
    rs.add_new();
    rs.set("countno", Value(number));
    rs.set("countdate", Value(count.countdate));
    rs.set("counttime", Value(count.counttime));
    rs.set("fromdate", Value(count.range.fromdate));
    rs.set("todate", Value(count.range.todate));
    rs.set("fromtime", Value(count.range.fromtime));
    rs.set("totime", Value(count.range.totime));
    rs.set("empid", Value(count.empid));
    rs.set("openingbank", count.openingbank);
    set_groups(rs, "exp", count.expected);
    set_groups(rs, "cnt", count.counted);
    rs.update();
    rs.close();
    db->close();
    count.countno = number;
}

std::optional<StoredCount> last_count(Station& s) {
    const auto path = s.path(drawer_db_name(s.st));
    if (!file_exists(path)) return std::nullopt;
    auto db = Database::open(path);
    Recordset rs = db->open_recordset("select * from drawercount order by countno desc");
    if (rs.eof()) return std::nullopt;
    StoredCount c;
    c.countno = rs.field("countno").as_int();
    c.countdate = static_cast<std::int32_t>(rs.field("countdate").as_int());
    c.counttime = rs.field("counttime").as_text();
    c.range = {static_cast<std::int32_t>(rs.field("fromdate").as_int()),
               static_cast<std::int32_t>(rs.field("todate").as_int()),
               rs.field("fromtime").as_text(), rs.field("totime").as_text()};
    c.empid = rs.field("empid").as_text();
    c.openingbank = rs.field("openingbank").as_currency();
    c.expected = read_groups(rs, "exp");
    c.counted = read_groups(rs, "cnt");
    return c;
}

}  // namespace tillora
