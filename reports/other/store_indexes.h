// The indexes of the transaction database that a store made before them lacks.
#pragma once

#include <string>
#include <vector>

#include "platform/store.h"

namespace tillora {

// The names of the indexes that `schema` creates ("CREATE INDEX IF NOT EXISTS <name> ON <table>")
// on a table the database holds and that the database does not hold. Throws StoreError.
std::vector<std::string> missing_indexes(Database& db, const std::string& schema);

// The indexes of schema/transactions.sql that the transaction database `db` lacks on the tables
// it holds. Throws StoreError.
std::vector<std::string> missing_store_indexes(Database& db);

// Builds the indexes of schema/transactions.sql that the transaction database `db` lacks on the
// tables it holds, each in a write transaction of its own; a store that has them all is not
// written to. Returns the names built. Throws StoreError (an index not built is built by the
// next run).
std::vector<std::string> add_missing_indexes(Database& db);

}  // namespace tillora
