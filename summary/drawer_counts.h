// The drawer counts kept in KOVRAZ + unitstr + ".MDB", as the day page shows them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "panel/station.h"
#include "platform/value.h"

namespace tillora {

// One tender group of a stored count: what the system expected and what was counted.
struct CountedGroup {
    std::string label;
    Currency expected, counted;
    Currency difference() const { return counted - expected; }  // positive: over
};

struct DrawerCount {
    std::int64_t number = 0;
    std::int64_t date = 0;  // YYYYMMDD
    std::string time;       // HH:MM:SS
    std::string operator_id;
    Currency opening_bank;
    std::vector<CountedGroup> groups;  // Cash, Checks, Member Chg, Cards
    Currency expected() const;
    Currency counted() const;
    Currency difference() const { return counted() - expected(); }
};

// The counts stored with a count date in fromdate..todate, in count order; none when the database
// does not exist. Throws StoreError when it exists but cannot be read.
std::vector<DrawerCount> read_drawer_counts(Station& s);

}  // namespace tillora
