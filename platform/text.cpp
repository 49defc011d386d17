#include "platform/text.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <memory>

namespace tillora {

namespace {

bool is_ascii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The character break rules of Unicode (grapheme clusters), one iterator per thread.
icu::BreakIterator* character_breaks() {
    thread_local const std::unique_ptr<icu::BreakIterator> breaks = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> it(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(it) : nullptr;
    }();
    return breaks.get();
}

// Calls `on_end` with the byte offset just after each character of `text`, in order, until it
// returns false. ASCII text is one character per byte, so its output never depends on ICU.
template <typename OnEnd>
void for_each_char_end(std::string_view text, OnEnd&& on_end) {
    if (is_ascii(text)) {
        for (std::size_t i = 1; i <= text.size(); ++i) {
            if (!on_end(i)) return;
        }
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    UText* utext =
        utext_openUTF8(nullptr, text.data(), static_cast<std::int64_t>(text.size()), &status);
    icu::BreakIterator* breaks = character_breaks();
    if (breaks && U_SUCCESS(status)) breaks->setText(utext, status);
    if (breaks && U_SUCCESS(status)) {
        for (std::int32_t at = breaks->next(); at != icu::BreakIterator::DONE;
             at = breaks->next()) {
            if (!on_end(static_cast<std::size_t>(at))) break;
        }
    } else {
        // Without the break rules, every code point counts as a character.
        const auto length = static_cast<std::int32_t>(text.size());
        for (std::int32_t i = 0; i < length;) {
            UChar32 c;
            U8_NEXT(text.data(), i, length, c);
            if (!on_end(static_cast<std::size_t>(i))) break;
        }
    }
    utext_close(utext);
}

// The byte offset where character `n` (from 0) starts; the text's size when it has n or fewer
// characters.
std::size_t offset_of_char(std::string_view text, std::size_t n) {
    if (n == 0) return 0;
    // An ASCII start whose next byte is ASCII too: no accent can join the n-th character.
    if (n < text.size() && is_ascii(text.substr(0, n + 1))) return n;
    std::size_t offset = text.size(), seen = 0;
    for_each_char_end(text, [&](std::size_t end) {
        if (++seen < n) return true;
        offset = end;
        return false;
    });
    return offset;
}

std::string to_utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

icu::UnicodeString from_utf8(std::string_view text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
}

}  // namespace

bool is_utf8(std::string_view bytes) {
    const auto length = static_cast<std::int32_t>(bytes.size());
    for (std::int32_t i = 0; i < length;) {
        if (static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]) < 0x80) {
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT(bytes.data(), i, length, c);
        if (c < 0) return false;
    }
    return true;
}

void make_utf8(std::string& bytes) {
    if (is_utf8(bytes)) return;
    const icu::UnicodeString text(bytes.data(), static_cast<std::int32_t>(bytes.size()),
                                  "windows-1252");
    bytes = to_utf8(text);
}

std::size_t char_count(std::string_view text) {
    std::size_t count = 0;
    for_each_char_end(text, [&](std::size_t) {
        ++count;
        return true;
    });
    return count;
}

std::string first_chars(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, offset_of_char(text, count)));
}

std::string last_chars(std::string_view text, std::size_t count) {
    const std::size_t total = char_count(text);
    if (total <= count) return std::string(text);
    return std::string(text.substr(offset_of_char(text, total - count)));
}

std::string chars_from(std::string_view text, std::size_t from, std::size_t count) {
    const std::string_view rest = text.substr(offset_of_char(text, from));
    if (count == std::string_view::npos) return std::string(rest);
    return first_chars(rest, count);
}

std::string without_last_char(std::string_view text) {
    std::size_t last_start = 0, previous_end = 0;
    for_each_char_end(text, [&](std::size_t end) {
        last_start = previous_end;
        previous_end = end;
        return true;
    });
    return std::string(text.substr(0, last_start));
}

std::vector<std::string> characters(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for_each_char_end(text, [&](std::size_t end) {
        out.emplace_back(text.substr(start, end - start));
        start = end;
        return true;
    });
    return out;
}

std::string upper_case(std::string_view text) {
    if (is_ascii(text)) {
        std::string out(text);
        for (char& c : out) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        return out;
    }
    icu::UnicodeString u = from_utf8(text);
    u.toUpper(icu::Locale::getRoot());
    return to_utf8(u);
}

std::string composed(std::string_view text) {
    if (is_ascii(text)) return std::string(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return std::string(text);
    const icu::UnicodeString out = nfc->normalize(from_utf8(text), status);
    return U_SUCCESS(status) ? to_utf8(out) : std::string(text);
}

}  // namespace tillora
