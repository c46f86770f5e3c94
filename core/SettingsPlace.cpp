#include "core/SettingsPlace.h"

namespace vorlane {

std::wstring AppDataSettingsFile(std::wstring appData) {
    if (appData.empty()) return appData;
    if (appData.back() != L'\\') appData += L'\\';
    return appData + L"Vorlane\\Vorlane.ini";
}

SettingsPlace ChooseSettingsPlace(const std::wstring& exeFolder, bool exeFolderWritable,
                                  const std::wstring& appDataFile, bool appDataFileExists) {
    const std::wstring besideExe = exeFolder + L"Vorlane.ini";
    if (exeFolderWritable) return {besideExe, std::wstring()};
    // Once a save has put the file there, that copy is the settings; the one
    // beside the exe was only where they started.
    if (appDataFileExists) return {appDataFile, std::wstring()};
    return {appDataFile, besideExe};
}

}  // namespace vorlane
