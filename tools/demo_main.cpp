// tillora-demo: creates a demo installation folder of one workstation.
#include <chrono>
#include <iostream>

#include "platform/clock.h"
#include "tools/demo_data.h"

namespace {

using namespace tillora;

int make_demo(const CommandLine& line) {
    const DateTime now = SystemClock().now();
    const demo::DemoOptions options =
        demo::demo_options(line, now.year * 10000 + now.month * 100 + now.day);
    try {
        const auto started = std::chrono::steady_clock::now();
        const demo::DemoSummary summary = demo::make_demo_installation(
            options, [](const std::string& line) { std::cerr << "  " << line << std::endl; });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        std::cout << demo::summary_text(summary);
        std::cerr << "  made in " << static_cast<long>(took.count() + 0.5) << " s\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "tillora-demo: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    return run_program(demo::demo_program(), argc, argv, make_demo, std::cout, std::cerr);
}
