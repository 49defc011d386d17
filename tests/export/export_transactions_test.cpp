#include "export/export_transactions.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Row;
using test::TestStation;

// "poschitnum:status:export" of every line, in poschitnum order.
std::vector<std::string> marks(TestStation& t) {
    auto db = t.xact_db();
    Recordset rs = db->open_recordset("select * from xact order by poschitnum");
    std::vector<std::string> out;
    for (; !rs.eof(); rs.move_next()) {
        out.push_back(default_text(rs.field("poschitnum")) + ":" +
                      default_text(rs.field("status")) + ":" + default_text(rs.field("export")));
    }
    return out;
}

// Runs the button with the dialog answering `path` and every question answered by `answers`.
void run_export(TestStation& t, const std::string& path, std::initializer_list<bool> answers) {
    t.ui.files.push_back(path);
    t.ui.answers.assign(answers);
    cmdexport1_click(t.s());
}

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::add_export_day(t);
        t.s().form.txtempid.text = "12";
        t.st().empid = 12;
    }
    std::string out(const std::string& name) const { return (t.home() / "out" / name).string(); }
    TestStation t;
};

// The export and history files of the export day, as the export writes them.
void expect_export_day(const std::filesystem::path& export_file) {
    test::expect_file("export-day-export03.csv", test::read_file(export_file));
    test::expect_file("export-day-kovrax03.csv",
                      test::read_file(export_file.parent_path() / "kovrax03.csv"));
}

TEST_F(ExportTest, WritesBothFilesByteForByteAndMarksTheRows) {
    std::filesystem::create_directory(t.home() / "out");
    test::write_file(out("ccard03.csv"), "old");
    run_export(t, out("export03.csv"), {true, true});

    expect_export_day(out("export03.csv"));
    EXPECT_FALSE(file_exists(out("ccard03.csv")));
    EXPECT_EQ(marks(t), (std::vector<std::string>{"45:7:1", "345:7:1", "346:7:", "400:7:", "401:7:",
                                                  "402:2:", "403:-12:", "404:7:1"}));
    EXPECT_EQ(t.st().exportdir, out(""));
    EXPECT_EQ(t.s().form.helpwindow.text, "Export complete");
    EXPECT_EQ(test::file_lines(t.home() / "audit03.txt"),
              (std::vector<std::string>{"09042020\\14:37\\E#12\\Export 20200904-20200904 complete",
                                        "09042020\\14:37\\E#12\\Export Trans-12"}));
    EXPECT_EQ(t.boxes(),
              (std::vector<std::string>{
                  "FILEDIALOG Select Export Destination -> " + out("export03.csv"),
                  "QUESTION Confirm export... | Click YES to export now; click NO to cancel "
                  "export. -> yes",
                  "QUESTION Export Transactions | Export transactions from and including "
                  "20200904\\nto and including 20200904\\nClick YES to continue; no to stop "
                  "now. -> yes"}));
}

TEST_F(ExportTest, ReexportKeepsStatusAndCountsAgain) {
    std::filesystem::create_directory(t.home() / "out");
    run_export(t, out("export03.csv"), {true, true});
    run_export(t, out("export03.csv"), {true, true, true});

    const auto lines = test::file_lines(out("export03.csv"));
    ASSERT_EQ(lines.size(), 4u);  // 45, 345, 401, 404; the type 9 tender stays out
    EXPECT_EQ(lines[2].substr(0, 17), "\"\",\"0000125401\",\"");
    EXPECT_EQ(marks(t), (std::vector<std::string>{"45:7:2", "345:7:2", "346:7:", "400:7:",
                                                  "401:7:1", "402:2:", "403:-12:", "404:7:2"}));
    EXPECT_NE(t.boxes()[6].find("QUESTION Re-export transactions? | Transactions for the chosen "
                                "date range have either already been\\nexported"),
              std::string::npos);
}

TEST_F(ExportTest, ASecondExportDuringAYieldIsRefused) {
    std::filesystem::create_directory(t.home() / "out");
    bool clicked = false;
    t.ui.on_yield = [&] {
        if (clicked || !file_exists(out("export03.csv"))) return;
        clicked = true;
        t.ui.files.push_back(out("export03.csv"));
        t.ui.answers.assign({true, true});
        cmdexport1_click(t.s());
    };
    run_export(t, out("export03.csv"), {true, true});
    EXPECT_TRUE(clicked);
    expect_export_day(out("export03.csv"));
    const auto boxes = t.boxes();
    EXPECT_NE(std::find(boxes.begin(), boxes.end(),
                        "MSGBOX Oops... | An export is already running. Please wait for it to "
                        "complete."),
              boxes.end());
}

