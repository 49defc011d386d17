// One pass of the export over a result set: a record per row appended to a file, and the row
// marked in the database only with its record on the disk. Rows are read one by one and handled
// in batches: in one write transaction the batch's marks are stored (each only while its row
// still holds what it was read with), the records of the rows marked are written and synced,
// then the transaction commits. A failure at any point leaves every marked row in the file and
// no record of an unmarked row; a row the register changed meanwhile is left as it is now.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "panel/station.h"
#include "platform/store.h"

namespace tillora {

// What a pass writes and how it marks; the export and the history pass differ only here.
struct PassRules {
    std::function<bool(const Recordset&)> skip;           // rows neither written nor marked
    std::function<std::string(const Recordset&)> status;  // "Exporting ..." in helpwindow
    std::function<std::vector<std::string>(const Recordset&)> fields;
    std::function<void(Recordset&)> mark;  // sets the marking fields of the edited row
};

// Rows marked (their records in the file) and rows left because the register changed them
// between the read and the mark (kept up to date while the pass runs, so the caller still knows
// them when the pass throws).
struct PassProgress {
    long marked = 0;
    long left = 0;
};

// How many rows go into a batch (one write transaction and one sync of the file each). The
// register waits while a batch is marked, so after each batch the next one is sized for its
// marks and sync to take about `target`; within that, more rows a batch mean fewer commits, and a
// page of an index is then written once for many rows instead of once a batch.
struct BatchSize {
    std::size_t first = 1000;
    std::size_t least = 100;
    std::size_t most = 10000;
    std::chrono::milliseconds target{60};
};

// The rows of the batch after one of `rows` rows whose marks and sync took `held`.
std::size_t next_batch_rows(const BatchSize& size, std::size_t rows,
                            std::chrono::steady_clock::duration held);

// Writes a record for every row of `rows` from the current one to the end (creating the file
// 0640 when missing) and marks the rows written, yielding after every row. Throws FileError or
// StoreError; the failing batch is neither marked nor in the file.
void write_and_mark(Station& s, Database& db, Recordset& rows, const std::filesystem::path& file,
                    const PassRules& rules, PassProgress& progress,
                    const BatchSize& batch_size = {});

}  // namespace tillora
