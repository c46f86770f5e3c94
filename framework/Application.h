// The application object: GDI+ for the life of the run, and the message loop
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

// Starts GDI+ in the constructor and shuts it down in the destructor.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const noexcept { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// Runs until WM_QUIT; returns its exit code. `filter` may be null.
int RunMessageLoop(MessageFilter* filter);

}  // namespace framework
