#include "core/SettingsPlace.h"

#include <windows.h>
#include <shlobj.h>

#include "core/Digits.h"
#include "framework/ExePath.h"

namespace vorlane {
namespace {

// Creating a file is the one test that answers for ACLs, read-only media and
// locked-down program folders alike; attributes would not.
bool FolderIsWritable(const std::wstring& folder) {
    const std::wstring probe = folder + L"Vorlane." + Decimal(::GetCurrentProcessId()) + L".probe";
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

std::wstring AppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) &&
        path[0]) {
        return path;
    }
    const DWORD n = ::GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path) : std::wstring();
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ProgramFolder() {
    const std::wstring path = framework::ExePath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L".\\" : path.substr(0, slash + 1);
}

SettingsPlace FindSettingsPlace() {
    const std::wstring exeFolder = ProgramFolder();
    const bool writable = FolderIsWritable(exeFolder);
    const std::wstring appDataFile =
        writable ? std::wstring() : AppDataSettingsFile(AppDataFolder());
    return ChooseSettingsPlace(exeFolder, writable, appDataFile,
                               !appDataFile.empty() && FileExists(appDataFile));
}

}  // namespace vorlane
