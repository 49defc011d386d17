// One benchmark case: a report run on a demo store over a date range, measured in its own
// process, next to the lower bound of the same work done by a single SQL statement.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tillora::bench {

// The report families that are measured.
enum class Family {
    TicketList,
    ServerTotals,
    TenderTotals,
    BalanceDrawer,
    Export,
    Closeout,
    PrintAll
};

struct Case {
    std::string name;   // "all-closed/year/month", shown in the table
    std::string store;  // folder name of the store under the stores folder: day, month, year,
                        // year3 (three years)
    Family family;
    int from_date;  // YYYYMMDD, inclusive
    int to_date;
};

// What one run measured. Times in seconds, memory in megabytes.
struct Measurement {
    double wall = 0;
    double cpu = 0;
    long rows = 0;               // xact lines in the range
    double peak_mb = 0;          // peak resident memory of the process after the report
    double max_gap_ms = 0;       // longest stretch between two yields (0 when nothing yields)
    double gap_cpu_ms = 0;       // CPU time of the window's thread in that stretch
    std::string gap_where;       // where the window's thread was in it (bench/gap_watch.h)
    double busy_gap_ms = 0;      // the stretch in which the window's thread ran longest,
    double busy_gap_cpu_ms = 0;  // the CPU time it ran there
    std::string busy_gap_where;
    double bound_wall = 0;  // the lower bound statement(s), same range, same file
    double bound_cpu = 0;
    std::string failure;  // empty when the report ran to its end
};

// Every case of the table, over stores of one day, one month, one year and three years. The year
// store covers 2021; the day, month and three-year stores end with its last day as well (the
// month store one day before it).
std::vector<Case> all_cases();

// Runs one case in this process: builds a station on a working copy when the report writes to
// the store, runs the report, then the lower bound. `work` is a scratch folder for copies and
// printer output. Never throws: failures go into Measurement::failure.
Measurement run_case(const Case& c, const std::filesystem::path& stores,
                     const std::filesystem::path& work);

// The line a child process prints for its parent, and its parse.
std::string to_line(const Measurement& m);
Measurement from_line(const std::string& line);

}  // namespace tillora::bench
