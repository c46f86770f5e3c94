#include "app/BarPictures_win.h"

#include "app/NextTexts.h"

namespace vorlane {

bool BarPictures::show(const BarPicture& picture) {
    const BarSurface& other = surfaces_[1 - shown_];
    if (other.hasPicture() && other.drawn() == picture) {
        shown_ = 1 - shown_;
    } else if (!surfaces_[shown_].draw(picture)) {
        return false;
    }
    // The same text again foresees nothing new: the way its counter went
    // holds.
    if (picture.text == lastText_) return true;
    std::wstring next = LikelyNextText(lastText_, picture.text);
    lastText_ = picture.text;
    aheadWanted_ = !next.empty();
    if (aheadWanted_) {
        ahead_ = picture;
        ahead_.text = std::move(next);
    }
    return true;
}

void BarPictures::drawAhead() {
    if (!aheadWanted_) return;
    aheadWanted_ = false;
    // Not drawn (out of memory): the picture is then drawn when it is shown.
    surfaces_[1 - shown_].draw(ahead_);
}

}  // namespace vorlane
