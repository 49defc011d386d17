// Start-up and shutdown of the main window, in the interactive and the unattended mode.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

inline constexpr const char* kVersionLabel = "20.09.04a";

// True when the command line starts the unattended close-out (first five characters "KVRUN").
bool is_kvrun(const std::string& command_line);

// The start-up sequence: node file, unitstr, master configuration, printer set-up, then either
// the interactive window (caption with version, topmost, date boxes, prompt, focus in txtempid)
// or the unattended close-out (dates from the command line, verifydate, close-out file
// replaced, s.print_all). Failures are shown and start-up goes on.
void form_load(Station& s, const std::string& command_line);

// form_load in two halves, for a caller that checks the configuration in between (the close-out
// refuses a bad business date before it touches a file): the steps both modes share (node file,
// unitstr, master configuration, printer set-up), then the mode the command line chooses.
void load_workstation(Station& s);
void start_mode(Station& s, const std::string& command_line);

// Shutdown: the databases are closed by their owners; yields once. Never cancels the unload.
void form_unload(Station& s);

}  // namespace tillora
