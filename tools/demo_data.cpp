#include "tools/demo_data.h"

#include <fstream>
#include <sstream>

#include "tools/demo_calendar.h"
#include "tools/demo_catalog.h"
#include "tools/demo_sales.h"
#include "tools/demo_setup.h"

namespace fs = std::filesystem;

namespace tillora::demo {
namespace {

const std::vector<std::string> kXactColumns = {
    "ticket",        "poschitnum",       "server",          "itemnumber",    "status",
    "postendtype",   "posbatch",         "poschitdate",     "trantime",      "poschitbase",
    "poschitsrvchg", "poschittax",       "poschittotal",    "posacctnum",    "posmemo",
    "saletext",      "posmemberacctnum", "poschitemployee", "poschitcovers", "poscodes",
    "export"};

const std::vector<std::string> kCardColumns = {"ticket",   "status",        "amount",
                                               "ccnumber", "ccname",        "expmonth",
                                               "expyear",  "resultrefcode", "resultorderid"};

void insert_lines(InsertStatement& insert, const std::vector<XactLine>& lines) {
    for (const XactLine& l : lines) {
        const std::string trantime = time_text(l.seconds);
        int c = 0;
        insert.bind_int(c++, l.ticket);
        insert.bind_int(c++, l.poschitnum);
        insert.bind_int(c++, l.server);
        insert.bind_int(c++, l.itemnumber);
        insert.bind_int(c++, l.status);
        insert.bind_int(c++, l.postendtype);
        insert.bind_text(c++, l.posbatch);
        insert.bind_int(c++, l.poschitdate);
        insert.bind_text(c++, trantime);
        insert.bind_money(c++, l.base);
        insert.bind_money(c++, l.srvchg);
        insert.bind_money(c++, l.tax);
        insert.bind_money(c++, l.total);
        insert.bind_int(c++, l.posacctnum);
        insert.bind_text(c++, l.posmemo);
        insert.bind_text(c++, l.saletext);
        insert.bind_text(c++, l.posmemberacctnum);
        insert.bind_int(c++, l.poschitemployee);
        insert.bind_int(c++, l.poschitcovers);
        insert.bind_text(c++, l.poscodes);
        insert.bind_int(c++, 0);
        insert.insert();
    }
}

void insert_cards(InsertStatement& insert, const std::vector<CardPayment>& cards) {
    for (const CardPayment& card : cards) {
        insert.bind_int(0, card.ticket);
        insert.bind_int(1, card.status);
        insert.bind_int(2, card.amount);
        insert.bind_text(3, card.ccnumber);
        insert.bind_text(4, card.ccname);
        insert.bind_text(5, card.expmonth);
        insert.bind_text(6, card.expyear);
        insert.bind_text(7, card.resultrefcode);
        insert.bind_text(8, card.resultorderid);
        insert.insert();
    }
}

// The absolute installation folder, created; refuses a folder that already holds files, so
// that nothing of an earlier installation is mixed in or lost.
fs::path prepare_folder(const fs::path& folder) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    if (ec || folder.empty())
        throw DemoError("The folder \"" + folder.string() + "\" is not usable.");
    const std::string text = absolute.string();
    if (text.find_first_of(",\"\r\n") != std::string::npos) {
        throw DemoError("The folder " + text +
                        " cannot be written into ravonode.ini (it holds a comma, a quote or a "
                        "line break); choose another folder.");
    }
    if (fs::exists(absolute, ec)) {
        if (!fs::is_directory(absolute, ec)) throw DemoError(text + " is not a folder.");
        if (!fs::is_empty(absolute, ec)) {
            throw DemoError("The folder " + text +
                            " is not empty; the demo installation needs a new or empty folder.");
        }
    }
    for (const char* sub : {"server", "local"}) {
        fs::create_directories(absolute / sub, ec);
        if (ec) throw DemoError("Cannot create " + (absolute / sub).string() + ": " + ec.message());
    }
    return absolute;
}

struct TextFile {
    explicit TextFile(const fs::path& p) : path(p), out(p, std::ios::binary | std::ios::trunc) {
        if (!out) throw DemoError("Cannot create " + path.string() + ".");
    }
    void write(const CalendarDate& date, const std::vector<AuditEvent>& events, long& count) {
        for (const auto& e : events) out << audit_line(date, e) << '\n';
        count += static_cast<long>(events.size());
    }
    void close() {
        out.close();
        if (!out) throw DemoError("Cannot write " + path.string() + ".");
    }
    fs::path path;
    std::ofstream out;
};

std::string month_line(const CalendarDate& date, int days, long tickets, long lines) {
    std::ostringstream s;
    s << date.year << "-" << unit_text(date.month) << ": " << days << " days, " << tickets
      << " tickets, " << lines << " xact lines";
    return s.str();
}

// The days of sales: xact and ccard of the workstation, held tickets on the server, and the
// audit and error files, one database transaction per day; indexes after the load.
void make_sales(const DemoOptions& o, const fs::path& home, DemoSummary& summary,
                const DemoProgress& progress) {
    SqliteFile xact_db(home / transaction_db_name(o.unit));
    const SchemaParts xact_schema = create_tables(xact_db, o.schema, "transactions.sql");
    InsertStatement xact_insert(xact_db, "xact", kXactColumns);
    InsertStatement card_insert(xact_db, "ccard", kCardColumns);
    TextFile audit(home / audit_file_name(o.unit));
    TextFile errors(home / error_file_name(o.unit));
    std::vector<XactLine> held;

    SalesGenerator sales(o.seed, o.tickets, o.unit);
    const CalendarDate first = *date_from_number(o.start);
    int month_days = 0;
    long month_lines = 0;
    for (int i = 0; i < o.days; ++i) {
        const CalendarDate date = add_days(first, i);
        DaySales day = sales.day(date, i, i >= o.days - 2);
        xact_db.exec("BEGIN");
        insert_lines(xact_insert, day.lines);
        insert_cards(card_insert, day.cards);
        xact_db.exec("COMMIT");
        audit.write(date, day.audit, summary.audit_lines);
        errors.write(date, day.errors, summary.error_lines);
        held.insert(held.end(), day.held_on_server.begin(), day.held_on_server.end());
        summary.xact_lines += static_cast<long>(day.lines.size());
        summary.card_rows += static_cast<long>(day.cards.size());
        ++month_days;
        month_lines += static_cast<long>(day.lines.size());
        const bool month_ends = i + 1 == o.days || add_days(date, 1).month != date.month;
        if (month_ends && progress) {
            progress(month_line(date, month_days, static_cast<long>(month_days) * o.tickets,
                                month_lines));
            month_days = 0;
            month_lines = 0;
        }
    }
    audit.close();
    errors.close();
    if (progress) progress("building the indexes of " + transaction_db_name(o.unit));
    xact_db.finish(xact_schema);

    SqliteFile held_db(home / "server" / "kovratmp.mdb");
    const SchemaParts held_schema = create_tables(held_db, o.schema, "held.sql");
    InsertStatement held_insert(held_db, "xact", kXactColumns);
    held_db.exec("BEGIN");
    insert_lines(held_insert, held);
    held_db.exec("COMMIT");
    held_db.finish(held_schema);
    summary.held_lines = static_cast<long>(held.size());
}

}  // namespace

