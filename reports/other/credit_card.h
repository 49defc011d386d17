// The credit card report: every card-paid ticket of the date range with its first card payment.
#pragma once

#include "panel/station.h"

namespace tillora {

// cmdcreditcard: guard, dates as the boxes hold them (no ordering), the list, the per-report reset.
void cmdcreditcard_click(Station& s);

}  // namespace tillora
