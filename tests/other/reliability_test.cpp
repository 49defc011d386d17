// Faults around the reports: one close-out at a time, damaged and missing databases, a full disk,
// a read-only installation, a printer that fails mid-job, a vanishing, garbage or special audit
// file, and the privacy of the files that name card holders and members. Input and output the
// program does not trust: a symbolic link planted where it writes is refused (the file it points
// to keeps its content), a pipe in place of the node file is refused rather than waited on, a
// line without end is read only up to its limit, text from the database reaches the printer
// without control characters, and an employee ID too long to be a number finds nobody.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <random>

#include "engine/print_frame.h"
#include "other/reliability_fixture.h"
#include "panel/login.h"
#include "platform/files.h"
#include "reports/other/credit_card.h"

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
    TestMount(const fs::path& where, const char* type, unsigned long flags, const char* data,
              const char* source = "tmpfs") {
        if (::mount(source, where.c_str(), type, flags, data) != 0) error = std::strerror(errno);
        target = error.empty() ? where : fs::path();
    }
    ~TestMount() {
        if (!target.empty()) ::umount2(target.c_str(), MNT_DETACH);
    }
    fs::path target;
    std::string error;
};

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

// The bytes of a file, or "(missing)".
std::string snapshot(const fs::path& file) {
    return fs::exists(file) ? test::read_file(file) : "(missing)";
}

TEST(Faults, DamagedDatabasesAreToldByTheCloseOutRunAndLeftAsTheyWere) {
    using Change = std::function<void(const fs::path&)>;
    struct Case {
        std::string file;  // relative to the installation
        Change change;
        int status;         // exit status of the run
        std::string named;  // what the messages on standard error name
        bool kept = true;   // the file is left exactly as it was
    };
    std::vector<Case> cases;
    for (const std::string file :
         {"KOVRAX03.MDB", "RPT03.MDB", "kovra03.mdb", "server/kovratmp.mdb"}) {
        for (const Damage d : {Damage::Missing, Damage::RandomBytes, Damage::Truncated}) {
            // A configuration that cannot be read fails the run; the reports run on defaults.
            const bool no_config = file == "kovra03.mdb" && d == Damage::Missing;
            cases.push_back({file, [file, d](const fs::path& h) { damage(h / file, d); }, 1,
                             no_config ? "The configuration file for Kovra unit 03 is missing."
                                       : fs::path(file).filename().string()});
        }
    }
    const auto sql = [](const std::string& file, const std::string& statement) -> Change {
        return [=](const fs::path& h) { Database::open(h / file)->execute(statement); };
    };
    for (const auto& [file, table] :
         std::vector<std::pair<std::string, std::string>>{{"KOVRAX03.MDB", "xact"},
                                                          {"KOVRAX03.MDB", "ccard"},
                                                          {"RPT03.MDB", "ar"},
                                                          {"kovra03.mdb", "config"},
                                                          {"server/kovratmp.mdb", "xact"}}) {
        // The work database is scratch: the reports may write what tables it still has.
        cases.push_back({file, sql(file, "drop table " + table), 1,
                         fs::path(file).filename().string(), file != "RPT03.MDB"});
    }
    const Change remove = [](const fs::path& file) { fs::remove(file); };
    // An empty configuration table is an ordinary installation: nothing is loaded, nothing said;
    // the close-out never logs anybody in: the employee database is not needed.
    cases.push_back({"kovra03.mdb", sql("kovra03.mdb", "delete from config"), 0, "", false});
    cases.push_back(
        {"kovraemp.mdb", [=](const fs::path& h) { remove(h / "kovraemp.mdb"); }, 0, ""});
    cases.push_back({"server/ravo.exe", [=](const fs::path& h) { remove(h / "server/ravo.exe"); },
                     1, "Main hold sales unavailable when off-line"});  // shared folder gone
    // A pipe or a device in place of a text file is refused rather than waited on.
    const auto replace = [=](const char* file, std::function<void(const fs::path&)> by) -> Change {
        return [=](const fs::path& h) { remove(h / file), by(h / file); };
    };
    cases.push_back({"",
                     replace("audit03.txt", [](const fs::path& f) { ::mkfifo(f.c_str(), 0640); }),
                     1, "not a regular file (a folder, a pipe or a device); refused"});
    cases.push_back(
        {"", replace("error03.txt", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); }),
         0, "error03.txt could not be read"});
    // Ten megabytes of random bytes as the audit file, after entries with numbers beyond every
    // range (a cleared ticket beyond 32 bits, paid outs and ins beyond the currency range).
    cases.push_back({"audit03.txt",
                     [](const fs::path& h) {
                         test::write_file(
                             h / "audit03.txt",
                             "09042020\\12:00\\E#15\\#99999999999 Ticket cleared .00\r\n"
                             "09042020\\12:01\\E#90\\PaidOut\\-1e300\\Produce\r\n"
                             "09-04-2020 12:02:00 E#90 Paid-IN 99999999999999999999 Change\r\n" +
                                 random_bytes(10 << 20, 11));
                         test::write_file(h / "error03.txt", random_bytes(1 << 20, 12));
                     },
                     0, ""});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(&c - cases.data()));
        Installation inst;
        c.change(inst.home);
        const std::string before = snapshot(inst.home / c.file);
        std::ostringstream err;
        const mode_t old_mask = ::umask(0);
        const int status = inst.closeout_run(err);
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
        {"KOVRAX03.MDB", Damage::Missing},
        {"RPT03.MDB", Damage::RandomBytes},
        {"KOVRAX03.MDB", Damage::Truncated},
    };
    for (const auto& [file, how] : cases) {
        SCOPED_TRACE(file + " " + std::to_string(static_cast<int>(how)));
        Installation inst;
        damage(inst.home / file, how);
        DemoStation d(inst);
        EXPECT_TRUE(click_report_button(d.s, "cmdserver3"));
        EXPECT_EQ(d.s.st.reportbusy, 0);
        EXPECT_TRUE(d.has_box("MSGBOX Oops...")) << testing::PrintToString(d.ui.shown);
        EXPECT_TRUE(d.has_box(file)) << testing::PrintToString(d.ui.shown);
    }
}

