// Faults around the reports: one close-out at a time, damaged and missing databases, a full disk,
// a read-only installation, a printer that fails mid-job, a vanishing, garbage or special audit
// file, and the privacy of the close-out file (of the export and spool files: the Concurrency
// test). Input and output the program does not trust: a symbolic link planted where it writes is
// refused (the file it points to keeps its content), a pipe in place of the node file is refused
// rather than waited on, and text from the database reaches the printer without control
// characters.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iomanip>
#include <random>

#include "engine/print_frame.h"
#include "other/reliability_fixture.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

using test::DemoStation;
using test::Installation;
using test::kCloseoutName;

std::string random_bytes(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xff);
    return bytes;
}

// A second run while one holds the lock is refused and touches nothing; once that run has ended
// (its lock file and process number left behind) the next run takes the lock over.
TEST(CloseoutLock, ASecondRunWhileOneRunsIsRefusedAndTouchesNothing) {
    Installation inst;
    test::write_file(inst.home / kCloseoutName, "being written by the first run\n");
    const int fd = ::open((inst.home / "closeout.lock").c_str(), O_RDWR | O_CREAT, 0640);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::write(fd, "4242\n", 5), 5);
    std::ostringstream err;
    EXPECT_EQ(inst.closeout_run(err), kCloseoutAlreadyRunning);
    EXPECT_NE(err.str().find("another close-out is running"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("process 4242"), std::string::npos) << err.str();
    EXPECT_EQ(test::read_file(inst.home / kCloseoutName), "being written by the first run\n");
    EXPECT_FALSE(fs::exists(inst.home / "local" / "kovra.req"));
    ::close(fd);
    std::ostringstream again;
    EXPECT_EQ(inst.closeout_run(again), 0) << again.str();
    EXPECT_EQ(inst.separators(), 14);
}

// ---- Damaged and missing databases ----

// Changes `file` as a row of tests/fixtures/closeout-faults.txt says: missing, random,
// truncated, "sql <statement>", fifo, zero-link (a link to /dev/zero) or garbage (an audit file
// of numbers beyond every range and ten megabytes of random bytes, and a random error file).
void change(const fs::path& file, const std::string& how) {
    const bool replaced = how == "fifo" || how == "zero-link";
    if (how == "missing" || replaced) fs::remove(file);
    if (how == "random") test::write_file(file, random_bytes(16384, 7));
    if (how == "truncated") fs::resize_file(file, fs::file_size(file) / 2);
    if (how.rfind("sql ", 0) == 0) Database::open(file)->execute(how.substr(4));
    if (how == "fifo") ::mkfifo(file.c_str(), 0640);
    if (how == "zero-link") fs::create_symlink("/dev/zero", file);
    if (how == "garbage") {
        test::write_file(file,
                         "09042020\\12:00\\E#15\\#99999999999 Ticket cleared .00\r\n"
                         "09042020\\12:01\\E#90\\PaidOut\\-1e300\\Produce\r\n"
                         "09-04-2020 12:02:00 E#90 Paid-IN 99999999999999999999 Change\r\n" +
                             random_bytes(10 << 20, 11));
        test::write_file(file.parent_path() / "error03.txt", random_bytes(1 << 20, 12));
    }
}

// The bytes of a file, or "(missing)".
std::string snapshot(const fs::path& file) {
    return fs::exists(file) ? test::read_file(file) : "(missing)";
}

