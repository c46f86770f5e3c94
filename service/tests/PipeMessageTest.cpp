// The pipe between the service and its views: what the service writes reads
// back exactly, and the view takes nothing else: no truncated, oversized or
// garbage line, however the bytes arrive.
#include "service/PipeMessage.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

std::string Line(const ViewState& state) {
    std::string line = FormatPipeMessage(state);
    EXPECT_EQ(line.back(), '\n');
    line.pop_back();
    return line;
}

TEST(PipeMessage, WhatTheServiceWritesReadsBackExactly) {
    const ViewState states[] = {
        {L"没掉线，OK！", false, L"目标：127.0.0.1\n掉线：0 次"},
        {L"连续掉线：3", true, L""},
        {L"", false, L"tab\there\\back\r\x01\x7F end 😀"},
    };
    for (const ViewState& state : states) {
        const std::string line = Line(state);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        const auto parsed = ParsePipeMessage(line);
        ASSERT_TRUE(parsed) << line;
        EXPECT_EQ(*parsed, state);
    }
}

TEST(PipeMessage, OverlongTextsAreCutToWhatTheViewTakes) {
    const ViewState huge{std::wstring(5000, L'字'), true, std::wstring(50000, L'\x01')};
    const std::string line = FormatPipeMessage(huge);
    EXPECT_LE(line.size(), kPipeLineLimit);
    const auto parsed = ParsePipeMessage(Line(huge));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->text.size(), kViewTextLimit);
    EXPECT_EQ(parsed->glance.size(), kViewGlanceLimit);
}

TEST(PipeMessage, RefusesEverythingElse) {
    const std::string good = Line({L"OK", false, L"a"});
    ASSERT_TRUE(ParsePipeMessage(good));
    const std::string refused[] = {
        "",
        "vorlane-view 1",
        "vorlane-view 2\tg\tOK\ta",
        "VORLANE-VIEW 1\tg\tOK\ta",
        "vorlane-view 1\tx\tOK\ta",
        "vorlane-view 1\tgg\tOK\ta",
        "vorlane-view 1\tg\tOK",
        "vorlane-view 1\tg\tOK\ta\textra",
        "vorlane-view 1\tg\tO\\K\ta",
        "vorlane-view 1\tg\tOK\ta\\",
        "vorlane-view 1\tg\tOK\ta\\x4",
        "vorlane-view 1\tg\tOK\ta\\x41",  // only control characters are written so
        "vorlane-view 1\tg\tOK\ta\\x00",
        "vorlane-view 1\tg\tOK\ta\\x0A",  // written \n
        "vorlane-view 1\tg\tOK\ta\\x1f",  // written \x1F
        std::string("vorlane-view 1\tg\tO\0K\ta", 22),
        "vorlane-view 1\tg\tOK\ta\rb",
        "vorlane-view 1\tg\t\xC0\x80\ta",
        "vorlane-view 1\tg\t\xED\xA0\x80\ta",
        "vorlane-view 1\tg\t\xFF\ta",
        "vorlane-view 1\tg\t" + std::string(kViewTextLimit + 1, 'x') + "\ta",
        "vorlane-view 1\tg\tOK\t" + std::string(kViewGlanceLimit + 1, 'x'),
    };
    for (const std::string& line : refused) EXPECT_FALSE(ParsePipeMessage(line)) << line;
    // Cut short anywhere, a message is refused or still exactly a message.
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const auto parsed = ParsePipeMessage(good.substr(0, cut));
        if (parsed) {
            EXPECT_EQ(FormatPipeMessage(*parsed), good.substr(0, cut) + "\n");
        }
    }
}

TEST(PipeLineReader, SameLinesHoweverTheBytesArriveAndAnEndlessLineEndsIt) {
    const std::string stream =
        FormatPipeMessage({L"一", true, L"x"}) + FormatPipeMessage({L"二", false, L""}) + "partial";
    for (std::size_t piece = 1; piece <= stream.size(); ++piece) {
        PipeLineReader reader;
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            ASSERT_TRUE(reader.feed(std::string_view(stream).substr(at, piece), lines));
        }
        ASSERT_EQ(lines.size(), 2u) << piece;
        EXPECT_EQ(ParsePipeMessage(lines[1])->text, L"二");
    }

    PipeLineReader endless;
    std::vector<std::string> lines;
    const std::string chunk(4096, 'x');
    bool open = true;
    for (std::size_t sent = 0; open && sent <= kPipeLineLimit + chunk.size();
         sent += chunk.size()) {
        open = endless.feed(chunk, lines);
    }
    EXPECT_FALSE(open);
    EXPECT_FALSE(endless.feed("\n" + FormatPipeMessage({L"OK", false, L""}), lines));
    EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace vorlane
