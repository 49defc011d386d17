#include "panel/range.h"

#include <gtest/gtest.h>

#include "panel/panel_buttons.h"
#include "support/test_support.h"

namespace tillora {
namespace {

struct RangeCase {
    const char* name;
    const char* from_date;
    const char* to_date;
    const char* from_hour;
    const char* to_hour;
    const char* from_minute;
    const char* to_minute;
    int fromdate, todate;
    const char* fromtime;
    const char* totime;
};

TEST(Verifydate, OrdersTheRangeAndFillsDefaults) {
    const RangeCase cases[] = {
        {"dates swapped", "20200910", "20200901", "00", "23", "00", "59", 20200901, 20200910,
         "00:00:00", "23:59:59"},
        {"dates ordered as text", "999", "1000", "00", "23", "00", "59", 1000, 999, "00:00:00",
         "23:59:59"},
        {"empty times", "20200904", "20200904", "", "", "", "", 20200904, 20200904, "00:00:00",
         "23:59:59"},
        {"minutes ordered on their own", "20200904", "20200904", "10", "14", "30", "15", 20200904,
         20200904, "10:15:00", "14:30:59"},
        {"to minute 00", "20200904", "20200904", "00", "12", "00", "00", 20200904, 20200904,
         "00:00:00", "12:59:59"},
        {"one digit padded", "20200904", "20200904", "7", "9", "5", "8", 20200904, 20200904,
         "07:05:00", "09:08:59"},
        {"hours swapped", "20200904", "20200904", "18", "06", "00", "59", 20200904, 20200904,
         "06:00:00", "18:59:59"},
        {"letters take the defaults", "abc", "", "ab", "x", "!", "?", 0, 0, "00:00:00", "23:59:59"},
        {"three-digit hour kept", "20200904", "20200904", "123", "23", "00", "59", 20200904,
         20200904, "23:00:00", "123:59:59"},
        {"to hour 00", "20200904", "20200904", "00", "00", "00", "59", 20200904, 20200904,
         "00:00:00", "23:59:59"},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestStation t;
        FormModel& f = t.s().form;
        f.txtfromdate.text = c.from_date;
        f.txttodate.text = c.to_date;
        f.txtfromhour.text = c.from_hour;
        f.txttohour.text = c.to_hour;
        f.txtfromminute.text = c.from_minute;
        f.txttominute.text = c.to_minute;
        verifydate(t.s());
        EXPECT_EQ(t.st().fromdate, c.fromdate);
        EXPECT_EQ(t.st().todate, c.todate);
        EXPECT_EQ(t.st().fromtime, c.fromtime);
        EXPECT_EQ(t.st().totime, c.totime);
        // The boxes show the ordered range.
        EXPECT_EQ(f.txtfromhour.text + ":" + f.txtfromminute.text + ":00", c.fromtime);
    }
}

TEST(TimeShortcuts, SetTheBoxesWithoutVerifying) {
    const struct {
        const char* button;
        const char* fromtime;
        const char* totime;
    } cases[] = {{"cmdmorning", "06:00:00", "11:59:59"},
                 {"cmdafternoon", "12:00:00", "17:59:59"},
                 {"cmdevening", "18:00:00", "23:59:59"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        test::TestStation t;
        ASSERT_TRUE(click_panel_control(t.s(), c.button));
        EXPECT_EQ(t.s().form.txtfromminute.text, "0");
        EXPECT_EQ(t.st().fromtime, "");
        verifydate(t.s());
        EXPECT_EQ(t.st().fromtime, c.fromtime);
        EXPECT_EQ(t.st().totime, c.totime);
    }
}

}  // namespace
}  // namespace tillora
