#include "tools/register_sim.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/module_state.h"
#include "app/node_file.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kBusyTimeoutMs = 5000;  // as the register waits for a reader's lock
constexpr int kLinesPerTicket = 4;    // three items and the tender line
constexpr std::size_t kKeptErrors = 5;

double number_option(const std::string& name, const std::string& text, double low, double high) {
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty() || value < low || value > high) {
        std::ostringstream why;
        why << name << " needs a number from " << low << " to " << high << ", not \"" << text
            << "\"";
        throw UsageError(why.str());
    }
    return value;
}

// The open transaction database with the prepared insert; closed by the destructor.
class XactWriter {
  public:
    explicit XactWriter(const fs::path& path) {
        if (!fs::exists(path)) throw RegisterError("no transaction database " + path.string());
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            fail("cannot open " + path.string());
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=NORMAL");
        next_ticket_ = max_of("ticket") + 1;
        next_chitnum_ = max_of("poschitnum") + 1;
        const char* sql =
            "insert into xact (ticket, poschitnum, server, itemnumber, status, postendtype, "
            "posbatch, poschitdate, trantime, poschitbase, poschitsrvchg, poschittax, "
            "poschittotal, posmemo, saletext, poschitemployee, poschitcovers) values "
            "(?, ?, 11, ?, ?, ?, '17', ?, ?, ?, 0, ?, ?, ?, 'register-sim', 11, 1)";
        if (sqlite3_prepare_v2(db_, sql, -1, &insert_, nullptr) != SQLITE_OK) {
            fail("cannot prepare the insert into xact");
        }
    }
    ~XactWriter() {
        sqlite3_finalize(insert_);
        sqlite3_close(db_);
    }
    XactWriter(const XactWriter&) = delete;
    XactWriter& operator=(const XactWriter&) = delete;

    // Inserts line `n` (from 0) of the run in one write transaction; returns the SQLite code.
    int insert(long n, int date, const std::string& time, int status) {
        const long ticket = next_ticket_ + n / kLinesPerTicket;
        const bool tender = n % kLinesPerTicket == kLinesPerTicket - 1;
        const double base = tender ? 0.0 : 1.25 * static_cast<double>(1 + n % 7);
        const double tax = tender ? 0.0 : 0.10;
        sqlite3_bind_int64(insert_, 1, ticket);
        sqlite3_bind_int64(insert_, 2, next_chitnum_ + n);
        sqlite3_bind_int(insert_, 3, tender ? -1 : 100 + static_cast<int>(n % 5));
        sqlite3_bind_int(insert_, 4, status);
        sqlite3_bind_int(insert_, 5, tender ? 1 : 0);
        sqlite3_bind_int(insert_, 6, date);
        sqlite3_bind_text(insert_, 7, time.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(insert_, 8, base);
        sqlite3_bind_double(insert_, 9, tax);
        sqlite3_bind_double(insert_, 10, tender ? 9.99 : base + tax);
        sqlite3_bind_text(insert_, 11, tender ? "Cash" : "Sim item", -1, SQLITE_STATIC);
        const int rc = sqlite3_step(insert_);
        sqlite3_reset(insert_);
        sqlite3_clear_bindings(insert_);
        return rc;
    }
    // Closes ticket k of the run (its lines not voided) or voids line n; returns the SQLite code.
    int close_ticket(long k) {
        return change("update xact set status = 2 where status > -10 and ticket = " +
                      std::to_string(next_ticket_ + k));
    }
    int void_line(long n) {
        return change("update xact set status = -12 where poschitnum = " +
                      std::to_string(next_chitnum_ + n));
    }
    std::int64_t chitnum(long n) const { return next_chitnum_ + n; }
    long ticket(long n) const { return next_ticket_ + n / kLinesPerTicket; }
    std::string message() const { return sqlite3_errmsg(db_); }

  private:
    [[noreturn]] void fail(const std::string& what) {
        throw RegisterError(what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
    }
    int change(const std::string& sql) {
        return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    }
    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
    }
    std::int64_t max_of(const std::string& column) {
        sqlite3_stmt* st = nullptr;
        const std::string sql = "select coalesce(max(" + column + "), 0) from xact";
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) fail(sql);
        std::int64_t value = 0;
        if (sqlite3_step(st) == SQLITE_ROW) value = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return value;
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    std::int64_t next_ticket_ = 1;
    std::int64_t next_chitnum_ = 1;
};

std::string two(int n) {
    return std::string(n < 10 ? "0" : "") + std::to_string(n);
}

// One open-append-close of the audit file, as the register writes it.
bool append_audit(const fs::path& file, const std::string& line) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0640);
    if (fd < 0) return false;
    const std::string text = line + "\r\n";
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