DemoSummary make_demo_installation(const DemoOptions& options, const DemoProgress& progress) {
    DemoOptions o = options;
    if (o.node < 0) o.node = o.unit;
    const auto first = date_from_number(o.start);
    if (!first) throw DemoError("The start date " + std::to_string(o.start) + " is not a date.");
    if (o.days < 1 || o.tickets < 1 || o.unit < 0 || o.unit > 99 || o.node > 999) {
        throw DemoError("The unit, node, days or tickets are out of range.");
    }
    const fs::path home = prepare_folder(o.folder);

    DemoSummary summary;
    summary.folder = home;
    summary.unit = o.unit;
    summary.node = o.node;
    summary.offline = o.offline;
    summary.first_date = o.start;
    summary.last_date = date_number(add_days(*first, o.days - 1));
    summary.days = o.days;
    summary.tickets_per_day = o.tickets;
    summary.tickets = static_cast<long>(o.days) * o.tickets;

    write_node_file(home, o.unit, o.node);
    create_config_db(home / config_db_name(o.unit), o.schema, o.offline);
    create_employee_db(home / "kovraemp.mdb", o.schema);
    create_empty_db(home / report_db_name(o.node), o.schema, "report.sql");
    create_history_db(home / "server" / "KOVRAH.MDB", o.schema, o.offline);
    if (!o.offline) write_text_file(home / "server" / "ravo.exe", "");
    make_sales(o, home, summary, progress);
    return summary;
}

std::string summary_text(const DemoSummary& s) {
    std::ostringstream out;
    out << "Demo installation: " << s.folder.string() << "\n"
        << "  Workstation " << unit_text(s.unit) << " (node " << s.node
        << "): " << transaction_db_name(s.unit) << ", " << report_db_name(s.node) << ", "
        << config_db_name(s.unit) << ", " << audit_file_name(s.unit) << ", "
        << error_file_name(s.unit) << "\n"
        << "  Business days " << s.first_date << " to " << s.last_date << ": " << s.days
        << " days, " << s.tickets_per_day << " tickets a day, " << s.xact_lines << " xact lines, "
        << s.card_rows << " card payments\n"
        << "  Shared folder server/: kovratmp.mdb (" << s.held_lines << " held lines), KOVRAH.MDB, "
        << (s.offline ? "no ravo.exe (off-line workstation)" : "ravo.exe") << "\n"
        << "  Employees (log in with the ID and the password):\n"
        << "    ID    Password  Role     Name\n";
    for (const Employee& e : employees()) {
        std::string id = std::to_string(e.empid);
        std::string pw = e.pword;
        out << "    " << id << std::string(6 - id.size(), ' ') << pw
            << std::string(10 - pw.size(), ' ') << (e.manager ? "manager  " : "server   ") << e.name
            << "\n";
    }
    out << "  Run the reports: TILLORA_HOME=" << s.folder.string() << " tillora-reports\n";
    return out.str();
}

}  // namespace tillora::demo
