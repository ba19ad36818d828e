// Where the back buffer shows in the main window. The back buffer keeps the size the program
// asked for (full screen too); presenting scales it into the window as large as its aspect
// allows, centred, with black bars on the two sides that are left over. Mouse positions go the
// other way, from window pixels back into back-buffer pixels, through the same rectangle.
#pragma once

#include "platform/win32.h"

namespace plat::detail
{
// The rectangle of the window (pixels, top left origin) that shows a back buffer of
// backWidth x backHeight. The whole window when the aspects agree; empty when either side
// has no size.
RECT PresentationRect(UINT backWidth, UINT backHeight, int windowWidth, int windowHeight);

// A window pixel as a back-buffer pixel (rounded down); a point on a bar lies outside
// 0..backWidth-1 or 0..backHeight-1. Unchanged when the rectangle is empty.
POINT WindowToBackBuffer(const POINT& window, UINT backWidth, UINT backHeight, int windowWidth,
                         int windowHeight);
} // namespace plat::detail
