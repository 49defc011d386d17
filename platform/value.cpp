#include "platform/value.h"

#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace tillora {

namespace {

// A decimal number scaled to a fixed count of decimals: `digits` is the magnitude times
// 10^decimals, rounded, without leading zeros ("0" for zero).
struct Scaled {
    bool negative = false;
    std::string digits;
};

// Adds one to a string of decimal digits.
void increment_digits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

std::string strip_leading_zeros(std::string digits) {
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return "0";
    return digits.substr(first);
}

// Rounds a double to `decimals` places, half away from zero. The rounding works on the shortest
// decimal text that reads back as the same double, so 1.005 (stored as 1.00499999...) is
// treated as the 1.005 the user typed and rounds to 1.01.
Scaled round_double(double value, int decimals) {
    if (!std::isfinite(value)) throw std::out_of_range("the number is not finite");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string text(buf, res.ptr);  // "-1.2345e+01"
    Scaled out;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        out.negative = true;
        ++pos;
    }
    const auto e_pos = text.find('e');
    std::string mantissa;
    for (std::size_t i = pos; i < e_pos; ++i) {
        if (text[i] != '.') mantissa += text[i];
    }
    const int exponent = std::atoi(text.c_str() + e_pos + 1);
    // value = mantissa * 10^(exponent - (n - 1)); scaled = mantissa * 10^shift.
    const int n = static_cast<int>(mantissa.size());
    const int shift = exponent - (n - 1) + decimals;
    if (shift >= 0) {
        out.digits = mantissa + std::string(static_cast<std::size_t>(shift), '0');
    } else {
        const int kept = n + shift;
        if (kept < 0) {
            out.digits = "0";
        } else {
            out.digits = mantissa.substr(0, static_cast<std::size_t>(kept));
            if (out.digits.empty()) out.digits = "0";
            if (mantissa[static_cast<std::size_t>(kept)] >= '5') increment_digits(out.digits);
        }
    }
    out.digits = strip_leading_zeros(out.digits);
    if (out.digits == "0") out.negative = false;
    return out;
}

// Rounds a currency amount to `decimals` places (0-4), half away from zero.
Scaled round_currency(Currency amount, int decimals) {
    // Work on the unsigned magnitude so that the most negative amount does not overflow.
    std::uint64_t magnitude = amount.units < 0 ? 0 - static_cast<std::uint64_t>(amount.units)
                                               : static_cast<std::uint64_t>(amount.units);
    Scaled out;
    if (decimals < 4) {
        std::uint64_t divisor = 1;
        for (int i = decimals; i < 4; ++i) divisor *= 10;
        magnitude = magnitude / divisor + (magnitude % divisor >= divisor / 2 ? 1 : 0);
    }
    out.digits = std::to_string(magnitude);
    if (decimals > 4) out.digits += std::string(static_cast<std::size_t>(decimals - 4), '0');
    out.negative = amount.units < 0 && magnitude != 0;
    return out;
}

// The layout a pattern asks for: decimals after the point and the least count of digits before
// it ("#####.#0": 2 and 0; "###0": 0 and 1).
struct PatternShape {
    int decimals = 0;
    std::size_t min_int_digits = 0;
};

PatternShape shape_of(std::string_view pattern) {
    PatternShape shape;
    const auto point = pattern.find('.');
    const std::string_view int_part = pattern.substr(0, point);
    for (char c : int_part) {
        if (c == '0') ++shape.min_int_digits;
    }
    if (point != std::string_view::npos) {
        shape.decimals = static_cast<int>(pattern.size() - point - 1);
    }
    return shape;
}

std::string layout(const Scaled& value, const PatternShape& shape) {
    std::string digits = value.digits;
    const auto decimals = static_cast<std::size_t>(shape.decimals);
    if (digits.size() < decimals) digits.insert(0, decimals - digits.size(), '0');
    std::string int_part = digits.substr(0, digits.size() - decimals);
    int_part =
        int_part.find_first_not_of('0') == std::string::npos ? "" : strip_leading_zeros(int_part);
    if (int_part.size() < shape.min_int_digits) {
        int_part.insert(0, shape.min_int_digits - int_part.size(), '0');
    }
    std::string text = value.negative ? "-" : "";
    text += int_part;
    if (decimals > 0) text += "." + digits.substr(digits.size() - decimals);
    return text;
}

std::string currency_text(Currency amount) {
    Scaled scaled = round_currency(amount, 4);
    std::string digits = scaled.digits;
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
    std::string text = scaled.negative ? "-" : "";
    text += digits.substr(0, digits.size() - 4);
    std::string fraction = digits.substr(digits.size() - 4);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::int64_t round_to_int(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return std::llround(value);
}

}  // namespace

Currency Currency::from_double(double value) {
    const Scaled scaled = round_double(value, 4);
    std::uint64_t magnitude = 0;
    const char* first = scaled.digits.data();
    const auto res = std::from_chars(first, first + scaled.digits.size(), magnitude);
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (res.ec != std::errc() || magnitude > limit) {
        throw std::out_of_range("the amount is too large for a currency value");
    }
    const auto units = static_cast<std::int64_t>(magnitude);
    return Currency{scaled.negative ? -units : units};
}

