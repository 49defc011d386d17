// Pieces the server reports share: the sums of one key's lines, the work row of one key, the
// money section of a per-key receipt and the audit entry a server report leaves behind.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "panel/station.h"
#include "platform/store.h"

namespace tillora {

// A selected key (server, ticket, item number, tender type) as the statements write it: plain
// decimal. A null key matches no line, so there is nothing to write: nullopt.
std::optional<std::string> sql_number(const Value& key);

// linebase, linesrvchg and linetax from "select sum(...) from xact where " + `lines`; when
// `charge_lines` is not empty, the non-null service charge of those lines is added to
// linesrvchg. Null sums count as 0. Throws StoreError.
void sum_key_lines(Station& s, Database& src, const std::string& lines,
                   const std::string& charge_lines = "");

// Adds a work row: `key_field` = `key`, base, srvchg and salestax from the three sums of the
// module state, total their sum; stores it, frees the engines' locks and yields. Throws
// StoreError.
void add_amount_row(Station& s, Database& rpt, Database& src, Recordset& ar,
                    const std::string& key_field, const Value& key);

// How a receipt's lines leave: through the print-line operation or straight to the printer.
using LineSink = std::function<void(Station&, const std::string&)>;

// The money section of a receipt: the column heading, one detail line per row of `sql` with the
// label from `label_field`, the totals line when there was a row (after a dashline when
// `dash_before_totals`), dashline, and when `count_label` is not empty the count line and
// another dashline.
struct AmountSection {
    std::string heading;
    std::string sql;
    std::string label_field;
    std::string count_label;
    bool dash_before_totals = false;
};

// Prints a money section from the work table of `rpt` (nullptr: no rows). A failing read is
// skipped; the closing lines are always printed.
void print_amount_section(Station& s, Database* rpt, const AmountSection& section,
                          const LineSink& out);

// Appends "<entry>-" + the ID as typed to the audit file. A file that cannot be written gives an
// "Oops..." message naming the file; the report has printed all the same.
void append_server_audit_entry(Station& s, const std::string& entry);

}  // namespace tillora
