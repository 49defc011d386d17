#include "panel/form_model.h"

#include "panel/count_screen.h"

namespace tillora {

namespace {

Control make(const std::string& name, ControlKind kind, const std::string& text = "",
             const std::string& parent = "") {
    Control c;
    c.name = name;
    c.kind = kind;
    c.text = text;
    c.parent = parent;
    return c;
}

Control text_box(const std::string& name, const std::string& text = "") {
    return make(name, ControlKind::TextBox, text);
}

Control button(const std::string& name, const std::string& caption) {
    return make(name, ControlKind::Button, caption);
}

Control manager_button(const std::string& name, const std::string& caption) {
    return make(name, ControlKind::Button, caption, "framanager");
}

}  // namespace

FormModel::FormModel()
    : txtempid(text_box("txtempid", "Type ID")),
      txtpassword(text_box("txtpassword")),
      txtfromdate(text_box("txtfromdate")),
      txttodate(text_box("txttodate")),
      txtfromhour(text_box("txtfromhour", "00")),
      txttohour(text_box("txttohour", "23")),
      txtfromminute(text_box("txtfromminute", "00")),
      txttominute(text_box("txttominute", "59")),
      cmdlogin(button("cmdlogin", "Log In")),
      cmdmorning(button("cmdmorning", "6 am - Noon")),
      cmdafternoon(button("cmdafternoon", "Noon - 6 pm")),
      cmdevening(button("cmdevening", "6 pm - midnight")),
      helpwindow(text_box("helpwindow")),
      cmdserver1(button("cmdserver1", "My Sales Summary")),
      cmdserver2(button("cmdserver2", "Server/Cashier Reports")),
      cmdmanager(button("cmdmanager", "Manager Reports")),
      cmdhelp(button("cmdhelp", "Help")),
      framanager(make("framanager", ControlKind::Frame, "Manager Reports")),
      cmdserver3(manager_button("cmdserver3", "All Closed Tickets")),
      cmdserver4(manager_button("cmdserver4", "Server Totals")),
      cmdserver5(manager_button("cmdserver5", "Cleared Tickets")),
      cmdserver6(manager_button("cmdserver6", "Server Clear Totals")),
      cmdserver7(manager_button("cmdserver7", "Main Hold Sales")),
      cmdserver8(manager_button("cmdserver8", "Local Hold Sales")),
      cmdserver9(manager_button("cmdserver9", "Removed Items")),
      cmdtender1(manager_button("cmdtender1", "Tender Totals/POA")),
      cmdbalancedrawer(manager_button("cmdbalancedrawer", "Balance Drawer")),
      cmdaudit(manager_button("cmdaudit", "Workstation Audit")),
      cmdpaidinpaidout(manager_button("cmdpaidinpaidout", "Paid Outs/Paid Ins")),
      cmdticketcount(manager_button("cmdticketcount", "Ticket Count Log")),
      cmdunsentxact(manager_button("cmdunsentxact", "Un-sent Xact")),
      cmdcreditcard(manager_button("cmdcreditcard", "Credit Card Report")),
      cmdexport1(manager_button("cmdexport1", "Export Transactions")),
      cmdprintall(manager_button("cmdprintall", "Print All Reports")),
      cmdviewcloseout(manager_button("cmdviewcloseout", "View Close-out")),
      frahelp(make("frahelp", ControlKind::Frame, "Tillora Reports Help")),
      lblhelp(make("lblhelp", ControlKind::Label, "", "frahelp")),
      cmdpreview(button("cmdpreview", "Preview")),
      txtpreview(make("txtpreview", ControlKind::View)),
      cmdpreviewprint(button("cmdpreviewprint", "Print")),
      cmdpreviewclose(button("cmdpreviewclose", "Close")),
      prgwork(make("prgwork", ControlKind::Progress)),
      cmdstop(button("cmdstop", "Stop")),
      count(std::make_unique<CountScreen>()) {
    static const char* const kKeypad[13] = {"0", "1", "2", "3",     "4",        "5",   "6",
                                            "7", "8", "9", "Clear", "Enter/Ok", "Bksp"};
    for (int i = 0; i < 13; ++i) {
        cmdnumber[i] = button("cmdnumber" + std::to_string(i), kKeypad[i]);
    }
    // Until a login: no server reports, no manager frame, no time shortcuts.
    for (Control* c : {&cmdserver1, &cmdserver2, &cmdmanager, &cmdmorning, &cmdafternoon,
                       &cmdevening, &cmdpreview}) {
        c->enabled = false;
    }
    cmdpreview.checkable = true;
    framanager.visible = false;
    frahelp.visible = false;
    // Shown only while there is something to view or work running.
    for (Control* c : {&txtpreview, &cmdpreviewprint, &cmdpreviewclose, &prgwork, &cmdstop}) {
        c->visible = false;
    }
}

std::vector<Control*> FormModel::controls() {
    std::vector<Control*> all = {
        &txtempid,        &txtpassword,      &txtfromdate, &txttodate,        &txtfromhour,
        &txttohour,       &txtfromminute,    &txttominute, &cmdlogin,         &cmdmorning,
        &cmdafternoon,    &cmdevening,       &helpwindow,  &cmdserver1,       &cmdserver2,
        &cmdmanager,      &cmdhelp,          &framanager,  &cmdserver3,       &cmdserver4,
        &cmdserver5,      &cmdserver6,       &cmdserver7,  &cmdserver8,       &cmdserver9,
        &cmdtender1,      &cmdbalancedrawer, &cmdaudit,    &cmdpaidinpaidout, &cmdticketcount,
        &cmdunsentxact,   &cmdcreditcard,    &cmdexport1,  &cmdprintall,      &cmdviewcloseout,
        &frahelp,         &lblhelp,          &cmdpreview,  &txtpreview,       &cmdpreviewprint,
        &cmdpreviewclose, &prgwork,          &cmdstop};
    for (Control& key : cmdnumber) all.push_back(&key);
    for (Control* c : count->controls()) all.push_back(c);
    return all;
}

FormModel::~FormModel() = default;

Control* FormModel::find(const std::string& name) {
    for (Control* c : controls()) {
        if (c->name == name) return c;
    }
    return nullptr;
}

Control* FormModel::entry_box(int field) {
    switch (field) {
        case 1:
            return &txtempid;
        case 2:
            return &txtpassword;
        case 3:
            return &txtfromdate;
        case 4:
            return &txttodate;
        case 5:
            return &txtfromhour;
        case 6:
            return &txttohour;
        case 7:
            return &txtfromminute;
        case 8:
            return &txttominute;
        default:
            return count->entry_box(field);
    }
}

bool FormModel::usable(const Control& control) const {
    if (!control.enabled || !control.visible) return false;
    if (control.parent.empty()) return true;
    const Control* frame = nullptr;
    if (control.parent == "framanager") frame = &framanager;
    if (control.parent == "frahelp") frame = &frahelp;
    if (control.parent == "fracount") frame = &count->fracount;
    return frame == nullptr || (frame->enabled && frame->visible);
}

}  // namespace tillora
