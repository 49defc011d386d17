#include "engine/pipeline.h"

#include <cmath>
#include <limits>

#include "engine/print_frame.h"
#include "panel/range.h"
#include "platform/files.h"
#include "platform/printer.h"

namespace tillora {

namespace {

std::int32_t to_int32(double v) {
    if (!(v == v)) return 0;
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Times go into the statements between single quotes; a quote typed into a box is doubled so
// that it cannot end the literal.
std::string quoted_time(const std::string& t) {
    std::string out;
    for (char c : t) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

}  // namespace

bool report_guard(Station& s) {
    if (s.st.reportbusy == 1) {
        s.st.msg = "Please wait for current report to complete.";
        s.message(s.st.msg, "Printer...", Icon::Information);
        return false;
    }
    s.st.reportbusy = 1;
    return true;
}

void show_status(Station& s, const std::string& text) {
    s.form.helpwindow.text = text;
    if (s.on_change) s.on_change();
}

void take_dates(Station& s) {
    s.st.fromdate = to_int32(leading_number(s.form.txtfromdate.text));
    s.st.todate = to_int32(leading_number(s.form.txttodate.text));
}

IdNumber operator_number(const Station& s) {
    return IdNumber::of_text(s.form.txtempid.text);
}

std::string operator_text(const Station& s) {
    return operator_number(s).text();
}

std::string sql_key(const Value& key) {
    if (key.is_null() || key.is_empty()) return "null";
    if (const auto* whole = std::get_if<std::int64_t>(&key.data())) return std::to_string(*whole);
    const double number = key.as_double();
    if (std::isinf(number)) return number > 0 ? "1e999" : "-1e999";  // the engine's infinity
    return std::isnan(number) ? "null" : plain_number(number);
}

std::string key_condition(const std::string& column, const Value& key) {
    const std::string number = sql_key(key);
    return column + (number == "null" ? " is null" : " = " + number);
}

std::optional<std::string> DistinctKeys::first(const Value& key) {
    std::string number = sql_key(key);
    if (!seen_.emplace(number).second) return std::nullopt;
    return number;
}

std::string date_filter(const ModuleState& st) {
    return " and poschitdate between " + std::to_string(st.fromdate) + " and " +
           std::to_string(st.todate);
}

std::string range_filter(const ModuleState& st) {
    return date_filter(st) + " and trantime between '" + quoted_time(st.fromtime) + "' and '" +
           quoted_time(st.totime) + "'";
}

std::string range_filter_ordered(const ModuleState& st, const std::string& key) {
    std::string f = range_filter(st);
    f.pop_back();
    return f + "' order by " + key;
}

bool sum_if_not_null(Database& db, const std::string& sql, Currency& out) {
    Recordset rs = db.open_recordset(sql);
    if (rs.eof() || rs.field(std::size_t{0}).is_null()) return false;
    out = rs.field(std::size_t{0}).as_currency();
    return true;
}

Currency sum_or_zero(Database& db, const std::string& sql) {
    Currency c;
    sum_if_not_null(db, sql, c);
    return c;
}

namespace {
// The window repaints while the engine runs a long step for a report.
std::unique_ptr<Database> with_heartbeat(Station& s, std::unique_ptr<Database> db) {
    Ui& ui = s.svc.ui;
    db->set_heartbeat([&ui] { ui.keep_alive(); },
                      [&ui](const std::function<void()>& step) { run_beside_window(ui, step); });
    return db;
}
}  // namespace

std::unique_ptr<Database> open_database_at(Station& s, const std::string& name) {
    if (name.empty()) {
        throw StoreError(kMissingDatabase,
                         "No database name is set: this node has not been initialized.", "");
    }
    return with_heartbeat(s, Database::open(s.path(name)));
}

std::unique_ptr<Database> open_report_db(Station& s) {
    if (s.st.rptdb.empty()) return open_database_at(s, s.st.rptdb);
    return with_heartbeat(
        s, Database::open(s.path(s.st.rptdb), OpenMode::Existing, Durability::Scratch));
}

std::unique_ptr<Database> open_transaction_db(Station& s) {
    return open_database_at(s, s.st.xactdb);
}

void per_report_reset(Station& s) {
    ModuleState& st = s.st;
    st.linebase = Currency{};
    st.linesrvchg = Currency{};
    st.linetax = Currency{};
    st.ticketnum = 0;
    st.reqcode = 0;
    st.reqparm4 = Value(0);
    if (st.newemp == 1) st.empid = 0;
    s.yield();
}

bool run_report(Station& s, const std::string& report, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const ReportStopped&) {
        s.st.reportbusy = 0;  // ended by the operator: no failure to tell
    } catch (const StoreError& e) {
        std::string where = e.database().empty() ? "" : e.database() + ": ";
        report_failure(s, report, where + e.engine_message());
    } catch (const FileError& e) {
        report_failure(s, report, e.what());
    } catch (const std::exception& e) {
        report_failure(s, report, e.what());
    }
    return false;
}

void run_guarded_report(Station& s, const std::string& status_text, const std::string& report,
                        const std::function<void()>& gather,
                        const std::function<void()>& print_step,
                        const std::function<bool()>& ready) {
    if (!report_guard(s)) return;
    show_status(s, status_text);
    verifydate(s);
    if (ready && !ready()) return;
    take_dates(s);
    if (run_report(s, report, gather)) {
        print_step();
    } else if (s.work.stopped && previewing(s)) {
        // Stopped in the middle of its gather: the view shows what was gathered.
        s.st.reportbusy = 1;
        print_step();
    }
    per_report_reset(s);
}

void record_failure(Station& s, const std::string& report, const std::string& detail) {
    s.failures.push_back(report + ": " + escape_line_breaks(detail));
    if (s.st.closeoutmode == 1) {
        try {
            append_line(s.path(s.st.closeoutfile),
                        "*** " + report + " could not run: " + escape_line_breaks(detail));
        } catch (const FileError&) {
            // The failure still reaches standard error and the exit status.
        }
    }
}

void report_failure(Station& s, const std::string& report, const std::string& detail) {
    s.st.reportbusy = 0;
    record_failure(s, report, detail);
    s.st.msg = report + " could not run.\r\n" + detail;
    s.message(s.st.msg, "Oops...", Icon::Critical);
}

}  // namespace tillora
