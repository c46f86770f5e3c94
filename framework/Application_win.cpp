#include "framework/Application.h"

#include "framework/Gdiplus.h"

namespace framework {

bool GdiplusSession::start() {
    if (!ok_) {
        Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    return ok_;
}

GdiplusSession::~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
}

int RunMessageLoop(MessageFilter* filter) {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        if (filter && filter->PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace framework