std::string Value::as_text() const {
    return default_text(*this);
}

double Value::as_double() const {
    struct Visitor {
        double operator()(Empty) const { return 0.0; }
        double operator()(Null) const { return 0.0; }
        double operator()(std::int64_t v) const { return static_cast<double>(v); }
        double operator()(double v) const { return v; }
        double operator()(Currency v) const { return v.to_double(); }
        double operator()(const std::string& v) const { return leading_number(v); }
    };
    return std::visit(Visitor{}, data_);
}

std::int64_t Value::as_int() const {
    if (const auto* i = std::get_if<std::int64_t>(&data_)) return *i;
    if (const auto* c = std::get_if<Currency>(&data_)) {
        return std::stoll(round_currency(*c, 0).digits) * (c->units < 0 ? -1 : 1);
    }
    return round_to_int(as_double());
}

Currency Value::as_currency() const {
    if (const auto* c = std::get_if<Currency>(&data_)) return *c;
    if (const auto* i = std::get_if<std::int64_t>(&data_)) {
        if (*i > std::numeric_limits<std::int64_t>::max() / 10000 ||
            *i < std::numeric_limits<std::int64_t>::min() / 10000) {
            throw std::out_of_range("the amount is too large for a currency value");
        }
        return Currency{*i * 10000};
    }
    if (is_empty() || is_null()) return Currency{};
    return Currency::from_double(as_double());
}

double leading_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_blank(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool any_digit = false;
    while (i < text.size() && is_digit(text[i])) {
        ++i;
        any_digit = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i])) {
            ++i;
            any_digit = true;
        }
    }
    if (!any_digit) return 0.0;
    // The exponent counts only when at least one digit follows the e (and its sign).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && is_digit(text[j])) {
            while (j < text.size() && is_digit(text[j])) ++j;
            i = j;
        }
    }
    // strtod needs a terminated copy; it gives +-HUGE_VAL on overflow and 0 on underflow.
    const std::string number(text.substr(start, i - start));
    const double value = std::strtod(number.c_str(), nullptr);
    return value == 0.0 ? 0.0 : value;
}

IdNumber IdNumber::of_text(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_blank(text[i])) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t first = i;
    while (i < text.size() && is_digit(text[i])) ++i;
    std::string digits = strip_leading_zeros(std::string(text.substr(first, i - first)));
    IdNumber id;
    id.too_long_ = digits.size() > 19;
    // Decimals or an exponent: the number is not a plain run of digits.
    if (i < text.size() && (text[i] == '.' || text[i] == 'e' || text[i] == 'E')) {
        id.text_ = plain_number(leading_number(text));
    } else if (i > first) {
        id.text_ = (negative && digits != "0" ? "-" : "") + digits;
    }
    return id;
}

std::string zero_padded(std::int64_t n, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(n));
    return buf;
}

std::string plain_number(double value) {
    if (value == 0.0) return "0";  // also -0
    char buf[512];
    const auto format =
        std::fabs(value) < 1e15 ? std::chars_format::fixed : std::chars_format::scientific;
    const auto res = std::to_chars(buf, buf + sizeof buf, value, format);
    if (res.ec != std::errc()) {
        // Only extremely small magnitudes need more room than the buffer holds.
        const auto sci = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
        return std::string(buf, sci.ptr);
    }
    return std::string(buf, res.ptr);
}

// Numbers print in their plain decimal form with a leading zero before the point ("0.25", not
// ".25") and no leading blank, the way the export records show them.
std::string default_text(const Value& value) {
    struct Visitor {
        std::string operator()(Value::Empty) const { return ""; }
        std::string operator()(Value::Null) const { return ""; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const { return plain_number(v); }
        std::string operator()(Currency v) const { return currency_text(v); }
        std::string operator()(const std::string& v) const { return v; }
    };
    return std::visit(Visitor{}, value.data());
}

// A negative amount that rounds to zero prints without its minus sign (".00", not "-.00").
std::string format_pattern(Currency amount, std::string_view pattern) {
    const PatternShape shape = shape_of(pattern);
    return layout(round_currency(amount, shape.decimals), shape);
}

std::string format_pattern(double amount, std::string_view pattern) {
    const PatternShape shape = shape_of(pattern);
    return layout(round_double(amount, shape.decimals), shape);
}

std::string right_column(std::string_view text, std::size_t width) {
    const std::size_t count = char_count(text);
    if (count >= width) return last_chars(text, width);
    return std::string(width - count, ' ') + std::string(text);
}

std::string left_column(std::string_view text, std::size_t width) {
    const std::size_t count = char_count(text);
    if (count >= width) return first_chars(text, width);
    return std::string(text) + std::string(width - count, ' ');
}

std::string money_column(Currency amount, std::string_view pattern, std::size_t width) {
    return right_column(format_pattern(amount, pattern), width);
}

std::string upper(std::string_view text) {
    return upper_case(text);
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace tillora
