// The command line of every program: one getopt_long parser with --help and --version, the
// usage text built from the program's option table, and one exit status for bad usage.
#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tillora {

// Exit status of a program given a bad option, a bad value or the wrong operands.
inline constexpr int kUsageExitStatus = 2;

// A command line that cannot be used; the message says why ("unknown option \"--x\"").
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One option: long name ("folder"), optional one-letter name (0 for none), the name of its value
// ("DIR"; empty for a flag) and one line of help.
struct OptionSpec {
    std::string name;
    char letter = 0;
    std::string value;
    std::string help;
};

// What a program says about itself in --help and accepts on its command line.
struct ProgramSpec {
    std::string name;      // "tillora-demo"
    std::string operands;  // operands in the usage line ("SCRIPT", "[KVRUN<date>]")
    std::string summary;   // what the program does, one or more lines
    std::vector<OptionSpec> options;
    std::size_t min_operands = 0;
    std::size_t max_operands = 0;
    std::string epilogue;  // extra text after the options (exit statuses, environment)
};

// The options and operands given, in order; every option by its long name.
struct CommandLine {
    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag)
    std::vector<std::string> operands;

    // True when the option was given.
    bool has(const std::string& name) const;
    // The value of the option's last occurrence, or `fallback` when it was not given.
    std::string value(const std::string& name, const std::string& fallback = "") const;
};

// Reads `args` (without the program name) against the program's options; --help and --version
// come out as options of those names. Throws UsageError for an unknown option, a missing value
// or too few or too many operands.
CommandLine parse_command_line(const ProgramSpec& program, const std::vector<std::string>& args);

// The --help text: usage line, summary, options (with --help and --version), epilogue.
std::string usage_text(const ProgramSpec& program);
// The --version line: "<program> (Tillora Reports) <version>".
std::string version_text(const ProgramSpec& program);

// Runs a program's main: parses argv, answers --help and --version on `out` (exit 0), and for a
// UsageError thrown by the parser or by `body` writes the reason and the usage on `err` and
// returns kUsageExitStatus. Otherwise returns what `body` returns.
int run_program(const ProgramSpec& program, int argc, char** argv,
                const std::function<int(const CommandLine&)>& body, std::ostream& out,
                std::ostream& err);

}  // namespace tillora
