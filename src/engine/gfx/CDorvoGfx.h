// The graphics facade: the one object the shell and the game talk to about graphics. Init opens
// the device and the main window as the engine configuration says and keeps the folders, fog
// and lights for the renderer; the facade follows device loss and reset, runs the frame and
// saves screenshots of the finished back buffer.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3d9types.h"

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

    // Made on first use, destroyed with the program's statics.
    static CDorvoGfx& Instance();

    // Opens the device and the main window: windowed 800 x 600 with solid fill when the record
    // asks for defaults, else as the record says. False, after telling the user in a message
    // box, when the device cannot be made.
    bool Init(const SEngineConfigInfo& config);

    // Release and rebuild what lives on the device (the shell calls these around a reset).
    void OnLostDevice();
    void OnResetDevice();

    // Saves the next finished frame as a PNG file, read from the back buffer just before it is
    // shown. An empty name gives "DorvoScrshot_<n>.png" with the first number not yet used in
    // the working folder.
    void TakeScreenShot(std::string fileName);

    // Registers the graphics component types with the game-object manager, before the game
    // loads its templates.
    void RegisterComponentCreators();

    // The graphics part of one frame, called from the game's render.
    void Render();

    bool IsWindowed() const { return m_windowed; }
    int GetWidth() const { return m_width; } // pixels, as asked of the device
    int GetHeight() const { return m_height; }
    bool IsWireframe() const { return m_wireframe; }
    bool GetDeviceOption() const { return m_deviceOption; }
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
    ~CDorvoGfx() = default;
    CDorvoGfx(const CDorvoGfx&) = delete;
    CDorvoGfx& operator=(const CDorvoGfx&) = delete;

    static void OnPrePresent(plat::IDirect3DDevice9* device, void* context);
    void SaveScreenShots(plat::IDirect3DDevice9* device);
    std::string NextScreenShotName();

    bool m_windowed = true;
    int m_width = 800;
    int m_height = 600;
    bool m_wireframe = false;
    bool m_deviceOption = true;
    bool m_deviceLost = false;

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