TEST_F(ExportTest, ALineArrivingAfterTheExportPassIsLeftForTheNextExport) {
    std::filesystem::create_directory(t.home() / "out");
    // The register closes ticket 129 once the export pass has marked its rows and before the
    // history pass selects the range.
    bool inserted = false;
    t.ui.on_yield = [&] {
        if (inserted || file_exists(out("kovrax03.csv"))) return;
        {
            auto db = t.xact_db();
            Recordset sent = db->open_recordset("select count(*) from xact where status = 6");
            if (sent.field(std::size_t{0}).as_int() < 3) return;
        }
        t.add_line({{"ticket", 129}, {"poschitnum", 100}, {"poschittotal", 4.0}});
        inserted = true;
    };
    run_export(t, out("export03.csv"), {true, true});
    ASSERT_TRUE(inserted);
    expect_export_day(out("export03.csv"));
    EXPECT_EQ(marks(t), (std::vector<std::string>{"45:7:1", "100:2:", "345:7:1", "346:7:", "400:7:",
                                                  "401:7:", "402:2:", "403:-12:", "404:7:1"}));

    run_export(t, out("export03.csv"), {true, true});
    const auto lines = test::file_lines(out("export03.csv"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 17), "\"\",\"0000129100\",\"");
    EXPECT_EQ(marks(t), (std::vector<std::string>{
                            "45:7:1", "100:7:1", "345:7:1",
                            "346:7:", "400:7:", "401:7:", "402:2:", "403:-12:", "404:7:1"}));
}

// Operator choices and bad input: what is shown, where the export file goes, whether rows are
// marked and which audit entries are appended. Paths are relative to the installation.
TEST(ExportChoices, ChoicesAndBadInput) {
    struct Case {
        const char* name;
        std::string path;  // "" = the dialog was cancelled
        std::vector<bool> answers;
        std::string last_box;            // start of the last box shown; "@" stands for the folder
        std::string export_file;         // where the export file must be ("" = nowhere)
        std::vector<std::string> audit;  // entry texts after "E#12\"
    };
    const std::vector<std::string> refused = {"Export Trans-12"},
                                   done = {"Export 20200904-20200904 complete", "Export Trans-12"};
    const std::string range = "QUESTION Export Transactions";
    // clang-format off
    const std::vector<Case> cases = {
        {"empty dialog result", "", {},
         "MSGBOX Oops... | Please use the default file name and select the destination.", "", {}},
        {"no on the confirmation", "export03.csv", {false}, "QUESTION Confirm", "", {}},
        {"no on the range", "export03.csv", {true, false}, range, "", refused},
        {"name without export", "server/out.csv", {true, true}, range, "server/export03.csv", done},
        {"folder chosen", "server", {true, true}, range, "server/export03.csv", done},
        {"missing folder", "missing/export03.csv", {true, true},
         "MSGBOX Quillon Codes | Code 76 - Path not found: cannot create @/missing/export03.csv: "
         "No such file", "",
         refused},
        {"folder is a file", "KOVRAX03.MDB/export03.csv", {true, true},
         "MSGBOX Quillon Codes | Code 76 - Path not found: cannot keep the earlier file "
         "@/KOVRAX03.MDB/export03.csv: Not a directory", "", refused},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        test::add_export_day(t);
        const std::vector<std::string> untouched = marks(t);
        const std::string home = t.home().string();
        t.s().form.txtempid.text = "12";
        t.st().empid = 12;
        t.ui.files.push_back(c.path.empty() ? "" : home + "/" + c.path);
        t.ui.answers.assign(c.answers.begin(), c.answers.end());
        cmdexport1_click(t.s());

        std::string expected_box = c.last_box;
        if (auto at = expected_box.find('@'); at != std::string::npos) {
            expected_box.replace(at, 1, home);
        }
        ASSERT_FALSE(t.boxes().empty());
        EXPECT_EQ(t.boxes().back().rfind(expected_box, 0), 0u) << t.boxes().back();
        if (!c.export_file.empty()) {
            test::expect_file("export-day-export03.csv", test::read_file(t.home() / c.export_file));
        }
        EXPECT_EQ(marks(t) == untouched, c.export_file.empty());
        std::vector<std::string> audit;
        if (file_exists(t.home() / "audit03.txt")) {
            for (const auto& line : test::file_lines(t.home() / "audit03.txt")) {
                audit.push_back(line.substr(line.find("E#12\\") + 5));
            }
        }
        EXPECT_EQ(audit, c.audit);
    }
}

TEST(ExportFolder, IsThePathUpToTheFirstExport) {
    const test::TempDir dir;
    const std::string folder = dir.path().string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/srv/ar/export03.csv", "/srv/ar/"},
        {"/srv/exports/export03.csv", "/srv/"},  // the first "export" decides
        {"/srv/ar/myexport03.csv", "/srv/ar/my"},
        {"/srv/ar/out.csv", "/srv/ar/"},  // no "export": the folder of the chosen file
        {"export03.csv", ""},
        {folder, folder + "/"},
        {folder + "/", folder + "/"},
    };
    for (const auto& [chosen, expected] : cases) EXPECT_EQ(export_folder_of(chosen), expected);
}

TEST_F(ExportTest, NothingToReexportSaysSo) {
    auto db = t.xact_db();
    db->execute("update xact set poschittotal = 0");
    db.reset();
    run_export(t, t.home().string() + "/export03.csv", {true, true, true});
    EXPECT_EQ(t.boxes().back(),
              "MSGBOX Oops... | Completed transactions for the chosen date\\nrange do not exist "
              "on this workstation.");
    EXPECT_FALSE(file_exists(t.home() / "export03.csv"));
}

TEST_F(ExportTest, MissingDatabaseIsExplainedWithItsCode) {
    std::filesystem::remove(t.home() / "KOVRAX03.MDB");
    run_export(t, t.home().string() + "/export03.csv", {true, true});
    EXPECT_EQ(t.boxes().back().rfind(
                  "MSGBOX Quillon Codes | Code 53 - A database is missing: Could not find file", 0),
              0u);
}

}  // namespace
}  // namespace tillora
