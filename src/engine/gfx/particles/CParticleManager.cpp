#include "engine/gfx/particles/CParticleManager.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/particles/CParticleSystem.h"
#include "engine/gfx/particles/SParticle.h"
#include "engine/gfx/particles/SParticleVertex.h"
#include "platform/log.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr plat::DWORD kDynamicWriteOnly = plat::D3DUSAGE_DYNAMIC | plat::D3DUSAGE_WRITEONLY; // 0x208

// A colour channel from 0..1 to 0..255; outside the range held at its end (NaN gives 0).
std::uint32_t ChannelByte(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<std::uint32_t>(value * 255.0f) & 0xFFu;
}

// v's coordinates taken in the basis (right, up, forward).
math::Vector3 InBasis(const math::Vector3& v, const math::Vector3& right, const math::Vector3& up,
                      const math::Vector3& forward)
{
    return math::Vector3(v.x * right.x + v.y * up.x + v.z * forward.x,
                         v.x * right.y + v.y * up.y + v.z * forward.y,
                         v.x * right.z + v.y * up.z + v.z * forward.z);
}

void SetVertex(SParticleVertex& vertex, const math::Vector3& position, float u, float v, float runIndex,
               std::uint32_t color)
{
    vertex.x = position.x;
    vertex.y = position.y;
    vertex.z = position.z;
    vertex.u = u;
    vertex.v = v;
    vertex.runIndex = runIndex;
    vertex.color = color;
}
} // namespace

CParticleManager& CParticleManager::Instance()
{
    return *common::Singleton<CParticleManager>::Instance();
}

CParticleManager::CParticleManager()
{
    CreateBuffers();
}

CParticleManager::~CParticleManager()
{
    ReleaseBuffers();
}

bool CParticleManager::AddSystem(CParticleSystem* system)
{
    if (!system || HasSystem(system))
        return false;
    m_systems.push_back(system);
    return true;
}

bool CParticleManager::RemoveSystem(CParticleSystem* system)
{
    const auto found = std::find(m_systems.begin(), m_systems.end(), system);
    if (found == m_systems.end())
        return false;
    m_systems.erase(found);
    return true;
}

bool CParticleManager::HasSystem(const CParticleSystem* system) const
{
    return std::find(m_systems.begin(), m_systems.end(), system) != m_systems.end();
}

