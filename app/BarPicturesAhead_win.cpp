#include "app/BarPicturesAhead_win.h"

#include "app/NextTexts.h"

namespace vorlane {

BarPicturesAhead::~BarPicturesAhead() {
    {
        framework::SrwExclusive locked(lock_);
        stop_ = true;
    }
    ::WakeAllConditionVariable(&changed_);
    if (worker_) ::WaitForSingleObject(worker_.get(), INFINITE);
}

void BarPicturesAhead::prepareAfter(const BarPicture& shown) {
    // The same text again foresees nothing new: the way its counter went
    // holds.
    if (shown.text == lastShown_) return;
    std::wstring text = LikelyNextText(lastShown_, shown.text);
    lastShown_ = shown.text;
    if (text.empty()) return;
    {
        framework::SrwExclusive locked(lock_);
        // While the worker draws, it draws what was likely a moment ago; a
        // second later it is free again.
        if (noWorker_ || state_ == State::Drawing) return;
        next_ = shown;
        next_.text = std::move(text);
        state_ = State::Queued;
        if (!worker_) {
            worker_.reset(::CreateThread(nullptr, 0, RunWorker, this, 0, nullptr));
            // Never in the way: what it draws is needed a second from now.
            if (worker_) ::SetThreadPriority(worker_.get(), THREAD_PRIORITY_LOWEST);
            if (!worker_) {
                // Every picture is then drawn when it is shown, as without a
                // worker.
                noWorker_ = true;
                state_ = State::Free;
                return;
            }
        }
    }
    ::WakeAllConditionVariable(&changed_);
}

bool BarPicturesAhead::take(const BarPicture& picture, DrawnPicture& drawn) {
    framework::SrwExclusive locked(lock_);
    if (state_ != State::Drawn || !(next_ == picture)) {
        // Not drawn yet: no longer worth drawing ahead.
        if (state_ == State::Queued && next_ == picture) state_ = State::Free;
        return false;
    }
    drawn.swap(nextDrawn_);
    state_ = State::Free;
    return true;
}

void BarPicturesAhead::waitIdle() {
    framework::SrwExclusive locked(lock_);
    while (state_ == State::Queued || state_ == State::Drawing) {
        ::SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    }
}

DWORD WINAPI BarPicturesAhead::RunWorker(void* self) noexcept {
    static_cast<BarPicturesAhead*>(self)->run();
    return 0;
}

void BarPicturesAhead::run() noexcept {
    BarSurface surface;
    DrawnPicture drawn;
    framework::SrwExclusive locked(lock_);
    for (;;) {
        if (stop_) return;
        if (state_ != State::Queued) {
            ::SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
            continue;
        }
        state_ = State::Drawing;
        const BarPicture picture = next_;
        ::ReleaseSRWLockExclusive(&lock_);
        const bool done = surface.draw(picture);
        if (done) surface.copyDrawn(drawn);
        ::AcquireSRWLockExclusive(&lock_);
        if (done) drawn.swap(nextDrawn_);
        state_ = done ? State::Drawn : State::Free;
        ::WakeAllConditionVariable(&changed_);
    }
}

}  // namespace vorlane
