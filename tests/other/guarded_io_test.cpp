// Input and output the program does not trust: a symbolic link planted where it writes is refused
// (the file it points to keeps its content), a pipe in place of the node file is refused rather
// than waited on, a line without end is read only up to its limit, text from the database
// reaches the printer without control characters, and an employee ID too long to be a number
// finds nobody. Pipes and devices as the close-out's text files: Faults.DamagedDatabases...;
// private spool jobs: PrivateFiles.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/print_frame.h"
#include "other/reliability_fixture.h"
#include "panel/login.h"
#include "platform/files.h"
#include "reports/other/credit_card.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using test::DemoStation;
using test::Installation;

TEST(PlantedLinks, NoWriteGoesThroughALinkInThePlaceOfAFile) {
    struct Case {
        const char* name;
        const char* link;  // relative to the installation
        bool closeout;     // a close-out run; else an export into the installation folder
        const char* told;  // in standard error or a box
        int status;        // of the close-out run
    };
    const std::vector<Case> cases = {
        {"lock file", "closeout.lock", true, "is a symbolic link", 0},
        {"close-out file", "closeout03-20200904.txt", true, "it is a symbolic link", 1},
        {"request file", "local/kovra.req", true, "a symbolic link is in its place; refused", 1},
        {"export file", "export03.csv", false, "Code 75 - Path/File access error", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst(2, 4);
        const fs::path target = inst.dir / "precious.txt";
        test::write_file(target, "precious\n");
        fs::create_symlink(target, inst.home / c.link);
        std::string told;
        if (c.closeout) {
            std::ostringstream err;
            EXPECT_EQ(inst.closeout_run(err), c.status) << err.str();
            told = err.str();
            if (std::string(c.link) != test::kCloseoutName) {
                EXPECT_EQ(inst.separators(), 14);
            }
        } else {
            DemoStation d(inst);
            d.export_to(inst.home / c.link);
            told = testing::PrintToString(d.ui.shown);
            EXPECT_EQ(inst.xact_rows(" where export >= 1"), 0);
        }
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(test::read_file(target), "precious\n");
    }
}

TEST(SpecialFiles, ALineWithoutEndIsReadUpToItsLimit) {
    test::TempDir dir;
    const fs::path file = dir / "long.txt";
    test::write_file(file, std::string(200 * 1024, 'x') + "\r\nnext\nlast");
    const auto lines = read_lines(file);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(kMaxLineBytes, 'x'));
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(lines[2], "last");
}

TEST(SpecialFiles, ANodeFileThatIsAPipeStopsTheStartUpWithAMessage) {
    Installation inst(1, 4);
    fs::remove(inst.home / "ravonode.ini");
    ASSERT_EQ(::mkfifo((inst.home / "ravonode.ini").c_str(), 0640), 0);
    DemoStation d(inst);
    EXPECT_TRUE(d.has_box("The node file ravonode.ini cannot be read"))
        << testing::PrintToString(d.ui.shown);
}

TEST(PrintedText, ControlCharactersFromTheDatabaseNeverReachAPrinter) {
    EXPECT_EQ(printable_line(std::string("a\x1bp0\x19\0\tb\r\n\xc3\xa9", 12)),
              "a p0   b  \xc3\xa9");
    for (bool closeout : {false, true}) {
        test::TestStation t;
        if (closeout) t.enter_closeout_mode();
        t.add_line({{"ticket", 302}, {"itemnumber", -1}, {"postendtype", 5}});
        // clang-format off
        test::insert_row(*t.xact_db(), "ccard",
                         {{"ticket", 302}, {"status", 3}, {"amount", 5000}, {"ccnumber", "12"},
                          {"ccname", "Bob\x1bp0\x19\xfa"}, {"expmonth", "1"}, {"expyear", "30"}});
        // clang-format on
        cmdcreditcard_click(t.s());
        const std::vector<std::string> lines = closeout ? t.closeout() : t.printed();
        const std::string all = testing::PrintToString(lines);
        EXPECT_NE(all.find("Bob p0"), std::string::npos) << all;
        for (const std::string& line : lines) {
            for (char c : line) EXPECT_GE(static_cast<unsigned char>(c), ' ') << line;
        }
    }
}

TEST(EmployeeIds, AnIdTooLongToBeANumberFindsNobody) {
    Installation inst(1, 4);
    for (std::size_t digits : {20, 309, 400}) {
        DemoStation d(inst);
        d.s.form.txtempid.text = std::string(digits, '9');
        d.s.form.txtpassword.text = "1";
        cmdlogin_click(d.s);
        EXPECT_EQ(d.ui.shown.back(), "MSGBOX Oops... | Employee not found") << digits;
    }
}

}  // namespace
}  // namespace tillora
