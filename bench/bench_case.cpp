#include "bench/bench_case.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <sstream>

#include "bench/gap_watch.h"
#include "bench/lower_bound.h"
#include "engine/ticket_lists.h"
#include "export/export_transactions.h"
#include "panel/form_load.h"
#include "panel/station.h"
#include "platform/clock.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "reports/other/closeout.h"
#include "reports/other/print_all.h"
#include "reports/other/report_buttons.h"
#include "reports/server/server_totals.h"
#include "reports/tender/drawer.h"
#include "reports/tender/tender_totals.h"

namespace fs = std::filesystem;

namespace tillora::bench {

namespace {

constexpr int kYearFirst = 20210101;
constexpr int kYearLast = 20211231;
constexpr int kMonthFirst = 20211201;
constexpr int kMonthLast = 20211230;  // the month store holds 30 days
constexpr const char* kTransactionDb = "KOVRAX03.MDB";

double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double peak_megabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool writes_store(Family f) {
    return f == Family::Export;
}

// A working installation: every file of the store copied, except the transaction database,
// which is linked unless the report writes to it.
fs::path make_installation(const fs::path& store, const fs::path& work, bool copy_xact) {
    const fs::path home = work / "home";
    fs::remove_all(home);
    fs::create_directories(home);
    for (const auto& e : fs::directory_iterator(store)) {
        const std::string n = e.path().filename().string();
        if (n.find("-wal") != std::string::npos || n.find("-shm") != std::string::npos) continue;
        if (n == kTransactionDb && !copy_xact) {
            fs::create_symlink(e.path(), home / n);
        } else {
            fs::copy(e.path(), home / n, fs::copy_options::recursive);
        }
    }
    // The copy (a year store is 1.1 GB) and what the runs before wrote are flushed now: the
    // kernel writing them back would otherwise take the processor from the runs timed next.
    ::sync();
    return home;
}

void set_range(Station& s, int from, int to) {
    s.form.txtfromdate.text = std::to_string(from);
    s.form.txttodate.text = std::to_string(to);
    s.form.txtfromhour.text = "00";
    s.form.txtfromminute.text = "00";
    s.form.txttohour.text = "23";
    s.form.txttominute.text = "59";
}

// Runs an interactive report on a station over the range, recording the gaps between yields.
void run_interactive(const Case& c, const fs::path& home, const fs::path& work, Measurement& m) {
    ScriptedUi ui;
    const int last = c.to_date;
    FixedClock clock{DateTime{last / 10000, last / 100 % 100, last % 100, 23, 30, 0}};
    fs::create_directories(work / "spool");
    SpoolPrinterSystem printers(work / "spool");
    Station s(Services{ui, printers, clock, home});
    connect_reports(s);
    form_load(s, "");
    set_range(s, c.from_date, c.to_date);
    s.form.txtempid.text = "90";
    if (c.family == Family::Export) {
        ui.files.push_back((work / "out" / "export03.csv").string());
        fs::create_directories(work / "out");
        ui.answers = {true, true};
    }
    if (c.family == Family::PrintAll)
        ui.answers = {true};  // "this could be quite a lengthy report"
    GapWatch watch;
    ui.on_yield = [&watch] { watch.beat(); };
    ui.on_keep_alive = ui.on_yield;  // a repaint from inside a long engine step counts too
    const auto start = Clock::now();
    const double cpu0 = cpu_seconds();
    switch (c.family) {
        case Family::TicketList:
            cmdserver3_click(s);
            break;
        case Family::ServerTotals:
            cmdserver4_click(s);
            break;
        case Family::TenderTotals:
            cmdtender1_click(s);
            break;
        case Family::BalanceDrawer:
            cmdbalancedrawer_click(s);
            break;
        case Family::Export:
            cmdexport1_click(s);
            break;
        case Family::PrintAll:
            cmdprintall_click(s);
            break;
        case Family::Closeout:
            break;
    }
    m.cpu = cpu_seconds() - cpu0;
    m.wall = seconds_since(start);
    watch.beat();  // the stretch after the last yield counts too
    const Gaps gaps = watch.gaps();
    m.max_gap_ms = gaps.longest.ms;
    m.gap_cpu_ms = gaps.longest.cpu_ms;
    m.gap_where = gaps.longest.where;
    m.busy_gap_ms = gaps.busiest.ms;
    m.busy_gap_cpu_ms = gaps.busiest.cpu_ms;
    m.busy_gap_where = gaps.busiest.where;
    if (c.family == Family::Export) {
        m.failure =
            check_export_marks(home / kTransactionDb, c.from_date, c.to_date,
                               work / "out" / "export03.csv", work / "out" / "kovrax03.csv");
    }
    if (!s.failures.empty()) m.failure = s.failures.front();
    for (const auto& line : ui.shown) {
        if (line.find("Oops") != std::string::npos) m.failure = line;
    }
}

// The unattended close-out of the last day of the range, as cron runs it.
void run_closeout_case(const Case& c, const fs::path& home, const fs::path& work, Measurement& m) {
    fs::create_directories(work / "spool");
    setenv("TILLORA_SPOOL", (work / "spool").c_str(), 1);
    std::ostringstream err;
    // The night before's close-out first, unmeasured: it leaves the work database as a
    // workstation has it (the line index of the audit and error files kept in it), so that the
    // close-out measured reads only what was written since, as every night after the first.
    std::ostringstream night_before;
    run_closeout(home, "KVRUN" + std::to_string(c.to_date - 1), night_before);
    const auto start = Clock::now();
    const double cpu0 = cpu_seconds();
    const int rc = run_closeout(home, "KVRUN" + std::to_string(c.to_date), err);
    m.cpu = cpu_seconds() - cpu0;
    m.wall = seconds_since(start);
    if (rc != 0) m.failure = err.str();
}

}  // namespace

std::vector<Case> all_cases() {
    using F = Family;
    return {
        {"close-out, 1 day", "day", F::Closeout, kYearLast, kYearLast},
        {"All Closed Tickets, 1 day", "day", F::TicketList, kYearLast, kYearLast},
        {"Server Totals, 1 day", "day", F::ServerTotals, kYearLast, kYearLast},
        {"Tender Totals/POA, 1 day", "day", F::TenderTotals, kYearLast, kYearLast},
        {"Balance Drawer, 1 day", "day", F::BalanceDrawer, kYearLast, kYearLast},
        {"Export, 1 day", "day", F::Export, kYearLast, kYearLast},
        {"Print All Reports, 1 day", "day", F::PrintAll, kYearLast, kYearLast},
        {"close-out, 1 day of month store", "month", F::Closeout, kMonthLast, kMonthLast},
        {"All Closed Tickets, month", "month", F::TicketList, kMonthFirst, kMonthLast},
        {"Server Totals, month", "month", F::ServerTotals, kMonthFirst, kMonthLast},
        {"Tender Totals/POA, month", "month", F::TenderTotals, kMonthFirst, kMonthLast},
        {"Balance Drawer, month", "month", F::BalanceDrawer, kMonthFirst, kMonthLast},
        {"Export, month", "month", F::Export, kMonthFirst, kMonthLast},
        {"close-out, 1 day of year store", "year", F::Closeout, kYearLast, kYearLast},
        {"Print All Reports, 1 day of year store", "year", F::PrintAll, kYearLast, kYearLast},
        {"All Closed Tickets, 1 month of year", "year", F::TicketList, kMonthFirst, kYearLast},
        {"All Closed Tickets, year", "year", F::TicketList, kYearFirst, kYearLast},
        {"Server Totals, year", "year", F::ServerTotals, kYearFirst, kYearLast},
        {"Tender Totals/POA, year", "year", F::TenderTotals, kYearFirst, kYearLast},
        {"Balance Drawer, year", "year", F::BalanceDrawer, kYearFirst, kYearLast},
        {"Export, 1 month of year", "year", F::Export, kMonthFirst, kYearLast},
        // One day on every store: a day's reports must cost what the day holds.
        {"All Closed Tickets, 1 day of month store", "month", F::TicketList, kMonthLast,
         kMonthLast},
        {"Server Totals, 1 day of month store", "month", F::ServerTotals, kMonthLast, kMonthLast},
        {"All Closed Tickets, 1 day of year store", "year", F::TicketList, kYearLast, kYearLast},
        {"Server Totals, 1 day of year store", "year", F::ServerTotals, kYearLast, kYearLast},
        {"close-out, 1 day of three-year store", "year3", F::Closeout, kYearLast, kYearLast},
        {"All Closed Tickets, 1 day of three-year store", "year3", F::TicketList, kYearLast,
         kYearLast},
        {"Server Totals, 1 day of three-year store", "year3", F::ServerTotals, kYearLast,
         kYearLast},
    };
}

Measurement run_case(const Case& c, const fs::path& stores, const fs::path& work) {
    Measurement m;
    try {
        const fs::path store = stores / c.store;
        fs::path home = make_installation(store, work, writes_store(c.family));
        const LowerBound bound = lower_bound_of(c.family, c.from_date, c.to_date);
        m.rows = count_lines(home / kTransactionDb, c.from_date, c.to_date);
        if (!writes_store(c.family)) run_bound(bound, home / kTransactionDb, work);  // warm-up
        if (c.family == Family::Closeout) {
            run_closeout_case(c, home, work, m);
        } else {
            run_interactive(c, home, work, m);
        }
        m.peak_mb = peak_megabytes();
        if (writes_store(c.family)) home = make_installation(store, work, true);
        const auto start = Clock::now();
        const double cpu0 = cpu_seconds();
        run_bound(bound, home / kTransactionDb, work);
        m.bound_cpu = cpu_seconds() - cpu0;
        m.bound_wall = seconds_since(start);
        fs::remove_all(work / "home");
    } catch (const std::exception& e) {
        m.failure = e.what();
    }
    return m;
}

std::string to_line(const Measurement& m) {
    std::ostringstream out;
    out.precision(9);
    out << "RESULT " << m.wall << ' ' << m.cpu << ' ' << m.rows << ' ' << m.peak_mb << ' '
        << m.max_gap_ms << ' ' << m.gap_cpu_ms << ' ' << m.busy_gap_ms << ' ' << m.busy_gap_cpu_ms
        << ' ' << m.bound_wall << ' ' << m.bound_cpu << ' ' << m.gap_where << '\t'
        << m.busy_gap_where << '\t';
    for (char ch : m.failure) out << (ch == '\n' ? ' ' : ch);
    return out.str();
}

Measurement from_line(const std::string& line) {
    Measurement m;
    std::istringstream in(line);
    std::string tag;
    in >> tag >> m.wall >> m.cpu >> m.rows >> m.peak_mb >> m.max_gap_ms >> m.gap_cpu_ms >>
        m.busy_gap_ms >> m.busy_gap_cpu_ms >> m.bound_wall >> m.bound_cpu;
    if (tag != "RESULT" || !in) {
        m.failure = "no result: " + line;
        return m;
    }
    in.get();  // the space before the place of the gap
    std::getline(in, m.gap_where, '\t');
    std::getline(in, m.busy_gap_where, '\t');
    std::getline(in, m.failure);
    return m;
}

}  // namespace tillora::bench
