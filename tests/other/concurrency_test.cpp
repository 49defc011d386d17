// The reports beside a live register: the register simulator (a separate process) inserts lines
// and appends audit lines while Print All Reports, the close-out and the export run over and over
// on the same installation. TILLORA_CONCURRENCY_SECONDS sets how long (default 30);
// TILLORA_CONCURRENCY_WORST_MS the bound on the register's worst insert (default 200, 0: not
// checked, for instrumented builds that run two to three times slower).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <regex>
#include <set>

#include "export/export_record.h"
#include "other/reliability_fixture.h"
#include "platform/files.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

// Words of a busy or locked store in the boxes or messages.
const std::regex kLock("locked|busy|Quillon Codes");

constexpr std::size_t kStatusColumn = 4;  // of xact, and so of a history record

// A record as its file holds it (without the line end), with field `blank` (if any) emptied.
std::string record_line(std::vector<std::string> fields, std::size_t blank = SIZE_MAX) {
    if (blank < fields.size()) fields[blank].clear();
    std::string line = quoted_record(fields);
    return line.substr(0, line.size() - 2);
}

double setting(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::max(0.0, leading_number(text)) : fallback;
}

TEST(Concurrency, ReportsCloseOutAndExportBesideALiveRegister) {
    const fs::path program = fs::path(TILLORA_BINARY_DIR) / "tillora-register";
    ASSERT_TRUE(fs::exists(program)) << "build tillora-register first";
    test::Installation inst(3, 40);
    const fs::path summary = inst.dir / "register.txt", churn = inst.dir / "churn.txt";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), "--home", inst.home.c_str(), "--rate", "200",
                "--date", "20200904", "--report", summary.c_str(), "--churn", churn.c_str(),
                nullptr);
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    // The files that name card holders and members are owner and group only, whatever the umask.
    const mode_t old_mask = ::umask(0);

    int rounds = 0;
    const double seconds = std::max(1.0, setting("TILLORA_CONCURRENCY_SECONDS", 30));
    const auto deadline = Steady::now() + std::chrono::duration_cast<Steady::duration>(
                                              std::chrono::duration<double>(seconds));
    // Print All, the close-out and an export into a folder of its own, over and over.
    while (Steady::now() < deadline) {
        SCOPED_TRACE("round " + std::to_string(++rounds));
        {
            test::DemoStation d(inst);
            d.ui.answers.assign({true});
            EXPECT_TRUE(click_report_button(d.s, "cmdprintall"));
            EXPECT_EQ(d.s.form.helpwindow.text, "Done");
            EXPECT_TRUE(d.s.failures.empty()) << testing::PrintToString(d.s.failures);
            EXPECT_FALSE(std::regex_search(testing::PrintToString(d.ui.shown), kLock));
        }
        std::ostringstream err;
        EXPECT_EQ(inst.closeout_run(err), 0) << err.str();
        EXPECT_FALSE(std::regex_search(err.str(), kLock)) << err.str();
        EXPECT_EQ(inst.separators(), 14);
        const fs::path folder = inst.dir / ("out" + std::to_string(rounds));
        fs::create_directories(folder);
        test::DemoStation d(inst);
        d.export_to(folder / "export03.csv");
        EXPECT_FALSE(std::regex_search(testing::PrintToString(d.ui.shown), kLock));
    }
    ::umask(old_mask);
    for (const char* file : {"out1/export03.csv", "out1/kovrax03.csv", "spool/job-0001.txt"}) {
        EXPECT_EQ(fs::status(inst.dir / file).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << file;
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    // "name: value" lines of the simulator's summary.
    const std::string told = "\n" + test::read_file(summary);
    const auto reg = [&](const std::string& name) {
        const auto at = told.find("\n" + name + ": ");
        return at == std::string::npos ? -1 : leading_number(told.substr(at + name.size() + 3));
    };
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << told;
    const auto inserted = static_cast<std::int64_t>(reg("lines inserted"));
    EXPECT_GT(inserted, 0);
    EXPECT_EQ(reg("busy or locked errors") + reg("other errors"), 0) << told;
    const double worst_bound = setting("TILLORA_CONCURRENCY_WORST_MS", 200);
    EXPECT_TRUE(worst_bound == 0 || reg("worst insert latency ms") < worst_bound) << told;

    auto db = Database::open(inst.home / "KOVRAX03.MDB");
    Recordset sim = db->open_recordset(
        "select count(*), count(distinct poschitnum) from xact where saletext = 'register-sim'");
    EXPECT_EQ(sim.field(0).as_int(), inserted);
    EXPECT_EQ(sim.field(1).as_int(), inserted);

    // Every row an export marked is in one export file, once; every record names a marked row.
    std::map<std::string, int> in_files, marked;
    std::set<std::string> exported, history;  // the history records with their status blanked
    for (int r = 1; r <= rounds; ++r) {
        const fs::path folder = inst.dir / ("out" + std::to_string(r));
        for (const std::string& line : test::file_lines(folder / "export03.csv")) {
            ++in_files[split_items(line)[1]];
            exported.insert(line);
        }
        for (const std::string& line : test::file_lines(folder / "kovrax03.csv")) {
            history.insert(record_line(split_items(line), kStatusColumn));
        }
    }
    for (Recordset rs = db->open_recordset("select * from xact where export >= 1"); !rs.eof();
         rs.move_next()) {
        marked[export_reference(rs.field("ticket"), rs.field("poschitnum"))] +=
            static_cast<int>(rs.field("export").as_int());
    }
    EXPECT_GT(marked.size(), 0u);
    EXPECT_EQ(in_files, marked);
    for (const auto& [reference, count] : in_files) EXPECT_EQ(count, 1) << reference;

    // The register's changes stand, and a line marked 6 or 7 is in an export (6, and 7 when
    // exported) or history (7) file as it is now.
    std::set<std::int64_t> closed, voided;
    for (const std::string& line : test::file_lines(churn)) {
        (line.rfind("close ", 0) == 0 ? closed : voided)
            .insert(static_cast<std::int64_t>(leading_number(line.substr(5))));
    }
    EXPECT_GT(closed.size(), 0u);
    EXPECT_GT(voided.size(), 0u);
    std::vector<std::string> faults;
    Recordset rs = db->open_recordset("select * from xact where saletext = 'register-sim'");
    for (; !rs.eof(); rs.move_next()) {
        const std::string chit = default_text(rs.field("poschitnum"));
        const std::int64_t mark = rs.field("status").as_int();
        const bool sent = rs.field("export").as_int() >= 1;
        if (voided.count(rs.field("poschitnum").as_int())) {
            if (mark != -12)
                faults.push_back(chit + ": void undone, status " + std::to_string(mark));
        } else if (closed.count(rs.field("ticket").as_int()) && mark != 2 && !sent) {
            faults.push_back(chit + ": closed, marked " + std::to_string(mark) + " unexported");
        } else if ((mark == 6 || sent) && !exported.count(record_line(export_fields(rs, "03")))) {
            faults.push_back(chit + ": marked without its export record");
        } else if (mark == 7 && !history.count(record_line(history_fields(rs), kStatusColumn))) {
            faults.push_back(chit + ": marked 7 without its history record");
        }
    }
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults: " << testing::PrintToString(faults);
    std::cout << "[ figures  ] rounds " << rounds << ", rows exported " << marked.size()
              << ", register lines " << inserted << ", tickets closed " << closed.size()
              << ", lines voided " << voided.size() << ", faults " << faults.size()
              << ", worst insert " << reg("worst insert latency ms") << " ms, p99 "
              << reg("p99 insert latency ms") << " ms\n";
}

}  // namespace
}  // namespace tillora
