// The demo generator's own thin layer over SQLite: create a database file from the schema
// text, run statements, and insert rows fast with prepared statements.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tillora::demo {

// The statements of a schema file, split into the table part and the index part, so that the
// indexes can be built after the bulk load.
struct SchemaParts {
    std::vector<std::string> tables;   // every statement that is not CREATE INDEX
    std::vector<std::string> indexes;  // CREATE [UNIQUE] INDEX statements
};

// Splits a schema script at ";" after dropping "--" comments.
SchemaParts split_schema(std::string_view script);

// The text of a schema file ("transactions.sql" ...): read from `folder` when it is not
// empty, otherwise the copy compiled into the program. Throws DemoError when it is missing.
std::string schema_text(const std::filesystem::path& folder, std::string_view file);

// One database file, created when missing, loaded without a journal and put into WAL mode by
// finish(). Throws DemoError on any failure.
class SqliteFile {
  public:
    explicit SqliteFile(const std::filesystem::path& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    // Ends the load: builds the schema's indexes and puts the file into WAL mode, as the
    // register's databases are.
    void finish(const SchemaParts& schema);
    // Runs one or more statements that return no rows.
    void exec(const std::string& sql);
    // Runs statements one at a time (a schema part).
    void exec_all(const std::vector<std::string>& statements);
    // The open SQLite handle and the file's path (for statements and messages).
    sqlite3* handle() { return db_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    sqlite3* db_ = nullptr;
    std::filesystem::path path_;
};

// A prepared "insert into table (columns) values (?, ...)". Bind every column by position
// (0-based), then insert(). Throws DemoError when the statement cannot be prepared or run.
class InsertStatement {
  public:
    InsertStatement(SqliteFile& db, const std::string& table,
                    const std::vector<std::string>& columns);
    ~InsertStatement();
    InsertStatement(const InsertStatement&) = delete;
    InsertStatement& operator=(const InsertStatement&) = delete;

    void bind_int(int column, std::int64_t value);
    void bind_real(int column, double value);
    // Money from whole cents, stored as an ordinary two-decimal value (12.34).
    void bind_money(int column, std::int64_t cents);
    // The text must stay unchanged until insert() returns.
    void bind_text(int column, const std::string& value);
    void bind_null(int column);
    // Stores the row and clears the bindings.
    void insert();

  private:
    SqliteFile& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace tillora::demo