void CParticleManager::Update(float dt)
{
    for (std::size_t i = 0; i < m_systems.size();)
    {
        CParticleSystem* system = m_systems[i];
        if (system->IsFinished())
        {
            m_systems.erase(m_systems.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        system->Update(dt);
        ++i;
    }
}

bool CParticleManager::CreateBuffers()
{
    ReleaseBuffers();
    CGFXCore& core = CGFXCore::Instance();
    if (!core.GetDevice())
        return false;
    const plat::UINT vertexBytes = kBatchVertices * kParticleVertexStride;   // 114688
    const plat::UINT indexBytes = kIndexedQuads * 6 * sizeof(std::uint16_t); // 49152
    if (plat::FAILED(core.CreateVertexBuffer(vertexBytes, kDynamicWriteOnly, 0, plat::D3DPOOL_DEFAULT,
                                             &m_buffers.vertexBuffer)) ||
        plat::FAILED(core.CreateIndexBuffer(indexBytes, kDynamicWriteOnly, plat::D3DFMT_INDEX16,
                                            plat::D3DPOOL_DEFAULT, &m_buffers.indexBuffer)))
    {
        DORVO_LOG(
            "CParticleManager::CreateBuffers: the device made no particle buffers; no particles are drawn");
        ReleaseBuffers();
        return false;
    }
    void* data = nullptr;
    if (plat::FAILED(core.LockWhole(m_buffers.indexBuffer, plat::D3DLOCK_DISCARD, &data)) || !data)
    {
        DORVO_LOG(
            "CParticleManager::CreateBuffers: the index buffer could not be filled; no particles are drawn");
        ReleaseBuffers();
        return false;
    }
    auto* indices = static_cast<std::uint16_t*>(data);
    for (unsigned q = 0; q < kIndexedQuads; ++q)
    {
        const auto first = static_cast<std::uint16_t>(4 * q);
        const std::uint16_t quad[6] = {first,
                                       static_cast<std::uint16_t>(first + 1),
                                       static_cast<std::uint16_t>(first + 2),
                                       static_cast<std::uint16_t>(first + 1),
                                       static_cast<std::uint16_t>(first + 3),
                                       static_cast<std::uint16_t>(first + 2)};
        std::copy(quad, quad + 6, indices + 6 * q);
    }
    core.Unlock(m_buffers.indexBuffer);
    m_buffers.vertexCount = kBatchVertices;
    m_buffers.indexCount = kIndexedQuads * 6;
    m_buffers.stride = kParticleVertexStride;
    return true;
}

void CParticleManager::ReleaseBuffers()
{
    m_buffers.ReleaseBuffers();
}

std::uint32_t CParticleManager::PackColor(const SParticle& particle)
{
    return ChannelByte(particle.alpha) << 24 | ChannelByte(particle.red) << 16 |
           ChannelByte(particle.green) << 8 | ChannelByte(particle.blue);
}

void CParticleManager::WriteQuad(const SParticle& particle, const math::Vector3& eye, unsigned runIndex,
                                 SParticleVertex* vertices)
{
    const math::Vector3& p = particle.position;
    math::Vector3 d(p.x - eye.x, p.y - eye.y, p.z - eye.z);
    d.Normalize();
    // Straight above or below the eye d x (0, 1, 0) vanishes: right and up are 0 and the quad
    // collapses onto the line of sight.
    const math::Vector3 right = d.Cross(math::Vector3(0.0f, 1.0f, 0.0f)).GetNormalized();
    const math::Vector3 up = right.Cross(d).GetNormalized();
    const math::Vector3 a = InBasis(particle.corner1, right, up, d);
    const math::Vector3 b = InBasis(particle.corner2, right, up, d);
    const math::Vector3 s(a.x + b.x, a.y + b.y, a.z + b.z);
    const math::Vector3 t(a.x - b.x, a.y - b.y, a.z - b.z);
    const std::uint32_t color = PackColor(particle);
    const auto k = static_cast<float>(runIndex);
    SetVertex(vertices[0], math::Vector3(p.x - t.x, p.y - t.y, p.z - t.z), 0.0f, 0.0f, k, color);
    SetVertex(vertices[1], math::Vector3(p.x + s.x, p.y + s.y, p.z + s.z), 1.0f, 0.0f, k, color);
    SetVertex(vertices[2], math::Vector3(p.x - s.x, p.y - s.y, p.z - s.z), 0.0f, 1.0f, k, color);
    SetVertex(vertices[3], math::Vector3(p.x + t.x, p.y + t.y, p.z + t.z), 1.0f, 1.0f, k, color);
}

void CParticleManager::Render()
{
    if (m_systems.empty() || !HasBuffers())
        return;
    CGFXCore& core = CGFXCore::Instance();
    core.BindGeometryBuffer(m_buffers, kParticleVertexStride);

    CFXManager& fx = CFXManager::Instance();
    plat::ID3DXEffect* effect = fx.SelectEffect(kEffectFile);
    const FXHandleTable* handles = fx.GetCurrentHandles();
    plat::D3DXHANDLE matrices =
        effect && handles && handles->size() > kMatrixArraySlot ? (*handles)[kMatrixArraySlot] : nullptr;
    if (!matrices)
    {
        if (!m_reportedMissingEffect)
            DORVO_LOG("CParticleManager::Render: %s: the effect is not loaded or has no "
                      "g_ParticleWVPMatArray; no particles are drawn",
                      kEffectFile);
        m_reportedMissingEffect = true;
        return;
    }
    effect->SetTechnique(kTechnique);
    plat::D3DXHANDLE texture = (*handles)[kTextureSlot];

    // A run holds as many systems as the matrix array has elements; the next starts at 0.
    plat::D3DXPARAMETER_DESC desc{};
    std::size_t runLimit = 1;
    if (plat::SUCCEEDED(effect->GetParameterDesc(matrices, &desc)) && desc.Elements > 1)
        runLimit = desc.Elements;

    const math::Matrix4 viewProjection = core.GetProjection() * core.GetView(); // view x projection
    const SViewportRecord* viewport = core.GetCurrentViewport();
    const math::Vector3 eye = viewport ? viewport->eye : core.GetView().GetInverse().GetTranslation();

    for (std::size_t first = 0; first < m_systems.size();)
    {
        std::size_t last = first + 1;
        while (last < m_systems.size() && last - first < runLimit &&
               m_systems[last]->GetTextureKey() == m_systems[first]->GetTextureKey())
            ++last;
        DrawRun(first, last, effect, texture, matrices, viewProjection, eye);
        first = last;
    }
}

void CParticleManager::DrawRun(std::size_t first, std::size_t last, plat::ID3DXEffect* effect,
                               plat::D3DXHANDLE texture, plat::D3DXHANDLE matrices,
                               const math::Matrix4& viewProjection, const math::Vector3& eye)
{
    CGFXCore& core = CGFXCore::Instance();
    effect->SetTexture(texture, m_systems[first]->GetTexture());
    void* data = nullptr;
    if (plat::FAILED(core.LockWhole(m_buffers.vertexBuffer, plat::D3DLOCK_DISCARD, &data)) || !data)
        return;
    auto* vertices = static_cast<SParticleVertex*>(data);
    unsigned vertexCount = 0;
    unsigned triangleCount = 0;
    for (std::size_t k = first; k < last; ++k)
    {
        const CParticleSystem& system = *m_systems[k];
        const auto runIndex = static_cast<unsigned>(k - first);
        const math::Matrix4& world = system.GetWorld();
        plat::D3DXHANDLE element = effect->GetParameterElement(matrices, runIndex);
        const plat::D3DXMATRIX wvp = ToD3DXMatrix(viewProjection * world); // world x view x projection
        effect->SetMatrix(element ? element : matrices, &wvp);
        // The eye in the system's own space, where its particles are.
        const math::Vector3 localEye = world.GetInverse().TransformPoint(eye);
        for (std::uint32_t i = 0; i < system.GetLiveCount(); ++i)
        {
            WriteQuad(system.GetParticle(i), localEye, runIndex, vertices + vertexCount);
            vertexCount += 4;
            triangleCount += 2;
            if (vertexCount == kBatchVertices)
            {
                core.Unlock(m_buffers.vertexBuffer);
                DrawBatch(effect, vertexCount, triangleCount);
                vertexCount = 0;
                triangleCount = 0;
                data = nullptr;
                if (plat::FAILED(core.LockWhole(m_buffers.vertexBuffer, plat::D3DLOCK_DISCARD, &data)) ||
                    !data)
                    return;
                vertices = static_cast<SParticleVertex*>(data);
            }
        }
    }
    core.Unlock(m_buffers.vertexBuffer);
    if (vertexCount > 0)
        DrawBatch(effect, vertexCount, triangleCount);
}

void CParticleManager::DrawBatch(plat::ID3DXEffect* effect, unsigned vertexCount, unsigned triangleCount)
{
    CGFXCore& core = CGFXCore::Instance();
    plat::UINT passes = 0;
    if (plat::FAILED(effect->Begin(&passes, 0)))
        return;
    for (plat::UINT pass = 0; pass < passes; ++pass)
    {
        effect->BeginPass(pass);
        core.DrawIndexedPrimitive(plat::D3DPT_TRIANGLELIST, 0, 0, vertexCount, 0, triangleCount);
        effect->EndPass();
    }
    effect->End();
}
} // namespace gfx
} // namespace dorvo
