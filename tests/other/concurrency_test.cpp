// The reports beside a live register: the register simulator (a separate process) inserts lines
// and appends audit lines while Print All Reports, the close-out and the export run over and over
// on the same installation. TILLORA_CONCURRENCY_SECONDS sets how long (default 30);
// TILLORA_CONCURRENCY_WORST_MS the bound on the register's worst insert (default 200, 0: not
// checked, for instrumented builds that run two to three times slower).
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <set>
#include <sstream>

#include "export/export_record.h"
#include "other/reliability_fixture.h"
#include "platform/files.h"

extern char** environ;

namespace tillora {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

// "name: value" lines of the simulator's summary.
std::map<std::string, double> read_summary(const fs::path& file) {
    std::map<std::string, double> values;
    for (const std::string& line : test::file_lines(file)) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos && line.rfind("error", 0) != 0) {
            values[line.substr(0, colon)] = leading_number(line.substr(colon + 2));
        }
    }
    return values;
}

bool mentions_lock(const std::string& text) {
    return text.find("locked") != std::string::npos || text.find("busy") != std::string::npos ||
           text.find("Quillon Codes") != std::string::npos;
}

constexpr std::size_t kStatusColumn = 4;  // of xact, and so of a history record

// A record as its file holds it (without the line end), with field `blank` (if any) emptied.
std::string record_line(std::vector<std::string> fields, std::size_t blank = SIZE_MAX) {
    if (blank < fields.size()) fields[blank].clear();
    std::string line = quoted_record(fields);
    return line.substr(0, line.size() - 2);
}

// What the register's churn log says it did: tickets closed, lines voided.
struct RegisterChanges {
    std::set<std::int64_t> closed;
    std::set<std::int64_t> voided;
    explicit RegisterChanges(const fs::path& log) {
        for (const std::string& line : test::file_lines(log)) {
            const auto number = static_cast<std::int64_t>(leading_number(line.substr(5)));
            (line.rfind("close ", 0) == 0 ? closed : voided).insert(number);
        }
    }
};

// Faults of the marks against the register's changes and the files: a voided line no longer
// voided, a line of a closed ticket marked without being exported, a line marked 6 or 7 whose
// content as it is now is not in an export (6, and 7 when exported) or history (7) file.
std::vector<std::string> mark_faults(Database& db, const RegisterChanges& changes,
                                     const std::set<std::string>& exported,
                                     const std::set<std::string>& history) {
    std::vector<std::string> faults;
    Recordset rs = db.open_recordset("select * from xact where saletext = 'register-sim'");
    for (; !rs.eof(); rs.move_next()) {
        const std::string chit = default_text(rs.field("poschitnum"));
        const std::int64_t status = rs.field("status").as_int();
        const bool sent = rs.field("export").as_int() >= 1;
        if (changes.voided.count(rs.field("poschitnum").as_int())) {
            if (status != -12)
                faults.push_back(chit + ": void undone, status " + std::to_string(status));
            continue;
        }
        if (changes.closed.count(rs.field("ticket").as_int()) && status != 2 && !sent) {
            faults.push_back(chit + ": closed, marked " + std::to_string(status) + " unexported");
        }
        if ((status == 6 || sent) && !exported.count(record_line(export_fields(rs, "03")))) {
            faults.push_back(chit + ": marked without its export record");
        }
        if (status == 7 && !history.count(record_line(history_fields(rs), kStatusColumn))) {
            faults.push_back(chit + ": marked 7 without its history record");
        }
    }
    return faults;
}

double setting(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::max(0.0, leading_number(text)) : fallback;
}

