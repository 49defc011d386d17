// The line indexes of the audit and error files, kept in the work database between program runs
// and shared by the reports of one run, so that a date range reads only its lines.
#include <algorithm>
#include <optional>

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "platform/files.h"
#include "platform/line_index.h"
#include "platform/store.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

constexpr const char* kIndexTables[] = {
    "create table if not exists line_files (id integer primary key, name text, device integer, "
    "inode integer, size integer, checksum integer)",
    "create table if not exists line_runs (file integer, start integer, bytes integer, "
    "linekey text, plain integer)",
    "create index if not exists line_runs_by_file on line_runs (file, start)",
};

std::int64_t stored(std::uint64_t v) {
    return static_cast<std::int64_t>(v);
}

std::uint64_t unstored(const Value& v) {
    return static_cast<std::uint64_t>(v.as_int());
}

// The line_files row of a file: its id (or the next free one) and what its index describes.
struct StoredFile {
    bool found = false;
    std::int64_t id = 1;
    LineIndex head;  // without runs
};

StoredFile find_file(Database& db, const std::string& name) {
    StoredFile f;
    std::int64_t next = 1;
    for (Recordset rs = db.open_recordset("select * from line_files"); !rs.eof(); rs.move_next()) {
        next = std::max(next, rs.field("id").as_int() + 1);
        if (f.found || rs.field("name").as_text() != name) continue;
        f.found = true;
        f.id = rs.field("id").as_int();
        f.head = {unstored(rs.field("device")),
                  unstored(rs.field("inode")),
                  unstored(rs.field("size")),
                  unstored(rs.field("checksum")),
                  {}};
    }
    if (!f.found) f.id = next;
    return f;
}

bool same_head(const LineIndex& a, const LineIndex& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.check == b.check;
}

// The stored index of the file; an empty one when there is none, it cannot be read, or its runs
// do not cover the indexed bytes exactly (a write cut short).
LineIndex load_index(Database& db, const std::string& name) {
    try {
        const StoredFile f = find_file(db, name);
        if (!f.found) return {};
        LineIndex index = f.head;
        Recordset rs = db.open_recordset(
            "select * from line_runs where file = " + std::to_string(f.id) + " order by start");
        std::uint64_t end = 0;
        for (; !rs.eof() && end < index.size; rs.move_next()) {
            LineRun run{rs.field("linekey").as_text(), rs.field("plain").as_int() != 0,
                        unstored(rs.field("start")), unstored(rs.field("bytes"))};
            if (run.offset != end) return {};
            end += run.length;
            index.runs.push_back(std::move(run));
        }
        return end == index.size ? index : LineIndex{};
    } catch (const StoreError&) {
        return {};  // no table yet, or a work database that cannot be read: indexed again
    }
}

// Stores the runs added since `before` (all of them when the index started again or the stored
// one is not `before`). A failure leaves the index to be stored by a later read.
void store_index(Database& db, const std::string& name, const LineIndex& before,
                 std::size_t runs_before, bool again, const LineIndex& index) {
    try {
        for (const char* sql : kIndexTables) db.execute(sql);
        const StoredFile f = find_file(db, name);
        const bool extends = !again && f.found && same_head(f.head, before);
        const std::string file = std::to_string(f.id);
        db.execute("delete from line_runs where file = " + file +
                   (extends ? " and start >= " + std::to_string(before.size) : ""));
        Recordset runs =
            db.open_recordset("select * from line_runs where file is null", SetKind::Updatable);
        for (std::size_t i = extends ? runs_before : 0; i < index.runs.size(); ++i) {
            const LineRun& run = index.runs[i];
            runs.add_new();
            runs.set("file", Value(f.id));
            runs.set("start", Value(stored(run.offset)));
            runs.set("bytes", Value(stored(run.length)));
            runs.set("linekey", Value(run.key));
            runs.set("plain", Value(run.plain ? 1 : 0));
            runs.update();
        }
        Recordset files =
            db.open_recordset("select * from line_files where id = " + file, SetKind::Updatable);
        if (files.eof()) {
            files.add_new();
            files.set("id", Value(f.id));
            files.set("name", Value(name));
        } else {
            files.edit();
        }
        files.set("device", Value(stored(index.device)));
        files.set("inode", Value(stored(index.inode)));
        files.set("size", Value(stored(index.size)));
        files.set("checksum", Value(stored(index.check)));
        files.update();
        db.idle();
    } catch (const StoreError&) {
    }
}

// Runs `work` on `db` when given, else on a connection of its own to the work database, closed
// (its writes committed) at the end. Returns false when the work database cannot be opened.
bool with_work_db(Station& s, Database* db, const std::function<void(Database&)>& work) {
    if (db != nullptr) {
        work(*db);
        return true;
    }
    try {
        auto own = open_report_db(s);
        work(*own);
        own->close();
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

// The file's index brought up to date: read from the work database the first time in this run,
// extended by the lines written since, and stored again when it changed.
const LineIndex& current_index(Station& s, IndexedFile& file, const std::string& name,
                               Database* work_db) {
    auto found = s.line_indexes.find(name);
    if (found == s.line_indexes.end()) {
        LineIndex loaded;
        with_work_db(s, work_db, [&](Database& db) { loaded = load_index(db, name); });
        found = s.line_indexes.emplace(name, std::move(loaded)).first;
    }
    LineIndex& index = found->second;
    const LineIndex before{index.device, index.inode, index.size, index.check, {}};
    const std::size_t runs_before = index.runs.size();
    const bool again = file.update(index, [&] { s.svc.ui.keep_alive(); });
    if (again || !same_head(before, index)) {
        with_work_db(s, work_db, [&](Database& db) {
            store_index(db, name, before, runs_before, again, index);
        });
    }
    return index;
}

}  // namespace

void for_each_line_in_keys(Station& s, const fs::path& path, const std::string& from_key,
                           const std::string& to_key,
                           const std::function<void(const std::string&)>& on_line,
                           Database* work_db) {
    const auto in_keys = [&](const std::string& line) {
        if (line_in_keys(line, from_key, to_key)) on_line(line);
    };
    // Keys longer than the indexed start cannot be judged on it: the whole file is read.
    std::optional<IndexedFile> file;
    if (std::max(from_key.size(), to_key.size()) <= kIndexedKeyChars) {
        try {
            file.emplace(path);
        } catch (const FileError&) {
            // The whole read below reports the same failure.
        }
    }
    const LineIndex* index = nullptr;
    if (file) {
        try {
            index = &current_index(s, *file, path.string(), work_db);
        } catch (const FileError&) {
            index = nullptr;
        }
    }
    if (index == nullptr) {
        for_each_file_line(s, path, in_keys);
        return;
    }
    // A long range (a year of Balance Drawer) reads most of the file: the window repaints.
    file->read(
        *index, [&](const LineRun& run) { return line_in_keys(run.key, from_key, to_key); },
        repainting_lines(s, in_keys));
}

}  // namespace tillora
