#include "app/outside_programs.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::TestStation;

TEST(OutsidePrograms, RequestLinesAreAppendedAndTheFieldsZeroed) {
    TestStation t;
    for (int i = 0; i < 2; ++i) {
        t.st().reqcode = 25;
        t.st().reqparm1 = Value("closeout03-20200904.txt");
        t.st().reqparm2 = Value(0);
        t.st().reqparm3 = Value(0);
        t.st().reqparm4 = Value(0);
        write_request(t.st(), t.s().svc);
    }
    EXPECT_EQ(test::read_file(t.home() / "local" / kRequestFile),
              "25,closeout03-20200904.txt,0,0,0\r\n25,closeout03-20200904.txt,0,0,0\r\n");
    EXPECT_EQ(t.st().reqcode, 0);
    EXPECT_EQ(t.st().reqparm1, Value(0));
    t.st().localdrive = (t.home() / "no-such-folder").string() + "/";
    EXPECT_THROW(write_request(t.st(), t.s().svc), FileError);
}

}  // namespace
}  // namespace tillora
