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

std::wstring FolderToMake(const std::wstring& path, const std::wstring& exeFolder) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || path.compare(0, slash + 1, exeFolder) == 0) {
        return std::wstring();
    }
    return path.substr(0, slash);
}

}  // namespace vorlane
