// Move-only owners for Win32 handles: one template, one traits struct per
// handle type. Each owner releases its handle exactly once; copying is deleted
// so that ownership can only be handed on explicitly.
#pragma once

#include <windows.h>

#include <utility>

namespace framework {

template <typename Traits>
class UniqueAny {
  public:
    using pointer = typename Traits::type;

    UniqueAny() noexcept : value_(Traits::invalid()) {}
    explicit UniqueAny(pointer value) noexcept : value_(value) {}
    ~UniqueAny() { reset(); }

    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept {
        pointer value = value_;
        value_ = Traits::invalid();
        return value;
    }

    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = value_;
        value_ = value;
        if (old != Traits::invalid()) Traits::close(old);
    }

  private:
    pointer value_;
};

struct HdcTraits {  // from CreateCompatibleDC / CreateDC
    using type = HDC;
    static type invalid() { return nullptr; }
    static void close(type h) { ::DeleteDC(h); }
};

template <typename T>
struct GdiObjectTraits {  // bitmaps, fonts, brushes, pens
    using type = T;
    static type invalid() { return nullptr; }
    static void close(type h) { ::DeleteObject(h); }
};

struct HandleTraits {  // kernel objects whose failure value is null
    using type = HANDLE;
    static type invalid() { return nullptr; }
    static void close(type h) { ::CloseHandle(h); }
};

struct FileHandleTraits {  // CreateFile and friends fail with INVALID_HANDLE_VALUE
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(type h) { ::CloseHandle(h); }
};

struct HmoduleTraits {
    using type = HMODULE;
    static type invalid() { return nullptr; }
    static void close(type h) { ::FreeLibrary(h); }
};

struct HmenuTraits {
    using type = HMENU;
    static type invalid() { return nullptr; }
    static void close(type h) { ::DestroyMenu(h); }
};

struct HcursorTraits {  // a cursor made by CopyIcon / CreateCursor, not a shared one
    using type = HCURSOR;
    static type invalid() { return nullptr; }
    static void close(type h) { ::DestroyCursor(h); }
};

struct HiconTraits {  // an icon made by CreateIconIndirect, not a shared one
    using type = HICON;
    static type invalid() { return nullptr; }
    static void close(type h) { ::DestroyIcon(h); }
};

struct ScHandleTraits {  // the service manager and its services
    using type = SC_HANDLE;
    static type invalid() { return nullptr; }
    static void close(type h) { ::CloseServiceHandle(h); }
};

struct HkeyTraits {
    using type = HKEY;
    static type invalid() { return nullptr; }
    static void close(type h) { ::RegCloseKey(h); }
};

struct FindChangeTraits {  // FindFirstChangeNotification
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(type h) { ::FindCloseChangeNotification(h); }
};

struct LocalMemoryTraits {  // what the system allocates with LocalAlloc for the caller
    using type = HLOCAL;
    static type invalid() { return nullptr; }
    static void close(type h) { ::LocalFree(h); }
};

using UniqueHdc = UniqueAny<HdcTraits>;
using UniqueHbitmap = UniqueAny<GdiObjectTraits<HBITMAP>>;
using UniqueHfont = UniqueAny<GdiObjectTraits<HFONT>>;
using UniqueHgdiobj = UniqueAny<GdiObjectTraits<HGDIOBJ>>;
using UniqueHandle = UniqueAny<HandleTraits>;
using UniqueFileHandle = UniqueAny<FileHandleTraits>;
using UniqueHmodule = UniqueAny<HmoduleTraits>;
using UniqueHmenu = UniqueAny<HmenuTraits>;
using UniqueHcursor = UniqueAny<HcursorTraits>;
using UniqueHicon = UniqueAny<HiconTraits>;
using UniqueScHandle = UniqueAny<ScHandleTraits>;
using UniqueHkey = UniqueAny<HkeyTraits>;
using UniqueLocalMemory = UniqueAny<LocalMemoryTraits>;

// GetDC / ReleaseDC: the release needs the window as well as the DC.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), hdc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (hdc_) ::ReleaseDC(hwnd_, hdc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return hdc_; }
    explicit operator bool() const noexcept { return hdc_ != nullptr; }

  private:
    HWND hwnd_;
    HDC hdc_;
};

// SelectObject with the previous object selected back at scope end, so that
// the selected object can be deleted afterwards.
class SelectedObject {
  public:
    SelectedObject(HDC hdc, HGDIOBJ object) noexcept
        : hdc_(hdc), previous_(object ? ::SelectObject(hdc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(hdc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};

// An SRW lock held exclusively for the scope.
class SrwExclusive {
  public:
    explicit SrwExclusive(SRWLOCK& lock) noexcept : lock_(lock) {
        ::AcquireSRWLockExclusive(&lock_);
    }
    ~SrwExclusive() { ::ReleaseSRWLockExclusive(&lock_); }
    SrwExclusive(const SrwExclusive&) = delete;
    SrwExclusive& operator=(const SrwExclusive&) = delete;

  private:
    SRWLOCK& lock_;
};

}  // namespace framework
