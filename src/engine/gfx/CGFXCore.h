// The device core: owner of what is global to the graphics device. So far it keeps the four
// viewport records with their cameras' eye, look-at, frustum and matrices, the current record,
// and the current view and projection, which the picker unprojects with. The camera code of
// the engine and the game fills the records; a pass makes one current with SetViewport.
#pragma once

#include "common/math/CFrustum.h"
#include "common/math/Matrix4.h"
#include "common/math/Vector3.h"
#include "platform/win32.h"

#include <array>

namespace dorvo
{
namespace gfx
{
// The part of the back buffer a pass draws into (the device's viewport): pixels from the top
// left, and the depth range the projection's 0..1 is mapped to (usually 0..1).
struct SViewport
{
    plat::DWORD X = 0;
    plat::DWORD Y = 0;
    plat::DWORD Width = 0;
    plat::DWORD Height = 0;
    float MinZ = 0.0f;
    float MaxZ = 0.0f;
};

struct SViewportRecord
{
    math::Vector3 eye;    // world units
    math::Vector3 lookAt; // world units
    math::CFrustum frustum;
    math::Matrix4 view;
    math::Matrix4 projection;
    SViewport viewport;
};

class CGFXCore
{
public:
    static constexpr unsigned kViewportCount = 4;

    // The one device core of the program, made on first use and never destroyed.
    static CGFXCore& Instance();

    // Records zeroed (identity matrices, zero viewports), none current. Lends the picker its
    // unproject service while it lives.
    CGFXCore();
    virtual ~CGFXCore();

    CGFXCore(const CGFXCore&) = delete;
    CGFXCore& operator=(const CGFXCore&) = delete;

    // Record index (0 to 3) becomes current and its view and projection the current ones. An
    // index out of range is reported and changes nothing.
    void SetViewport(unsigned index);
    void SetView(const math::Matrix4& view);
    void SetProjection(const math::Matrix4& projection);
    const math::Matrix4& GetView() const { return m_view; }
    const math::Matrix4& GetProjection() const { return m_projection; }

    // Index 0 to 3; an index out of range is reported and gives record 0.
    SViewportRecord& GetViewportRecord(unsigned index);
    const SViewportRecord& GetViewportRecord(unsigned index) const;
    // Null until SetViewport.
    const SViewportRecord* GetCurrentViewport() const { return m_pCurrentViewport; }

    // The world point under a screen point (x, y in back-buffer pixels, z the viewport depth)
    // with the current viewport, projection and view and an identity world. False, world
    // unchanged, without a current viewport or when it has no area. A flat depth range is
    // read as the near plane.
    bool Unproject(const math::Vector3& screen, math::Vector3& world) const;

private:
    math::Matrix4 m_view;
    math::Matrix4 m_projection;
    std::array<SViewportRecord, kViewportCount> m_viewports;
    SViewportRecord* m_pCurrentViewport = nullptr;
};
} // namespace gfx
} // namespace dorvo
