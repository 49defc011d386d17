#include "summary/day_figures.h"

#include <cctype>
#include <cstdlib>

#include "engine/pipeline.h"
#include "engine/removed_lines.h"
#include "engine/ticket_lists.h"
#include "panel/range.h"
#include "platform/files.h"
#include "reports/server/server_totals.h"
#include "reports/tender/drawer.h"
#include "reports/tender/tender_rows.h"
#include "reports/tender/tender_types.h"

namespace tillora {

namespace {

// Runs one step of the figures; a failure names its section in `missing` instead of escaping.
void step(Station& s, DayFigures& f, Section section, const std::function<void()>& body) {
    try {
        body();
    } catch (const StoreError& e) {
        f.missing[section] = (e.database().empty() ? "" : e.database() + ": ") + e.engine_message();
    } catch (const std::exception& e) {
        f.missing[section] = e.what();
    }
    per_report_reset(s);
}

// Calls `on_row` for every row of `sql` in the station's report database.
void for_each_work_row(Station& s, const char* sql,
                       const std::function<void(const Recordset&)>& on_row) {
    auto rpt = open_report_db(s);
    Recordset rs = rpt->open_recordset(sql);
    for (; !rs.eof(); rs.move_next()) on_row(rs);
}

long count_work_rows(Station& s, const char* sql) {
    long rows = 0;
    for_each_work_row(s, sql, [&](const Recordset&) { ++rows; });
    return rows;
}

// The Totals line of Server Totals for the range as it stands, and its rows.
SalesAmounts server_totals(Station& s, std::vector<ServerFigure>& servers) {
    gather_server_totals(s);
    SalesAmounts sum;
    for_each_work_row(s, kServerTotalsRows, [&](const Recordset& ar) {
        const SalesAmounts row{ar.field("base").as_currency(), ar.field("srvchg").as_currency(),
                               ar.field("salestax").as_currency(), ar.field("total").as_currency()};
        sum.base += row.base;
        sum.srvchg += row.srvchg;
        sum.tax += row.tax;
        sum.total += row.total;
        servers.push_back({ar.field("aracctnum").as_int(), "", row});
    });
    return sum;
}

// The employee names of the servers; a missing employee table leaves them empty.
void name_servers(Station& s, std::vector<ServerFigure>& servers) {
    const auto path = s.path("kovraemp.mdb");
    if (servers.empty() || !file_exists(path)) return;
    auto db = Database::open(path);
    for (ServerFigure& server : servers) {
        Recordset rs = db->open_recordset("select empname from empinfo where empid = " +
                                          std::to_string(server.number));
        if (!rs.eof()) server.name = trim(rs.field(std::size_t{0}).as_text());
    }
}

// The hour of a time "HH:MM:SS"; -1 when it has none.
int hour_of(const std::string& time) {
    if (time.size() < 2 || !std::isdigit(static_cast<unsigned char>(time[0])) ||
        !std::isdigit(static_cast<unsigned char>(time[1]))) {
        return -1;
    }
    const int hour = (time[0] - '0') * 10 + (time[1] - '0');
    return hour < 24 ? hour : -1;
}

// Adds the amounts of the lines `where` selects to the hours of their times. Lines of a server
// below 0 or of none are left out, as Server Totals prints no row for them.
void add_to_hours(Database& src, const std::string& amounts, const std::string& where,
                  DayFigures& f) {
    Recordset rs =
        src.open_recordset("select server, trantime, " + amounts + " from xact where " + where);
    for (; !rs.eof(); rs.move_next()) {
        const Value& server = rs.field(std::size_t{0});
        const int hour = hour_of(rs.field(std::size_t{1}).as_text());
        if (server.is_null() || server.as_double() < 0 || hour < 0) continue;
        for (std::size_t i = 2; i < rs.field_count(); ++i)
            f.hours[hour] += rs.field(i).as_currency();
    }
}

// The lines Server Totals adds up, read once and split by the hour of their time; whatever the
// hours do not hold (a time that is no HH:MM:SS) is kept apart, so the parts add up to the day.
void split_by_hour(Station& s, DayFigures& f) {
    const ServerTotalsLines lines = server_totals_lines(s.st);
    auto src = open_transaction_db(s);
    add_to_hours(*src, "poschitbase, poschitsrvchg, poschittax", lines.sums, f);
    add_to_hours(*src, "poschitsrvchg", lines.service_charges, f);
    Currency split;
    for (Currency hour : f.hours) split += hour;
    f.other_times = f.sales.total - split;
}

void read_tenders(Station& s, DayFigures& f) {
    gather_tender_rows(s, TenderRows::ClosedTickets);
    for_each_work_row(s, kTenderRows, [&](const Recordset& ar) {
        f.tenders.push_back({ar.field("covers").as_int(),
                             without_paid_by(ar.field("Memo").as_text()),
                             ar.field("arlines").as_int(), ar.field("total").as_currency()});
    });
}

void read_removed(Station& s, DayFigures& f) {
    gather_removed_lines(s);
    for_each_work_row(s, kRemovedLinesRows, [&](const Recordset& xact) {
        ++f.removed_count;
        f.removed_amount += xact.field("poschitbase").as_currency();
    });
}

}  // namespace

Currency DayFigures::average_ticket() const {
    if (tickets <= 0) return Currency{};
    // Units are ten-thousandths: divide by tickets in cents, rounding half away from zero.
    const std::int64_t divisor = static_cast<std::int64_t>(tickets) * 100;
    const std::int64_t magnitude = (std::llabs(sales.total.units) * 2 + divisor) / (2 * divisor);
    return Currency::from_units((sales.total.units < 0 ? -magnitude : magnitude) * 100);
}

DayFigures gather_day_figures(Station& s, const SummaryProgress& progress) {
    DayFigures f;
    verifydate(s);
    take_dates(s);
    const auto announce = [&](const char* what) {
        if (progress) progress(what);
    };
    announce("server totals");
    step(s, f, Section::Sales, [&] {
        f.sales = server_totals(s, f.servers);
        name_servers(s, f.servers);
    });
    if (f.has(Section::Sales)) {
        announce("takings by hour");
        step(s, f, Section::Hours, [&] { split_by_hour(s, f); });
    } else {
        f.missing[Section::Hours] = f.missing[Section::Sales];
    }
    announce("closed tickets");
    step(s, f, Section::Tickets, [&] {
        auto src = open_transaction_db(s);
        Recordset tickets = src->open_recordset(closed_ticket_selection(s));
        for (; !tickets.eof(); tickets.move_next()) {
            if (tickets.field(std::size_t{0}).as_double() > 0) ++f.tickets;
        }
    });
    announce("tender totals");
    step(s, f, Section::Tenders, [&] { read_tenders(s, f); });
    announce("paid outs and ins");
    step(s, f, Section::PaidOutIn, [&] {
        const PaidOutIn paid = scan_paid_out_in(s, /*quiet=*/true);
        f.paid_count = paid.count;
        f.paid_amount = Currency::from_double(paid.amount);
    });
    announce("removed items");
    step(s, f, Section::Removed, [&] { read_removed(s, f); });
    announce("cleared tickets");
    step(s, f, Section::Cleared, [&] {
        gather_cleared_tickets(s);
        f.cleared = count_work_rows(s, kTicketListRows);
    });
    announce("drawer counts");
    step(s, f, Section::DrawerCounts, [&] { f.drawer_counts = read_drawer_counts(s); });
    return f;
}

}  // namespace tillora
