// What "/install" accepts, and who may change what the service reads.
#include "service/Setup.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::string kGood = "[Vorlane]\nping=127.0.0.1\ntrytimes=3\ntryinterval=5\ndjs=60\n";

TEST(CheckSettingsBytes, InstallsExactlyWhatAutoWouldStartOn) {
    EXPECT_EQ(CheckSettingsBytes(std::nullopt).outcome, SetupOutcome::SettingsMissing);
    const SettingsVerdict good = CheckSettingsBytes(kGood);
    EXPECT_EQ(good.outcome, SetupOutcome::Done);
    EXPECT_EQ(good.values.target, L"127.0.0.1");

    const SettingsVerdict empty = CheckSettingsBytes(std::string("[Vorlane]\nping=\n"));
    EXPECT_EQ(empty.outcome, SetupOutcome::SettingsRefused);
    EXPECT_EQ(empty.reason, L"IP或网址不能为空！");
    // A number the dialog would quietly change is refused, and named.
    const SettingsVerdict generous = CheckSettingsBytes(kGood + "trytimes=0\n");
    EXPECT_EQ(generous.outcome, SetupOutcome::SettingsRefused);
    EXPECT_NE(generous.reason.find(L"trytimes"), std::wstring::npos) << generous.reason;
    const SettingsVerdict unreadable = CheckSettingsBytes(std::string("\xFF\xFE[\0V", 5));
    EXPECT_EQ(unreadable.outcome, SetupOutcome::SettingsRefused);
    EXPECT_FALSE(unreadable.reason.empty());
}

TEST(DecideFolder, ALinkOrAFileInThePlaceOfTheFolderIsRefused) {
    EXPECT_EQ(DecideFolder({false, false, false}), FolderStep::Create);
    EXPECT_EQ(DecideFolder({true, true, false}), FolderStep::Secure);
    EXPECT_EQ(DecideFolder({true, true, true}), FolderStep::Refuse);
    EXPECT_EQ(DecideFolder({true, false, false}), FolderStep::Refuse);
}

TEST(OthersWhoCanWrite, TheInstalledDescriptorLetsOnlyAdministratorsAndSystemWrite) {
    const SecurityFacts installed = ParseSddl(kInstalledSddl);
    EXPECT_EQ(installed.owner, L"S-1-5-32-544");
    ASSERT_EQ(installed.aces.size(), 3u);
    EXPECT_EQ(installed.aces[2].sid, L"S-1-5-32-545");
    EXPECT_EQ(OthersWhoCanWrite(installed, L"S-1-5-18"), L"");
}

TEST(OthersWhoCanWrite, ThePipeLetsInteractiveUsersReadOnly) {
    SecurityFacts pipe = ParseSddl(kViewPipeSddl);
    ASSERT_TRUE(pipe.hasDacl);
    pipe.owner = L"S-1-5-18";  // the service, which makes it
    EXPECT_EQ(OthersWhoCanWrite(pipe, L"S-1-5-18"), L"");
    bool interactiveReads = false;
    for (const AceFacts& ace : pipe.aces) {
        if (ace.sid == L"S-1-5-4") interactiveReads = ace.allow && (ace.mask & 0x1) != 0;
    }
    EXPECT_TRUE(interactiveReads);
}

TEST(OthersWhoCanWrite, NamesEveryoneElseWhoMayChangeTheObject) {
    const std::wstring system = L"S-1-5-18";
    // Users may add files to the folder, as in C:\ProgramData itself.
    EXPECT_EQ(OthersWhoCanWrite(
                  ParseSddl(L"O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;CI;0x100116;;;BU)"), system),
              L"S-1-5-32-545");
    // An owner may always change the descriptor.
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:S-1-5-21-1-2-3-1001D:P(A;;FA;;;SY)"), system),
              L"S-1-5-21-1-2-3-1001");
    // No DACL at all: everyone.
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:NO_ACCESS_CONTROL"), system), L"S-1-1-0");
    // Generic rights and rights named by letters count as well.
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:(A;;GA;;;AU)"), system), L"S-1-5-11");
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:(A;;WDRC;;;IU)"), system), L"S-1-5-4");
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:(A;;0x00010000;;;WD)"), system), L"S-1-1-0");
    // Unknown rights or ACE types are taken at their worst.
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:(A;;ZZ;;;WD)"), system), L"S-1-1-0");
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:(XA;;FA;;;WD)"), system), L"S-1-1-0");
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:(garbage)"), system), L"(unreadable)");
}

TEST(OthersWhoCanWrite, ReadingDeniedAndInheritOnlyEntriesDoNotCount) {
    const std::wstring system = L"S-1-5-18";
    EXPECT_EQ(
        OthersWhoCanWrite(ParseSddl(L"O:SYD:PAI(A;;FR;;;WD)(A;;FX;;;BU)(D;;FA;;;AU)"), system),
        L"");
    // CREATOR OWNER's entry is for the children only.
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:BAD:(A;OICIIO;GA;;;CO)(A;;FA;;;SY)"), system), L"");
    // An empty DACL lets nobody in.
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(L"O:SYD:"), system), L"");
}

TEST(OthersWhoCanWrite, TheAccountThatChecksIsTrustedAsItself) {
    // Wine keeps no descriptor on files: it reports the user it runs as, who
    // is also the service's account there.
    const std::wstring wine =
        L"O:S-1-5-21-0-0-0-1000G:S-1-5-21-0-0-0-513D:(A;OICI;FA;;;SY)"
        L"(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)";
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(wine), L"S-1-5-21-0-0-0-1000"), L"");
    EXPECT_EQ(OthersWhoCanWrite(ParseSddl(wine), L"S-1-5-18"), L"S-1-5-21-0-0-0-1000");
}

TEST(SetupText, SaysWhatWasNeededAndWhatWasLeftAlone) {
    EXPECT_NE(SetupText(true, SetupOutcome::NeedsAdmin, L"").find(L"需要管理员权限"),
              std::wstring::npos);
    EXPECT_NE(SetupText(false, SetupOutcome::NeedsAdmin, L"").find(L"/uninstall"),
              std::wstring::npos);
    const std::wstring refused = SetupText(true, SetupOutcome::SettingsRefused, L"为什么");
    EXPECT_NE(refused.find(L"为什么"), std::wstring::npos);
    EXPECT_NE(refused.find(L"未安装服务"), std::wstring::npos);
}

}  // namespace
}  // namespace vorlane
