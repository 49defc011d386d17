// Text by characters: widths, cuts and case of accented text, text from Windows-1252 registers,
// exact card numbers and the bytes of the receipt printers' code pages.
#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/value.h"

namespace tillora {
namespace {

const std::string kJose = "Jos\xc3\xa9 M\xc3\xbcller";         // José Müller
const std::string kCafe = "Cafe\xcc\x81";                      // e + combining acute
const std::string kFlag = "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7";  // two regional indicators

TEST(Text, CountsCutsAndPadsCharacters) {
    EXPECT_EQ(char_count(""), 0u);
    EXPECT_EQ(char_count(kJose), 11u);
    EXPECT_EQ(char_count(kCafe), 4u);
    EXPECT_EQ(char_count("a" + kFlag + "b"), 3u);
    const struct {
        std::string actual, expected;
    } cases[] = {
        {left_column(kJose, 10), "Jos\xc3\xa9 M\xc3\xbclle"},
        {left_column(kJose, 12), kJose + " "},
        {left_column(kCafe + " au lait", 5), kCafe + " "},
        {right_column("M\xc3\xbcller", 5), "\xc3\xbcller"},
        {right_column("\xc3\xa9", 3), "  \xc3\xa9"},
        {right_column("12.50", 7), "  12.50"},
        {first_chars(kFlag + "x", 1), kFlag},
        {last_chars(kJose, 6), "M\xc3\xbcller"},
        {chars_from("2 Pi\xc3\xb1"
                    "a",
                    2),
         "Pi\xc3\xb1"
         "a"},
        {chars_from("Cr\xc3\xa8me", 1, 3), "r\xc3\xa8m"},
        {chars_from("\xc3\xa9", 1), ""},
        {without_last_char(kCafe), "Caf"},
        {without_last_char("ab"), "a"},
        {without_last_char(""), ""},
        {upper("Caf\xc3\xa9 supplies"), "CAF\xc3\x89 SUPPLIES"},
        {upper("stra\xc3\x9f"
               "e"),
         "STRASSE"},
        {upper("paidout 2.25"), "PAIDOUT 2.25"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Text, BytesThatAreNotUtf8AreReadAsWindows1252) {
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"Jos\xe9 M\xfcller", kJose},
        {"\x80 5", "\xe2\x82\xac 5"},
        {"\x93quoted\x94", "\xe2\x80\x9cquoted\xe2\x80\x9d"},
        {"Jos\xc3", "Jos\xc3\x83"},  // a cut UTF-8 character is not UTF-8
        {kJose, kJose},
        {"plain", "plain"},
    };
    for (const auto& c : cases) {
        std::string text = c.bytes;
        make_utf8(text);
        EXPECT_EQ(text, c.text) << c.bytes;
        EXPECT_TRUE(is_utf8(text));
    }
}

TEST(IdNumbers, KeepEveryDigitOfACardNumber) {
    const struct {
        const char* typed;
        const char* text;
        bool too_long;
    } cases[] = {
        {"4111111111111111", "4111111111111111", false},
        {"4111111111111111112", "4111111111111111112", false},
        {"41111111111111111112", "41111111111111111112", true},
        {"0042", "42", false},
        {" 12;38501", "12", false},
        {"-7", "-7", false},
        {"12.5", "12.5", false},
        {"", "0", false},
        {"abc", "0", false},
    };
    for (const auto& c : cases) {
        const IdNumber id = IdNumber::of_text(c.typed);
        EXPECT_EQ(id.text(), c.text) << c.typed;
        EXPECT_EQ(id.too_long(), c.too_long) << c.typed;
    }
}

TEST(CodePages, EncodeEachCharacterOrAQuestionMark) {
    const std::string text = "\xc3\xa9\xc3\xb1\xc3\xbc\xe2\x82\xac\xe2\x9c\x93" + kCafe;  // éñü€✓
    const struct {
        const char* page;
        int table;
        std::string bytes;
    } cases[] = {
        {"PC858", 19, "\x82\xa4\x81\xd5?Caf\x82"},
        {"pc850", 2, "\x82\xa4\x81??Caf\x82"},
        {"PC437", 0, "\x82\xa4\x81??Caf\x82"},
        {"WPC1252", 16, "\xe9\xf1\xfc\x80?Caf\xe9"},
    };
    for (const auto& c : cases) {
        const auto page = code_page_named(c.page);
        ASSERT_TRUE(page) << c.page;
        CodePageEncoder encoder(*page);
        EXPECT_EQ(encoder.encode(text), c.bytes) << c.page;
        EXPECT_EQ(select_code_page(*page), std::string("\x1bt", 2) + static_cast<char>(c.table));
    }
    EXPECT_FALSE(code_page_named("PC999"));
}

TEST(CodePages, ChosenPerQueueThenByQueueOptionThenForAll) {
    const struct {
        const char* setting;
        const char* queue;
        const char* option;
        const char* page;
    } cases[] = {
        {"", "receipt", "", "PC858"},
        {"receipt=PC437, bar=WPC1252", "Receipt", "", "PC437"},
        {"receipt=PC437", "bar", "", "PC858"},
        {"PC850,receipt=PC437", "bar", "", "PC850"},
        {"PC850", "bar", "WPC1252", "WPC1252"},
        {"bar=PC437", "bar", "WPC1252", "PC437"},
        {"receipt=PC999,nonsense", "receipt", "bogus", "PC858"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(code_page_for_queue(c.setting, c.queue, c.option).name, c.page)
            << c.setting << " / " << c.queue;
    }
}

}  // namespace
}  // namespace tillora
