// tillora-demo: creates a demo installation folder of one workstation.
#include <chrono>
#include <iostream>

#include "tools/demo_data.h"

int main(int argc, char** argv) {
    using namespace tillora::demo;
    DemoOptions options;
    try {
        options = parse_demo_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const DemoError& e) {
        std::cerr << "tillora-demo: " << e.what() << "\n\n" << demo_usage();
        return 2;
    }
    if (options.help) {
        std::cout << demo_usage();
        return 0;
    }
    try {
        const auto started = std::chrono::steady_clock::now();
        const DemoSummary summary = make_demo_installation(
            options, [](const std::string& line) { std::cerr << "  " << line << std::endl; });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        std::cout << summary_text(summary);
        std::cerr << "  made in " << static_cast<long>(took.count() + 0.5) << " s\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "tillora-demo: " << e.what() << "\n";
        return 1;
    }
}
