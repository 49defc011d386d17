// Expected receipt pieces of the tender, drawer and audit file reports, built from the fixed
// station (clock 09-04-2020 14:37:05, workstation 03, operator 12, range 20200904).
#pragma once

#include <string>
#include <vector>

namespace tillora::test {

using Lines = std::vector<std::string>;

inline const std::string kDash39(39, '-');
inline const std::string kDash40(40, '-');
inline const std::string kBlank(39, ' ');

inline Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The header block of the report frame ("Printed by", or CENTRAL in close-out mode).
inline Lines frame_header(const std::string& title, const std::string& dash,
                          const std::string& who = "12", const std::string& from = "20200904",
                          const std::string& to = "20200904") {
    return {title,
            "Report date  :09-04-2020 Time:14:37:05",
            "Printed by   :" + who,
            "Date range   :" + from + " - " + to,
            "Time range   :00:00:00 - 23:59:59",
            "Workstation #:03",
            dash};
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

inline Lines paper_feed() {
    return Lines(6, kBlank);
}

}  // namespace tillora::test
