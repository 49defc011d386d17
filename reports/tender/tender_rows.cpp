#include "reports/tender/tender_rows.h"

#include "engine/print_frame.h"

#include "engine/pipeline.h"

namespace tillora {

namespace {

// The statements of one tender table: the list of types and the start of the per-type queries.
// The list tests "+postendtype" (the same value) so that the engine searches the range's dates
// (xact_date_lists) instead of every tender line the store has kept, in type order.
struct TenderQueries {
    const char* list_condition;  // after "... from xact where "
    const char* type_prefix;     // before "postendtype = T"
    const char* type_condition;  // after "postendtype = T"
};

constexpr TenderQueries kClosedQueries{
    "status >= 2 and +postendtype > 0 and posbatch > '0' and status > -10", "",
    " and posbatch > '0' and status > -10"};
constexpr TenderQueries kPoaQueries{"itemnumber = -3 and +postendtype > 0 and status > -10",
                                    "itemnumber = -3 and ", " and status > -10"};

const TenderQueries& queries_of(TenderRows kind) {
    return kind == TenderRows::PaymentsOnAccount ? kPoaQueries : kClosedQueries;
}

void add_tender_row(Station& s, TenderRows kind, Database& src, Recordset& ar, const Value& type) {
    ModuleState& st = s.st;
    const TenderQueries& q = queries_of(kind);
    const std::string where = std::string(" from xact where ") + q.type_prefix +
                              key_condition("postendtype", type) + q.type_condition +
                              range_filter(st);
    st.linebase = sum_or_zero(src, "select sum(poschitbase)" + where);
    Recordset count = src.open_recordset("select count(poschitbase)" + where);
    const std::int64_t lines = count.eof() ? 0 : count.field(std::size_t{0}).as_int();
    Recordset first = src.open_recordset("select *" + where);
    const Value memo = first.eof() ? Value::null() : first.field("posmemo");

    Currency base = st.linebase;
    Currency srvchg;
    Currency tax;
    if (kind == TenderRows::PaymentsOnAccount) base = -base;
    if (kind == TenderRows::Drawer) {
        srvchg = st.linesrvchg;
        tax = st.linetax;
    }
    ar.add_new();
    ar.set("covers", type);
    ar.set("arlines", Value(lines));
    ar.set("Memo", memo);
    ar.set("base", base);
    ar.set("srvchg", srvchg);
    ar.set("salestax", tax);
    ar.set("total", base + srvchg + tax);
    ar.update();
}

}  // namespace

void gather_tender_rows(Station& s, TenderRows kind) {
    ModuleState& st = s.st;
    auto rpt = open_report_db(s);
    st.sqlstring = "delete * from ar";
    rpt->execute(st.sqlstring);
    s.yield();
    auto src = open_transaction_db(s);
    st.sqlstring = std::string("select distinct postendtype from xact where ") +
                   queries_of(kind).list_condition + range_filter_ordered(st, "postendtype");
    Recordset types = src->open_recordset(st.sqlstring);
    if (types.record_count() > 0) {
        Recordset ar = rpt->open_recordset("select * from ar", SetKind::Updatable);
        for (; !types.eof(); types.move_next()) {
            add_tender_row(s, kind, *src, ar, types.field(std::size_t{0}));
            rpt->idle();
            src->idle();
            s.yield();
        }
    }
    rpt->idle();
}

std::string tender_line(const std::string& code, const std::string& label, double count,
                        Currency amount) {
    return left_column(code, 3) + left_column(label, 20) +
           right_column(format_pattern(count, "###0"), 4) + money_column(amount, "#####.#0", 12);
}

std::string tender_totals_line(double count, Currency amount) {
    return left_column("   Totals:", 23) + right_column(format_pattern(count, "###0"), 4) +
           money_column(amount, "#####.#0", 12);
}

std::string unique_tenders_line(long rows) {
    return "Unique Tenders : " + (rows > 0 ? std::to_string(rows) : std::string());
}

std::string tender_count_line(long rows, long lines) {
    return "Tender Count   : " + (rows > 0 ? std::to_string(lines) : std::string());
}

TenderTableSums print_tender_rows(Station& s, Database* rpt,
                                  const std::function<std::string(const Recordset&)>& line) {
    TenderTableSums sums;
    skip_errors(s, [&] {
        if (rpt == nullptr) return;
        Recordset ar = rpt->open_recordset(kTenderRows);
        for (; !ar.eof(); ar.move_next()) {
            ++sums.rows;
            sums.lines += static_cast<long>(ar.field("arlines").as_int());
            sums.total += ar.field("total").as_currency();
            print(s, line(ar));
        }
    });
    return sums;
}

}  // namespace tillora
