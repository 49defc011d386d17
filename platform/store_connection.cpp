// One SQLite connection: opening and checking the file, the per-connection settings, the
// prepared-statement cache, and running statements and queries.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <system_error>

#include "platform/store_detail.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tillora::detail {
namespace {

constexpr int kObjectInvalid = 3420;
constexpr int kTooManyStatements = 3142;
constexpr int kBusyTimeoutMs = 5000;

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}
bool is_currency_type(const char* decl) {
    return decl != nullptr && lowered(decl) == "currency";
}

std::uint32_t big_endian(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

// True when the file carries a valid database header whose page count needs more bytes than the
// file has, and no write-ahead log could hold the missing pages: the file was cut short.
bool truncated_database(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, 100> h{};
    if (!in.read(reinterpret_cast<char*>(h.data()), h.size())) return false;
    static constexpr char kMagic[] = "SQLite format 3";
    if (!std::equal(kMagic, kMagic + 16, h.begin())) return false;
    std::uint64_t page_size = big_endian(&h[16], 2);
    if (page_size == 1) page_size = 65536;
    const std::uint64_t pages = big_endian(&h[28], 4);
    const bool pages_valid = pages != 0 && big_endian(&h[24], 4) == big_endian(&h[92], 4);
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec || !pages_valid || size >= page_size * pages) return false;
    const auto wal_size = fs::file_size(fs::path(path.string() + "-wal"), ec);
    return ec || wal_size == 0;
}

void bind_value(sqlite3_stmt* stmt, int index, const Value& v, int& rc) {
    const auto& d = v.data();
    if (const auto* i = std::get_if<std::int64_t>(&d)) {
        rc = sqlite3_bind_int64(stmt, index, *i);
    } else if (const auto* f = std::get_if<double>(&d)) {
        rc = sqlite3_bind_double(stmt, index, *f);
    } else if (const auto* c = std::get_if<Currency>(&d)) {
        rc = sqlite3_bind_double(stmt, index, c->to_double());
    } else if (const auto* s = std::get_if<std::string>(&d)) {
        // Not copied: every value bound outlives the statement's use (see Statement).
        rc = sqlite3_bind_text(stmt, index, s->data(), static_cast<int>(s->size()), SQLITE_STATIC);
    } else {
        rc = sqlite3_bind_null(stmt, index);
    }
}

}  // namespace

std::size_t NameHash::operator()(std::string_view name) const {
    std::size_t h = 14695981039346656037ull;
    for (char c : name) h = (h ^ static_cast<unsigned char>(lower(c))) * 1099511628211ull;
    return h;
}

bool NameEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::size_t Columns::find(std::string_view name) const {
    const auto it = index.find(name);
    return it == index.end() ? npos : it->second;
}

Value column_value(sqlite3_stmt* stmt, int i, bool currency) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            return Value::null();
        case SQLITE_INTEGER: {
            const std::int64_t v = sqlite3_column_int64(stmt, i);
            if (currency && v > -900000000000000 && v < 900000000000000) {
                return Currency{v * 10000};
            }
            return Value(v);
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(stmt, i);
            if (currency) {
                if (auto c = to_currency(d)) return *c;
            }
            return Value(d);
        }
        default: {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            std::string text(bytes ? bytes : "", sqlite3_column_bytes(stmt, i));
            make_utf8(text);  // a register that writes Windows-1252 text
            return Value(std::move(text));
        }
    }
}

namespace {
// True when the statement sorts its rows with the engine's sorter (an ORDER BY, GROUP BY or
// DISTINCT that no index gives): it then reads and sorts every row in its first step. Only
// statements that ask for an order are explained.
bool sorts_rows(sqlite3* db, sqlite3_stmt* stmt) {
    std::string text = sqlite3_sql(stmt);
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (lower.find("order by") == std::string::npos &&
        lower.find("group by") == std::string::npos &&
        lower.find("distinct") == std::string::npos) {
        return false;
    }
    sqlite3_stmt* plan = nullptr;
    text = "explain " + text;
    if (sqlite3_prepare_v2(db, text.c_str(), -1, &plan, nullptr) != SQLITE_OK) {
        sqlite3_finalize(plan);
        return false;
    }
    bool sorts = false;
    while (!sorts && sqlite3_step(plan) == SQLITE_ROW) {
        const auto* opcode = reinterpret_cast<const char*>(sqlite3_column_text(plan, 1));
        sorts = opcode != nullptr && std::string_view(opcode) == "SorterOpen";
    }
    sqlite3_finalize(plan);
    return sorts;
}

std::shared_ptr<const Columns> read_columns(sqlite3_stmt* stmt) {
    auto cols = std::make_shared<Columns>();
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        const char* origin = sqlite3_column_origin_name(stmt, i);
        cols->names.emplace_back(name ? name : "");
        cols->currency.push_back(is_currency_type(sqlite3_column_decltype(stmt, i)));
        cols->origins.emplace_back(origin ? origin : "");
        cols->index.emplace(cols->names.back(), cols->names.size() - 1);
    }
    return cols;
}
}  // namespace

