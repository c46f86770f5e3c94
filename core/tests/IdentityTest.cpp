#include "core/Identity.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/Version.h"

namespace vorlane {
namespace {

std::string FieldAt(const char* record, size_t offset) { return std::string(record + offset); }

TEST(Identity, RecordHoldsTheFourHexTextsAtTheirOffsets) {
    char record[kIdentitySize];
    std::memset(record, 'x', sizeof(record));
    FillIdentityBytes(record);
    const std::string version = EncodeHexUtf16(u"" VORLANE_VERSION);
    EXPECT_EQ(FieldAt(record, 0), version);
    EXPECT_EQ(FieldAt(record, 51), "00760072006C006E001E");
    EXPECT_EQ(FieldAt(record, 152), "0073006F006600740077006100720065001E");
    EXPECT_EQ(FieldAt(record, 253), "48616C766574566F726C616E65C8EDBCFE001E");
    // Everything between and after the texts is zero.
    size_t nonZero = 0;
    for (char c : record) nonZero += c != 0;
    EXPECT_EQ(nonZero, version.size() + 20u + 36u + 38u);
}

TEST(Identity, DecodesBackToTheProductTexts) {
    char record[kIdentitySize];
    FillIdentityBytes(record);
    auto info = DecodeIdentityBytes(record, sizeof(record));
    ASSERT_TRUE(info);
    // The About box shows this text; the version resource and the release
    // archive carry the same one, from CMake.
    EXPECT_EQ(info->version, u"" VORLANE_VERSION);
    EXPECT_EQ(info->shortName, u"vrln");
    EXPECT_EQ(info->kind, u"software");
    EXPECT_EQ(info->fullName, u"HalvetVorlane软件");
}

TEST(Identity, HexCodecsRejectMalformedTexts) {
    EXPECT_EQ(DecodeHexUtf16("0041001E"), u"A");
    EXPECT_EQ(DecodeHexUtf16("001E"), u"");
    EXPECT_EQ(DecodeHexBytes("C8ED001E"), "\xC8\xED");
    EXPECT_EQ(EncodeHexUtf16(u"软"), "8F6F001E");
    for (const char* bad : {"", "0041", "041001E", "00G1001E", "0041001E00", "0061001e"}) {
        EXPECT_FALSE(DecodeHexUtf16(bad)) << bad;
    }
    EXPECT_FALSE(DecodeHexBytes("C8E001E"));
    EXPECT_FALSE(DecodeHexBytes("c8ed001E"));
}

TEST(Identity, DamagedRecordIsRefused) {
    char record[kIdentitySize];
    FillIdentityBytes(record);
    EXPECT_FALSE(DecodeIdentityBytes(record, kIdentitySize - 1));
    EXPECT_FALSE(DecodeIdentityBytes(nullptr, kIdentitySize));

    char unterminated[kIdentitySize];
    FillIdentityBytes(unterminated);
    std::memset(unterminated + 28, '0', 51 - 28);  // the version runs into the next field
    EXPECT_FALSE(DecodeIdentityBytes(unterminated, kIdentitySize));

    char garbled[kIdentitySize];
    FillIdentityBytes(garbled);
    garbled[152] = 'Z';
    EXPECT_FALSE(DecodeIdentityBytes(garbled, kIdentitySize));
}

TEST(Identity, GbkSubsetDecoding) {
    EXPECT_EQ(DecodeGbkSubset("ab\xC8\xED\xBC\xFE"), u"ab软件");
    EXPECT_EQ(DecodeGbkSubset("\xB0\xA1z"), u"\uFFFDz");  // a pair outside the subset
    EXPECT_EQ(DecodeGbkSubset("\xC8"), u"\uFFFD");        // a lead byte at the end
}

}  // namespace
}  // namespace vorlane
