#include "panel/login.h"

#include "app/master_config.h"
#include "panel/count_screen.h"
#include "platform/files.h"
#include "platform/store.h"
#include "platform/value.h"

namespace tillora {

namespace {

constexpr const char* kNotFound = "NOTFOUND";

void refuse(Station& s, const std::string& text) {
    s.st.msg = text;
    s.message(s.st.msg, "Oops...", Icon::Information);
}

// The stored password as text; an empty or null password counts as no employee.
std::string stored_password(const Value& pword) {
    if (pword.is_null() || pword.is_empty()) return kNotFound;
    const std::string text = pword.as_text();
    return trim(text).empty() ? kNotFound : text;
}

}  // namespace

std::string employee_statement(const ModuleState& st) {
    const std::string& number = st.empid.text();
    if (st.empvalmethod < 2) return "select * from empinfo where empid = " + number;
    if (st.empvalmethod == 2) return "select * from empinfo where operator = " + number;
    if (st.empvalmethod == 3)
        return "select * from empinfo where accessnum = '" + trim(number) + "'";
    return "";
}

bool employee_lookup(Station& s) {
    ModuleState& st = s.st;
    const std::string statement = employee_statement(st);
    st.msg = kNotFound;
    // No lookup method, or a number longer than any card's: nobody is found.
    if (statement.empty() || st.empid.too_long()) return true;
    st.sqlstring = statement;
    try {
        auto db = Database::open(s.path("kovraemp.mdb"));
        auto rs = db->open_recordset(st.sqlstring, SetKind::Snapshot);
        if (!rs.eof()) st.msg = stored_password(rs.field("pword"));
        s.yield();
        rs.close();
        db->close();
        s.yield();
    } catch (const StoreError& e) {
        st.msg = database_error_text(e);
        s.message(st.msg, "Oops...", Icon::Critical);
        return false;
    }
    return true;
}

void cmdlogin_click(Station& s) {
    ModuleState& st = s.st;
    FormModel& f = s.form;
    st.saleactive = file_exists(s.path("regflag.flg")) ? 1 : 0;
    if (st.saleactive == 1) {
        refuse(s, "Reports may not be performed while an active \r\nsale is in progress.");
        return;
    }
    st.empid = IdNumber::of_text(f.txtempid.text);
    if (!employee_lookup(s)) return;
    if (st.msg == kNotFound || st.msg == "0") {
        refuse(s, "Employee not found");
        return;
    }
    const double typed = leading_number(f.txtpassword.text);
    if (leading_number(st.msg) != typed) {
        refuse(s, "Invalid Password");
        return;
    }
    for (Control* c : {&f.cmdserver1, &f.cmdserver2, &f.cmdmorning, &f.cmdafternoon, &f.cmdevening,
                       &f.cmdpreview}) {
        c->enabled = true;
    }
    f.cmdmanager.enabled = typed > kManagerThreshold;
    f.helpwindow.text = "Select Report";
}

void cmdmanager_click(Station& s) {
    close_count_screen(s.form, false);
    s.form.framanager.visible = true;
    s.form.ownsalesonly = 0;
}

void logout(Station& s) {
    FormModel& f = s.form;
    f.txtempid.text.clear();
    f.activefield = 1;
    f.txtempid.back = Colour::Highlight;
    f.txtpassword.text.clear();
    f.framanager.visible = false;
    close_count_screen(f, false);
    f.cmdmanager.enabled = false;
    f.cmdserver1.enabled = false;
    f.cmdserver2.enabled = false;
    f.cmdpreview.enabled = false;
    s.yield();
}

}  // namespace tillora
