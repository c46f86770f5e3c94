// The size the status bar gives a text, from what GDI+ reports of it (the
// measuring itself: CCore::getTextBounds in CoreText_win.cpp). Portable.
#pragma once

namespace vorlane {

// The bounds of the text's path, drawn at the origin.
struct InkBox {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

struct TextBox {
    int width = 0;
    int height = 0;
};

// The em size a text is measured at: `fontSize` pixels, or the default size
// outside 6..kMaxEmPixels.
int MeasuredEmPixels(int fontSize);

// Width: from the origin to the ink's right edge, and the ink's left offset
// once more on the right (none for ink that starts left of the origin); 0
// without ink. Height: the family's line spacing at em size `em` (its
// `lineSpacing` design units of `emHeight`; `em` itself without an em
// height), or the ink's bottom where a glyph reaches lower. Both rounded up.
TextBox TextBoxOf(const InkBox& ink, float em, int lineSpacing, int emHeight);

}  // namespace vorlane
