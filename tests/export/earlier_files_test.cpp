// No export file is ever destroyed: a run keeps the files of the run before it under a
// time-stamped name, also after a run whose history pass failed or that was killed.
#include "export/earlier_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "export/export_fixture.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using test::TestStation;
using Lines = std::vector<std::string>;

TEST(EarlierFiles, KeptNamesCarryTheTimeAndNeverReplaceAFile) {
    const DateTime at{2026, 12, 6, 15, 30, 0};
    EXPECT_EQ(kept_name("/srv/ar/export03.csv", at), "/srv/ar/export03-20261206-153000.csv");
    EXPECT_EQ(kept_name("/srv/ar/kovrax03.csv", at, 3), "/srv/ar/kovrax03-20261206-153000-3.csv");

    test::TempDir dir;
    EXPECT_EQ(keep_earlier_file(dir / "export03.csv", at), fs::path());  // nothing to keep
    for (const char* text : {"first", "second"}) {
        test::write_file(dir / "export03.csv", text);
        keep_earlier_file(dir / "export03.csv", at);
    }
    EXPECT_FALSE(fs::exists(dir / "export03.csv"));
    EXPECT_EQ(test::read_file(dir / "export03-20261206-153000.csv"), "first");
    EXPECT_EQ(test::read_file(dir / "export03-20261206-153000-2.csv"), "second");
}

// Three closed lines and a type 9 tender; the first export fails in its history pass (the store
// refuses status 7) or is killed there (in a child process). The tender still waits (status 2),
// so the next run finds rows to export again: it must keep the complete export file, not
// replace it with an empty one.
TEST(ExportRerun, AfterAFailedOrKilledHistoryPassEveryMarkedRowIsInAKeptFile) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "failed");
        TestStation t;
        for (int n = 1; n <= 3; ++n) t.add_line({{"poschitnum", n}, {"poschittotal", 2.5}});
        t.add_line(
            {{"poschitnum", 4}, {"itemnumber", -1}, {"postendtype", 9}, {"poschittotal", 7.5}});
        const fs::path file = t.home() / "export03.csv";
        if (killed) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                t.ui.on_yield = [&] {
                    if (file_exists(t.home() / "kovrax03.csv")) ::raise(SIGKILL);
                };
                test::run_export(t, file);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        } else {
            t.xact_db()->execute(
                "create trigger no_history before update of status on xact when new.status = 7 "
                "begin select raise(abort, 'disk I/O error'); end");
            test::run_export(t, file);
            ASSERT_EQ(t.s().form.helpwindow.text, "Export stopped: 3 exported, 0 in history");
        }
        const Lines all = {"00000011", "00000012", "00000013"};
        EXPECT_EQ(test::references(file), all);
        const Lines marked = {"1:6:1", "2:6:1", "3:6:1", "4:2:"};
        EXPECT_EQ(test::marks(t), marked);

        test::run_export(t, file);  // the tender still waits: no re-export question
        EXPECT_EQ(test::references(kept_name(file, t.clock.now())), all);
        EXPECT_EQ(test::references(file), Lines{});
        for (const auto& m : test::marks(t)) EXPECT_EQ(m.back() == '1', m[0] != '4') << m;
    }
}

}  // namespace
}  // namespace tillora
