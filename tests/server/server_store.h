// Shared pieces of the server report tests: compact xact lines and the receipt lines they print.
#pragma once

#include <string>

#include "support/test_support.h"

namespace tillora::test {

// One xact line of ticket `ticket` (status 2, 12:00:00 on 20200904 unless `more` says otherwise).
inline Row line(int server, int ticket, int item, double base, double srvchg = 0, double tax = 0,
                const Row& more = {}) {
    return with({{"server", server},
                 {"ticket", ticket},
                 {"itemnumber", item},
                 {"poschitbase", base},
                 {"poschitsrvchg", srvchg},
                 {"poschittax", tax}},
                more);
}

// The header block of a receipt for the range 20200904 10:00-13:59 on workstation 03.
inline Lines header(const std::string& title, const std::string& who, const std::string& dash) {
    return frame_header(title, dash, who, "10:00:00 - 13:59:59");
}

// Operator 12 and the time range 10:00-13:59.
inline void operator_12_midday(TestStation& t) {
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
}

}  // namespace tillora::test
