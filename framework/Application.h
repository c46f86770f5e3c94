// The application object: GDI+ from its first use to the end of the run, and
// the message loop
// in which the main window's pre-translation sees every message before it is
// dispatched.
#pragma once

#include <windows.h>

namespace framework {

class MessageFilter {
  public:
    virtual ~MessageFilter() = default;
    // Return true to swallow the message.
    virtual bool PreTranslateMessage(MSG& msg) = 0;
};

// Starts GDI+ at the first start() and shuts it down in the destructor.
// Started on demand, so that gdiplus.dll (loaded at its first call) and its
// start-up cost nothing before the first drawing or measurement.
class GdiplusSession {
  public:
    GdiplusSession() = default;
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    // Starts GDI+ unless it runs already; false when it cannot start.
    bool start();

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// Runs until WM_QUIT; returns its exit code. `filter` may be null.
int RunMessageLoop(MessageFilter* filter);

}  // namespace framework
