// tillora-register: a register simulator that writes xact and the audit file beside the reports.
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fstream>
#include <iostream>

#include "tools/register_sim.h"

namespace {

// Waits until `due` unless SIGTERM or SIGINT (blocked in main) arrives first.
bool wait_for_signal(const sigset_t& stop_signals, std::chrono::steady_clock::time_point due) {
    for (;;) {
        const auto left = due - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return false;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        if (sigtimedwait(&stop_signals, nullptr, &timeout) > 0) return true;
        if (errno != EINTR && errno != EAGAIN) return false;
    }
}

// Runs the simulator with the options of the command line; returns its exit status.
int run(const tillora::CommandLine& line) {
    using namespace tillora;
    const RegisterOptions options = register_options(line);
    // The stop signals are taken synchronously between two inserts, so a line is never cut.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    sigprocmask(SIG_BLOCK, &stop_signals, nullptr);
    try {
        const RegisterStats stats =
            run_register(options, [&](std::chrono::steady_clock::time_point due) {
                return wait_for_signal(stop_signals, due);
            });
        const std::string summary = register_summary(stats);
        std::cout << summary << std::flush;
        if (!options.report.empty()) {
            std::ofstream report(options.report);
            report << summary;
            if (!report.flush()) {
                std::cerr << "tillora-register: cannot write " << options.report << "\n";
                return 1;
            }
        }
        return stats.busy_errors + stats.other_errors == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "tillora-register: " << e.what() << "\n";
        return 1;
    }
}
}  // namespace

int main(int argc, char** argv) {
    return tillora::run_program(tillora::register_program(), argc, argv, run, std::cout, std::cerr);
}
