// Balance Drawer: the tender totals of closed tickets with the paid outs and paid ins of the
// audit file, and the blank count form for the cashier.
#pragma once

#include <string>

#include "panel/station.h"

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

}  // namespace tillora