// ---- Full disk, read-only folder ----

TEST(Faults, AFullDiskFailsTheCloseOutRunAndLosesNoTransaction) {
    test::TempDir mnt;
    TestMount tmpfs(mnt.path(), "tmpfs", 0, "size=8m");
    if (!tmpfs.error.empty()) GTEST_SKIP() << "cannot mount a small tmpfs: " << tmpfs.error;
    Installation inst(3, 12, mnt.path() / "home");
    const long rows = inst.xact_rows();
    // Fills the disk until 8 KB are left.
    const std::string block(4096, 'x');
    const int fd = ::open((mnt / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
    fs::resize_file(mnt / "filler", fs::file_size(mnt / "filler") - 8192);
    std::ostringstream err;
    EXPECT_EQ(inst.closeout_run(err), 1);
    EXPECT_NE(err.str().find("No space left on device"), std::string::npos) << err.str();
    fs::remove(mnt / "filler");
    EXPECT_EQ(inst.xact_rows(), rows);
}

TEST(Faults, AReadOnlyInstallationFailsTheCloseOutRunClearly) {
    Installation inst;
    const long rows = inst.xact_rows();
    {
        TestMount bind(inst.home, nullptr, MS_BIND, nullptr, inst.home.c_str());
        if (!bind.error.empty()) GTEST_SKIP() << "cannot bind-mount: " << bind.error;
        const auto flags = MS_REMOUNT | MS_BIND | MS_RDONLY;
        if (::mount(nullptr, inst.home.c_str(), nullptr, flags, nullptr) != 0) {
            GTEST_SKIP() << "cannot remount read-only: " << std::strerror(errno);
        }
        std::ostringstream err;
        EXPECT_EQ(inst.closeout_run(err), 1);
        EXPECT_NE(err.str().find("Read-only file system"), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(inst.home / kCloseoutName));
    }
    EXPECT_EQ(inst.xact_rows(), rows);
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

// The export and history files and the spool jobs name card holders and members: owner and group
// only, whatever the umask (the close-out file: Faults.DamagedDatabases...).
TEST(PrivateFiles, ExportHistoryAndSpoolFilesAreOwnerAndGroupOnlyWhateverTheUmask) {
    Installation inst;
    DemoStation d(inst);
    const mode_t old = ::umask(0);
    d.export_to(inst.dir / "export03.csv");
    EXPECT_TRUE(click_report_button(d.s, "cmdserver3"));
    ::umask(old);
    for (const char* file : {"export03.csv", "kovrax03.csv", "spool/job-0001.txt"}) {
        ASSERT_TRUE(fs::exists(inst.dir / file)) << file;
        EXPECT_EQ(fs::status(inst.dir / file).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
}

TEST(PlantedLinks, NoWriteGoesThroughALinkInThePlaceOfAFile) {
    struct Case {
        const char* name;
        const char* link;  // relative to the installation
        bool closeout;     // a close-out run; else an export into the installation folder
        const char* told;  // in standard error or a box
        int status;        // of the close-out run
    };
    const std::vector<Case> cases = {
        {"lock file", "closeout.lock", true, "is a symbolic link", 0},
        {"close-out file", "closeout03-20200904.txt", true, "it is a symbolic link", 1},
        {"request file", "local/kovra.req", true, "a symbolic link is in its place; refused", 1},
        {"export file", "export03.csv", false, "Code 75 - Path/File access error", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst(2, 4);
        const fs::path target = inst.dir / "precious.txt";
        test::write_file(target, "precious\n");
        fs::create_symlink(target, inst.home / c.link);
        std::string told;
        if (c.closeout) {
            std::ostringstream err;
            EXPECT_EQ(inst.closeout_run(err), c.status) << err.str();
            told = err.str();
            if (std::string(c.link) != test::kCloseoutName) {
                EXPECT_EQ(inst.separators(), 14);
            }
        } else {
            DemoStation d(inst);
            d.export_to(inst.home / c.link);
            told = testing::PrintToString(d.ui.shown);
            EXPECT_EQ(inst.xact_rows(" where export >= 1"), 0);
        }
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(test::read_file(target), "precious\n");
    }
}

TEST(SpecialFiles, ALineWithoutEndIsReadUpToItsLimit) {
    test::TempDir dir;
    const fs::path file = dir / "long.txt";
    test::write_file(file, std::string(200 * 1024, 'x') + "\r\nnext\nlast");
    const auto lines = read_lines(file);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(kMaxLineBytes, 'x'));
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(lines[2], "last");
}

TEST(SpecialFiles, ANodeFileThatIsAPipeStopsTheStartUpWithAMessage) {
    Installation inst(1, 4);
    fs::remove(inst.home / "ravonode.ini");
    ASSERT_EQ(::mkfifo((inst.home / "ravonode.ini").c_str(), 0640), 0);
    DemoStation d(inst);
    EXPECT_TRUE(d.has_box("The node file ravonode.ini cannot be read"))
        << testing::PrintToString(d.ui.shown);
}

TEST(PrintedText, ControlCharactersFromTheDatabaseNeverReachAPrinter) {
    EXPECT_EQ(printable_line(std::string("a\x1bp0\x19\0\tb\r\n\xc3\xa9", 12)),
              "a p0   b  \xc3\xa9");
    for (bool closeout : {false, true}) {
        test::TestStation t;
        if (closeout) t.enter_closeout_mode();
        t.add_line({{"ticket", 302}, {"itemnumber", -1}, {"postendtype", 5}});
        // clang-format off
        test::insert_row(*t.xact_db(), "ccard",
                         {{"ticket", 302}, {"status", 3}, {"amount", 5000}, {"ccnumber", "12"},
                          {"ccname", "Bob\x1bp0\x19\xfa"}, {"expmonth", "1"}, {"expyear", "30"}});
        // clang-format on
        cmdcreditcard_click(t.s());
        const std::vector<std::string> lines = closeout ? t.closeout() : t.printed();
        const std::string all = testing::PrintToString(lines);
        EXPECT_NE(all.find("Bob p0"), std::string::npos) << all;
        for (const std::string& line : lines) {
            for (char c : line) EXPECT_GE(static_cast<unsigned char>(c), ' ') << line;
        }
    }
}

TEST(EmployeeIds, AnIdTooLongToBeANumberFindsNobody) {
    Installation inst(1, 4);
    for (std::size_t digits : {20, 309, 400}) {
        DemoStation d(inst);
        d.s.form.txtempid.text = std::string(digits, '9');
        d.s.form.txtpassword.text = "1";
        cmdlogin_click(d.s);
        EXPECT_EQ(d.ui.shown.back(), "MSGBOX Oops... | Employee not found") << digits;
    }
}

}  // namespace
}  // namespace tillora
