// Numbers, money, dates, text by characters, code pages and the command-line reader at the edges
// the receipts and the programs' runs do not reach: each row of
// tests/fixtures/platform-functions.txt names a probe below, its arguments and what it gives.
#include <gtest/gtest.h>

#include <charconv>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/value.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Lines;

const ProgramSpec kProgram{"tillora-test",
                           "SCRIPT",
                           "Runs a test script.\n",
                           {{"home", 0, "DIR", "the folder"},
                            {"date", 'd', "YYYYMMDD", "the day"},
                            {"quiet", 'q', "", "say nothing"}},
                           1,
                           1,
                           "Exit status: 0 or 1.\n"};

// The shortest text that reads back as `value` ("-0" for a negative zero).
std::string shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}
Currency money(const std::string& units) {
    return Currency::from_units(std::stoll(units));
}
// A value written as kind:text (int, real, money in units, text), "null" or "empty".
Value value_of(const std::string& word) {
    const std::string kind = word.substr(0, word.find(':'));
    const std::string text = word.substr(std::min(word.size(), kind.size() + 1));
    if (kind == "int") return Value(std::int64_t{std::stoll(text)});
    if (kind == "real") return Value(std::stod(text));
    if (kind == "money") return Value(money(text));
    if (kind == "text") return Value(text);
    return kind == "null" ? Value::null() : Value();
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

TEST(PlatformFunctions, GiveWhatTheirTableSays) {
    test::expect_table(
        "platform-functions",
        {
            {"from_double",
             [](const Lines& a) {
                 return std::to_string(Currency::from_double(std::stod(a[0])).units);
             }},
            {"leading_number", [](const Lines& a) { return shortest(leading_number(a[0])); }},
            {"default_text",
             [](const Lines& a) {
                 const Value v = value_of(a[0]);
                 return v.as_text() == default_text(v) ? default_text(v) : "as_text " + v.as_text();
             }},
            {"as_double", [](const Lines& a) { return shortest(value_of(a[0]).as_double()); }},
            {"as_int", [](const Lines& a) { return std::to_string(value_of(a[0]).as_int()); }},
            {"as_currency",
             [](const Lines& a) { return std::to_string(value_of(a[0]).as_currency().units); }},
            {"format_money", [](const Lines& a) { return format_pattern(money(a[0]), a[1]); }},
            {"format_double", [](const Lines& a) { return format_pattern(std::stod(a[0]), a[1]); }},
            {"money_column",
             [](const Lines& a) { return money_column(money(a[0]), a[1], std::stoul(a[2])); }},
            {"parse_date_time",
             [](const Lines& a) -> std::string {
                 DateTime t{1, 2, 3, 4, 5, 6};
                 if (!parse_date_time(a[0], t)) return t.year == 1 ? "refused" : "refused, changed";
                 char text[32];
                 std::snprintf(text, sizeof text, "%d %d %d %d %d %d", t.year, t.month, t.day,
                               t.hour, t.minute, t.second);
                 return text;
             }},
            {"calendar_date", [](const Lines& a) { return yes(is_calendar_date(a[0])); }},
            {"add_days",
             [](const Lines& a) {
                 const DateTime from{std::stoi(a[0]), std::stoi(a[1]), std::stoi(a[2])};
                 return date_number_text(add_days(from, std::stoi(a[3])));
             }},
            {"char_count", [](const Lines& a) { return std::to_string(char_count(a[0])); }},
            {"first_chars", [](const Lines& a) { return first_chars(a[0], std::stoul(a[1])); }},
            {"chars_from",
             [](const Lines& a) {
                 return chars_from(a[0], std::stoul(a[1]),
                                   a.size() > 2 ? std::stoul(a[2]) : std::string_view::npos);
             }},
            {"without_last_char", [](const Lines& a) { return without_last_char(a[0]); }},
            {"upper", [](const Lines& a) { return upper(a[0]); }},
            {"make_utf8",
             [](const Lines& a) {
                 std::string text = a[0];
                 make_utf8(text);
                 return is_utf8(text) ? text : "not utf-8: " + text;
             }},
            {"id_number",
             [](const Lines& a) {
                 const IdNumber id = IdNumber::of_text(a[0]);
                 return id.text() + (id.too_long() ? " too long" : "");
             }},
            {"encode",
             [](const Lines& a) { return CodePageEncoder(*code_page_named(a[0])).encode(a[1]); }},
            {"select_code_page",
             [](const Lines& a) {
                 const auto page = code_page_named(a[0]);
                 return page ? select_code_page(*page) : "none";
             }},
            {"page_for_queue",
             [](const Lines& a) {
                 return std::string(code_page_for_queue(a[0], a[1], a[2]).name);
             }},
            {"split_items", [](const Lines& a) { return bracketed(split_items(a[0])); }},
            {"escape_line_breaks", [](const Lines& a) { return escape_line_breaks(a[0]); }},
            {"command_line",
             [](const Lines& a) { return described(parse_command_line(kProgram, a)); }},
            {"option",
             [](const Lines& a) {
                 const CommandLine line =
                     parse_command_line(kProgram, Lines(a.begin() + 1, a.end()));
                 return line.value(a[0], "none") + (line.has(a[0]) ? "" : " (absent)");
             }},
            {"in_help",
             [](const Lines& a) {
                 return yes(usage_text(kProgram).find(a[0]) != std::string::npos);
             }},
        });
}

}  // namespace
}  // namespace tillora
