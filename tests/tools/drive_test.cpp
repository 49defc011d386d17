#include "tools/drive_script.h"

#include <gtest/gtest.h>

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

// The rows of tests/tools/script_errors.txt.
TEST(Drive, ScriptErrorsStopBeforeAnythingRuns) {
    int rows = 0;
    for (const std::string& row :
         test::file_lines(fs::path(TILLORA_SOURCE_DIR) / "tests" / "tools" / "script_errors.txt")) {
        const std::size_t arrow = row.find(" <- ");
        if (row.empty() || row[0] == '#' || arrow == std::string::npos) continue;
        std::string script = row.substr(arrow + 4);
        for (std::size_t at; (at = script.find("\\n")) != std::string::npos;)
            script.replace(at, 2, "\n");
        SCOPED_TRACE(script);
        ++rows;
        Drive d;
        EXPECT_EQ(d.run(script), kScriptError);
        EXPECT_EQ(d.err.str(), row.substr(0, arrow) + "\n");
        EXPECT_EQ(d.out.str(), "");
    }
    EXPECT_EQ(rows, 6);
}

// The scenarios of tests/scripts: each folder holds script.drive, expected.txt (the driver's
// output), the files it puts into the installation (ravonode.ini, regflag.flg ...), SQL run on a
// database of the installation before the start-up (<database>.sql, e.g. kovra03.mdb.sql) and
// the data sets of tests/fixtures it loads (fixtures.txt, one name a line).
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
            if (name == "fixtures.txt") {
                for (const auto& fixture : test::file_lines(file.path()))
                    test::load_fixture(d.t, fixture);
                continue;
            }
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
