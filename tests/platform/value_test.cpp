// Money and number conversions and the report number patterns, at the edges the receipts do not
// reach (negative fractions, rounding halves, overflowing columns).
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
        {-1.00005, -10001}, {0.00004, 0}, {-0.0, 0}, {9e14, 9000000000000000000}};
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
        {"", 0},         {"  -3.5x", -3.5}, {"abc", 0}, {"+7", 7},    {"-.5", -0.5}, {"1.2.3", 1.2},
        {"1E-2x", 0.01}, {"2e+", 2},        {"-", 0},   {"1,234", 1}, {"- 5", 0}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(leading_number(text), value) << '"' << text << '"';
    }
    EXPECT_FALSE(std::signbit(leading_number("-0")));
}

TEST(DefaultText, GivesTheExportFormOfEveryKindOfValue) {
    using C = Currency;
    // clang-format off
    const std::pair<Value, const char*> cases[] = {
        {Value(), ""}, {Value::null(), ""}, {Value(std::int64_t{-7}), "-7"},
        {Value(-0.0), "0"}, {Value(0.1 + 0.2), "0.30000000000000004"}, {Value(1e-7), "0.0000001"},
        {Value(100000000000000.5), "100000000000000.5"}, {Value(C::from_units(123450000)), "12345"},
        {Value(C::from_units(-2500)), "-0.25"}, {Value(C::from_units(1)), "0.0001"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(default_text(value), text);
        EXPECT_EQ(value.as_text(), text);
    }
}

TEST(ValueConversions, ConvertBetweenTextNumbersAndMoney) {
    EXPECT_DOUBLE_EQ(Value("12.5abc").as_double(), 12.5);
    EXPECT_DOUBLE_EQ(Value(Currency::from_units(-32000)).as_double(), -3.2);
    // clang-format off
    const std::pair<Value, std::int64_t> ints[] = {
        {Value(-2.5), -3}, {Value(2.4), 2}, {Value(Currency::from_units(-25000)), -3},
        {Value(Currency::from_units(24999)), 2}, {Value(" 17 apples"), 17}, {Value::null(), 0},
        {Value(std::int64_t{9000000000}), 9000000000}};
    const std::pair<Value, std::int64_t> money[] = {
        {Value("1.005"), 10050}, {Value(7), 70000}, {Value(12.34565), 123457}, {Value("x"), 0}};
    // clang-format on
    for (const auto& [value, expected] : ints) EXPECT_EQ(value.as_int(), expected);
    for (const auto& [value, units] : money) EXPECT_EQ(value.as_currency().units, units);
}

TEST(FormatPattern, FormatsMoneyAndDoublesWithTheReportPatterns) {
    // clang-format off
    const std::tuple<std::int64_t, const char*, const char*> money[] = {
        {0, "#####.#0", ".00"}, {-5000, "#####.#0", "-.50"}, {50, "####.#0", ".01"},
        {49, "####.#0", ".00"}, {-50, "######.#0", "-.01"}, {-49, "######.#0", ".00"},
        {12350, "#######.#0", "1.24"}, {-25000, "###0", "-3"}, {24999, "###0", "2"},
        {-4000, "###0", "0"}, {123456780000, "###0", "12345678"},
        {std::numeric_limits<std::int64_t>::min(), "#####.#0", "-922337203685477.58"}};
    const std::tuple<double, const char*, const char*> doubles[] = {
        {1.005, "####.#0", "1.01"}, {2.675, "####.#0", "2.68"}, {0.12499, "####.#0", ".12"},
        {-0.001, "####.#0", ".00"}, {-2.5, "###0", "-3"}, {1e20, "###0", "100000000000000000000"}};
    // clang-format on
    for (const auto& [units, pattern, text] : money) {
        EXPECT_EQ(format_pattern(Currency::from_units(units), pattern), text) << units;
    }
    for (const auto& [value, pattern, text] : doubles) {
        EXPECT_EQ(format_pattern(value, pattern), text) << value;
    }
}

TEST(MoneyColumn, KeepsTheLastCharactersOfAnAmountTooWideForItsColumn) {
    const std::tuple<std::int64_t, const char*, std::size_t, const char*> cases[] = {
        {-32000, "####.#0", 7, "  -3.20"},
        {1234567800, "#####.#0", 8, "23456.78"},
        // 9999.9999 rounds up to 10000.00, then loses its first digit.
        {99999999, "####.#0", 7, "0000.00"}};
    for (const auto& [units, pattern, width, text] : cases) {
        EXPECT_EQ(money_column(Currency::from_units(units), pattern, width), text) << units;
    }
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
