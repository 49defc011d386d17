#include "export/marked_pass.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "export/error_explanation.h"
#include "export/export_record.h"
#include "export/export_transactions.h"
#include "export/record_file.h"
#include "support/expected_file.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::expect_file;
using test::TestStation;

// Makes the open descriptor of `file` write to /dev/full: every later write fails with ENOSPC,
// as on a disk that filled up. False while the file is not open.
bool fill_disk_under(const std::filesystem::path& file) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(entry.path(), ec) != file) continue;
        const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        const int fd = std::stoi(entry.path().filename().string());
        const bool ok = full >= 0 && ::dup2(full, fd) == fd;
        if (full >= 0) ::close(full);
        return ok;
    }
    return false;
}

// Poschitnum of the lines whose status is `status`.
std::vector<std::string> with_status(TestStation& t, int status) {
    auto db = t.xact_db();
    Recordset rs =
        db->open_recordset("select poschitnum from xact where status = " + std::to_string(status) +
                           " order by poschitnum");
    std::vector<std::string> out;
    for (; !rs.eof(); rs.move_next()) out.push_back(default_text(rs.field(std::size_t{0})));
    return out;
}

// The last digit of the reference (the poschitnum of ticket 1) of every record of a file.
std::vector<std::string> exported(const std::filesystem::path& file) {
    std::vector<std::string> out;
    for (const auto& line : test::file_lines(file)) out.push_back(line.substr(11, 1));
    return out;
}

class MarkedPassTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 1; n <= 5; ++n) {
            t.add_line({{"ticket", 1}, {"poschitnum", n}, {"poschittotal", 1.0}});
        }
        db = t.xact_db();
        rows = db->open_recordset("select * from xact order by poschitnum", SetKind::Updatable);
    }
    PassRules rules(std::function<void(Recordset&)> mark) {
        return {nullptr, [](const Recordset&) { return std::string("Exporting"); },
                [](const Recordset& r) { return export_fields(r, "03"); }, std::move(mark)};
    }
    static void mark6(Recordset& r) { r.set("status", 6); }

    TestStation t;
    std::unique_ptr<Database> db;
    Recordset rows;
    PassProgress progress;
    std::filesystem::path file = t.home() / "export03.csv";
};

