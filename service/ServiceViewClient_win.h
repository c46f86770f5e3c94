// A view's side of the service's pipe: a thread that connects, makes sure
// the other end is the running service's process, reads its states and
// posts each to the view's window (WM_VIEW_STATE, then latest()); when the
// service cannot be reached or the pipe breaks it posts WM_VIEW_LOST and
// tries again after the retry time. Whatever comes over the pipe is only
// shown: a line that is not exactly a message is ignored, one without end
// drops the connection (PipeMessage.h).
#pragma once

#include <windows.h>

#include <thread>

#include "framework/Handles.h"
#include "service/PipeMessage.h"

namespace vorlane {

class ServiceViewClient {
  public:
    explicit ServiceViewClient(HWND window) : window_(window) {}
    // Ends the thread.
    ~ServiceViewClient();
    ServiceViewClient(const ServiceViewClient&) = delete;
    ServiceViewClient& operator=(const ServiceViewClient&) = delete;

    // Starts the thread once; false when it cannot be started.
    bool start(DWORD retryMs);
    ViewState latest() const;

  private:
    void read();
    // Reads one connection until it breaks or the view ends.
    void readConnection(HANDLE pipe);

    HWND window_;
    DWORD retryMs_ = 5000;
    framework::UniqueHandle stop_;
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    ViewState latest_;  // under lock_
    std::thread thread_;
};

}  // namespace vorlane
