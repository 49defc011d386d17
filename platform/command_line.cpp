#include "platform/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <mutex>

#ifndef TILLORA_VERSION
#define TILLORA_VERSION "unknown"
#endif

namespace tillora {

namespace {

// getopt_long keeps its position in globals: one parse at a time.
std::mutex getopt_mutex;

// Values getopt_long returns for long options: the option's index plus this offset, so that no
// letter is mistaken for one.
constexpr int kLongOffset = 0x1000;

// The program's options followed by --help and --version.
std::vector<OptionSpec> all_options(const ProgramSpec& program) {
    std::vector<OptionSpec> options = program.options;
    const bool h_free = std::none_of(options.begin(), options.end(),
                                     [](const OptionSpec& o) { return o.letter == 'h'; });
    options.push_back({"help", h_free ? 'h' : '\0', "", "show this help and exit"});
    options.push_back({"version", 0, "", "show the version and exit"});
    return options;
}

// The option an argument names ("--home=x" and "-h" included), for messages.
std::string option_word(const char* arg) {
    std::string word = arg != nullptr ? arg : "";
    if (const auto eq = word.find('='); eq != std::string::npos) word.resize(eq);
    return word;
}

std::string operands_message(const ProgramSpec& program, std::size_t given) {
    if (given < program.min_operands) {
        return program.operands.empty() ? "an operand is missing"
                                        : "missing operand: " + program.operands;
    }
    return given == 1 || program.max_operands == 0 ? "unexpected operand" : "too many operands";
}

}  // namespace

bool CommandLine::has(const std::string& name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& option) { return option.first == name; });
}

std::string CommandLine::value(const std::string& name, const std::string& fallback) const {
    for (auto it = options.rbegin(); it != options.rend(); ++it) {
        if (it->first == name) return it->second;
    }
    return fallback;
}

CommandLine parse_command_line(const ProgramSpec& program, const std::vector<std::string>& args) {
    const std::vector<OptionSpec> specs = all_options(program);
    std::vector<option> longs;
    std::string letters = ":";  // ':' first: a missing value is told apart from an unknown option
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const bool takes_value = !specs[i].value.empty();
        longs.push_back({specs[i].name.c_str(), takes_value ? required_argument : no_argument,
                         nullptr, kLongOffset + static_cast<int>(i)});
        if (specs[i].letter != 0)
            letters += std::string(1, specs[i].letter) + (takes_value ? ":" : "");
    }
    longs.push_back({nullptr, 0, nullptr, 0});

    // getopt_long reorders its argv: it works on a copy.
    std::vector<std::string> words = args;
    words.insert(words.begin(), program.name);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const std::lock_guard<std::mutex> lock(getopt_mutex);
    optind = 0;  // a fresh start, also after an earlier parse
    opterr = 0;
    CommandLine line;
    const int argc = static_cast<int>(argv.size()) - 1;
    for (int c;
         (c = getopt_long(argc, argv.data(), letters.c_str(), longs.data(), nullptr)) != -1;) {
        std::size_t index = specs.size();
        if (c >= kLongOffset) {
            index = static_cast<std::size_t>(c - kLongOffset);
        } else if (c != '?' && c != ':') {
            index = static_cast<std::size_t>(
                std::find_if(specs.begin(), specs.end(),
                             [c](const OptionSpec& o) { return o.letter == c; }) -
                specs.begin());
        }
        if (c == ':') {
            const std::string word = option_word(argv[optind - 1]);
            throw UsageError(word + " needs a value");
        }
        if (c == '?' && optopt >= kLongOffset) {
            throw UsageError(option_word(argv[optind - 1]) + " takes no value");
        }
        if (index >= specs.size()) {
            const std::string word = optopt > 0 && optopt < kLongOffset
                                         ? "-" + std::string(1, static_cast<char>(optopt))
                                         : option_word(argv[optind - 1]);
            throw UsageError("unknown option \"" + word + "\"");
        }
        line.options.emplace_back(specs[index].name, optarg != nullptr ? optarg : "");
    }
    for (int i = optind; i < argc; ++i) line.operands.emplace_back(argv[i]);
    if (line.has("help") || line.has("version")) return line;
    if (line.operands.size() < program.min_operands ||
        line.operands.size() > program.max_operands) {
        throw UsageError(operands_message(program, line.operands.size()));
    }
    return line;
}

std::string usage_text(const ProgramSpec& program) {
    std::string text = "Usage: " + program.name + " [OPTION]...";
    if (!program.operands.empty()) text += " " + program.operands;
    text += "\n" + program.summary;
    if (!program.summary.empty() && program.summary.back() != '\n') text += "\n";
    text += "\nOptions:\n";
    const std::string indent(30, ' ');
    for (const OptionSpec& o : all_options(program)) {
        std::string left = o.letter != 0 ? std::string("  -") + o.letter + ", " : "      ";
        left += "--" + o.name + (o.value.empty() ? "" : " " + o.value);
        // The help starts in column 31, on the next line after a long option.
        left = left.size() + 2 > indent.size() ? left + "\n" + indent : left + "  ";
        left.resize(std::max(left.size(), indent.size()), ' ');
        std::string help = o.help;
        for (std::size_t at = help.find('\n'); at != std::string::npos;
             at = help.find('\n', at + 1)) {
            help.insert(at + 1, indent);
        }
        text += left + help + "\n";
    }
    if (!program.epilogue.empty()) text += "\n" + program.epilogue;
    if (text.back() != '\n') text += "\n";
    return text;
}

std::string version_text(const ProgramSpec& program) {
    return program.name + " (Tillora Reports) " + TILLORA_VERSION + "\n";
}

int run_program(const ProgramSpec& program, int argc, char** argv,
                const std::function<int(const CommandLine&)>& body, std::ostream& out,
                std::ostream& err) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    try {
        const CommandLine line = parse_command_line(program, args);
        if (line.has("help")) {
            out << usage_text(program) << std::flush;
            return 0;
        }
        if (line.has("version")) {
            out << version_text(program) << std::flush;
            return 0;
        }
        return body(line);
    } catch (const UsageError& e) {
        err << program.name << ": " << e.what() << "\n\n" << usage_text(program) << std::flush;
        return kUsageExitStatus;
    }
}

}  // namespace tillora
