#include "summary/drawer_counts.h"

#include "drawer/count_store.h"
#include "platform/files.h"
#include "platform/store.h"

namespace tillora {

namespace {

struct GroupColumns {
    const char* label;
    const char* expected;
    const char* counted;
};

constexpr GroupColumns kGroups[] = {{"Cash", "expcash", "cntcash"},
                                    {"Checks", "expchecks", "cntchecks"},
                                    {"Member Chg", "expmember", "cntmember"},
                                    {"Cards", "expcards", "cntcards"}};

DrawerCount read_count(const Recordset& rs) {
    DrawerCount c;
    c.number = rs.field("countno").as_int();
    c.date = rs.field("countdate").as_int();
    c.time = rs.field("counttime").as_text();
    c.operator_id = rs.field("empid").as_text();
    c.opening_bank = rs.field("openingbank").as_currency();
    for (const GroupColumns& g : kGroups) {
        c.groups.push_back(
            {g.label, rs.field(g.expected).as_currency(), rs.field(g.counted).as_currency()});
    }
    return c;
}

}  // namespace

Currency DrawerCount::expected() const {
    Currency sum;
    for (const CountedGroup& g : groups) sum += g.expected;
    return sum;
}

Currency DrawerCount::counted() const {
    Currency sum;
    for (const CountedGroup& g : groups) sum += g.counted;
    return sum;
}

std::vector<DrawerCount> read_drawer_counts(Station& s) {
    std::vector<DrawerCount> counts;
    const auto path = s.path(drawer_db_name(s.st));
    if (!file_exists(path)) return counts;
    auto db = Database::open(path);
    Recordset rs = db->open_recordset("select * from drawercount where countdate between " +
                                      std::to_string(s.st.fromdate) + " and " +
                                      std::to_string(s.st.todate) + " order by countno");
    for (; !rs.eof(); rs.move_next()) counts.push_back(read_count(rs));
    return counts;
}

}  // namespace tillora
