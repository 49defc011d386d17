#include "platform/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "platform/clock.h"

namespace tillora {
namespace {

TEST(CurrencyFromDouble, RoundsTheTypedDecimalHalfAwayFromZeroAndRefusesOutOfRange) {
    // clang-format off
    const std::pair<double, std::int64_t> cases[] = {
        {0.1 + 0.2, 3000}, {1.005, 10050},
        {1.00005, 10001},  // 1.0000499999... rounds as typed
        {-1.00005, -10001}, {0.00004, 0}, {0.00005, 1}, {-0.00005, -1}, {-0.0, 0},
        {123456789.1234, 1234567891234}, {9e14, 9000000000000000000}};
    // clang-format on
    for (const auto& [value, units] : cases) {
        EXPECT_EQ(Currency::from_double(value).units, units) << value;
    }
    for (double bad : {1e15, -1e300, std::nan("")}) {
        EXPECT_THROW(Currency::from_double(bad), std::out_of_range) << bad;
    }
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
    const std::pair<const char*, double> cases[] = {
        {"", 0},       {"12abc", 12},  {"  -3.5x", -3.5}, {"abc", 0},      {"+7", 7},  {".5", 0.5},
        {"-.5", -0.5}, {"1.2.3", 1.2}, {"1e3", 1000},     {"1E-2x", 0.01}, {"2e+", 2}, {"-", 0},
        {"\t42", 42},  {"1,234", 1},   {"- 5", 0},        {".", 0},        {"5.", 5},  {"-0", 0}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(leading_number(text), value) << '"' << text << '"';
    }
    EXPECT_FALSE(std::signbit(leading_number("-0")));
}

TEST(PlainNumber, WritesTheShortestDecimalWithoutExponent) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {12.5, "12.5"}, {-0.0, "0"}, {-3.75, "-3.75"}, {0.1 + 0.2, "0.30000000000000004"},
        {100000000000000.5, "100000000000000.5"}, {1e-7, "0.0000001"}, {20200904, "20200904"}};
    // clang-format on
    for (const auto& [value, text] : cases) EXPECT_EQ(plain_number(value), text) << value;
}

