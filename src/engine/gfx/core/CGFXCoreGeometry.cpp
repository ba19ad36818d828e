// The device core's geometry operations: normals and tangent frames of a unit's vertex array,
// height maps read from images, and the device copies of system-memory buffers.
#include "engine/gfx/core/CGFXCore.h"

#include "common/Assert.h"
#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/core/SVRenderBuffers.h"
#include "platform/log.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace dorvo
{
namespace gfx
{
namespace
{
// Face directions are filed in cells this many to the unit: two unit directions that count as
// one (cosine 1 within 1e-7) lie less than 1/2000 apart, so they share a cell or touch.
constexpr float kDirectionCellsPerUnit = 1024.0f;
constexpr int kDirectionCellOffset = 1025; // keeps cell coordinates of unit vectors positive
// The sum of the green bytes of 3 x 3 pixels at full green.
constexpr float kHeightDivisor = 9.0f * 255.0f;

math::Vector3 Position(const SUnitVertex& vertex)
{
    return math::Vector3(vertex.position[0], vertex.position[1], vertex.position[2]);
}

void Store(float out[3], const math::Vector3& value)
{
    out[0] = value.x;
    out[1] = value.y;
    out[2] = value.z;
}

// The triangles of the mesh whose three indices name vertices of it; a triangle naming one
// past the array is a caller's mistake, reported once and left out.
template <typename Visit>
void ForEachTriangle(const GfxRenderBuffers& mesh, const char* operation, Visit visit)
{
    const std::size_t vertexCount = mesh.vertices.size();
    bool reported = false;
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3)
    {
        const unsigned a = mesh.indices[i];
        const unsigned b = mesh.indices[i + 1];
        const unsigned c = mesh.indices[i + 2];
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount)
        {
            if (!reported)
                DORVO_ASSERT(false, operation);
            reported = true;
            continue;
        }
        visit(a, b, c);
    }
}

// The distinct directions met at each vertex: a new direction is compared with those of the
// vertex in its own cell and the 26 around it, so the test costs the same however many
// triangles meet at one vertex.
class DirectionSets
{
public:
    // True when the vertex had no direction equal to this one (which it now has).
    bool Insert(unsigned vertex, const math::Vector3& direction)
    {
        int cell[3];
        for (int axis = 0; axis < 3; ++axis)
            cell[axis] =
                static_cast<int>(std::floor(direction[axis] * kDirectionCellsPerUnit)) + kDirectionCellOffset;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz)
                {
                    auto found = m_cells.find(Key(vertex, cell[0] + dx, cell[1] + dy, cell[2] + dz));
                    if (found == m_cells.end())
                        continue;
                    for (std::uint32_t stored : found->second)
                        if (SameDirection(direction, m_directions[stored]))
                            return false;
                }
        m_cells[Key(vertex, cell[0], cell[1], cell[2])].push_back(
            static_cast<std::uint32_t>(m_directions.size()));
        m_directions.push_back(direction);
        return true;
    }

private:
    // Their cosine is 1 within 1e-7. Taken in double and divided by the lengths: a float dot
    // product of two unit vectors can miss 1 by more than that even for one vector with itself.
    static bool SameDirection(const math::Vector3& a, const math::Vector3& b)
    {
        double dot = 0.0, aa = 0.0, bb = 0.0;
        for (int axis = 0; axis < 3; ++axis)
        {
            dot += static_cast<double>(a[axis]) * b[axis];
            aa += static_cast<double>(a[axis]) * a[axis];
            bb += static_cast<double>(b[axis]) * b[axis];
        }
        return std::fabs(dot / std::sqrt(aa * bb) - 1.0) < math::kEpsilon;
    }

    static std::uint64_t Key(unsigned vertex, int x, int y, int z)
    {
        return (static_cast<std::uint64_t>(vertex) << 36) | (static_cast<std::uint64_t>(x & 0xFFF) << 24) |
               (static_cast<std::uint64_t>(y & 0xFFF) << 12) | static_cast<std::uint64_t>(z & 0xFFF);
    }

    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> m_cells;
    std::vector<math::Vector3> m_directions;
};
} // namespace

