// No export file is ever destroyed: a run keeps the files of the run before it under a
// time-stamped name, also after a run whose history pass failed or that was killed.
#include "export/earlier_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "export/export_record.h"
#include "export/export_transactions.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using test::TestStation;

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

// Three closed lines and a type 9 tender: after an export whose history pass failed, the tender
// is still waiting (status 2), so the next run finds rows to export again and must not replace
// the complete export file with an empty one.
class ExportRerun : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 1; n <= 3; ++n) t.add_line({{"poschitnum", n}, {"poschittotal", 2.5}});
        t.add_line(
            {{"poschitnum", 4}, {"itemnumber", -1}, {"postendtype", 9}, {"poschittotal", 7.5}});
    }
    void export_now() {
        t.ui.files = {file.string()};
        t.ui.answers = {true, true};
        cmdexport1_click(t.s());
    }
    // The references of the records of a file.
    static std::vector<std::string> references(const fs::path& file) {
        std::vector<std::string> out;
        for (const auto& line : test::file_lines(file)) out.push_back(split_items(line)[1]);
        return out;
    }
    // The references of the rows marked exported.
    std::vector<std::string> marked() {
        auto db = t.xact_db();
        std::vector<std::string> out;
        for (Recordset rs =
                 db->open_recordset("select * from xact where export >= 1 order by poschitnum");
             !rs.eof(); rs.move_next()) {
            out.push_back(export_reference(rs.field("ticket"), rs.field("poschitnum")));
        }
        return out;
    }
    TestStation t;
    fs::path file = t.home() / "export03.csv";
    fs::path kept = kept_name(file, t.clock.now());
};

TEST_F(ExportRerun, AfterAFailedHistoryPassTheCompleteExportFileIsKept) {
    t.xact_db()->execute(
        "create trigger no_history before update of status on xact when new.status = 7 "
        "begin select raise(abort, 'disk I/O error'); end");
    export_now();
    ASSERT_EQ(t.s().form.helpwindow.text, "Export stopped: 3 exported, 0 in history");
    const std::vector<std::string> all = {"00000011", "00000012", "00000013"};
    EXPECT_EQ(references(file), all);

    export_now();  // the tender still waits: no re-export question, an empty export
    EXPECT_EQ(references(kept), all);
    EXPECT_EQ(references(file), std::vector<std::string>{});
    EXPECT_EQ(marked(), all);
}

TEST_F(ExportRerun, AfterAKilledRunEveryMarkedRowIsInAKeptFile) {
    // The export runs in a child process that is killed once the history pass has begun.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        t.ui.on_yield = [&] {
            if (file_exists(t.home() / "kovrax03.csv")) ::raise(SIGKILL);
        };
        export_now();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const std::vector<std::string> sent = marked();
    EXPECT_EQ(sent.size(), 3u);
    EXPECT_EQ(references(file), sent);

    export_now();
    EXPECT_EQ(references(kept), sent);
    EXPECT_EQ(marked(), sent);
}

}  // namespace
}  // namespace tillora