namespace {
const Value& bound(const Value& v) {
    return v;
}
const Value& bound(const Value* v) {
    return *v;
}
}  // namespace

Statement::Statement(Connection& conn, const StatementKey& key, const std::vector<Value>& extra)
    : conn_(conn) {
    prepare(key);
    bind(key, extra);
}

Statement::Statement(Connection& conn, const StatementKey& key,
                     const std::vector<const Value*>& extra)
    : conn_(conn) {
    prepare(key);
    bind(key, extra);
}

void Statement::prepare(const StatementKey& key) {
    if (key.cacheable) {
        Connection::Cached& entry = conn_.cached(key);
        sorts_ = entry.sorts;
        if (!entry.in_use) {
            entry_ = &entry;
            entry.in_use = true;
            stmt_ = entry.stmt;
        }
    }
    if (stmt_ == nullptr) {
        stmt_ = conn_.prepare_text(key.text);
        if (!key.cacheable) sorts_ = sorts_rows(conn_.handle(), stmt_);
    }
}

template <class Extra>
void Statement::bind(const StatementKey& key, const Extra& extra) {
    int index = 1;
    const auto bind_one = [&](const Value& v) {
        int rc = SQLITE_OK;
        bind_value(stmt_, index++, v, rc);
        if (rc != SQLITE_OK) {
            release();
            conn_.fail();
        }
    };
    for (const Value& v : key.params) bind_one(v);
    for (const auto& v : extra) bind_one(bound(v));
}

Statement::~Statement() {
    release();
}

bool Statement::step() {
    if (stmt_ == nullptr) conn_.fail(kObjectInvalid, "Object invalid or no longer set.");
    const int rc = conn_.step(stmt_, sorts_ && !stepped_);
    stepped_ = true;
    if (rc == SQLITE_ROW) return true;
    ended_ = true;
    if (rc == SQLITE_DONE) return false;
    conn_.fail(sqlite3_extended_errcode(conn_.db), sqlite3_errmsg(conn_.db));
}

void Statement::restart() {
    if (stmt_ != nullptr) reset();
    stepped_ = false;
    ended_ = false;
}

void Statement::reset() {
    if (!conn_.is_open()) return;  // closing finalized the cached statements
    // Left before its end, a statement that sorted frees its sorted rows here (tens of
    // milliseconds for a year's): the window repaints meanwhile.
    if (sorts_ && stepped_ && !ended_) {
        try {
            conn_.beside([this] { sqlite3_reset(stmt_); });
        } catch (...) {
            // The window's trouble must not keep the statement running: it is reset below.
        }
    }
    sqlite3_reset(stmt_);
}

void Statement::release() {
    if (stmt_ == nullptr) return;
    reset();
    if (entry_ == nullptr) {
        sqlite3_finalize(stmt_);  // also after close: the engine frees the connection then
    } else if (conn_.is_open()) {
        sqlite3_clear_bindings(stmt_);
        entry_->in_use = false;
    }
    stmt_ = nullptr;
    entry_ = nullptr;
}

