// The entry boxes' colours and active field, and the employee look-up on F5. What the keypad and
// the keyboard write into the boxes is an operator script in tests/scripts (entry_boxes,
// keypad_range).
#include "panel/entry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace tillora {
namespace {

// Enter/Ok turns the ID, password and date boxes white; the time boxes stay highlighted.
TEST(Keypad, FocusHighlightsTheActiveBoxAndEnterOkWhitensAllButTheTimes) {
    const char* boxes[] = {"txtempid",    "txtpassword", "txtfromdate",   "txttodate",
                           "txtfromhour", "txttohour",   "txtfromminute", "txttominute"};
    test::TestStation t;
    FormModel& f = t.s().form;
    for (int field = 1; field <= 8; ++field) {
        focus_control(t.s(), boxes[field - 1]);
        EXPECT_EQ(f.activefield, field);
        EXPECT_EQ(f.find(boxes[field - 1])->back, Colour::Highlight);
    }
    cmdnumber_click(t.s(), kKeyEnter);
    EXPECT_EQ(f.activefield, 0);
    for (int field = 1; field <= 8; ++field) {
        EXPECT_EQ(f.find(boxes[field - 1])->back, field <= 4 ? Colour::White : Colour::Highlight)
            << boxes[field - 1];
    }
}

TEST(KeyPress, F5StartsTheLookUpProgramOnlyWhenItCanRun) {
    const struct {
        const char* name;
        bool present;
        bool executable;
        const char* focus;
        bool started;
    } cases[] = {{"absent", false, false, "txtempid", false},
                 {"not executable", true, false, "txtempid", false},
                 {"executable", true, true, "txtempid", true},
                 {"other box", true, true, "txtpassword", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestStation t;
        const auto program = t.home() / "lkupemp.exe";
        if (c.present) test::write_file(program, "#!/bin/sh\n");
        if (c.executable) ::chmod(program.c_str(), 0755);
        focus_control(t.s(), c.focus);
        key_f5(t.s());
        EXPECT_EQ(t.ui.started, c.started ? test::Lines{program.string()} : test::Lines{});
    }
}

}  // namespace
}  // namespace tillora
