// The core service layer: settings store, text measurement, command run,
// warnings and the About box. One instance, theCore, lives from the status
// bar's initialisation to its destruction.
#pragma once

#include <windows.h>

#include "framework/Gdiplus.h"

#include <memory>
#include <string>

namespace vorlane {

// The 354-byte product identity record: four zero-terminated hex texts at
// offsets 0 (version), 51 (short name), 152 (kind) and 253 (full name).
struct tagSoft {
    char bytes[354];
};

enum tagOprType { OprAbout = 4 };

class ConfigStore;

class CCore {
public:
    CCore();
    ~CCore();
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    // Picks the settings file and loads it; call once before the first read.
    void autoFileConfig();
    // The program's folder, with a trailing backslash.
    std::wstring getAppPath() const;

    int getConfigInt(const std::wstring& key) const;
    std::wstring getConfigStr(const std::wstring& key) const;
    BOOL getConfigB(const std::wstring& key) const;
    void saveConfigInt(const std::wstring& key, int value);
    void saveConfigStr(const std::wstring& key, const std::wstring& value);
    void saveConfigB(const std::wstring& key, BOOL value);

    // Saves made between beginBatch and endBatch reach the file in one atomic
    // write at endBatch (one warning at most if that write fails).
    void beginBatch();
    void endBatch();

    std::wstring getStrInt(int value) const;
    // Width and height in whole pixels of `text` drawn bold at em size
    // `fontSize` pixels in `fontName`, the way the status bar draws it.
    Gdiplus::Size getTextBounds(const std::wstring& fontName, int fontSize,
                                const std::wstring& text) const;
    std::wstring getPathShort(const std::wstring& path) const;
    BOOL isFileExist(const std::wstring& path) const;
    // Runs the command line without a console window and returns when it has
    // ended, handling the UI thread's messages meanwhile. Returns at once on
    // WM_QUIT (re-posted) or when the command cannot be started.
    void cmdWait(const std::wstring& commandLine);
    void msgboxWarning(HWND owner, const std::wstring& text) const;
    // Operation OprAbout shows the About box; the result is empty.
    std::wstring uu(int operation, const tagSoft* identity, const std::wstring& text);

    // The path of the settings file in use (empty before autoFileConfig).
    std::wstring configPath() const;

private:
    std::unique_ptr<ConfigStore> store_;
    std::wstring appPath_;
};

// Fills the record with the product's four texts.
void FillProductIdentity(tagSoft& record);

extern CCore* theCore;
extern tagSoft* productIdentity;

}  // namespace vorlane
