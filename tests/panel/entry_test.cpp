#include "panel/entry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace tillora {
namespace {

// Keypad keys as a script: digits, 'C' Clear, 'E' Enter/Ok, 'B' Bksp.
void keypad(Station& s, const std::string& keys) {
    for (char k : keys) {
        if (k >= '0' && k <= '9') cmdnumber_click(s, k - '0');
        if (k == 'C') cmdnumber_click(s, kKeyClear);
        if (k == 'E') cmdnumber_click(s, kKeyEnter);
        if (k == 'B') cmdnumber_click(s, kKeyBksp);
    }
}

// Keypad keys (time caps, Clear, Bksp, Enter/Ok) and typed keys (keyboard lengths) in a box.
TEST(Entry, KeypadAndKeyboardWriteIntoTheActiveBox) {
    const struct {
        const char* box;
        bool keypad;
        const char* keys;
        const char* text;
    } cases[] = {
        // clang-format off
        {"txtfromhour", true, "27", "23"}, {"txttohour", true, "19", "19"},
        {"txtfromminute", true, "75", "59"}, {"txttominute", true, "75", "59"},
        {"txtfromhour", true, "123", "123"},  // a third digit is appended
        {"txtfromhour", true, "24B", "2"},    // capped to 23, then Bksp
        {"txtfromdate", true, "0904B", "090"}, {"txtfromdate", true, "09C", ""},
        {"txtpassword", true, "B", ""}, {"txtempid", true, "42", "42"},
        {"txtfromdate", true, "0904E", "20200904"}, {"txtfromdate", false, "0904\r", "20200904"},
        {"txttodate", false, "123456789", "12345678"},
        {"txtfromdate", false, "20201231\r", "20201231"}, {"txtfromdate", false, "123\r", "123"},
        {"txtfromhour", false, "123", "12"}, {"txttominute", false, "7", "7"},
        {"txtfromhour", false, "ab", "ab"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + (c.keypad ? " keypad " : " typed ") + c.keys);
        test::TestStation t;
        focus_control(t.s(), c.box);
        if (c.keypad) keypad(t.s(), c.keys);
        for (const char* p = c.keys; !c.keypad && *p != '\0'; ++p) key_press(t.s(), *p);
        EXPECT_EQ(t.s().form.find(c.box)->text, c.text);
    }
}

TEST(Keypad, FocusEmptiesAndHighlightsEachEntryBox) {
    const char* boxes[] = {"txtempid",    "txtpassword", "txtfromdate",   "txttodate",
                           "txtfromhour", "txttohour",   "txtfromminute", "txttominute"};
    test::TestStation t;
    FormModel& f = t.s().form;
    for (int field = 1; field <= 8; ++field) {
        Control& box = *f.find(boxes[field - 1]);
        box.text = "99";
        focus_control(t.s(), box.name);
        EXPECT_EQ(box.text, "");
        EXPECT_EQ(f.activefield, field);
        EXPECT_EQ(box.back, Colour::Highlight);
        EXPECT_EQ(f.focused, box.name);
    }
}

TEST(Keypad, EnterOkMovesFromIdToPasswordToLogIn) {
    test::TestStation t;
    FormModel& f = t.s().form;
    focus_control(t.s(), "txtempid");
    keypad(t.s(), "123E");
    EXPECT_EQ(f.focused, "txtpassword");
    EXPECT_EQ(f.activefield, 2);
    EXPECT_EQ(f.txtempid.text, "123");
    EXPECT_EQ(f.txtempid.back, Colour::White);
    keypad(t.s(), "45");
    EXPECT_EQ(f.txtpassword.text, "45");
    keypad(t.s(), "E");
    EXPECT_EQ(f.focused, "cmdlogin");
    EXPECT_EQ(f.activefield, 0);
    keypad(t.s(), "7");  // no active box: nothing changes
    EXPECT_EQ(f.txtpassword.text, "45");
}

TEST(Keypad, EnterOkPadsAndOrdersTheTimesAndLeavesThemHighlighted) {
    test::TestStation t;
    FormModel& f = t.s().form;
    focus_control(t.s(), "txtfromhour");
    keypad(t.s(), "9");
    focus_control(t.s(), "txttohour");
    keypad(t.s(), "7");
    focus_control(t.s(), "txtfromminute");
    keypad(t.s(), "5");
    focus_control(t.s(), "txttodate");
    keypad(t.s(), "1231E");
    EXPECT_EQ(f.txtfromhour.text, "07");
    EXPECT_EQ(f.txttohour.text, "09");
    EXPECT_EQ(f.txtfromminute.text, "05");
    EXPECT_EQ(f.txttodate.text, "20201231");
    EXPECT_EQ(f.txttodate.back, Colour::White);
    EXPECT_EQ(f.txtfromhour.back, Colour::Highlight);
    EXPECT_EQ(f.activefield, 0);
}

TEST(KeyPress, CharacterFiltersOfTheBoxes) {
    const struct {
        const char* box;
        const char* typed;
        const char* empid;
        const char* password;
        const char* focused;
    } cases[] = {
        {"txtempid", "12ab3", "123", "", "txtempid"},
        {"txtempid", "%B12^?", "12", "", "txtempid"},
        {"txtempid", "1234;5678", "1234", "5678", "txtpassword"},
        {"txtempid", "12\b3", "13", "", "txtempid"},
        {"txtempid", "12\r", "12", "", "txtempid"},
        {"txtpassword", "a1 b", "Type ID", "a1 b", "txtpassword"},
        {"txtpassword", "99\r", "Type ID", "99", "cmdlogin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        test::TestStation t;
        focus_control(t.s(), c.box);
        for (const char* p = c.typed; *p != '\0'; ++p) key_press(t.s(), *p);
        EXPECT_EQ(t.s().form.txtempid.text, c.empid);
        EXPECT_EQ(t.s().form.txtpassword.text, c.password);
        EXPECT_EQ(t.s().form.focused, c.focused);
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
        EXPECT_EQ(t.ui.started.size(), c.started ? 1u : 0u);
        if (c.started) {
            EXPECT_EQ(t.ui.started[0], program.string());
        }
    }
}

}  // namespace
}  // namespace tillora
