#include "export/marked_pass.h"

#include <algorithm>
#include <span>

#include "engine/pipeline.h"
#include "export/export_record.h"
#include "export/record_file.h"

namespace tillora {

namespace {

// Stores the marks of a part of a batch in one transaction; nothing of it is kept on failure.
void mark_batch(Station& s, Database& db, Recordset& rows,
                std::span<const Recordset::Changes> marks) {
    db.execute("begin immediate");
    try {
        for (const Recordset::Changes& mark : marks) {
            rows.store_changes(mark);
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

// Puts the batch's records on the disk, then stores their marks, a transaction at a time.
void finish_batch(Station& s, Database& db, Recordset& rows, RecordFile& out,
                  std::vector<Recordset::Changes>& marks, PassProgress& progress) {
    if (marks.empty()) return;
    run_beside_window(s.svc.ui, [&out] { out.sync(); });  // the disk may take a while
    const std::span<const Recordset::Changes> all(marks);
    for (std::size_t first = 0; first < all.size(); first += kRowsPerTransaction) {
        const auto part = all.subspan(first, std::min(kRowsPerTransaction, all.size() - first));
        mark_batch(s, db, rows, part);
        progress.marked += static_cast<long>(part.size());
    }
    marks.clear();
}

}  // namespace

// The mark of a row is worked out while the row is read for its record, and stored after the
// sync that put the record on the disk: the row is not read a second time.
void write_and_mark(Station& s, Database& db, Recordset& rows, const std::filesystem::path& file,
                    const PassRules& rules, PassProgress& progress, std::size_t rows_per_sync) {
    RecordFile out(file);
    std::vector<Recordset::Changes> marks;
    marks.reserve(rows_per_sync);
    const long selected = rows.record_count();
    long walked = 0;
    show_progress(s, walked, selected);
    for (; !rows.eof(); rows.move_next()) {
        show_progress(s, ++walked, selected);
        if (rules.skip && rules.skip(rows)) continue;
        show_status(s, rules.status(rows));
        out.write(quoted_record(rules.fields(rows)));
        ++progress.written;
        rows.edit();
        rules.mark(rows);
        marks.push_back(rows.take_changes());
        s.yield();
        if (marks.size() >= rows_per_sync) finish_batch(s, db, rows, out, marks, progress);
    }
    finish_batch(s, db, rows, out, marks, progress);
    out.close();
}

}  // namespace tillora
