// Login and employee validation: the sale-in-progress check, the employee lookup, the password
// and manager threshold, the manager frame and the logout.
#pragma once

#include "panel/station.h"

namespace tillora {

// A password whose numeric value is above this is a manager password.
inline constexpr double kManagerThreshold = 38500;

// Log In: refuses while regflag.flg exists ("Reports may not be performed while an active \r\n
// sale is in progress."), looks up the employee ("Employee not found"), compares the password
// numerically ("Invalid Password"), then enables the server reports, the time shortcuts and,
// for a manager password, "Manager Reports". Every refusal is an information box "Oops...".
void cmdlogin_click(Station& s);

// Manager Reports: shows framanager and clears ownsalesonly.
void cmdmanager_click(Station& s);

// Looks st.empid up in empinfo of kovraemp.mdb by st.empvalmethod and sets st.msg to the stored
// password or "NOTFOUND" (also for an empty password, an unknown method and a number of more
// than 19 digits). A database error shows "Oops..." with the database and the engine's message
// and returns false.
bool employee_lookup(Station& s);

// The statement of the employee lookup for st.empid and st.empvalmethod; "" for a method above 3.
std::string employee_statement(const ModuleState& st);

// The focus-gained handler of txtempid: empties and highlights it (activefield 1), empties the
// password, hides the manager frame, disables the manager and server report buttons, yields.
void logout(Station& s);

}  // namespace tillora
