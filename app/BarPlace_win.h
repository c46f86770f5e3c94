// The bar's font and place as the settings file holds them, read for a
// layout and written back when the bar closes. Shared by the desktop
// program and the view of the service.
#pragma once

#include <windows.h>

#include "app/StatusBar_win.h"

namespace vorlane {

class CCore;

// Lays the bar out with the stored font and place (a place is stored once
// the bar has been closed for the first time). Needs GDI+ started.
void LayOutStoredBar(StatusBar& bar, const CCore& core);
// Stores where the bar is now.
void SaveBarPosition(CCore& core, POINT at);

}  // namespace vorlane
