// Tender Totals/POA: the tender totals of closed tickets, the payments on account and, on
// request, the payment-on-account detail of the audit file.
#pragma once

#include "panel/station.h"

namespace tillora {

// The "Tender Totals/POA" button: prints "Tender Totals - Closed Tickets", then "Payments on
// Account", then asks "POA Detail Report?" (No by default; the unattended run takes No) and on
// Yes prints the POA detail. A database failure ends the run with the "Oops..." message.
void cmdtender1_click(Station& s);

// The print routine of both tender tables: "Payments on Account" with the short labels when
// reqparm4 is "POA", otherwise "Tender Totals - Closed Tickets" with the stored memos. Reads
// ar; failures are skipped; clears reportbusy at its end.
void print_tender_table(Station& s);

}  // namespace tillora
