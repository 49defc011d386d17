// The lower bound of a report's work: the same range read by one SQL statement per family on
// the same SQLite file (plain engine, built-in sum), or for the export one streaming selection
// written to a CSV file and one UPDATE in one transaction.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_case.h"

namespace tillora::bench {

struct LowerBound {
    std::vector<std::string> queries;  // read to the end, every column of every row
    std::string csv_query;             // written to a CSV file when not empty
    std::string update;                // run in one transaction when not empty
};

// The statements standing for one family over from..to.
LowerBound lower_bound_of(Family family, int from, int to);

// Runs the statements on the database file; the CSV goes into `work`. Throws std::runtime_error.
void run_bound(const LowerBound& bound, const std::filesystem::path& database,
               const std::filesystem::path& work);

// The number of xact lines dated from..to. Throws std::runtime_error.
long count_lines(const std::filesystem::path& database, int from, int to);

// Compares the rows marked by an export of from..to with the records in its files: rows with an
// export count against the export file's lines, rows in history (status 7) against the history
// file's lines. Returns "" when they match, otherwise what differs.
std::string check_export_marks(const std::filesystem::path& database, int from, int to,
                               const std::filesystem::path& export_file,
                               const std::filesystem::path& history_file);

}  // namespace tillora::bench
