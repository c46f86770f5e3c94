#include "app/BarPlace_win.h"

#include "app/BarGeometry_win.h"
#include "core/Core.h"
#include "settings/SettingsKeys.h"

namespace vorlane {

void LayOutStoredBar(StatusBar& bar, const CCore& core) {
    BarGeometry geometry;
    geometry.fontSize = core.getConfigInt(keys::kFontSize);
    geometry.fontName = core.getFontName();
    geometry.left = core.getConfigInt(keys::kPosLeft);
    geometry.top = core.getConfigInt(keys::kPosTop);
    bar.layOut(geometry, core.hasConfig(keys::kPosLeft) && core.hasConfig(keys::kPosTop));
}

void SaveBarPosition(CCore& core, POINT at) {
    core.beginBatch();
    core.saveConfigInt(keys::kPosLeft, at.x);
    core.saveConfigInt(keys::kPosTop, at.y);
    core.endBatch(L"position");
}

}  // namespace vorlane
