#include "engine/ticket_lists.h"

#include "app/node_file.h"
#include "app/outside_programs.h"
#include "engine/amount_rows.h"
#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "engine/ticket_pass.h"
#include "panel/range.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tillora {

namespace {

// What one ticket list selects and prints; the five reports differ only in these points.
struct TicketList {
    const char* status_text;      // shown in helpwindow
    const char* title;            // first header line
    const char* condition;        // ticket selection, all servers
    bool server_mode;             // ownsalesonly limits the list to the operator's tickets
    const char* lines;            // lines summed for base, service charge and tax
    bool service_charge_lines;    // -2 lines added to the service charge
    const char* row_condition;    // the row that gives the server
    bool time_filter;             // false: dates only
    bool held_source;             // the shared held-ticket database instead of xactdb
    bool cleared_entries;         // rows from the cleared entries of the audit file
    const char* label_separator;  // between ticket and server
    bool local_warning;           // the network warning after the count
};

constexpr const char* kItems = " and (itemnumber > 0 or itemnumber = -5)";
constexpr const char* kCountedItems = " and (itemnumber > 0 or itemnumber = -5) and status > -10";
constexpr const char* kCounted = " and status > -10";

// clang-format off
const TicketList kAllClosed{"All Closed Tickets", "All Closed Tickets", "status >= 2", false,
                            kCountedItems, true, kCounted, true, false, false, " - ", false};
const TicketList kCleared{"Cleared Tickets", "All Cleared Tickets", "status = -86", false,
                          " and itemnumber > 0", false, "", true, false, true, "-", false};
const TicketList kMainHold{"Main Hold Sales", "Main Hold Tickets", "status < 2", true,
                           kItems, false, "", true, true, false, " - ", false};
const TicketList kLocalHold{"Local Hold Sales", "Local Hold Tickets", "status > -10 and status < 2",
                            true, kCountedItems, false, kCounted, true, false, false, " - ", true};
const TicketList kUnsent{"All Un-Sent Tickets", "All Un-Sent Tickets", "(status = 2 or status = 3)",
                         false, kCountedItems, true, kCounted, false, false, false, " - ", false};
// clang-format on

std::string filter(const Station& s, const TicketList& r) {
    return r.time_filter ? range_filter(s.st) : date_filter(s.st);
}

// The lines that select a ticket, all servers or (server mode) the operator's.
std::string selected_lines(const Station& s, const TicketList& r) {
    if (r.server_mode && s.form.ownsalesonly == 1) {
        return "server = " + operator_text(s) + " and " + r.condition;
    }
    return r.condition;
}

std::string selection(const Station& s, const TicketList& r) {
    const std::string tail = r.time_filter ? range_filter_ordered(s.st, "ticket")
                                           : date_filter(s.st) + " order by ticket";
    return "select distinct ticket from xact where " + selected_lines(s, r) + tail;
}

// The server of the ticket's first row that the list takes (null when there is none).
Value first_row_server(Station& s, const TicketList& r, Database& src,
                       const std::string& of_ticket) {
    Recordset row = src.open_recordset("select * from xact where " + of_ticket + r.row_condition +
                                       filter(s, r));
    return row.eof() ? Value::null() : row.field("server");
}

// The list's statements as the pass reads them.
TicketLines pass_lines(const Station& s, const TicketList& r) {
    return {selected_lines(s, r), r.row_condition, r.lines,
            r.service_charge_lines ? " and itemnumber = -2 and status > -10" : "", filter(s, r)};
}

// One work row for one ticket: its sums and the server of its first row. A ticket stored as a
// whole number takes them from the pass (the server too unless its rows disagree); any other
// (null, text, a fraction) stands for the lines of its numeric value and runs its own statements.
void add_ticket_row(Station& s, const TicketList& r, Database& src, Database& rpt, Recordset& ar,
                    const TicketPass& pass) {
    const Value& ticket = pass.ticket();
    const std::string of_ticket = key_condition("ticket", ticket);
    Value server;
    if (std::holds_alternative<std::int64_t>(ticket.data())) {
        const TicketSums sums = pass.sums();
        take_key_sums(s, sums.base, sums.srvchg, sums.charge, sums.tax);
        server = sums.server ? *sums.server : first_row_server(s, r, src, of_ticket);
    } else {
        const TicketLines l = pass_lines(s, r);
        sum_key_lines(s, src, of_ticket + l.lines + l.range,
                      l.charges.empty() ? "" : of_ticket + l.charges + l.range);
        server = first_row_server(s, r, src, of_ticket);
    }
    // A text ticket is the ticket of its numeric value.
    const Value number = ticket.is_text() ? Value(ticket.as_double()) : ticket;
    add_amount_row(s, rpt, src, ar, {{"ardate", number}, {"aracctnum", server}});
}

// The cleared entries of the audit file in the date range: one work row each, amounts 0.
void add_cleared_entries(Station& s, Database& rpt, Recordset& ar) {
    ModuleState& st = s.st;
    const std::string name = audit_file_name(st);
    const auto path = s.path(name);
    if (!file_exists(path)) {
        if (st.closeoutmode != 1) s.message("No audit file.", name, Icon::Information);
        return;
    }
    const std::string from = mmddyyyy_key(s.form.txtfromdate.text);
    const std::string to = mmddyyyy_key(s.form.txttodate.text);
    for_each_line_in_keys(
        s, path, from, to,
        [&](const std::string& line) {
            if (char_count(line) < 17) return;
            const std::string rest = upper(chars_from(line, 17));
            if (rest.find("CLEARED .00") == std::string::npos) return;
            const double server = leading_number(rest);
            const std::size_t slash = rest.find('\\');
            if (slash != std::string::npos) {
                if (slash + 1 >= rest.size()) return;  // nothing after the separator: cannot be cut
                const double number = leading_number(rest.substr(std::min(slash + 2, rest.size())));
                st.ticketnum = to_int32(number);  // a number beyond 32 bits gives 0, not garbage
            }
            ar.add_new();
            ar.set("ardate", Value(static_cast<std::int64_t>(st.ticketnum)));
            ar.set("aracctnum", Value(server));
            for (const char* field : {"base", "srvchg", "salestax", "total"})
                ar.set(field, Currency{});
            ar.update();
            rpt.idle();
            s.yield();
        },
        &rpt);
}

void gather(Station& s, const TicketList& r) {
    auto rpt = open_report_db(s);
    s.st.sqlstring = "delete * from ar";
    rpt->execute(s.st.sqlstring);
    s.yield();
    std::unique_ptr<Database> src;
    if (r.held_source) {
        s.st.dbpath = s.st.mapdrive + "kovratmp.mdb";
        src = open_database_at(s, s.st.dbpath);
    } else {
        src = open_transaction_db(s);
    }
    TicketPass tickets(*src, pass_lines(s, r));
    s.st.sqlstring = tickets.sql();
    Recordset ar;
    if (r.cleared_entries || tickets.count() > 0) {
        ar = rpt->open_recordset("select * from ar", SetKind::Updatable);
    }
    if (tickets.count() > 0) {
        s.yield();
        begin_rows(s, tickets.count());
        DistinctKeys keys;
        for (; !tickets.eof(); tickets.move_next()) {
            if (keys.first(tickets.ticket())) add_ticket_row(s, r, *src, *rpt, ar, tickets);
        }
    }
    if (r.cleared_entries) {
        verifydate(s);
        add_cleared_entries(s, *rpt, ar);
    }
    rpt->idle();
}

void print_list(Station& s, const TicketList& r) {
    if (!select_printer_unless_batch(s)) {
        finish_print(s);
        return;
    }
    set_receipt_lines(s);
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    print_header(s, r.title);
    const long rows =
        print_amount_section(s, rpt.get(),
                             {"Ticket-Server Base    S/C    Tax   Total", kTicketListRows, "ardate",
                              "Ticket Count:   ", false, r.label_separator, "aracctnum"},
                             print);
    if (r.local_warning && rows > 0) {
        print(s, "The presence of LOCAL hold sales often");
        print(s, "indicates that a network connection");
        print(s, "problem exists. Contact your manager.");
        print(s, s.st.dashline);
    }
    feed_and_end(s);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

// Main Hold Sales reads the shared server folder: when it is not reachable the report is refused.
bool held_source_reachable(Station& s, const TicketList& r) {
    if (!r.held_source || back_office_reachable(s.st, s.svc)) return true;
    s.st.msg = "Main hold sales unavailable when off-line";
    s.message(s.st.msg, "Off-Line", Icon::Information);
    if (s.st.closeoutmode == 1) record_failure(s, r.status_text, s.st.msg);
    s.st.reportbusy = 0;
    return false;
}

void run_ticket_list(Station& s, const TicketList& r) {
    if (r.held_source && s.st.offlinemode == 1) return;
    run_guarded_report(
        s, r.status_text, r.title, [&] { gather(s, r); }, [&] { print_list(s, r); },
        [&] { return held_source_reachable(s, r); });
}

}  // namespace

void cmdserver3_click(Station& s) {
    run_ticket_list(s, kAllClosed);
}
void cmdserver5_click(Station& s) {
    run_ticket_list(s, kCleared);
}
void cmdserver7_click(Station& s) {
    run_ticket_list(s, kMainHold);
}
void cmdserver8_click(Station& s) {
    run_ticket_list(s, kLocalHold);
}
void cmdunsentxact_click(Station& s) {
    run_ticket_list(s, kUnsent);
}

std::string closed_ticket_selection(const Station& s) {
    return selection(s, kAllClosed);
}

void gather_cleared_tickets(Station& s) {
    gather(s, kCleared);
}

}  // namespace tillora
