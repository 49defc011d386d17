// Faults around the reports: one close-out at a time, damaged and missing databases, a full disk,
// a read-only installation, a printer that fails mid-job, a vanishing or garbage audit file, and
// the privacy of the files that name card holders and members.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <random>

#include "export/export_record.h"
#include "export/export_transactions.h"
#include "export/marked_pass.h"
#include "other/reliability_fixture.h"
#include "platform/files.h"
#include "reports/other/closeout.h"

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

// A mount made for one test and taken away at its end; `error` says why it could not be made.
struct TestMount {
    TestMount(const fs::path& target, const char* type, unsigned long flags, const char* data,
              const char* source = "tmpfs") {
        if (::mount(source, target.c_str(), type, flags, data) != 0) {
            error = std::strerror(errno);
            return;
        }
        this->target = target;
    }
    ~TestMount() {
        if (!target.empty()) ::umount2(target.c_str(), MNT_DETACH);
    }
    bool remount_read_only() {
        if (::mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ==
            0) {
            return true;
        }
        error = std::strerror(errno);
        return false;
    }
    fs::path target;
    std::string error;
};

// ---- One close-out at a time ----

TEST(CloseoutLock, ASecondRunWhileOneRunsIsRefusedAndTouchesNothing) {
    Installation inst;
    test::write_file(inst.home / kCloseoutName, "being written by the first run\n");
    const int fd = ::open((inst.home / "closeout.lock").c_str(), O_RDWR | O_CREAT, 0640);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::write(fd, "4242\n", 5), 5);
    std::ostringstream err;
    EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", err), kCloseoutAlreadyRunning);
    EXPECT_NE(err.str().find("another close-out is running"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("process 4242"), std::string::npos) << err.str();
    EXPECT_EQ(test::read_file(inst.home / kCloseoutName), "being written by the first run\n");
    EXPECT_FALSE(fs::exists(inst.home / "local" / "kovra.req"));
    ::close(fd);
    // Once the first run has ended the next one runs and replaces the file.
    std::ostringstream again;
    EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", again), 0) << again.str();
    EXPECT_EQ(inst.separators(), 14);
}

