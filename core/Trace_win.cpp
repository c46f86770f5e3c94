// The diagnostic trace file. Opened once, on first use, for appending only:
// every line is one WriteFile on a FILE_APPEND_DATA handle, which Windows
// appends whole, so that a reader (a test) may watch the file as it grows.
#include "core/Trace.h"

#include <windows.h>

#include "core/Digits.h"
#include "core/Utf.h"
#include "framework/Handles.h"

namespace vorlane {
namespace {

class TraceFile {
  public:
    TraceFile() {
        wchar_t path[MAX_PATH * 2] = {};
        const DWORD n = ::GetEnvironmentVariableW(L"VORLANE_TRACE", path, MAX_PATH * 2);
        if (n == 0 || n >= MAX_PATH * 2) return;
        file_ = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return;
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&base_);
        // Times count from the process's creation, not from this first use.
        FILETIME created, exited, kernel, user, now;
        if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
            ::GetSystemTimeAsFileTime(&now);
            const long long age = Ticks(now) - Ticks(created);
            if (age > 0) baseMs_ = age / 10000;
            // Several programs may write one file (the service and its
            // view): this line puts each one's times on one clock, the
            // milliseconds since 1970 at the process's creation.
            const long long unixMs = (Ticks(created) - 116444736000000000LL) / 10000;
            Write(L"clock", Decimal(::GetCurrentProcessId()) + L"\t" + Decimal(unixMs));
        }
    }

    bool enabled() const { return file_ != INVALID_HANDLE_VALUE; }

    void Write(const wchar_t* kind, const std::wstring& detail) {
        LARGE_INTEGER counter;
        ::QueryPerformanceCounter(&counter);
        const long long ms =
            baseMs_ + (frequency_.QuadPart > 0
                           ? (counter.QuadPart - base_.QuadPart) * 1000 / frequency_.QuadPart
                           : 0);
        std::string line =
            Decimal<char>(ms) + "\t" + OneLine(kind ? kind : L"") + "\t" + OneLine(detail) + "\n";
        framework::SrwExclusive locked(lock_);
        DWORD written = 0;
        ::WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

  private:
    static long long Ticks(const FILETIME& t) {
        return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }
    // A line break inside a text would split its line in two for the reader.
    static std::string OneLine(const std::wstring& text) {
        std::string utf8 = WideToUtf8(text);
        for (char& c : utf8) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        return utf8;
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    SRWLOCK lock_ = SRWLOCK_INIT;
    LARGE_INTEGER frequency_ = {};
    LARGE_INTEGER base_ = {};
    long long baseMs_ = 0;
};

// Never destroyed, so that destructors running at process end can trace too.
TraceFile& File() {
    static TraceFile* file = new TraceFile;
    return *file;
}

}  // namespace

bool TraceEnabled() { return File().enabled(); }

void Trace(const wchar_t* kind, const std::wstring& detail) {
    TraceFile& file = File();
    if (file.enabled()) file.Write(kind, detail);
}

void Trace(const wchar_t* kind, const wchar_t* detail) {
    TraceFile& file = File();
    if (file.enabled()) file.Write(kind, detail);
}

}  // namespace vorlane
