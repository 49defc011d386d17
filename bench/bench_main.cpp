// tillora-bench: runs every case in a process of its own (so that peak memory belongs to one
// report), prints the table of measurements and the targets with PASS or FAIL.
//   tillora-bench --stores DIR [--work DIR] [--repeat N] [--only TEXT]
//   tillora-bench --case N --stores DIR --work DIR      (one case; used by the parent)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "bench/bench_case.h"
#include "bench/bench_table.h"

namespace fs = std::filesystem;
using namespace tillora::bench;

namespace {

struct Options {
    fs::path stores;
    fs::path work;
    int repeat = 3;  // the machine is shared: the fastest of three runs
    int single = -1;
    std::string only;
};

Options parse(int argc, char** argv) {
    Options o;
    std::map<std::string, std::string> v;
    for (int i = 1; i + 1 < argc; i += 2) v[argv[i]] = argv[i + 1];
    o.stores = v.count("--stores") ? fs::absolute(v["--stores"]) : fs::path();
    o.work = fs::absolute(v.count("--work") ? fs::path(v["--work"])
                                            : fs::temp_directory_path() / "tillora-bench");
    if (v.count("--repeat")) o.repeat = std::max(1, std::stoi(v["--repeat"]));
    if (v.count("--case")) o.single = std::stoi(v["--case"]);
    if (v.count("--only")) o.only = v["--only"];
    return o;
}

// Runs case `index` in a child process and reads its result line.
Measurement run_child(const Options& o, std::size_t index) {
    const fs::path work = o.work / ("case" + std::to_string(index));
    fs::create_directories(work);
    std::string command = "'";
    command += fs::read_symlink("/proc/self/exe").string();
    command += "' --case " + std::to_string(index);
    command += " --stores '" + o.stores.string() + "' --work '" + work.string() + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        Measurement failed;
        failed.failure = "cannot start " + command;
        return failed;
    }
    std::string output;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
    fs::remove_all(work);
    const auto at = output.rfind("RESULT ");
    return from_line(at == std::string::npos ? output : output.substr(at));
}

// Best of several runs: the report's and the lower bound's fastest runs are taken each on its
// own (a busy moment of the shared machine slows one run of either), the worst gap and memory.
void keep_best(Measurement& best, const Measurement& m) {
    if (m.wall < best.wall) {
        best.wall = m.wall;
        best.cpu = m.cpu;
    }
    if (m.bound_wall < best.bound_wall) {
        best.bound_wall = m.bound_wall;
        best.bound_cpu = m.bound_cpu;
    }
    best.peak_mb = std::max(best.peak_mb, m.peak_mb);
    if (m.max_gap_ms > best.max_gap_ms) {
        best.max_gap_ms = m.max_gap_ms;
        best.gap_cpu_ms = m.gap_cpu_ms;
        best.gap_where = m.gap_where;
    }
    if (m.busy_gap_cpu_ms > best.busy_gap_cpu_ms) {
        best.busy_gap_ms = m.busy_gap_ms;
        best.busy_gap_cpu_ms = m.busy_gap_cpu_ms;
        best.busy_gap_where = m.busy_gap_where;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    const auto cases = all_cases();
    if (o.stores.empty()) {
        std::cerr << "usage: tillora-bench --stores DIR [--work DIR] [--repeat N] [--only TEXT]\n";
        return 2;
    }
    if (o.single >= 0) {
        if (o.single >= static_cast<int>(cases.size())) return 2;
        std::cout << to_line(run_case(cases[o.single], o.stores, o.work)) << std::endl;
        return 0;
    }
    std::vector<Result> results;
    std::vector<std::size_t> chosen;  // the index of each result's case
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (!o.only.empty() && cases[i].name.find(o.only) == std::string::npos) continue;
        results.push_back({cases[i], {}});
        chosen.push_back(i);
    }
    // One untimed run of every case first, as the bound has before it is timed: every timed run
    // then finds the stores, the program and the installation's files read before.
    std::vector<Measurement> warm;
    for (const std::size_t i : chosen) warm.push_back(run_child(o, i));
    // The timed runs go round the cases, one run of each per round: the shared machine's speed
    // drifts over minutes, and each case's best run is then taken from several moments instead
    // of one (cases compared with each other, such as one day on the four stores, would
    // otherwise be compared at different speeds of the machine).
    for (int round = 0; round < o.repeat; ++round) {
        std::cerr << "round " << round + 1 << " of " << o.repeat << "\n";
        for (std::size_t k = 0; k < results.size(); ++k) {
            Result& best = results[k];
            const Measurement m = run_child(o, chosen[k]);
            if (round == 0) {
                best.m = m;
                if (!warm[k].failure.empty()) best.m.failure = warm[k].failure;
            } else if (!m.failure.empty()) {
                best.m.failure = m.failure;  // a run that failed is never hidden
            } else {
                keep_best(best.m, m);
            }
        }
    }
    for (const Result& best : results) {
        std::cerr << "  " << best.c.name << ": " << best.m.wall << " s, gap " << best.m.max_gap_ms
                  << " ms (CPU " << best.m.gap_cpu_ms << "): " << best.m.gap_where << "; busiest "
                  << best.m.busy_gap_cpu_ms << " ms CPU of " << best.m.busy_gap_ms << ": "
                  << best.m.busy_gap_where << "\n";
    }
    print_table(std::cout, results);
    print_flatness(std::cout, results);
    return print_targets(std::cout, results) ? 0 : 1;
}
