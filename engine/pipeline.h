// The gather side of every report: the report guard, the range filter, the sums, the per-report
// reset and what happens when a database fails during a gather step.
#pragma once

#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <set>
#include <string>

#include "panel/station.h"
#include "platform/store.h"

namespace tillora {

// The report guard: while a report runs, shows "Please wait for current report to complete."
// (title "Printer...") and returns false; otherwise sets reportbusy to 1 and returns true.
bool report_guard(Station& s);

// Puts a text into the status box helpwindow.
void show_status(Station& s, const std::string& text);

// fromdate and todate from the numeric values of the date boxes as they stand.
void take_dates(Station& s);

// The operator's number: the numeric value of the text of txtempid.
IdNumber operator_number(const Station& s);
// The operator's number as the statements write it (plain decimal).
std::string operator_text(const Station& s);

// A key read from the store (ticket, server, item number, tender type) as a statement writes
// it: its numeric value in plain decimal, a text as the numeric value of its leading number, so
// that what the store holds never becomes statement text. Null and empty give "null".
std::string sql_key(const Value& key);
// "<column> = <sql_key>", or "<column> is null" for a null key.
std::string key_condition(const std::string& column, const Value& key);

// The keys of a "select distinct" as statements write them, each given once: a text key with
// the numeric value of another key stands for that key's lines, not for a second row.
class DistinctKeys {
  public:
    // sql_key of the key the first time its number comes; nullopt for a repeat.
    std::optional<std::string> first(const Value& key);

  private:
    using Keys = std::pmr::set<std::pmr::string>;
    // The keys and their tree live in large blocks freed at once with the pool; the tree is
    // never walked to free its nodes one by one (a year's 365,000 ticket numbers freed that
    // way kept the window from repainting for 20 ms at the end of the list).
    std::pmr::monotonic_buffer_resource pool_;
    Keys& seen_ = *std::pmr::polymorphic_allocator<Keys>(&pool_).new_object<Keys>();
};

// " and poschitdate between F and T and trantime between 'HH:MM:00' and 'HH:MM:59'"
std::string range_filter(const ModuleState& st);
// " and poschitdate between F and T"
std::string date_filter(const ModuleState& st);
// A ticket or server selection ends with the range filter whose last "'" is replaced by
// "' order by <key>".
std::string range_filter_ordered(const ModuleState& st, const std::string& key);

// First field of a sum query as money; a null sum (no matching line) gives 0.
Currency sum_or_zero(Database& db, const std::string& sql);
// True and the sum when the query's first field is not null.
bool sum_if_not_null(Database& db, const std::string& sql, Currency& out);

// The report databases of the station. Throw StoreError when the file is missing or damaged.
std::unique_ptr<Database> open_report_db(Station& s);       // rptdb, scratch writes
std::unique_ptr<Database> open_transaction_db(Station& s);  // xactdb
std::unique_ptr<Database> open_database_at(Station& s, const std::string& name);

// Per-report reset: clears linebase, linesrvchg, linetax, ticketnum, reqcode, reqparm4 (and
// empid when newemp is 1), then yields. Leaves reportbusy, the range and ar as they are.
void per_report_reset(Station& s);

// Runs one report's gather-and-print. A StoreError or FileError escaping it is reported with
// report_failure and reportbusy is cleared, so the next report can run. Returns false then.
bool run_report(Station& s, const std::string& report, const std::function<void()>& body);

// Records a report that could not run: one line in the close-out file (close-out mode) and one
// entry in Station::failures. Shows nothing.
void record_failure(Station& s, const std::string& report, const std::string& detail);

// One guarded report from end to end: the guard, the status text, verifydate and the dates, the
// gather (a failure is reported and nothing is printed), the print step, the per-report reset.
// `ready`, when given, runs after verifydate; when it returns false the report stops there (it
// has cleared the guard itself).
void run_guarded_report(Station& s, const std::string& status_text, const std::string& report,
                        const std::function<void()>& gather,
                        const std::function<void()>& print_step,
                        const std::function<bool()>& ready = {});

// A report that could not run: "Oops..." message box naming the report, the database and the
// engine's message; in the unattended run one line on standard error (through the UI) and one
// line in the close-out file. Recorded in Station::failures. Clears reportbusy.
void report_failure(Station& s, const std::string& report, const std::string& detail);

}  // namespace tillora