// Each row: the close-out run's exit status and messages, the reason in the close-out file too
// (which stays private), the changed file left as it was; on a station started afterwards, a
// report clicked finds the row's box and the file named in a box, and its guard cleared.
TEST(Faults, DamagedInstallationsAreToldByTheCloseOutRunAndLeftAsTheyWere) {
    const fs::path table =
        fs::path(TILLORA_SOURCE_DIR) / "tests" / "fixtures" / "closeout-faults.txt";
    for (const std::string& row : test::file_lines(table)) {
        if (row.empty() || row[0] == '#') continue;
        std::istringstream in(row);
        std::vector<std::string> f;
        for (std::string field; in >> std::quoted(field);) f.push_back(field);
        ASSERT_EQ(f.size(), 6u) << row;
        SCOPED_TRACE(row);
        const int status = std::stoi(f[2]);
        Installation inst;
        change(inst.home / f[0], f[1]);
        const bool kept = f[4] == "yes";
        const std::string before = kept ? snapshot(inst.home / f[0]) : "";
        std::ostringstream err;
        const mode_t old_mask = ::umask(0);
        EXPECT_EQ(inst.closeout_run(err), status) << err.str();
        ::umask(old_mask);
        EXPECT_NE(err.str().find(f[3]), std::string::npos) << err.str();
        EXPECT_EQ(inst.separators(), 14);
        const auto lines = inst.closeout();
        const bool told = std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind("*** ", 0) == 0 && l.find(f[3]) != std::string::npos;
        });
        EXPECT_EQ(told, status != 0) << testing::PrintToString(lines);
        EXPECT_EQ(fs::status(inst.home / kCloseoutName).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_TRUE(!kept || snapshot(inst.home / f[0]) == before) << f[0] << " changed";
        if (f[5] == "-") continue;
        DemoStation d(inst);
        EXPECT_TRUE(click_report_button(d.s, "cmdserver3"));
        EXPECT_EQ(d.s.st.reportbusy, 0);
        EXPECT_TRUE(d.has_box(f[5])) << testing::PrintToString(d.ui.shown);
        EXPECT_TRUE(d.has_box(f[0])) << testing::PrintToString(d.ui.shown);
    }
}

// ---- Full disk, read-only folder ----

