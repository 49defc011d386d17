// The fixed parts of a demo installation: the node file, the configuration record (the
// workstation's and the history copies), the employees and the empty databases.
#pragma once

#include <filesystem>
#include <string>

#include "tools/demo_sqlite.h"

namespace tillora::demo {

// Creates a database file and runs the table part of a schema file on it; the index part is
// returned for after the load.
SchemaParts create_tables(SqliteFile& db, const std::filesystem::path& schema_folder,
                          const std::string& schema_file);

// Writes ravonode.ini: POSUNIT, COMPUTERNAME, NODENUMBER and the absolute server and local
// folders with a trailing "/". Throws DemoError when the file cannot be written.
void write_node_file(const std::filesystem::path& folder, int unit, int node);

// kovraNN.mdb with one config row; offlinemode 1 when `offline`.
void create_config_db(const std::filesystem::path& path, const std::filesystem::path& schema,
                      bool offline);
// KOVRAH.MDB with config01 ... config10 (one row each, the workstation's own numbers).
void create_history_db(const std::filesystem::path& path, const std::filesystem::path& schema,
                       bool offline);
// kovraemp.mdb with the shop's employees.
void create_employee_db(const std::filesystem::path& path, const std::filesystem::path& schema);
// A database with the tables and indexes of a schema file and no rows (the report database).
void create_empty_db(const std::filesystem::path& path, const std::filesystem::path& schema,
                     const std::string& schema_file);

// Writes a whole text file. Throws DemoError when it cannot be written.
void write_text_file(const std::filesystem::path& path, const std::string& text);

}  // namespace tillora::demo
