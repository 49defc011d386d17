// The command-line reader of every program (the programs' tests run --help, --version, an unknown
// option and --date with its value) and the calendar dates of the close-out.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/clock.h"

namespace tillora {
namespace {

const ProgramSpec kProgram{"tillora-test",
                           "SCRIPT",
                           "Runs a test script.\n",
                           {{"home", 0, "DIR", "the folder"},
                            {"date", 'd', "YYYYMMDD", "the day"},
                            {"quiet", 'q', "", "say nothing"}},
                           1,
                           1,
                           "Exit status: 0 or 1.\n"};

// Options by name=value in the order given, then the operands.
std::string described(const CommandLine& line) {
    std::string text;
    for (const auto& [name, value] : line.options) text += name + "=" + value + " ";
    for (const auto& operand : line.operands) text += "[" + operand + "]";
    return text;
}

TEST(CommandLine, ReadsLongShortAndJoinedOptionsAroundOperands) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"s.drive", "--home=/a", "-q"}, "home=/a quiet= [s.drive]"},
        {{"-d20200904", "--date", "-1", "-"}, "date=20200904 date=-1 [-]"},
        {{"--", "--home"}, "[--home]"},
        {{"-h", "two", "operands"}, "help= [two][operands]"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(described(parse_command_line(kProgram, args)), expected) << expected;
    }
    const CommandLine line = parse_command_line(kProgram, {"-d", "1", "x", "--date", "2"});
    EXPECT_EQ(line.value("date"), "2");
    EXPECT_EQ(line.value("home", "none"), "none");
    EXPECT_FALSE(line.has("quiet"));
}

TEST(CommandLine, RefusesWhatItCannotUseWithTheReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--colour=red", "s"}, "unknown option \"--colour\""},
        {{"-x", "s"}, "unknown option \"-x\""},
        {{"--quiet=yes", "s"}, "--quiet takes no value"},
        {{"s", "--home"}, "--home needs a value"},
        {{"s", "-d"}, "-d needs a value"},
        {{}, "missing operand: SCRIPT"},
        {{"a", "b"}, "too many operands"},
    };
    for (const auto& [args, why] : cases) {
        try {
            parse_command_line(kProgram, args);
            ADD_FAILURE() << why << ": accepted";
        } catch (const UsageError& e) {
            EXPECT_EQ(std::string(e.what()), why);
        }
    }
}

// The help text lines up every option, --help and --version included.
TEST(CommandLine, HelpListsEveryOption) {
    const std::string help = usage_text(kProgram);
    for (const char* line : {"  -d, --date YYYYMMDD", "      --home DIR", "  -h, --help",
                             "      --version", "Exit status: 0 or 1."}) {
        EXPECT_NE(help.find(line), std::string::npos) << line;
    }
}

// Month ends, 31st days and wrong lengths are the close-out run's cases; here leap years and
// the ends of the calendar.
TEST(CalendarDate, KnowsLeapYearsAndStepsOverMonthsAndYears) {
    for (const char* good : {"20200229", "20001231", "00010101"}) {
        EXPECT_TRUE(is_calendar_date(good)) << good;
    }
    for (const char* bad : {"20190229", "19000229", "20200900", "00000101", "202009045"}) {
        EXPECT_FALSE(is_calendar_date(bad)) << bad;
    }
    const std::vector<std::tuple<DateTime, int, std::string>> steps = {
        {{2020, 3, 1}, -1, "20200229"},
        {{2021, 1, 1}, -1, "20201231"},
        {{2020, 12, 31}, 1, "20210101"},
        {{2020, 2, 28}, 2, "20200301"},
        {{2020, 9, 4}, -366, "20190904"}};
    for (const auto& [from, days, expected] : steps) {
        EXPECT_EQ(date_number_text(add_days(from, days)), expected) << expected;
    }
}

}  // namespace
}  // namespace tillora
