// Counting the drawer on the screen: the "Count Drawer" button of the manager frame, the count
// screen's buttons, the expected figures and the cash drawer's opening.
#pragma once

#include "drawer/count_store.h"
#include "panel/count_screen.h"
#include "panel/station.h"
#include "reports/tender/drawer.h"

namespace tillora {

// "Count Drawer": under the report guard, gathers the expected figures of the range as the
// Drawer Balancing Report does, shows the count screen in place of the manager frame with the
// focus in txtopeningbank and opens the cash drawer. A database failure shows "Oops..." and
// leaves the manager frame as it was.
void cmdcountdrawer_click(Station& s);

// "Print Count": stores the count, appends "Drawer Count-<ID> #<number>" to the audit file,
// prints the receipt as one job and returns to the manager frame. When the count cannot be
// stored nothing is printed, a message says why and the screen keeps its entries.
void cmdcountprint_click(Station& s);

// "Cancel": back to the manager frame; nothing is stored or printed.
void cmdcountcancel_click(Station& s);

// "Reprint Last": prints the last stored count again from its stored figures, "REPRINT" under
// the title; "No drawer count has been stored yet." when there is none. The screen stays.
void cmdcountreprint_click(Station& s);

// What the drawer holds besides the opening bank: cash (tender 1 and the paid outs and ins),
// checks (2), member charges (9) and cards (3 to 8); other tenders are not in the drawer.
TenderGroups drawer_takings(const DrawerFigures& figures);

// The count on the screen as it will be kept: the clock's date and time, the screen's range,
// the operator ID, the opening bank, the expected and the counted figures.
StoredCount count_on_screen(const Station& s, const CountScreen& screen);

// Sends the drawer pulse to printer localprinter as a job of its own. A printer that cannot be
// reached or selected only puts a line into the status box.
void open_cash_drawer(Station& s);

}  // namespace tillora
