// The register simulator: a stand-in for the register program that keeps inserting ticket lines
// into xact and appending audit lines at a steady rate, timing every insert, so that the reports,
// the export and the close-out can be run beside a live register.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/command_line.h"

namespace tillora {

// A bad option, or an installation the simulator cannot use (no node file, no xact).
class RegisterError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct RegisterOptions {
    std::filesystem::path home;    // the installation folder (--home)
    int rate = 200;                // xact lines a second (--rate)
    double seconds = 0;            // run time (--seconds); 0: until stopped
    std::filesystem::path report;  // also write the summary here (--report)
    int date = 0;                  // business date YYYYMMDD of the lines (--date); 0: today
    std::filesystem::path churn;   // --churn FILE: hold tickets, close and void; log changes
};

// The command line of tillora-register.
const ProgramSpec& register_program();
// The options of a parsed command line. Throws UsageError naming the option when a value is out
// of range or --home is missing.
RegisterOptions register_options(const CommandLine& line);
// parse_command_line and register_options in one (arguments without the program name).
RegisterOptions parse_register_options(const std::vector<std::string>& args);

// What a run did. Latencies are of single insert transactions, in milliseconds.
struct RegisterStats {
    long lines = 0;                   // xact lines inserted (committed)
    long audit_lines = 0;             // audit lines appended
    long busy_errors = 0;             // inserts that failed with "database is busy/locked"
    long other_errors = 0;            // any other failed insert or audit append
    std::vector<std::string> errors;  // the first few error messages
    double worst_ms = 0;
    double p99_ms = 0;
    double median_ms = 0;
    long closed = 0;                 // tickets closed (churn)
    long voided = 0;                 // lines voided (churn)
    std::int64_t first_chitnum = 0;  // poschitnum of the first and last inserted line
    std::int64_t last_chitnum = 0;
    double seconds = 0;  // how long it ran
};

// Waits until the given time; returns true when the run must stop now (a signal arrived).
using RegisterPause = std::function<bool(std::chrono::steady_clock::time_point)>;

// Inserts lines into the installation's xact (WAL mode, busy timeout, one short write
// transaction a line; every line's saletext is "register-sim") and appends one audit line per
// xact line (open, append, close), at options.rate until options.seconds have passed or `pause`
// says stop. Failed inserts are counted, not retried. With options.churn the lines go in as held
// tickets (status 1): each ticket is closed (status 2 on its lines not voided) once four more
// tickets have followed it; every third ticket has a line voided (-12) while it is held, and
// every third ticket closed a line voided just after its close. Every change that commits is
// logged to the churn file as "close TICKET" or "void POSCHITNUM". Throws RegisterError when the
// node file, the transaction database or the churn file cannot be opened.
RegisterStats run_register(const RegisterOptions& options, const RegisterPause& pause = {});

// The summary: one "name: value" line each, the errors last.
std::string register_summary(const RegisterStats& stats);

}  // namespace tillora
