// My Sales Summary: the logged-in server's item sales, tenders and ticket count on one receipt
// printed straight to the receipt printer, followed by a "SvrTktRpt-" audit entry.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// Gathers, prints and resets, then appends the audit entry. Sets empid and ownsalesonly. A
// database failure gives an "Oops..." message; nothing is printed and no entry is written then.
void cmdserver1_click(Station& s);

// The item text of a memo: a leading quantity greater than 0 and the character after it are
// dropped (a memo of 2 characters or fewer becomes empty), then the text is cleaned through
// st.cleanstr, which is left empty.
std::string item_text(Station& s, const std::string& memo);

// The label of a tender row: the memo without its first 8 characters when it contains "Paid by".
std::string tender_label(const std::string& memo);

}  // namespace tillora
