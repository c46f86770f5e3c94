#include "core/Language.h"

#include <gtest/gtest.h>

#include "core/Texts.h"

namespace vorlane {
namespace {

TEST(ChooseLanguage, TheKeyWinsAndAutoFollowsAnyChineseUiLanguage) {
    for (const wchar_t* ui : {L"zh-CN", L"zh-TW", L"zh-Hant-HK", L"ZH", L""}) {
        EXPECT_EQ(ChooseLanguage(L"zh", ui), Language::Chinese) << ui;
        EXPECT_EQ(ChooseLanguage(L"en", ui), Language::English) << ui;
    }
    for (const wchar_t* key : {L"auto", L"", L"fr", L"ZH "}) {
        EXPECT_EQ(ChooseLanguage(key, L"zh-CN"), Language::Chinese) << key;
        EXPECT_EQ(ChooseLanguage(key, L"zh-Hans"), Language::Chinese) << key;
        EXPECT_EQ(ChooseLanguage(key, L"en-US"), Language::English) << key;
        EXPECT_EQ(ChooseLanguage(key, L"de-DE"), Language::English) << key;
        EXPECT_EQ(ChooseLanguage(key, L"zu-ZA"), Language::English) << key;
        EXPECT_EQ(ChooseLanguage(key, L"zha"), Language::English) << key;
        EXPECT_EQ(ChooseLanguage(key, L""), Language::English) << key;
    }
}

TEST(FillFields, ByNumberInAnyOrderWithPercentSigns) {
    EXPECT_EQ(FillFields(L"%2 of %1: 100%%", {L"a", L"b"}), L"b of a: 100%");
    EXPECT_EQ(FillFields(L"%1%3%", {L"x"}), L"x%");
    EXPECT_EQ(FillFields(L"%0 %a", {L"x"}), L"%0 %a");
}

}  // namespace
}  // namespace vorlane
