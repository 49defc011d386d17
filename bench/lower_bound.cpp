#include "bench/lower_bound.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace tillora::bench {

namespace {

std::string range(int from, int to) {
    return " and poschitdate between " + std::to_string(from) + " and " + std::to_string(to) +
           " and trantime between '00:00:00' and '23:59:59'";
}

std::string grouped(const std::string& key, const std::string& condition, int from, int to) {
    return "select " + key +
           ", min(server), count(*), sum(poschitbase), sum(poschitsrvchg), sum(poschittax) "
           "from xact where " +
           condition + range(from, to) + " group by " + key + " order by " + key;
}

const char* kClosedLines = "status >= 2 and status > -10";
const char* kTenderLines =
    "postendtype > 0 and status > -10 and (status >= 2 and posbatch > '0' or itemnumber = -3)";

struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const std::filesystem::path& path) {
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            fail("open");
        }
        sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close_v2(db); }
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("lower bound: " + what + ": " + sqlite3_errmsg(db));
    }
    void exec(const std::string& sql) const {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
    }
    // Steps through every row, handing each to `row`.
    template <typename RowFn>
    void each_row(const std::string& sql, RowFn row) const {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) fail(sql);
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(stmt);
        if (rc != SQLITE_DONE) fail(sql);
    }
};

// Reads every column the way a report reads a field: numbers as numbers, text as text.
void touch_columns(sqlite3_stmt* stmt, long& sink) {
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_INTEGER:
                sink += sqlite3_column_int64(stmt, i);
                break;
            case SQLITE_FLOAT:
                sink += static_cast<long>(sqlite3_column_double(stmt, i));
                break;
            case SQLITE_TEXT:
                sink += sqlite3_column_bytes(stmt, i);
                break;
            default:
                break;
        }
    }
}

void write_csv_row(sqlite3_stmt* stmt, std::FILE* out) {
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        std::fprintf(out, "%s\"%s\"", i == 0 ? "" : ",", text ? text : "");
    }
    std::fputs("\r\n", out);
}

long line_count(const std::filesystem::path& file) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "r"), std::fclose);
    if (!in) return -1;
    long n = 0;
    for (int ch; (ch = std::fgetc(in.get())) != EOF;) n += ch == '\n';
    return n;
}

}  // namespace

LowerBound lower_bound_of(Family family, int from, int to) {
    const std::string by_ticket = grouped("ticket", kClosedLines, from, to);
    const std::string by_server = grouped("server", kClosedLines, from, to);
    const std::string by_tender = grouped("postendtype", kTenderLines, from, to);
    switch (family) {
        case Family::TicketList:
            return {{by_ticket}, "", ""};
        case Family::ServerTotals:
            return {{by_server}, "", ""};
        case Family::TenderTotals:
        case Family::BalanceDrawer:
            return {{by_tender}, "", ""};
        case Family::Closeout:
        case Family::PrintAll:  // the close-out's batch, run in the window
            return {{by_server, by_ticket, by_tender}, "", ""};
        case Family::Export: {
            const std::string where =
                " where (status = 2 or status = 3) and poschittotal <> 0 and "
                "poschitdate between " +
                std::to_string(from) + " and " + std::to_string(to);
            return {{},
                    "select * from xact" + where + " order by poschitnum",
                    "update xact set status = 6, export = coalesce(export, 0) + 1" + where};
        }
    }
    return {};
}

void run_bound(const LowerBound& bound, const std::filesystem::path& database,
               const std::filesystem::path& work) {
    Connection c(database);
    long sink = 0;
    for (const auto& q : bound.queries) {
        c.each_row(q, [&](sqlite3_stmt* stmt) { touch_columns(stmt, sink); });
    }
    if (!bound.csv_query.empty()) {
        const auto file = work / "bound.csv";
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "w"),
                                                            std::fclose);
        if (!out) throw std::runtime_error("lower bound: cannot write " + file.string());
        c.each_row(bound.csv_query, [&](sqlite3_stmt* stmt) { write_csv_row(stmt, out.get()); });
        std::fflush(out.get());
        fsync(fileno(out.get()));  // the export syncs its file before marking
    }
    if (!bound.update.empty()) {
        c.exec("BEGIN IMMEDIATE");
        c.exec(bound.update);
        c.exec("COMMIT");
    }
    if (sink == 42) std::fputs("", stderr);  // keeps the reads from being optimised away
}

long count_lines(const std::filesystem::path& database, int from, int to) {
    Connection c(database);
    long n = 0;
    c.each_row("select count(*) from xact where poschitdate between " + std::to_string(from) +
                   " and " + std::to_string(to),
               [&](sqlite3_stmt* stmt) { n = sqlite3_column_int64(stmt, 0); });
    return n;
}

std::string check_export_marks(const std::filesystem::path& database, int from, int to,
                               const std::filesystem::path& export_file,
                               const std::filesystem::path& history_file) {
    Connection c(database);
    const std::string range_text =
        " and poschitdate between " + std::to_string(from) + " and " + std::to_string(to);
    long exported = 0;
    long history = 0;
    c.each_row("select count(*) from xact where export >= 1" + range_text,
               [&](sqlite3_stmt* stmt) { exported = sqlite3_column_int64(stmt, 0); });
    c.each_row("select count(*) from xact where status = 7" + range_text,
               [&](sqlite3_stmt* stmt) { history = sqlite3_column_int64(stmt, 0); });
    const long export_lines = line_count(export_file);
    const long history_lines = line_count(history_file);
    if (exported == export_lines && history == history_lines && exported > 0) return "";
    return "marked rows do not match the files: " + std::to_string(exported) + " exported, " +
           std::to_string(export_lines) + " export records, " + std::to_string(history) +
           " in history, " + std::to_string(history_lines) + " history records";
}

}  // namespace tillora::bench
