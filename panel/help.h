// The help panel: the Help button fills and shows it, a touch anywhere on it hides it.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// The text of the help panel (line breaks as carriage return and line feed).
std::string help_text();

// Help: puts the help text into lblhelp and shows frahelp.
void cmdhelp_click(Station& s);

// A click on frahelp or lblhelp: hides frahelp.
void frahelp_click(Station& s);

}  // namespace tillora
