// Expected receipt pieces of the tender, drawer and audit file reports, built from the fixed
// station (clock 09-04-2020 14:37:05, workstation 03, operator 12, range 20200904).
#pragma once

#include <string>

#include "support/test_support.h"

namespace tillora::test {

// The header of the report frame printed by `who` (CENTRAL in close-out mode).
inline Lines printed_header(const std::string& title, const std::string& dash,
                            const std::string& who = "12", const std::string& from = "20200904",
                            const std::string& to = "20200904") {
    return frame_header(title, dash, "Printed by   :" + who, "00:00:00 - 23:59:59",
                        from + " - " + to);
}

// The header of the reports that list the audit or error file.
inline Lines file_header(const std::string& first_line, const std::string& dash,
                         const std::string& from = "20200904", const std::string& to = "20200904") {
    return {dash,
            first_line,
            "Report date  :09-04-2020 Time: 14:37:05",
            "Server       :12",
            "Date range   :" + from + " - " + to,
            "Workstation #:03",
            dash};
}

}  // namespace tillora::test
