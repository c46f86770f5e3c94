// The bar's picture likely to come next, drawn ahead on a worker thread
// while the bar shows the present one. Laying a text out and filling it is
// nearly all that a new text costs a redraw; a countdown's next second drawn
// ahead costs it only a copy of the pixels. The worker draws on a surface of
// its own, as the bar's would, so the pixels are the very ones the bar's
// surface would have drawn.
#pragma once

#include <windows.h>

#include <string>

#include "app/BarSurface_win.h"
#include "framework/Handles.h"

namespace vorlane {

class BarPicturesAhead {
  public:
    BarPicturesAhead() = default;
    // Ends the worker; before GDI+ ends.
    ~BarPicturesAhead();
    BarPicturesAhead(const BarPicturesAhead&) = delete;
    BarPicturesAhead& operator=(const BarPicturesAhead&) = delete;

    // Has the picture likely to follow `shown` drawn, once its text differs
    // from the one shown at the call before. The worker starts at the first
    // picture that has a likely next one.
    void prepareAfter(const BarPicture& shown);
    // Hands over the picture when it has been drawn; false when it was not
    // asked for or is not drawn yet. The caller then draws it itself rather
    // than wait for a worker that runs at the lowest priority.
    bool take(const BarPicture& picture, DrawnPicture& drawn);
    // Until what was asked for is drawn.
    void waitIdle();

  private:
    enum class State { Free, Queued, Drawing, Drawn };

    // An exception cannot leave a thread: out of memory there ends the
    // program, as it would anywhere.
    static DWORD WINAPI RunWorker(void* self) noexcept;
    void run() noexcept;

    // Windows' own slim lock and condition variable: no allocation and no
    // handle, and the exe imports them for the C++ runtime already.
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::wstring lastShown_;  // the owner's alone
    State state_ = State::Free;
    BarPicture next_;         // from Queued on
    DrawnPicture nextDrawn_;  // once Drawn
    bool stop_ = false;
    bool noWorker_ = false;  // the thread could not be started
    framework::UniqueHandle worker_;
};

}  // namespace vorlane
