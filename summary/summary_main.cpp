// tillora-summary: the day page for any range of dates of an installation.
#include <getopt.h>

#include <cctype>
#include <chrono>
#include <iostream>
#include <string>

#include "app/services.h"
#include "panel/form_load.h"
#include "summary/day_page.h"

namespace {

constexpr const char* kUsage =
    "usage: tillora-summary [--home DIR] --from YYYYMMDD --to YYYYMMDD [--out FILE]\n"
    "Writes the summary page (HTML) of the sales of the dates from..to of the installation.\n"
    "  --home DIR   the installation folder (default: TILLORA_HOME, else the program's folder)\n"
    "  --from DATE  first day, YYYYMMDD\n"
    "  --to DATE    last day, YYYYMMDD\n"
    "  --out FILE   the page to write (default: summary<unit>-<from>-<to>.html in the\n"
    "               installation folder)\n"
    "  --help       this text\n"
    "  --version    the program's version\n";

int usage_error(const std::string& why) {
    std::cerr << "tillora-summary: " << why << "\n" << kUsage;
    return 2;
}

// A calendar date written YYYYMMDD.
bool parse_date(const std::string& text, std::int32_t& date) {
    if (text.size() != 8) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    date = std::stoi(text);
    using namespace std::chrono;
    return year_month_day{year{date / 10000}, month{static_cast<unsigned>(date / 100 % 100)},
                          day{static_cast<unsigned>(date % 100)}}
        .ok();
}

}  // namespace

int main(int argc, char** argv) {
    static const option kOptions[] = {{"home", required_argument, nullptr, 'h'},
                                      {"from", required_argument, nullptr, 'f'},
                                      {"to", required_argument, nullptr, 't'},
                                      {"out", required_argument, nullptr, 'o'},
                                      {"help", no_argument, nullptr, 'H'},
                                      {"version", no_argument, nullptr, 'V'},
                                      {nullptr, 0, nullptr, 0}};
    tillora::RangeRequest request;
    std::string from, to;
    opterr = 0;
    int option;
    while ((option = getopt_long(argc, argv, "", kOptions, nullptr)) != -1) {
        switch (option) {
            case 'h':
                request.home = optarg;
                break;
            case 'f':
                from = optarg;
                break;
            case 't':
                to = optarg;
                break;
            case 'o':
                request.out = optarg;
                break;
            case 'H':
                std::cout << kUsage;
                return 0;
            case 'V':
                std::cout << "tillora-summary " << tillora::kVersionLabel << "\n";
                return 0;
            default:
                return usage_error(std::string("unknown option or missing value: ") +
                                   argv[optind - 1]);
        }
    }
    if (optind < argc) return usage_error(std::string("unexpected argument: ") + argv[optind]);
    if (from.empty() || to.empty()) return usage_error("--from and --to are required");
    if (!parse_date(from, request.from))
        return usage_error("--from " + from + " is not a date YYYYMMDD");
    if (!parse_date(to, request.to)) return usage_error("--to " + to + " is not a date YYYYMMDD");
    if (request.from > request.to) return usage_error("--from " + from + " is after --to " + to);
    if (request.home.empty()) request.home = tillora::installation_folder(argv[0]);
    return tillora::write_range_page(request, std::cout, std::cerr);
}
