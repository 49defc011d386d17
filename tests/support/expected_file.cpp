#include "support/expected_file.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// A short unified-style diff: every differing line pair with its line number, at most 20.
std::string line_diff(const std::string& expected, const std::string& actual) {
    const auto want = split_lines(expected), got = split_lines(actual);
    std::ostringstream out;
    int shown = 0;
    const std::size_t n = std::max(want.size(), got.size());
    for (std::size_t i = 0; i < n && shown < 20; ++i) {
        const std::string* w = i < want.size() ? &want[i] : nullptr;
        const std::string* g = i < got.size() ? &got[i] : nullptr;
        if (w && g && *w == *g) continue;
        out << "line " << i + 1 << ":\n";
        if (w) out << "  - [" << *w << "]\n";
        if (g) out << "  + [" << *g << "]\n";
        ++shown;
    }
    if (shown == 0) out << "(same lines; the files differ in line ends or a final newline)\n";
    out << "expected " << want.size() << " lines, got " << got.size() << " lines\n";
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
