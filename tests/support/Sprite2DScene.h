// A 2D frame like a busy menu screen, shared by the tests and the benchmark: 400 sprites over
// 40 textures (ten in a row on each, as a menu draws its buttons) and 40 lines of 50
// characters, on an 800 x 600 back buffer, all through one sprite batch.
#pragma once

#include "platform/d3dx9.h"

#include <vector>

namespace testsupport
{
class Sprite2DScene
{
public:
    static constexpr int kSprites = 400;
    static constexpr int kTextures = 40;
    static constexpr int kLines = 40;
    static constexpr int kCharacters = 50;

    ~Sprite2DScene() { Release(); }

    // Makes the textures (64 x 64, generated), the batch and the font ("Arial" 16 / 10).
    bool Build(plat::IDirect3DDevice9* device);
    // The batch: Begin, every sprite, every line of text, End.
    void DrawBatch();
    // A whole frame: scene, clear, the batch, end of scene, present.
    void DrawFrame();
    void Release();

private:
    plat::IDirect3DDevice9* m_device = nullptr;
    std::vector<plat::IDirect3DTexture9*> m_textures;
    plat::ID3DXSprite* m_sprite = nullptr;
    plat::ID3DXFont* m_font = nullptr;
    std::vector<std::wstring> m_text;
};
} // namespace testsupport