TEST(CloseoutLock, TheLockOfAKilledRunIsTakenOver) {
    Installation inst;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open((inst.home / "closeout.lock").c_str(), O_RDWR | O_CREAT, 0640);
        const bool locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
        const std::string pid = std::to_string(::getpid()) + "\n";
        [[maybe_unused]] auto w1 = ::write(fd, pid.data(), pid.size());
        [[maybe_unused]] auto w2 = ::write(ready[1], locked ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    std::ostringstream err;
    EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", err), kCloseoutAlreadyRunning);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(fs::exists(inst.home / "closeout.lock"));  // left behind by the killed run
    std::ostringstream after;
    EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", after), 0) << after.str();
    EXPECT_EQ(inst.separators(), 14);
}

// ---- Damaged and missing databases ----

enum class Damage { Missing, RandomBytes, Truncated };

void damage(const fs::path& file, Damage how) {
    if (how == Damage::Missing) {
        fs::remove(file);
    } else if (how == Damage::RandomBytes) {
        test::write_file(file, random_bytes(16384, 7));
    } else {
        fs::resize_file(file, fs::file_size(file) / 2);
    }
}

void drop_table(const fs::path& file, const std::string& table) {
    auto db = Database::open(file);
    db->execute("drop table " + table);
    db->close();
}

// The bytes of a file, or "(missing)".
std::string snapshot(const fs::path& file) {
    return fs::exists(file) ? test::read_file(file) : "(missing)";
}

TEST(Faults, DamagedDatabasesAreToldByTheCloseOutRunAndLeftAsTheyWere) {
    struct Case {
        std::string name;
        std::string file;  // relative to the installation
        std::function<void(const fs::path&)> damage;
        int status;         // exit status of the run
        std::string named;  // what the messages on standard error name
        bool kept = true;   // the file is left exactly as it was
    };
    std::vector<Case> cases;
    const std::vector<std::string> files = {"KOVRAX03.MDB", "RPT03.MDB", "kovra03.mdb",
                                            "server/kovratmp.mdb"};
    const std::vector<std::pair<std::string, Damage>> damages = {
        {"missing", Damage::Missing},
        {"random bytes", Damage::RandomBytes},
        {"truncated", Damage::Truncated}};
    for (const auto& file : files) {
        for (const auto& [how, d] : damages) {
            // A configuration that cannot be read fails the run; the reports still run, with the
            // defaults.
            const bool config = file == "kovra03.mdb";
            const std::string named = config && d == Damage::Missing
                                          ? "The configuration file for Kovra unit 03 is missing."
                                          : fs::path(file).filename().string();
            cases.push_back({how + " " + file, file,
                             [file, d](const fs::path& h) { damage(h / file, d); }, 1, named});
        }
    }
    for (const auto& [file, table] :
         std::vector<std::pair<std::string, std::string>>{{"KOVRAX03.MDB", "xact"},
                                                          {"KOVRAX03.MDB", "ccard"},
                                                          {"RPT03.MDB", "ar"},
                                                          {"kovra03.mdb", "config"},
                                                          {"server/kovratmp.mdb", "xact"}}) {
        // The work database is scratch: the reports may write what tables it still has.
        cases.push_back({"no table " + table + " in " + file, file,
                         [file, table](const fs::path& h) { drop_table(h / file, table); }, 1,
                         fs::path(file).filename().string(), file != "RPT03.MDB"});
    }
    // An empty configuration table is an ordinary installation: nothing is loaded, nothing said.
    cases.push_back({"empty config table", "kovra03.mdb",
                     [](const fs::path& h) {
                         auto db = Database::open(h / "kovra03.mdb");
                         db->execute("delete from config");
                         db->close();
                     },
                     0, "", false});
    // The close-out never logs anybody in: the employee database is not needed.
    cases.push_back({"missing kovraemp.mdb", "kovraemp.mdb",
                     [](const fs::path& h) { fs::remove(h / "kovraemp.mdb"); }, 0, ""});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst;
        c.damage(inst.home);
        const std::string before = snapshot(inst.home / c.file);
        std::ostringstream err;
        const mode_t old_mask = ::umask(0);
        const int status = run_closeout(inst.home, "KVRUN20200904", err);
        ::umask(old_mask);
        EXPECT_EQ(status, c.status) << err.str();
        EXPECT_NE(err.str().find(c.named), std::string::npos) << err.str();
        EXPECT_EQ(inst.separators(), 14);
        // A failed run says why in the close-out file too, which stays private.
        const auto lines = inst.closeout();
        const bool told = std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind("*** ", 0) == 0 && l.find(c.named) != std::string::npos;
        });
        EXPECT_EQ(told, c.status != 0) << testing::PrintToString(lines);
        EXPECT_EQ(fs::status(inst.home / kCloseoutName).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        if (c.kept) {
            EXPECT_TRUE(snapshot(inst.home / c.file) == before) << c.file << " changed";
        }
    }
}

TEST(Faults, AReportOnADamagedDatabaseSaysSoAndLeavesTheGuardOpen) {
    const std::vector<std::pair<std::string, Damage>> cases = {
        {"KOVRAX03.MDB", Damage::Missing}, {"KOVRAX03.MDB", Damage::RandomBytes},
        {"RPT03.MDB", Damage::Missing},    {"RPT03.MDB", Damage::RandomBytes},
        {"RPT03.MDB", Damage::Truncated},  {"KOVRAX03.MDB", Damage::Truncated},
    };
    for (const auto& [file, how] : cases) {
        SCOPED_TRACE(file + " " + std::to_string(static_cast<int>(how)));
        Installation inst;
        damage(inst.home / file, how);
        SpoolPrinterSystem spool(inst.dir / "spool");
        DemoStation d(inst.home, spool);
        EXPECT_TRUE(click_report_button(d.s, "cmdserver3"));
        EXPECT_EQ(d.s.st.reportbusy, 0);
        EXPECT_TRUE(d.has_box("MSGBOX Oops...")) << testing::PrintToString(d.ui.shown);
        EXPECT_TRUE(d.has_box(file)) << testing::PrintToString(d.ui.shown);
    }
}

