// Values read from and written to the databases, and the number and text rules of the reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tillora {

// Money: a 64-bit count of ten-thousandths (four decimal places, fixed point).
struct Currency {
    std::int64_t units = 0;

    // Rounds a decimal value to the nearest ten-thousandth (half away from zero).
    static Currency from_double(double value);
    static constexpr Currency from_units(std::int64_t u) { return Currency{u}; }
    double to_double() const { return static_cast<double>(units) / 10000.0; }

    friend Currency operator+(Currency a, Currency b) { return Currency{a.units + b.units}; }
    friend Currency operator-(Currency a, Currency b) { return Currency{a.units - b.units}; }
    friend Currency operator-(Currency a) { return Currency{-a.units}; }
    Currency& operator+=(Currency b) {
        units += b.units;
        return *this;
    }
    Currency& operator-=(Currency b) {
        units -= b.units;
        return *this;
    }
    friend bool operator==(Currency a, Currency b) = default;
};

// A field or variable value of any kind: empty (never set), null (database null), whole
// number, floating point, currency or text.
class Value {
  public:
    struct Empty {
        bool operator==(const Empty&) const = default;
    };
    struct Null {
        bool operator==(const Null&) const = default;
    };
    using Data = std::variant<Empty, Null, std::int64_t, double, Currency, std::string>;

    Value() = default;
    Value(std::int64_t v) : data_(v) {}
    Value(int v) : data_(static_cast<std::int64_t>(v)) {}
    Value(double v) : data_(v) {}
    Value(Currency v) : data_(v) {}
    Value(std::string v) : data_(std::move(v)) {}
    Value(const char* v) : data_(std::string(v)) {}
    static Value null() {
        Value v;
        v.data_ = Null{};
        return v;
    }

    bool is_empty() const { return std::holds_alternative<Empty>(data_); }
    bool is_null() const { return std::holds_alternative<Null>(data_); }
    bool is_text() const { return std::holds_alternative<std::string>(data_); }
    bool is_number() const { return !is_empty() && !is_null() && !is_text(); }
    const Data& data() const { return data_; }

    // Text form: the default text form of numbers, the text itself, "" for empty or null.
    std::string as_text() const;
    // Numeric value; a text gives the numeric value of its leading number, empty or null 0.
    double as_double() const;
    // Whole number (rounded to nearest); text as for as_double, empty or null 0.
    std::int64_t as_int() const;
    // Money value rounded to four decimals; empty or null 0.
    Currency as_currency() const;

    friend bool operator==(const Value&, const Value&) = default;

  private:
    Data data_;
};

// A whole number as typed or swiped (employee ID, operator or access number), kept digit for
// digit: no floating point comes between the text and the statements that look it up.
class IdNumber {
  public:
    IdNumber() = default;
    IdNumber(std::int64_t v) : text_(std::to_string(v)) {}
    // The leading number of a text. A run of digits (after blanks and an optional sign) keeps
    // every digit, without leading zeros; a number with decimals or an exponent is read as by
    // leading_number. No number gives 0.
    static IdNumber of_text(std::string_view text);
    // Its plain decimal text: "4111111111111111", "0", "12.5".
    const std::string& text() const { return text_; }
    // True when its whole part has more than 19 digits, more than any card number has.
    bool too_long() const { return too_long_; }
    friend bool operator==(const IdNumber&, const IdNumber&) = default;

  private:
    std::string text_ = "0";
    bool too_long_ = false;
};

// The numeric value of the leading number of a text: leading blanks skipped, an optional sign,
// digits with at most one decimal point and an optional exponent; reading stops at the first
// character that cannot continue a number. 0 when the text does not start with a number.
double leading_number(std::string_view text);

// The shortest plain decimal text of a number: 12.5 not 12.50, 12345 not 12345.0, no exponent
// for ordinary magnitudes, "-" for negatives, no leading blank.
std::string plain_number(double value);
// Decimal text of a whole number padded with leading zeros to at least `width` digits (7, 2 gives
// "07"; a wider number is kept whole).
std::string zero_padded(std::int64_t n, int width);

// The default text form of a value (export records, messages): numbers as plain_number,
// currency with up to four decimals and no trailing zeros, text unchanged, null and empty "".
std::string default_text(const Value& value);

// Formats a number with one of the report patterns "#####.#0", "####.#0", "######.#0",
// "#######.#0" (two decimals, no leading zero before the point, minus sign kept: .00, .50,
// 12.50, -3.20) or "###0" (whole number, at least one digit). Rounds half away from zero.
std::string format_pattern(Currency amount, std::string_view pattern);
std::string format_pattern(double amount, std::string_view pattern);

// Right-aligned column: blanks followed by the text, last `width` characters kept (so a text
// wider than the column keeps its rightmost characters: 123456.78 in 8 gives 23456.78).
// Widths count characters as a reader sees them (platform/text.h), never bytes.
std::string right_column(std::string_view text, std::size_t width);
// Left-aligned column: the text followed by blanks, first `width` characters kept.
std::string left_column(std::string_view text, std::size_t width);

// Amount column: format_pattern then right_column.
std::string money_column(Currency amount, std::string_view pattern, std::size_t width);

// Upper-cased copy, full Unicode (é gives É).
std::string upper(std::string_view text);
// Copy without leading and trailing blanks (spaces and tabs).
std::string trim(std::string_view text);

}  // namespace tillora
