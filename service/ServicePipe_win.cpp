#include "service/ServicePipe_win.h"

#include <sddl.h>

#include <vector>

#include "core/Trace.h"
#include "service/ServiceNames.h"
#include "service/Setup.h"

namespace vorlane {
namespace {

constexpr DWORD kOutBufferBytes = 64 * 1024;
// A view whose write has waited this long does not read: it is dropped.
constexpr ULONGLONG kStalledWriteMs = 10000;

HANDLE MakeInstance(bool first) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kViewPipeSddl, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return INVALID_HANDLE_VALUE;
    }
    framework::UniqueLocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    return ::CreateNamedPipeW(
        kViewPipeName,
        PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, kPipeViews,
        kOutBufferBytes, 0, 0, &attributes);
}

}  // namespace

struct ServicePipe::Slot {
    enum class Stage { Idle, Listening, Connected, Writing };
    framework::UniqueFileHandle pipe;
    framework::UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped = {};
    Stage stage = Stage::Idle;
    std::string sending;  // lives until its write completes
    unsigned long sent = 0;
    ULONGLONG writeStarted = 0;

    void listen() {
        ::ResetEvent(done.get());
        overlapped = {};
        overlapped.hEvent = done.get();
        if (::ConnectNamedPipe(pipe.get(), &overlapped)) {
            stage = Stage::Connected;
            return;
        }
        switch (::GetLastError()) {
            case ERROR_IO_PENDING:
                stage = Stage::Listening;
                break;
            case ERROR_PIPE_CONNECTED:
                stage = Stage::Connected;
                sent = 0;
                break;
            default:
                stage = Stage::Idle;
        }
    }

    void write(const std::string& message, unsigned long version) {
        sending = message;
        sent = version;
        ::ResetEvent(done.get());
        overlapped = {};
        overlapped.hEvent = done.get();
        writeStarted = ::GetTickCount64();
        if (::WriteFile(pipe.get(), sending.data(), static_cast<DWORD>(sending.size()), nullptr,
                        &overlapped) ||
            ::GetLastError() == ERROR_IO_PENDING) {
            stage = Stage::Writing;  // done is set once it has gone
            return;
        }
        drop();
    }

    // Cancels what is under way, waits until it is, and listens again.
    void drop() {
        if (stage == Stage::Listening || stage == Stage::Writing) {
            ::CancelIo(pipe.get());
            DWORD ignored = 0;
            ::GetOverlappedResult(pipe.get(), &overlapped, &ignored, TRUE);
        }
        ::DisconnectNamedPipe(pipe.get());
        sent = 0;
        listen();
    }
};

ServicePipe::~ServicePipe() {
    if (thread_.joinable()) {
        ::SetEvent(stop_.get());
        thread_.join();
    }
}

DWORD ServicePipe::start() {
    first_.reset(MakeInstance(true));
    if (!first_) return ::GetLastError();
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    changed_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!stop_ || !changed_) return ::GetLastError();
    thread_ = std::thread([this] { serve(); });
    return 0;
}

void ServicePipe::publish(const ViewState& state) {
    std::string message = FormatPipeMessage(state);
    {
        framework::SrwExclusive locked(lock_);
        if (message == message_) return;
        message_ = std::move(message);
        ++version_;
    }
    if (changed_) ::SetEvent(changed_.get());
}

void ServicePipe::serve() {
    std::vector<Slot> slots(kPipeViews);
    slots[0].pipe = std::move(first_);
    for (int i = 1; i < kPipeViews; ++i) slots[i].pipe.reset(MakeInstance(false));
    for (Slot& slot : slots) {
        if (slot.pipe) slot.listen();
    }
    std::string message;
    unsigned long version = 0;
    for (;;) {
        {
            framework::SrwExclusive locked(lock_);
            message = message_;
            version = version_;
        }
        for (Slot& slot : slots) {
            if (slot.stage == Slot::Stage::Connected && slot.sent != version && version != 0) {
                slot.write(message, version);
            } else if (slot.stage == Slot::Stage::Writing &&
                       ::GetTickCount64() - slot.writeStarted > kStalledWriteMs) {
                Trace(L"service", L"pipe\tview-dropped");
                slot.drop();
            }
        }
        std::vector<HANDLE> waits = {stop_.get(), changed_.get()};
        std::vector<Slot*> waiting;
        for (Slot& slot : slots) {
            if (slot.stage == Slot::Stage::Listening || slot.stage == Slot::Stage::Writing) {
                waits.push_back(slot.done.get());
                waiting.push_back(&slot);
            }
        }
        const DWORD woke = ::WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(),
                                                    FALSE, static_cast<DWORD>(kStalledWriteMs));
        if (woke == WAIT_OBJECT_0) break;
        if (woke < WAIT_OBJECT_0 + 2 || woke >= WAIT_OBJECT_0 + waits.size()) continue;
        Slot& slot = *waiting[woke - WAIT_OBJECT_0 - 2];
        DWORD bytes = 0;
        const bool ok = ::GetOverlappedResult(slot.pipe.get(), &slot.overlapped, &bytes, FALSE);
        if (!ok) {
            slot.drop();
        } else if (slot.stage == Slot::Stage::Listening) {
            Trace(L"service", L"pipe\tview-connected");
            slot.stage = Slot::Stage::Connected;
            slot.sent = 0;
        } else {
            slot.stage = Slot::Stage::Connected;
        }
    }
    for (Slot& slot : slots) {
        if (slot.stage == Slot::Stage::Listening || slot.stage == Slot::Stage::Writing) {
            ::CancelIo(slot.pipe.get());
            DWORD ignored = 0;
            ::GetOverlappedResult(slot.pipe.get(), &slot.overlapped, &ignored, TRUE);
        }
    }
}

}  // namespace vorlane