void note_error(RegisterStats& stats, const std::string& message) {
    if (stats.errors.size() < kKeptErrors) stats.errors.push_back(message);
}

// Tickets stay held while this many more follow them (churn mode).
constexpr long kHeldTickets = 4;

// The held tickets of a churn run: which change is due after line n, and the log of changes.
class Churn {
  public:
    explicit Churn(const fs::path& log) : log_(log, std::ios::app) {
        if (!log_) throw RegisterError("cannot write " + log.string());
    }
    // After line n was inserted: at the end of a ticket, voids the second line of every third
    // ticket while it is held, closes the ticket kHeldTickets back and voids the first line of
    // every third ticket closed, just after its close.
    template <typename Timed>
    void after_line(long n, XactWriter& xact, RegisterStats& stats, const Timed& timed) {
        if (n % kLinesPerTicket != kLinesPerTicket - 1) return;
        const long k = n / kLinesPerTicket;
        if (k % 3 == 0) voids(n - 2, xact, stats, timed);
        const long due = k - kHeldTickets;
        if (due < 0) return;
        if (timed([&] { return xact.close_ticket(due); })) {
            ++stats.closed;
            log_ << "close " << xact.ticket(due * kLinesPerTicket) << "\n" << std::flush;
        }
        if (due % 3 == 1) voids(due * kLinesPerTicket, xact, stats, timed);
    }

  private:
    template <typename Timed>
    void voids(long n, XactWriter& xact, RegisterStats& stats, const Timed& timed) {
        if (!timed([&] { return xact.void_line(n); })) return;
        ++stats.voided;
        log_ << "void " << xact.chitnum(n) << "\n" << std::flush;
    }
    std::ofstream log_;
};

void summarise_latencies(std::vector<double>& ms, RegisterStats& stats) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    stats.worst_ms = ms.back();
    stats.median_ms = ms[ms.size() / 2];
    stats.p99_ms = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

}  // namespace

const ProgramSpec& register_program() {
    static const ProgramSpec spec{
        "tillora-register",
        "",
        "Inserts ticket lines into the xact table of the installation in DIR and appends audit\n"
        "lines, at the rate, until SIGTERM/SIGINT or the seconds have passed; then prints how\n"
        "many lines went in, the worst and the 99th percentile insert latency and any busy or\n"
        "locked errors.\n",
        {{"home", 0, "DIR", "the installation folder (required)"},
         {"rate", 0, "LINES_PER_SECOND", "xact lines a second (default 200)"},
         {"seconds", 0, "N", "stop after N seconds (default: until stopped)"},
         {"report", 0, "FILE", "also write the summary to FILE"},
         {"date", 0, "YYYYMMDD", "business date of the lines (default today)"},
         {"churn", 0, "FILE",
          "hold the tickets, close each four tickets later, void a line of every third ticket "
          "while held and one just after a close; log each change to FILE (\"close TICKET\", "
          "\"void POSCHITNUM\")"}},
        0,
        0,
        "Exit status: 0 every insert went in; 1 an insert failed or the installation is not\n"
        "usable; 2 a bad option.\n"};
    return spec;
}

RegisterOptions register_options(const CommandLine& line) {
    RegisterOptions o;
    if (!line.has("home")) throw UsageError("--home DIR is required");
    o.home = line.value("home");
    o.report = line.value("report");
    o.churn = line.value("churn");
    if (line.has("rate"))
        o.rate = static_cast<int>(number_option("--rate", line.value("rate"), 1, 100000));
    if (line.has("seconds"))
        o.seconds = number_option("--seconds", line.value("seconds"), 0, 86400 * 7);
    if (line.has("date")) {
        o.date = static_cast<int>(number_option("--date", line.value("date"), 19000101, 29991231));
    }
    return o;
}

