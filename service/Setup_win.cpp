#include "service/Setup_win.h"

#include <shellapi.h>

#include <optional>
#include <vector>

#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/SettingsPlace.h"
#include "core/Trace.h"
#include "framework/Handles.h"
#include "framework/ShellCom.h"
#include "service/Security_win.h"
#include "service/ServiceControl_win.h"
#include "service/ServiceNames.h"
#include "service/ServicePaths_win.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

constexpr DWORD kStopWaitMs = 30000;
constexpr DWORD kStartWaitMs = 30000;

struct Failure {
    SetupOutcome outcome;
    std::wstring detail;
};

std::wstring Reason(const std::wstring& what, DWORD error) {
    return what + L"（" + SystemErrorText(error) + L"）";
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The settings file the bar would use from this exe's folder.
std::wstring DefaultSettingsSource() {
    const SettingsPlace place = FindSettingsPlace();
    const DWORD attributes = ::GetFileAttributesW(place.path.c_str());
    if (!place.path.empty() && attributes != INVALID_FILE_ATTRIBUTES) return place.path;
    return place.seed.empty() ? place.path : place.seed;
}

std::optional<Failure> SecureFolder(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    FolderFacts facts;
    facts.exists = attributes != INVALID_FILE_ATTRIBUTES;
    facts.directory = facts.exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.reparsePoint = facts.exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    switch (DecideFolder(facts)) {
        case FolderStep::Refuse:
            return Failure{SetupOutcome::UnsafeFolder, Text(IDS_FOLDER_NOT_PLAIN, {folder})};
        case FolderStep::Create: {
            InstalledAttributes secured;
            if (!::CreateDirectoryW(folder.c_str(), secured.get())) {
                return Failure{SetupOutcome::UnsafeFolder, Reason(folder, ::GetLastError())};
            }
            break;
        }
        case FolderStep::Secure:
            if (const DWORD error = ApplyInstalledDescriptor(folder)) {
                return Failure{SetupOutcome::UnsafeFolder, Reason(folder, error)};
            }
            break;
    }
    // What the system holds now, whatever was asked of it.
    Trace(L"setup", L"descriptor\t" + folder + L"\t" + DescriptorText(folder));
    const std::wstring others = OthersWhoCanChange(folder);
    if (!others.empty()) {
        return Failure{SetupOutcome::UnsafeFolder, Text(IDS_OTHERS_CAN_CHANGE, {folder, others})};
    }
    // What was there before the folder was made safe: a link or a file
    // with more names could make the service write elsewhere.
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<Failure> failure;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
            failure = Failure{SetupOutcome::UnsafeFolder, Text(IDS_FOLDER_HAS_LINK, {path})};
            break;
        }
        framework::UniqueFileHandle file(::CreateFileW(
            path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION info = {};
        if (file && ::GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1) {
            failure = Failure{SetupOutcome::UnsafeFolder, Text(IDS_FOLDER_HARD_LINK, {path})};
            break;
        }
        if (!OthersWhoCanChange(path).empty()) {
            if (const DWORD error = ApplyInstalledDescriptor(path)) {
                failure = Failure{SetupOutcome::UnsafeFolder, Reason(path, error)};
                break;
            }
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return failure;
}

// Puts `bytes` (or a copy of `source`) at `target` through a new file
// beside it with the installed descriptor, replacing what was there; a
// running exe in the way is renamed aside and removed at the next start of
// Windows.
std::optional<Failure> PutFile(const std::wstring& target, const std::wstring& source,
                               const std::string* bytes) {
    const std::wstring fresh = target + L".new";
    if (bytes) {
        InstalledAttributes secured;
        framework::UniqueFileHandle file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0,
                                                       secured.get(), CREATE_ALWAYS,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file ||
            !::WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written,
                         nullptr) ||
            written != bytes->size() || !::FlushFileBuffers(file.get())) {
            const DWORD error = ::GetLastError();
            file.reset();
            ::DeleteFileW(fresh.c_str());
            return Failure{SetupOutcome::FileFailed, Reason(target, error)};
        }
    } else if (!::CopyFileW(source.c_str(), fresh.c_str(), FALSE)) {
        return Failure{SetupOutcome::FileFailed, Reason(target, ::GetLastError())};
    }
    if (const DWORD error = ApplyInstalledDescriptor(fresh)) {
        ::DeleteFileW(fresh.c_str());
        return Failure{SetupOutcome::FileFailed, Reason(target, error)};
    }
    if (::MoveFileExW(fresh.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return std::nullopt;
    }
    const std::wstring aside = target + L".old";
    ::DeleteFileW(aside.c_str());
    if (::MoveFileExW(target.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) &&
        ::MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        if (!::DeleteFileW(aside.c_str())) {
            ::MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
        return std::nullopt;
    }
    const DWORD error = ::GetLastError();
    ::DeleteFileW(fresh.c_str());
    return Failure{SetupOutcome::FileFailed, Reason(target, error)};
}

std::optional<Failure> RegisterService(SC_HANDLE manager, const ServicePaths& paths,
                                       framework::UniqueScHandle& service) {
    const std::wstring command = L"\"" + paths.exe + L"\" /service";
    service.reset(::OpenServiceW(manager, kServiceName, SERVICE_ALL_ACCESS));
    if (service) {
        if (!::ChangeServiceConfigW(service.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                    SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                    nullptr, L"LocalSystem", L"", kServiceDisplayName)) {
            return Failure{SetupOutcome::RegisterFailed, Reason(kServiceName, ::GetLastError())};
        }
    } else {
        service.reset(::CreateServiceW(manager, kServiceName, kServiceDisplayName,
                                       SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, command.c_str(),
                                       nullptr, nullptr, nullptr, nullptr, nullptr));
        if (!service) {
            return Failure{SetupOutcome::RegisterFailed, Reason(kServiceName, ::GetLastError())};
        }
    }
    std::wstring describe = Text(IDS_SERVICE_DESCRIPTION);
    SERVICE_DESCRIPTIONW description = {describe.data()};
    ::ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &description);
    SC_ACTION restarts[kRestarts];
    for (SC_ACTION& action : restarts) action = {SC_ACTION_RESTART, kRestartDelayMs};
    SERVICE_FAILURE_ACTIONSW failure = {};
    failure.dwResetPeriod = kRestartCountResetSeconds;
    failure.cActions = kRestarts;
    failure.lpsaActions = restarts;
    if (!::ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, &failure)) {
        return Failure{SetupOutcome::RegisterFailed,
                       Reason(Text(IDS_RESTART_SETTINGS, {kServiceName}), ::GetLastError())};
    }
    Trace(L"setup", L"registered\t" + command);

    framework::UniqueHkey key;
    HKEY raw = nullptr;
    LONG result = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, 0,
                                    KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (result == ERROR_SUCCESS) {
        key.reset(raw);
        const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
        result = ::RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ,
                                  reinterpret_cast<const BYTE*>(paths.exe.c_str()),
                                  static_cast<DWORD>((paths.exe.size() + 1) * sizeof(wchar_t)));
        if (result == ERROR_SUCCESS) {
            result = ::RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&types), sizeof(types));
        }
    }
    if (result != ERROR_SUCCESS) {
        return Failure{
            SetupOutcome::RegisterFailed,
            Reason(std::wstring(L"HKLM\\") + kEventSourceKey, static_cast<DWORD>(result))};
    }
    return std::nullopt;
}

