#include "reports/server/my_sales.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/entry.h"
#include "panel/range.h"
#include "platform/text.h"
#include "reports/server/server_frame.h"

namespace tillora {

namespace {

constexpr std::int64_t kServiceChargeRow = 99999999;

// The batch mark of a tender line as a whole number: its leading number, 0 when there is none.
std::int64_t batch_number(const Value& posbatch) {
    const double v = leading_number(posbatch.as_text());
    if (!std::isfinite(v)) return 0;
    const double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int64_t>(std::llround(std::clamp(v, -limit, limit)));
}

// True when a line, whatever its item number, is posted to the configured service-charge
// account or has no account: its row becomes the service-charge account row, which the receipt
// lists last.
bool service_charge_account(const ModuleState& st, const Value& account) {
    if (account.is_null() || account.is_empty()) return true;
    if (account.is_text() && trim(account.as_text()).empty()) return true;
    return account.as_double() == st.arglsrvchg;
}

// The item row of item number `item`, from its first line in range.
void add_item_row(Station& s, Database& src, Database& rpt, Recordset& ar,
                  const std::string& item) {
    const std::string id = operator_text(s);
    const std::string lines = "server = " + id + " and status >= 2 and itemnumber = " + item +
                              " and server = " + id + range_filter(s.st);
    sum_key_lines(s, src, lines);
    Recordset first = src.open_recordset("select * from xact where " + lines);
    if (first.record_count() < 1) return;
    const ModuleState& st = s.st;
    const Value account = first.field("posacctnum");
    ar.add_new();
    ar.set("ardate", first.field("itemnumber"));
    ar.set("aracctnum", account);
    ar.set("Memo", item_text(s, first.field("posmemo").as_text()));
    if (!service_charge_account(st, account)) {
        ar.set("base", st.linebase);
        ar.set("srvchg", st.linesrvchg);
        ar.set("salestax", st.linetax);
        ar.set("total", st.linebase + st.linesrvchg + st.linetax);
    } else {
        // Base and tax stay at the work table's default of 0.
        ar.set("ardate", Value(kServiceChargeRow));
        ar.set("base", Currency{});
        ar.set("salestax", Currency{});
        ar.set("srvchg", st.linebase);
        ar.set("total", st.linebase);
    }
    ar.update();
    rpt.idle();
    src.idle();
}

// The tender row of tender type `type`: lines in the date range, any time of day.
void add_tender_row(Station& s, Database& src, Database& rpt, Recordset& ar,
                    const std::string& type) {
    const std::string lines = "server = " + operator_text(s) + " and postendtype = " + type +
                              date_filter(s.st) + " and itemnumber = -1 and status > 0";
    s.st.linebase = sum_or_zero(src, "select sum(poschitbase) from xact where " + lines);
    Recordset first = src.open_recordset("select * from xact where " + lines);
    if (first.record_count() < 1) return;
    ar.add_new();
    ar.set("aracctnum", first.field("posacctnum"));
    ar.set("Memo", first.field("posmemo").as_text());
    ar.set("covers", Value(batch_number(first.field("posbatch"))));
    ar.set("total", s.st.linebase);
    ar.update();
    rpt.idle();
    src.idle();
    s.yield();
}

void gather_items(Station& s, Database& src, Database& rpt) {
    s.st.sqlstring = "select distinct itemnumber from xact where server = " + operator_text(s) +
                     " and status >= 2" + range_filter_ordered(s.st, "itemnumber");
    Recordset items = src.open_recordset(s.st.sqlstring);
    if (items.record_count() == 0) return;
    Recordset ar = rpt.open_recordset("select * from ar", SetKind::Updatable);
    for (; !items.eof(); items.move_next()) {
        if (const auto item = sql_number(items.field(std::size_t{0}))) {
            add_item_row(s, src, rpt, ar, *item);
        }
        s.yield();
    }
}

void gather_tenders(Station& s, Database& src, Database& rpt) {
    s.st.sqlstring = "select distinct postendtype from xact where server = " + operator_text(s) +
                     " and itemnumber = -1 order by postendtype";
    Recordset types = src.open_recordset(s.st.sqlstring);
    if (types.record_count() == 0) return;
    Recordset ar = rpt.open_recordset("select * from ar", SetKind::Updatable);
    s.yield();
    for (; !types.eof(); types.move_next()) {
        if (const auto type = sql_number(types.field(std::size_t{0}))) {
            add_tender_row(s, src, rpt, ar, *type);
        }
    }
}

void gather_ticket_count(Station& s, Database& src, Database& rpt) {
    s.st.sqlstring =
        "select distinct ticket from xact where status >= 2 and server = " + operator_text(s) +
        date_filter(s.st);
    Recordset tickets = src.open_recordset(s.st.sqlstring);
    if (tickets.record_count() == 0) return;
    tickets.move_last();
    const std::int64_t n = tickets.record_count();
    Recordset ar = rpt.open_recordset("select * from ar", SetKind::Updatable);
    ar.add_new();
    ar.set("Memo", "Ticket count:   " + std::to_string(n));
    ar.set("artototal", Value(n));
    ar.update();
    rpt.idle();
    s.yield();
}

void gather(Station& s) {
    auto rpt = open_report_db(s);
    s.st.sqlstring = "delete * from ar";
    rpt->execute(s.st.sqlstring);
    s.yield();
    auto src = open_transaction_db(s);
    gather_items(s, *src, *rpt);
    gather_tenders(s, *src, *rpt);
    gather_ticket_count(s, *src, *rpt);
    rpt->idle();
}

void print_lines(Station& s, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) print_direct(s, line);
}

void print_feed(Station& s, int lines) {
    for (int i = 0; i < lines; ++i) print_direct(s, s.st.blankline);
}

void print_items(Station& s, Database* rpt) {
    print_amount_section(
        s, rpt,
        {"Item Sales    Base    S/C    Tax   Total",
         "select * from ar where (ardate > 0 or ardate = -5) order by ardate", "Memo", "", true},
        print_direct);
}

std::string tender_line(const std::string& text, Currency amount) {
    return left_column(text, 30) + money_column(amount, "######.#0", 10);
}

void print_tenders(Station& s, Database* rpt) {
    Currency sum;
    long rows = 0;
    skip_errors(s, [&] {
        if (rpt == nullptr) return;
        Recordset rs = rpt->open_recordset("select * from ar where covers >= 1 order by covers");
        for (; !rs.eof(); rs.move_next()) {
            s.st.amtwork = rs.field("total").as_currency();
            sum += s.st.amtwork;
            ++rows;
            print_direct(s, tender_line(tender_label(rs.field("Memo").as_text()), s.st.amtwork));
        }
    });
    if (rows > 0) {
        print_direct(s, s.st.dashline);
        print_direct(s, tender_line("Total:", sum));
    }
    print_direct(s, s.st.dashline);
}

void print_ticket_count(Station& s, Database* rpt) {
    skip_errors(s, [&] {
        if (rpt == nullptr) return;
        Recordset rs = rpt->open_recordset("select * from ar where artototal > 0");
        if (rs.record_count() < 1) return;
        print_direct(s, rs.field("Memo").as_text());
        print_direct(s, s.st.dashline);
    });
}

// Straight to the current printer as the last set-up left it; always ends the job.
void print_summary(Station& s) {
    std::unique_ptr<Database> rpt;
    skip_errors(s, [&] { rpt = open_report_db(s); });
    print_lines(s, header_lines(s, "Server Item Sales Summary", true));
    print_items(s, rpt.get());
    print_feed(s, 5);
    print_lines(s, header_lines(s, "Cashier Tender Summary - Closed Tickets", true));
    print_tenders(s, rpt.get());
    print_ticket_count(s, rpt.get());
    print_feed(s, 3);
    end_print_job(s);
    skip_errors(s, [&] { rpt.reset(); });
    finish_print(s);
}

}  // namespace

std::string item_text(Station& s, const std::string& memo) {
    std::string text = memo;
    if (leading_number(text) > 0) text = chars_from(text, 2);
    s.st.cleanstr = text;
    clean_text(s);
    text = s.st.cleanstr;
    s.st.cleanstr.clear();
    return text;
}

std::string tender_label(const std::string& memo) {
    if (memo.find("Paid by") == std::string::npos) return memo;
    return chars_from(memo, 8);
}

void cmdserver1_click(Station& s) {
    verifydate(s);
    take_dates(s);
    s.st.empid = operator_number(s);
    s.form.ownsalesonly = 1;
    if (run_report(s, "My Sales Summary", [&] { gather(s); })) {
        print_summary(s);
        per_report_reset(s);
        append_operator_audit_entry(s, "SvrTktRpt");
    } else {
        per_report_reset(s);
    }
}

}  // namespace tillora
