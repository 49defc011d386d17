// The store: databases of an installation (one SQLite file each) in the shape the reports use.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace tillora {

// Every failure of the store: an engine code, the engine's message and the database file.
class StoreError : public std::runtime_error {
  public:
    StoreError(int code, std::string message, std::string database);
    int code() const { return code_; }
    const std::string& engine_message() const { return message_; }
    const std::string& database() const { return database_; }

  private:
    int code_;
    std::string message_;
    std::string database_;
};

// What a store failure means, whatever the engine's code for it.
enum class StoreFailure {
    Missing,       // the database file does not exist
    Locked,        // another connection holds the database (busy or locked)
    Damaged,       // not a database, or a damaged one
    DiskFull,      // no space left
    NoPermission,  // no permission, or a read-only file or file system
    CannotOpen,    // the file cannot be opened (a missing folder)
    DeviceError,   // an input/output error of the disk
    NoSuchTable,
    NoSuchField,
    Other,  // any other failure, the store's own codes included
};
StoreFailure failure_of(const StoreError& e);

// Engine codes used besides SQLite's own result codes.
inline constexpr int kMissingDatabase = 53;    // file not found
inline constexpr int kNoCurrentRecord = 3021;  // read or edit past the end of a set

enum class OpenMode {
    Existing,  // the file must exist: a missing file throws StoreError(kMissingDatabase)
    Create,    // the file is created when missing (the program makes it on purpose)
};

enum class Durability {
    Normal,   // WAL, synchronous=NORMAL: the register's databases
    Scratch,  // WAL, synchronous=OFF, writes batched until idle(): the report work database
};

enum class SetKind {
    Snapshot,   // read-only static copy
    Updatable,  // rows can be added and edited, written back by rowid
};

class Database;
namespace detail {
struct Connection;
}

// A result set. A snapshot reads its rows as it is walked: record_count() is the number of rows
// read so far (at least 1 when the set has a row) and exact once the end or the last row was
// reached. An updatable set reads the rowids of its rows at open (its count is exact at once) and
// each row's fields when the row is visited, so a row changed or deleted since shows as it is now
// (a deleted row throws StoreError(3167)). Field lookups by name are case-insensitive.
class Recordset {
  public:
    Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    ~Recordset();

    long record_count() const;
    bool eof() const;
    bool bof() const;
    void move_next();
    void move_first();
    void move_last();
    // Position of the current row: 0 for the first, record_count() past the end. move_to goes
    // back to such a position; it throws StoreError(kNoCurrentRecord) outside 0..record_count().
    long absolute_position() const;
    void move_to(long position);

    // Reads a field of the current row; throws StoreError(kNoCurrentRecord) at the end of the
    // set and StoreError(3265) for an unknown field name.
    const Value& field(std::string_view name) const;
    const Value& field(std::size_t position) const;
    bool is_null(std::string_view name) const { return field(name).is_null(); }
    std::size_t field_count() const;
    const std::string& field_name(std::size_t position) const;

    // Updatable sets only: add_new starts a new row (all fields null), edit starts changing the
    // current row, set() changes a field of that row and update() stores it (INSERT or UPDATE
    // ... WHERE rowid = ?). Throws StoreError on a snapshot or without add_new/edit.
    void add_new();
    void edit();
    void set(std::string_view name, const Value& value);
    void set(std::size_t position, const Value& value);
    void update();
    // A row's changes kept to be stored later: take_changes() ends an edit() without storing
    // it; store_changes() stores them by the row's rowid wherever the set is (the export writes
    // a batch of rows to its file before it marks them), but only while the row still holds
    // every value it was read with: it returns false and stores nothing when another program
    // changed or deleted the row since (or this connection did, in an earlier transaction).
    // Throws StoreError as update() does.
    struct Changes {
        std::int64_t rowid = 0;
        std::vector<bool> fields;   // the fields set
        std::vector<Value> values;  // their values, in field order
        std::vector<Value> read;    // every field of the row as it was read
        std::uint32_t version = 0;  // the file's data version the row was read at
    };
    Changes take_changes();
    bool store_changes(const Changes& changes);

    void close();

  private:
    friend class Database;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One open database file.
class Database {
  public:
    // Opens the file at `path`. Throws StoreError when the file is missing (OpenMode::Existing),
    // is not a database, or cannot be opened.
    static std::unique_ptr<Database> open(const std::filesystem::path& path,
                                          OpenMode mode = OpenMode::Existing,
                                          Durability durability = Durability::Normal);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs a statement that returns no rows (the one dialect change: "delete * from t" is run as
    // "delete from t"). Throws StoreError.
    void execute(std::string_view sql);
    // Opens a set on a query; a query that cannot run throws StoreError here. The set holds the
    // engine's read of the file until it is closed or walked to its end.
    Recordset open_recordset(std::string_view sql, SetKind kind = SetKind::Snapshot);
    // Tells the engine to be idle: commits pending scratch writes and ends read transactions.
    void idle();
    // Has `beat` called about every 5 ms while the engine works (a scan of a year of lines, or a
    // run of short statements), so that the window can repaint. A statement that sorts its rows
    // spends its first step sorting, where the engine cannot call back: `beside` runs that step
    // (the function it is given) on a second thread while the window repaints. Neither may use
    // this database.
    using BesideRunner = std::function<void(const std::function<void()>&)>;
    void set_heartbeat(std::function<void()> beat, BesideRunner beside = {});
    // Runs `work` (which may use this database and its sets) through the runner given to
    // set_heartbeat when called on the window's thread, here otherwise. Rethrows what it throws.
    void run_beside(const std::function<void()>& work);
    void close();

    const std::filesystem::path& path() const;
    std::string name() const;  // the file name, for messages

    explicit Database(std::shared_ptr<detail::Connection> connection);

  private:
    friend void execute_script(Database& db, const std::string& script);
    std::shared_ptr<detail::Connection> conn_;
};

// The SQL text the engine runs for a statement written in the reports' dialect.
std::string translate_dialect(std::string_view sql);

// Runs a file of SQL statements (the schema files) on a database. Throws StoreError.
void execute_script(Database& db, const std::string& script);

}  // namespace tillora