SetupOutcome Install(const std::wstring& requestedSource, std::wstring& detail) {
    if (!IsAdministrator()) return SetupOutcome::NeedsAdmin;
    const std::wstring source = requestedSource.empty() ? DefaultSettingsSource() : requestedSource;
    // Read once: what is checked is what is installed.
    DWORD readError = 0;
    const std::optional<std::string> bytes = ReadSettingsFile(source, readError);
    if (!bytes && readError != ERROR_FILE_NOT_FOUND && readError != ERROR_PATH_NOT_FOUND) {
        detail = Reason(source, readError);
        return SetupOutcome::SettingsRefused;
    }
    const SettingsVerdict verdict = CheckSettingsBytes(bytes);
    if (verdict.outcome != SetupOutcome::Done) {
        detail = verdict.outcome == SetupOutcome::SettingsMissing ? source
                                                                  : verdict.reason + L"\n" + source;
        return verdict.outcome;
    }
    const ServicePaths paths = InstalledPaths();
    if (paths.exe.empty()) {
        detail = L"%ProgramFiles%, %ProgramData%";
        return SetupOutcome::UnsafeFolder;
    }
    framework::UniqueScHandle manager(
        ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
    if (!manager) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED) return SetupOutcome::NeedsAdmin;
        detail = Reason(Text(IDS_SERVICE_MANAGER), error);
        return SetupOutcome::RegisterFailed;
    }
    // The running service holds its exe: stopped before the copy.
    framework::UniqueScHandle running(
        ::OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (running) {
        if (const DWORD error = StopAndWait(running.get(), kStopWaitMs)) {
            detail = Reason(kServiceName, error);
            return SetupOutcome::ServiceFailed;
        }
        running.reset();
    }

    const std::wstring ownExe = OwnExePath();
    const std::wstring ownFolder = ProgramFolder();
    std::optional<Failure> failure = SecureFolder(paths.programFolder);
    if (!failure && !SamePath(ownExe, paths.exe)) failure = PutFile(paths.exe, ownExe, nullptr);
    const std::wstring sound = ownFolder + L"alert.wav";
    if (!failure && ::GetFileAttributesW(sound.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !SamePath(sound, paths.sound)) {
        failure = PutFile(paths.sound, sound, nullptr);
    }
    if (!failure) failure = SecureFolder(paths.dataFolder);
    if (!failure) failure = PutFile(paths.settings, std::wstring(), &*bytes);
    if (failure) {
        detail = failure->detail;
        return failure->outcome;
    }
    Trace(L"setup", L"descriptor\t" + paths.settings + L"\t" + DescriptorText(paths.settings));

    framework::UniqueScHandle service;
    failure = RegisterService(manager.get(), paths, service);
    if (failure) {
        detail = failure->detail;
        return failure->outcome;
    }
    if (const DWORD error = StartAndWait(service.get(), kStartWaitMs)) {
        detail = Text(IDS_SETUP_SEE_LOG, {Reason(kServiceName, error), paths.log});
        return SetupOutcome::ServiceFailed;
    }
    detail = Text(IDS_SETUP_INSTALLED_FILES, {paths.exe, paths.settings, paths.log});
    return SetupOutcome::Done;
}

// Deletes a file of the install; one still in use goes at the next start of
// Windows. False only when neither can be done.
bool RemoveInstalledFile(const std::wstring& path, bool& later) {
    if (::DeleteFileW(path.c_str())) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    if (::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        later = true;
        return true;
    }
    return false;
}

SetupOutcome Uninstall(std::wstring& detail) {
    if (!IsAdministrator()) return SetupOutcome::NeedsAdmin;
    const ServicePaths paths = InstalledPaths();
    framework::UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED) return SetupOutcome::NeedsAdmin;
        detail = Reason(Text(IDS_SERVICE_MANAGER), error);
        return SetupOutcome::RegisterFailed;
    }
    framework::UniqueScHandle service(
        ::OpenServiceW(manager.get(), kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED) return SetupOutcome::NeedsAdmin;
        if (error != ERROR_SERVICE_DOES_NOT_EXIST) {
            detail = Reason(kServiceName, error);
            return SetupOutcome::RegisterFailed;
        }
    } else {
        if (const DWORD error = StopAndWait(service.get(), kStopWaitMs)) {
            detail = Reason(kServiceName, error);
            return SetupOutcome::ServiceFailed;
        }
        if (!::DeleteService(service.get()) &&
            ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
            detail = Reason(kServiceName, ::GetLastError());
            return SetupOutcome::RegisterFailed;
        }
    }
    const LONG removed = ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey);
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) {
        detail = Reason(std::wstring(L"HKLM\\") + kEventSourceKey, static_cast<DWORD>(removed));
        return SetupOutcome::RegisterFailed;
    }
    Trace(L"setup", L"unregistered");

    bool later = false;
    if (!paths.programFolder.empty()) {
        // Through a link, deleting could reach other files: only a real folder.
        const DWORD attributes = ::GetFileAttributesW(paths.programFolder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            for (const std::wstring& file :
                 {paths.exe, paths.sound, paths.exe + L".new", paths.exe + L".old"}) {
                if (!RemoveInstalledFile(file, later)) {
                    detail = Reason(file, ::GetLastError());
                    return SetupOutcome::FileFailed;
                }
            }
            if (!::RemoveDirectoryW(paths.programFolder.c_str()) && !later) {
                ::MoveFileExW(paths.programFolder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            }
        }
    }
    detail = Text(IDS_SETUP_KEPT, {paths.dataFolder});
    if (later) detail += L"\n" + Text(IDS_SETUP_DELETE_LATER, {paths.programFolder});
    return SetupOutcome::Done;
}

