// Shared pieces of the server report tests: compact xact lines and the receipt lines they print.
#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"

namespace tillora::test {

inline const std::string kDash39(39, '-');
inline const std::string kDash40(40, '-');
inline const std::string kBlank(39, ' ');

// One xact line of ticket `ticket` (status 2, 12:00:00 on 20200904 unless `more` says otherwise).
inline Row line(int server, int ticket, int item, double base, double srvchg = 0, double tax = 0,
                Row more = {}) {
    Row row{{"server", server},    {"ticket", ticket},        {"itemnumber", item},
            {"poschitbase", base}, {"poschitsrvchg", srvchg}, {"poschittax", tax}};
    row.insert(row.end(), more.begin(), more.end());
    return row;
}

// The header block of a receipt for the range 20200904 10:00-13:59 on workstation 03.
inline std::vector<std::string> header(const std::string& title, const std::string& who,
                                       const std::string& dash) {
    return {title,
            "Report date  :09-04-2020 Time:14:37:05",
            who,
            "Date range   :20200904 - 20200904",
            "Time range   :10:00:00 - 13:59:59",
            "Workstation #:03",
            dash};
}

// Operator 12 and the time range 10:00-13:59.
inline void operator_12_midday(TestStation& t) {
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
}

inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace tillora::test
