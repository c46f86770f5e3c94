// GDI+ headers. They use unqualified min and max, which NOMINMAX removes from
// <windows.h>; give them std's.
#pragma once

#include <windows.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