std::shared_ptr<const Columns> Statement::columns() {
    if (entry_ == nullptr) {
        if (!columns_) columns_ = read_columns(stmt_);
        return columns_;
    }
    const int prepares = sqlite3_stmt_status(stmt_, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (!entry_->columns || entry_->prepares != prepares) {
        entry_->columns = read_columns(stmt_);
        entry_->prepares = prepares;
    }
    return entry_->columns;
}

Connection::~Connection() {
    close(true);
}

std::shared_ptr<Connection> Connection::open(const fs::path& path, OpenMode mode,
                                             Durability durability) {
    auto c = std::make_shared<Connection>();
    c->path = path;
    c->name = path.filename().string();
    c->durability = durability;
    std::error_code ec;
    if (mode == OpenMode::Existing && !fs::exists(path, ec)) {
        c->fail(kMissingDatabase, "Could not find file '" + path.string() + "'.");
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::Create) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.string().c_str(), &c->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = c->db ? sqlite3_errmsg(c->db) : sqlite3_errstr(rc);
        sqlite3_close(c->db);
        c->db = nullptr;
        c->fail(rc, message + ": '" + path.string() + "'");
    }
    sqlite3_extended_result_codes(c->db, 1);
    sqlite3_busy_timeout(c->db, kBusyTimeoutMs);
    // A cheap read of the schema: a file that is not a database fails here, not later.
    c->query("select count(*) from sqlite_master");
    c->end_read();
    if (mode == OpenMode::Existing && truncated_database(path)) {
        c->fail(SQLITE_CORRUPT, "database disk image is malformed (the file is cut short)");
    }
    sqlite3_exec(c->db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);  // fails read-only
    c->exec_simple(durability == Durability::Scratch ? "PRAGMA synchronous=OFF"
                                                     : "PRAGMA synchronous=NORMAL");
    // The work database is rewritten by every report: its log is copied into the file by the
    // commits as it grows, not all at once when a large report closes it.
    if (durability == Durability::Scratch) {
        sqlite3_db_config(c->db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    // 8 MB of pages per connection: the per-ticket look-ups of a long range revisit the same
    // index pages, which then need no read from the file.
    c->exec_simple("PRAGMA cache_size=-8192");
    if (register_exact_sum(c->db) != SQLITE_OK) c->fail();
    return c;
}

void Connection::close(bool quiet) {
    if (db == nullptr) return;
    end_read();
    bool committed = true;
    std::string message;
    int code = SQLITE_OK;
    const auto close_engine = [&] {
        // Pending scratch writes are kept; a transaction begun explicitly and never ended is not.
        if (!sqlite3_get_autocommit(db) && durability == Durability::Normal) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        } else if (!sqlite3_get_autocommit(db)) {
            if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
                committed = false;
                code = sqlite3_extended_errcode(db);
                message = sqlite3_errmsg(db);
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
        }
        finalize_all();
        sqlite3_close_v2(db);
        db = nullptr;
    };
    // Freeing a large page cache, a last commit or the checkpoint of the log take tens of
    // milliseconds at the end of a long report: the window repaints meanwhile.
    try {
        beside(close_engine);
    } catch (...) {
        // The window's trouble must not keep the database open.
    }
    if (db != nullptr) close_engine();
    if (!committed && !quiet) fail(code, message);
}

sqlite3* Connection::handle() const {
    if (db == nullptr) fail(kObjectInvalid, "Object invalid or no longer set.");
    return db;
}

void Connection::fail() const {
    if (db == nullptr) fail(kObjectInvalid, "Object invalid or no longer set.");
    fail(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
}

void Connection::fail(int code, const std::string& message) const {
    throw StoreError(code, message, name);
}

void Connection::exec_simple(const char* sql) {
    if (sqlite3_exec(handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
}

sqlite3_stmt* Connection::prepare_text(const std::string& text) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(handle(), text.c_str(), static_cast<int>(text.size()), &stmt, &tail);
    if (rc != SQLITE_OK) fail();
    if (stmt == nullptr) fail(SQLITE_MISUSE, "The statement is empty.");
    for (; tail != nullptr && *tail != '\0'; ++tail) {
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') {
            sqlite3_finalize(stmt);
            fail(kTooManyStatements, "Characters found after end of SQL statement.");
        }
    }
    return stmt;
}

Connection::Cached& Connection::cached(const StatementKey& key) {
    if (auto it = cache_.find(key.text); it != cache_.end()) {
        lru_.splice(lru_.begin(), lru_, it->second.lru);
        return it->second;
    }
    sqlite3_stmt* stmt = prepare_text(key.text);
    if (cache_.size() >= kCacheSize) {
        // The least recently used statement that no open set is reading goes.
        for (auto victim = lru_.end(); victim != lru_.begin();) {
            --victim;
            auto entry = cache_.find(*victim);
            if (entry->second.in_use) continue;
            sqlite3_finalize(entry->second.stmt);
            cache_.erase(entry);
            lru_.erase(victim);
            break;
        }
    }
    lru_.push_front(key.text);
    Cached& entry = cache_[key.text];
    entry.stmt = stmt;
    entry.sorts = sorts_rows(handle(), stmt);
    entry.lru = lru_.begin();
    return entry;
}

void Connection::finalize_all() {
    for (auto& [text, entry] : cache_) sqlite3_finalize(entry.stmt);
    cache_.clear();
    lru_.clear();
}

void Connection::set_heartbeat(std::function<void()> beat, Database::BesideRunner beside) {
    heartbeat_ = std::move(beat);
    beside_ = std::move(beside);
    window_thread_ = std::this_thread::get_id();
    sqlite3_progress_handler(handle(), heartbeat_ ? kProgressInstructions : 0,
                             heartbeat_ ? &Connection::on_progress : nullptr, this);
}

int Connection::step(sqlite3_stmt* stmt, bool long_first_step) {
    if (!long_first_step) return sqlite3_step(stmt);
    int rc = SQLITE_OK;
    beside([&] { rc = sqlite3_step(stmt); });
    return rc;
}

void Connection::beside(const std::function<void()>& work) {
    // Work already beside the window (or without one) runs where it is.
    if (beside_ && std::this_thread::get_id() == window_thread_) {
        beside_(work);
    } else {
        work();
    }
}

int Connection::on_progress(void* connection) {
    auto& c = *static_cast<Connection*>(connection);
    // A step run beside the window: the window's thread repaints on its own meanwhile.
    if (std::this_thread::get_id() != c.window_thread_) return 0;
    const auto now = std::chrono::steady_clock::now();
    if (now - c.last_beat_ < kHeartbeatInterval) return 0;
    c.last_beat_ = now;
    try {
        c.heartbeat_();
    } catch (...) {
        // The window's trouble must not end the engine's step.
    }
    return 0;  // never interrupts the statement
}

void Connection::add_pending(PendingRead* read) {
    pending_.push_back(read);
}

void Connection::remove_pending(PendingRead* read) {
    std::erase(pending_, read);
}

void Connection::settle_reads() {
    while (!pending_.empty()) {
        PendingRead* read = pending_.back();
        read->settle();
        remove_pending(read);
    }
}

std::uint32_t Connection::data_version() const {
    unsigned int version = 0;
    if (sqlite3_file_control(handle(), "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK) {
        fail();
    }
    return version;
}

bool Connection::begin_write() {
    if (!sqlite3_get_autocommit(handle())) return false;
    settle_reads();
    run_cached("BEGIN IMMEDIATE");
    return true;
}

void Connection::end_write(bool opened, bool ok) {
    if (db == nullptr || sqlite3_get_autocommit(db)) return;  // the engine ended it already
    if (!ok) {
        // A failed statement is undone by the engine; a batch of scratch writes stays pending.
        if (opened && durability == Durability::Normal) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        return;
    }
    if (!opened || durability == Durability::Scratch) return;
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_extended_errcode(db);
        const std::string message = sqlite3_errmsg(db);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        fail(code, message);
    }
}

void Connection::run_cached(const char* sql) {
    Statement statement(*this, StatementKey{sql, {}, true, false});
    statement.step();
}

void Connection::begin_read() {
    if (reading_ || !sqlite3_get_autocommit(db)) return;
    run_cached("BEGIN");
    reading_ = true;
    read_began_ = std::chrono::steady_clock::now();
}

void Connection::end_read() {
    if (!reading_) return;
    reading_ = false;
    if (db == nullptr || sqlite3_get_autocommit(db)) return;
    try {
        run_cached("COMMIT");
    } catch (const StoreError&) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Connection::run(std::string_view sql, const std::vector<Value>& extra_params) {
    run(parametrise(sql), extra_params);
}

void Connection::run(const StatementKey& key, const std::vector<Value>& extra_params) {
    end_read();  // writes, explicit transactions and pragmas run outside the read transaction
    settle_reads();
    Statement statement(*this, key, extra_params);
    run_to_end(statement, key);
}

void Connection::run(const StatementKey& key, const std::vector<const Value*>& extra_params) {
    end_read();
    settle_reads();
    Statement statement(*this, key, extra_params);
    run_to_end(statement, key);
}

void Connection::run_to_end(Statement& statement, const StatementKey& key) {
    const bool writes = key.transactional && !sqlite3_stmt_readonly(statement.handle());
    const bool opened = writes && begin_write();
    try {
        while (statement.step()) {
        }
    } catch (...) {
        if (writes) end_write(opened, false);
        throw;
    }
    if (writes) end_write(opened, true);
}

void Connection::begin_query(const StatementKey& key, sqlite3_stmt* stmt) {
    if (key.transactional && sqlite3_stmt_readonly(stmt)) begin_read();
}

ResultRows Connection::query(std::string_view sql, const std::vector<Value>& extra_params) {
    return query(parametrise(sql), extra_params);
}

ResultRows Connection::query(const StatementKey& key, const std::vector<Value>& extra_params) {
    Statement statement(*this, key, extra_params);
    begin_query(key, statement.handle());
    ResultRows out;
    out.columns = statement.columns();
    const auto& currency = out.columns->currency;
    const int count = static_cast<int>(currency.size());
    while (statement.step()) {
        std::vector<Value> row;
        row.reserve(count);
        for (int i = 0; i < count; ++i) {
            row.push_back(column_value(statement.handle(), i, currency[i]));
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

void Connection::idle() {
    // A read transaction younger than the commit interval is kept: a report idles after every
    // ticket, and ending and beginning the read each time costs more than the few milliseconds
    // it would free the register's checkpoint earlier.
    const auto now = std::chrono::steady_clock::now();
    if (!reading_ || now - read_began_ >= kScratchCommitInterval) end_read();
    if (db == nullptr || sqlite3_get_autocommit(db)) return;
    if (durability != Durability::Scratch) return;
    if (now - last_commit_ < kScratchCommitInterval) return;
    run_cached("COMMIT");
    last_commit_ = now;
}

}  // namespace tillora::detail
