// What the program makes of its command line, and which copies count as one.
#include "app/CommandLine.h"
#include "app/SingleInstance.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::wstring kExe = L"\"C:\\Program Files\\Vorlane\\Vorlane.exe\"";

TEST(ParseCommandLine, TakesEverySpellingOfAutoAndNothingElse) {
    for (const wchar_t* spelling :
         {L"/auto", L"-auto", L"--auto", L"/AUTO", L"--Auto", L"\"/auto\""}) {
        const StartOptions options = ParseCommandLine(kExe + L" " + spelling);
        EXPECT_TRUE(options.autoStart) << spelling;
        EXPECT_TRUE(options.unknown.empty()) << spelling;
    }
    for (const wchar_t* other : {L"auto", L"/autox", L"---auto", L"/aut", L"//auto", L"-/auto"}) {
        const StartOptions options = ParseCommandLine(kExe + L" " + other);
        EXPECT_FALSE(options.autoStart) << other;
        EXPECT_EQ(options.unknown.size(), 1u) << other;
    }
}

TEST(ParseCommandLine, TheServiceSwitchesAndTheFileAfterInstall) {
    const StartOptions install =
        ParseCommandLine(kExe + L" --INSTALL \"D:\\my files\\Vorlane.ini\" -Quiet");
    EXPECT_TRUE(install.install && install.quiet);
    EXPECT_FALSE(install.uninstall || install.service || install.autoStart);
    EXPECT_EQ(install.installSettings, L"D:\\my files\\Vorlane.ini");
    EXPECT_TRUE(install.unknown.empty());

    // A file only right after /install; a second one, or one elsewhere, is
    // not understood.
    const StartOptions stray = ParseCommandLine(kExe + L" /install /quiet a.ini b.ini");
    EXPECT_TRUE(stray.installSettings.empty());
    EXPECT_EQ(stray.unknown, (std::vector<std::wstring>{L"a.ini", L"b.ini"}));
    const StartOptions twice = ParseCommandLine(kExe + L" /install a.ini b.ini");
    EXPECT_EQ(twice.installSettings, L"a.ini");
    EXPECT_EQ(twice.unknown, std::vector<std::wstring>{L"b.ini"});
    // Setup goes on only on a command line that holds nothing else.
    EXPECT_EQ(SetupArgumentsRefused(install), L"");
    EXPECT_EQ(SetupArgumentsRefused(twice), L"\n    b.ini");
    EXPECT_EQ(SetupArgumentsRefused(ParseCommandLine(kExe + L" /uninstall /auto /install")),
              L"\n    /install /uninstall\n    /auto");

    const StartOptions service = ParseCommandLine(kExe + L" /service");
    EXPECT_TRUE(service.service && service.unknown.empty());
    EXPECT_EQ(LoggedArguments(service), L"/service");
    for (const wchar_t* other : {L"/services", L"/instal", L"/uninstal", L"/quietly", L"install"}) {
        const StartOptions options = ParseCommandLine(kExe + L" " + other);
        EXPECT_FALSE(options.install || options.uninstall || options.quiet || options.service)
            << other;
        EXPECT_EQ(options.unknown.size(), 1u) << other;
    }
    const std::wstring text = UnknownArgumentsText({L"/x"});
    for (const wchar_t* named : {L"/install", L"/uninstall", L"/quiet"}) {
        EXPECT_NE(text.find(named), std::wstring::npos) << named;
    }
}

TEST(ParseCommandLine, SplitsLikeTheCRuntime) {
    // No arguments at all, also with a bare program name holding no quotes.
    EXPECT_TRUE(ParseCommandLine(L"").unknown.empty());
    EXPECT_TRUE(ParseCommandLine(kExe + L"   ").unknown.empty());
    EXPECT_TRUE(ParseCommandLine(L"C:\\a\\b\\Vorlane.exe").unknown.empty());

    const StartOptions several = ParseCommandLine(
        L"C:\\x\\\"odd dir\"\\Vorlane.exe /x \"two words\" /auto a\\\\\\\"b c\\\\\"d e\" "
        L"\"x\"\"y\"");
    EXPECT_TRUE(several.autoStart);
    const std::vector<std::wstring> expected = {L"/x", L"two words", L"a\\\"b", L"c\\d e", L"x\"y"};
    EXPECT_EQ(several.unknown, expected);
}

TEST(ParseCommandLine, AVeryLongArgumentIsNamedShortInTheMessage) {
    const std::wstring huge(10000, L'q');
    const StartOptions options = ParseCommandLine(kExe + L" " + huge);
    ASSERT_EQ(options.unknown.size(), 1u);
    EXPECT_EQ(options.unknown[0], huge);
    const std::wstring text = UnknownArgumentsText(options.unknown);
    EXPECT_LT(text.size(), 400u);
    EXPECT_NE(text.find(std::wstring(100, L'q') + L"…"), std::wstring::npos);
    EXPECT_NE(text.find(L"/auto"), std::wstring::npos);

    std::vector<std::wstring> many(50, L"/z");
    EXPECT_LT(UnknownArgumentsText(many).size(), 400u);
}

TEST(LoggedArguments, NeverHoldsAnArgumentNotUnderstood) {
    const StartOptions options = ParseCommandLine(kExe + L" --AUTO secret-password /x");
    const std::wstring logged = LoggedArguments(options);
    EXPECT_EQ(logged.find(L"secret"), std::wstring::npos);
    EXPECT_EQ(logged.find(L"/x"), std::wstring::npos);
    EXPECT_NE(logged.find(L"/auto"), std::wstring::npos);
    EXPECT_NE(logged.find(L"2"), std::wstring::npos);
    EXPECT_EQ(LoggedArguments(ParseCommandLine(kExe)), L"");
    EXPECT_EQ(UnknownArgumentsLogText(2).find(L"secret"), std::wstring::npos);
}

TEST(InstanceName, OneFileOneNameTwoFoldersTwoNames) {
    const std::wstring a = L"C:\\Program Files\\Vorlane\\Vorlane.ini";
    EXPECT_EQ(InstanceName(a), InstanceName(L"c:/program files/VORLANE/vorlane.INI"));
    EXPECT_NE(InstanceName(a), InstanceName(L"C:\\Program Files\\Vorlane2\\Vorlane.ini"));
    EXPECT_NE(InstanceName(L"D:\\a\\Vorlane.ini"), InstanceName(L"D:\\b\\Vorlane.ini"));
    EXPECT_EQ(InstanceMutexName(a).rfind(L"Local\\Vorlane-", 0), 0u);
    EXPECT_NE(ComeToFrontMessageName(a), InstanceName(a));
}

}  // namespace
}  // namespace vorlane
