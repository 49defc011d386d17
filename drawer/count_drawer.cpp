#include "drawer/count_drawer.h"

#include "drawer/count_receipt.h"
#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "panel/entry.h"
#include "platform/printer.h"
#include "platform/store.h"

namespace tillora {

namespace {

constexpr const char* kTitle = "Drawer Count";

// The receipt of `count` as one job, through the receipt printer selection of the reports.
void print_count(Station& s, const StoredCount& count, bool reprint) {
    if (!select_printer_unless_batch(s)) {
        finish_print(s);
        return;
    }
    for (const std::string& line : count_receipt(count, s.st.unitstr, s.st.dashline, reprint)) {
        print(s, line);
    }
    feed_and_end(s);
    finish_print(s);
}

// A store failure: the guard is cleared and the operator told what happened to the count.
void count_failed(Station& s, const std::string& what, const std::exception& e) {
    s.st.reportbusy = 0;
    std::string detail = e.what();
    if (const auto* store = dynamic_cast<const StoreError*>(&e)) {
        detail = drawer_db_name(s.st) + ": " + store->engine_message();
    }
    s.st.msg = what + "\r\n" + detail;
    s.message(s.st.msg, "Oops...", Icon::Critical);
}

}  // namespace

TenderGroups drawer_takings(const DrawerFigures& figures) {
    TenderGroups t;
    for (const auto& [code, amount] : figures.tenders) {
        if (code == 1) t.cash += amount;
        if (code == 2) t.checks += amount;
        if (code == 9) t.member += amount;
        if (code >= 3 && code <= 8) t.cards += amount;
    }
    t.cash += Currency::from_double(figures.paid.amount);
    return t;
}

StoredCount count_on_screen(const Station& s, const CountScreen& screen) {
    const DateTime now = s.svc.clock.now();
    StoredCount c;
    c.countdate = now.year * 10000 + now.month * 100 + now.day;
    c.counttime = s.svc.clock.time_text();
    c.range = screen.range;
    c.empid = s.form.txtempid.text;
    c.openingbank = cents_value(screen.txtopeningbank.text);
    c.expected = screen.expected();
    c.counted = screen.counted();
    return c;
}

void open_cash_drawer(Station& s) {
    try {
        s.svc.printers.select(s.st.localprinter);
        Printer& printer = s.svc.printers.current();
        run_beside_window(s.svc.ui, [&printer] { printer.open_drawer(); });
    } catch (const PrinterError& e) {
        show_status(s, std::string("The cash drawer did not open (") + e.what() + ")");
    }
}

void cmdcountdrawer_click(Station& s) {
    CountScreen& screen = *s.form.count;
    run_guarded_report(
        s, kTitle, kTitle,
        [&] {
            screen.takings = drawer_takings(gather_drawer_figures(s));
            screen.range = {s.st.fromdate, s.st.todate, s.st.fromtime, s.st.totime};
        },
        [&] {
            show_count_screen(s.form);
            focus_control(s, "txtopeningbank");
            open_cash_drawer(s);
            finish_print(s);
        });
}

void cmdcountprint_click(Station& s) {
    if (!report_guard(s)) return;
    show_status(s, kTitle);
    StoredCount count = count_on_screen(s, *s.form.count);
    try {
        store_count(s, count);
    } catch (const std::exception& e) {
        count_failed(s,
                     "The drawer count was not stored and nothing was printed. The amounts stay "
                     "on the screen: try again.",
                     e);
        return;
    }
    append_operator_audit_entry(s, kTitle, " #" + std::to_string(count.countno));
    print_count(s, count, false);
    close_count_screen(s.form, true);
}

void cmdcountcancel_click(Station& s) {
    close_count_screen(s.form, true);
}

void cmdcountreprint_click(Station& s) {
    if (!report_guard(s)) return;
    show_status(s, kTitle);
    std::optional<StoredCount> last;
    try {
        last = last_count(s);
    } catch (const std::exception& e) {
        count_failed(s, "The last drawer count could not be read.", e);
        return;
    }
    if (!last) {
        s.st.reportbusy = 0;
        s.st.msg = "No drawer count has been stored yet.";
        s.message(s.st.msg, "Oops...", Icon::Information);
        return;
    }
    print_count(s, *last, true);
}

}  // namespace tillora