TEST(DefaultText, GivesTheExportFormOfEveryKindOfValue) {
    using C = Currency;
    // clang-format off
    const std::pair<Value, const char*> cases[] = {
        {Value(), ""}, {Value::null(), ""}, {Value("abc "), "abc "}, {Value(42), "42"},
        {Value(std::int64_t{-7}), "-7"}, {Value(12.5), "12.5"},
        {Value(C::from_units(125000)), "12.5"}, {Value(C::from_units(123450000)), "12345"},
        {Value(C::from_units(-2500)), "-0.25"}, {Value(C::from_units(1)), "0.0001"},
        {Value(C::from_units(-123456)), "-12.3456"}, {Value(C::from_units(0)), "0"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(default_text(value), text);
        EXPECT_EQ(value.as_text(), text);
    }
}

TEST(ValueConversions, ConvertBetweenTextNumbersAndMoney) {
    EXPECT_DOUBLE_EQ(Value("12.5abc").as_double(), 12.5);
    EXPECT_DOUBLE_EQ(Value(Currency::from_units(-32000)).as_double(), -3.2);
    EXPECT_DOUBLE_EQ(Value::null().as_double(), 0);

    // clang-format off
    const std::pair<Value, std::int64_t> ints[] = {
        {Value(2.5), 3}, {Value(-2.5), -3}, {Value(2.4), 2}, {Value(Currency::from_units(-25000)), -3},
        {Value(Currency::from_units(24999)), 2}, {Value(" 17 apples"), 17}, {Value::null(), 0},
        {Value(std::int64_t{9000000000}), 9000000000}};
    // clang-format on
    for (const auto& [value, expected] : ints)
        EXPECT_EQ(value.as_int(), expected) << value.as_text();

    const std::pair<Value, std::int64_t> money[] = {
        {Value("1.005"), 10050},   {Value(7), 70000},
        {Value(12.34565), 123457}, {Value(Currency::from_units(-1)), -1},
        {Value::null(), 0},        {Value("x"), 0}};
    for (const auto& [value, units] : money) {
        EXPECT_EQ(value.as_currency().units, units) << value.as_text();
    }
}

struct PatternCase {
    std::int64_t units;
    const char* pattern;
    const char* text;
};

TEST(FormatPattern, FormatsMoneyExactlyWithTheReportPatterns) {
    // clang-format off
    const PatternCase cases[] = {
        {0, "#####.#0", ".00"}, {125000, "#####.#0", "12.50"}, {-32000, "#####.#0", "-3.20"},
        {-5000, "#####.#0", "-.50"}, {1234567800, "#####.#0", "123456.78"}, {50, "####.#0", ".01"},
        {49, "####.#0", ".00"}, {-50, "######.#0", "-.01"}, {-49, "######.#0", ".00"},
        {12345, "#######.#0", "1.23"}, {12350, "#######.#0", "1.24"}, {25000, "###0", "3"},
        {-25000, "###0", "-3"}, {24999, "###0", "2"}, {0, "###0", "0"}, {-4000, "###0", "0"},
        {123456780000, "###0", "12345678"},
        {std::numeric_limits<std::int64_t>::min(), "#####.#0", "-922337203685477.58"}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(format_pattern(Currency::from_units(c.units), c.pattern), c.text)
            << c.units << " " << c.pattern;
    }
}

TEST(FormatPattern, RoundsDoublesOnceFromTheirTypedValue) {
    struct Case {
        double value;
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {{0.0, "#####.#0", ".00"},    {-3.2, "####.#0", "-3.20"},
                          {1.005, "####.#0", "1.01"},  {2.675, "####.#0", "2.68"},
                          {0.12499, "####.#0", ".12"}, {-0.001, "####.#0", ".00"},
                          {2.5, "###0", "3"},          {-2.5, "###0", "-3"},
                          {0.4, "###0", "0"},          {1e20, "###0", "100000000000000000000"}};
    for (const auto& c : cases) {
        EXPECT_EQ(format_pattern(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
    }
}

TEST(Columns, AlignAndCutToTheColumnWidth) {
    struct MoneyCase {
        std::int64_t units;
        const char* pattern;
        std::size_t width;
        const char* text;
    };
    // clang-format off
    const MoneyCase money[] = {
        {0, "#####.#0", 8, "     .00"}, {-32000, "####.#0", 7, "  -3.20"},
        {1234567800, "#####.#0", 8, "23456.78"}, {1000000000, "#####.#0", 8, "00000.00"},
        // 9999.9999 rounds up to 10000.00, then loses its first digit.
        {99999999, "####.#0", 7, "0000.00"}};
    // clang-format on
    for (const auto& c : money) {
        EXPECT_EQ(money_column(Currency::from_units(c.units), c.pattern, c.width), c.text)
            << c.units;
    }
    EXPECT_EQ(right_column("abc", 5), "  abc");
    EXPECT_EQ(right_column("abc", 45), std::string(42, ' ') + "abc");
    EXPECT_EQ(left_column("Totals:", 10), "Totals:   ");
    EXPECT_EQ(left_column("123-45678901", 10), "123-456789");
    EXPECT_EQ(left_column("ab", 45), "ab" + std::string(43, ' '));
}

TEST(TextHelpers, UpperCaseAndTrimBlanks) {
    EXPECT_EQ(upper("posunit=3 \xc3\xa9z"), "POSUNIT=3 \xc3\x89Z");
    EXPECT_EQ(trim("  a b \t"), "a b");
    EXPECT_EQ(trim(" \t "), "");
}

TEST(ClockTexts, PrintDatesAndTimesInTheReportForms) {
    FixedClock clock(DateTime{2020, 9, 4, 14, 37, 5});
    EXPECT_EQ(clock.time_text(), "14:37:05");
    clock.set(DateTime{1999, 12, 31, 0, 0, 59});
    EXPECT_EQ(clock.date_text(), "12-31-1999");
    EXPECT_EQ(clock.time_text(), "00:00:59");
    EXPECT_EQ(clock.audit_date(), "12311999");
}

TEST(ParseDateTime, AcceptsOnlyValidIsoTimes) {
    DateTime t;
    ASSERT_TRUE(parse_date_time("2020-02-29T23:59:58", t));
    EXPECT_EQ(std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second),
              std::make_tuple(2020, 2, 29, 23, 59, 58));
    for (const char* bad : {"2019-02-29T10:00:00", "2020-13-01T10:00:00", "2020-09-04T24:00:00",
                            "2020-09-04 10:00:00", "2020-9-04T10:00:00", "2020-09-04T10:00",
                            "2020-09-04T10:00:0x", ""}) {
        DateTime before{1, 2, 3, 4, 5, 6};
        EXPECT_FALSE(parse_date_time(bad, before)) << bad;
        EXPECT_EQ(before.year, 1) << bad;
    }
}

}  // namespace
}  // namespace tillora
