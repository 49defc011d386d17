// The command lines of the close-out: the business date after KVRUN, the options of
// tillora-reports and of the nightly wrapper tillora-closeout.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/command_line.h"

namespace tillora {

// Why `date`, the text after KVRUN, cannot be the business date of a workstation whose session
// counter is `session`: with 0 it must be a calendar date YYYYMMDD, otherwise a positive whole
// session number. "" when it can.
std::string closeout_date_problem(const std::string& date, std::int32_t session);

// The command line of tillora-reports: the window, or KVRUN<date> for the close-out.
const ProgramSpec& reports_program();
// The command line of tillora-closeout: [--date YYYYMMDD|yesterday].
const ProgramSpec& closeout_program();

// The KVRUN command of tillora-closeout's --date value: "yesterday" is the day before `now`;
// any other value is passed on unchanged for the close-out to check.
std::string closeout_command_for(const std::string& date, const DateTime& now);

}  // namespace tillora
