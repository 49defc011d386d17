// The unattended close-out run: "KVRUN<date>" on the command line.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "reports/other/closeout_command.h"

namespace tillora {

// True when the command line starts the unattended run (first five characters exactly "KVRUN").
bool is_closeout_command(const std::string& command_line);

// Runs the whole close-out for the installation in `home` without a display and without waiting:
// start-up, every report into the close-out file, the request line, then the day page beside the
// close-out file. Messages go to `err`.
// Returns 0 when every report ran; 1 when any failed or when start-up met a stop-level problem
// (a configuration database missing or unreadable, a close-out file that cannot be replaced),
// each written as a "*** " line at the top of the close-out file, or when the day page cannot be
// written (a "*** " line at its end); kCloseoutAlreadyRunning (without touching anything) while
// another close-out holds the installation's closeout.lock; kCloseoutBadDate, after start-up has
// read the configuration and before any file is written, when closeout_date_problem refuses the
// business date; the refusal ends with `usage`, the calling program's own usage line.
inline constexpr int kCloseoutBadDate = 2;
inline constexpr int kCloseoutAlreadyRunning = 3;
int run_closeout(const std::filesystem::path& home, const std::string& command_line,
                 std::ostream& err,
                 const std::string& usage = "tillora-reports KVRUN<YYYYMMDD or session number>");

// Builds the indexes of the schema that the installation's transaction database lacks (a store
// made by an older version), telling each on `err`; the register's writes wait meanwhile. Returns
// 0, or 1 when the store cannot be opened or an index cannot be built.
int add_store_indexes(const std::filesystem::path& home, std::ostream& err);

}  // namespace tillora
