// Server/Cashier Reports: the logged-in server's check-out set. The per-ticket receipt, then My
// Sales Summary in the same print job, then Local Hold Sales and (on-line) Main Hold Sales for
// this server only, then a "MyTktRpt-" audit entry.
#pragma once

#include "panel/station.h"

namespace tillora {

// Runs the whole set. A database failure of the ticket receipt gives an "Oops..." message and
// the rest of the set still runs; an invalid printer likewise stops only the ticket receipt.
void cmdserver2_click(Station& s);

}  // namespace tillora
