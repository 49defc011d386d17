#include "reports/other/report_buttons.h"

#include <functional>
#include <map>

#include "drawer/count_drawer.h"
#include "engine/preview_print.h"
#include "engine/ticket_lists.h"
#include "export/export_transactions.h"
#include "reports/other/credit_card.h"
#include "reports/other/print_all.h"
#include "reports/other/removed_items.h"
#include "reports/server/my_sales.h"
#include "reports/server/server_tickets.h"
#include "reports/server/server_totals.h"
#include "reports/tender/audit_reports.h"
#include "reports/tender/drawer.h"
#include "reports/tender/tender_totals.h"

namespace tillora {

namespace {

using Handler = void (*)(Station&);

// Report buttons and their handlers; filled in as the report families land.
const std::map<std::string, Handler>& report_handlers() {
    static const std::map<std::string, Handler> handlers = {
        {"cmdserver3", cmdserver3_click},
        {"cmdserver5", cmdserver5_click},
        {"cmdserver7", cmdserver7_click},
        {"cmdserver8", cmdserver8_click},
        {"cmdunsentxact", cmdunsentxact_click},
        {"cmdserver9", cmdserver9_click},
        {"cmdcreditcard", cmdcreditcard_click},
        {"cmdprintall", cmdprintall_click},
        {"cmdserver1", cmdserver1_click},
        {"cmdserver2", cmdserver2_click},
        {"cmdserver4", cmdserver4_click},
        {"cmdserver6", cmdserver6_click},
        {"cmdtender1", cmdtender1_click},
        {"cmdbalancedrawer", cmdbalancedrawer_click},
        {"cmdaudit", cmdaudit_click},
        {"cmdpaidinpaidout", cmdpaidinpaidout_click},
        {"cmdticketcount", cmdticketcount_click},
        {"cmdexport1", cmdexport1_click},
        {"cmdcountdrawer", cmdcountdrawer_click},
        {"cmdcountprint", cmdcountprint_click},
        {"cmdcountcancel", cmdcountcancel_click},
        {"cmdcountreprint", cmdcountreprint_click},
    };
    return handlers;
}

// The receipt view's buttons and Stop: they act on the work, they are no work of their own.
const std::map<std::string, Handler>& view_handlers() {
    static const std::map<std::string, Handler> handlers = {
        {"cmdpreview", cmdpreview_click},
        {"cmdpreviewprint", cmdpreviewprint_click},
        {"cmdpreviewclose", cmdpreviewclose_click},
        {"cmdviewcloseout", cmdviewcloseout_click},
        {"cmdstop", cmdstop_click},
    };
    return handlers;
}

}  // namespace

bool click_report_button(Station& s, const std::string& name) {
    if (const auto view = view_handlers().find(name); view != view_handlers().end()) {
        view->second(s);
        return true;
    }
    const auto& handlers = report_handlers();
    auto it = handlers.find(name);
    if (it == handlers.end()) return false;
    // The export cannot be stopped (its marks must match its files): it shows progress only.
    if (name == "cmdexport1") {
        it->second(s);
        hide_progress(s);
        return true;
    }
    run_stoppable(s, [&] { it->second(s); });
    return true;
}

void connect_reports(Station& s) {
    s.print_all = cmdprintall_click;
}

}  // namespace tillora
