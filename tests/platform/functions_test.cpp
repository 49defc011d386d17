// Numbers, money, dates, text by characters, code pages and the command-line reader at the edges
// the receipts and the programs' runs do not reach: each row of
// tests/fixtures/platform-functions.txt names a function below, its arguments and what it gives.
#include <gtest/gtest.h>

#include <charconv>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/command_line.h"
#include "platform/cups_printer.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/value.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Lines;

// clang-format off
const ProgramSpec kProgram{"tillora-test", "SCRIPT", "Runs a test script.\n",
                           {{"home", 0, "DIR", "the folder"}, {"date", 'd', "YYYYMMDD", "the day"},
                            {"quiet", 'q', "", "say nothing"}},
                           1, 1, "Exit status: 0 or 1.\n"};
// clang-format on

// The shortest text that reads back as `value` ("-0" for a negative zero).
std::string shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}
Currency money(const std::string& units) {
    return Currency::from_units(std::stoll(units));
}
// Each item in brackets, so that empty items show.
std::string bracketed(const Lines& items) {
    std::string text;
    for (const auto& item : items) text += "[" + item + "]";
    return text;
}
// Options by name=value in the order given, then the operands in brackets.
std::string described(const CommandLine& line) {
    std::string text;
    for (const auto& [name, value] : line.options) text += name + "=" + value + " ";
    return text + bracketed(line.operands);
}
std::string yes(bool value) {
    return value ? "yes" : "no";
}
std::string date_time(const std::string& text) {
    DateTime t{1, 2, 3, 4, 5, 6};
    if (!parse_date_time(text, t)) return t.year == 1 ? "refused" : "refused, changed";
    return date_number_text(t) + " " + std::to_string((t.hour * 60 + t.minute) * 60 + t.second);
}
// The queues of an override list by name, "=raw" or "=text" each.
std::string queue_modes(const std::string& text) {
    std::string modes;
    for (const auto& [queue, mode] : parse_queue_modes(text)) {
        modes += "[" + queue + (mode == QueueMode::raw ? "=raw]" : "=text]");
    }
    return modes + (mode_of_queue("") == QueueMode::text ? "" : "(no make and model: raw)");
}
std::string utf8(std::string text) {
    make_utf8(text);
    return is_utf8(text) ? text : "not utf-8: " + text;
}
std::string id_number(const std::string& text) {
    const IdNumber id = IdNumber::of_text(text);
    return id.text() + (id.too_long() ? " too long" : "");
}
std::string option(const Lines& a) {
    const CommandLine line = parse_command_line(kProgram, Lines(a.begin() + 2, a.end()));
    return line.value(a[1], "none") + (line.has(a[1]) ? "" : " (absent)");
}

// What the function that a[0] names gives for the arguments after it.
std::string probe(const Lines& a) {
    const std::string& f = a[0];
    const auto n = [&](std::size_t i) { return std::stoul(a[i]); };
    if (f == "from_double") return std::to_string(Currency::from_double(std::stod(a[1])).units);
    if (f == "leading_number") return shortest(leading_number(a[1]));
    if (f == "default_text") {
        const Value v = test::value_of(a[1]);
        return v.as_text() == default_text(v) ? default_text(v) : "as_text " + v.as_text();
    }
    if (f == "as_double") return shortest(test::value_of(a[1]).as_double());
    if (f == "as_int") return std::to_string(test::value_of(a[1]).as_int());
    if (f == "as_currency") return std::to_string(test::value_of(a[1]).as_currency().units);
    if (f == "format_money") return format_pattern(money(a[1]), a[2]);
    if (f == "format_double") return format_pattern(std::stod(a[1]), a[2]);
    if (f == "money_column") return money_column(money(a[1]), a[2], n(3));
    if (f == "parse_date_time") return date_time(a[1]);
    if (f == "calendar_date") return yes(is_calendar_date(a[1]));
    if (f == "add_days") {
        const DateTime from{std::stoi(a[1]), std::stoi(a[2]), std::stoi(a[3])};
        return date_number_text(add_days(from, std::stoi(a[4])));
    }
    if (f == "char_count") return std::to_string(char_count(a[1]));
    if (f == "first_chars") return first_chars(a[1], n(2));
    if (f == "chars_from") return chars_from(a[1], n(2), a.size() > 3 ? n(3) : std::string::npos);
    if (f == "without_last_char") return without_last_char(a[1]);
    if (f == "upper") return upper(a[1]);
    if (f == "make_utf8") return utf8(a[1]);
    if (f == "id_number") return id_number(a[1]);
    if (f == "encode") return CodePageEncoder(*code_page_named(a[1])).encode(a[2]);
    if (f == "select_code_page") {
        const auto page = code_page_named(a[1]);
        return page ? select_code_page(*page) : "none";
    }
    if (f == "page_for_queue") return code_page_for_queue(a[1], a[2], a[3]).name;
    if (f == "split_items") return bracketed(split_items(a[1]));
    if (f == "escape_line_breaks") return escape_line_breaks(a[1]);
    if (f == "command_line")
        return described(parse_command_line(kProgram, {a.begin() + 1, a.end()}));
    if (f == "option") return option(a);
    if (f == "queue_modes") return queue_modes(a[1]);
    if (f == "select_spool_printer") {
        SpoolPrinterSystem printers("no-such-folder");  // made on the first job only
        printers.select(std::stol(a[1]));
        return "selected";
    }
    if (f == "append_line") {
        append_line(a[1], "line");
        return "appended";
    }
    if (f == "in_help") return yes(usage_text(kProgram).find(a[1]) != std::string::npos);
    return "no such function";
}

TEST(PlatformFunctions, GiveWhatTheirTableSays) {
    test::expect_table("platform-functions", probe);
}

}  // namespace
}  // namespace tillora
