// The tender rows of the work table and the tender line layout, shared by the tender totals, the
// payments on account and the drawer report.
#pragma once

#include "platform/store.h"

#include <functional>

#include <string>

#include "panel/station.h"
#include "platform/value.h"

namespace tillora {

// Which lines one tender table counts and how its work rows are filled.
enum class TenderRows {
    ClosedTickets,      // tender lines of closed tickets: base = total = sum
    PaymentsOnAccount,  // itemnumber -3 lines: base = total = -sum
    Drawer,             // as ClosedTickets, srvchg/salestax from linesrvchg/linetax
};

// Empties ar and fills it with one row per tender type of the range (covers = code, arlines =
// count, Memo = posmemo of the first line, amounts per `kind`). Uses fromdate, todate, fromtime
// and totime as they stand. Throws StoreError when a database fails.
void gather_tender_rows(Station& s, TenderRows kind);

// The tender rows of the work table as every tender table prints them, in code order.
inline constexpr const char* kTenderRows = "select * from ar where covers > 0 order by covers";

// One tender line of 39 characters: code (3), label (20), count "###0" (4), amount "#####.#0"
// (12).
std::string tender_line(const std::string& code, const std::string& label, double count,
                        Currency amount);
// The totals line: "   Totals:" in 23, count (4) and amount (12) as in tender_line.
std::string tender_totals_line(double count, Currency amount);

// Running figures of a printed tender table.
struct TenderTableSums {
    long rows = 0;
    long lines = 0;
    Currency total;
};

// Prints one line per tender row of the work table of `rpt` (covers > 0, in code order), made by
// `line`, and sums the rows, their tender lines and amounts. A failing read is skipped.
TenderTableSums print_tender_rows(Station& s, Database* rpt,
                                  const std::function<std::string(const Recordset&)>& line);

// The two count lines after a tender table, each followed by nothing when `rows` is 0.
std::string unique_tenders_line(long rows);
std::string tender_count_line(long rows, long lines);

}  // namespace tillora
