// The graphics facade: the one object the shell and the game talk to about graphics. Init has
// the device core open the device and the main window as the engine configuration says, makes
// the font table and keeps the folders, fog and lights for the renderer; the facade follows
// device loss and reset, runs the frame and saves screenshots of the finished back buffer. It
// owns the seven fonts.
#pragma once

#include "platform/d3dx9.h"

#include <array>
#include <string>
#include <vector>

namespace dorvo
{
struct SEngineConfigInfo;

namespace gfx
{
class CDorvoGfx
{
public:
    // Lights the renderer can hold at once; a configured light takes the slot its index names.
    static constexpr std::size_t kMaxLights = 8;
    // The text fonts, by index: 0 Arial, 1 Arial bold, 2 Times New Roman, 3 its bold, 4 Ravie
    // (25 px), 5 Ravie (40 px), 6 a narrower Arial.
    static constexpr std::size_t kFontCount = 7;
    using FontTable = std::array<plat::ID3DXFont*, kFontCount>;
    // How each font of the table is asked for.
    static const plat::D3DXFONT_DESCW& GetFontDesc(std::size_t index);

    // Made on first use, destroyed with the program's statics.
    static CDorvoGfx& Instance();

    // Opens the device and the main window through the device core: windowed 800 x 600 with
    // solid fill and multisample antialiasing when the record asks for defaults, else as the
    // record says; then the effect manager, the fonts and the configured effects. False, after
    // the core told the user in a message box, when the device cannot be made.
    bool Init(const SEngineConfigInfo& config);

    // Release and rebuild what lives on the device (the shell calls these around a reset): the
    // device core, the effect manager, the fonts and the sprite batch, in that order.
    void OnLostDevice();
    void OnResetDevice();
    // Lets go of the fonts, the sprite batch, the effects and the device core's device (also at
    // exit).
    void Release();

    // The seven fonts on the device core's device, each slot releasing what it held before.
    // False when one could not be made (its slot stays empty).
    bool CreateFonts();
    // Entries are null before CreateFonts and after Release.
    const FontTable& GetFonts() const { return m_fonts; }
    void ReleaseFonts();

    // Saves the next finished frame as a PNG file, read from the back buffer just before it is
    // shown. An empty name gives "DorvoScrshot_<n>.png" with the first number not yet used in
    // the working folder.
    void TakeScreenShot(std::string fileName);

    // Registers the graphics component types with the game-object manager, before the game
    // loads its templates.
    void RegisterComponentCreators();

    // The graphics part of one frame, called from the game's render.
    void Render();

    // What the device core was set up with.
    bool IsWindowed() const;
    int GetWidth() const; // pixels, the back buffer's
    int GetHeight() const;
    bool IsWireframe() const;
    bool GetDeviceOption() const; // multisample antialiasing
    bool IsDeviceLost() const { return m_deviceLost; }
    const std::string& GetTexturePath() const { return m_texturePath; }
    const std::string& GetEffectPath() const { return m_effectPath; }
    const std::string& GetMeshPath() const { return m_meshPath; }
    const std::vector<std::string>& GetEffectFiles() const { return m_effectFiles; }
    const std::vector<std::string>& GetPostProcessEffectFiles() const { return m_postProcessEffectFiles; }
    const std::array<float, 4>& GetFogColor() const { return m_fogColor; } // r, g, b, a
    float GetFogStart() const { return m_fogStart; }                       // world units
    float GetFogEnd() const { return m_fogEnd; }
    float GetFogDensity() const { return m_fogDensity; }
    // Null for a slot no light took.
    const plat::D3DLIGHT9* GetLight(std::size_t index) const;

private:
    CDorvoGfx() = default;
    ~CDorvoGfx();
    CDorvoGfx(const CDorvoGfx&) = delete;
    CDorvoGfx& operator=(const CDorvoGfx&) = delete;

    static void OnPrePresent(plat::IDirect3DDevice9* device, void* context);
    void SaveScreenShots(plat::IDirect3DDevice9* device);
    std::string NextScreenShotName();

    bool m_deviceLost = false;
    FontTable m_fonts{};

    std::string m_texturePath;
    std::string m_effectPath;
    std::string m_meshPath;
    // Kept for the effect manager, which loads them once it exists.
    std::vector<std::string> m_effectFiles;
    std::vector<std::string> m_postProcessEffectFiles;

    std::array<float, 4> m_fogColor{0.0f, 0.0f, 0.0f, 0.0f};
    float m_fogStart = 0.0f;
    float m_fogEnd = 0.0f;
    float m_fogDensity = 0.0f;

    std::array<plat::D3DLIGHT9, kMaxLights> m_lights{};
    std::array<bool, kMaxLights> m_lightSet{};

    std::vector<std::string> m_pendingScreenShots; // names as asked, saved at the next present
    unsigned m_screenShotNumber = 0;               // the next number to try
};
} // namespace gfx
} // namespace dorvo
