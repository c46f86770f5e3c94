// The decisions of the hyperlink control that need no window: its colours,
// the fallback browser command line, the open-failure texts and the geometry
// that fits the control to its text.
#pragma once

#include <cstdint>
#include <string>

namespace vorlane {
namespace link {

// COLORREF values (0x00BBGGRR).
constexpr std::uint32_t kUnvisitedColor = 0x00EE0000;  // RGB(0, 0, 238)
constexpr std::uint32_t kVisitedColor = 0x008B1A55;    // RGB(85, 26, 139)
constexpr std::uint32_t kHoverColor = 0x000000FF;      // RGB(255, 0, 0)

// Hovering wins over visited, visited over unvisited.
std::uint32_t TextColor(bool hovering, bool visited);

// The command line that starts the ".htm" class's browser for `address`:
// the class's open command cut before the quoted "%1" (failing that, before
// the bare "%1"; with neither nothing is cut), then a blank and the address.
// Whatever followed the placeholder is dropped.
std::wstring FallbackCommandLine(const std::wstring& classCommand, const std::wstring& address);

// Registry path of a file class's open command, relative to HKEY_CLASSES_ROOT.
std::wstring OpenCommandKey(const std::wstring& fileClass);

// What the message box says when an address could not be opened: a fixed
// prefix, then the text for the shell's (or the fallback's) result code.
std::wstring OpenFailureMessage(int code);

// Maps a CreateProcess failure (GetLastError) to the shell's result codes, so
// that the fallback's result reads like the shell's: never above 32, which
// would mean success. Codes without a counterpart of their own are negated.
int ProcessStartFailureCode(unsigned long lastError);

// Static control style bits that decide where a fitted control stays put.
constexpr std::uint32_t kStyleCenter = 0x1;         // SS_CENTER
constexpr std::uint32_t kStyleRight = 0x2;          // SS_RIGHT
constexpr std::uint32_t kStyleCenterImage = 0x200;  // SS_CENTERIMAGE

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The window rectangle (in the parent's coordinates) that makes the control as
// large as its text plus its frame. The frame is the difference between the
// window and client sizes. Left-aligned keeps the left edge, SS_RIGHT the right
// edge, SS_CENTER the horizontal centre; SS_CENTERIMAGE keeps the vertical
// centre, otherwise the top stays. Centring halves the difference, truncated
// toward zero, so an odd difference leaves the size one pixel off.
Rect FitToText(const Rect& window, int clientWidth, int clientHeight, int textWidth, int textHeight,
               std::uint32_t style);

}  // namespace link
}  // namespace vorlane
