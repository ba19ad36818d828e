#include "engine/gfx/CDorvoGfx.h"

#include "engine/gfx/CFXManager.h"
#include "engine/gfx/CGFXCore.h"
#include "engine/gfx/GfxPlaceholderComps.h"
#include "engine/gfx/SpriteBatch.h"

#include "engine/SEngineConfigInfo.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/win32.h"

#include <stb_image_write.h>

#include <cstdio>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr unsigned kDefaultWidth = 800; // pixels
constexpr unsigned kDefaultHeight = 600;

plat::D3DXFONT_DESCW FontDesc(std::int32_t height, plat::UINT width, plat::UINT weight, const wchar_t* face)
{
    plat::D3DXFONT_DESCW desc;
    desc.Height = height;
    desc.Width = width;
    desc.Weight = weight;
    desc.MipLevels = 1;
    desc.Italic = 0;
    desc.CharSet = 0;         // ANSI
    desc.OutputPrecision = 8; // outline
    desc.Quality = 4;         // antialiased
    desc.PitchAndFamily = 0;
    for (std::size_t i = 0; face[i] && i + 1 < sizeof desc.FaceName / sizeof desc.FaceName[0]; ++i)
        desc.FaceName[i] = face[i];
    return desc;
}

const plat::D3DXFONT_DESCW kFontDescs[CDorvoGfx::kFontCount] = {
    FontDesc(16, 10, 400, L"Arial"),
    FontDesc(16, 10, 700, L"Arial"),
    FontDesc(16, 10, 400, L"Times New Roman"),
    FontDesc(16, 10, 700, L"Times New Roman"),
    FontDesc(25, 10, 400, L"Ravie"),
    FontDesc(40, 25, 400, L"Ravie"),
    FontDesc(16, 8, 400, L"Arial"),
};

void WriteToFile(void* context, void* data, int size)
{
    std::fwrite(data, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(context));
}

plat::DWORD ToByte(float channel)
{
    if (!(channel > 0.0f))
        return 0;
    if (channel >= 1.0f)
        return 255;
    return static_cast<plat::DWORD>(channel * 255.0f + 0.5f);
}
} // namespace

CDorvoGfx& CDorvoGfx::Instance()
{
    static CDorvoGfx instance;
    return instance;
}

CDorvoGfx::~CDorvoGfx()
{
    // At process exit. Once the frame driver has shut the device down, letting go only frees
    // memory. A device still alive here means the program is leaving without shutting down (an
    // X error ends it, say), its context perhaps gone: its objects are left to the system.
    if (!plat::DXUTGetD3D9Device())
        Release();
}

const plat::D3DXFONT_DESCW& CDorvoGfx::GetFontDesc(std::size_t index)
{
    return kFontDescs[index < kFontCount ? index : 0];
}

bool CDorvoGfx::Init(const SEngineConfigInfo& config)
{
    CGFXCore& core = CGFXCore::Instance();
    if (config.useDefaults)
    {
        core.SetFullScreen(false);
        core.SetBackBufferSize(kDefaultWidth, kDefaultHeight);
        core.SetMultisampleAntialias(true);
        core.SetFillMode(plat::D3DFILL_SOLID);
    }
    else
    {
        core.SetFullScreen(config.fullScreen);
        core.SetBackBufferSize(static_cast<unsigned>(config.screenWidth),
                               static_cast<unsigned>(config.screenHeight));
        core.SetMultisampleAntialias(config.deviceOption);
        core.SetFillMode(config.wireframe ? plat::D3DFILL_WIREFRAME : plat::D3DFILL_SOLID);
    }
    m_texturePath = config.texturePath;
    m_effectPath = config.fxPath;
    m_meshPath = config.meshPath;

    // What an earlier device held goes before the new one is made.
    ReleaseFonts();
    ReleaseSpriteBatch();
    plat::DXUTSetCallbackPrePresent(&CDorvoGfx::OnPrePresent, this);
    if (!core.CreateDevice())
        return false;
    m_deviceLost = false;
    // The effect pool and the shared values' effect, before anything draws.
    CFXManager::Instance().Create(m_effectPath);
    CreateFonts();

    RegisterComponentCreators();
    m_effectFiles = config.fxFiles;
    m_postProcessEffectFiles = config.postProcessFxFiles;
    CFXManager::Instance().LoadEffects(m_effectFiles);

    for (std::size_t i = 0; i < 4; ++i)
        m_fogColor[i] = config.fogColor[i];
    m_fogStart = config.fogStart;
    m_fogEnd = config.fogEnd;
    m_fogDensity = config.fogDensity;

    m_lightSet.fill(false);
    for (const SEngineLight& light : config.lights)
    {
        if (light.index >= kMaxLights)
        {
            std::fprintf(stderr,
                         "CDorvoGfx::Init - light slot %u does not exist (slots 0 to %zu); light ignored.\n",
                         light.index, kMaxLights - 1);
            continue;
        }
        m_lights[light.index] = light.light;
        m_lightSet[light.index] = true;
    }
    return true;
}

void CDorvoGfx::OnLostDevice()
{
    m_deviceLost = true;
    CGFXCore::Instance().OnLostDevice();
    CFXManager::Instance().OnLostDevice();
    for (plat::ID3DXFont* font : m_fonts)
        if (font)
            font->OnLostDevice();
    if (g_pSprite)
        g_pSprite->OnLostDevice();
}

