#include "core/Digits.h"

#include <climits>
#include <cstdint>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(Digits, DecimalOfEveryWidthAndSign) {
    EXPECT_EQ(Decimal(0), L"0");
    EXPECT_EQ(Decimal(9), L"9");
    EXPECT_EQ(Decimal(10), L"10");
    EXPECT_EQ(Decimal(-7), L"-7");
    EXPECT_EQ(Decimal(INT_MAX), L"2147483647");
    EXPECT_EQ(Decimal(INT_MIN), L"-2147483648");
    EXPECT_EQ(Decimal(LLONG_MIN), L"-9223372036854775808");
    EXPECT_EQ(Decimal(ULLONG_MAX), L"18446744073709551615");
    EXPECT_EQ(Decimal(std::uint8_t{255}), L"255");
    EXPECT_EQ(Decimal<char>(-1234567), "-1234567");
}

TEST(Digits, AppendsAfterWhatIsThere) {
    std::wstring text = L"x=";
    AppendDecimal(text, 42u);
    AppendDigits(text, 7, 3);      // zero-padded
    AppendDigits(text, 12345, 2);  // only the low digits
    EXPECT_EQ(text, L"x=4200745");
}

}  // namespace
}  // namespace vorlane
