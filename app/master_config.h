// The master configuration record of the workstation: table config of kovraNN.mdb, or on the
// master node table config01 ... config10 of the shared KOVRAH.MDB.
#pragma once

#include <cstdint>
#include <string>

#include "app/module_state.h"
#include "app/services.h"
#include "platform/store.h"

namespace tillora {

// The values of one configuration record that this program keeps.
struct MasterConfig {
    std::int32_t session = 0;
    std::int16_t empvalmethod = 0;
    std::int16_t offlinemode = 0;
    std::int16_t localprinter = 0;
    std::int16_t printertype = 0;
    double arglsrvchg = 0;
    std::int16_t newemp = 0;
};

// Reads the current record of `rs`: every configuration field in its order (a missing field
// throws StoreError), empty numeric fields as 0, printertype from the 16th character of regflags.
MasterConfig read_config_record(const Recordset& rs);

// The receipt printer type from regflags: its 16th character as a digit, otherwise 0.
std::int16_t printer_type_from_regflags(const std::string& regflags);

// On the master node: asks "Type the workstation # to configure and click OK. (1-10)" until
// the answer is a whole number from 1 to 10 and sets unitstr to it ("3"). Gives up after
// kMaxWorkstationAsks answers (or at once when nobody can answer) and returns false.
bool ask_workstation_number(ModuleState& st, Services& svc);
inline constexpr int kMaxWorkstationAsks = 10;

// Loads the master configuration into the module state (dbpath and sqlstring too). A missing
// file shows "The configuration file for Kovra unit NN is missing." (critical, "Oops..."); a
// database error shows "Oops..." with the database and the engine's message. In both cases the
// configuration values keep what they held. Returns true when a record was loaded.
bool load_master_config(ModuleState& st, Services& svc);

// The "Oops..." text of a database error: the database file and the engine's message.
std::string database_error_text(const StoreError& e);

}  // namespace tillora
