// The leading-number parser and the number patterns of the reports.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tillora;
    if (size == 0) return 0;
    static constexpr std::string_view kPatterns[] = {"#####.#0", "####.#0", "######.#0",
                                                     "#######.#0", "###0"};
    const std::string_view pattern = kPatterns[data[0] % 5];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const double number = leading_number(text);
    const Value as_text{std::string(text)};
    (void)as_text.as_int();
    try {
        (void)as_text.as_currency();
    } catch (const std::out_of_range&) {
        // An amount beyond the currency range is refused with this exception.
    }
    try {
        (void)format_pattern(number, pattern);
    } catch (const std::out_of_range&) {
        // An infinite number has no text in the patterns (leading_number of "1e999").
        if (std::isfinite(number)) __builtin_trap();
    }
    if (std::isfinite(number) && std::fabs(number) < 1e14) {
        const Currency money = Currency::from_double(number);
        (void)money_column(money, pattern, 10);
        // The plain text of a number reads back as the same number.
        const std::string plain = plain_number(number);
        if (leading_number(plain) != number) __builtin_trap();
    }
    (void)default_text(as_text);
    return 0;
}
