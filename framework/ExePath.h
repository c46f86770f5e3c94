// The full path of this process's exe, however long; empty when the system
// cannot give it.
#pragma once

#include <string>

namespace framework {

std::wstring ExePath();

}  // namespace framework
