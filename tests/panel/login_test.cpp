// A missing employee database and the manager frame. Log-ins (passwords, each validation
// method, cards of 16 to 19 digits, log-out) are operator scripts in tests/scripts (login_*,
// card_login_*).
#include "panel/login.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tillora {
namespace {

TEST(Login, MissingEmployeeDatabaseIsReported) {
    test::TestStation t;
    std::filesystem::remove(t.home() / "kovraemp.mdb");
    t.s().form.txtempid.text = "101";
    t.s().form.txtpassword.text = "1234";
    cmdlogin_click(t.s());
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
