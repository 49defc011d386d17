// The reports that list the workstation's audit and error files: Workstation Audit (followed by
// Error Audit), Paid Outs/Paid Ins and the Ticket Count Log. One frame; the differences are a
// table row each.
#pragma once

#include "panel/station.h"

namespace tillora {

void cmdaudit_click(Station& s);          // Workstation Audit, then Error Audit
void cmdpaidinpaidout_click(Station& s);  // Paid Outs/Paid Ins with their totals
void cmdticketcount_click(Station& s);    // Ticket Count Log: started, closed, cleared lines

}  // namespace tillora