TEST_F(MarkedPassTest, DiskFullMidwayLeavesEveryMarkedRowInTheFile) {
    int written = 0;
    t.ui.on_yield = [&] {
        if (++written == 3) {
            ASSERT_TRUE(fill_disk_under(file));
        }
    };
    try {
        write_and_mark(t.s(), *db, rows, file, rules(mark6), progress, 2);
        FAIL() << "the full disk went unnoticed";
    } catch (const RecordFileError& e) {
        EXPECT_EQ(e.error_number(), ENOSPC);
    }
    // The batch the disk refused is not in the file and not marked.
    EXPECT_EQ(exported(file), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(with_status(t, 6), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(progress.marked, 2);
}

TEST_F(MarkedPassTest, FailedMarkingRollsBackItsBatch) {
    // The second row of the second batch cannot be stored: the first one is rolled back.
    db->execute(
        "create trigger refuse_four before update of status on xact when new.poschitnum = 4 "
        "begin select raise(abort, 'locked by another user'); end");
    EXPECT_THROW(write_and_mark(t.s(), *db, rows, file, rules(mark6), progress, 2), StoreError);
    EXPECT_EQ(exported(file), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(with_status(t, 6), (std::vector<std::string>{"1", "2"}));
}

// A row is marked when it still holds what it was read with, however its values are stored:
// money with more than four decimals, a text or a null where a number belongs, any case.
TEST(MarkedPass, RowsUnchangedSinceTheirReadAreMarkedWhateverTheirStoredValues) {
    TestStation t;
    // clang-format off
    t.add_lines({{{"poschitnum", 1}, {"poschittotal", 12.345678}, {"poschitbase", 1e300}},
                 {{"poschitnum", 2}, {"poschittotal", "abc"}, {"ticket", Value::null()}},
                 {{"poschitnum", 3}, {"poschittotal", 7}, {"poschitsrvchg", 1.00005}, {"posmemo", "Burger"},
                  {"server", 2.5}}});
    // clang-format on
    auto db = t.xact_db();
    Recordset rows =
        db->open_recordset("select * from xact order by poschitnum", SetKind::Updatable);
    PassProgress progress;
    const PassRules rules{nullptr, [](const Recordset&) { return std::string(); }, history_fields,
                          [](Recordset& r) { r.set("status", 6); }};
    write_and_mark(t.s(), *db, rows, t.home() / "h.csv", rules, progress);
    EXPECT_EQ(with_status(t, 6), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(progress.marked, 3);
    EXPECT_EQ(progress.left, 0);
}

// The whole export on a disk that fills after its first record: explained with code 61, nothing
// marked, and the next export after the cause is fixed writes every row.
TEST(ExportDiskFull, SecondExportOffersExactlyTheRowsNotYetExported) {
    TestStation t;
    for (int n = 1; n <= 3; ++n) t.add_line({{"poschitnum", n}, {"poschittotal", 2.5}});
    const auto file = t.home() / "export03.csv";
    bool full = false;
    t.ui.on_yield = [&] {  // after the first record is written
        if (!full && std::filesystem::exists(file)) full = fill_disk_under(file);
    };
    t.ui.files = {file.string()};
    t.ui.answers = {true, true};
    cmdexport1_click(t.s());
    EXPECT_EQ(
        t.boxes().back().rfind("MSGBOX Quillon Codes | Code 61 - Disk full: cannot write to " +
                                   file.string() + ": No space left on device\\n\\nFYI",
                               0),
        0u);
    EXPECT_EQ(with_status(t, 2).size(), 3u);
    EXPECT_EQ(t.s().form.helpwindow.text, "Export stopped: 0 exported, 0 in history");

    t.ui.on_yield = nullptr;
    t.ui.files = {file.string()};
    t.ui.answers = {true, true};
    cmdexport1_click(t.s());
    EXPECT_EQ(exported(file), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(with_status(t, 7).size(), 3u);
}

TEST(ErrorExplanation, TextAndCodes) {
    expect_file("error-explanation.txt", error_explanation_text({3024, "no such table: xact"}));
    // The store's and the system's failures in the list's codes where the meaning is the same,
    // in the classic run-time codes otherwise; the engine's message after the description.
    struct Case {
        std::function<void()> fail;
        std::string description;
    };
    const auto store = [](int code, const char* message) {
        return [=] { throw StoreError(code, message, "KOVRAX03.MDB"); };
    };
    const auto file = [](const char* message, int error) {
        return [=] { throw RecordFileError(message, error); };
    };
    // clang-format off
    const std::vector<Case> cases = {
        {store(53, "Could not find file"), "Code 53 - A database is missing: Could not find file"},
        {store(1, "no such table: xact"), "Code 3024 - Data file or table is missing: no such table: xact"},
        {store(1, "no such column: posmemo"), "Code 3018 - Data field is missing: no such column: posmemo"},
        {store(11, "database disk image is malformed"), "Code 3049 - Corrupt database: database disk image is malformed"},
        {store(26, "file is not a database"), "Code 3049 - Corrupt database: file is not a database"},
        {store(5, "database is locked"), "Code 3186 - Another user is using this database: database is locked"},
        {store(262, "database table is locked"), "Code 3186 - Another user is using this database: database table is locked"},
        {store(13, "database or disk is full"), "Code 61 - Disk full: database or disk is full"},
        {store(8, "attempt to write a readonly database"), "Code 70 - Permission denied: attempt to write a readonly database"},
        {store(3021, "No current record."), "Code 3021 - Database error: No current record."},
        {file("cannot write to x: quota", EDQUOT), "Code 61 - Disk full: cannot write to x: quota"},
        {file("cannot open x: denied", EACCES), "Code 70 - Permission denied: cannot open x: denied"},
        {[] { throw FileError("cannot create x: Read-only file system"); }, "Code 70 - Permission denied: cannot create x: Read-only file system"},
        {[] { throw FileError("cannot create x: Not a directory"); }, "Code 76 - Path not found: cannot create x: Not a directory"},
        {[] { throw FileError("cannot create x: a symbolic link is in its place; refused"); }, "Code 75 - Path/File access error: cannot create x: a symbolic link is in its place; refused"},
        {[] { throw std::runtime_error("odd"); }, "Code 51 - Internal error: odd"},
    };
    // clang-format on
    for (const Case& c : cases) {
        try {
            c.fail();
        } catch (...) {
            const std::string text = error_explanation_text(current_error_code());
            EXPECT_EQ(text.substr(0, text.find('\n')), c.description);
        }
    }
}

}  // namespace
}  // namespace tillora
