// The settings file's disk operations, and what the user sees when a save
// fails.
#include "core/CoreInternal_win.h"
#include "core/EventLog_win.h"
#include "core/Texts.h"

#include "core/Trace.h"
#include "framework/Handles.h"
#include "res/resource.h"

namespace vorlane {

bool WindowsFileSystem::Fail() {
    lastError_ = ::GetLastError();
    return false;
}

FileSystem::ReadStatus WindowsFileSystem::Read(const std::wstring& path, size_t limit,
                                               std::string& bytes) {
    framework::UniqueFileHandle file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Fail();
        return lastError_ == ERROR_FILE_NOT_FOUND || lastError_ == ERROR_PATH_NOT_FOUND
                   ? ReadStatus::NotFound
                   : ReadStatus::Failed;
    }
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) {
        Fail();
        return ReadStatus::Failed;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > limit) return ReadStatus::TooLarge;

    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!::ReadFile(file.get(), &bytes[done], want, &got, nullptr)) {
            Fail();
            return ReadStatus::Failed;
        }
        if (got == 0) break;  // shrank while we read
        done += got;
    }
    bytes.resize(done);
    return ReadStatus::Ok;
}

bool WindowsFileSystem::WriteFlushed(const std::wstring& path, const std::string& bytes) {
    framework::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Fail();
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!::WriteFile(file.get(), bytes.data() + done, want, &put, nullptr) || put == 0) {
            return Fail();
        }
        done += put;
    }
    // The rename must not reach the disk before the data it names.
    if (!::FlushFileBuffers(file.get())) return Fail();
    HANDLE handle = file.release();
    if (!::CloseHandle(handle)) return Fail();
    return true;
}

bool WindowsFileSystem::Replace(const std::wstring& from, const std::wstring& to) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    return Fail();
}

void WindowsFileSystem::Remove(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

void ReportSaveOutcome(SaveOutcome outcome, const wchar_t* what, const std::wstring& path,
                       DWORD error) {
    if (outcome == SaveOutcome::Saved) {
        Trace(L"saved", what ? what : L"settings");
        return;
    }
    if (outcome != SaveOutcome::Failed) return;
    Trace(L"saved", L"failed");

    std::wstring text = Text(IDS_SAVE_FAILED, {path});
    wchar_t* reason = nullptr;
    if (error != 0 &&
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr) &&
        reason) {
        text += L"\n" + std::wstring(reason);
        ::LocalFree(reason);
    }
    ProgramLog().write("warning", LogDetails().add(L"text", text));
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), L"Vorlane", MB_OK | MB_ICONWARNING);
}

}  // namespace vorlane
