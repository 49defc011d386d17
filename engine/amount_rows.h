// The money rows most reports share: the three sums of one key's lines, the work row holding
// them, and the printed section of detail lines, totals and count.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "panel/station.h"
#include "platform/store.h"

namespace tillora {

// linebase, linesrvchg and linetax from "select sum(...) from xact where " + `lines`; when
// `charge_lines` is not empty, the non-null service charge of those lines is added to
// linesrvchg. Null sums count as 0. Throws StoreError.
void sum_key_lines(Station& s, Database& src, const std::string& lines,
                   const std::string& charge_lines = "");

// The same from sums read already (null counts as 0; a null `charge` adds nothing).
void take_key_sums(Station& s, const Value& base, const Value& srvchg, const Value& charge,
                   const Value& tax);

// Fields that identify a work row (ardate, aracctnum ...).
using KeyFields = std::vector<std::pair<std::string, Value>>;

// Adds a work row: the key fields, base, srvchg and salestax from the three sums of the module
// state, total their sum; stores it, frees the engines' locks and yields. Throws StoreError, or
// ReportStopped when Stop was pressed (the row is not added).
void add_amount_row(Station& s, Database& rpt, Database& src, Recordset& ar, const KeyFields& keys);

// How a receipt's lines leave: through the print-line operation or straight to the printer.
using LineSink = std::function<void(Station&, const std::string&)>;

// The money section of a receipt: the column heading, one detail line per row of `sql` labelled
// with `label_field` (followed by `label_separator` and `label_second_field` when that is set),
// the totals line when there was a row (after a dashline when `dash_before_totals`), dashline,
// and when `count_label` is not empty the count line and another dashline.
struct AmountSection {
    std::string heading;
    std::string sql;
    std::string label_field;
    std::string count_label;
    bool dash_before_totals = false;
    std::string label_separator = "";
    std::string label_second_field = "";
};

// Prints a money section from the work table of `rpt` (nullptr: no rows). A failing read is
// skipped; the closing lines are always printed. Returns the number of detail lines.
long print_amount_section(Station& s, Database* rpt, const AmountSection& section,
                          const LineSink& out);

}  // namespace tillora
