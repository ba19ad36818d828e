#include "Sprite2DScene.h"

#include <cwchar>

namespace testsupport
{
bool Sprite2DScene::Build(plat::IDirect3DDevice9* device)
{
    using namespace plat;
    Release();
    m_device = device;
    for (int t = 0; t < kTextures; ++t)
    {
        IDirect3DTexture9* texture = nullptr;
        if (FAILED(device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
            return false;
        m_textures.push_back(texture);
        D3DLOCKED_RECT locked;
        if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
            return false;
        for (int y = 0; y < 64; ++y)
        {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<char*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 64; ++x)
            {
                const bool border = x < 3 || y < 3 || x > 60 || y > 60;
                const auto shade = static_cast<DWORD>((t * 53 + x * 2 + y) & 0xFF);
                row[x] =
                    border ? D3DCOLOR_ARGB(255, 20, 20, 20) : D3DCOLOR_ARGB(220, shade, 255 - shade, t * 6);
            }
        }
        texture->UnlockRect(0);
    }
    if (FAILED(D3DXCreateSprite(device, &m_sprite)))
        return false;
    D3DXFONT_DESCW desc;
    desc.Height = 16;
    desc.Width = 10;
    desc.Weight = 400;
    std::wcscpy(desc.FaceName, L"Arial");
    if (FAILED(D3DXCreateFontIndirectW(device, &desc, &m_font)))
        return false;
    for (int line = 0; line < kLines; ++line)
    {
        std::wstring text;
        for (int c = 0; c < kCharacters; ++c)
            text += static_cast<wchar_t>(c % 11 == 10 ? L' ' : L'A' + (line + c) % 58);
        m_text.push_back(text);
    }
    return true;
}

void Sprite2DScene::DrawBatch()
{
    using namespace plat;
    m_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    const D3DXVECTOR3 centre{0.5f, 0.5f, 0.0f};
    for (int i = 0; i < kSprites; ++i)
    {
        D3DXMATRIX m;
        const float scale = 0.5f + static_cast<float>(i % 3) * 0.25f;
        m.m[0][0] = m.m[1][1] = scale;
        m.m[3][0] = static_cast<float>((i * 37) % 760);
        m.m[3][1] = static_cast<float>((i * 23) % 560);
        m_sprite->SetTransform(&m);
        m_sprite->Draw(m_textures[static_cast<std::size_t>(i / (kSprites / kTextures))], nullptr, &centre,
                       nullptr, D3DCOLOR_ARGB(255, 255, 255, 255));
    }
    D3DXMATRIX identity;
    m_sprite->SetTransform(&identity);
    for (int line = 0; line < kLines; ++line)
    {
        RECT r{10, 10 + 14 * line, 790, 10 + 14 * line};
        m_font->DrawTextW(m_sprite, m_text[static_cast<std::size_t>(line)].c_str(), -1, &r,
                          DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK, D3DCOLOR_ARGB(255, 0, 0, 0));
    }
    m_sprite->End();
}

void Sprite2DScene::DrawFrame()
{
    using namespace plat;
    m_device->BeginScene();
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(200, 210, 230), 1.0f, 0);
    DrawBatch();
    m_device->EndScene();
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
}

void Sprite2DScene::Release()
{
    for (plat::IDirect3DTexture9* t : m_textures)
        t->Release();
    m_textures.clear();
    if (m_sprite)
        m_sprite->Release();
    if (m_font)
        m_font->Release();
    m_sprite = nullptr;
    m_font = nullptr;
    m_text.clear();
    m_device = nullptr;
}
} // namespace testsupport
