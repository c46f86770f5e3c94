// Watches commands that were started without waiting for them (the recovery
// command) and posts `message` to the window when one ends: wParam its exit
// code, lParam how long it ran in milliseconds (from the process's own
// times). The waits run on the system's thread pool; the window learns of
// the end on its own thread.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/AppMessages.h"
#include "framework/Handles.h"

namespace vorlane {

class CommandWatch {
  public:
    CommandWatch(HWND window, UINT message) : window_(window), message_(message) {}
    // Waits for every registered wait to be done with its process first.
    ~CommandWatch();
    CommandWatch(const CommandWatch&) = delete;
    CommandWatch& operator=(const CommandWatch&) = delete;

    void watch(framework::UniqueHandle process);

    struct Watched {
        framework::UniqueHandle process;
        HANDLE wait = nullptr;
        HWND window = nullptr;
        UINT message = 0;
    };

  private:
    HWND window_;
    UINT message_;
    std::vector<std::unique_ptr<Watched>> watched_;
};

}  // namespace vorlane
