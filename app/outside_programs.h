// The programs and files outside this module that it starts, looks for or writes to.
#pragma once

#include <string>

#include "app/module_state.h"
#include "app/services.h"

namespace tillora {

// The employee look-up program in the program folder, started by F5 in the ID box.
inline constexpr const char* kLookupProgram = "lkupemp.exe";
// The back-office program in the shared server folder: its presence means the folder is reachable.
inline constexpr const char* kBackOfficeProgram = "ravo.exe";
// The request file under localdrive, read by another program of the installation.
inline constexpr const char* kRequestFile = "kovra.req";

// Starts the employee look-up program when it exists and is executable; never waits.
// Returns false when there is nothing to start.
bool start_employee_lookup(Services& svc);

// The on-line check: sets backofficemissing to 1 when mapdrive + "ravo.exe" is absent, else 0.
// Returns true when the shared server folder is reachable.
bool back_office_reachable(ModuleState& st, const Services& svc);

// Appends "reqcode,reqparm1,reqparm2,reqparm3,reqparm4" + CR LF to localdrive + "kovra.req",
// then sets reqcode and the four fields to 0. Throws FileError when it cannot be written.
void write_request(ModuleState& st, const Services& svc);

}  // namespace tillora
