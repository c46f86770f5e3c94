// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once

#include <string>

namespace framework {

std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

}  // namespace framework
