#include "core/IniDocument.h"

#include <climits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

IniDocument Parsed(const std::string& text) {
    IniDocument doc;
    EXPECT_EQ(doc.Parse(text).error, ParseError::None) << text;
    return doc;
}

ParseError ErrorOf(const std::string& text) {
    IniDocument doc;
    return doc.Parse(text).error;
}

const std::string kHandWritten =
    "\xEF\xBB\xBF; written by hand\r\n"
    "\r\n"
    "[Other]\r\n"
    "  colour =  blue  \r\n"
    "# another comment\r\n"
    "[Vorlane]\r\n"
    "Ping = 10.0.0.1\r\n"
    "unknown=kept;as is\r\n"
    "\tcmduser\t=\tC:\\a b\\x.exe /q\r\n";

TEST(IniDocument, UntouchedDocumentSerializesByteForByte) {
    EXPECT_EQ(Parsed(kHandWritten).Serialize(), kHandWritten);
    const std::string unix = "a=1\n\n; c\n[s]\nb = 2\n";
    EXPECT_EQ(Parsed(unix).Serialize(), unix);
}

TEST(IniDocument, ReadsKeysBySectionIgnoringCaseAndBlanks) {
    IniDocument doc = Parsed(kHandWritten);
    EXPECT_EQ(doc.Get("vorlane", "PING"), "10.0.0.1");
    EXPECT_EQ(doc.Get("Vorlane", "cmduser"), "C:\\a b\\x.exe /q");
    EXPECT_EQ(doc.Get("Vorlane", "unknown"), "kept;as is");  // no trailing comments
    EXPECT_EQ(doc.Get("Other", "colour"), "blue");
    EXPECT_FALSE(doc.Get("Vorlane", "colour"));
    EXPECT_FALSE(doc.Get("", "ping"));
}

TEST(IniDocument, SetRewritesOnlyItsLineAndKeepsEverythingElse) {
    IniDocument doc = Parsed(kHandWritten);
    ASSERT_TRUE(doc.Set("Vorlane", "ping", "example.com"));
    ASSERT_TRUE(doc.Set("Vorlane", "djs", "30"));
    ASSERT_TRUE(doc.Set("Other", "size", "2"));
    EXPECT_EQ(doc.Serialize(),
              "\xEF\xBB\xBF; written by hand\r\n"
              "\r\n"
              "[Other]\r\n"
              "  colour =  blue  \r\n"
              "size=2\r\n"
              "# another comment\r\n"
              "[Vorlane]\r\n"
              "Ping=example.com\r\n"
              "unknown=kept;as is\r\n"
              "\tcmduser\t=\tC:\\a b\\x.exe /q\r\n"
              "djs=30\r\n");
}

TEST(IniDocument, NewSectionIsAppendedAndNewFilesUseCrlf) {
    IniDocument empty;
    ASSERT_EQ(empty.Parse("").error, ParseError::None);
    ASSERT_TRUE(empty.Set("Vorlane", "trytimes", "3"));
    EXPECT_EQ(empty.Serialize(), "[Vorlane]\r\ntrytimes=3\r\n");

    IniDocument other = Parsed("x=1");  // no final line end
    ASSERT_TRUE(other.Set("Vorlane", "bwav", "0"));
    EXPECT_EQ(other.Serialize(), "x=1\r\n\r\n[Vorlane]\r\nbwav=0\r\n");
}

TEST(IniDocument, DuplicatedKeysReadLastAndCollapseOnWrite) {
    IniDocument doc = Parsed("[Vorlane]\nping=a\nx=1\nPING=b\n[Vorlane]\nping=c\n");
    EXPECT_EQ(doc.Get("Vorlane", "ping"), "c");
    ASSERT_TRUE(doc.Set("Vorlane", "ping", "d"));
    EXPECT_EQ(doc.Serialize(), "[Vorlane]\nping=d\nx=1\n[Vorlane]\n");
    EXPECT_EQ(Parsed(doc.Serialize()).Get("Vorlane", "ping"), "d");
}

TEST(IniDocument, AwkwardValuesSurviveARoundTrip) {
    const std::string values[] = {
        "",
        "  leading and trailing  ",
        "\"quoted\"",
        "say \"hi\" \\ back\\slash",
        "tab\there",
        "line\r\nbreak",
        std::string("ctrl\x01\x1F\x7F", 6),
        "C:\\Program Files\\x.exe & echo 100% ; done",
        "\xE8\xBD\xAF\xE4\xBB\xB6 \xF0\x9F\x98\x80",
        "not utf8 \xFF\xC0 end",
        std::string(10000, 'x'),
        "=starts with equals=",
    };
    for (const std::string& value : values) {
        IniDocument doc;
        ASSERT_EQ(doc.Parse("").error, ParseError::None);
        ASSERT_TRUE(doc.Set("Vorlane", "v", value));
        const std::string text = doc.Serialize();
        IniDocument back;
        ASSERT_EQ(back.Parse(text).error, ParseError::None) << text;
        EXPECT_EQ(back.Get("Vorlane", "v"), value) << text;
    }
}

