// tillora-summary: the day page for any range of dates of an installation.
#include <iostream>
#include <string>

#include "app/services.h"
#include "platform/clock.h"
#include "platform/command_line.h"
#include "summary/day_page.h"

namespace {

using namespace tillora;

const ProgramSpec& summary_program() {
    static const ProgramSpec spec{
        "tillora-summary",
        "",
        "Writes the summary page (HTML) of the sales of the dates from..to of the installation\n"
        "and prints its path.\n",
        {{"home", 0, "DIR", "the installation folder (default: the usual installation folder)"},
         {"from", 0, "YYYYMMDD", "first day"},
         {"to", 0, "YYYYMMDD", "last day"},
         {"out", 0, "FILE",
          "the page to write (default: summary<unit>-<from>-<to>.html in the\ninstallation "
          "folder)"}},
        0,
        0,
        "Exit status: 0 written; 1 the installation cannot be read or the page cannot be\n"
        "written; 2 a bad option.\n"};
    return spec;
}

// The date of option `name`: a calendar date YYYYMMDD. Throws UsageError otherwise.
std::int32_t date_option(const CommandLine& line, const std::string& name) {
    const std::string text = line.value(name);
    if (!is_calendar_date(text))
        throw UsageError("--" + name + " " + text + " is not a date YYYYMMDD");
    return std::stoi(text);
}

int write_page(const CommandLine& line, const char* argv0) {
    if (!line.has("from") || !line.has("to")) throw UsageError("--from and --to are required");
    RangeRequest request;
    request.from = date_option(line, "from");
    request.to = date_option(line, "to");
    if (request.from > request.to) {
        throw UsageError("--from " + line.value("from") + " is after --to " + line.value("to"));
    }
    request.out = line.value("out");
    request.home =
        line.has("home") ? std::filesystem::path(line.value("home")) : installation_folder(argv0);
    return write_range_page(request, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    return run_program(
        summary_program(), argc, argv,
        [&](const CommandLine& line) { return write_page(line, argv[0]); }, std::cout, std::cerr);
}
