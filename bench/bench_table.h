// The benchmark table and the targets, each judged PASS or FAIL from the measurements.
#pragma once

#include <ostream>
#include <vector>

#include "bench/bench_case.h"

namespace tillora::bench {

struct Result {
    Case c;
    Measurement m;
};

// One line per case: range rows, wall and CPU time, rows per second, peak memory, longest
// stretch without a yield, the lower bound and the ratio to it (wall time).
void print_table(std::ostream& out, const std::vector<Result>& results);

// For the close-out, All Closed Tickets and Server Totals of one day: the times on the day,
// month, year and three-year stores (with the lines of the day) and the largest over the smallest.
void print_flatness(std::ostream& out, const std::vector<Result>& results);

// Every target with its measured value and PASS or FAIL; a target whose case was not run is
// shown as "not run", and so is a one-day spread missing a store. Returns true when no target
// failed.
bool print_targets(std::ostream& out, const std::vector<Result>& results);

}  // namespace tillora::bench
