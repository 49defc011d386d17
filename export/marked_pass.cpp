#include "export/marked_pass.h"

#include <algorithm>

#include "engine/pipeline.h"
#include "export/export_record.h"
#include "export/record_file.h"

namespace tillora {

namespace {

// Marks the rows at `positions` in one transaction; nothing of the batch is kept on failure.
void mark_batch(Station& s, Database& db, Recordset& rows, const std::vector<long>& positions,
                const PassRules& rules) {
    db.execute("begin immediate");
    try {
        for (long position : positions) {
            rows.move_to(position);
            rows.edit();
            rules.mark(rows);
            rows.update();
            s.svc.ui.keep_alive();
        }
        // A commit may checkpoint the database's log and wait on the disk for a while.
        run_beside_window(s.svc.ui, [&db] { db.execute("commit"); });
    } catch (...) {
        try {
            db.execute("rollback");
        } catch (const StoreError&) {
            // The engine may have ended the transaction itself; the first error is the one told.
        }
        throw;
    }
    db.idle();
}

// Puts the batch's records on the disk, then marks the batch, a transaction at a time, and goes
// back to where the pass is.
void finish_batch(Station& s, Database& db, Recordset& rows, RecordFile& out,
                  std::vector<long>& positions, const PassRules& rules, PassProgress& progress) {
    if (positions.empty()) return;
    run_beside_window(s.svc.ui, [&out] { out.sync(); });  // the disk may take a while
    const long resume = rows.absolute_position();
    for (std::size_t first = 0; first < positions.size(); first += kRowsPerTransaction) {
        const std::size_t last = std::min(positions.size(), first + kRowsPerTransaction);
        const std::vector<long> part(positions.begin() + static_cast<long>(first),
                                     positions.begin() + static_cast<long>(last));
        mark_batch(s, db, rows, part, rules);
        progress.marked += static_cast<long>(part.size());
    }
    positions.clear();
    rows.move_to(resume);
}

}  // namespace

void write_and_mark(Station& s, Database& db, Recordset& rows, const std::filesystem::path& file,
                    const PassRules& rules, PassProgress& progress, std::size_t rows_per_sync) {
    RecordFile out(file);
    std::vector<long> pending;
    pending.reserve(rows_per_sync);
    for (; !rows.eof(); rows.move_next()) {
        if (rules.skip && rules.skip(rows)) continue;
        show_status(s, rules.status(rows));
        out.write(quoted_record(rules.fields(rows)));
        ++progress.written;
        pending.push_back(rows.absolute_position());
        s.yield();
        if (pending.size() >= rows_per_sync) {
            finish_batch(s, db, rows, out, pending, rules, progress);
        }
    }
    finish_batch(s, db, rows, out, pending, rules, progress);
    out.close();
}

}  // namespace tillora
