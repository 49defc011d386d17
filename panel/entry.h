// The entry boxes and the on-screen keypad: focus, key presses, the keypad's keys, and the
// window's text-cleaning operation.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// Gives the input focus to the control `name` (form.focused) and runs the focus-gained handler
// of an entry box: emptied, activefield set, highlighted; txtempid also logs the operator out.
// Unknown names change nothing.
void focus_control(Station& s, const std::string& name);

// A key typed on the keyboard into the focused control: '\r' Enter, '\b' Backspace, any other
// character as typed, through the box's filter (txtempid: digits only, ";" moves to the password
// box; Enter in the date and password boxes ends the entry). Enter on a focused panel button
// clicks it. Other control characters are ignored.
void key_press(Station& s, char key);

// F5 in txtempid: starts lkupemp.exe from the installation folder when that file exists and is
// executable; otherwise nothing happens. Never waits for the program.
void key_f5(Station& s);

// A click on keypad key `index` (0-9 digits, 10 Clear, 11 Enter/Ok, 12 Bksp) writing into the
// box of activefield. Indexes outside 0-12 do nothing.
void cmdnumber_click(Station& s, int index);

// The text-cleaning operation: every character of st.cleanstr whose upper-case form is not an
// allowed character becomes a blank; yields.
void clean_text(Station& s);

// Maximum number of characters typed on the keyboard into a box (0 = no limit); the keypad is
// not limited.
std::size_t typed_length_limit(const std::string& box);

}  // namespace tillora
