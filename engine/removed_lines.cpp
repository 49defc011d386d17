#include "engine/removed_lines.h"

#include <algorithm>

#include "engine/pipeline.h"

namespace tillora {

void gather_removed_lines(Station& s) {
    ModuleState& st = s.st;
    auto rpt = open_report_db(s);
    st.sqlstring = "delete * from xact";
    rpt->execute(st.sqlstring);
    s.yield();
    auto src = open_transaction_db(s);
    st.sqlstring = "select * from xact where status = -76" + range_filter(st) + " order by ticket";
    Recordset removed = src->open_recordset(st.sqlstring);
    if (removed.record_count() == 0) return;
    Recordset copy = rpt->open_recordset("select * from xact", SetKind::Updatable);
    const std::size_t fields = std::min(removed.field_count(), copy.field_count());
    for (; !removed.eof(); removed.move_next()) {
        copy.add_new();
        for (std::size_t i = 0; i < fields; ++i) copy.set(i, removed.field(i));
        copy.update();
        rpt->idle();
        s.yield();
    }
    rpt->idle();
}

}  // namespace tillora
