// The files of an earlier export are never destroyed: before a run writes its export, history
// and card files, whatever is under those names is kept under a time-stamped name beside them.
#pragma once

#include <filesystem>

#include "platform/clock.h"

namespace tillora {

// The name an earlier file is kept under: "<stem>-YYYYMMDD-HHMMSS<extension>" in its folder, so
// export03.csv of 6 December 2026 at 15:30:00 becomes export03-20261206-153000.csv; `copy`
// 2, 3, ... adds "-2", "-3", ... after the time (two runs within one second).
std::filesystem::path kept_name(const std::filesystem::path& file, const DateTime& now,
                                int copy = 1);

// Moves `file` to its kept name (the first one not taken; nothing is ever replaced) and returns
// that name; returns an empty path when there is no file. Throws FileError, leaving the file in
// place, when a symbolic link or anything but a regular file has its name, or it cannot be moved.
std::filesystem::path keep_earlier_file(const std::filesystem::path& file, const DateTime& now);

}  // namespace tillora
