// Log-ins by each validation method, a missing employee database and the manager frame. The
// outcomes of typed and swiped log-ins (passwords, cards of 16 to 19 digits, log-out) are operator
// scripts in tests/scripts (login_messages, card_login_access, card_login_id).
#include "panel/login.h"

#include <gtest/gtest.h>

#include "support/fixtures.h"

namespace tillora {
namespace {

void log_in(test::TestStation& t, const std::string& id, const std::string& password) {
    t.s().form.txtempid.text = id;
    t.s().form.txtpassword.text = password;
    cmdlogin_click(t.s());
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

// A server's own report limits the ticket lists to the server; Manager Reports lifts that.
TEST(Login, ManagerReportsListEveryServersSales) {
    test::TestStation t;
    t.s().form.ownsalesonly = 1;
    cmdmanager_click(t.s());
    EXPECT_TRUE(t.s().form.framanager.visible);
    EXPECT_EQ(t.s().form.ownsalesonly, 0);
}

}  // namespace
}  // namespace tillora