RegisterOptions parse_register_options(const std::vector<std::string>& args) {
    return register_options(parse_command_line(register_program(), args));
}

RegisterStats run_register(const RegisterOptions& options, const RegisterPause& pause) {
    ModuleState st;
    const fs::path node = options.home / kNodeFileName;
    if (!fs::exists(node)) throw RegisterError("no node file " + node.string());
    for (const std::string& item : read_items(node)) apply_node_item(st, item);
    derive_database_names(st);
    XactWriter xact(options.home / st.xactdb);
    const fs::path audit = options.home / ("audit" + st.unitstr + ".txt");

    SystemClock clock;
    const DateTime today = clock.now();
    const int date =
        options.date ? options.date : today.year * 10000 + today.month * 100 + today.day;
    const std::string audit_date =
        two(date / 100 % 100) + two(date % 100) + std::to_string(date / 10000);

    RegisterStats stats;
    std::vector<double> latencies;
    std::unique_ptr<Churn> churn;
    if (!options.churn.empty()) churn = std::make_unique<Churn>(options.churn);
    // Runs one write, timing it and counting a failure; true when it committed.
    const auto timed = [&](const auto& write) {
        const auto before = SteadyClock::now();
        const int rc = write();
        const std::chrono::duration<double, std::milli> took = SteadyClock::now() - before;
        latencies.push_back(took.count());
        if (rc == SQLITE_DONE || rc == SQLITE_OK) return true;
        const bool busy = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
        ++(busy ? stats.busy_errors : stats.other_errors);
        note_error(stats, xact.message());
        return false;
    };
    const auto start = SteadyClock::now();
    const auto period = std::chrono::duration<double>(1.0 / options.rate);
    const auto end = start + std::chrono::duration_cast<SteadyClock::duration>(
                                 std::chrono::duration<double>(options.seconds));
    for (long n = 0;; ++n) {
        const auto due = start + std::chrono::duration_cast<SteadyClock::duration>(period * n);
        if (options.seconds > 0 && due >= end) break;
        if (pause ? pause(due) : (std::this_thread::sleep_until(due), false)) break;
        const std::string time = clock.time_text();
        const long line = stats.lines;
        if (timed([&] { return xact.insert(line, date, time, churn ? 1 : 2); })) {
            if (stats.lines == 0) stats.first_chitnum = xact.chitnum(0);
            stats.last_chitnum = xact.chitnum(stats.lines);
            const std::string entry = audit_date + "\\" + time.substr(0, 5) + "\\E#11\\#" +
                                      std::to_string(xact.ticket(stats.lines)) + " Ticket line " +
                                      std::to_string(xact.chitnum(stats.lines));
            ++stats.lines;
            if (append_audit(audit, entry)) {
                ++stats.audit_lines;
            } else {
                ++stats.other_errors;
                note_error(stats, "audit append: " + std::string(std::strerror(errno)));
            }
            if (churn) churn->after_line(line, xact, stats, timed);
        }
    }
    stats.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    summarise_latencies(latencies, stats);
    return stats;
}

std::string register_summary(const RegisterStats& stats) {
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(3);
    out << "lines inserted: " << stats.lines << "\n"
        << "audit lines appended: " << stats.audit_lines << "\n"
        << "first poschitnum: " << stats.first_chitnum << "\n"
        << "last poschitnum: " << stats.last_chitnum << "\n"
        << "seconds: " << stats.seconds << "\n"
        << "median insert latency ms: " << stats.median_ms << "\n"
        << "p99 insert latency ms: " << stats.p99_ms << "\n"
        << "worst insert latency ms: " << stats.worst_ms << "\n"
        << "tickets closed: " << stats.closed << "\n"
        << "lines voided: " << stats.voided << "\n"
        << "busy or locked errors: " << stats.busy_errors << "\n"
        << "other errors: " << stats.other_errors << "\n";
    for (const std::string& e : stats.errors) out << "error: " << e << "\n";
    return out.str();
}

}  // namespace tillora
