// The SQL text helpers of the store: the one dialect change, the literal lifting that lets
// statements differing only in their literals share one prepared statement, and the parse of
// updatable single-table selections.
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/store.h"
#include "platform/store_detail.h"

namespace tillora {
namespace {

// Character classes, looked up once per character: the per-ticket statements of a year's report
// are tokenised a few million times.
enum CharClass : unsigned char { kSpace = 1, kDigit = 2, kWordChar = 4 };
constexpr std::array<unsigned char, 256> make_char_classes() {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
            classes[c] |= kSpace;
        }
        if (digit) classes[c] |= kDigit;
        if (digit || letter || c == '_' || c >= 0x80) classes[c] |= kWordChar;
    }
    return classes;
}
constexpr std::array<unsigned char, 256> kCharClasses = make_char_classes();

bool in_class(char c, CharClass k) {
    return (kCharClasses[static_cast<unsigned char>(c)] & k) != 0;
}
bool is_space(char c) {
    return in_class(c, kSpace);
}
bool is_digit(char c) {
    return in_class(c, kDigit);
}
bool is_word_char(char c) {
    return in_class(c, kWordChar);
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool same_word(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

enum class Kind { Word, Identifier, String, Number, Parameter, Symbol, Comment };

struct Token {
    Kind kind;
    std::size_t begin;
    std::size_t end;
};

// Splits a statement into tokens. Quoted identifiers, strings (with '' inside) and comments are
// single tokens; a word runs over letters, digits and "_" so config03 stays one word; a blob
// literal x'..' is one word.
class Tokenizer {
  public:
    explicit Tokenizer(std::string_view sql) : s_(sql) {}

    bool next(Token& t) {
        while (i_ < s_.size() && is_space(s_[i_])) ++i_;
        if (i_ >= s_.size()) return false;
        const std::size_t b = i_;
        const char c = s_[i_];
        if (c == '\'') {
            t = {Kind::String, b, skip_quoted('\'')};
        } else if (c == '"' || c == '`') {
            t = {Kind::Identifier, b, skip_quoted(c)};
        } else if (c == '[') {
            const auto close = s_.find(']', b);
            i_ = close == std::string_view::npos ? s_.size() : close + 1;
            t = {Kind::Identifier, b, i_};
        } else if (c == '-' && peek(1) == '-') {
            const auto nl = s_.find('\n', b);
            i_ = nl == std::string_view::npos ? s_.size() : nl;
            t = {Kind::Comment, b, i_};
        } else if (c == '/' && peek(1) == '*') {
            const auto close = s_.find("*/", b + 2);
            i_ = close == std::string_view::npos ? s_.size() : close + 2;
            t = {Kind::Comment, b, i_};
        } else if (is_digit(c) || (c == '.' && is_digit(peek(1)))) {
            t = {Kind::Number, b, skip_number()};
        } else if (is_word_char(c)) {
            while (i_ < s_.size() && is_word_char(s_[i_])) ++i_;
            if ((i_ - b == 1) && (c == 'x' || c == 'X') && i_ < s_.size() && s_[i_] == '\'') {
                skip_quoted('\'');
            }
            t = {Kind::Word, b, i_};
        } else if (c == '?' || c == ':' || c == '@' || c == '$') {
            ++i_;
            while (i_ < s_.size() && is_word_char(s_[i_])) ++i_;
            t = {Kind::Parameter, b, i_};
        } else {
            ++i_;
            t = {Kind::Symbol, b, i_};
        }
        return true;
    }

  private:
    char peek(std::size_t ahead) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
    std::size_t skip_quoted(char quote) {
        ++i_;
        while (i_ < s_.size()) {
            if (s_[i_] == quote) {
                if (peek(1) == quote) {
                    i_ += 2;
                    continue;
                }
                return ++i_;
            }
            ++i_;
        }
        return i_;
    }
    std::size_t skip_number() {
        while (i_ < s_.size()) {
            const char c = s_[i_];
            const bool exponent_sign =
                (c == '+' || c == '-') && i_ > 0 && (s_[i_ - 1] == 'e' || s_[i_ - 1] == 'E');
            if (!(is_word_char(c) || c == '.' || exponent_sign)) break;
            ++i_;
        }
        return i_;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

std::vector<Token> tokens_of(std::string_view sql) {
    std::vector<Token> out;
    Tokenizer tz(sql);
    Token t{};
    while (tz.next(t)) {
        if (t.kind != Kind::Comment) out.push_back(t);
    }
    return out;
}

std::string_view text_of(std::string_view sql, const Token& t) {
    return sql.substr(t.begin, t.end - t.begin);
}

// The inner text of a '...' literal with each '' made one quote.
std::string unquote(std::string_view literal) {
    std::string out;
    out.reserve(literal.size());
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        out += literal[i];
        if (literal[i] == '\'') ++i;
    }
    return out;
}

// A plain decimal integer that fits 64 bits; other numbers (decimals, hex, huge) keep their text
// so that the engine reads them exactly as written.
bool integer_literal(std::string_view text, std::int64_t& value) {
    for (char c : text) {
        if (!is_digit(c)) return false;
    }
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

// How a word moves the lifting of literals: WHERE, HAVING and ON start a clause whose literals
// become parameters; the words that begin a clause of names or counts end it.
enum class ClauseEffect { None, Starts, Ends };
ClauseEffect clause_effect(std::string_view word) {
    switch (word.size()) {  // one comparison or a few for each word
        case 2:
            return same_word(word, "on") ? ClauseEffect::Starts : ClauseEffect::None;
        case 3:
            return same_word(word, "set") ? ClauseEffect::Ends : ClauseEffect::None;
        case 5:
            if (same_word(word, "where")) return ClauseEffect::Starts;
            return same_word(word, "order") || same_word(word, "group") || same_word(word, "limit")
                       ? ClauseEffect::Ends
                       : ClauseEffect::None;
        case 6:
            if (same_word(word, "having")) return ClauseEffect::Starts;
            return same_word(word, "select") || same_word(word, "offset") ||
                           same_word(word, "window") || same_word(word, "values")
                       ? ClauseEffect::Ends
                       : ClauseEffect::None;
        case 9:
            return same_word(word, "returning") ? ClauseEffect::Ends : ClauseEffect::None;
        default:
            return ClauseEffect::None;
    }
}
bool is_data_statement(std::string_view word) {
    static constexpr std::string_view kWords[] = {"select", "insert",  "update",
                                                  "delete", "replace", "with"};
    for (auto w : kWords) {
        if (same_word(word, w)) return true;
    }
    return false;
}
bool is_schema_statement(std::string_view word) {
    return same_word(word, "create") || same_word(word, "drop") || same_word(word, "alter");
}
bool is_cacheable_control(std::string_view word) {
    return same_word(word, "begin") || same_word(word, "commit") || same_word(word, "end") ||
           same_word(word, "rollback");
}

bool is_clause_word(std::string_view word) {
    static constexpr std::string_view kWords[] = {
        "where",  "order",     "group", "limit", "having",  "window",  "join",
        "inner",  "left",      "right", "full",  "cross",   "natural", "union",
        "except", "intersect", "on",    "using", "indexed", "not"};
    for (auto w : kWords) {
        if (same_word(word, w)) return true;
    }
    return false;
}

std::string identifier_name(std::string_view text) {
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '`' || text.front() == '[')) {
        std::string inner(text.substr(1, text.size() - 2));
        if (text.front() != '[') {
            const char q = text.front();
            std::string out;
            for (std::size_t i = 0; i < inner.size(); ++i) {
                out += inner[i];
                if (inner[i] == q && i + 1 < inner.size() && inner[i + 1] == q) ++i;
            }
            return out;
        }
        return inner;
    }
    return std::string(text);
}

}  // namespace

std::string translate_dialect(std::string_view sql) {
    const auto tokens = tokens_of(sql);
    if (tokens.size() >= 3 && tokens[0].kind == Kind::Word &&
        same_word(text_of(sql, tokens[0]), "delete") && tokens[1].kind == Kind::Symbol &&
        text_of(sql, tokens[1]) == "*" && tokens[2].kind == Kind::Word &&
        same_word(text_of(sql, tokens[2]), "from")) {
        std::string out(sql.substr(0, tokens[0].end));
        out += ' ';
        out += sql.substr(tokens[2].begin);
        return out;
    }
    return std::string(sql);
}

namespace detail {

StatementKey parametrise(std::string_view sql) {
    StatementKey key;
    Tokenizer tz(sql);
    Token t{};
    bool first = true;
    bool lifting = false;
    std::size_t copied = 0;  // sql[0, copied) is already in key.text
    key.text.reserve(sql.size());
    key.params.reserve(8);  // a report's statement lifts a handful of literals
    while (tz.next(t)) {
        const std::string_view word = text_of(sql, t);
        if (first) {
            first = false;
            if (t.kind != Kind::Word) return {std::string(sql), {}, false, false};
            if (is_cacheable_control(word)) return {std::string(sql), {}, true, false};
            if (!is_data_statement(word)) {
                return {std::string(sql), {}, false, is_schema_statement(word)};
            }
        }
        if (t.kind == Kind::Parameter) return {std::string(sql), {}, true, true};
        if (t.kind == Kind::Word) {
            const ClauseEffect effect = clause_effect(word);
            if (effect != ClauseEffect::None) lifting = effect == ClauseEffect::Starts;
            continue;
        }
        if (!lifting) continue;
        std::int64_t number = 0;
        if (t.kind == Kind::String) {
            key.params.emplace_back(unquote(word));
        } else if (t.kind == Kind::Number && integer_literal(word, number)) {
            key.params.emplace_back(number);
        } else {
            continue;
        }
        key.text.append(sql.substr(copied, t.begin - copied));
        key.text += '?';
        copied = t.end;
    }
    key.text.append(sql.substr(copied));
    key.cacheable = true;
    key.transactional = true;
    return key;
}

std::optional<UpdatableSelect> parse_updatable(std::string_view sql) {
    const auto tokens = tokens_of(sql);
    std::size_t i = 0;
    auto word_at = [&](std::size_t k, std::string_view w) {
        return k < tokens.size() && tokens[k].kind == Kind::Word &&
               same_word(text_of(sql, tokens[k]), w);
    };
    if (!word_at(i, "select")) return std::nullopt;
    ++i;
    if (word_at(i, "distinct")) return std::nullopt;
    if (word_at(i, "all")) ++i;
    if (i >= tokens.size()) return std::nullopt;
    UpdatableSelect out;
    out.list_start = tokens[i].begin;
    int depth = 0;
    for (; i < tokens.size(); ++i) {
        const auto w = text_of(sql, tokens[i]);
        if (tokens[i].kind == Kind::Symbol && w == "(") ++depth;
        if (tokens[i].kind == Kind::Symbol && w == ")") --depth;
        if (depth == 0 && word_at(i, "from")) break;
    }
    if (i + 1 >= tokens.size()) return std::nullopt;
    const std::size_t from = i;
    out.list = std::string(sql.substr(out.list_start, tokens[from].begin - out.list_start));
    const Token& table = tokens[from + 1];
    if (table.kind != Kind::Word && table.kind != Kind::Identifier) return std::nullopt;
    out.table = identifier_name(text_of(sql, table));
    out.qualifier = std::string(text_of(sql, table));
    std::size_t k = from + 2;
    if (word_at(k, "as")) ++k;
    if (k < tokens.size() &&
        (tokens[k].kind == Kind::Identifier ||
         (tokens[k].kind == Kind::Word && !is_clause_word(text_of(sql, tokens[k]))))) {
        out.qualifier = std::string(text_of(sql, tokens[k]));
        ++k;
    } else if (k > from + 2) {
        return std::nullopt;  // "as" without an alias
    }
    const std::size_t from_end = k < tokens.size() ? tokens[k - 1].end : tokens.back().end;
    out.from_clause = std::string(sql.substr(tokens[from].begin, from_end - tokens[from].begin));
    // Only WHERE, ORDER BY and LIMIT may follow; joins, groups and compounds are not writable.
    if (k < tokens.size() && !word_at(k, "where") && !word_at(k, "order") && !word_at(k, "limit") &&
        text_of(sql, tokens[k]) != ";") {
        return std::nullopt;
    }
    depth = 0;
    for (; k < tokens.size(); ++k) {
        const auto w = text_of(sql, tokens[k]);
        if (tokens[k].kind == Kind::Symbol && w == "(") ++depth;
        if (tokens[k].kind == Kind::Symbol && w == ")") --depth;
        if (depth != 0 || tokens[k].kind != Kind::Word) continue;
        for (auto bad : {"group", "union", "except", "intersect", "window", "having"}) {
            if (same_word(w, bad)) return std::nullopt;
        }
    }
    return out;
}

}  // namespace detail
}  // namespace tillora
