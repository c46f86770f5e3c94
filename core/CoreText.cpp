#include "core/CoreText.h"

#include <cmath>

#include "core/FontSize.h"

namespace vorlane {

int MeasuredEmPixels(int fontSize) {
    return (fontSize < 6 || fontSize > kMaxEmPixels) ? kDefaultFontSize : fontSize;
}

TextBox TextBoxOf(const InkBox& ink, float em, int lineSpacing, int emHeight) {
    const float left = ink.x > 0 ? ink.x : 0;
    const float width = ink.width > 0 ? ink.x + ink.width + left : 0;
    float height =
        emHeight ? em * static_cast<float>(lineSpacing) / static_cast<float>(emHeight) : em;
    if (ink.height > 0 && ink.y + ink.height > height) height = ink.y + ink.height;
    return TextBox{static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

}  // namespace vorlane
