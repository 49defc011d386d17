#include "tools/drive_script.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "support/fixtures.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

// A driver run on the test installation: node file of unit 3 and the staff of the fixtures. The
// scripted UI and the driver write into one output.
struct Drive {
    Drive() {
        test::write_file(t.home() / "ravonode.ini", "POSUNIT=3\nNODENUMBER=3\n");
        test::add_staff(t);
    }
    int run(const std::string& script) {
        std::istringstream in(script);
        s = std::make_unique<Station>(Services{ui, *t.printers, t.clock, t.home()});
        return run_script(in, *s, out, err);
    }

    test::TestStation t;
    std::ostringstream out, err;
    ScriptedUi ui{&out};
    std::unique_ptr<Station> s;
};

TEST(Drive, ScriptErrorsStopBeforeAnythingRuns) {
    const std::pair<const char*, const char*> cases[] = {
        {"focus txtempid\njump high\n", "line 2: unknown action \"jump\""},
        {"# comment\n\nclick cmdnowhere\n", "line 3: unknown control \"cmdnowhere\""},
        {"keypad 12\n", "line 1: unknown keypad key \"12\" (0-9, Clear, Enter/Ok, Bksp)"},
        {"key Tab\n", "line 1: unknown key \"Tab\" (Enter, Backspace or F5)"},
        {"answer maybe\n", "line 1: answer must be yes or no"},
        {"show\n", "line 1: unknown control \"\""},
    };
    for (const auto& [script, message] : cases) {
        SCOPED_TRACE(script);
        Drive d;
        EXPECT_EQ(d.run(script), kScriptError);
        EXPECT_EQ(d.err.str(), std::string(message) + "\n");
        EXPECT_EQ(d.out.str(), "");
    }
}

// The program: exit status 2 and the reason for a bad script, 0 and the output for a good one.
TEST(Drive, ProgramRunsAScriptFile) {
    const fs::path program = fs::path(TILLORA_BINARY_DIR) / "tillora-drive";
    ASSERT_TRUE(fs::exists(program)) << "build tillora-drive first";
    Drive d;
    const fs::path script = d.t.home() / "login.drive";
    const std::string command = program.string() + " --home " + d.t.home().string() +
                                " --now 2020-09-04T10:00:00 " + script.string() + " > " +
                                (d.t.home() / "out").string() + " 2> " +
                                (d.t.home() / "err").string();
    const struct {
        const char* script;
        int status;
        const char* stream;
        const char* text;
    } runs[] = {
        {"focus txtempid\ntype 101;999\nbogus\n", 2, "err", "line 3: unknown action \"bogus\"\n"},
        {"focus txtempid\ntype 101;999\nkey Enter\nkey Enter\nshow cmdserver1\n", 0, "out",
         "MSGBOX Oops... | Invalid Password\n"
         "SHOW cmdserver1 text=My Sales Summary enabled=0 visible=1\n"},
    };
    for (const auto& r : runs) {
        test::write_file(script, r.script);
        EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), r.status);
        EXPECT_EQ(test::read_file(d.t.home() / r.stream), r.text);
    }
}

// The scenarios of tests/scripts: each folder holds script.drive, expected.txt (the driver's
// output), the files it puts into the installation (ravonode.ini, regflag.flg ...) and SQL run
// on a database of the installation before the start-up (<database>.sql, e.g. kovra03.mdb.sql).
TEST(Drive, Scenarios) {
    const fs::path root = fs::path(TILLORA_SOURCE_DIR) / "tests" / "scripts";
    int scenarios = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (!entry.is_directory()) continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++scenarios;
        Drive d;
        fs::remove(d.t.home() / "ravonode.ini");
        for (const auto& file : fs::directory_iterator(entry.path())) {
            const std::string name = file.path().filename().string();
            if (name == "script.drive" || name == "expected.txt") continue;
            if (file.path().extension() == ".sql") {
                const auto db = Database::open(d.t.home() / file.path().stem());
                execute_script(*db, test::read_file(file.path()));
                continue;
            }
            fs::copy_file(file.path(), d.t.home() / name, fs::copy_options::overwrite_existing);
        }
        EXPECT_EQ(d.run(test::read_file(entry.path() / "script.drive")), kScriptDone)
            << d.err.str();
        EXPECT_EQ(d.out.str(), test::read_file(entry.path() / "expected.txt"));
    }
    EXPECT_GE(scenarios, 6);
}

}  // namespace
}  // namespace tillora
