#include "export/export_transactions.h"

#include <gtest/gtest.h>

#include <sstream>

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

// Operator choices and bad input, the cases of tests/export/export_choices.txt: what is shown,
// where the export file goes, whether rows are marked and which audit entries are appended.
TEST(ExportChoices, ChoicesAndBadInput) {
    struct Case {
        std::string name, path, last_box, export_file, change;
        std::vector<bool> answers;
        Lines audit;
    };
    std::vector<Case> cases;
    const auto table =
        std::filesystem::path(TILLORA_SOURCE_DIR) / "tests/export/export_choices.txt";
    for (const std::string& line : test::file_lines(table)) {
        const std::size_t blank = line.find(' ');
        if (line.empty() || line[0] == '#' || blank == std::string::npos) continue;
        const std::string key = line.substr(0, blank), rest = line.substr(blank + 1);
        if (key == "case") cases.push_back({rest, "", "", "", "", {}, {}});
        Case& c = cases.back();
        if (key == "path") c.path = rest;
        if (key == "box") c.last_box = rest;
        if (key == "file") c.export_file = rest;
        if (key == "change") c.change = rest;
        std::istringstream words(key == "answers" ? rest : "");
        for (std::string answer; words >> answer;) c.answers.push_back(answer == "yes");
        if (key == "audit" && rest != "none") c.audit = {"Export Trans-12"};
        if (key == "audit" && rest == "done")
            c.audit.insert(c.audit.begin(), "Export 20200904-20200904 complete");
    }
    ASSERT_EQ(cases.size(), 8u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        test::add_export_day(t);
        if (!c.change.empty()) t.xact_db()->execute(c.change);
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
