#include "export/marked_pass.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "export/error_explanation.h"
#include "export/export_fixture.h"
#include "export/record_file.h"
#include "support/expected_file.h"

namespace tillora {
namespace {

using test::expect_file;
using test::marks;
using test::references;
using test::run_export;
using test::TestStation;
using Lines = std::vector<std::string>;

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

class MarkedPassTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 1; n <= 5; ++n)
            t.add_line({{"ticket", 1}, {"poschitnum", n}, {"poschittotal", 1.0}});
        db = t.xact_db();
        rows = db->open_recordset("select * from xact order by poschitnum", SetKind::Updatable);
    }
    void pass(std::size_t rows_per_batch) {
        const PassRules rules{nullptr, [](const Recordset&) { return std::string("Exporting"); },
                              [](const Recordset& r) { return export_fields(r, "03"); },
                              [](Recordset& r) { r.set("status", 6); }};
        write_and_mark(t.s(), *db, rows, file, rules, progress,
                       {rows_per_batch, rows_per_batch, rows_per_batch});
    }
    TestStation t;
    std::unique_ptr<Database> db;
    Recordset rows;
    PassProgress progress;
    std::filesystem::path file = t.home() / "export03.csv";
};

// A disk that fills in the second batch, or a mark the store refuses there: the batch is
// neither marked nor in the file, the batch before it is both.
TEST_F(MarkedPassTest, AFailedBatchIsRolledBackAndTakenOutOfTheFile) {
    int written = 0;
    t.ui.on_yield = [&] {
        if (++written == 3) {
            ASSERT_TRUE(fill_disk_under(file));
        }
    };
    try {
        pass(2);
        FAIL() << "the full disk went unnoticed";
    } catch (const RecordFileError& e) {
        EXPECT_EQ(e.error_number(), ENOSPC);
    }
    const Lines first_batch = {"1:6:", "2:6:", "3:2:", "4:2:", "5:2:"};
    EXPECT_EQ(references(file), (Lines{"00000011", "00000012"}));
    EXPECT_EQ(marks(t), first_batch);
    EXPECT_EQ(progress.marked, 2);

    t.ui.on_yield = nullptr;  // the second row of the second batch cannot be stored
    std::filesystem::remove(file);
    db->execute("update xact set status = 2");
    db->execute(
        "create trigger refuse_four before update of status on xact when new.poschitnum = 4 "
        "begin select raise(abort, 'locked by another user'); end");
    rows = db->open_recordset("select * from xact order by poschitnum", SetKind::Updatable);
    EXPECT_THROW(pass(2), StoreError);
    EXPECT_EQ(references(file), (Lines{"00000011", "00000012"}));
    EXPECT_EQ(marks(t), first_batch);
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
    EXPECT_EQ(marks(t), (Lines{"1:6:", "2:6:", "3:6:"}));
    EXPECT_EQ(progress.marked, 3);
    EXPECT_EQ(progress.left, 0);
}

// The next batch is sized for its marks to take about the target: grown or shrunk in proportion,
// at most fourfold at a time, and never outside its limits.
TEST(MarkedPass, BatchesAreSizedForTheRegistersWait) {
    using std::chrono::milliseconds;
    const BatchSize size{1000, 100, 10000, milliseconds(60)};
    struct Case {
        std::size_t rows;
        milliseconds held;
        std::size_t next;
    };
    const Case cases[] = {
        {1000, milliseconds(60), 1000},   // on target
        {1000, milliseconds(30), 2000},   // twice as fast: twice the rows
        {1000, milliseconds(5), 4000},    // far faster: fourfold at most
        {1000, milliseconds(0), 4000},    // too fast to measure
        {4000, milliseconds(240), 1000},  // slower: fewer rows
        {1000, milliseconds(6000), 100},  // a stalled disk: the least
        {8000, milliseconds(20), 10000},  // never above the most
    };
    for (const Case& c : cases) {
        EXPECT_EQ(next_batch_rows(size, c.rows, c.held), c.next)
            << c.rows << " rows in " << c.held.count() << " ms";
    }
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
    run_export(t, file);
    EXPECT_EQ(
        t.boxes().back().rfind("MSGBOX Quillon Codes | Code 61 - Disk full: cannot write to " +
                                   file.string() + ": No space left on device\\n\\nFYI",
                               0),
        0u);
    EXPECT_EQ(marks(t), (Lines{"1:2:", "2:2:", "3:2:"}));
    EXPECT_EQ(t.s().form.helpwindow.text, "Export stopped: 0 exported, 0 in history");

    t.ui.on_yield = nullptr;
    run_export(t, file);
    EXPECT_EQ(references(file), (Lines{"00000011", "00000012", "00000013"}));
    EXPECT_EQ(marks(t), (Lines{"1:7:1", "2:7:1", "3:7:1"}));
}

// The store's and the system's failures in the list's codes where the meaning is the same, in
// the classic run-time codes otherwise; the engine's message after the description. The first
// line of each explanation is in error-codes.txt, in the order below.
TEST(ErrorExplanation, TextAndCodes) {
    expect_file("error-explanation.txt", error_explanation_text({3024, "no such table: xact"}));
    std::string first_lines;
    const auto explain = [&](const std::exception_ptr& error) {
        try {
            std::rethrow_exception(error);
        } catch (...) {
            const std::string text = error_explanation_text(current_error_code());
            first_lines += text.substr(0, text.find('\n')) + "\n";
        }
    };
    const std::vector<std::pair<int, const char*>> store_errors = {
        {53, "Could not find file"},
        {1, "no such table: xact"},
        {1, "no such column: posmemo"},
        {11, "database disk image is malformed"},
        {26, "file is not a database"},
        {5, "database is locked"},
        {262, "database table is locked"},
        {13, "database or disk is full"},
        {8, "attempt to write a readonly database"},
        {3021, "No current record."}};
    for (const auto& [code, message] : store_errors) {
        explain(std::make_exception_ptr(StoreError(code, message, "KOVRAX03.MDB")));
    }
    explain(std::make_exception_ptr(RecordFileError("cannot write to x: quota", EDQUOT)));
    explain(std::make_exception_ptr(RecordFileError("cannot open x: denied", EACCES)));
    for (const char* why :
         {"Read-only file system", "Not a directory", "a symbolic link is in its place; refused"}) {
        explain(std::make_exception_ptr(FileError(std::string("cannot create x: ") + why)));
    }
    explain(std::make_exception_ptr(std::runtime_error("odd")));
    expect_file("error-codes.txt", first_lines);
}

}  // namespace
}  // namespace tillora
