#include "app/NextTexts.h"

#include "core/Digits.h"

namespace vorlane {

std::wstring StepCounter(const std::wstring& text, int step) {
    size_t digits = text.size();
    while (digits > 0 && text[digits - 1] >= L'0' && text[digits - 1] <= L'9') --digits;
    const size_t length = text.size() - digits;
    // Nine digits at most: the number and the one above it fit in an int.
    if (length == 0 || length > 9 || (length > 1 && text[digits] == L'0')) return {};
    int number = 0;
    for (size_t i = digits; i < text.size(); ++i) number = number * 10 + (text[i] - L'0');
    if (number + step < 0) return {};
    return text.substr(0, digits) + Decimal(number + step);
}

std::wstring LikelyNextText(const std::wstring& before, const std::wstring& shown) {
    const bool down = !shown.empty() && StepCounter(before, -1) == shown;
    return StepCounter(shown, down ? -1 : 1);
}

}  // namespace vorlane
