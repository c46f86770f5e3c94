// Pieces of CCore's Windows side shared between its files.
#pragma once

#include <windows.h>

#include <string>

#include "core/ConfigStore.h"

namespace vorlane {

// The settings file on a real disk. Remembers the error of its last failed
// step, for the warning.
class WindowsFileSystem : public FileSystem {
  public:
    ReadStatus Read(const std::wstring& path, size_t limit, std::string& bytes) override;
    bool WriteFlushed(const std::wstring& path, const std::string& bytes) override;
    bool Replace(const std::wstring& from, const std::wstring& to) override;
    void Remove(const std::wstring& path) override;
    DWORD lastError() const { return lastError_; }

  private:
    bool Fail();
    DWORD lastError_ = 0;
};

// Traces the outcome of a save and shows the one warning of a failed one.
void ReportSaveOutcome(SaveOutcome outcome, const wchar_t* what, const std::wstring& path,
                       DWORD error);

// The first installed of the preferred families, else the default GUI font's.
// Needs GDI+ started.
std::wstring DefaultFontFamily();

}  // namespace vorlane
