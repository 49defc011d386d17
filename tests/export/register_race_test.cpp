// The export beside a register that changes lines while the export runs: a line the register
// closed, voided or changed after the export read it (or before the export reached it) is left
// as the register left it, with no record of it in a file, and goes to the next export.
#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::TestStation;

// The poschitnum (last character of the reference) of every record of an export file.
std::string exported(const std::filesystem::path& file) {
    std::string out;
    for (const auto& reference : test::references(file)) out += reference.back();
    return out;
}

TEST(RegisterRace, LinesTheRegisterChangesDuringAnExportAreLeftAsTheRegisterLeftThem) {
    struct Case {
        const char* name;
        bool history_pass;  // the change comes at the first row of the history pass
        const char* change;
        std::vector<std::string> marks;
        std::string exported;
    };
    // tests/fixtures/race-day.txt: a held line (0) and three closed lines (the total of 1 stored
    // as text); the export pass reads 1, 2, 9, the history pass 0, 1, 2, 9, and the change comes
    // after each pass has read its first row.
    // clang-format off
    const std::vector<Case> cases = {
        {"voided after its export read", false, "status = -12 where poschitnum = 1",
         {"0:7:", "1:-12:", "2:7:1", "9:7:1"}, "29"},
        {"amount changed after its export read", false, "poschittotal = 4.5 where poschitnum = 1",
         {"0:7:", "1:2:", "2:7:1", "9:7:1"}, "29"},
        {"text amount made a number near 0 after its export read", false,
         "poschittotal = 0.00009 where poschitnum = 1", {"0:7:", "1:2:", "2:7:1", "9:7:1"}, "29"},
        {"voided before the export reached it", false, "status = -12 where poschitnum = 9",
         {"0:7:", "1:7:1", "2:7:1", "9:-12:"}, "12"},
        {"held ticket closed after its history read", true, "status = 2 where poschitnum = 0",
         {"0:2:", "1:7:1", "2:7:1", "9:7:1"}, "129"},
        {"held line voided after its history read", true, "status = -12 where poschitnum = 0",
         {"0:-12:", "1:7:1", "2:7:1", "9:7:1"}, "129"},
        {"exported line voided before the history reached it", true,
         "status = -12 where poschitnum = 9", {"0:7:", "1:7:1", "2:7:1", "9:-12:1"}, "129"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        test::load_fixture(t, "race-day");
        const auto export_file = t.home() / "export03.csv";
        const auto history_file = t.home() / "kovrax03.csv";
        bool changed = false;
        t.ui.on_yield = [&] {
            const bool in_pass = c.history_pass
                                     ? file_exists(history_file)
                                     : file_exists(export_file) && !file_exists(history_file);
            if (changed || !in_pass) return;
            t.xact_db()->execute(std::string("update xact set ") + c.change);
            changed = true;
        };
        test::run_export(t, export_file);
        ASSERT_TRUE(changed);
        EXPECT_EQ(test::marks(t), c.marks);
        EXPECT_EQ(exported(export_file), c.exported);
        const long sevens = std::count_if(c.marks.begin(), c.marks.end(), [](const auto& m) {
            return m.find(":7:") != std::string::npos;
        });
        EXPECT_EQ(static_cast<long>(test::file_lines(history_file).size()), sevens);
    }
}

}  // namespace
}  // namespace tillora
