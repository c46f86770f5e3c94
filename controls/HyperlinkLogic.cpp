#include "controls/HyperlinkLogic.h"

#include <string>

#include "core/Digits.h"

namespace vorlane {
namespace link {

std::uint32_t TextColor(bool hovering, bool visited) {
    if (hovering) return kHoverColor;
    if (visited) return kVisitedColor;
    return kUnvisitedColor;
}

std::wstring FallbackCommandLine(const std::wstring& classCommand, const std::wstring& address) {
    std::wstring line = classCommand;
    std::wstring::size_type cut = line.find(L"\"%1\"");
    if (cut == std::wstring::npos) cut = line.find(L"%1");
    if (cut != std::wstring::npos) line.erase(cut);
    line += L' ';
    line += address;
    return line;
}

std::wstring OpenCommandKey(const std::wstring& fileClass) {
    return fileClass + L"\\shell\\open\\command";
}

namespace {

const wchar_t* KnownFailureText(int code) {
    switch (code) {
        case 0:
            return L"The operating system is out\nof memory or resources.";
        case 2:
            return L"The specified file was not found.";
        case 3:
            return L"The specified path was not found.";
        case 5:
            return L"The operating system denied\naccess to the specified file.";
        case 8:
            return L"There was not enough memory to complete the operation.";
        case 11:
            return L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case 26:
            return L"A sharing violation occurred. ";
        case 27:
            return L"The filename association is\nincomplete or invalid.";
        case 28:
            return L"The DDE transaction could not\nbe completed because the request timed out.";
        case 29:
            return L"The DDE transaction failed.";
        case 30:
            return L"The DDE transaction could not\nbe completed because other DDE "
                   L"transactions\nwere being processed.";
        case 31:
            return L"There is no application associated\nwith the given filename extension.";
        case 32:
            return L"The specified dynamic-link library was not found.";
        default:
            return nullptr;
    }
}

}  // namespace

std::wstring OpenFailureMessage(int code) {
    std::wstring message = L"Unable to open hyperlink:\n\n";
    if (const wchar_t* known = KnownFailureText(code)) {
        message += known;
    } else {
        message += L"Unknown Error (" + Decimal(code) + L") occurred.";
    }
    return message;
}

int ProcessStartFailureCode(unsigned long lastError) {
    switch (lastError) {
        case 2:   // ERROR_FILE_NOT_FOUND
        case 3:   // ERROR_PATH_NOT_FOUND
        case 5:   // ERROR_ACCESS_DENIED
        case 11:  // ERROR_BAD_FORMAT
            return static_cast<int>(lastError);
        case 8:   // ERROR_NOT_ENOUGH_MEMORY
        case 14:  // ERROR_OUTOFMEMORY
            return 8;
        case 193:  // ERROR_BAD_EXE_FORMAT
            return 11;
        case 32:  // ERROR_SHARING_VIOLATION
            return 26;
        default: {
            const int code = static_cast<int>(lastError);
            return code > 0 ? -code : code;
        }
    }
}

Rect FitToText(const Rect& window, int clientWidth, int clientHeight, int textWidth, int textHeight,
               std::uint32_t style) {
    const int windowWidth = window.right - window.left;
    const int windowHeight = window.bottom - window.top;
    const int wantedWidth = textWidth + (windowWidth - clientWidth);
    const int wantedHeight = textHeight + (windowHeight - clientHeight);

    Rect fitted = window;
    if (style & kStyleCenterImage) {
        const int d = (windowHeight - wantedHeight) / 2;  // C++ division truncates toward zero
        fitted.top += d;
        fitted.bottom -= d;
    } else {
        fitted.bottom = fitted.top + wantedHeight;
    }

    if (style & kStyleCenter) {
        const int d = (windowWidth - wantedWidth) / 2;
        fitted.left += d;
        fitted.right -= d;
    } else if (style & kStyleRight) {
        fitted.left = fitted.right - wantedWidth;
    } else {
        fitted.right = fitted.left + wantedWidth;
    }
    return fitted;
}

}  // namespace link
}  // namespace vorlane
