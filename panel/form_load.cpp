#include "panel/form_load.h"

#include "app/master_config.h"
#include "app/node_file.h"
#include "app/printer_setup.h"
#include "app/today.h"
#include "panel/entry.h"
#include "panel/range.h"
#include "platform/files.h"

namespace tillora {

namespace {

void start_interactive(Station& s) {
    FormModel& f = s.form;
    ModuleState& st = s.st;
    f.caption += std::string(" ") + kVersionLabel;
    s.svc.ui.set_topmost(true);
    if (st.session != 0) {
        f.txtfromdate.text = std::to_string(st.session);
    } else {
        run_today(st, s.svc.clock);
        f.txtfromdate.text = std::to_string(st.todaynum);
    }
    f.txttodate.text = f.txtfromdate.text;
    f.helpwindow.text = "Enter Server ID and Password/Swipe Card";
    if (st.offlinemode == 1) f.cmdserver7.enabled = false;
    focus_control(s, "txtempid");
}

void start_closeout(Station& s, const std::string& command_line) {
    FormModel& f = s.form;
    ModuleState& st = s.st;
    f.txtfromdate.text = command_line.substr(5);
    f.txttodate.text = f.txtfromdate.text;
    verifydate(s);
    st.closeoutmode = 1;
    st.closeoutfile = "closeout" + st.unitstr + "-" + f.txtfromdate.text + ".txt";
    try {
        replace_private_file(s.path(st.closeoutfile), "");
    } catch (const FileError& e) {
        // The run goes on: its lines are appended after the old ones.
        s.message("The close-out file " + st.closeoutfile + " cannot be replaced.\r\n" + e.what(),
                  "Oops...", Icon::Critical);
    }
    s.yield();
    if (s.print_all) s.print_all(s);
}

}  // namespace

bool is_kvrun(const std::string& command_line) {
    return command_line.rfind("KVRUN", 0) == 0;
}

void form_load(Station& s, const std::string& command_line) {
    load_workstation(s);
    start_mode(s, command_line);
}

void load_workstation(Station& s) {
    ModuleState& st = s.st;
    // Relative names resolve in the installation folder (Services::resolve).
    s.yield();
    read_node_file(st, s.svc);
    st.unitstr = two_digit_unit(st.posunit);
    load_master_config(st, s.svc);
    initial_printer_setup(s.st, s.svc);
}

void start_mode(Station& s, const std::string& command_line) {
    if (is_kvrun(command_line)) {
        start_closeout(s, command_line);
    } else {
        start_interactive(s);
    }
}

void form_unload(Station& s) {
    // Every database and result set is closed by the step that opened it.
    s.yield();
}

}  // namespace tillora
