#include "core/SettingsPlace.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::wstring kStick = L"E:\\Portable Apps\\Vorlane\\";
const std::wstring kAppDataFile = L"C:\\Users\\li lei\\AppData\\Roaming\\Vorlane\\Vorlane.ini";

TEST(SettingsPlace, BesideTheExeWhenItsFolderCanBeWrittenElseApplicationData) {
    for (bool appDataFileExists : {false, true}) {
        // A copy in application data from a run while the stick was
        // read-only does not count once the exe's folder can be written.
        const SettingsPlace place =
            ChooseSettingsPlace(kStick, true, std::wstring(), appDataFileExists);
        EXPECT_EQ(place.path, kStick + L"Vorlane.ini");
        EXPECT_EQ(place.seed, L"");
    }
    const std::wstring share = L"\\\\server\\tools\\Vorlane\\";
    EXPECT_EQ(ChooseSettingsPlace(share, true, L"", false).path, share + L"Vorlane.ini");

    // Read-only, before the first save: the file beside the exe, if there is
    // one, seeds the copy in application data.
    SettingsPlace place = ChooseSettingsPlace(share, false, kAppDataFile, false);
    EXPECT_EQ(place.path, kAppDataFile);
    EXPECT_EQ(place.seed, share + L"Vorlane.ini");
    // After it: that copy is the settings.
    place = ChooseSettingsPlace(share, false, kAppDataFile, true);
    EXPECT_EQ(place.path, kAppDataFile);
    EXPECT_EQ(place.seed, L"");
    // No application data folder either: read the seed, save nowhere.
    place = ChooseSettingsPlace(share, false, L"", false);
    EXPECT_EQ(place.path, L"");
    EXPECT_EQ(place.seed, share + L"Vorlane.ini");
}

TEST(SettingsPlace, TheApplicationDataFileIsInAFolderOfItsOwn) {
    EXPECT_EQ(AppDataSettingsFile(L"C:\\Users\\li lei\\AppData\\Roaming"), kAppDataFile);
    EXPECT_EQ(AppDataSettingsFile(L"C:\\Users\\li lei\\AppData\\Roaming\\"), kAppDataFile);
    EXPECT_EQ(AppDataSettingsFile(L"\\\\server\\profiles\\lilei"),
              L"\\\\server\\profiles\\lilei\\Vorlane\\Vorlane.ini");
    EXPECT_EQ(AppDataSettingsFile(L""), L"");

    // That folder is made before the first save; the exe's folder exists.
    EXPECT_EQ(FolderToMake(kAppDataFile, kStick), L"C:\\Users\\li lei\\AppData\\Roaming\\Vorlane");
    EXPECT_EQ(FolderToMake(kStick + L"Vorlane.ini", kStick), L"");
    EXPECT_EQ(FolderToMake(L"", kStick), L"");
}

}  // namespace
}  // namespace vorlane
