// One pass of the export over a result set: a record per row appended to a file, and the row
// marked in the database only after its record is on the disk. Rows are written one by one and
// marked in batches: the file is synced, then the batch is marked in short transactions, so a
// failure at any point leaves every marked row in the file and the unmarked ones for next time.
#pragma once

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

// Rows written to the file and rows marked so far (kept up to date while the pass runs, so the
// caller still knows them when the pass throws).
struct PassProgress {
    long written = 0;
    long marked = 0;
};

// Rows written between two syncs of the file, and rows marked per transaction: one sync serves
// several short transactions, so the register never waits for more than one of them.
inline constexpr std::size_t kRowsPerSync = 16000;
inline constexpr std::size_t kRowsPerTransaction = 2000;

// Writes a record for every row of `rows` from the current one to the end (creating the file
// 0640 when missing) and marks the rows written, yielding after every row. Throws FileError or
// StoreError; rows of a batch not yet marked stay unmarked (the batch is rolled back).
void write_and_mark(Station& s, Database& db, Recordset& rows, const std::filesystem::path& file,
                    const PassRules& rules, PassProgress& progress,
                    std::size_t rows_per_sync = kRowsPerSync);

}  // namespace tillora
