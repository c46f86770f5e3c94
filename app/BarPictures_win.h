// The bar's picture on show, and the one likely to come next, each on a kept
// surface of its own. Laying a text out and filling it is nearly all that a
// new text costs a redraw; a countdown's next second, drawn ahead on the
// other surface while the bar has nothing else to do, costs its redraw only
// the swap of the two. Everything runs on the bar's thread: the bar asks for
// the drawing ahead with a message to itself (BarDrawing_win.h).
#pragma once

#include <string>

#include "app/BarSurface_win.h"

namespace vorlane {

class BarPictures {
  public:
    // Puts the picture on the shown surface: the other one when it was drawn
    // there ahead, else drawn; false when it cannot be drawn.
    bool show(const BarPicture& picture);
    const BarSurface& shown() const { return surfaces_[shown_]; }
    // True when the last show foresaw a next picture that is not drawn yet.
    bool wantsAhead() const { return aheadWanted_; }
    // Draws that picture on the surface not shown; nothing when none is
    // wanted.
    void drawAhead();

  private:
    BarSurface surfaces_[2];
    int shown_ = 0;
    std::wstring lastText_;
    BarPicture ahead_;
    bool aheadWanted_ = false;
};

}  // namespace vorlane