// A full disk (8 KB left) or a read-only installation fails the close-out run with the system's
// reason; no transaction is lost, and a read-only folder gets no close-out file.
TEST(Faults, AFullDiskOrAReadOnlyInstallationFailsTheCloseOutRunClearly) {
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "full disk" : "read-only");
        test::TempDir mnt;  // an 8 MB tmpfs, taken away at the end
        if (::mount("tmpfs", mnt.path().c_str(), "tmpfs", 0, "size=8m") != 0) {
            GTEST_SKIP() << "cannot mount a small tmpfs: " << std::strerror(errno);
        }
        const auto unmount = [](const char* where) { ::umount2(where, MNT_DETACH); };
        std::unique_ptr<const char, decltype(unmount)> mounted(mnt.path().c_str(), unmount);
        Installation inst(3, 12, mnt.path() / "home");
        const long rows = inst.xact_rows();
        if (full) {
            const std::string block(4096, 'x');
            const int fd = ::open((mnt / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
            while (::write(fd, block.data(), block.size()) > 0) {
            }
            ::close(fd);
            fs::resize_file(mnt / "filler", fs::file_size(mnt / "filler") - 8192);
        } else {
            ASSERT_EQ(
                ::mount(nullptr, mnt.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
                << std::strerror(errno);
        }
        std::ostringstream err;
        EXPECT_EQ(inst.closeout_run(err), 1);
        EXPECT_NE(err.str().find(full ? "No space left on device" : "Read-only file system"),
                  std::string::npos)
            << err.str();
        if (!full) {
            EXPECT_FALSE(fs::exists(inst.home / kCloseoutName));
            continue;  // nothing can change on a read-only folder
        }
        fs::remove(mnt / "filler");
        EXPECT_EQ(inst.xact_rows(), rows);
    }
}

// ---- The printer and the audit file ----

// One printer that accepts `good` lines and then fails every line until repaired (good -1).
struct FailingPrinterSystem : PrinterSystem, Printer {
    explicit FailingPrinterSystem(long good) : good(good) {}
    std::size_t count() const override { return 1; }
    Printer& at(std::size_t) override { return *this; }
    std::string name() const override { return "failing"; }
    void set_font(const std::string&) override {}
    void set_attribute(bool) override {}
    void print_line(const std::string&) override {
        if (good >= 0 && printed >= good) throw PrinterError("paper jam");
        ++printed;
    }
    void end_job() override {}
    long good;
    long printed = 0;
};

// Print All meeting a fault midway: the printer jams after 25 lines, or the audit file goes at
// the yield after the first report (the later audit reports say so in a box and the batch goes
// on). The batch ends, its guard and flag are cleared, and the next report prints.
TEST(Faults, AJamOrAVanishedAuditFileEndsPrintAllAndTheNextReportPrints) {
    for (const bool jam : {true, false}) {
        SCOPED_TRACE(jam ? "printer jam" : "audit file removed");
        Installation inst;
        FailingPrinterSystem printers(jam ? 25 : -1);
        DemoStation d(inst, &printers);
        int yields = 0;
        d.ui.on_yield = [&] {
            if (!jam && ++yields == 40) fs::remove(inst.home / "audit03.txt");
        };
        d.ui.answers.assign({true});
        EXPECT_TRUE(click_report_button(d.s, "cmdprintall"));
        EXPECT_EQ(d.s.st.reportbusy, 0);
        EXPECT_EQ(d.s.st.printall, 0);
        EXPECT_EQ(d.s.form.helpwindow.text, "Done");
        if (jam) {
            EXPECT_EQ(printers.printed, 25);
        } else {
            EXPECT_FALSE(fs::exists(inst.home / "audit03.txt"));
            EXPECT_TRUE(d.has_box("No audit file.")) << testing::PrintToString(d.ui.shown);
            EXPECT_TRUE(d.s.failures.empty()) << testing::PrintToString(d.s.failures);
        }
        const long before = printers.printed;
        printers.good = -1;
        EXPECT_TRUE(click_report_button(d.s, "cmdserver3"));
        EXPECT_GT(printers.printed, before);
        EXPECT_EQ(d.s.st.reportbusy, 0);
    }
}

// Three close-out runs (exit status, what standard error says) and an export into the
// installation folder (status -1, what a box says).
TEST(PlantedLinks, NoWriteGoesThroughALinkInThePlaceOfAFile) {
    const struct {
        const char* link;  // relative to the installation
        const char* told;
        int status;
    } cases[] = {
        {"closeout.lock", "is a symbolic link", 0},
        {"closeout03-20200904.txt", "it is a symbolic link", 1},
        {"local/kovra.req", "a symbolic link is in its place; refused", 1},
        {"export03.csv", "Code 75 - Path/File access error", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        Installation inst(2, 4);
        const fs::path target = inst.dir / "precious.txt";
        test::write_file(target, "precious\n");
        fs::create_symlink(target, inst.home / c.link);
        std::ostringstream err;
        if (c.status >= 0) {
            EXPECT_EQ(inst.closeout_run(err), c.status) << err.str();
            EXPECT_TRUE(c.link == kCloseoutName || inst.separators() == 14);
        } else {
            DemoStation d(inst);
            d.export_to(inst.home / c.link);
            err << testing::PrintToString(d.ui.shown);
            EXPECT_EQ(inst.xact_rows(" where export >= 1"), 0);
        }
        EXPECT_NE(err.str().find(c.told), std::string::npos) << err.str();
        EXPECT_EQ(test::read_file(target), "precious\n");
    }
}

TEST(SpecialFiles, ANodeFileThatIsAPipeStopsTheStartUpWithAMessage) {
    Installation inst(1, 4);
    fs::remove(inst.home / "ravonode.ini");
    ASSERT_EQ(::mkfifo((inst.home / "ravonode.ini").c_str(), 0640), 0);
    DemoStation d(inst);
    EXPECT_TRUE(d.has_box("The node file ravonode.ini cannot be read"))
        << testing::PrintToString(d.ui.shown);
}

// On a printer and into the close-out file: OtherReceipts (credit-card-control).
TEST(PrintedText, ControlCharactersBecomeSpaces) {
    EXPECT_EQ(printable_line(std::string("a\x1bp0\x19\0\tb\r\n\xc3\xa9", 12)),
              "a p0   b  \xc3\xa9");
}

}  // namespace
}  // namespace tillora
