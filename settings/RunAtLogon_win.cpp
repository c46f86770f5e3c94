#include "settings/RunAtLogon_win.h"

#include <string>
#include <vector>

#include "framework/ExePath.h"
#include "settings/RunAtLogon.h"

namespace vorlane {
namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Vorlane";

// The value's text, environment variables expanded; empty when absent.
std::wstring ReadRunValue() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::wstring();
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring text;
    if (::RegQueryValueExW(key, kValueName, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && bytes > 0) {
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        if (::RegQueryValueExW(key, kValueName, nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()), &bytes) == ERROR_SUCCESS) {
            text = buffer.data();
        }
    }
    ::RegCloseKey(key);
    if (type == REG_EXPAND_SZ && !text.empty()) {
        const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (n > 0) {
            std::wstring expanded(n, L'\0');
            if (::ExpandEnvironmentStringsW(text.c_str(), &expanded[0], n) == n) {
                expanded.resize(n - 1);
                text = expanded;
            }
        }
    }
    return text;
}

// Paths compare as the file system does, without regard to case; a short
// (8.3) spelling of the same file counts as the same.
bool SamePath(const std::wstring& a, const std::wstring& b) {
    const auto longForm = [](const std::wstring& path) {
        const DWORD n = ::GetLongPathNameW(path.c_str(), nullptr, 0);
        if (n == 0) return path;
        std::wstring out(n, L'\0');
        const DWORD got = ::GetLongPathNameW(path.c_str(), &out[0], n);
        if (got == 0 || got >= n) return path;
        out.resize(got);
        return out;
    };
    const std::wstring x = longForm(a);
    const std::wstring y = longForm(b);
    return ::CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                                  static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

bool ValueStartsThisExe(const std::wstring& value, const std::wstring& exe) {
    const std::wstring program = ProgramOfCommand(value);
    return !program.empty() && !exe.empty() && SamePath(program, exe);
}

}  // namespace

bool RunAtLogonIsSet() { return ValueStartsThisExe(ReadRunValue(), framework::ExePath()); }

DWORD SetRunAtLogon(bool on) {
    const std::wstring exe = framework::ExePath();
    if (exe.empty()) return ::GetLastError() ? ::GetLastError() : ERROR_INVALID_FUNCTION;
    if (!on && !ValueStartsThisExe(ReadRunValue(), exe)) return 0;
    HKEY key = nullptr;
    LONG result = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0,
                                    KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
    if (on) {
        const std::wstring command = RunAtLogonCommand(exe);
        result = ::RegSetValueExW(key, kValueName, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(command.c_str()),
                                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    } else {
        result = ::RegDeleteValueW(key, kValueName);
        if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
    }
    ::RegCloseKey(key);
    return static_cast<DWORD>(result);
}

}  // namespace vorlane
