// Internals of the store shared by its source files: the connection with its statement cache,
// the column description of a result, and the SQL text helpers.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/store.h"
#include "platform/value.h"

namespace tillora::detail {

// A statement text with its literals lifted out: `text` holds "?" where a literal stood and
// `params` the literals in order. `cacheable` is false for statements that must be prepared
// afresh (schema changes, pragmas); `transactional` is true for the data and schema statements
// that may run inside a write transaction (not BEGIN, COMMIT, PRAGMA, VACUUM, ATTACH).
struct StatementKey {
    std::string text;
    std::vector<Value> params;
    bool cacheable = false;
    bool transactional = false;
};

// Lifts the integer and string literals of the WHERE, HAVING and ON clauses of a SELECT, INSERT,
// UPDATE or DELETE out of its text. Identifiers (config03, "x 1", [a]), select lists, ORDER BY,
// GROUP BY and LIMIT keep their literals. A text that already holds parameters is left whole.
StatementKey parametrise(std::string_view sql);

// A single-table "select <list> from <table> [alias] ..." whose rows can be written back.
struct UpdatableSelect {
    std::string table;           // the table name as the engine knows it (unquoted)
    std::string qualifier;       // the text that names the table in the query (alias or name)
    std::size_t list_start = 0;  // where the select list starts (after SELECT [ALL])
    std::string list;            // the select list as written
    std::string from_clause;     // "from <table> [alias]" as written
};
std::optional<UpdatableSelect> parse_updatable(std::string_view sql);

// Registers the exact decimal sum() on a connection. Returns the engine's result code.
int register_exact_sum(sqlite3* db);

// The money value of a stored number: rounded to four decimals; nullopt when out of range.
std::optional<Currency> to_currency(double value);

// Hash and equality of names that ignore ASCII case, usable with string_view keys.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const;
};
struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// The columns of a result: names, whether the declared type is CURRENCY, and the table column
// each one comes from (empty for expressions). Lookup by name ignores case.
struct Columns {
    std::vector<std::string> names;
    std::vector<bool> currency;
    std::vector<std::string> origins;
    std::unordered_map<std::string, std::size_t, NameHash, NameEqual> index;  // first position

    // Position of a field; npos when there is none.
    std::size_t find(std::string_view name) const;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

// The rows of a query, read to the end.
struct ResultRows {
    std::shared_ptr<const Columns> columns;
    std::vector<std::vector<Value>> rows;
};

// Reads one column of the current row of a statement as the reports see it.
Value column_value(sqlite3_stmt* stmt, int i, bool currency);

// Something that still reads rows from a statement of the connection and can read the rest of
// them at once (before the connection writes: a pending read would hold an old snapshot).
class PendingRead {
  public:
    virtual void settle() = 0;

  protected:
    ~PendingRead() = default;
};

class Statement;

// One open SQLite connection, shared by the Database and the sets it opened.
struct Connection {
    sqlite3* db = nullptr;
    std::filesystem::path path;
    std::string name;
    Durability durability = Durability::Normal;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // Opens and prepares the connection. Throws StoreError.
    static std::shared_ptr<Connection> open(const std::filesystem::path& path, OpenMode mode,
                                            Durability durability);
    // Closes, keeping pending scratch writes (commit) and dropping a transaction left open on a
    // normal database (rollback); `quiet` swallows a failing commit.
    void close(bool quiet);
    bool is_open() const { return db != nullptr; }

    // Throws StoreError(3420) when the connection was closed.
    sqlite3* handle() const;
    // Throws the StoreError of the engine's last failure (code and message of the connection).
    [[noreturn]] void fail() const;
    [[noreturn]] void fail(int code, const std::string& message) const;

    // Runs a statement that returns no rows; data changes run in a write transaction.
    void run(std::string_view sql, const std::vector<Value>& extra_params = {});
    void run(const StatementKey& key, const std::vector<Value>& extra_params = {});
    // The same with the extra parameters bound where they are, not copied.
    void run(const StatementKey& key, const std::vector<const Value*>& extra_params);
    // Runs a query and reads every row.
    ResultRows query(std::string_view sql, const std::vector<Value>& extra_params = {});
    ResultRows query(const StatementKey& key, const std::vector<Value>& extra_params = {});
    // Opens the read transaction for a query of `key` when it reads data (see begin_read).
    void begin_query(const StatementKey& key, sqlite3_stmt* stmt);
    // Ends the read transaction and commits pending scratch writes (these at most every
    // kScratchCommitInterval: a report stores a row and idles many times a millisecond).
    void idle();
    // Ends the read transaction that queries keep open between two idle() calls.
    void end_read();
    // Calls `beat` from inside engine steps at most every kHeartbeatInterval: the window
    // repaints while one long statement, or a run of short ones, keeps the engine busy.
    void set_heartbeat(std::function<void()> beat, Database::BesideRunner beside);
    // Runs one engine step: beside the window when it may sort for long (see set_heartbeat).
    int step(sqlite3_stmt* stmt, bool long_first_step);
    // Runs `work` on a second thread while the window repaints when called on the window's
    // thread of a connection with a heartbeat; here otherwise. Rethrows what `work` throws.
    void beside(const std::function<void()>& work);
    // Has every pending read take the rest of its rows now: a write must not run beside them.
    void settle_reads();
    void add_pending(PendingRead* read);
    void remove_pending(PendingRead* read);

    // The engine's data version of the file: it moves with every commit to the file, this
    // connection's or another's. Inside a transaction it is the version the transaction began
    // at; this connection's changes move it when they are committed.
    std::uint32_t data_version() const;

