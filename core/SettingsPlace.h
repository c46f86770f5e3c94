// Where the settings file lives. Beside the exe when its folder can be
// written; otherwise in the user's application data folder, starting from a
// ready-made Vorlane.ini beside the exe (a read-only stick or share) until
// the first save puts the whole file there.
#pragma once

#include <string>

namespace vorlane {

struct SettingsPlace {
    // The file in use: every save goes here, and the one-copy rule and the
    // files kept beside the settings go by it. Empty: nowhere to save.
    std::wstring path;
    // Read instead while `path` does not exist yet; empty when there is none.
    std::wstring seed;
};

// "<application data>\Vorlane\Vorlane.ini" for the user's application data
// folder `appData`; empty when that folder is unknown (empty).
std::wstring AppDataSettingsFile(std::wstring appData);

// `appDataFile` is AppDataSettingsFile's.
SettingsPlace ChooseSettingsPlace(const std::wstring& exeFolder, bool exeFolderWritable,
                                  const std::wstring& appDataFile, bool appDataFileExists);

// The folder a save to `path` needs made first: Vorlane's own folder in
// application data; none (empty) for a file in the exe's folder `exeFolder`,
// which exists, or without a folder.
std::wstring FolderToMake(const std::wstring& path, const std::wstring& exeFolder);

// The program's folder, with a trailing backslash (Windows side).
std::wstring ProgramFolder();
// The decision above for this program on this machine (Windows side).
// Creates nothing: a second copy must write nothing before it ends.
SettingsPlace FindSettingsPlace();

}  // namespace vorlane
