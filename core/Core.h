// The core service layer: settings store, text measurement, command run,
// warnings and the About box. One instance, theCore, lives from the start of
// the application (app/App_win.h) to its end.
#pragma once

#include <windows.h>

#include "core/SettingsPlace.h"
#include "framework/Gdiplus.h"
#include "framework/Handles.h"

#include <memory>
#include <string>

namespace framework {
class MessageFilter;
}

namespace vorlane {

// The 354-byte product identity record: four zero-terminated hex texts at
// offsets 0 (version), 51 (short name), 152 (kind) and 253 (full name).
struct tagSoft {
    char bytes[354];
};

enum tagOprType { OprAbout = 4 };

class ConfigStore;
enum class SaveOutcome;
class WindowsFileSystem;

// How a command line run by cmdWait ended.
struct CommandOutcome {
    enum class Kind { Ended, NotStarted, StillRunning };
    Kind kind = Kind::NotStarted;
    DWORD exitCode = 0;        // Ended
    DWORD error = 0;           // NotStarted: the system's code
    ULONGLONG durationMs = 0;  // from the start to the end, or to Exit
};

class CCore {
  public:
    CCore();
    ~CCore();
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    // Loads the settings file of `place`, the one chosen at start, by which
    // the one-copy rule went too; call once before the first read.
    void autoFileConfig(const SettingsPlace& place);
    // The program's folder, with a trailing backslash.
    std::wstring getAppPath() const;

    int getConfigInt(const std::wstring& key) const;
    std::wstring getConfigStr(const std::wstring& key) const;
    BOOL getConfigB(const std::wstring& key) const;
    // True when the store holds a non-empty value for the key; false for an
    // absent key even where the store has a default (a stored position, say).
    bool hasConfig(const std::wstring& key) const;
    void saveConfigInt(const std::wstring& key, int value);
    void saveConfigStr(const std::wstring& key, const std::wstring& value);
    void saveConfigB(const std::wstring& key, BOOL value);

    // Saves made between beginBatch and endBatch reach the file in one atomic
    // write at endBatch (one warning at most if that write fails). Every
    // write traces "saved" with `what` ("settings", "position"), or "failed".
    // Outside a batch each save is its own write, traced as "settings".
    void beginBatch();
    void endBatch(const wchar_t* what = L"settings");

    std::wstring getStrInt(int value) const;
    // Width and height in whole pixels (rounded up) of `text` drawn bold at
    // em size `fontSize` pixels in `fontName`, the way the status bar draws
    // it: a GraphicsPath::AddString at that em size with the default string
    // format (the regular face where the family has no bold one); the width
    // reaches from the origin to the ink's right edge plus the ink's left
    // offset, the height is the family's line spacing. A family that is not
    // installed is replaced by the default one (see getFontName), a size
    // outside 6..kMaxEmPixels (200 at the largest DPI) by 16. Empty text
    // gives 0 x 0.
    Gdiplus::Size getTextBounds(const std::wstring& fontName, int fontSize,
                                const std::wstring& text) const;
    // "fontname" as stored, or, when it is absent, the default family: the
    // first of a few common ones that is installed. Looked up through GDI+,
    // so only when the bar is first laid out, never while the file is read.
    std::wstring getFontName() const;
    // `wanted` when that family is installed, else the default family: the
    // family that getTextBounds measures and the bar then draws with.
    std::wstring installedFamilyOr(const std::wstring& wanted) const;
    std::wstring getPathShort(const std::wstring& path) const;
    BOOL isFileExist(const std::wstring& path) const;
    // Runs the command line without a console window and returns when it has
    // ended, handling the UI thread's messages meanwhile. Returns at once on
    // WM_QUIT (re-posted) or when the command cannot be started.
    CommandOutcome cmdWait(const std::wstring& commandLine);
    // Starts the command line the same way and returns at once with its
    // process; empty when it cannot be started (GetLastError says why).
    framework::UniqueHandle cmdStart(const std::wstring& commandLine);
    // The filter that cmdWait's message loop runs before dispatching, so that
    // the bar's keyboard filter holds while a command runs. May be null.
    void setMessageFilter(framework::MessageFilter* filter) { filter_ = filter; }
    void msgboxWarning(HWND owner, const std::wstring& text) const;
    // Operation OprAbout shows the About box; the result is empty.
    std::wstring uu(int operation, const tagSoft* identity, const std::wstring& text);

    // The path of the settings file in use (empty before autoFileConfig).
    std::wstring configPath() const;

  private:
    void reportSave(SaveOutcome outcome, const wchar_t* what);
    const std::wstring& defaultFamily() const;

    std::unique_ptr<ConfigStore> store_;
    WindowsFileSystem* disk_ = nullptr;  // owned by store_
    std::wstring appPath_;
    mutable std::wstring defaultFamily_;
    framework::MessageFilter* filter_ = nullptr;
};

// Fills the record with the product's four texts.
void FillProductIdentity(tagSoft& record);

// Made at the application's start, released at its end.
extern std::unique_ptr<CCore> theCore;
extern std::unique_ptr<tagSoft> productIdentity;

}  // namespace vorlane
