// The demo installation generator: a complete installation folder of one workstation with
// realistic, seeded days of sales, for demonstrations, end-to-end tests and benchmarks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/command_line.h"

namespace tillora::demo {

// Every failure of the generator (bad option, folder not usable, database or file error),
// with a message for the person who ran it.
class DemoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct DemoOptions {
    std::filesystem::path folder;  // the installation folder, created (must be new or empty)
    int unit = 3;                  // workstation number 0-99 (POSUNIT)
    int node = -1;                 // node number 0-999 (NODENUMBER); -1: same as the unit
    int days = 7;                  // business days, one after the other
    int tickets = 40;              // tickets a day
    std::uint64_t seed = 1;        // the same seed gives the same installation
    int start = 20200901;          // first business day, YYYYMMDD
    bool offline = false;          // off-line workstation: offlinemode 1, no server/ravo.exe
    std::filesystem::path schema;  // folder of the schema files; empty: the built-in copy
};

// The command line of tillora-demo.
const ProgramSpec& demo_program();
// The options of a parsed command line; the sales end on `today` (YYYYMMDD) unless --end or
// --start is given. Throws UsageError naming the option when one is missing or out of range.
DemoOptions demo_options(const CommandLine& line, int today);
// parse_command_line and demo_options in one (without the program name).
DemoOptions parse_demo_options(const std::vector<std::string>& args, int today);

// Two-digit workstation text ("03") and the database and file names of an installation.
std::string unit_text(int unit);
std::string transaction_db_name(int unit);  // KOVRAX03.MDB
std::string config_db_name(int unit);       // kovra03.mdb
std::string report_db_name(int node);       // RPT03.MDB, RPT10.MDB
std::string audit_file_name(int unit);      // audit03.txt
std::string error_file_name(int unit);      // error03.txt

// What was made, for the closing summary.
struct DemoSummary {
    std::filesystem::path folder;
    int unit = 0;
    int node = 0;
    bool offline = false;
    int first_date = 0;
    int last_date = 0;
    int days = 0;
    int tickets_per_day = 0;
    long tickets = 0;
    long xact_lines = 0;
    long held_lines = 0;  // lines of held tickets in server/kovratmp.mdb
    long card_rows = 0;
    long audit_lines = 0;
    long error_lines = 0;
};

// Called with one line of progress after each month of sales.
using DemoProgress = std::function<void(const std::string&)>;

// Creates the installation folder with every file of a workstation: ravonode.ini, the
// configuration, employee, transaction and report databases, the shared server folder (held
// tickets, history database, back-office marker), the local folder, the audit and error files.
// Throws DemoError on bad options, a folder that exists and is not empty, or any write error.
DemoSummary make_demo_installation(const DemoOptions& options, const DemoProgress& progress = {});

// The closing summary: folder, unit, employees with their passwords, date range.
std::string summary_text(const DemoSummary& summary);

}  // namespace tillora::demo
