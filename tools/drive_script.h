// The operator driver: runs the window's handlers headless from a script of operator actions,
// one per line ("#" at the start of a line or after a blank starts a comment):
//   focus NAME | type TEXT | key Enter|Backspace|F5 | keypad 0-9|Clear|Enter/Ok|Bksp
//   click NAME | answer yes|no | input [TEXT] | file [PATH] | show NAME
//   stop-after N (presses Stop once the next report has gathered N rows)
#pragma once

#include <iostream>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "panel/station.h"

namespace tillora {

struct ScriptAction {
    int line = 0;          // line number in the script, from 1
    std::string verb;      // focus, type, key, keypad, click, answer, input, file, show, stop-after
    std::string argument;  // the rest of the line ("" when absent)
    bool has_argument = false;
};

// Exit statuses of run_script.
inline constexpr int kScriptDone = 0;
inline constexpr int kScriptFailed = 1;  // a handler let an error escape (a program fault)
inline constexpr int kScriptError = 2;   // unknown action, control or argument

// Parses a script. On the first unknown action, control name or argument, sets `error` to
// "line N: <why>" and returns false; nothing is run then.
bool parse_script(std::istream& script, std::vector<ScriptAction>& actions, std::string& error);

// Runs one action on the station, writing SHOW and DISABLED lines to `out` (focus and click of a
// disabled or hidden control do nothing but print DISABLED NAME; click of a text box focuses it).
// The station's UI must be a ScriptedUi for answer, input and file.
void run_action(Station& s, const ScriptAction& action, std::ostream& out);

// Parses the script, queues the answers that stand before the first other action (they serve
// the start-up), runs the interactive start-up, then every action in order. Returns kScriptDone,
// or kScriptError with "line N: ..." on `err` (before running anything), or kScriptFailed when a
// handler failed (line number and error on `err`).
int run_script(std::istream& script, Station& s, std::ostream& out, std::ostream& err = std::cerr);

}  // namespace tillora
