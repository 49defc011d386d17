// Log-ins with payment cards: access numbers and IDs of 16 to 19 digits are looked up digit for
// digit, so two cards that differ only in the last digit are two employees.
#include <gtest/gtest.h>

#include "panel/entry.h"
#include "panel/login.h"
#include "support/test_support.h"

namespace tillora {
namespace {

TEST(CardLogin, LongNumbersAreLookedUpDigitForDigit) {
    const std::int64_t id19 = 4111111111111111111;  // and id19 + 1: the same as a double
    const struct {
        int method;
        const char* swipe;
        const char* sql;  // "": nothing is looked up
        const char* box;  // "": logged in
    } cases[] = {
        {3, "4111111111111111;2222", "select * from empinfo where accessnum = '4111111111111111'",
         ""},
        {3, "4111111111111111111;4444",
         "select * from empinfo where accessnum = '4111111111111111111'", ""},
        {3, "4111111111111111112;5555",
         "select * from empinfo where accessnum = '4111111111111111112'", ""},
        {3, "4111111111111111112;4444",
         "select * from empinfo where accessnum = '4111111111111111112'", "Invalid Password"},
        {0, "4111111111111111;2222", "select * from empinfo where empid = 4111111111111111", ""},
        {0, "4111111111111111112;5555", "select * from empinfo where empid = 4111111111111111112",
         ""},
        {0, "4111111111111111111;5555", "select * from empinfo where empid = 4111111111111111111",
         "Invalid Password"},
        {3, "41111111111111111111;4444", "", "Employee not found"},
        {0, "41111111111111111112;5555", "", "Employee not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.swipe);
        test::TestStation t;
        {
            auto db = Database::open(t.home() / "kovraemp.mdb");
            const test::Row rows[] = {
                {{"empid", std::int64_t{4111111111111111}},
                 {"accessnum", "4111111111111111"},
                 {"pword", "2222"}},
                {{"empid", id19}, {"accessnum", "4111111111111111111"}, {"pword", "4444"}},
                {{"empid", id19 + 1}, {"accessnum", "4111111111111111112"}, {"pword", "5555"}},
            };
            for (const auto& row : rows) test::insert_row(*db, "empinfo", row);
        }
        t.st().empvalmethod = static_cast<std::int16_t>(c.method);
        focus_control(t.s(), "txtempid");
        for (char key : std::string(c.swipe) + "\r") key_press(t.s(), key);
        key_press(t.s(), '\r');  // Log In
        EXPECT_EQ(t.st().sqlstring, c.sql);
        const bool ok = std::string(c.box).empty();
        EXPECT_EQ(t.boxes(),
                  ok ? std::vector<std::string>{}
                     : std::vector<std::string>{std::string("MSGBOX Oops... | ") + c.box});
        EXPECT_EQ(t.s().form.cmdserver1.enabled, ok);
    }
}

}  // namespace
}  // namespace tillora
