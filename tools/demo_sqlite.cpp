#include "tools/demo_sqlite.h"

#include <sqlite3.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <utility>

#include "tools/demo_data.h"

namespace tillora::demo {

// The schema files compiled into the program (generated from schema/*.sql by the build).
extern const std::pair<const char*, const char*> kEmbeddedSchema[];
extern const int kEmbeddedSchemaCount;

namespace {

std::string without_comments(std::string_view script) {
    std::string out;
    out.reserve(script.size());
    std::size_t pos = 0;
    while (pos < script.size()) {
        std::size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        std::string_view line = script.substr(pos, end - pos);
        const std::size_t dash = line.find("--");
        if (dash != std::string_view::npos) line = line.substr(0, dash);
        out.append(line);
        out.push_back('\n');
        pos = end + 1;
    }
    return out;
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

bool is_index_statement(const std::string& statement) {
    std::istringstream words(statement);
    std::string w1, w2, w3;
    words >> w1 >> w2 >> w3;
    for (std::string* w : {&w1, &w2, &w3}) {
        for (char& c : *w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return w1 == "CREATE" && (w2 == "INDEX" || (w2 == "UNIQUE" && w3 == "INDEX"));
}

[[noreturn]] void fail(sqlite3* db, const std::filesystem::path& path, const std::string& what) {
    throw DemoError("Cannot " + what + " in " + path.string() + ": " +
                    (db ? sqlite3_errmsg(db) : "out of memory"));
}

}  // namespace

SchemaParts split_schema(std::string_view script) {
    SchemaParts parts;
    std::istringstream in(without_comments(script));
    std::string statement;
    while (std::getline(in, statement, ';')) {
        statement = trimmed(statement);
        if (statement.empty()) continue;
        (is_index_statement(statement) ? parts.indexes : parts.tables).push_back(statement);
    }
    return parts;
}

std::string schema_text(const std::filesystem::path& folder, std::string_view file) {
    if (!folder.empty()) {
        const auto path = folder / std::string(file);
        std::ifstream in(path, std::ios::binary);
        if (!in) throw DemoError("The schema file " + path.string() + " cannot be read.");
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    for (int i = 0; i < kEmbeddedSchemaCount; ++i) {
        if (file == kEmbeddedSchema[i].first) return kEmbeddedSchema[i].second;
    }
    throw DemoError("The schema file " + std::string(file) + " is not part of this program.");
}

SqliteFile::SqliteFile(const std::filesystem::path& path) : path_(path) {
    const int rc =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw DemoError("Cannot create " + path.string() + ": " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
    // Loading a new file needs neither a journal nor syncing: a run that fails leaves a file
    // that is thrown away anyway. finish() puts the file into WAL mode like the register's.
    exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536;");
}

void SqliteFile::finish(const SchemaParts& schema) {
    exec_all(schema.indexes);
    exec("PRAGMA journal_mode=WAL;");
}

SqliteFile::~SqliteFile() {
    sqlite3_close(db_);
}

void SqliteFile::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string why = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw DemoError("Cannot run \"" + sql.substr(0, 60) + "\" in " + path_.string() + ": " +
                        why);
    }
}

void SqliteFile::exec_all(const std::vector<std::string>& statements) {
    for (const auto& statement : statements) exec(statement);
}

InsertStatement::InsertStatement(SqliteFile& db, const std::string& table,
                                 const std::vector<std::string>& columns)
    : db_(db) {
    std::string names;
    std::string marks;
    for (const auto& column : columns) {
        names += (names.empty() ? "" : ", ") + column;
        marks += marks.empty() ? "?" : ", ?";
    }
    const std::string sql = "insert into " + table + " (" + names + ") values (" + marks + ")";
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
        fail(db.handle(), db.path(), "prepare \"" + sql.substr(0, 60) + "\"");
    }
}

InsertStatement::~InsertStatement() {
    sqlite3_finalize(stmt_);
}

void InsertStatement::bind_int(int column, std::int64_t value) {
    sqlite3_bind_int64(stmt_, column + 1, value);
}

void InsertStatement::bind_real(int column, double value) {
    sqlite3_bind_double(stmt_, column + 1, value);
}

void InsertStatement::bind_money(int column, std::int64_t cents) {
    sqlite3_bind_double(stmt_, column + 1, static_cast<double>(cents) / 100.0);
}

void InsertStatement::bind_text(int column, const std::string& value) {
    sqlite3_bind_text(stmt_, column + 1, value.data(), static_cast<int>(value.size()),
                      SQLITE_STATIC);
}

void InsertStatement::bind_null(int column) {
    sqlite3_bind_null(stmt_, column + 1);
}

void InsertStatement::insert() {
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    if (rc != SQLITE_DONE) fail(db_.handle(), db_.path(), "insert a row");
}

}  // namespace tillora::demo
