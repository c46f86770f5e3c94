// The event log's disk and clock on Windows. A line is one WriteFile on a
// handle opened for FILE_APPEND_DATA only: the system appends each write
// whole at the end of the file, so two programs writing the same file never
// interleave within a line. The file is opened for each line and closed
// again, which costs little at the log's rate of a few lines an hour, never
// holds the file against another program (or its rotation) and makes every
// event a fresh try after a failure.
#include "core/EventLog_win.h"

#include <windows.h>

#include "core/Digits.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

class WindowsLogDisk : public LogDisk {
  public:
    bool append(const std::wstring& path, std::string_view bytes, bool flush) override {
        HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return fail();
        bytes = mend_.toWrite(bytes);
        DWORD written = 0;
        bool ok =
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
        mend_.wrote(ok, written);
        if (ok && flush) ok = ::FlushFileBuffers(file) != FALSE;
        if (!ok) lastError_ = ::GetLastError();
        ::CloseHandle(file);
        return ok;
    }

    std::uint64_t size(const std::wstring& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    bool replace(const std::wstring& from, const std::wstring& to) override {
        return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) || fail();
    }

    unsigned long lastError() const override { return lastError_; }

  private:
    bool fail() {
        lastError_ = ::GetLastError();
        return false;
    }
    DWORD lastError_ = 0;
    TornLineMend mend_;
};

long long Ticks(const SYSTEMTIME& time) {
    FILETIME file;
    if (!::SystemTimeToFileTime(&time, &file)) return 0;
    return (static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

class SystemLogClock : public LogClock {
  public:
    LocalTime now() override {
        SYSTEMTIME utc;
        ::GetSystemTime(&utc);
        SYSTEMTIME local;
        if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
        LocalTime at;
        at.year = local.wYear;
        at.month = local.wMonth;
        at.day = local.wDay;
        at.hour = local.wHour;
        at.minute = local.wMinute;
        at.second = local.wSecond;
        at.millisecond = local.wMilliseconds;
        // The offset of this very moment, daylight saving included.
        at.offsetMinutes = UtcOffsetMinutes(Ticks(local), Ticks(utc));
        return at;
    }
};

}  // namespace

EventLog& ProgramLog() {
    static WindowsLogDisk* disk = new WindowsLogDisk;
    static SystemLogClock* clock = new SystemLogClock;
    static EventLog* log = new EventLog(*disk, *clock);
    return *log;
}

LocalTime LocalNow() { return SystemLogClock().now(); }

std::wstring SystemErrorText(unsigned long error) {
    std::wstring text;
    wchar_t* message = nullptr;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr) &&
        message) {
        text = message;
        ::LocalFree(message);
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    const std::wstring code = Text(IDS_ERROR_CODE, {Decimal(error)});
    return text.empty() ? code : Text(IDS_ERROR_WITH_CODE, {text, code});
}

}  // namespace vorlane
