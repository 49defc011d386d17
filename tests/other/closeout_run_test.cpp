// The close-out: the unattended run and its program, and Print All Reports into the close-out
// file (the interactive batch: tests/scripts/print_all_question).
#include "reports/other/closeout.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <tuple>

#include "other/reliability_fixture.h"
#include "reports/other/print_all.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

using test::Installation;
using test::kCloseoutName;
using test::kSeparator;
using test::TestStation;

// A run overwrites an earlier file with every report and requests its pick-up, quietly (the
// payments-on-account question takes its default unannounced). A business date that cannot be
// one is refused before anything is written: no close-out file, no request line, no lock file;
// the reason on standard error and exit status 2.
TEST(CloseOutRun, RunsEveryReportOrRefusesABusinessDateThatCannotBeOne) {
    const std::vector<std::tuple<int, const char*, int>> cases = {
        // session, command, exit status
        {0, "KVRUN20200904", 0}, {0, "KVRUN20201399", 2}, {0, "KVRUN20200230", 2},
        {0, "KVRUNxyz", 2},      {0, "KVRUN", 2},         {0, "KVRUN2020094", 2},
        {1234, "KVRUN1234", 0},  {1234, "KVRUN0", 2},     {1234, "KVRUN-5", 2},
        {1234, "KVRUN12a", 2},
    };
    for (const auto& [session, command, status] : cases) {
        SCOPED_TRACE(command);
        Installation inst;
        Database::open(inst.home / "kovra03.mdb")
            ->execute("update config set session = " + std::to_string(session));
        const std::string name = "closeout03-" + std::string(command + 5) + ".txt";
        if (status == 0) test::write_file(inst.home / name, "left from an earlier run\n");
        std::ostringstream err;
        EXPECT_EQ(run_closeout(inst.home, command, err), status) << err.str();
        EXPECT_EQ(fs::exists(inst.home / "local" / "kovra.req"), status == 0);
        if (status != 0) {
            EXPECT_FALSE(fs::exists(inst.home / name));
            EXPECT_FALSE(fs::exists(inst.home / "closeout.lock"));
            EXPECT_NE(err.str().find(session == 0 ? "not a calendar date YYYYMMDD"
                                                  : "not a positive whole number"),
                      std::string::npos)
                << err.str();
            continue;
        }
        EXPECT_EQ(err.str(), "");
        const auto lines = test::file_lines(inst.home / name);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "All Servers - Closed Tickets");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kSeparator), 14);
        EXPECT_EQ(test::read_file(inst.home / "local" / "kovra.req"), "25," + name + ",0,0,0\r\n");
        EXPECT_TRUE(fs::is_empty(inst.dir / "spool"));
    }
}

// The real program: no display is needed for the close-out, and the interactive mode without a
// display says so instead of crashing.
TEST(CloseOutRun, TheProgramRunsFromCronWithoutADisplay) {
    const fs::path program = fs::path(TILLORA_BINARY_DIR) / "tillora-reports";
    ASSERT_TRUE(fs::exists(program)) << "build tillora-reports first";
    Installation inst;
    const std::string out = (inst.dir / "stderr.txt").string();
    const auto run = [&](const std::string& arguments) {
        return WEXITSTATUS(
            std::system(("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TILLORA_HOME='" +
                         inst.home.string() + "' TILLORA_SPOOL='" + (inst.dir / "spool").string() +
                         "' '" + program.string() + "' " + arguments + " 2>'" + out + "'")
                            .c_str()));
    };
    EXPECT_EQ(run("KVRUN20200904"), 0) << test::read_file(out);
    EXPECT_EQ(inst.separators(), 14);
    for (const char* interactive : {"", "kvrun20200904"}) {
        EXPECT_NE(run(interactive), 0) << interactive;
        EXPECT_NE(test::read_file(out).find("tillora-reports:"), std::string::npos) << interactive;
    }
}

// Print All into the close-out file: a separator after each report (off-line, one report
// fewer), the request line, and the window closed.
TEST(PrintAll, CloseOutWritesASeparatorAfterEachReportAndTheRequestLine) {
    for (const std::int16_t offline : {0, 1}) {
        SCOPED_TRACE(offline);
        TestStation t;
        t.enter_closeout_mode();
        t.st().offlinemode = offline;
        cmdprintall_click(t.s());
        const auto lines = t.closeout();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kSeparator), 14 - offline);
        EXPECT_EQ(lines.back(), kSeparator);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "All Closed Tickets"), 1);
        EXPECT_TRUE(t.jobs().empty());
        EXPECT_EQ(test::read_file(t.home() / "local" / "kovra.req"),
                  "25,closeout03-20200904.txt,0,0,0\r\n");
        EXPECT_TRUE(t.s().failures.empty()) << t.s().failures.front();
        EXPECT_TRUE(t.s().form.closed);
        EXPECT_EQ(t.st().reqcode, 0);
    }
}

}  // namespace
}  // namespace tillora
