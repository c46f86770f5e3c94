#include "framework/ExePath.h"

#include <windows.h>

namespace framework {

std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();  // the longest path Windows has
        path.resize(path.size() * 2);
    }
}

}  // namespace framework
