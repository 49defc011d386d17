// The POA detail: every payment on account of this register, read from the audit file.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// Prints the "\POA\" lines of the audit file in the date range (MMDDYYYY keys). A missing audit
// file shows "No audit file." (not in close-out mode) and prints nothing. Clears reportbusy.
void print_poa_detail(Station& s);

// One detail line of 38 characters from an audit line holding "\POA\": the text between the
// time stamp and the last "\" ("\POA\" as " Acct# ", other "\" as three blanks) in 28, then the
// amount after the last "\" right-aligned in 10.
std::string poa_detail_line(const std::string& audit_line);

}  // namespace tillora
