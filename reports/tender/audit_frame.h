// What the reports that read the audit and error files share: the missing-file message, the
// receipt printer they prepare, their header and the reading of the lines of a date range.
#pragma once

#include <functional>
#include <string>

#include "panel/station.h"

namespace tillora {

// True when the file `name` exists in the program folder. Otherwise shows `message` titled with
// the file name (unless in close-out mode and `quiet_in_closeout`) and returns false.
bool report_file_present(Station& s, const std::string& name, const std::string& message,
                         bool quiet_in_closeout);

// Unless in close-out mode or during Print All Reports: makes printer localprinter current and
// sets the font "Printer 17cpi"; failures are ignored.
void prepare_audit_printer(Station& s);

// The header of an audit file report, each line through the print-line operation: an optional
// dashline, `first_line`, "Report date  :" + date + " Time: " + time, "Server       :" + the
// operator ID, the date range, the workstation, dashline.
void print_audit_header(Station& s, const std::string& first_line, bool leading_dashline = true);

// Calls `on_line` for every line of the file `name` whose first key-size characters lie between
// the keys built by `make_key` from the date boxes. A file that cannot be read is reported
// ("Oops...") and ends the reading; nothing is thrown.
void for_each_line_in_range(Station& s, const std::string& name,
                            std::string (*make_key)(const std::string&),
                            const std::function<void(const std::string&)>& on_line);

// The ending of these reports: unless in close-out mode six blank lines straight on the printer
// and (unless Print All Reports runs) the end of the job; then yields and clears reportbusy.
void end_audit_report(Station& s);

// A paid-out or paid-in amount of the audit file as money. An amount no register records (not
// finite, or a billion or more) counts as 0, so a damaged line can neither stop the report nor
// overflow its totals; the line itself is still printed.
Currency audit_amount(double value);

}  // namespace tillora
