#include "panel/form_load.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tillora {
namespace {

// A fresh program run on the test installation (the fixture's station is already set up).
struct Fresh {
    explicit Fresh(test::TestStation& t) : s(Services{t.ui, *t.printers, t.clock, t.home()}) {}
    Station s;
};

void write_node(test::TestStation& t, const std::string& text = "POSUNIT=3\nNODENUMBER=3\n") {
    test::write_file(t.home() / "ravonode.ini", text);
}

void set_config(test::TestStation& t, const test::Row& row) {
    auto db = Database::open(t.home() / "kovra03.mdb");
    test::insert_row(*db, "config", row);
}

TEST(FormModel, InitialControls) {
    FormModel f;
    EXPECT_EQ(f.controls().size(), 43u + 13u + 21u);  // window, keypad, count screen
    const struct {
        const char* name;
        const char* text;
        bool enabled, visible, usable;
    } cases[] = {
        {"txtempid", "Type ID", true, true, true},
        {"txtfromhour", "00", true, true, true},
        {"txttohour", "23", true, true, true},
        {"txtfromminute", "00", true, true, true},
        {"txttominute", "59", true, true, true},
        {"cmdlogin", "Log In", true, true, true},
        {"cmdserver1", "My Sales Summary", false, true, false},
        {"cmdmanager", "Manager Reports", false, true, false},
        {"cmdmorning", "6 am - Noon", false, true, false},
        {"cmdevening", "6 pm - midnight", false, true, false},
        {"framanager", "Manager Reports", true, false, false},
        {"cmdprintall", "Print All Reports", true, true, false},  // inside the hidden frame
        {"frahelp", "Tillora Reports Help", true, false, false},
        {"lblhelp", "", true, true, false},
        {"cmdnumber0", "0", true, true, true},
        {"cmdnumber11", "Enter/Ok", true, true, true},
        {"cmdnumber12", "Bksp", true, true, true},
        {"cmdcountdrawer", "Count Drawer", true, true, false},
        {"fracount", "Count Drawer", true, false, false},
        {"txtcountcash", "", true, true, false},
        {"cmdpreview", "Preview", false, true, false},
        {"cmdviewcloseout", "View Close-out", true, true, false},
        {"txtpreview", "", true, false, false},
        {"cmdpreviewprint", "Print", true, false, false},
        {"prgwork", "", true, false, false},
        {"cmdstop", "Stop", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Control* control = f.find(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->text, c.text);
        EXPECT_EQ(control->enabled, c.enabled);
        EXPECT_EQ(control->visible, c.visible);
        EXPECT_EQ(f.usable(*control), c.usable);
    }
    EXPECT_EQ(f.find("cmdnumber13"), nullptr);
    EXPECT_EQ(f.entry_box(8), &f.txttominute);
    EXPECT_EQ(f.entry_box(9), f.find("txtopeningbank"));
    EXPECT_EQ(f.entry_box(13), f.find("txtcountcards"));
    EXPECT_EQ(f.entry_box(14), nullptr);
}

TEST(FormLoad, InteractiveStart) {
    const struct {
        const char* name;
        int session;
        int offline;
        const char* dates;
    } cases[] = {{"today", 0, 0, "20200904"}, {"session", 1234, 1, "1234"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestStation t;
        write_node(t);
        set_config(t, {{"session", c.session}, {"offlinemode", c.offline}, {"regflags", ""}});
        Fresh run(t);
        form_load(run.s, "");
        const FormModel& f = run.s.form;
        EXPECT_EQ(f.caption, "Workstation Reports/Exports 20.09.04a");
        EXPECT_TRUE(t.ui.topmost);
        EXPECT_EQ(f.txtfromdate.text, c.dates);
        EXPECT_EQ(f.txttodate.text, c.dates);
        EXPECT_EQ(f.helpwindow.text, "Enter Server ID and Password/Swipe Card");
        EXPECT_EQ(f.cmdserver7.enabled, c.offline == 0);
        EXPECT_EQ(f.focused, "txtempid");
        EXPECT_EQ(f.activefield, 1);
        EXPECT_EQ(run.s.st.unitstr, "03");
        EXPECT_EQ(run.s.st.xactdb, "KOVRAX03.MDB");
        EXPECT_EQ(run.s.st.closeoutmode, 0);
        EXPECT_EQ(run.s.st.blankline, std::string(39, ' '));
        EXPECT_TRUE(t.boxes().empty());
    }
}

TEST(FormLoad, KvrunRunsTheCloseOutIntoAFreshFile) {
    const struct {
        const char* command;
        bool closeout;
    } cases[] = {{"KVRUN20200904", true}, {"kvrun20200904", false}, {"KVRU", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        test::TestStation t;
        write_node(t);
        test::write_file(t.home() / "closeout03-20200904.txt", "old run\n");
        Fresh run(t);
        bool old_file_gone = false;
        run.s.print_all = [&](Station& s) {
            const auto file = s.path(s.st.closeoutfile);  // gone, or replaced by an empty one
            old_file_gone = !std::filesystem::exists(file) || std::filesystem::file_size(file) == 0;
        };
        form_load(run.s, c.command);
        const ModuleState& st = run.s.st;
        EXPECT_EQ(st.closeoutmode, c.closeout ? 1 : 0);
        EXPECT_EQ(old_file_gone, c.closeout);
        EXPECT_EQ(t.ui.topmost, !c.closeout);
        if (c.closeout) {
            EXPECT_EQ(st.closeoutfile, "closeout03-20200904.txt");
            EXPECT_EQ(st.fromdate, 20200904);
            EXPECT_EQ(st.totime, "23:59:59");
            EXPECT_EQ(run.s.form.caption, "Workstation Reports/Exports");
            EXPECT_EQ(run.s.form.focused, "");
        }
    }
}

}  // namespace
}  // namespace tillora
