#include "engine/amount_rows.h"

#include "engine/pipeline.h"
#include "engine/print_frame.h"

namespace tillora {

void sum_key_lines(Station& s, Database& src, const std::string& lines,
                   const std::string& charge_lines) {
    ModuleState& st = s.st;
    st.linebase = sum_or_zero(src, "select sum(poschitbase) from xact where " + lines);
    st.linesrvchg = sum_or_zero(src, "select sum(poschitsrvchg) from xact where " + lines);
    Currency charge;
    if (!charge_lines.empty() &&
        sum_if_not_null(src, "select sum(poschitsrvchg) from xact where " + charge_lines, charge)) {
        st.linesrvchg += charge;
    }
    st.linetax = sum_or_zero(src, "select sum(poschittax) from xact where " + lines);
}

void take_key_sums(Station& s, const Value& base, const Value& srvchg, const Value& charge,
                   const Value& tax) {
    ModuleState& st = s.st;
    const auto or_zero = [](const Value& sum) {
        return sum.is_null() ? Currency{} : sum.as_currency();
    };
    st.linebase = or_zero(base);
    st.linesrvchg = or_zero(srvchg);
    if (!charge.is_null()) st.linesrvchg += charge.as_currency();
    st.linetax = or_zero(tax);
}

void add_amount_row(Station& s, Database& rpt, Database& src, Recordset& ar,
                    const KeyFields& keys) {
    row_done(s);  // Stop ends the gather here; the bar moves on
    const ModuleState& st = s.st;
    ar.add_new();
    for (const auto& [field, value] : keys) ar.set(field, value);
    ar.set("base", st.linebase);
    ar.set("srvchg", st.linesrvchg);
    ar.set("salestax", st.linetax);
    ar.set("total", st.linebase + st.linesrvchg + st.linetax);
    ar.update();
    rpt.idle();
    src.idle();
    s.yield();
}

long print_amount_section(Station& s, Database* rpt, const AmountSection& section,
                          const LineSink& out) {
    out(s, section.heading);
    Totals t;
    skip_errors(s, [&] {
        if (rpt == nullptr) return;
        Recordset rs = rpt->open_recordset(section.sql);
        for (; !rs.eof(); rs.move_next()) {
            const Currency base = rs.field("base").as_currency();
            const Currency srvchg = rs.field("srvchg").as_currency();
            const Currency tax = rs.field("salestax").as_currency();
            const Currency total = rs.field("total").as_currency();
            t.add(base, srvchg, tax, total);
            std::string text = default_text(rs.field(section.label_field));
            if (!section.label_second_field.empty()) {
                text +=
                    section.label_separator + default_text(rs.field(section.label_second_field));
            }
            out(s, detail_line(text, base, srvchg, tax, total));
        }
    });
    if (t.count > 0) {
        if (section.dash_before_totals) out(s, s.st.dashline);
        out(s, detail_line("Totals:", t.base, t.srvchg, t.tax, t.total));
    }
    out(s, s.st.dashline);
    if (!section.count_label.empty()) {
        out(s, section.count_label + t.count_text());
        out(s, s.st.dashline);
    }
    return t.count;
}

}  // namespace tillora
