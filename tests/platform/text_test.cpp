// Text by characters where the accented receipts do not reach: grapheme clusters, cuts at the
// ends, case mapping that changes the length, bytes of Windows-1252 registers, typed ID numbers
// and the code pages that the private CUPS queues do not use.
#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/value.h"

namespace tillora {
namespace {

const std::string kCafe = "Cafe\xcc\x81";                      // e + combining acute
const std::string kFlag = "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7";  // two regional indicators

TEST(Text, CountsCutsAndPadsCharacters) {
    EXPECT_EQ(char_count(""), 0u);
    EXPECT_EQ(char_count(kCafe), 4u);
    EXPECT_EQ(char_count("a" + kFlag + "b"), 3u);
    const struct {
        std::string actual, expected;
    } cases[] = {
        {first_chars(kFlag + "x", 1), kFlag},
        {chars_from("Cr\xc3\xa8me", 1, 3), "r\xc3\xa8m"},
        {chars_from("\xc3\xa9", 1), ""},
        {without_last_char(kCafe), "Caf"},
        {without_last_char(""), ""},
        {upper("stra\xc3\x9f"
               "e"),
         "STRASSE"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Text, BytesThatAreNotUtf8AreReadAsWindows1252) {
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"\x80 5", "\xe2\x82\xac 5"},
        {"\x93quoted\x94", "\xe2\x80\x9cquoted\xe2\x80\x9d"},
        {"Jos\xc3", "Jos\xc3\x83"},  // a cut UTF-8 character is not UTF-8
    };
    for (const auto& c : cases) {
        std::string text = c.bytes;
        make_utf8(text);
        EXPECT_EQ(text, c.text) << c.bytes;
        EXPECT_TRUE(is_utf8(text));
    }
}

// Typed IDs that are not plain digits (the 16 to 20 digit card numbers are the card log-in's).
TEST(IdNumbers, ReadTheLeadingNumberOfWhatWasTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"0042", "42"},   {" 12;38501", "12"}, {"-7", "-7"},
        {"12.5", "12.5"}, {"", "0"},           {"abc", "0"},
    };
    for (const auto& [typed, text] : cases) {
        EXPECT_EQ(IdNumber::of_text(typed).text(), text) << typed;
        EXPECT_FALSE(IdNumber::of_text(typed).too_long()) << typed;
    }
}

TEST(CodePages, EncodeEachCharacterOrAQuestionMarkAndChooseThePagePerQueue) {
    const auto page = code_page_named("pc850");
    ASSERT_TRUE(page);
    EXPECT_EQ(CodePageEncoder(*page).encode("\xc3\xb1\xe2\x82\xac" + kCafe), "\xa4?Caf\x82");
    EXPECT_EQ(select_code_page(*page), "\x1bt\x02");
    EXPECT_FALSE(code_page_named("PC999"));
    const struct {
        const char* setting;
        const char* queue;
        const char* option;
        const char* page;
    } cases[] = {
        {"receipt=PC437, bar=WPC1252", "Receipt", "", "PC437"},
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
