// The report range from the date and time boxes. The time shortcuts and the keypad's padding and
// ordering of the boxes are operator scripts in tests/scripts (keypad_range).
#include "panel/range.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/test_support.h"

namespace tillora {
namespace {

// The rows of tests/panel/verifydate.txt (the second row: dates are ordered as text).
TEST(Verifydate, OrdersTheRangeAndFillsDefaults) {
    int rows = 0;
    for (const std::string& row : test::file_lines(std::filesystem::path(TILLORA_SOURCE_DIR) /
                                                   "tests/panel/verifydate.txt")) {
        const std::size_t arrow = row.find(" -> ");
        if (row.empty() || row[0] == '#' || arrow == std::string::npos) continue;
        const std::string boxes = row.substr(0, arrow), range = row.substr(arrow + 4);
        ++rows;
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
    EXPECT_EQ(rows, 10);
}

}  // namespace
}  // namespace tillora
