// The kept drawer counts: KOVRAZ<unit>.MDB, table drawercount, one row per count numbered 1, 2,
// 3 ... per workstation. Counts are only ever added; the database refuses to change or remove one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "panel/count_screen.h"
#include "panel/station.h"

namespace tillora {

// One count as it is kept.
struct StoredCount {
    std::int64_t countno = 0;
    std::int32_t countdate = 0;  // YYYYMMDD
    std::string counttime;       // HH:MM:SS
    CountRange range;
    std::string empid;  // the operator ID as typed
    Currency openingbank;
    TenderGroups expected, counted;
};

// "KOVRAZ" + unitstr + ".MDB"
std::string drawer_db_name(const ModuleState& st);

// Stores `count` under the next number of the workstation (creating the database on the first
// count) and sets count.countno. Throws StoreError when the database cannot be opened or written
// (missing folder, full disk, locked or damaged file); nothing is stored then.
void store_count(Station& s, StoredCount& count);

// The count with the highest number; nullopt when no count was stored (no database yet).
// Throws StoreError when the database cannot be read.
std::optional<StoredCount> last_count(Station& s);

}  // namespace tillora
