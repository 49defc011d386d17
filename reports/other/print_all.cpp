#include "reports/other/print_all.h"

#include <array>

#include "app/outside_programs.h"
#include "engine/pipeline.h"
#include "engine/print_frame.h"
#include "engine/question.h"
#include "platform/files.h"
#include "reports/other/report_buttons.h"

namespace tillora {

namespace {

struct BatchReport {
    const char* button;
    bool online_only;  // skipped on an off-line workstation
};

// The batch, in the order the reports come out.
constexpr std::array<BatchReport, 14> kBatch{{
    {"cmdserver4", false},        // Server Totals
    {"cmdserver3", false},        // All Closed Tickets
    {"cmdtender1", false},        // Tender Totals/POA
    {"cmdserver5", false},        // Cleared Tickets
    {"cmdserver9", false},        // Removed Items
    {"cmdserver6", false},        // Server Clear Totals
    {"cmdserver8", false},        // Local Hold Sales
    {"cmdserver7", true},         // Main Hold Sales
    {"cmdbalancedrawer", false},  // Balance Drawer
    {"cmdcreditcard", false},     // Credit Card Report
    {"cmdpaidinpaidout", false},  // Paid Outs/Paid Ins
    {"cmdticketcount", false},    // Ticket Count Log
    {"cmdunsentxact", false},     // Un-sent Xact
    {"cmdaudit", false},          // Workstation Audit (with the error audit)
}};

constexpr const char* kSeparator = "***************************************";

bool confirm(Station& s) {
    s.st.msg =
        "Note: this could be quite a lengthy report. Be sure the\n"
        "printer has sufficient paper. Click YES to continue and\n"
        "print the report; click NO to cancel.";
    s.st.title = Value("Print All Reports");
    return ask_yes_no(s);
}

// Records the finished close-out file for the other programs of the installation.
void request_closeout_pickup(Station& s) {
    ModuleState& st = s.st;
    st.reqcode = 25;
    st.reqparm1 = Value(st.closeoutfile);
    st.reqparm2 = Value(0);
    st.reqparm3 = Value(0);
    st.reqparm4 = Value(0);
    try {
        write_request(st, s.svc);
    } catch (const FileError& e) {
        record_failure(s, "Request file", e.what());
        s.message(std::string("The request file could not be written.\r\n") + e.what(), "Oops...",
                  Icon::Critical);
    }
}

}  // namespace

void cmdprintall_click(Station& s) {
    ModuleState& st = s.st;
    if (st.closeoutmode == 0 && !confirm(s)) return;
    st.printall = 1;
    const long count = st.offlinemode != 0 ? kBatch.size() - 1 : kBatch.size();
    long done = 0;
    show_progress(s, done, count);
    for (const BatchReport& r : kBatch) {
        if (r.online_only && st.offlinemode != 0) continue;
        click_report_button(s, r.button);
        if (st.closeoutmode == 1) print(s, kSeparator);
        show_progress(s, ++done, count);
        if (stopping(s)) break;  // the job printed so far still ends below
    }
    if (st.closeoutmode == 0) end_print_job(s);
    s.yield();
    hide_progress(s);
    if (st.closeoutmode == 0) {
        st.printall = 0;
        show_status(s, "Done");
        return;
    }
    request_closeout_pickup(s);
    s.form.closed = true;
}

}  // namespace tillora
