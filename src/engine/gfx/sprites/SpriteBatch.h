// The one sprite batch of the program (g_pSprite), through which every sprite and text sprite
// draws. It is made on the first request once the device core has a device, and made again for
// a new device; nothing is drawn while it does not exist. The facade lets it go at shutdown
// and carries it through device loss and reset.
#pragma once

#include "platform/d3dx9.h"

namespace dorvo
{
namespace gfx
{
// Null until the first GetSpriteBatch with a device. Read it through GetSpriteBatch.
extern plat::ID3DXSprite* g_pSprite;

// The batch, made on the device core's device when there is none yet or it was made on another
// device; null without a device.
plat::ID3DXSprite* GetSpriteBatch();
void ReleaseSpriteBatch();
} // namespace gfx
} // namespace dorvo
