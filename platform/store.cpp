// The store's databases: opening, statements, queries and scripts over SQLite.
#include "platform/store.h"

#include "platform/store_detail.h"

namespace tillora {

namespace {
std::string describe(int code, const std::string& message, const std::string& database) {
    std::string text = message;
    if (!database.empty()) text += " (" + database + ")";
    return text + " [" + std::to_string(code) + "]";
}
}  // namespace

StoreError::StoreError(int code, std::string message, std::string database)
    : std::runtime_error(describe(code, message, database)),
      code_(code),
      message_(std::move(message)),
      database_(std::move(database)) {}

StoreFailure failure_of(const StoreError& e) {
    if (e.code() == kMissingDatabase) return StoreFailure::Missing;
    if (e.code() >= 1000) return StoreFailure::Other;  // the store's own codes
    const std::string& message = e.engine_message();
    switch (e.code() & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return StoreFailure::Locked;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return StoreFailure::Damaged;
        case SQLITE_FULL:
            return StoreFailure::DiskFull;
        case SQLITE_PERM:
        case SQLITE_READONLY:
        case SQLITE_AUTH:
            return StoreFailure::NoPermission;
        case SQLITE_CANTOPEN:
            return StoreFailure::CannotOpen;
        case SQLITE_IOERR:
            return StoreFailure::DeviceError;
        case SQLITE_ERROR:
            if (message.rfind("no such table", 0) == 0) return StoreFailure::NoSuchTable;
            if (message.rfind("no such column", 0) == 0) return StoreFailure::NoSuchField;
            return StoreFailure::Other;
        default:
            return StoreFailure::Other;
    }
}

Database::Database(std::shared_ptr<detail::Connection> connection) : conn_(std::move(connection)) {}

std::unique_ptr<Database> Database::open(const std::filesystem::path& path, OpenMode mode,
                                         Durability durability) {
    return std::make_unique<Database>(detail::Connection::open(path, mode, durability));
}

Database::~Database() {
    if (conn_) conn_->close(true);
}

void Database::execute(std::string_view sql) {
    conn_->run(translate_dialect(sql));
}

void Database::idle() {
    conn_->idle();
}

void Database::set_heartbeat(std::function<void()> beat, BesideRunner beside) {
    conn_->set_heartbeat(std::move(beat), std::move(beside));
}

void Database::run_beside(const std::function<void()>& work) {
    conn_->beside(work);
}

void Database::close() {
    conn_->close(false);
}

const std::filesystem::path& Database::path() const {
    return conn_->path;
}

std::string Database::name() const {
    return conn_->name;
}

void execute_script(Database& db, const std::string& script) {
    auto& conn = *db.conn_;
    conn.end_read();
    conn.settle_reads();
    char* error = nullptr;
    if (sqlite3_exec(conn.handle(), script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(conn.db);
        sqlite3_free(error);
        conn.fail(sqlite3_extended_errcode(conn.db), message);
    }
}

}  // namespace tillora
