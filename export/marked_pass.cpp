#include "export/marked_pass.h"

#include <algorithm>

#include "engine/pipeline.h"
#include "export/export_record.h"
#include "export/record_file.h"

namespace tillora {

namespace {

// A row read for its record: the record, and the mark to store once the record is written.
struct PendingRow {
    std::string record;
    Recordset::Changes mark;
};

void roll_back(Database& db) {
    try {
        db.execute("rollback");
    } catch (const StoreError&) {
        // The engine may have ended the transaction itself; the first error is the one told.
    }
}

// Stores the batch's marks, writes the records of the rows marked and syncs the file, then
// commits; the register waits meanwhile, so no row changes between its mark and its record.
// Returns how long the marks and the sync took.
std::chrono::steady_clock::duration finish_batch(Station& s, Database& db, Recordset& rows,
                                                 RecordFile& out, std::vector<PendingRow>& batch,
                                                 PassProgress& progress) {
    if (batch.empty()) return {};
    const long long length = out.synced_length();
    long marked = 0;
    const auto began = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration held{};
    db.execute("begin immediate");
    try {
        for (const PendingRow& row : batch) {
            if (rows.store_changes(row.mark)) {
                out.write(row.record);
                ++marked;
            }
            s.svc.ui.keep_alive();
        }
        run_beside_window(s.svc.ui, [&out] { out.sync(); });  // the disk may take a while
        // The marks and the sync are most of the time the register waits; the commit's
        // checkpoint of the log, which may take longer, runs once the write lock is free.
        held = std::chrono::steady_clock::now() - began;
        run_beside_window(s.svc.ui, [&db] { db.execute("commit"); });
    } catch (...) {
        roll_back(db);
        out.take_back_to(length);
        throw;
    }
    progress.marked += marked;
    progress.left += static_cast<long>(batch.size()) - marked;
    batch.clear();
    db.idle();
    return held;
}

}  // namespace

std::size_t next_batch_rows(const BatchSize& size, std::size_t rows,
                            std::chrono::steady_clock::duration held) {
    const auto target =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(size.target);
    // Grown at most fourfold at a time: one batch that went unusually fast is no measure.
    const double scale = held.count() <= 0 ? 4.0
                                           : std::min(4.0, static_cast<double>(target.count()) /
                                                               static_cast<double>(held.count()));
    const auto wanted = static_cast<std::size_t>(static_cast<double>(rows) * scale);
    return std::clamp(wanted, size.least, size.most);
}

// The record and the mark of a row are worked out while the row is read, and stored together
// in the row's batch: the row is not read a second time.
void write_and_mark(Station& s, Database& db, Recordset& rows, const std::filesystem::path& file,
                    const PassRules& rules, PassProgress& progress, const BatchSize& batch_size) {
    RecordFile out(file);
    std::vector<PendingRow> batch;
    std::size_t batch_rows = std::clamp(batch_size.first, batch_size.least, batch_size.most);
    batch.reserve(batch_rows);
    const long selected = rows.record_count();
    long walked = 0;
    show_progress(s, walked, selected);
    for (; !rows.eof(); rows.move_next()) {
        show_progress(s, ++walked, selected);
        if (rules.skip && rules.skip(rows)) continue;
        show_status(s, rules.status(rows));
        PendingRow row{quoted_record(rules.fields(rows)), {}};
        rows.edit();
        rules.mark(rows);
        row.mark = rows.take_changes();
        batch.push_back(std::move(row));
        s.yield();
        if (batch.size() >= batch_rows) {
            const std::size_t done = batch.size();
            batch_rows =
                next_batch_rows(batch_size, done, finish_batch(s, db, rows, out, batch, progress));
        }
    }
    finish_batch(s, db, rows, out, batch, progress);
    out.close();
}

}  // namespace tillora
