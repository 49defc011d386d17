// Shared dialogs of the reports and the export.
#pragma once

#include "panel/station.h"

namespace tillora {

// Yes/No question: prompt in st.msg, title in st.title; Yes and No buttons, question icon, No
// the default (style 292). Stores the answer in st.response (6 Yes, 7 No) and returns true for
// Yes. In the unattended run the default (No) is taken without waiting.
bool ask_yes_no(Station& s);

// Makes the program folder the current folder again (relative names resolve there).
void return_to_program_folder(Station& s);

}  // namespace tillora