void CGFXCore::ComputeVertexNormals(GfxRenderBuffers& mesh)
{
    const std::size_t count = mesh.vertices.size();
    std::vector<math::Vector3> sums(count);
    std::vector<unsigned> directions(count, 0);
    DirectionSets seen;
    ForEachTriangle(mesh, "CGFXCore::ComputeVertexNormals - a triangle names a vertex past the array",
                    [&](unsigned a, unsigned b, unsigned c)
                    {
                        const unsigned corner[3] = {a, b, c};
                        for (int k = 0; k < 3; ++k)
                        {
                            // The two edges leaving this corner, in the order that keeps the
                            // orientation of (p1 - p0) x (p2 - p0).
                            const math::Vector3 here = Position(mesh.vertices[corner[k]]);
                            const math::Vector3 next = Position(mesh.vertices[corner[(k + 1) % 3]]);
                            const math::Vector3 after = Position(mesh.vertices[corner[(k + 2) % 3]]);
                            math::Vector3 normal = (next - here).Cross(after - here);
                            normal.Normalize();
                            // A triangle without area has no direction to give.
                            if (normal == math::Vector3(0.0f, 0.0f, 0.0f))
                                continue;
                            if (seen.Insert(corner[k], normal))
                            {
                                sums[corner[k]] += normal;
                                ++directions[corner[k]];
                            }
                        }
                    });
    for (std::size_t i = 0; i < count; ++i)
    {
        const math::Vector3 normal =
            directions[i] ? sums[i] / static_cast<float>(directions[i]) : math::Vector3(0.0f, 0.0f, 0.0f);
        Store(mesh.vertices[i].normal, normal);
    }
}

void CGFXCore::ComputeTangentFrames(GfxRenderBuffers& mesh)
{
    const std::size_t count = mesh.vertices.size();
    std::vector<math::Vector3> sums(count);
    ForEachTriangle(mesh, "CGFXCore::ComputeTangentFrames - a triangle names a vertex past the array",
                    [&](unsigned a, unsigned b, unsigned c)
                    {
                        const SUnitVertex& va = mesh.vertices[a];
                        const SUnitVertex& vb = mesh.vertices[b];
                        const SUnitVertex& vc = mesh.vertices[c];
                        const math::Vector3 e1 = Position(vb) - Position(va);
                        const math::Vector3 e2 = Position(vc) - Position(va);
                        const float du1 = vb.uv[0] - va.uv[0];
                        const float dv1 = vb.uv[1] - va.uv[1];
                        const float du2 = vc.uv[0] - va.uv[0];
                        const float dv2 = vc.uv[1] - va.uv[1];
                        const float det = du1 * dv2 - du2 * dv1;
                        if (math::IsZero(det))
                            return;
                        const math::Vector3 tangent = (e1 * dv2 - e2 * dv1) / det;
                        sums[a] += tangent;
                        sums[b] += tangent;
                        sums[c] += tangent;
                    });
    for (std::size_t i = 0; i < count; ++i)
    {
        SUnitVertex& vertex = mesh.vertices[i];
        const math::Vector3 normal(vertex.normal[0], vertex.normal[1], vertex.normal[2]);
        math::Vector3 tangent = sums[i] - normal * sums[i].Dot(normal);
        tangent.Normalize();
        Store(vertex.tangent, tangent);
        Store(vertex.binormal, normal.Cross(tangent));
    }
}

bool CGFXCore::ReadHeightMap(const std::string& fileName, std::vector<float>& heights, unsigned columns,
                             unsigned rows)
{
    if (columns == 0 || rows == 0)
        return false;
    const std::size_t cells = static_cast<std::size_t>(columns) * rows;
    if (!DORVO_ASSERT(heights.size() >= cells, "CGFXCore::ReadHeightMap - the output holds fewer than "
                                               "columns x rows heights; nothing is written"))
        return false;

    const std::string path = CDorvoGfx::Instance().GetTexturePath() + fileName;
    plat::IDirect3DTexture9* texture = nullptr;
    plat::D3DSURFACE_DESC desc{};
    plat::D3DLOCKED_RECT locked{};
    bool read = false;
    if (!m_pDevice)
        DORVO_LOG("CGFXCore::ReadHeightMap: %s: there is no device to load the image on; the heights are 0",
                  path.c_str());
    else if (plat::SUCCEEDED(CreateTextureFromFile(path, &texture))) // a file that fails says itself why
    {
        if (plat::FAILED(texture->GetLevelDesc(0, &desc)) || desc.Width == 0 || desc.Height == 0 ||
            (desc.Format != plat::D3DFMT_A8R8G8B8 && desc.Format != plat::D3DFMT_X8R8G8B8))
            DORVO_LOG(
                "CGFXCore::ReadHeightMap: %s: the image has no 32-bit pixels to read; the heights are 0",
                path.c_str());
        else if (plat::FAILED(texture->LockRect(0, &locked, nullptr, plat::D3DLOCK_READONLY)))
            DORVO_LOG("CGFXCore::ReadHeightMap: %s: the image cannot be read; the heights are 0",
                      path.c_str());
        else
            read = true;
    }
    if (!read)
    {
        std::fill(heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(cells), 0.0f);
        if (texture)
            texture->Release();
        return false;
    }

    // Pixels are packed 32-bit words, green in byte 1 of each.
    const unsigned width = desc.Width;
    const unsigned height = desc.Height;
    const auto* bytes = static_cast<const std::uint8_t*>(locked.pBits);
    const std::size_t pitch = static_cast<std::size_t>(locked.Pitch);
    const unsigned gridColumns = std::min(columns, width);
    const unsigned gridRows = std::min(rows, height);
    const double stepX = static_cast<double>(width) / gridColumns;
    const double stepY = static_cast<double>(height) / gridRows;
    for (unsigned r = 0; r < gridRows; ++r)
    {
        const int y = static_cast<int>(r * stepY);
        for (unsigned c = 0; c < gridColumns; ++c)
        {
            const int x = static_cast<int>(c * stepX);
            unsigned sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
            {
                const int sy = std::clamp(y + dy, 0, static_cast<int>(height) - 1);
                for (int dx = -1; dx <= 1; ++dx)
                {
                    const int sx = std::clamp(x + dx, 0, static_cast<int>(width) - 1);
                    sum += bytes[static_cast<std::size_t>(sy) * pitch + static_cast<std::size_t>(sx) * 4 + 1];
                }
            }
            heights[static_cast<std::size_t>(r) * columns + c] = static_cast<float>(sum) / kHeightDivisor;
        }
    }
    texture->UnlockRect(0);
    texture->Release();
    return true;
}

