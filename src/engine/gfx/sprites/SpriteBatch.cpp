#include "engine/gfx/sprites/SpriteBatch.h"

#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/GuiSkinColors.h"

namespace dorvo
{
namespace gfx
{
plat::ID3DXSprite* g_pSprite = nullptr;
const plat::D3DXCOLOR* g_GuiSkinColors = nullptr;

namespace
{
// The device the batch was made on. The batch holds a reference to it, so while the batch
// lives no other device can appear at this address.
plat::IDirect3DDevice9* s_pSpriteDevice = nullptr;
} // namespace

plat::ID3DXSprite* GetSpriteBatch()
{
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DDevice9* device = core.GetDevice();
    if (g_pSprite && s_pSpriteDevice != device)
        ReleaseSpriteBatch();
    if (!g_pSprite && device && plat::SUCCEEDED(core.CreateSprite(&g_pSprite)))
        s_pSpriteDevice = device;
    return g_pSprite;
}

void ReleaseSpriteBatch()
{
    if (g_pSprite)
        g_pSprite->Release();
    g_pSprite = nullptr;
    s_pSpriteDevice = nullptr;
}
} // namespace gfx
} // namespace dorvo
