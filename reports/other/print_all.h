// Print All Reports: every manager report in a fixed order as one print job; in the unattended
// run the same batch writes the close-out file and the request line.
#pragma once

#include "panel/station.h"

namespace tillora {

// cmdprintall: asks first (not in close-out mode), runs the batch, ends the job once, shows
// "Done"; in close-out mode writes a separator after each report, the request 25 line, and
// closes the window.
void cmdprintall_click(Station& s);

}  // namespace tillora
