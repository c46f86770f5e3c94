#include "core/Utf.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::string kChinese = "\xE8\xBD\xAF\xE4\xBB\xB6";  // 软件
const std::string kEmoji = "\xF0\x9F\x98\x80";            // U+1F600
const std::u16string kEmoji16 = u"\U0001F600";

TEST(Utf, RoundTripsAsciiChineseAndEmoji) {
    const std::string text = "ping " + kChinese + " " + kEmoji + "!";
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToUtf16(kChinese), u"软件");
    EXPECT_EQ(Utf8ToUtf16(kEmoji), kEmoji16);
    EXPECT_EQ(Utf8ToUtf16(kEmoji).size(), 2u);  // a surrogate pair
    EXPECT_EQ(Utf8ToWide(kEmoji).size(), sizeof(wchar_t) == 2 ? 2u : 1u);
    EXPECT_EQ(Utf8ToWide(""), L"");
}

TEST(Utf, MalformedBytesBecomeReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},                            // lone continuation byte
        {"a\xF0\x9F\x98z", u"a\uFFFDz"},                    // truncated four-byte form
        {"\xF0\x9F\x98", u"\uFFFD"},                        // truncated at the end
        {"\xC0\x80", u"\uFFFD\uFFFD"},                      // overlong NUL
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xFF\xFE", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << testing::PrintToString(c.bytes);
        EXPECT_FALSE(IsValidUtf8(c.bytes)) << testing::PrintToString(c.bytes);
        EXPECT_TRUE(IsValidUtf8(WideToUtf8(Utf8ToWide(c.bytes))));
    }
}

TEST(Utf, ValidityCheck) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain" + kChinese + kEmoji));
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));  // a real U+FFFD
    EXPECT_FALSE(
        IsValidUtf8("\xF0\x90\x80"
                    "A"));  // three good bytes, then a bad one
}

TEST(Utf, UnpairedSurrogatesAreReplaced) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    if (sizeof(wchar_t) == 4) {
        EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    }
}

}  // namespace
}  // namespace vorlane
