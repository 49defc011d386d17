// Requests to the back office: each is appended to the request file (the close-out run pins the
// line of its own request) and cleared; a request file that cannot be written is an error.
#include "app/outside_programs.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/test_support.h"

namespace tillora {
namespace {

TEST(OutsidePrograms, RequestLinesAreAppendedAndTheFieldsZeroed) {
    test::TestStation t;
    for (const char* file : {"closeout03-20200903.txt", "closeout03-20200904.txt"}) {
        t.st().reqcode = 25;
        t.st().reqparm1 = Value(file);
        write_request(t.st(), t.s().svc);
    }
    // The unset fields of the first request are empty; the second shows them zeroed.
    EXPECT_EQ(test::read_file(t.home() / "local" / kRequestFile),
              "25,closeout03-20200903.txt,,,\r\n25,closeout03-20200904.txt,0,0,0\r\n");
    EXPECT_EQ(t.st().reqcode, 0);
    EXPECT_EQ(t.st().reqparm1, Value(0));
    t.st().localdrive = (t.home() / "no-such-folder").string() + "/";
    EXPECT_THROW(write_request(t.st(), t.s().svc), FileError);
}

}  // namespace
}  // namespace tillora
