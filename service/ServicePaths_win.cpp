#include "service/ServicePaths_win.h"

#include <windows.h>

#include <shlobj.h>

#include "core/EventLog_win.h"
#include "core/IniDocument.h"
#include "framework/ExePath.h"
#include "framework/Handles.h"

namespace vorlane {
namespace {

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::wstring();
    }
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

}  // namespace

ServicePaths InstalledPaths() {
    ServicePaths paths;
    const std::wstring programs = KnownFolder(CSIDL_PROGRAM_FILES);
    const std::wstring data = KnownFolder(CSIDL_COMMON_APPDATA);
    if (programs.empty() || data.empty()) return paths;
    paths.programFolder = programs + L"\\Vorlane";
    paths.exe = paths.programFolder + L"\\Vorlane.exe";
    paths.sound = paths.programFolder + L"\\alert.wav";
    paths.dataFolder = data + L"\\Vorlane";
    paths.settings = paths.dataFolder + L"\\Vorlane.ini";
    paths.log = LogPathBeside(paths.settings);
    return paths;
}

std::optional<std::string> ReadSettingsFile(const std::wstring& path, DWORD& error) {
    error = 0;
    framework::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) {
            error = ::GetLastError();
            return std::nullopt;
        }
        if (got == 0 || bytes.size() > kMaxIniBytes) return bytes;
        bytes.append(buffer, got);
    }
}

std::wstring OwnExePath() { return framework::ExePath(); }

}  // namespace vorlane
