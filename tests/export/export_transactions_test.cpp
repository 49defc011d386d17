#include "export/export_transactions.h"

#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::marks;
using test::references;
using test::run_export;
using test::TestStation;
using Lines = std::vector<std::string>;

// The export day, operator 12 logged in; the export goes to out/export03.csv.
class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::add_export_day(t);
        t.s().form.txtempid.text = "12";
        t.st().empid = 12;
        std::filesystem::create_directory(t.home() / "out");
    }
    // Both files of the export day, byte for byte.
    void expect_export_day() {
        test::expect_file("export-day-export03.csv", test::read_file(file));
        test::expect_file("export-day-kovrax03.csv",
                          test::read_file(t.home() / "out/kovrax03.csv"));
    }
    TestStation t;
    std::filesystem::path file = t.home() / "out" / "export03.csv";
};

TEST_F(ExportTest, WritesBothFilesByteForByteAndMarksTheRows) {
    test::write_file(t.home() / "out/ccard03.csv", "old");
    run_export(t, file);
    expect_export_day();
    EXPECT_FALSE(file_exists(t.home() / "out/ccard03.csv"));
    EXPECT_EQ(marks(t), (Lines{"45:7:1", "345:7:1",
                               "346:7:", "400:7:", "401:7:", "402:2:", "403:-12:", "404:7:1"}));
    EXPECT_EQ(t.st().exportdir, (t.home() / "out/").string());
    EXPECT_EQ(t.s().form.helpwindow.text, "Export complete");
    EXPECT_EQ(test::file_lines(t.home() / "audit03.txt"),
              (Lines{"09042020\\14:37\\E#12\\Export 20200904-20200904 complete",
                     "09042020\\14:37\\E#12\\Export Trans-12"}));
    EXPECT_EQ(t.boxes(),
              (Lines{"FILEDIALOG Select Export Destination -> " + file.string(),
                     "QUESTION Confirm export... | Click YES to export now; click NO to cancel "
                     "export. -> yes",
                     "QUESTION Export Transactions | Export transactions from and including "
                     "20200904\\nto and including 20200904\\nClick YES to continue; no to stop "
                     "now. -> yes"}));
}

TEST_F(ExportTest, ReexportKeepsStatusAndCountsAgain) {
    run_export(t, file);
    run_export(t, file, {true, true, true});
    const auto sent = references(file);
    ASSERT_EQ(sent.size(), 4u);  // 45, 345, 401, 404; the type 9 tender stays out
    EXPECT_EQ(sent[2], "0000125401");
    EXPECT_EQ(marks(t), (Lines{"45:7:2", "345:7:2", "346:7:", "400:7:", "401:7:1",
                               "402:2:", "403:-12:", "404:7:2"}));
    EXPECT_EQ(t.boxes()[6].rfind("QUESTION Re-export transactions? | Transactions for the chosen "
                                 "date range have either already been\\nexported",
                                 0),
              0u);
}

// A click on Export during a yield of a running export is turned away; a line the register
// closes between the passes is neither exported nor moved to history, and goes next time.
TEST_F(ExportTest, AClickOrANewLineDuringTheExportChangesNothingOfIt) {
    bool clicked = false, inserted = false;
    t.ui.on_yield = [&] {
        if (!file_exists(file) || file_exists(t.home() / "out/kovrax03.csv")) return;
        if (!clicked) {
            clicked = true;
            run_export(t, file);
        } else if (!inserted && marks(t)[1] == "345:6:1") {
            inserted = true;
            t.add_line({{"ticket", 129}, {"poschitnum", 100}, {"poschittotal", 4.0}});
        }
    };
    run_export(t, file);
    ASSERT_TRUE(clicked && inserted);
    expect_export_day();
    const auto boxes = t.boxes();
    EXPECT_NE(std::find(boxes.begin(), boxes.end(),
                        "MSGBOX Oops... | An export is already running. Please wait for it to "
                        "complete."),
              boxes.end());
    EXPECT_EQ(marks(t), (Lines{"45:7:1", "100:2:", "345:7:1",
                               "346:7:", "400:7:", "401:7:", "402:2:", "403:-12:", "404:7:1"}));
    t.ui.on_yield = nullptr;
    run_export(t, file);
    EXPECT_EQ(references(file), Lines{"0000129100"});
    EXPECT_EQ(marks(t), (Lines{"45:7:1", "100:7:1", "345:7:1",
                               "346:7:", "400:7:", "401:7:", "402:2:", "403:-12:", "404:7:1"}));
}

// Operator choices and bad input: what is shown, where the export file goes, whether rows are
// marked and which audit entries are appended. Paths are relative to the installation.
TEST(ExportChoices, ChoicesAndBadInput) {
    struct Case {
        const char* name;
        std::string path;  // "" = the dialog was cancelled
        std::vector<bool> answers;
        std::string last_box;     // start of the last box shown; "@" stands for the folder
        std::string export_file;  // where the export file must be ("" = nowhere)
        Lines audit;              // entry texts after "E#12\"
        const char* change = "";  // made to the export day first
    };
    const Lines refused = {"Export Trans-12"},
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
         "No such file", "", refused},
        {"folder is a file", "KOVRAX03.MDB/export03.csv", {true, true},
         "MSGBOX Quillon Codes | Code 76 - Path not found: cannot keep the earlier file "
         "@/KOVRAX03.MDB/export03.csv: Not a directory", "", refused},
        {"nothing to re-export", "export03.csv", {true, true, true},
         "MSGBOX Oops... | Completed transactions for the chosen date\\nrange do not exist on this "
         "workstation.", "", refused, "update xact set poschittotal = 0"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        test::add_export_day(t);
        if (*c.change) t.xact_db()->execute(c.change);
        const Lines untouched = marks(t);
        const std::string home = t.home().string();
        t.s().form.txtempid.text = "12";
        t.st().empid = 12;
        run_export(t, c.path.empty() ? "" : home + "/" + c.path, c.answers);

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
        Lines audit;
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

}  // namespace
}  // namespace tillora
