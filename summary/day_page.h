// The day page: written beside the close-out file by every close-out, and for any range by
// tillora-summary.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "panel/station.h"

namespace tillora {

// The page of a close-out: the close-out file's name with ".html" in place of ".txt"
// ("closeout03-20200904.html").
std::string closeout_page_name(const ModuleState& st);

// Writes the page of the close-out run that has just written its close-out file: the day's
// figures, then the close-out file as it is. A page that cannot be written is reported as a
// report that could not run ("*** Day page could not run: ..." appended to the close-out file, a
// line on standard error, an entry in Station::failures); the close-out file is never changed
// otherwise.
void write_closeout_page(Station& s);

// What tillora-summary is asked for.
struct RangeRequest {
    std::filesystem::path home;  // the installation folder
    std::int32_t from = 0;       // YYYYMMDD
    std::int32_t to = 0;
    std::filesystem::path
        out;  // empty: "summary" + unitstr + "-" + from + "-" + to + ".html" in home
};

// Writes the page of a range of the installation, without a close-out file, using a private
// copy of the report work tables (a report running beside it is not disturbed). Prints the page's
// path on `out`; messages and, for ranges longer than a week, a progress line per step on `err`.
// Returns 0, or 1 when the installation cannot be read or the page cannot be written.
int write_range_page(const RangeRequest& request, std::ostream& out, std::ostream& err);

}  // namespace tillora
