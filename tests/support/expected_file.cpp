#include "support/expected_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tillora::test {

namespace {

fs::path expected_path(const std::string& name) {
    return fs::path(TILLORA_SOURCE_DIR) / "tests" / "expected" / name;
}

bool update_requested() {
    const char* v = std::getenv("TILLORA_UPDATE_EXPECTED");
    return v != nullptr && *v != '\0' && std::string(v) != "0";
}

// Every differing line pair with its line number, at most 20 ("-" expected, "+" produced).
std::string line_diff(const std::string& expected, const std::string& actual) {
    std::istringstream want(expected), got(actual);
    std::ostringstream out;
    std::string w, g;
    int shown = 0;
    for (int line = 1; shown < 20; ++line) {
        const bool has_w = static_cast<bool>(std::getline(want, w));
        const bool has_g = static_cast<bool>(std::getline(got, g));
        if (!has_w && !has_g) break;
        if (has_w && has_g && w == g) continue;
        out << "line " << line << ":\n";
        if (has_w) out << "  - [" << w << "]\n";
        if (has_g) out << "  + [" << g << "]\n";
        ++shown;
    }
    if (shown == 0) out << "(same lines; the files differ in line ends or a final newline)\n";
    return out.str();
}

}  // namespace

void expect_file(const std::string& name, const std::string& actual) {
    const fs::path path = expected_path(name);
    if (update_requested()) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "no expected file " << path
                      << " (run with TILLORA_UPDATE_EXPECTED=1 to write it)";
        return;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    const std::string expected = buf.str();
    if (expected != actual)
        ADD_FAILURE() << "output differs from " << path << "\n" << line_diff(expected, actual);
}

void expect_file(const std::string& name, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    expect_file(name, text);
}

}  // namespace tillora::test
