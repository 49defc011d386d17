// Balance Drawer: the tender totals of closed tickets with the paid outs and paid ins of the
// audit file, and the blank count form for the cashier.
#pragma once

#include <map>
#include <string>

#include "panel/station.h"
#include "platform/value.h"

namespace tillora {

// The "Balance Drawer" button: gathers the tender rows of the range and prints the drawer
// report. A database failure ends the run with the "Oops..." message.
void cmdbalancedrawer_click(Station& s);

// Paid outs and paid ins of the audit file: how many lines and their amount.
struct PaidOutIn {
    long count = 0;
    double amount = 0;
};

// The paid outs and paid ins of the audit file in the range of the date boxes (dashed date keys),
// as Balance Drawer prints them. A missing audit file gives none and shows "No audit file."
// unless `quiet`.
PaidOutIn scan_paid_out_in(Station& s, bool quiet = false);

// Adds the "PaidOut" and the "Paid-IN" amount of one audit line (case-sensitive keyword at a
// position above 10, amount after the keyword and one more character).
void add_paid_out_in(const std::string& line, PaidOutIn& paid);

// The drawer's figures of the range as the Drawer Balancing Report prints them: the amount of
// each tender code (the stored total times -1) and the paid outs and ins.
struct DrawerFigures {
    std::map<long, Currency> tenders;
    PaidOutIn paid;
};

// Gathers the drawer's tender rows into ar and scans the audit file, with the selection of the
// Drawer Balancing Report (fromdate, todate, fromtime and totime as they stand). Throws
// StoreError when a database fails.
DrawerFigures gather_drawer_figures(Station& s);

}  // namespace tillora