    // Starts a write: BEGIN IMMEDIATE unless a transaction is open. Returns true when this
    // call opened it (and so must end it with end_write).
    bool begin_write();
    // Ends a write begun with begin_write: commits at once on a normal database, keeps the
    // transaction open on a scratch database until idle(); rolls back when `ok` is false.
    void end_write(bool opened, bool ok);

    // A cached prepared statement; `in_use` while a Statement borrows it.
    struct Cached {
        sqlite3_stmt* stmt = nullptr;
        std::shared_ptr<const Columns> columns;
        int prepares = -1;  // reprepare count the columns were read at
        bool in_use = false;
        bool sorts = false;  // its first step sorts the rows
        std::list<std::string>::iterator lru;
    };
    // The cache entry of a cacheable statement, prepared on first use. Throws StoreError.
    Cached& cached(const StatementKey& key);
    // Prepares a statement for one use. Throws StoreError.
    sqlite3_stmt* prepare_text(const std::string& text);

  private:
    // Steps a statement to its end, in a write transaction when it writes data.
    void run_to_end(Statement& statement, const StatementKey& key);
    // Opens a read transaction when none is open, so that the queries up to the next idle()
    // share one snapshot and one set of locks.
    void begin_read();
    // Runs a statement without parameters through the statement cache (BEGIN, COMMIT).
    void run_cached(const char* sql);
    void exec_simple(const char* sql);
    void finalize_all();

    static constexpr std::size_t kCacheSize = 64;
    std::unordered_map<std::string, Cached> cache_;
    std::list<std::string> lru_;  // most recently used first
    std::vector<PendingRead*> pending_;
    std::function<void()> heartbeat_;
    Database::BesideRunner beside_;
    std::thread::id window_thread_;  // the thread that set the heartbeat
    std::chrono::steady_clock::time_point last_beat_;
    static int on_progress(void* connection);
    static constexpr std::chrono::milliseconds kHeartbeatInterval{5};
    static constexpr int kProgressInstructions = 500;
    bool reading_ = false;  // a read transaction begun by begin_read is open
    std::chrono::steady_clock::time_point read_began_;
    std::chrono::steady_clock::time_point last_commit_ = std::chrono::steady_clock::now();
    static constexpr std::chrono::milliseconds kScratchCommitInterval{5};
};

// A prepared statement in use with its parameters bound: borrowed from the connection's cache,
// or prepared for this use alone when the cached one is busy or the text is not cacheable.
// Released (reset, or finalized when its own) by release() or the destructor. Text parameters
// are bound without a copy: the key and the extra values must outlive the statement's use.
class Statement {
  public:
    Statement(Connection& conn, const StatementKey& key, const std::vector<Value>& extra = {});
    Statement(Connection& conn, const StatementKey& key, const std::vector<const Value*>& extra);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* handle() const { return stmt_; }
    // Steps once; throws StoreError on failure. True while a row is ready.
    bool step();
    // Runs the statement again from its first row with the same parameters.
    void restart();
    void release();
    // The result columns (kept with the cache entry while the statement is not reprepared).
    std::shared_ptr<const Columns> columns();

  private:
    void prepare(const StatementKey& key);
    template <class Extra>
    void bind(const StatementKey& key, const Extra& extra);

    Connection& conn_;
    Connection::Cached* entry_ = nullptr;  // the cache entry borrowed, or null when its own
    sqlite3_stmt* stmt_ = nullptr;
    std::shared_ptr<const Columns> columns_;
    bool sorts_ = false;    // the first step sorts the rows
    bool stepped_ = false;  // stepped since prepared or restarted
    bool ended_ = false;    // its last step gave no row (or failed)

    // Resets the statement to its first row (beside the window when it holds sorted rows); does
    // nothing once the connection is closed.
    void reset();
};

// The rows of a snapshot, read as they are walked: the engine's statement stays on the newest row
// read and a field is decoded when it is asked for, so a row of which one field is read costs
// one field. The row at the set's current position is kept whole when the statement moves past
// it (probing for a next row loses nothing); a move further back runs the query again. Before the
// connection writes, settle() reads the rest of the rows into memory.
class SnapshotRows final : public PendingRead {
  public:
    // Runs the query and reads its first row; throws StoreError when it cannot run.
    SnapshotRows(std::shared_ptr<Connection> conn, std::string_view sql);
    ~SnapshotRows();
    SnapshotRows(const SnapshotRows&) = delete;
    SnapshotRows& operator=(const SnapshotRows&) = delete;

    const std::shared_ptr<const Columns>& columns() const { return columns_; }
    // True when position p holds a row; `current` is the set's position, kept whole if passed.
    bool has_row(long p, long current);
    // Field i of the row at p, for which has_row(p) was true last.
    const Value& field(long p, std::size_t i);
    // The rows read so far: the set's count once its end was reached.
    long rows_seen() const { return seen_; }
    void settle() override;

  private:
    using Row = std::vector<Value>;
    void start();
    void stop();
    Row whole_row();

    std::shared_ptr<Connection> conn_;
    StatementKey key_;
    std::unique_ptr<Statement> cursor_;
    std::shared_ptr<const Columns> columns_;
    bool pending_ = false;  // registered with the connection as a read in progress
    bool live_ = false;     // the statement is on the row at position stepped_
    bool at_end_ = false;
    long stepped_ = -1;
    long next_ = 0;  // the position of the next row the statement gives
    long seen_ = 0;
    Row values_;                 // fields of the live row decoded so far
    std::vector<char> decoded_;  // which of them
    long held_pos_ = -1;         // a row kept whole, at this position
    Row held_;
    std::vector<Row> settled_;  // after settle(): the rest of the rows, from settled_start_
    long settled_start_ = -1;
};

}  // namespace tillora::detail
