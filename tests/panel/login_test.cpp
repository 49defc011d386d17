#include "panel/login.h"

#include <gtest/gtest.h>

#include "panel/entry.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

void log_in(test::TestStation& t, const std::string& id, const std::string& password) {
    t.s().form.txtempid.text = id;
    t.s().form.txtpassword.text = password;
    cmdlogin_click(t.s());
}

TEST(Login, OutcomesByIdAndPassword) {
    const struct {
        const char* name;
        const char* id;
        const char* password;
        const char* box;  // "" when the login succeeds
        bool manager;
    } cases[] = {
        {"server", "101", "1234", "", false},
        {"null password", "105", "", "Employee not found", false},
        {"manager above 38500", "103", "38501", "", true},
        {"stored leading zero", "107", "123", "", false},
        {"letters in the ID", "abc", "1", "Employee not found", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestStation t;
        test::add_staff(t);
        log_in(t, c.id, c.password);
        const FormModel& f = t.s().form;
        const bool ok = std::string(c.box).empty();
        EXPECT_EQ(t.boxes(),
                  ok ? std::vector<std::string>{}
                     : std::vector<std::string>{std::string("MSGBOX Oops... | ") + c.box});
        EXPECT_EQ(f.cmdserver1.enabled, ok);
        EXPECT_EQ(f.cmdserver2.enabled, ok);
        EXPECT_EQ(f.cmdmorning.enabled, ok);
        EXPECT_EQ(f.cmdevening.enabled, ok);
        EXPECT_EQ(f.cmdmanager.enabled, c.manager);
        EXPECT_EQ(f.helpwindow.text, ok ? "Select Report" : "");
    }
}

TEST(Login, LooksUpByTheValidationMethod) {
    const struct {
        int method;
        const char* id;
        const char* sql;  // "": no lookup, nobody is found
    } cases[] = {
        {0, "103", "select * from empinfo where empid = 103"},
        {1, "103", "select * from empinfo where empid = 103"},
        {2, "13", "select * from empinfo where operator = 13"},
        {3, "5553", "select * from empinfo where accessnum = '5553'"},
        {4, "103", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        test::TestStation t;
        test::add_staff(t);
        t.st().empvalmethod = static_cast<std::int16_t>(c.method);
        log_in(t, c.id, "38501");
        EXPECT_EQ(t.st().sqlstring, c.sql);
        EXPECT_EQ(t.s().form.cmdmanager.enabled, c.method != 4);
    }
}

TEST(Login, MissingEmployeeDatabaseIsReported) {
    test::TestStation t;
    std::filesystem::remove(t.home() / "kovraemp.mdb");
    log_in(t, "101", "1234");
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_NE(t.boxes()[0].find("kovraemp.mdb"), std::string::npos) << t.boxes()[0];
    EXPECT_FALSE(t.s().form.cmdserver1.enabled);
}

TEST(Login, LogoutKeepsTheShortcutsAndAFailedLoginKeepsTheFrame) {
    test::TestStation t;
    test::add_staff(t);
    FormModel& f = t.s().form;
    log_in(t, "103", "38501");
    cmdmanager_click(t.s());
    EXPECT_TRUE(f.framanager.visible);
    log_in(t, "103", "1");
    EXPECT_TRUE(f.framanager.visible);
    EXPECT_TRUE(f.cmdmanager.enabled);

    f.ownsalesonly = 1;
    cmdmanager_click(t.s());
    EXPECT_EQ(f.ownsalesonly, 0);

    focus_control(t.s(), "txtempid");
    EXPECT_FALSE(f.framanager.visible);
    EXPECT_FALSE(f.cmdmanager.enabled);
    EXPECT_FALSE(f.cmdserver1.enabled);
    EXPECT_FALSE(f.cmdserver2.enabled);
    EXPECT_TRUE(f.cmdmorning.enabled);
    EXPECT_EQ(f.txtempid.text, "");
    EXPECT_EQ(f.txtpassword.text, "");
    EXPECT_EQ(f.activefield, 1);
}

}  // namespace
}  // namespace tillora
