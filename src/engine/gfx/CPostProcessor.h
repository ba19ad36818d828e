// The post-processor, first slice: the four scene targets. While post-processing is on, pass i
// of a technique draws into scene target i (a render-target texture of the back buffer's size
// and format with its own D24S8 depth-stencil surface); the chain of full-screen effects that
// reads them comes later. The targets live in the default pool: released when the device is
// lost, made again when it is reset. Made by the facade's Init once the device exists.
#pragma once

#include "platform/d3d9.h"

#include <array>

namespace dorvo
{
namespace gfx
{
class CPostProcessor
{
public:
    static constexpr unsigned kSceneTargetCount = 4;

    // The one post-processor of the program, made on first use (with its targets).
    static CPostProcessor& Instance();

    // CreateTargets.
    CPostProcessor();
    // Releases the targets.
    virtual ~CPostProcessor();

    CPostProcessor(const CPostProcessor&) = delete;
    CPostProcessor& operator=(const CPostProcessor&) = delete;

    // The four scene targets and their depth surfaces at the back buffer's size and format,
    // after letting go of what was held. False, with one line, when one cannot be made (the
    // ones that could are kept; a missing one is never bound).
    bool CreateTargets();
    // Scene target i (0 to 3) and its depth surface become the device's render target 0 and
    // depth-stencil surface, then colour, depth and stencil are cleared (opaque black, 1, 0).
    void BindSceneTarget(unsigned index);
    // The same without the clear: the renderer draws pass i of a technique into target i.
    void SelectSceneTarget(unsigned index);
    // The back buffer and the device's own depth surface current again, for what is drawn
    // after the scene (until the effect chain does this at its end).
    void RestoreBackBuffer();

    void OnLostDevice();
    void OnResetDevice();

    // Null when not made (or released).
    plat::IDirect3DTexture9* GetSceneTarget(unsigned index) const;
    plat::IDirect3DSurface9* GetSceneDepth(unsigned index) const;

private:
    void ReleaseTargets();
    // False, nothing changed, for an index out of range or a target not made.
    bool SetTargets(unsigned index);

    std::array<plat::IDirect3DTexture9*, kSceneTargetCount> m_sceneTargets{};  // one reference owned each
    std::array<plat::IDirect3DSurface9*, kSceneTargetCount> m_sceneDepths{};   // one reference owned each
    plat::IDirect3DSurface9* m_pDeviceDepth = nullptr; // the device's own, one reference held
};
} // namespace gfx
} // namespace dorvo
