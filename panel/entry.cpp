#include "panel/entry.h"

#include <unistd.h>

#include "app/outside_programs.h"
#include "app/today.h"
#include "panel/count_screen.h"
#include "panel/login.h"
#include "panel/panel_buttons.h"
#include "panel/range.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/value.h"

namespace tillora {

namespace {

constexpr const char* kAllowedCleanChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890!@#$%&*()-_=+[{]};:'<>.?~`";

// The activefield number of an entry box, 0 for any other control.
int field_of(FormModel& form, const Control* c) {
    for (int field = 1; field <= kLastCountField; ++field) {
        if (form.entry_box(field) == c) return field;
    }
    return 0;
}

bool is_hour_field(int field) {
    return field == 5 || field == 6;
}
bool is_minute_field(int field) {
    return field == 7 || field == 8;
}

// Keypad caps: two-digit hours above 23 become 23, minutes above 59 become 59.
void cap_time_box(Control& box, int field) {
    if (char_count(box.text) != 2) return;
    const double value = leading_number(box.text);
    if (is_hour_field(field) && value > 23) box.text = "23";
    if (is_minute_field(field) && value > 59) box.text = "59";
}

// A four-character date box (MMDD) gets the current year put in front.
void complete_date(Station& s, Control& box) {
    if (char_count(box.text) == 4) box.text = current_year(s.svc.clock) + box.text;
}

// A printable character typed into a box, within the box's keyboard length limit.
void type_into(Control& box, char key) {
    if (key == '\b') {
        box.text = without_last_char(box.text);
        return;
    }
    if (static_cast<unsigned char>(key) < 0x20) return;
    const std::size_t limit = typed_length_limit(box.name);
    if (limit != 0 && char_count(box.text) >= limit) return;
    box.text += key;
}

void key_in_empid(Station& s, Control& box, char key) {
    if (key == ';') {
        focus_control(s, "txtpassword");
        s.yield();
    } else if ((key >= '0' && key <= '9') || key == '\b') {
        type_into(box, key);
    }
    // Enter passes the filter but a one-line box does nothing with it; all else is dropped.
}

// An amount box takes digits, Backspace and Enter as the keypad's keys; all else is dropped.
void key_in_count_box(Station& s, char key) {
    if (key >= '0' && key <= '9') cmdnumber_click(s, key - '0');
    if (key == '\b') cmdnumber_click(s, kKeyBksp);
    if (key == '\r') cmdnumber_click(s, kKeyEnter);
}

}  // namespace

std::size_t typed_length_limit(const std::string& box) {
    if (box == "txtfromdate" || box == "txttodate") return 8;
    if (box == "txtfromhour" || box == "txttohour" || box == "txtfromminute" ||
        box == "txttominute") {
        return 2;
    }
    return 0;
}

void focus_control(Station& s, const std::string& name) {
    Control* c = s.form.find(name);
    if (c == nullptr) return;
    s.form.focused = name;
    const int field = field_of(s.form, c);
    if (field == 1) {
        logout(s);
    } else if (field != 0) {
        c->text.clear();
        s.form.activefield = static_cast<std::int16_t>(field);
        c->back = Colour::Highlight;
    }
}

void key_press(Station& s, char key) {
    Control* c = s.form.find(s.form.focused);
    if (c == nullptr) return;
    if (c->kind == ControlKind::Button) {
        if (key == '\r' && s.form.usable(*c)) click_panel_control(s, c->name);
        return;
    }
    const int field = field_of(s.form, c);
    if (field == 0) return;
    if (field == 1) {
        key_in_empid(s, *c, key);
    } else if (is_count_field(field)) {
        key_in_count_box(s, key);
    } else if (key != '\r') {
        type_into(*c, key);
    } else if (field == 2) {
        cmdnumber_click(s, kKeyEnter);
        focus_control(s, "cmdlogin");
    } else if (field == 3 || field == 4) {
        complete_date(s, *c);
        cmdnumber_click(s, kKeyEnter);
    }
}

void key_f5(Station& s) {
    if (s.form.focused != "txtempid") return;
    start_employee_lookup(s.svc);
}

void cmdnumber_click(Station& s, int index) {
    if (index < 0 || index > kKeyBksp) return;
    FormModel& f = s.form;
    const std::string append = index <= 9 ? f.cmdnumber[index].text : "";
    if (index == kKeyEnter) {
        for (Control* box : {&f.txtempid, &f.txtpassword, &f.txtfromdate, &f.txttodate}) {
            box->back = Colour::White;
        }
        for (int field = kFirstCountField; field <= kLastCountField; ++field) {
            f.entry_box(field)->back = Colour::White;
        }
        const int from = f.activefield;
        f.activefield = 0;
        complete_date(s, f.txtfromdate);
        complete_date(s, f.txttodate);
        pad_times(s);
        order_times(s);
        // The focus moves on: the password box then becomes the active box itself.
        if (from == 1) focus_control(s, "txtpassword");
        if (from == 2) focus_control(s, "cmdlogin");
    }
    s.yield();
    if (is_count_field(f.activefield)) {
        cents_key(*f.entry_box(f.activefield), index);
        show_expected(*f.count);
    } else if (Control* box = f.entry_box(f.activefield)) {
        box->text += append;
        cap_time_box(*box, f.activefield);
        if (index == kKeyBksp) box->text = without_last_char(box->text);
        if (index == kKeyClear) box->text.clear();
    }
    s.yield();
}

// Character by character: a character stays when its upper-case form is one allowed character.
void clean_text(Station& s) {
    const std::string_view allowed = kAllowedCleanChars;
    std::string copy;
    for (const std::string& c : characters(s.st.cleanstr)) {
        const std::string upper_c = upper(c);
        const bool kept = upper_c.size() == 1 && allowed.find(upper_c[0]) != std::string::npos;
        copy += kept ? c : std::string(" ");
    }
    s.st.cleanstr = copy;
    s.yield();
}

}  // namespace tillora