TEST(IniDocument, QuotedLookingHandWrittenValueIsTakenAsIs) {
    IniDocument doc = Parsed("[Vorlane]\ncmduser=\"C:\\Program Files\\x.exe\" /s \"y\"\n");
    EXPECT_EQ(doc.Get("Vorlane", "cmduser"), "\"C:\\Program Files\\x.exe\" /s \"y\"");
    EXPECT_EQ(Parsed("a=\"\\q\"").Get("", "a"), "\"\\q\"");
    EXPECT_EQ(Parsed("a=\"x\\41\"").Get("", "a"), "\"x\\41\"");
}

TEST(IniDocument, KeysThatCouldNotBeReadBackAreRefused) {
    IniDocument doc = Parsed("");
    for (const char* key : {"", "a=b", "[x", "x]", " pad", "pad ", ";c", "#c", "t\tab", "nl\n"}) {
        EXPECT_FALSE(doc.Set("Vorlane", key, "v")) << key;
    }
    EXPECT_FALSE(doc.Set("bad]section", "k", "v"));
    EXPECT_EQ(doc.Serialize(), "");
}

TEST(IniDocument, UnreadableTextsAreReportedWithTheirLine) {
    IniDocument doc;
    auto result = doc.Parse(std::string("a=1\nb=2\0x\n", 10));
    EXPECT_EQ(result.error, ParseError::NulByte);
    EXPECT_EQ(result.line, 2u);
    EXPECT_EQ(doc.Serialize(), "");  // a failed parse leaves nothing behind

    EXPECT_EQ(ErrorOf("\xFF\xFE[\0V\0]\0"), ParseError::Utf16Bom);
    EXPECT_EQ(ErrorOf("\xFE\xFF\0[\0V\0]"), ParseError::Utf16Bom);
    EXPECT_EQ(ErrorOf(std::string("[\0V\0]\0\r\0\n\0", 10)),
              ParseError::NulByte);                                       // UTF-16, no BOM
    EXPECT_EQ(ErrorOf("a=\xC8\xED\xBC\xFE\n"), ParseError::InvalidUtf8);  // a GBK file
    EXPECT_EQ(ErrorOf("a=b\x1b[0m\n"), ParseError::ControlCharacter);
    EXPECT_EQ(ErrorOf("a=b\rc=d\n"), ParseError::ControlCharacter);  // old Mac line ends
    EXPECT_EQ(ErrorOf("just some words\n"), ParseError::BadLine);
    EXPECT_EQ(ErrorOf("[]\n"), ParseError::BadLine);
    EXPECT_EQ(ErrorOf("[open\n"), ParseError::BadLine);
    EXPECT_EQ(ErrorOf(" = value\n"), ParseError::BadLine);
    EXPECT_EQ(ErrorOf(std::string(kMaxIniBytes + 1, '\n')), ParseError::TooLarge);
}

TEST(IniDocument, LargeButWellFormedFileIsRead) {
    std::string text = "[Vorlane]\n";
    while (text.size() < 10 * 1024 * 1024) text += "; padding padding padding padding padding\n";
    text += "ping=127.0.0.1";
    IniDocument doc = Parsed(text);
    EXPECT_EQ(doc.Get("Vorlane", "ping"), "127.0.0.1");
}

TEST(IniDocument, RandomBytesNeverCrashAndAcceptedOnesAreStable) {
    std::mt19937 random(12345);
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 200, '\0');
        // Half the rounds draw from printable ASCII and the INI syntax, so
        // that some of them parse.
        for (char& c : bytes) {
            c = round % 2 ? static_cast<char>(random()) : "ab =[];#\n\r\t\"\\x"[random() % 15];
        }
        IniDocument doc;
        if (doc.Parse(bytes).error != ParseError::None) continue;
        ++accepted;
        const std::string once = doc.Serialize();
        IniDocument again;
        ASSERT_EQ(again.Parse(once).error, ParseError::None);
        EXPECT_EQ(again.Serialize(), once);
    }
    EXPECT_GT(accepted, 0);
}

TEST(IniDocument, NumbersReadTheWayAtoiDoes) {
    EXPECT_EQ(ReadIntLikeAtoi("42"), 42);
    EXPECT_EQ(ReadIntLikeAtoi(" \t\n7x"), 7);
    EXPECT_EQ(ReadIntLikeAtoi("-5"), -5);
    EXPECT_EQ(ReadIntLikeAtoi("+3"), 3);
    EXPECT_EQ(ReadIntLikeAtoi(""), 0);
    EXPECT_EQ(ReadIntLikeAtoi("abc"), 0);
    EXPECT_EQ(ReadIntLikeAtoi("- 5"), 0);
    EXPECT_EQ(ReadIntLikeAtoi("2147483647"), INT_MAX);
    EXPECT_EQ(ReadIntLikeAtoi("2147483648"), INT_MAX);
    EXPECT_EQ(ReadIntLikeAtoi("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ReadIntLikeAtoi("-2147483648"), INT_MIN);
    EXPECT_EQ(ReadIntLikeAtoi("-99999999999"), INT_MIN);
}

TEST(IniDocument, BooleansAcceptDigitsAndWords) {
    for (const char* yes : {"1", "TRUE", "yes", "On", " 2 "}) EXPECT_TRUE(ReadBool(yes)) << yes;
    for (const char* no : {"0", "false", "No", "off", "", "x"}) EXPECT_FALSE(ReadBool(no)) << no;
}

}  // namespace
}  // namespace vorlane
