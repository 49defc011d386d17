// The click handlers of the window's own buttons and panels (not the report buttons).
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// Runs the click handler of cmdlogin, cmdmanager, cmdmorning, cmdafternoon, cmdevening, cmdhelp,
// frahelp, lblhelp or cmdnumber0 ... cmdnumber12. Returns false for any other name. The caller
// checks that the control is usable.
bool click_panel_control(Station& s, const std::string& name);

}  // namespace tillora
