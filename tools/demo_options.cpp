// Command line and file names of the demo generator.
#include <algorithm>
#include <charconv>
#include <cstdio>

#include "tools/demo_calendar.h"
#include "tools/demo_data.h"

namespace tillora::demo {
namespace {

template <typename Number>
Number number_value(const std::string& option, const std::string& text, Number lo, Number hi) {
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < lo || value > hi) {
        throw DemoError("The option " + option + " needs a whole number from " +
                        std::to_string(lo) + " to " + std::to_string(hi) + ", not \"" + text +
                        "\".");
    }
    return value;
}

}  // namespace

std::string demo_usage() {
    return "Usage: tillora-demo --folder DIR [--unit N] [--node N] [--days N] [--tickets N]\n"
           "                    [--seed N] [--start YYYYMMDD] [--offline] [--schema DIR]\n"
           "Creates a demo installation of one workstation in DIR (a new or empty folder).\n"
           "  --unit N       workstation number 0-99 (default 3)\n"
           "  --node N       node number 0-999 (default: the unit)\n"
           "  --days N       business days of sales, 1-3660 (default 7)\n"
           "  --tickets N    tickets a day, 1-20000 (default 40)\n"
           "  --seed N       random seed; the same seed makes the same data (default 1)\n"
           "  --start DATE   first business day (default 20200901)\n"
           "  --offline      an off-line workstation (no back office marker)\n"
           "  --schema DIR   read the schema files from DIR instead of the built-in copy\n";
}

DemoOptions parse_demo_options(const std::vector<std::string>& args) {
    DemoOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--offline") {
            o.offline = true;
            continue;
        }
        static constexpr const char* kWithValue[] = {"--folder",  "--unit", "--node",  "--days",
                                                     "--tickets", "--seed", "--start", "--schema"};
        if (std::find(std::begin(kWithValue), std::end(kWithValue), name) == std::end(kWithValue)) {
            throw DemoError("Unknown option \"" + name + "\".");
        }
        if (i + 1 >= args.size()) throw DemoError("The option " + name + " needs a value.");
        const std::string& value = args[++i];
        if (name == "--folder") o.folder = value;
        if (name == "--schema") o.schema = value;
        if (name == "--unit") o.unit = number_value(name, value, 0, 99);
        if (name == "--node") o.node = number_value(name, value, 0, 999);
        if (name == "--days") o.days = number_value(name, value, 1, 3660);
        if (name == "--tickets") o.tickets = number_value(name, value, 1, 20000);
        if (name == "--seed") {
            o.seed = number_value<std::uint64_t>(name, value, 0, UINT64_MAX);
        }
        if (name == "--start") {
            o.start = number_value(name, value, 19000101, 99991231);
            if (!date_from_number(o.start)) {
                throw DemoError("The option --start needs a real date as YYYYMMDD, not \"" + value +
                                "\".");
            }
        }
    }
    if (!o.help && o.folder.empty()) throw DemoError("The option --folder DIR is required.");
    return o;
}

std::string unit_text(int unit) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", unit % 100);
    return buf;
}

std::string transaction_db_name(int unit) {
    return "KOVRAX" + unit_text(unit) + ".MDB";
}
std::string config_db_name(int unit) {
    return "kovra" + unit_text(unit) + ".mdb";
}
std::string audit_file_name(int unit) {
    return "audit" + unit_text(unit) + ".txt";
}
std::string error_file_name(int unit) {
    return "error" + unit_text(unit) + ".txt";
}

std::string report_db_name(int node) {
    return "RPT" + (node < 10 ? unit_text(node) : std::to_string(node)) + ".MDB";
}

}  // namespace tillora::demo
