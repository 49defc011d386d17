// Every program of the package, run as a user runs it: --help, --version, a bad option, and the
// nightly close-out wrapper on a demo installation.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "reports/other/closeout_command.h"
#include "support/fixtures.h"
#include "tools/demo_data.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs `program` (a file of the build folder) with `args`, without a display.
Outcome run(const test::TempDir& dir, const std::string& program, const std::string& args,
            const std::string& env = "") {
    const fs::path exe = fs::path(TILLORA_BINARY_DIR) / program;
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + env +
                                " '" + exe.string() + "' " + args + " >'" + (dir / "out").string() +
                                "' 2>'" + (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::read_file(dir / "out"),
            test::read_file(dir / "err")};
}

TEST(Programs, AnswerHelpAndVersionWithoutADisplayAndRefuseABadOption) {
    test::TempDir dir;
    for (const char* program : {"tillora-reports", "tillora-closeout", "tillora-demo",
                                "tillora-drive", "tillora-register", "tillora-summary"}) {
        SCOPED_TRACE(program);
        if (!fs::exists(fs::path(TILLORA_BINARY_DIR) / program)) {
            ADD_FAILURE() << "build " << program << " first";
            continue;
        }
        const std::string usage = std::string("Usage: ") + program + " ";
        Outcome r = run(dir, program, "--help");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind(usage, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
        r = run(dir, program, "--version");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind(std::string(program) + " (Tillora Reports) ", 0), 0u) << r.out;
        r = run(dir, program, "--no-such-option");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("unknown option \"--no-such-option\"\n\n" + usage), std::string::npos)
            << r.err;
    }
}

// The driver: exit status 2 and the reason for a bad script, 0 and the output for a good one.
TEST(Programs, DriveRunsAScriptFile) {
    test::TestStation t;
    test::write_file(t.home() / "ravonode.ini", "POSUNIT=3\nNODENUMBER=3\n");
    test::add_staff(t);
    const fs::path script = t.home() / "login.drive";
    const std::string args =
        "--home '" + t.home().string() + "' --now 2020-09-04T10:00:00 '" + script.string() + "'";
    test::write_file(script, "focus txtempid\ntype 101;999\nbogus\n");
    Outcome r = run(t.dir, "tillora-drive", args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "line 3: unknown action \"bogus\"\n");
    test::write_file(script,
                     "focus txtempid\ntype 101;999\nkey Enter\nkey Enter\nshow cmdserver1\n");
    r = run(t.dir, "tillora-drive", args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "MSGBOX Oops... | Invalid Password\n"
              "SHOW cmdserver1 text=My Sales Summary enabled=0 visible=1\n");
}

// The wrapper closes out yesterday by default or the day given, keeps the close-out's exit
// status and is silent when every report ran.
TEST(Programs, CloseoutWrapperPassesTheDateAndKeepsTheExitStatus) {
    test::TempDir dir;
    demo::DemoOptions o;
    o.folder = dir / "home";
    std::tie(o.days, o.tickets, o.start) = std::make_tuple(2, 8, 20200903);
    demo::make_demo_installation(o);
    fs::create_directories(dir / "spool");
    const std::string env =
        "TILLORA_HOME='" + o.folder.string() + "' TILLORA_SPOOL='" + (dir / "spool").string() + "'";
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"--date 20200904", 0, "closeout03-20200904.txt"},
        {"-d 20200903", 0, "closeout03-20200903.txt"},
        {"--date 20201399", 2, ""},
        {"--date yesterday", 0,
         "closeout03-" + closeout_command_for("yesterday", SystemClock().now()).substr(5) + ".txt"},
        {"20200904", 2, ""},
    };
    for (const auto& [args, status, file] : cases) {
        SCOPED_TRACE(args);
        const Outcome r = run(dir, "tillora-closeout", args, env);
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.empty(), status == 0) << r.err;
        if (!file.empty()) {
            EXPECT_TRUE(fs::exists(o.folder / file));
        }
    }
    EXPECT_EQ(closeout_command_for("yesterday", DateTime{2021, 3, 1, 3, 0, 0}), "KVRUN20210228");
    EXPECT_EQ(closeout_command_for("1234", DateTime{2021, 3, 1, 3, 0, 0}), "KVRUN1234");
}

}  // namespace
}  // namespace tillora
