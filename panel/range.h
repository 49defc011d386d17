// The date and time range boxes: verifydate and the three time-of-day shortcuts.
#pragma once

#include "panel/station.h"

namespace tillora {

// Puts the range boxes in order (dates as text, hours and minutes numerically, each on its own),
// pads single-digit times, gives empty or zero times their defaults (00, 23, 00, 59), and sets
// fromdate, todate, fromtime ("HH:MM:00") and totime ("HH:MM:59").
void verifydate(Station& s);

// The shortcut buttons: 06-11, 12-17 and 18-23 o'clock, minutes 0 to 59. They do not run
// verifydate.
void cmdmorning_click(Station& s);
void cmdafternoon_click(Station& s);
void cmdevening_click(Station& s);

// The hour texts, then the minute texts, exchanged when the from value is numerically greater
// (st.msg is the temporary). Shared by verifydate and the keypad's Enter/Ok.
void order_times(Station& s);

// "0" put in front of each hour and minute box holding exactly one character.
void pad_times(Station& s);

}  // namespace tillora
