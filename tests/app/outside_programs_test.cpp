#include "app/outside_programs.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/test_support.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using test::TestStation;

TEST(OutsidePrograms, LookupStartsOnlyAnExecutableProgram) {
    struct Case {
        const char* name;
        bool present;
        fs::perms mode;
        bool started;
    };
    for (const Case& c : {Case{"missing", false, fs::perms::none, false},
                          Case{"not executable", true, fs::perms::owner_read, false},
                          Case{"executable", true, fs::perms::owner_all, true}}) {
        SCOPED_TRACE(c.name);
        TestStation t;
        const auto program = t.home() / kLookupProgram;
        if (c.present) {
            test::write_file(program, "#!/bin/sh\nexit 0\n");
            fs::permissions(program, c.mode);
        }
        EXPECT_EQ(start_employee_lookup(t.s().svc), c.started);
        EXPECT_EQ(t.ui.started.size(), c.started ? 1u : 0u);
    }
}

TEST(OutsidePrograms, BackOfficePresenceMeansTheSharedFolderIsReachable) {
    TestStation t;
    EXPECT_TRUE(back_office_reachable(t.st(), t.s().svc));
    EXPECT_EQ(t.st().backofficemissing, 0);
    fs::remove(t.home() / "server" / kBackOfficeProgram);
    EXPECT_FALSE(back_office_reachable(t.st(), t.s().svc));
    EXPECT_EQ(t.st().backofficemissing, 1);
}

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
