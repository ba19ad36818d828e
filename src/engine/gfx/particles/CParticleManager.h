// The particle manager: keeps the registered particle systems (not owned), advances them every
// frame and draws their live particles as camera-facing textured quads through "Particle.fx"
// after the scene, in batches of up to 1024 quads from one dynamic vertex buffer over one
// index buffer of quads. Its two buffers live in the device's default pool, so they follow the
// device through loss (ReleaseBuffers) and reset (CreateBuffers).
#pragma once

#include "common/math/Matrix4.h"
#include "common/math/Vector3.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "platform/d3dx9.h"

#include <cstdint>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CParticleSystem;
struct SParticle;
struct SParticleVertex;

class CParticleManager
{
public:
    // Vertices in one batch (1024 quads) and quads the index buffer holds.
    static constexpr unsigned kBatchVertices = 4096;
    static constexpr unsigned kIndexedQuads = 4096;
    // The effect, its technique, and the slots of its texture and matrix array.
    static constexpr char kEffectFile[] = "Particle.fx";
    static constexpr char kTechnique[] = "RenderParticle";
    static constexpr unsigned kTextureSlot = 11;     // "g_ParticleTexture"
    static constexpr unsigned kMatrixArraySlot = 12; // "g_ParticleWVPMatArray"

    // The one manager of the program, made on first use.
    static CParticleManager& Instance();

    // Makes its buffers on the device core's device (none without a device).
    CParticleManager();
    ~CParticleManager();
    CParticleManager(const CParticleManager&) = delete;
    CParticleManager& operator=(const CParticleManager&) = delete;

    // Appends a system to the list; false for null or one already listed. Not owned.
    bool AddSystem(CParticleSystem* system);
    // Takes a system out of the list (it is not destroyed); false when it was not listed.
    bool RemoveSystem(CParticleSystem* system);
    bool HasSystem(const CParticleSystem* system) const;
    const std::vector<CParticleSystem*>& GetSystems() const { return m_systems; }

    // Every system in list order: a finished one (no emission, no particle) leaves the list,
    // the others are updated. dt: seconds.
    void Update(float dt);
    // Draws the live particles with the device core's current view, projection and camera:
    // consecutive systems of one texture key form a run (at most as many systems as the
    // effect's matrix array holds), each run one texture and one matrix per system, drawn in
    // batches of 1024 quads. Nothing without systems, buffers or the effect.
    void Render();

    // The vertex buffer (4096 particle vertices, dynamic and write-only) and the index buffer
    // (4096 quads of two triangles, 16-bit), in the default pool; what it held is let go
    // first. False, with no buffers, without a device or when the device refuses.
    bool CreateBuffers();
    void ReleaseBuffers();
    bool HasBuffers() const { return m_buffers.vertexBuffer && m_buffers.indexBuffer; }
    plat::IDirect3DVertexBuffer9* GetVertexBuffer() const { return m_buffers.vertexBuffer; }
    plat::IDirect3DIndexBuffer9* GetIndexBuffer() const { return m_buffers.indexBuffer; }

    // The four vertices of a particle's quad. eye: the camera in the system's own space;
    // runIndex: the system's place in its draw run. The quad faces the eye: with d the unit
    // direction from the eye to the particle, right = unit (d x (0, 1, 0)) and up = unit
    // (right x d), the corner vectors taken in that basis give A and B, and with S = A + B
    // and T = A - B the corners are P - T (0, 0), P + S (1, 0), P - S (0, 1), P + T (1, 1).
    // Seen straight from above or below, right is undefined and the quad has no area.
    static void WriteQuad(const SParticle& particle, const math::Vector3& eye, unsigned runIndex,
                          SParticleVertex* vertices);
    // The particle's colour as the vertex holds it: ARGB, each channel taken from 0 to 1 to
    // 0 to 255 (outside that range held at its end, not wrapped).
    static std::uint32_t PackColor(const SParticle& particle);

private:
    // Draws systems [first, last) of the list as one run.
    void DrawRun(std::size_t first, std::size_t last, plat::ID3DXEffect* effect, plat::D3DXHANDLE texture,
                 plat::D3DXHANDLE matrices, const math::Matrix4& viewProjection, const math::Vector3& eye);
    // One indexed draw of the batch through every pass of the current technique.
    void DrawBatch(plat::ID3DXEffect* effect, unsigned vertexCount, unsigned triangleCount);

    std::vector<CParticleSystem*> m_systems; // not owned
    // The vertex and index buffers, bound through the device core by their geometry id.
    D3DRenderBuffers m_buffers;
    bool m_reportedMissingEffect = false;
};
} // namespace gfx
} // namespace dorvo
