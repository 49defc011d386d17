// The leading-number parser and the number patterns of the reports.
#include <cmath>
#include <cstddef>
#include <cstdint>
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
    (void)as_text.as_currency();
    (void)format_pattern(number, pattern);
    if (std::isfinite(number) && std::fabs(number) < 1e15) {
        const Currency money = Currency::from_double(number);
        (void)money_column(money, pattern, 10);
        // The plain text of a number reads back as the same number.
        const std::string plain = plain_number(number);
        if (leading_number(plain) != number) __builtin_trap();
    }
    (void)default_text(as_text);
    return 0;
}