bool CGFXCore::CreateRenderBuffers(D3DRenderBuffers& buffers)
{
    buffers.ReleaseBuffers();
    if (!m_pDevice || buffers.vertexCount == 0 || buffers.indexCount == 0 || buffers.stride == 0)
        return false;
    const plat::DWORD usage = plat::D3DUSAGE_DYNAMIC | plat::D3DUSAGE_WRITEONLY;
    const std::uint64_t vertexBytes = static_cast<std::uint64_t>(buffers.vertexCount) * buffers.stride;
    const std::uint64_t indexBytes = static_cast<std::uint64_t>(buffers.indexCount) * sizeof(std::uint16_t);
    if (vertexBytes > 0xFFFFFFFFu || indexBytes > 0xFFFFFFFFu)
        return false;
    if (plat::FAILED(CreateVertexBuffer(static_cast<plat::UINT>(vertexBytes), usage, 0, plat::D3DPOOL_DEFAULT,
                                        &buffers.vertexBuffer)) ||
        plat::FAILED(CreateIndexBuffer(static_cast<plat::UINT>(indexBytes), usage, plat::D3DFMT_INDEX16,
                                       plat::D3DPOOL_DEFAULT, &buffers.indexBuffer)))
    {
        buffers.ReleaseBuffers();
        return false;
    }
    return true;
}

namespace
{
bool Fill(CGFXCore& core, D3DRenderBuffers& buffers, const void* vertices, std::size_t vertexBytes,
          const std::vector<std::uint16_t>& indices)
{
    if (!buffers.vertexBuffer || !buffers.indexBuffer)
        return false;
    if (!DORVO_ASSERT(vertexBytes == static_cast<std::size_t>(buffers.vertexCount) * buffers.stride &&
                          indices.size() == buffers.indexCount,
                      "CGFXCore::FillRenderBuffers - the arrays do not hold the record's counts"))
        return false;
    void* data = nullptr;
    if (plat::FAILED(core.LockWhole(buffers.vertexBuffer, plat::D3DLOCK_DISCARD, &data)))
        return false;
    std::memcpy(data, vertices, vertexBytes);
    core.Unlock(buffers.vertexBuffer);
    if (plat::FAILED(core.LockWhole(buffers.indexBuffer, plat::D3DLOCK_DISCARD, &data)))
        return false;
    std::memcpy(data, indices.data(), indices.size() * sizeof(std::uint16_t));
    core.Unlock(buffers.indexBuffer);
    return true;
}
} // namespace

bool CGFXCore::FillRenderBuffers(D3DRenderBuffers& buffers, const GfxRenderBuffers& source)
{
    return Fill(*this, buffers, source.vertices.data(), source.vertices.size() * sizeof(SUnitVertex),
                source.indices);
}

bool CGFXCore::FillRenderBuffers(D3DRenderBuffers& buffers, const SVRenderBuffers& source)
{
    return Fill(*this, buffers, source.vertices.data(), source.vertices.size() * sizeof(SShadowVertex),
                source.indices);
}
} // namespace gfx
} // namespace dorvo
