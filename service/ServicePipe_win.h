// The service's side of the views' pipe (kViewPipeName): up to kPipeViews
// views at once, each told the newest state (PipeMessage.h) when it
// connects and whenever the state changes. The pipe is outbound only and
// its descriptor (kViewPipeSddl) lets interactive users read and nothing
// else; the service never reads from it, so nothing a view sends can reach
// the service. A view that stops reading is dropped rather than waited for.
// The pipe's own thread does all of it; publish() is the only way in.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

#include "framework/Handles.h"
#include "service/PipeMessage.h"

namespace vorlane {

constexpr int kPipeViews = 8;

class ServicePipe {
  public:
    ServicePipe() = default;
    // Ends the thread and every connection.
    ~ServicePipe();
    ServicePipe(const ServicePipe&) = delete;
    ServicePipe& operator=(const ServicePipe&) = delete;

    // Makes the pipe's first instance and starts the thread; 0, or the
    // system's error code (the name is taken: another program made the pipe
    // first, which a view then cannot mistake for the service, see
    // ServiceViewClient_win.h).
    DWORD start();
    // Any thread: the state every view is to show.
    void publish(const ViewState& state);

  private:
    struct Slot;
    void serve();

    framework::UniqueFileHandle first_;
    framework::UniqueHandle stop_;
    framework::UniqueHandle changed_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::string message_;        // under lock_
    unsigned long version_ = 0;  // under lock_
    std::thread thread_;
};

}  // namespace vorlane
