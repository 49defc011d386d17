// The report buttons of the main window and the handler each click runs.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// Runs the click handler of the report button `name` (cmdserver1 ... cmdprintall, the drawer
// count's buttons, the receipt view's buttons, cmdstop); a report or Print All Reports runs as
// stoppable work. Returns false
// when `name` is not a report button. The caller checks that the control is usable.
bool click_report_button(Station& s, const std::string& name);

// Connects the station to the report layer (the print-all batch that start-up runs).
void connect_reports(Station& s);

}  // namespace tillora