void CDorvoGfx::OnResetDevice()
{
    m_deviceLost = false;
    CGFXCore& core = CGFXCore::Instance();
    if (!core.GetDevice())
        return;
    core.OnResetDevice();
    CFXManager::Instance().OnResetDevice();
    for (plat::ID3DXFont* font : m_fonts)
        if (font)
            font->OnResetDevice();
    if (g_pSprite)
        g_pSprite->OnResetDevice();
}

void CDorvoGfx::Release()
{
    ReleaseFonts();
    ReleaseSpriteBatch();
    CFXManager::Instance().Release();
    CGFXCore::Instance().Release();
}

bool CDorvoGfx::CreateFonts()
{
    CGFXCore& core = CGFXCore::Instance();
    bool all = true;
    for (std::size_t i = 0; i < kFontCount; ++i)
    {
        if (m_fonts[i])
            m_fonts[i]->Release();
        m_fonts[i] = nullptr;
        if (plat::FAILED(core.CreateFont(kFontDescs[i], &m_fonts[i])))
        {
            m_fonts[i] = nullptr;
            all = false;
        }
    }
    return all;
}

void CDorvoGfx::ReleaseFonts()
{
    for (plat::ID3DXFont*& font : m_fonts)
    {
        if (font)
            font->Release();
        font = nullptr;
    }
}

bool CDorvoGfx::IsWindowed() const
{
    return !CGFXCore::Instance().IsFullScreen();
}

int CDorvoGfx::GetWidth() const
{
    return static_cast<int>(CGFXCore::Instance().GetScreenWidth());
}

int CDorvoGfx::GetHeight() const
{
    return static_cast<int>(CGFXCore::Instance().GetScreenHeight());
}

bool CDorvoGfx::IsWireframe() const
{
    return CGFXCore::Instance().GetFillMode() == plat::D3DFILL_WIREFRAME;
}

bool CDorvoGfx::GetDeviceOption() const
{
    return CGFXCore::Instance().GetMultisampleAntialias();
}

void CDorvoGfx::TakeScreenShot(std::string fileName)
{
    m_pendingScreenShots.push_back(std::move(fileName));
}

void CDorvoGfx::RegisterComponentCreators()
{
    // "GfxModelComp", "GfxWaterComp", "GfxTerrainComp", "Gfx2DComp" and "GfxClothComp": kept as
    // data-preserving stand-ins until the graphics components themselves take their names.
    RegisterPlaceholderComponentCreators();
}

void CDorvoGfx::Render()
{
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    if (!device || m_deviceLost)
        return;
    device->BeginScene();
    const plat::D3DCOLOR background =
        plat::D3DCOLOR_XRGB(ToByte(m_fogColor[0]), ToByte(m_fogColor[1]), ToByte(m_fogColor[2]));
    device->Clear(0, nullptr, plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    device->EndScene();
}

const plat::D3DLIGHT9* CDorvoGfx::GetLight(std::size_t index) const
{
    return index < kMaxLights && m_lightSet[index] ? &m_lights[index] : nullptr;
}

void CDorvoGfx::OnPrePresent(plat::IDirect3DDevice9* device, void* context)
{
    static_cast<CDorvoGfx*>(context)->SaveScreenShots(device);
}

std::string CDorvoGfx::NextScreenShotName()
{
    // Earlier screenshots in the folder are kept: the number goes on past every used one.
    std::string name;
    do
        name = "DorvoScrshot_" + std::to_string(m_screenShotNumber++) + ".png";
    while (plat::FileExists(name));
    return name;
}

void CDorvoGfx::SaveScreenShots(plat::IDirect3DDevice9* device)
{
    if (m_pendingScreenShots.empty())
        return;
    std::vector<std::string> names;
    names.swap(m_pendingScreenShots);

    std::vector<plat::D3DCOLOR> pixels;
    const plat::D3DSURFACE_DESC desc = device->GetBackBufferDesc();
    if (!device->ReadBackBuffer(pixels) ||
        pixels.size() != static_cast<std::size_t>(desc.Width) * desc.Height || pixels.empty())
    {
        std::fprintf(stderr,
                     "CDorvoGfx::TakeScreenShot - the back buffer could not be read; no screenshot.\n");
        return;
    }
    std::vector<unsigned char> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
    {
        rgb[i * 3 + 0] = static_cast<unsigned char>((pixels[i] >> 16) & 0xFF);
        rgb[i * 3 + 1] = static_cast<unsigned char>((pixels[i] >> 8) & 0xFF);
        rgb[i * 3 + 2] = static_cast<unsigned char>(pixels[i] & 0xFF);
    }

    for (std::string& name : names)
    {
        if (name.empty())
            name = NextScreenShotName();
        std::FILE* file = plat::OpenFile(name, "wb");
        if (!file)
        {
            std::fprintf(stderr, "CDorvoGfx::TakeScreenShot - cannot open \"%s\" for writing.\n",
                         name.c_str());
            continue;
        }
        const int width = static_cast<int>(desc.Width);
        const int height = static_cast<int>(desc.Height);
        const bool written =
            stbi_write_png_to_func(&WriteToFile, file, width, height, 3, rgb.data(), width * 3) != 0;
        const bool closed = std::fclose(file) == 0;
        if (!written || !closed)
            std::fprintf(stderr, "CDorvoGfx::TakeScreenShot - writing \"%s\" failed.\n", name.c_str());
    }
}
} // namespace gfx
} // namespace dorvo
