// The exact sum() of the store. SQLite adds floating-point values one after the other, so a
// column of money amounts such as 12.34 sums with binary rounding errors. This aggregate adds
// whole numbers as 64-bit integers and every other number rounded to ten-thousandths, so a sum of
// amounts with up to four decimals is exact.
#include <cmath>
#include <cstdint>
#include <optional>

#include "platform/store_detail.h"

namespace tillora::detail {

std::optional<Currency> to_currency(double value) {
    if (!(std::fabs(value) < 9.0e14)) return std::nullopt;  // also NaN
    const double scaled = value * 10000.0;
    const double rounded = std::round(scaled);
    // Close to a half the product may have rounded across it: decide on the decimal digits.
    if (std::fabs(std::fabs(scaled - rounded) - 0.5) < 1e-6) return Currency::from_double(value);
    return Currency{static_cast<std::int64_t>(rounded)};
}

namespace {

struct SumState {
    std::int64_t integer_sum = 0;  // exact sum while every input is a whole number
    std::int64_t units = 0;        // exact sum in ten-thousandths
    double approximate = 0;        // used only when a value is out of range of the above
    bool any = false;
    bool all_integers = true;
    bool integer_overflow = false;
    bool units_overflow = false;
};

void add_units(SumState& s, std::int64_t units) {
    if (__builtin_add_overflow(s.units, units, &s.units)) s.units_overflow = true;
}

void sum_step(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* s = static_cast<SumState*>(sqlite3_aggregate_context(ctx, sizeof(SumState)));
    if (s == nullptr) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    sqlite3_value* v = argv[0];
    const int type = sqlite3_value_numeric_type(v);  // text that looks numeric becomes a number
    if (type == SQLITE_NULL) return;
    if (!s->any) *s = SumState{};
    s->any = true;
    if (type == SQLITE_INTEGER) {
        const std::int64_t i = sqlite3_value_int64(v);
        s->approximate += static_cast<double>(i);
        if (__builtin_add_overflow(s->integer_sum, i, &s->integer_sum)) s->integer_overflow = true;
        std::int64_t units = 0;
        if (__builtin_mul_overflow(i, std::int64_t{10000}, &units)) {
            s->units_overflow = true;
        } else {
            add_units(*s, units);
        }
        return;
    }
    const double d = sqlite3_value_double(v);
    s->approximate += d;
    s->all_integers = false;
    if (const auto c = to_currency(d)) {
        add_units(*s, c->units);
    } else {
        s->units_overflow = true;
    }
}

void sum_final(sqlite3_context* ctx) {
    auto* s = static_cast<SumState*>(sqlite3_aggregate_context(ctx, 0));
    if (s == nullptr || !s->any) {
        sqlite3_result_null(ctx);
        return;
    }
    if (s->all_integers) {
        if (s->integer_overflow) {
            sqlite3_result_error(ctx, "integer overflow", -1);
        } else {
            sqlite3_result_int64(ctx, s->integer_sum);
        }
    } else if (s->units_overflow) {
        sqlite3_result_double(ctx, s->approximate);
    } else {
        sqlite3_result_double(ctx, static_cast<double>(s->units) / 10000.0);
    }
}

}  // namespace

int register_exact_sum(sqlite3* db) {
    return sqlite3_create_function_v2(db, "sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      nullptr, sum_step, sum_final, nullptr);
}

}  // namespace tillora::detail
