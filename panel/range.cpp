#include "panel/range.h"

#include <utility>

#include "app/node_file.h"
#include "platform/text.h"
#include "platform/value.h"

namespace tillora {

namespace {

// Exchanges two box texts when the first is numerically greater, through st.msg.
void order_pair(Station& s, Control& from, Control& to) {
    if (leading_number(from.text) > leading_number(to.text)) {
        s.st.msg = from.text;
        from.text = to.text;
        to.text = s.st.msg;
    }
}

void default_if_below_one(Control& box, const char* value) {
    if (leading_number(box.text) < 1) box.text = value;
}

void set_times(Station& s, const char* from_hour, const char* to_hour) {
    FormModel& f = s.form;
    f.txtfromhour.text = from_hour;
    f.txttohour.text = to_hour;
    f.txtfromminute.text = "0";
    f.txttominute.text = "59";
    s.yield();
}

}  // namespace

void pad_times(Station& s) {
    FormModel& f = s.form;
    for (Control* box : {&f.txtfromhour, &f.txttohour, &f.txtfromminute, &f.txttominute}) {
        if (char_count(box->text) == 1) box->text = "0" + box->text;
    }
}

void order_times(Station& s) {
    order_pair(s, s.form.txtfromhour, s.form.txttohour);
    order_pair(s, s.form.txtfromminute, s.form.txttominute);
}

void verifydate(Station& s) {
    FormModel& f = s.form;
    ModuleState& st = s.st;
    if (f.txttodate.text < f.txtfromdate.text) std::swap(f.txtfromdate.text, f.txttodate.text);
    st.fromdate = to_int32(leading_number(f.txtfromdate.text));
    st.todate = to_int32(leading_number(f.txttodate.text));
    pad_times(s);
    default_if_below_one(f.txtfromhour, "00");
    default_if_below_one(f.txttohour, "23");
    default_if_below_one(f.txtfromminute, "00");
    default_if_below_one(f.txttominute, "59");
    order_times(s);
    s.yield();
    st.fromtime = f.txtfromhour.text + ":" + f.txtfromminute.text + ":00";
    st.totime = f.txttohour.text + ":" + f.txttominute.text + ":59";
}

void cmdmorning_click(Station& s) {
    set_times(s, "06", "11");
}
void cmdafternoon_click(Station& s) {
    set_times(s, "12", "17");
}
void cmdevening_click(Station& s) {
    set_times(s, "18", "23");
}

}  // namespace tillora
