// What the receipt view prints and shows beyond a report's own job: Print from the view, and the
// close-out file of a date.
#pragma once

#include "panel/station.h"

namespace tillora {

// cmdpreviewprint click: the lines in the view as one job on the receipt printer, through the
// report guard and the printer selection of a report ("Invalid receipt printer configuration."
// when there is no such printer; a printer failure is shown in the status box).
void cmdpreviewprint_click(Station& s);

// cmdviewcloseout click: the close-out file of the date in txtfromdate in the view, or
// "No close-out file for <date>." titled "Oops..." when there is none.
void cmdviewcloseout_click(Station& s);

}  // namespace tillora
