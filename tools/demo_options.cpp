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
        throw UsageError("The option --" + option + " needs a whole number from " +
                         std::to_string(lo) + " to " + std::to_string(hi) + ", not \"" + text +
                         "\".");
    }
    return value;
}

// A date option's value: a real date YYYYMMDD.
int date_value(const std::string& option, const std::string& text) {
    const int date = number_value(option, text, 19000101, 99991231);
    if (!date_from_number(date)) {
        throw UsageError("The option --" + option + " needs a real date as YYYYMMDD, not \"" +
                         text + "\".");
    }
    return date;
}

}  // namespace

const ProgramSpec& demo_program() {
    static const ProgramSpec spec{
        "tillora-demo",
        "",
        "Creates a demo installation of one workstation in DIR (a new or empty folder), with\n"
        "seeded days of sales that end today unless --end or --start says otherwise.\n",
        {{"folder", 0, "DIR", "the installation folder to make (required)"},
         {"unit", 0, "N", "workstation number 0-99 (default 3)"},
         {"node", 0, "N", "node number 0-999 (default: the unit)"},
         {"days", 0, "N", "business days of sales, 1-3660 (default 7)"},
         {"tickets", 0, "N", "tickets a day, 1-20000 (default 40)"},
         {"seed", 0, "N", "random seed; the same seed makes the same data (default 1)"},
         {"end", 0, "YYYYMMDD", "last business day (default today)"},
         {"start", 0, "YYYYMMDD", "first business day instead of --end"},
         {"offline", 0, "", "an off-line workstation (no back office marker)"},
         {"schema", 0, "DIR", "read the schema files from DIR instead of the built-in copy"}},
        0,
        0,
        "Exit status: 0 made; 1 the installation could not be made; 2 a bad option.\n"};
    return spec;
}

DemoOptions demo_options(const CommandLine& line, int today) {
    DemoOptions o;
    if (!line.has("folder")) throw UsageError("The option --folder DIR is required.");
    o.folder = line.value("folder");
    o.schema = line.value("schema");
    o.offline = line.has("offline");
    if (line.has("unit")) o.unit = number_value("unit", line.value("unit"), 0, 99);
    if (line.has("node")) o.node = number_value("node", line.value("node"), 0, 999);
    if (line.has("days")) o.days = number_value("days", line.value("days"), 1, 3660);
    if (line.has("tickets")) o.tickets = number_value("tickets", line.value("tickets"), 1, 20000);
    if (line.has("seed")) {
        o.seed = number_value<std::uint64_t>("seed", line.value("seed"), 0, UINT64_MAX);
    }
    if (line.has("start") && line.has("end")) {
        throw UsageError("Give --start or --end, not both.");
    }
    if (line.has("start")) {
        o.start = date_value("start", line.value("start"));
    } else {
        const int end = line.has("end") ? date_value("end", line.value("end")) : today;
        const auto last = date_from_number(end);
        if (!last) throw UsageError("Today's date " + std::to_string(end) + " is not a date.");
        o.start = date_number(add_days(*last, 1 - o.days));
    }
    return o;
}

DemoOptions parse_demo_options(const std::vector<std::string>& args, int today) {
    return demo_options(parse_command_line(demo_program(), args), today);
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
