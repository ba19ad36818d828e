// The atmosphere the scene effects read: the fog of the engine configuration, an environment
// map and the sky values of the sky dome. The graphics start-up fills the fog; nothing changes
// the sky values from their defaults. The manager holds one reference to the environment map.
#pragma once

#include "platform/d3d9.h"

#include <array>

namespace dorvo
{
namespace gfx
{
class CAtmosphereManager
{
public:
    using Color = std::array<float, 4>; // r, g, b, a in 0..1

    // The one manager of the program, made on first use.
    static CAtmosphereManager& Instance();

    CAtmosphereManager() = default;
    // Releases the environment map.
    virtual ~CAtmosphereManager();

    CAtmosphereManager(const CAtmosphereManager&) = delete;
    CAtmosphereManager& operator=(const CAtmosphereManager&) = delete;

    // World units from the eye; density per world unit.
    void SetFogStart(float start) { m_fogStart = start; }
    void SetFogEnd(float end) { m_fogEnd = end; }
    void SetFogDensity(float density) { m_fogDensity = density; }
    void SetFogColor(const Color& color) { m_fogColor = color; }
    float GetFogStart() const { return m_fogStart; }
    float GetFogEnd() const { return m_fogEnd; }
    float GetFogDensity() const { return m_fogDensity; }
    const Color& GetFogColor() const { return m_fogColor; }

    // Takes a reference to the new map and lets go of the old one; null for none.
    void SetEnvironmentMap(plat::IDirect3DTexture9* map);
    plat::IDirect3DTexture9* GetEnvironmentMap() const { return m_pEnvironmentMap; }

    void SetCloudDensity(float density) { m_cloudDensity = density; }
    void SetHorizonFadeFactor(float factor) { m_horizonFadeFactor = factor; }
    void SetSunVector(const Color& vector) { m_sunVector = vector; }
    void SetSunColor(const Color& color) { m_sunColor = color; }
    void SetSkyColor(const Color& color) { m_skyColor = color; }
    float GetCloudDensity() const { return m_cloudDensity; }
    float GetHorizonFadeFactor() const { return m_horizonFadeFactor; }
    const Color& GetSunVector() const { return m_sunVector; } // x, y, z, w
    const Color& GetSunColor() const { return m_sunColor; }
    const Color& GetSkyColor() const { return m_skyColor; }

private:
    float m_fogStart = 0.0f;
    float m_fogEnd = 0.0f;
    float m_fogDensity = 0.0f;
    Color m_fogColor{0.0f, 0.0f, 0.0f, 0.0f};
    plat::IDirect3DTexture9* m_pEnvironmentMap = nullptr;
    float m_cloudDensity = 0.29f;
    float m_horizonFadeFactor = 0.08f;
    [[maybe_unused]] float m_unusedFactor = 1.0f; // 1 from construction; nothing reads it
    Color m_sunVector{0.0f, 1.0f, 0.0f, 1.0f};
    Color m_sunColor{1.0f, 1.0f, 1.0f, 1.0f};
    Color m_skyColor{0.0f, 0.5f, 1.0f, 1.0f};
};
} // namespace gfx
} // namespace dorvo
