#include "app/SingleInstance.h"

#include <cstdint>

namespace vorlane {

std::wstring InstanceName(const std::wstring& settingsPath) {
    // FNV-1a over the UTF-16 code units: stable across builds and compilers,
    // which std::hash is not.
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : settingsPath) {
        if (c == L'/') c = L'\\';
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        const auto unit = static_cast<std::uint32_t>(c);
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (unit >> shift) & 0xFFu;
            hash *= 1099511628211ull;
        }
    }
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name = L"Vorlane-";
    for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
    return name;
}

std::wstring InstanceMutexName(const std::wstring& settingsPath) {
    return L"Local\\" + InstanceName(settingsPath);
}

std::wstring ComeToFrontMessageName(const std::wstring& settingsPath) {
    return InstanceName(settingsPath) + L"-come-to-front";
}

}  // namespace vorlane
