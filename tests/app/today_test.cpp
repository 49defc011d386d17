#include "app/today.h"

#include <gtest/gtest.h>

namespace tillora {
namespace {

TEST(Today, DateTextAndNumberFromTheClock) {
    const struct {
        DateTime at;
        const char* text;
        int number;
        const char* year;
    } cases[] = {{{2020, 9, 4, 14, 37, 5}, "09-04-2020", 20200904, "2020"},
                 {{1999, 12, 31, 23, 59, 59}, "12-31-1999", 19991231, "1999"}};
    for (const auto& c : cases) {
        FixedClock clock(c.at);
        ModuleState st;
        run_today(st, clock);
        EXPECT_EQ(st.today, c.text);
        EXPECT_EQ(st.todaynum, c.number);
        EXPECT_EQ(current_year(clock), c.year);
    }
}

}  // namespace
}  // namespace tillora