// ---- Full disk, read-only folder ----

// Fills the file system of `folder` until at most `left` bytes are free.
void fill_disk(const fs::path& folder, std::size_t left) {
    const std::string block(4096, 'x');
    const int fd = ::open((folder / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
    fs::resize_file(folder / "filler", fs::file_size(folder / "filler") - left);
}

TEST(Faults, AFullDiskFailsTheCloseOutRunAndLosesNoTransaction) {
    test::TempDir mnt;
    TestMount tmpfs(mnt.path(), "tmpfs", 0, "size=8m");
    if (!tmpfs.error.empty()) GTEST_SKIP() << "cannot mount a small tmpfs: " << tmpfs.error;
    Installation inst(3, 12, mnt.path() / "home");
    const long rows = inst.xact_rows();
    fill_disk(mnt.path(), 8192);
    std::ostringstream err;
    EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", err), 1);
    EXPECT_NE(err.str().find("No space left on device"), std::string::npos) << err.str();
    fs::remove(mnt.path() / "filler");
    EXPECT_EQ(inst.xact_rows(), rows);
}

TEST(Faults, AFullDiskStopsTheExportWithOnlyWrittenRowsMarked) {
    test::TempDir mnt;
    TestMount tmpfs(mnt.path(), "tmpfs", 0, "size=1m");
    if (!tmpfs.error.empty()) GTEST_SKIP() << "cannot mount a small tmpfs: " << tmpfs.error;
    Installation inst(14, 60);
    SpoolPrinterSystem spool(inst.dir / "spool");
    DemoStation d(inst.home, spool);
    d.s.form.txtfromdate.text = "20200901";
    d.s.form.txttodate.text = "20200930";
    d.ui.files.push_back((mnt.path() / "export03.csv").string());
    d.ui.answers.assign({true, true});
    cmdexport1_click(d.s);
    EXPECT_TRUE(d.has_box("Quillon Codes")) << testing::PrintToString(d.ui.shown);
    // Every marked row's record is in the export file, once, and the file holds no other: the
    // batch that the full disk stopped is neither marked nor in the file.
    auto db = Database::open(inst.home / "KOVRAX03.MDB");
    std::map<std::string, int> written;
    for (const std::string& line : test::file_lines(mnt.path() / "export03.csv")) {
        const auto items = split_items(line);
        if (items.size() == 18) ++written[items[1]];  // a cut last line is no record
    }
    long marked = 0;
    for (Recordset rs = db->open_recordset("select * from xact where export >= 1"); !rs.eof();
         rs.move_next(), ++marked) {
        const std::string reference = export_reference(rs.field("ticket"), rs.field("poschitnum"));
        EXPECT_EQ(written[reference], 1) << reference;
    }
    EXPECT_GT(marked, 0);
    EXPECT_EQ(static_cast<long>(written.size()), marked);
}

TEST(Faults, AReadOnlyInstallationFailsTheCloseOutRunClearly) {
    Installation inst;
    const long rows = inst.xact_rows();
    {
        TestMount bind(inst.home, nullptr, MS_BIND, nullptr, inst.home.c_str());
        if (!bind.error.empty())
            GTEST_SKIP() << "cannot bind-mount the installation: " << bind.error;
        if (!bind.remount_read_only()) GTEST_SKIP() << "cannot remount read-only: " << bind.error;
        std::ostringstream err;
        EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", err), 1);
        EXPECT_NE(err.str().find("Read-only file system"), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(inst.home / kCloseoutName));
    }
    EXPECT_EQ(inst.xact_rows(), rows);
}

// ---- The printer and the audit file ----

// One printer that accepts `good` lines and then fails every line until repaired.
class FailingPrinterSystem : public PrinterSystem {
  public:
    explicit FailingPrinterSystem(long good) : printer_(good) {}
    std::size_t count() const override { return 1; }
    long printed() const { return printer_.printed; }
    void repair() { printer_.good = -1; }

  protected:
    Printer& at(std::size_t) override { return printer_; }

  private:
    struct FailingPrinter : Printer {
        explicit FailingPrinter(long g) : good(g) {}
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
    } printer_;
};

TEST(Faults, APrinterFailingMidJobEndsThePrintAllBatchAndTheNextReportPrints) {
    Installation inst;
    FailingPrinterSystem printers(25);
    DemoStation d(inst.home, printers);
    d.ui.answers.assign({true});
    EXPECT_TRUE(click_report_button(d.s, "cmdprintall"));
    EXPECT_EQ(printers.printed(), 25);
    EXPECT_EQ(d.s.st.reportbusy, 0);
    EXPECT_EQ(d.s.st.printall, 0);
    EXPECT_EQ(d.s.form.helpwindow.text, "Done");
    printers.repair();
    EXPECT_TRUE(click_report_button(d.s, "cmdserver3"));
    EXPECT_GT(printers.printed(), 25);
    EXPECT_EQ(d.s.st.reportbusy, 0);
}

TEST(Faults, TheAuditFileRemovedDuringPrintAllTurnsTheLaterAuditReportsAway) {
    Installation inst;
    SpoolPrinterSystem spool(inst.dir / "spool");
    DemoStation d(inst.home, spool);
    // Removed at the yield after the first report of the batch, while the batch runs.
    int yields = 0;
    d.ui.on_yield = [&] {
        if (++yields == 40) fs::remove(inst.home / "audit03.txt");
    };
    d.ui.answers.assign({true});
    EXPECT_TRUE(click_report_button(d.s, "cmdprintall"));
    EXPECT_FALSE(fs::exists(inst.home / "audit03.txt"));
    EXPECT_TRUE(d.has_box("No audit file.")) << testing::PrintToString(d.ui.shown);
    EXPECT_EQ(d.s.st.reportbusy, 0);
    EXPECT_EQ(d.s.form.helpwindow.text, "Done");
    EXPECT_TRUE(d.s.failures.empty()) << testing::PrintToString(d.s.failures);
}

TEST(Faults, TenMegabytesOfRandomBytesAsTheAuditFileStillGiveACompleteCloseOut) {
    Installation inst;
    // Entries with numbers beyond every range come first: a cleared ticket whose number does
    // not fit 32 bits, paid outs and ins beyond the currency range.
    const std::string out_of_range =
        "09042020\\12:00\\E#15\\#99999999999 Ticket cleared .00\r\n"
        "09042020\\12:01\\E#90\\PaidOut\\-1e300\\Produce\r\n"
        "09-04-2020 12:02:00 E#90 Paid-IN 99999999999999999999 Change\r\n";
    test::write_file(inst.home / "audit03.txt", out_of_range + random_bytes(10 << 20, 11));
    test::write_file(inst.home / "error03.txt", random_bytes(1 << 20, 12));
    std::ostringstream err;
    EXPECT_EQ(run_closeout(inst.home, "KVRUN20200904", err), 0) << err.str();
    EXPECT_EQ(inst.separators(), 14);
}

// ---- Files that name card holders and members ----

TEST(PrivateFiles, CloseOutExportAndHistoryFilesAreOwnerAndGroupOnlyWhateverTheUmask) {
    Installation inst;
    const mode_t old = ::umask(0);
    std::ostringstream err;
    const int status = run_closeout(inst.home, "KVRUN20200904", err);
    SpoolPrinterSystem spool(inst.dir / "spool");
    DemoStation d(inst.home, spool);
    fs::create_directories(inst.dir / "out");
    d.ui.files.push_back((inst.dir / "out" / "export03.csv").string());
    d.ui.answers.assign({true, true});
    cmdexport1_click(d.s);
    ::umask(old);
    EXPECT_EQ(status, 0) << err.str();
    const auto private_mode =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    for (const fs::path& file : {inst.home / kCloseoutName, inst.dir / "out" / "export03.csv",
                                 inst.dir / "out" / "kovrax03.csv"}) {
        SCOPED_TRACE(file.string());
        ASSERT_TRUE(fs::exists(file));
        EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, private_mode);
    }
}

}  // namespace
}  // namespace tillora
