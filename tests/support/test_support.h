// Shared fixtures of the test suites: a temporary installation with empty databases, a station
// with scripted answers, a fixed clock and the spool printer, and readers for what came out.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "panel/station.h"
#include "platform/clock.h"
#include "platform/printer.h"
#include "platform/store.h"
#include "platform/ui.h"

namespace tillora::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
// The lines of `text` without their line ends ("\n" or "\r\n").
std::vector<std::string> split_lines(const std::string& text);
std::vector<std::string> file_lines(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& text);
// The text of schema/<name> in the source tree.
std::string schema_text(const std::string& name);
// Creates a database file from schema/<schema> (e.g. "transactions.sql").
std::unique_ptr<Database> create_database(const std::filesystem::path& path,
                                          const std::string& schema);

// One row to insert: column name and value.
using Row = std::vector<std::pair<std::string, Value>>;
void insert_row(Database& db, const std::string& table, const Row& row);
// `row` with the columns of `more` appended (a later column overrides an earlier one).
Row with(Row row, const Row& more);

// Printed lines, messages shown, file names.
using Lines = std::vector<std::string>;

// A station on a temporary installation of workstation 03, node 3: KOVRAX03.MDB, RPT03.MDB,
// kovraemp.mdb, kovra03.mdb (empty tables), a shared folder "server/" with kovratmp.mdb and
// ravo.exe, the spool printer in "spool/", the clock fixed at 2020-09-04 14:37:05 and the
// module state as start-up leaves it (unitstr 03, rptdb, xactdb, mapdrive, localdrive,
// dashline/blankline of printer type 0). Date boxes 20200904, time boxes 00:00 to 23:59.
struct TestStation {
    TestStation();
    ~TestStation();

    TempDir dir;
    std::ostringstream shown;  // every box the scripted UI showed, one line each
    ScriptedUi ui{&shown};
    FixedClock clock{DateTime{2020, 9, 4, 14, 37, 5}};
    std::unique_ptr<SpoolPrinterSystem> printers;
    std::unique_ptr<Station> station;

    Station& s() { return *station; }
    ModuleState& st() { return station->st; }
    std::filesystem::path home() const { return dir.path(); }
    std::unique_ptr<Database> xact_db();
    std::unique_ptr<Database> report_db();

    // Inserts one xact line with sensible defaults (status 2, itemnumber 1, date 20200904,
    // time 12:00:00, amounts 0) overridden by `row`.
    void add_line(const Row& row);
    void add_lines(std::initializer_list<Row> rows);

    // The lines of every finished spool job, in job order.
    std::vector<std::vector<std::string>> jobs() const;
    // All lines of all finished jobs, one after the other.
    std::vector<std::string> printed() const;
    // The bytes of every finished spool job, in job order.
    std::vector<std::string> job_texts() const;
    // The lines of the close-out file.
    std::vector<std::string> closeout() const;
    // The boxes shown so far, one line each (MSGBOX ..., QUESTION ...).
    std::vector<std::string> boxes() const;
    // Switches to close-out mode (closeoutfile closeout03-20200904.txt).
    void enter_closeout_mode();
};

}  // namespace tillora::test