TEST(Concurrency, ReportsCloseOutAndExportBesideALiveRegister) {
    const fs::path program = fs::path(TILLORA_BINARY_DIR) / "tillora-register";
    ASSERT_TRUE(fs::exists(program)) << "build tillora-register first";
    test::Installation inst(3, 40);
    const fs::path summary = inst.dir / "register.txt";
    const fs::path churn = inst.dir / "churn.txt";
    const std::vector<std::string> args = {
        program.string(), "--home",   inst.home.string(), "--rate",  "200",         "--date",
        "20200904",       "--report", summary.string(),   "--churn", churn.string()};
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);

    int rounds = 0;
    long exported_files = 0;
    const double seconds = std::max(1.0, setting("TILLORA_CONCURRENCY_SECONDS", 30));
    const auto deadline = Steady::now() + std::chrono::duration_cast<Steady::duration>(
                                              std::chrono::duration<double>(seconds));
    while (Steady::now() < deadline) {
        SCOPED_TRACE("round " + std::to_string(++rounds));
        {
            test::DemoStation d(inst);
            d.ui.answers.assign({true});
            EXPECT_TRUE(click_report_button(d.s, "cmdprintall"));
            EXPECT_EQ(d.s.form.helpwindow.text, "Done");
            EXPECT_TRUE(d.s.failures.empty()) << testing::PrintToString(d.s.failures);
            for (const auto& line : d.ui.shown) EXPECT_FALSE(mentions_lock(line)) << line;
        }
        std::ostringstream err;
        EXPECT_EQ(inst.closeout_run(err), 0) << err.str();
        EXPECT_FALSE(mentions_lock(err.str())) << err.str();
        EXPECT_EQ(inst.separators(), 14);
        const fs::path folder = inst.dir / ("out" + std::to_string(rounds));
        fs::create_directories(folder);
        test::DemoStation d(inst);
        d.export_to(folder / "export03.csv");
        for (const auto& line : d.ui.shown) EXPECT_FALSE(mentions_lock(line)) << line;
        exported_files += fs::exists(folder / "export03.csv");
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << test::read_file(summary);

    const auto reg = read_summary(summary);
    const long inserted = static_cast<long>(reg.at("lines inserted"));
    EXPECT_GT(inserted, 0);
    EXPECT_EQ(reg.at("busy or locked errors"), 0) << test::read_file(summary);
    EXPECT_EQ(reg.at("other errors"), 0) << test::read_file(summary);
    const double worst_bound = setting("TILLORA_CONCURRENCY_WORST_MS", 200);
    if (worst_bound > 0) {
        EXPECT_LT(reg.at("worst insert latency ms"), worst_bound) << test::read_file(summary);
    }

    auto db = Database::open(inst.home / "KOVRAX03.MDB");
    Recordset sim = db->open_recordset(
        "select count(*), count(distinct poschitnum) from xact where saletext = 'register-sim'");
    EXPECT_EQ(sim.field(0).as_int(), inserted);
    EXPECT_EQ(sim.field(1).as_int(), inserted);

    // Every row an export marked is in one export file, once; every record names a marked row;
    // every marked line is in a file as it is now.
    std::map<std::string, int> in_files, marked;
    std::set<std::string> exported, history;
    for (int r = 1; r <= rounds; ++r) {
        const fs::path folder = inst.dir / ("out" + std::to_string(r));
        for (const auto& [name, records] :
             {std::pair{"export03.csv", &exported}, std::pair{"kovrax03.csv", &history}}) {
            if (!fs::exists(folder / name)) continue;
            for (const std::string& line : test::file_lines(folder / name)) {
                const auto fields = split_items(line);
                if (records == &exported) ++in_files[fields[1]];
                // The history record holds the status it was read with; the line holds 7 now.
                records->insert(records == &history ? record_line(fields, kStatusColumn) : line);
            }
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
    const RegisterChanges changes(churn);
    EXPECT_GT(changes.closed.size(), 0u);
    EXPECT_GT(changes.voided.size(), 0u);
    const auto faults = mark_faults(*db, changes, exported, history);
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults: " << testing::PrintToString(faults);
    std::cout << "[ figures  ] rounds " << rounds << ", export files " << exported_files
              << ", rows exported " << marked.size() << ", register lines " << inserted
              << ", tickets closed " << changes.closed.size() << ", lines voided "
              << changes.voided.size() << ", faults " << faults.size() << ", worst insert "
              << reg.at("worst insert latency ms") << " ms, p99 " << reg.at("p99 insert latency ms")
              << " ms\n";
}

}  // namespace
}  // namespace tillora
