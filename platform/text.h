// Text as a reader sees it: UTF-8 strings measured, cut and upper-cased by user-perceived
// characters (a precomposed é is one character, a combining accent adds none), and bytes from
// other programs turned into UTF-8 where they enter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tillora {

// True when `bytes` is well-formed UTF-8.
bool is_utf8(std::string_view bytes);
// Leaves well-formed UTF-8 as it is and reads anything else as Windows-1252 (the code page of
// registers that do not write UTF-8), so no broken byte ever reaches a report. Never fails.
void make_utf8(std::string& bytes);

// The number of characters of a UTF-8 text. Plain ASCII counts one per byte.
std::size_t char_count(std::string_view text);
// The first `count` characters (all of the text when it is shorter).
std::string first_chars(std::string_view text, std::size_t count);
// The last `count` characters (all of the text when it is shorter).
std::string last_chars(std::string_view text, std::size_t count);
// The characters from position `from` (0 is the first) on, at most `count` of them; empty when
// the text has no character at `from`.
std::string chars_from(std::string_view text, std::size_t from,
                       std::size_t count = std::string_view::npos);
// The text without its last character (empty stays empty).
std::string without_last_char(std::string_view text);
// The characters of a text, each as its own UTF-8 string.
std::vector<std::string> characters(std::string_view text);

// Full Unicode upper case (é gives É, ß gives SS), independent of the machine's locale.
std::string upper_case(std::string_view text);
// The composed form (NFC): a letter followed by a combining accent becomes the precomposed
// letter where Unicode has one.
std::string composed(std::string_view text);

}  // namespace tillora
