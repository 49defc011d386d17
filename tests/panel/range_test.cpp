// The report range from the date and time boxes. The time shortcuts and the keypad's padding and
// ordering of the boxes are operator scripts in tests/scripts (keypad_range).
#include "panel/range.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/test_support.h"

namespace tillora {
namespace {

TEST(Verifydate, OrdersTheRangeAndFillsDefaults) {
    // The boxes from date|to date|from hour|to hour|from minute|to minute, and the range
    // "fromdate todate fromtime totime".
    const std::pair<const char*, const char*> cases[] = {
        {"20200910|20200901|00|23|00|59", "20200901 20200910 00:00:00 23:59:59"},
        {"999|1000|00|23|00|59", "1000 999 00:00:00 23:59:59"},  // dates ordered as text
        {"20200904|20200904||||", "20200904 20200904 00:00:00 23:59:59"},
        {"20200904|20200904|10|14|30|15", "20200904 20200904 10:15:00 14:30:59"},
        {"20200904|20200904|00|12|00|00", "20200904 20200904 00:00:00 12:59:59"},
        {"20200904|20200904|7|9|5|8", "20200904 20200904 07:05:00 09:08:59"},
        {"20200904|20200904|18|06|00|59", "20200904 20200904 06:00:00 18:59:59"},
        {"abc||ab|x|!|?", "0 0 00:00:00 23:59:59"},
        {"20200904|20200904|123|23|00|59", "20200904 20200904 23:00:00 123:59:59"},
        {"20200904|20200904|00|00|00|59", "20200904 20200904 00:00:00 23:59:59"},
    };
    for (const auto& [boxes, range] : cases) {
        SCOPED_TRACE(boxes);
        test::TestStation t;
        FormModel& f = t.s().form;
        std::istringstream in(boxes);
        for (Control* box : {&f.txtfromdate, &f.txttodate, &f.txtfromhour, &f.txttohour,
                             &f.txtfromminute, &f.txttominute}) {
            std::getline(in, box->text, '|');
        }
        verifydate(t.s());
        const ModuleState& st = t.st();
        EXPECT_EQ(std::to_string(st.fromdate) + " " + std::to_string(st.todate) + " " +
                      st.fromtime + " " + st.totime,
                  range);
        // The boxes show the ordered range.
        EXPECT_EQ(f.txtfromhour.text + ":" + f.txtfromminute.text + ":00", st.fromtime);
    }
}

}  // namespace
}  // namespace tillora
