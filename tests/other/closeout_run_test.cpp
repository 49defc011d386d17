#include "reports/other/closeout.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <tuple>

#include "other/reliability_fixture.h"
#include "platform/store.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

using test::Installation;
using test::kCloseoutName;

TEST(CloseOutRun, RunsEveryReportIntoTheFileAndRequestsItsPickUp) {
    Installation inst;
    test::write_file(inst.home / kCloseoutName, "left from an earlier run\n");
    std::ostringstream err;
    EXPECT_EQ(inst.closeout_run(err), 0) << err.str();
    const auto lines = inst.closeout();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "All Servers - Closed Tickets");
    EXPECT_EQ(inst.separators(), 14);
    EXPECT_EQ(test::read_file(inst.home / "local" / "kovra.req"),
              "25,closeout03-20200904.txt,0,0,0\r\n");
    // Quiet when all is well: the payments-on-account question takes its default unannounced.
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(fs::is_empty(inst.dir / "spool"));
}

// A business date that cannot be one is refused before anything is written: no close-out
// file, no request line, no lock file; the reason on standard error and exit status 2.
TEST(CloseOutRun, ABusinessDateThatCannotBeOneIsRefusedAndNothingIsWritten) {
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
        std::ostringstream err;
        EXPECT_EQ(run_closeout(inst.home, command, err), status) << err.str();
        const std::string closeout = "closeout03-" + std::string(command + 5) + ".txt";
        EXPECT_EQ(fs::exists(inst.home / closeout), status == 0);
        EXPECT_EQ(fs::exists(inst.home / "local" / "kovra.req"), status == 0);
        if (status != 0) {
            EXPECT_FALSE(fs::exists(inst.home / "closeout.lock"));
        }
        EXPECT_EQ(err.str().find(session == 0 ? "not a calendar date YYYYMMDD"
                                              : "not a positive whole number") != std::string::npos,
                  status == 2)
            << err.str();
    }
}

// The real program: no display is needed for the close-out, and the interactive mode without a
// display says so instead of crashing.
TEST(CloseOutRun, TheProgramRunsFromCronWithoutADisplay) {
    const fs::path program = fs::path(TILLORA_BINARY_DIR) / "tillora-reports";
    ASSERT_TRUE(fs::exists(program)) << "build tillora-reports first";
    Installation inst;
    const std::string env = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TILLORA_HOME='" +
                            inst.home.string() + "' TILLORA_SPOOL='" +
                            (inst.dir / "spool").string() + "' ";
    const std::string out = (inst.dir / "stderr.txt").string();
    int status =
        std::system((env + "'" + program.string() + "' KVRUN20200904 2>'" + out + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 0) << test::read_file(out);
    EXPECT_EQ(inst.separators(), 14);
    for (const char* interactive : {"", "kvrun20200904"}) {
        SCOPED_TRACE(interactive);
        status = std::system(
            (env + "'" + program.string() + "' " + interactive + " 2>'" + out + "'").c_str());
        EXPECT_NE(WEXITSTATUS(status), 0);
        EXPECT_NE(test::read_file(out).find("tillora-reports:"), std::string::npos);
    }
}

}  // namespace
}  // namespace tillora
