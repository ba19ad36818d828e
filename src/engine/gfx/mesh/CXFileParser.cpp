#include "engine/gfx/mesh/CXFileParser.h"

#include "common/math/CQuaternion.h"
#include "common/math/MathUtil.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CSkinWeightsInfo.h"
#include "platform/log.h"
#include "platform/xfile.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace dorvo
{
namespace gfx
{
namespace
{
unsigned g_unnamedCounter = 0;

// A count as the messages write it: 65536 as "65,536".
std::string Grouped(std::size_t value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string Plural(std::size_t count, const char* one, const char* many)
{
    return Grouped(count) + " " + (count == 1 ? one : many);
}

// The tail of a list longer than its Mesh: "the last one is left out", "the last 2 are left out".
std::string LeftOut(std::size_t extra)
{
    return extra == 1 ? "the last one is left out" : "the last " + Grouped(extra) + " are left out";
}

math::Matrix4 ToMatrix(const std::vector<float>& values)
{
    math::Matrix4 matrix;
    if (values.size() >= 16)
        std::copy(values.begin(), values.begin() + 16, matrix.m);
    return matrix;
}
} // namespace

std::string CXFileParser::NextUnnamedName()
{
    return "No Name " + std::to_string(g_unnamedCounter++);
}

// One file being read: the record taking shape, the dummy root the top-level frames hang from,
// what the file has used of its limits, and the first problem that refuses it.
class CXFileParser::Load
{
public:
    Load(CXFileParser& parser, const std::string& path) : m_parser(parser), m_path(path)
    {
        m_info = std::make_unique<CMeshManager::SMeshInfo>();
        m_info->hierarchy = std::make_unique<CMeshHierarchy>();
        m_info->controller = std::make_unique<CAnimationController>();
        m_root.name = "Dummy Root Bone";
    }

    std::unique_ptr<CMeshManager::SMeshInfo> Run(const plat::XFile& file)
    {
        m_file = &file;
        for (const plat::XData* object : file.Objects())
            if (!Parse(*object, &m_root, nullptr, nullptr))
                return nullptr;
        LeaveOutUnboundSkinWeights();
        // The top-level frames hang from the dummy root only while the file is read.
        CBone* root = m_root.firstChild;
        for (CBone* bone = root; bone; bone = bone->nextSibling)
            bone->parent = nullptr;
        m_info->hierarchy->SetRoot(root);
        if (m_info->controller->GetAnimationCount() == 0)
            m_info->controller.reset();
        return std::move(m_info);
    }

private:
    // The part of a bone's arrays that one Mesh object filled: what the objects inside it index.
    struct SMeshPart
    {
        CBone* bone = nullptr;
        std::size_t firstVertex = 0;
        std::size_t vertexCount = 0;
        std::size_t firstIndex = 0;
        std::size_t indexCount = 0;
        bool hasShadow = false;
    };

    struct SPendingSkinWeights
    {
        const CSkinWeightsInfo* info;
        int line;
    };

    // Places are the file's lines, or its byte offsets when it is binary.
    bool Fail(int line, const std::string& reason)
    {
        m_parser.m_error = m_file->Place(m_path, line) + ": " + reason;
        return false;
    }

    void Say(int line, const std::string& what) const
    {
        DORVO_LOG("CXFileParser::LoadMesh: %s: %s", m_file->Place(m_path, line).c_str(), what.c_str());
    }

    // An unnamed object is named once: an animation that references an unnamed frame (by its
    // GUID) then finds the frame's bone.
    std::string NameOf(const plat::XData& object)
    {
        if (!object.Name().empty())
            return object.Name();
        auto named = m_unnamed.find(&object);
        if (named == m_unnamed.end())
            named = m_unnamed.emplace(&object, NextUnnamedName()).first;
        return named->second;
    }

    bool Parse(const plat::XData& object, CBone* bone, CAnimation* set, SMeshPart* mesh)
    {
        const std::string& kind = object.Template();
        CBone* childBone = bone;
        SMeshPart* childMesh = mesh;
        SMeshPart part;
        std::unique_ptr<CAnimation> newSet;
        CAnimation* childSet = set;

        if (kind == "Frame")
        {
            childBone = NewBone(NameOf(object), bone, object.Line());
            if (!childBone)
                return false;
            childMesh = nullptr; // what the frame holds indexes the frame's own meshes
        }
        else if (kind == "FrameTransformMatrix")
            bone->local = ToMatrix(object.Floats("frameMatrix"));
        else if (kind == "Mesh")
        {
            // A Mesh outside every Frame gets a top-level bone of its own.
            if (bone == &m_root)
            {
                bone = NewBone(NameOf(object), &m_root, object.Line());
                if (!bone)
                    return false;
                childBone = bone;
            }
            if (!ReadMesh(object, bone, part))
                return false;
            ++m_parser.m_meshCounter;
            childMesh = &part;
        }
        else if (kind == "MeshTextureCoords")
        {
            if (!ReadTextureCoords(object, mesh))
                return false;
        }
        else if (kind == "VertexDuplicationIndices")
        {
            if (!ReadDuplicationIndices(object, mesh))
                return false;
        }
        else if (kind == "SkinWeights")
        {
            if (!ReadSkinWeights(object, mesh))
                return false;
        }
        else if (kind == "Material")
            m_info->hierarchy->AddMaterial(ToMaterial(object));
        else if (kind == "AnimationSet")
        {
            newSet = std::make_unique<CAnimation>();
            newSet->name = NameOf(object);
            childSet = newSet.get();
        }
        else if (kind == "Animation")
            return ReadAnimation(object, set);
        else if (kind == "AnimationKey")
            return true;
        else if (kind == "AnimTicksPerSecond")
        {
            m_info->controller->SetTicksPerSecond(object.DWord("AnimTicksPerSecond"));
            return true;
        }

        for (const plat::XChild& child : object.Children())
            if (!Parse(*child.data, childBone, childSet, childMesh))
                return false;

        if (newSet)
        {
            const std::string name = newSet->name;
            if (!m_info->controller->AddAnimation(std::move(newSet)))
                Say(object.Line(), "a second AnimationSet named \"" + name + "\"; the first one is kept");
        }
        return true;
    }

    CBone* NewBone(const std::string& name, CBone* parent, int line)
    {
        if (m_parser.m_boneCounter >= kMaxFrames)
        {
            Fail(line, "more than " + Grouped(kMaxFrames) + " frames");
            return nullptr;
        }
        auto made = std::make_unique<CBone>();
        CBone* bone = made.get();
        bone->name = name;
        bone->index = m_parser.m_boneCounter++;
        bone->parent = parent;
        bone->nextSibling = parent->firstChild;
        parent->firstChild = bone;
        if (!m_info->hierarchy->AddBone(std::move(made)) && m_reportedTwins.insert(name).second)
            Say(line, "a second Frame named \"" + name + "\"; lookups find the first");
        return bone;
    }

    // The bone's local matrix and its ancestors' up to the dummy root, the bone's first: with
    // row vectors a point goes through the bone, then its parent, and so on up, as the
    // animation's walk composes them.
    math::Matrix4 ModelMatrix(const CBone* bone) const
    {
        math::Matrix4 model = bone->local;
        for (const CBone* above = bone->parent; above; above = above->parent)
            model = above->local * model;
        return model;
    }

    bool ReadMesh(const plat::XData& object, CBone* bone, SMeshPart& part)
    {
        const std::size_t count = object.DWord("nVertices");
        const std::vector<float>& positions = object.Floats("vertices");
        if (positions.size() != count * 3)
            return Fail(object.Line(), "the Mesh has " + Plural(count, "vertex", "vertices") + " but " +
                                           Grouped(positions.size()) + " coordinates");
        if (m_vertices + count > kMaxVertices)
            return Fail(object.Line(),
                        "more than " + Grouped(kMaxVertices) + " vertices in the file; indices are 16-bit");
        std::size_t triangles = 0;
        for (const plat::XFace& face : object.Faces())
        {
            if (face.indices.size() < 3)
                return Fail(object.Line(), "a face of the Mesh has fewer than three corners");
            for (std::uint32_t index : face.indices)
                if (index >= count)
                    return Fail(object.Line(), "a face names vertex " + Grouped(index) + " of a Mesh of " +
                                                   Plural(count, "vertex", "vertices"));
            triangles += face.indices.size() - 2;
        }
        if (m_triangles + triangles > kMaxTriangles)
            return Fail(object.Line(), "more than " + Grouped(kMaxTriangles) + " triangles in the file");
        m_vertices += count;
        m_triangles += triangles;

        GfxRenderBuffers& arrays = bone->mesh;
        part.bone = bone;
        part.firstVertex = arrays.vertices.size();
        part.vertexCount = count;
        part.firstIndex = arrays.indices.size();
        part.indexCount = triangles * 3;

        // The file's first mesh is moved into model space; later ones keep their positions.
        const bool firstMesh = m_parser.m_meshCounter == 0;
        const math::Matrix4 model = firstMesh ? ModelMatrix(bone) : math::Matrix4();
        if (firstMesh)
            bone->meshFrame = true;
        arrays.vertices.resize(part.firstVertex + count);
        for (std::size_t i = 0; i < count; ++i)
        {
            math::Vector3 p(positions[3 * i], positions[3 * i + 1], positions[3 * i + 2]);
            if (firstMesh)
                p = model.TransformPoint(p);
            if (!math::IsValidFloat(p.x) || !math::IsValidFloat(p.y) || !math::IsValidFloat(p.z))
                return Fail(object.Line(), "vertex " + Grouped(i) + " of the Mesh lies beyond " +
                                               Grouped(static_cast<std::size_t>(math::kValidFloatBound)) +
                                               " units from the origin");
            float* out = arrays.vertices[part.firstVertex + i].position;
            out[0] = p.x;
            out[1] = p.y;
            out[2] = p.z;
        }
        // Faces of more than three corners become fans around their first corner.
        arrays.indices.reserve(part.firstIndex + part.indexCount);
        for (const plat::XFace& face : object.Faces())
            for (std::size_t k = 1; k + 1 < face.indices.size(); ++k)
                for (std::uint32_t corner : {face.indices[0], face.indices[k], face.indices[k + 1]})
                    arrays.indices.push_back(static_cast<std::uint16_t>(part.firstVertex + corner));
        return true;
    }

    // Vertex i takes coordinate i: a shorter list leaves the vertices past it at (0, 0); a
    // longer one has coordinates for vertices the Mesh does not have, which are left out.
    bool ReadTextureCoords(const plat::XData& object, const SMeshPart* mesh)
    {
        if (!mesh)
            return true; // kept to be referenced from a Mesh: alone it indexes nothing
        const std::size_t count = object.DWord("nTextureCoords");
        const std::vector<float>& uvs = object.Floats("textureCoords");
        if (uvs.size() != count * 2)
            return Fail(object.Line(), "nTextureCoords is " + Grouped(count) + " but " + Grouped(uvs.size()) +
                                           " values follow");
        for (float value : uvs)
            if (!math::IsValidFloat(value))
                return Fail(object.Line(), "a texture coordinate beyond " +
                                               Grouped(static_cast<std::size_t>(math::kValidFloatBound)));
        if (count > mesh->vertexCount)
            Say(object.Line(), Plural(count, "texture coordinate", "texture coordinates") +
                                   " for a Mesh of " + Plural(mesh->vertexCount, "vertex", "vertices") +
                                   "; " + LeftOut(count - mesh->vertexCount));
        for (std::size_t i = 0; i < std::min(count, mesh->vertexCount); ++i)
        {
            SUnitVertex& vertex = mesh->bone->mesh.vertices[mesh->firstVertex + i];
            vertex.uv[0] = uvs[2 * i];
            vertex.uv[1] = uvs[2 * i + 1];
        }
        return true;
    }

    // The shadow set: one vertex for each vertex that is its own original, and the Mesh's
    // triangles over those originals. Vertices past a shorter list are their own originals;
    // entries past the Mesh's vertices are left out.
    bool ReadDuplicationIndices(const plat::XData& object, SMeshPart* mesh)
    {
        if (!mesh)
            return true; // kept to be referenced from a Mesh: alone it indexes nothing
        if (mesh->hasShadow)
            return Fail(object.Line(), "a second VertexDuplicationIndices in one Mesh");
        mesh->hasShadow = true;
        const std::vector<std::uint32_t>& listed = object.DWords("indices");
        if (listed.size() != object.DWord("nIndices"))
            return Fail(object.Line(), "nIndices is " + Grouped(object.DWord("nIndices")) + " but " +
                                           Grouped(listed.size()) + " indices follow");
        if (listed.size() > mesh->vertexCount)
            Say(object.Line(), Plural(listed.size(), "duplication index", "duplication indices") +
                                   " for a Mesh of " + Plural(mesh->vertexCount, "vertex", "vertices") +
                                   "; " + LeftOut(listed.size() - mesh->vertexCount));
        std::vector<std::uint32_t> originals(mesh->vertexCount);
        for (std::size_t i = 0; i < originals.size(); ++i)
            originals[i] = i < listed.size() ? listed[i] : static_cast<std::uint32_t>(i);

        constexpr std::uint32_t kNotKept = 0xFFFFFFFFu;
        std::vector<std::uint32_t> numbers(originals.size(), kNotKept);
        SVRenderBuffers& shadow = mesh->bone->shadow;
        const std::size_t firstShadow = shadow.vertices.size();
        for (std::size_t i = 0; i < originals.size(); ++i)
        {
            if (originals[i] != i)
                continue;
            numbers[i] = static_cast<std::uint32_t>(shadow.vertices.size() - firstShadow);
            const SUnitVertex& vertex = mesh->bone->mesh.vertices[mesh->firstVertex + i];
            SShadowVertex kept;
            std::copy(vertex.position, vertex.position + 3, kept.position);
            std::copy(vertex.normal, vertex.normal + 3, kept.normal);
            shadow.vertices.push_back(kept);
        }
        const std::vector<std::uint16_t>& indices = mesh->bone->mesh.indices;
        for (std::size_t k = mesh->firstIndex; k < mesh->firstIndex + mesh->indexCount; ++k)
        {
            const std::size_t vertex = indices[k] - mesh->firstVertex;
            const std::uint32_t original = originals[vertex];
            if (original >= numbers.size())
                return Fail(object.Line(), "vertex " + Grouped(vertex) + " duplicates vertex " +
                                               Grouped(original) + ", which the Mesh does not have");
            if (numbers[original] == kNotKept)
                return Fail(object.Line(), "vertex " + Grouped(vertex) + " duplicates vertex " +
                                               Grouped(original) + ", which is not an original itself");
            shadow.indices.push_back(static_cast<std::uint16_t>(firstShadow + numbers[original]));
        }
        return true;
    }

    bool ReadSkinWeights(const plat::XData& object, SMeshPart* mesh)
    {
        if (!mesh)
            return true; // kept to be referenced from a Mesh: alone it indexes nothing
        const std::vector<std::uint32_t>& vertices = object.DWords("vertexIndices");
        const std::vector<float>& weights = object.Floats("weights");
        if (vertices.size() != weights.size() || object.DWord("nWeights") != vertices.size())
            return Fail(object.Line(), "SkinWeights has " + Plural(vertices.size(), "vertex", "vertices") +
                                           " and " + Plural(weights.size(), "weight", "weights"));
        for (std::uint32_t vertex : vertices)
            if (vertex >= mesh->vertexCount)
                return Fail(object.Line(), "SkinWeights names vertex " + Grouped(vertex) + " of a Mesh of " +
                                               Plural(mesh->vertexCount, "vertex", "vertices"));
        if (m_skinWeights + vertices.size() > kMaxSkinWeights)
            return Fail(object.Line(), "more than " + Grouped(kMaxSkinWeights) + " skin weights in the file");
        m_skinWeights += vertices.size();

        auto info = std::make_unique<CSkinWeightsInfo>();
        info->boneName = object.String("transformNodeName");
        info->vertexIndices.reserve(vertices.size());
        for (std::uint32_t vertex : vertices)
            info->vertexIndices.push_back(static_cast<std::uint32_t>(mesh->firstVertex + vertex));
        info->weights = weights;
        info->offset = ToMatrix(object.Floats("matrixOffset"));
        info->meshBone = mesh->bone;
        m_pending.push_back({info.get(), object.Line()});
        m_info->hierarchy->AddSkinWeights(std::move(info));
        return true;
    }

    // Frames may follow the meshes they move, so the names are looked up once the whole file is in.
    void LeaveOutUnboundSkinWeights()
    {
        for (const SPendingSkinWeights& pending : m_pending)
        {
            if (m_info->hierarchy->GetBone(pending.info->boneName))
                continue;
            Say(pending.line, "SkinWeights names \"" + pending.info->boneName +
                                  "\", which no Frame has; its weights are left out");
            m_info->hierarchy->RemoveSkinWeights(pending.info);
        }
    }

    static SMaterial ToMaterial(const plat::XData& object)
    {
        const std::vector<float>& face = object.Floats("faceColor");
        const std::vector<float>& specular = object.Floats("specularColor");
        const std::vector<float>& emissive = object.Floats("emissiveColor");
        SMaterial material;
        if (emissive.size() >= 3)
            material.ambient = plat::D3DXCOLOR(emissive[0], emissive[1], emissive[2], 1.0f);
        if (face.size() >= 4)
            material.diffuse = plat::D3DXCOLOR(face[0], face[1], face[2], face[3]);
        if (specular.size() >= 3)
            material.specular = plat::D3DXCOLOR(specular[0], specular[1], specular[2], 1.0f);
        material.specularPower = object.Float("power");
        return material;
    }

    // One bone's track of the current animation set; an Animation outside every set is left.
    bool ReadAnimation(const plat::XData& object, CAnimation* set)
    {
        if (!set)
            return true;
        CBoneAnimation track;
        for (const plat::XChild& child : object.Children())
        {
            if (child.isReference && child.data->Template() == "Frame")
                track.boneName = NameOf(*child.data);
            else if (!child.isReference && child.data->Template() == "AnimationKey")
            {
                if (!ReadKeys(*child.data, track))
                    return false;
            }
        }
        if (!track.keys.empty())
        {
            auto range = std::minmax_element(track.keys.begin(), track.keys.end(),
                                             [](const CAnimationKey& a, const CAnimationKey& b)
                                             { return a.time < b.time; });
            track.startTime = range.first->time;
            track.endTime = range.second->time;
        }
        set->tracks.push_back(track);
        return true;
    }

    // The first AnimationKey of an Animation makes its keys; later ones fill the same keys in
    // order, so they may not have more.
    bool ReadKeys(const plat::XData& object, CBoneAnimation& track)
    {
        const std::vector<plat::XKey>& keys = object.Keys();
        if (track.keys.empty())
        {
            if (m_keys + keys.size() > kMaxAnimationKeys)
                return Fail(object.Line(),
                            "more than " + Grouped(kMaxAnimationKeys) + " animation keys in the file");
            m_keys += keys.size();
            track.keys.resize(keys.size());
        }
        else if (keys.size() > track.keys.size())
            return Fail(object.Line(), "an AnimationKey with " + Plural(keys.size(), "key", "keys") +
                                           " after one with " + Grouped(track.keys.size()));
        const std::uint32_t type = object.DWord("keyType");
        for (std::size_t i = 0; i < keys.size(); ++i)
        {
            CAnimationKey& key = track.keys[i];
            const std::vector<float>& v = keys[i].values;
            key.time = static_cast<float>(keys[i].time);
            const std::size_t needed = type == 0 ? 4 : (type == 1 ? 1 : (type == 2 ? 3 : 0));
            if (v.size() < needed)
                return Fail(object.Line(),
                            "key " + Grouped(i) + " has " + Plural(v.size(), "value", "values"));
            if (type == 0)
            {
                // The file's rotations turn the other way from ours.
                math::CQuaternion q(v[0], -v[1], -v[2], -v[3]);
                if (math::IsZero(q.w * q.w + q.v.LengthSquared()))
                    return Fail(object.Line(),
                                "rotation key " + Grouped(i) + " is zero, which turns nothing");
                key.value.rotation = q.Normalize();
            }
            else if (type == 1)
                key.value.scale = v[0];
            else if (type == 2)
                key.value.translation.Set(v[0], v[1], v[2]);
        }
        return true;
    }

    CXFileParser& m_parser;
    std::string m_path;
    const plat::XFile* m_file = nullptr;
    std::unique_ptr<CMeshManager::SMeshInfo> m_info;
    CBone m_root; // the dummy root: takes no index and is never filed
    std::vector<SPendingSkinWeights> m_pending;
    std::set<std::string> m_reportedTwins;
    std::map<const plat::XData*, std::string> m_unnamed;
    std::size_t m_vertices = 0;
    std::size_t m_triangles = 0;
    std::size_t m_keys = 0;
    std::size_t m_skinWeights = 0;
};

std::unique_ptr<CMeshManager::SMeshInfo> CXFileParser::LoadMesh(const std::string& path)
{
    m_boneCounter = 0;
    m_meshCounter = 0;
    m_error.clear();
    plat::XFile file;
    if (!file.Open(path))
    {
        m_error = file.Error();
        return nullptr;
    }
    Load load(*this, path);
    return load.Run(file);
}
} // namespace gfx
} // namespace dorvo
