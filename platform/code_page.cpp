#include "platform/code_page.h"

#include <iconv.h>

#include <array>
#include <cctype>
#include <cerrno>

#include "platform/text.h"
#include "platform/value.h"

namespace tillora {

namespace {

// The tables of the ESC t command that Western and Eastern European receipts need.
constexpr std::array<CodePage, 9> kCodePages{{
    {"PC437", 0, "CP437"},
    {"PC850", 2, "CP850"},
    {"PC860", 3, "CP860"},
    {"PC863", 4, "CP863"},
    {"PC865", 5, "CP865"},
    {"WPC1252", 16, "CP1252"},
    {"PC866", 17, "CP866"},
    {"PC852", 18, "CP852"},
    {"PC858", 19, "CP858"},
}};

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool is_ascii_char(std::string_view c) {
    return c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x80;
}

iconv_t converter(void* handle) {
    return static_cast<iconv_t>(handle);
}

}  // namespace

const CodePage& default_code_page() {
    return kCodePages.back();
}

std::optional<CodePage> code_page_named(std::string_view name) {
    for (const CodePage& page : kCodePages) {
        if (same_name(page.name, name)) return page;
    }
    return std::nullopt;
}

CodePage code_page_for_queue(std::string_view setting, std::string_view queue,
                             std::string_view queue_option) {
    std::optional<CodePage> for_all, for_queue;
    std::size_t start = 0;
    while (start <= setting.size()) {
        const std::size_t end = std::min(setting.find(',', start), setting.size());
        const std::string_view entry = setting.substr(start, end - start);
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (auto page = code_page_named(trim(entry))) for_all = page;
        } else if (same_name(trim(entry.substr(0, equals)), queue)) {
            if (auto page = code_page_named(trim(entry.substr(equals + 1)))) for_queue = page;
        }
        start = end + 1;
    }
    if (for_queue) return *for_queue;
    if (auto page = code_page_named(trim(queue_option))) return *page;
    return for_all.value_or(default_code_page());
}

std::string select_code_page(const CodePage& page) {
    return std::string("\x1bt", 2) + static_cast<char>(page.table);
}

CodePageEncoder::CodePageEncoder(const CodePage& page)
    : page_(page), converter_(iconv_open(page.iconv_name, "UTF-8")) {}

CodePageEncoder::~CodePageEncoder() {
    if (converter_ != reinterpret_cast<void*>(-1)) iconv_close(converter(converter_));
}

// Each character is converted on its own, so one the code page lacks becomes exactly one "?"
// and the columns of the receipt stay in place. A letter with a combining accent is composed
// first, so it prints as the code page's accented letter.
std::string CodePageEncoder::encode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const std::string text = composed(utf8);
    for (const std::string& c : characters(text)) {
        if (is_ascii_char(c)) {
            out += c;
            continue;
        }
        char bytes[16];
        char* in = const_cast<char*>(c.data());
        std::size_t in_left = c.size();
        char* put = bytes;
        std::size_t out_left = sizeof bytes;
        const bool usable = converter_ != reinterpret_cast<void*>(-1);
        if (usable) iconv(converter(converter_), nullptr, nullptr, nullptr, nullptr);
        const bool done = usable &&
                          iconv(converter(converter_), &in, &in_left, &put, &out_left) !=
                              static_cast<std::size_t>(-1) &&
                          in_left == 0;
        if (done) {
            out.append(bytes, static_cast<std::size_t>(put - bytes));
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace tillora