// Text to the console the program was started from; false when there is none.
bool WriteToConsole(const std::wstring& text) {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    framework::UniqueFileHandle out(::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
    std::wstring line = L"\r\n" + text + L"\r\n";
    DWORD written = 0;
    const bool ok = out && ::WriteConsoleW(out.get(), line.c_str(), static_cast<DWORD>(line.size()),
                                           &written, nullptr);
    ::FreeConsole();
    return ok;
}

SetupOutcome RunElevated(const std::wstring& parameters) {
    framework::BeginShellCom();
    const std::wstring exe = OwnExePath();
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = L"runas";
    run.lpFile = exe.c_str();
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&run) || !run.hProcess) return SetupOutcome::NeedsAdmin;
    framework::UniqueHandle process(run.hProcess);
    // The prompt and the steps take a while; the dialog is not redrawn
    // meanwhile, but its messages are taken.
    for (;;) {
        HANDLE waitFor = process.get();
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return SetupOutcome::ServiceFailed;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.get(), &code) || code > 8) return SetupOutcome::ServiceFailed;
    return static_cast<SetupOutcome>(code);
}

}  // namespace

int RunSetupCommand(bool install, const std::wstring& settingsPath, bool quiet,
                    const std::wstring& refused) {
    std::wstring detail = refused;
    const SetupOutcome outcome = !refused.empty() ? SetupOutcome::BadCommandLine
                                 : install        ? Install(settingsPath, detail)
                                                  : Uninstall(detail);
    const std::wstring text = SetupText(install, outcome, detail);
    Trace(L"setup", std::wstring(install ? L"install\t" : L"uninstall\t") +
                        Decimal(SetupExitCode(outcome)) + L"\t" + text);
    if (!quiet && !WriteToConsole(text)) {
        const UINT icon = outcome == SetupOutcome::Done ? MB_ICONINFORMATION : MB_ICONWARNING;
        ::MessageBoxW(nullptr, text.c_str(), L"Vorlane", MB_OK | icon | MB_SETFOREGROUND);
    }
    return SetupExitCode(outcome);
}

SetupOutcome InstallService(const std::wstring& settingsPath, std::wstring& text) {
    std::wstring detail;
    SetupOutcome outcome;
    if (IsAdministrator()) {
        outcome = Install(settingsPath, detail);
    } else {
        outcome = RunElevated(L"/install /quiet \"" + settingsPath + L"\"");
        detail = outcome == SetupOutcome::SettingsMissing ? settingsPath : std::wstring();
    }
    text = SetupText(true, outcome, detail);
    Trace(L"setup", L"install\t" + Decimal(SetupExitCode(outcome)) + L"\t" + text);
    return outcome;
}

SetupOutcome UninstallService(std::wstring& text) {
    std::wstring detail;
    const SetupOutcome outcome =
        IsAdministrator() ? Uninstall(detail) : RunElevated(L"/uninstall /quiet");
    text = SetupText(false, outcome, detail);
    Trace(L"setup", L"uninstall\t" + Decimal(SetupExitCode(outcome)) + L"\t" + text);
    return outcome;
}

}  // namespace vorlane
