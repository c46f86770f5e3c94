#include "service/ServiceViewClient_win.h"

#include <vector>

#include "core/Digits.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "service/ServiceControl_win.h"
#include "service/ServiceNames.h"

namespace vorlane {

ServiceViewClient::~ServiceViewClient() {
    if (thread_.joinable()) {
        ::SetEvent(stop_.get());
        thread_.join();
    }
}

bool ServiceViewClient::start(DWORD retryMs) {
    retryMs_ = retryMs;
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) return false;
    thread_ = std::thread([this] { read(); });
    return true;
}

ViewState ServiceViewClient::latest() const {
    framework::SrwExclusive locked(lock_);
    return latest_;
}

void ServiceViewClient::read() {
    for (;;) {
        // Identification only: whoever made the pipe may learn who reads,
        // never act as them.
        framework::UniqueFileHandle pipe(::CreateFileW(
            kViewPipeName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe) {
            // Another program may have made a pipe of this name first: only
            // the service's own process is listened to.
            ULONG server = 0;
            const DWORD service = RunningServiceProcess();
            if (::GetNamedPipeServerProcessId(pipe.get(), &server) && server == service &&
                service != 0) {
                Trace(L"view", L"connected");
                readConnection(pipe.get());
            } else {
                Trace(L"view", L"not-the-service\t" + Decimal(server) + L"\t" + Decimal(service));
            }
        }
        ::PostMessageW(window_, WM_VIEW_LOST, 0, 0);
        if (::WaitForSingleObject(stop_.get(), retryMs_) != WAIT_TIMEOUT) return;
    }
}

void ServiceViewClient::readConnection(HANDLE pipe) {
    framework::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return;
    PipeLineReader reader;
    std::vector<std::string> lines;
    char buffer[4096];
    for (;;) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = done.get();
        ::ResetEvent(done.get());
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, sizeof(buffer), nullptr, &overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            return;
        }
        const HANDLE waits[] = {stop_.get(), done.get()};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            ::CancelIo(pipe);
            ::GetOverlappedResult(pipe, &overlapped, &got, TRUE);
            return;
        }
        if (!::GetOverlappedResult(pipe, &overlapped, &got, FALSE) && got == 0) return;
        lines.clear();
        const bool open = reader.feed(std::string_view(buffer, got), lines);
        for (const std::string& line : lines) {
            const auto state = ParsePipeMessage(line);
            if (!state) {
                Trace(L"view", L"message-refused");
                continue;
            }
            {
                framework::SrwExclusive locked(lock_);
                latest_ = *state;
            }
            ::PostMessageW(window_, WM_VIEW_STATE, 0, 0);
        }
        if (!open) {
            Trace(L"view", L"line-too-long");
            return;
        }
    }
}

}  // namespace vorlane
