// The .X loader on every form of a file and on lists shorter or longer than their Mesh: the
// generator's binary and compressed copies of a mesh give the mesh its text file gives, to the
// last vertex byte, bone, skin weight, material and animation key; short texture-coordinate and
// duplication lists fill what they list; damaged binary and compressed files stand in as
// "Invalid.x" with one line.
#include "engine/gfx/mesh/CXFileParser.h"

#include "MeshTestWorld.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CSkinWeightsInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

using dorvo::gfx::CBone;
using dorvo::gfx::CMeshHierarchy;
using dorvo::gfx::CMeshManager;
using dorvo::gfx::SUnitVertex;

namespace
{
class XFileParserTest : public gfxtest::MeshWorld
{
};

std::vector<float> Floats(const math::Matrix4& m)
{
    return std::vector<float>(m.m, m.m + 16);
}

template <typename T> bool SameBytes(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void ExpectSameMesh(const CMeshManager::SMeshInfo& a, const CMeshManager::SMeshInfo& b)
{
    const CMeshHierarchy& x = *a.hierarchy;
    const CMeshHierarchy& y = *b.hierarchy;
    EXPECT_TRUE(SameBytes(x.GetBuffers().vertices, y.GetBuffers().vertices))
        << "vertices, normals, tangents, skin";
    EXPECT_EQ(x.GetBuffers().indices, y.GetBuffers().indices);
    EXPECT_TRUE(SameBytes(x.GetShadowBuffers().vertices, y.GetShadowBuffers().vertices));
    EXPECT_EQ(x.GetShadowBuffers().indices, y.GetShadowBuffers().indices);

    ASSERT_EQ(x.GetBoneCount(), y.GetBoneCount());
    EXPECT_EQ(x.GetRoot()->name, y.GetRoot()->name);
    for (unsigned i = 0; i < x.GetBoneCount(); ++i)
    {
        const CBone& p = *x.GetBones()[i];
        const CBone& q = *y.GetBones()[i];
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.name, q.name);
        EXPECT_EQ(p.index, q.index);
        EXPECT_EQ(p.parent ? p.parent->name : "", q.parent ? q.parent->name : "");
        EXPECT_EQ(p.firstVertex, q.firstVertex);
        EXPECT_EQ(p.lastVertex, q.lastVertex);
        EXPECT_EQ(p.firstIndex, q.firstIndex);
        EXPECT_EQ(p.lastIndex, q.lastIndex);
        EXPECT_EQ(Floats(p.local), Floats(q.local));
        EXPECT_EQ(Floats(p.offset), Floats(q.offset));
        EXPECT_EQ(p.skinned, q.skinned);
        EXPECT_EQ(p.meshFrame, q.meshFrame);
        const auto* skinX = x.GetSkinWeights(p.name);
        const auto* skinY = y.GetSkinWeights(p.name);
        ASSERT_EQ(skinX == nullptr, skinY == nullptr);
        if (!skinX)
            continue;
        ASSERT_EQ(skinX->size(), skinY->size());
        for (std::size_t k = 0; k < skinX->size(); ++k)
        {
            EXPECT_EQ((*skinX)[k]->boneName, (*skinY)[k]->boneName);
            EXPECT_EQ((*skinX)[k]->vertexIndices, (*skinY)[k]->vertexIndices);
            EXPECT_EQ((*skinX)[k]->weights, (*skinY)[k]->weights);
            EXPECT_EQ(Floats((*skinX)[k]->offset), Floats((*skinY)[k]->offset));
        }
    }

    ASSERT_EQ(x.GetMaterials().size(), y.GetMaterials().size());
    for (std::size_t i = 0; i < x.GetMaterials().size(); ++i)
        EXPECT_EQ(std::memcmp(&x.GetMaterials()[i], &y.GetMaterials()[i], sizeof(x.GetMaterials()[i])), 0);

    ASSERT_EQ(a.controller == nullptr, b.controller == nullptr);
    if (!a.controller)
        return;
    EXPECT_EQ(a.controller->GetTicksPerSecond(), b.controller->GetTicksPerSecond());
    ASSERT_EQ(a.controller->GetAnimationNames(), b.controller->GetAnimationNames());
    for (const std::string& name : a.controller->GetAnimationNames())
    {
        const dorvo::gfx::CAnimation& p = *a.controller->GetAnimation(name);
        const dorvo::gfx::CAnimation& q = *b.controller->GetAnimation(name);
        ASSERT_EQ(p.tracks.size(), q.tracks.size());
        for (std::size_t t = 0; t < p.tracks.size(); ++t)
        {
            EXPECT_EQ(p.tracks[t].boneName, q.tracks[t].boneName);
            EXPECT_EQ(p.tracks[t].startTime, q.tracks[t].startTime);
            EXPECT_EQ(p.tracks[t].endTime, q.tracks[t].endTime);
            ASSERT_EQ(p.tracks[t].keys.size(), q.tracks[t].keys.size());
            for (std::size_t k = 0; k < p.tracks[t].keys.size(); ++k)
            {
                const math::VQS& u = p.tracks[t].keys[k].value;
                const math::VQS& v = q.tracks[t].keys[k].value;
                EXPECT_EQ(p.tracks[t].keys[k].time, q.tracks[t].keys[k].time);
                EXPECT_EQ(u.translation.x, v.translation.x);
                EXPECT_EQ(u.translation.y, v.translation.y);
                EXPECT_EQ(u.translation.z, v.translation.z);
                EXPECT_EQ(u.rotation.w, v.rotation.w);
                EXPECT_EQ(u.rotation.v.x, v.rotation.v.x);
                EXPECT_EQ(u.rotation.v.y, v.rotation.v.y);
                EXPECT_EQ(u.rotation.v.z, v.rotation.v.z);
                EXPECT_EQ(u.scale, v.scale);
            }
        }
    }
}
} // namespace

// Text, binary with 32- and 64-bit floats, and both compressed forms: one mesh. The arm is
// skinned and animated, the sphere's text spans two compressed blocks.
TEST_F(XFileParserTest, EveryFormOfAMeshIsTheSameMesh)
{
    for (const char* model : {"Arm", "Box", "Sphere"})
    {
        SCOPED_TRACE(model);
        const std::string text = std::string(model) + ".x";
        std::filesystem::copy_file(testsupport::RepoPath("data/meshes/" + text),
                                   std::string(kMeshFolder) + text);
        const CMeshManager::SMeshInfo* original = Get(text);
        ASSERT_NE(original, nullptr);
        ASSERT_GT(original->hierarchy->GetBuffers().IndexCount(), 0u);
        for (const char* form : {"Binary", "Binary64", "TextZip", "BinaryZip"})
        {
            SCOPED_TRACE(form);
            const CMeshManager::SMeshInfo* other = Get(std::string(model) + form + ".x");
            ASSERT_NE(other, nullptr);
            ASSERT_NE(other, Get(dorvo::gfx::kInvalidMeshName)) << "not the stand-in";
            ExpectSameMesh(*original, *other);
        }
    }
    const CMeshManager::SMeshInfo& arm = *Get("ArmBinaryZip.x");
    ASSERT_NE(arm.controller, nullptr);
    EXPECT_EQ(arm.controller->GetAnimationNames(), (std::vector<std::string>{"Bend"}));
    EXPECT_EQ(arm.hierarchy->GetBoneCount(), 3u);
}

// Lists shorter than their Mesh fill the vertices they list, without a word; longer ones have
// their extra entries left out, with one line.
TEST_F(XFileParserTest, ShortAndLongTextureCoordinateAndDuplicationLists)
{
    const CMeshHierarchy& shortLists = *Get("ShortLists.x")->hierarchy;
    const auto& vertices = shortLists.GetBuffers().vertices;
    ASSERT_EQ(vertices.size(), 4u);
    const float uvs[4][2] = {{0.5f, 0.25f}, {1.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(vertices[i].uv[0], uvs[i][0]) << i;
        EXPECT_EQ(vertices[i].uv[1], uvs[i][1]) << i;
    }
    // Vertex 1 names vertex 0; vertices 2 and 3, past the list, are their own.
    const auto& shadow = shortLists.GetShadowBuffers();
    ASSERT_EQ(shadow.VertexCount(), 3u);
    EXPECT_EQ(shadow.vertices[1].position[0], 1.0f);
    EXPECT_EQ(shadow.vertices[2].position[1], 1.0f);
    EXPECT_EQ(shadow.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 1}));

    WriteMesh("LongLists.x", "xof 0303txt 0032\nFrame A { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                             "MeshTextureCoords { 5; 0;0;, 1;0;, 0;1;, 7;7;, 8;8;; }\n"
                             "VertexDuplicationIndices { 4; 4; 0,1,2,3;; } } }\n");
    std::string said;
    const CMeshManager::SMeshInfo* longLists = Get("LongLists.x", &said);
    ASSERT_NE(longLists, nullptr);
    EXPECT_EQ(Lines(said), 2) << said;
    EXPECT_NE(
        said.find("meshes/LongLists.x:3: 5 texture coordinates for a Mesh of 3 vertices; the last 2 are "
                  "left out"),
        std::string::npos)
        << said;
    EXPECT_NE(
        said.find("meshes/LongLists.x:4: 4 duplication indices for a Mesh of 3 vertices; the last one is "
                  "left out"),
        std::string::npos)
        << said;
    EXPECT_EQ(longLists->hierarchy->GetBuffers().vertices[2].uv[1], 1.0f);
    EXPECT_EQ(longLists->hierarchy->GetShadowBuffers().VertexCount(), 3u);

    // A list that names a vertex past its Mesh is refused.
    WriteMesh("PastMesh.x", "xof 0303txt 0032\nFrame A { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                            "VertexDuplicationIndices { 4; 4; 3,1,2,3;; } } }\n");
    EXPECT_EQ(Get("PastMesh.x", &said), Get(dorvo::gfx::kInvalidMeshName));
    EXPECT_NE(said.find("vertex 0 duplicates vertex 3, which the Mesh does not have"), std::string::npos)
        << said;
}

// A damaged binary or compressed file: one line naming the file and the stand-in.
TEST_F(XFileParserTest, DamagedBinaryAndCompressedFilesStandInAsInvalid)
{
    const std::string arm = []
    {
        std::ifstream file(testsupport::RepoPath("tests/data/meshes/ArmBinaryZip.x"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }();
    ASSERT_GT(arm.size(), 40u);
    std::string bomb = arm;
    bomb.replace(16, 4, std::string("\xFF\xFF\xFF\x7F", 4)); // says it inflates to 2 GB
    std::string cut = arm.substr(0, arm.size() / 2);         // its block runs past the end
    std::string lying = arm;
    lying[20] = static_cast<char>(lying[20] + 1); // the first block says one byte more
    std::string binary = []
    {
        std::ifstream file(testsupport::RepoPath("tests/data/meshes/ArmBinary.x"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }();
    binary.resize(binary.size() - 7); // the last list cut short
    WriteMesh("Bomb.x", bomb);
    WriteMesh("Cut.x", cut);
    WriteMesh("Lying.x", lying);
    WriteMesh("Short.x", binary);
    struct Case
    {
        const char* file;
        const char* problem;
    };
    const Case cases[] = {
        {"Binary.x", "meshes/Binary.x: byte 16: a name of "},
        {"Bomb.x", "meshes/Bomb.x: the compressed file says it inflates to 2147483647 bytes"},
        {"Cut.x", "meshes/Cut.x: compressed block 1 (at byte 20): "},
        {"Lying.x", "meshes/Lying.x: compressed block 1 (at byte 20): inflates to "},
        {"Short.x", "meshes/Short.x: byte "},
    };
    const CMeshManager::SMeshInfo* invalid = Get(dorvo::gfx::kInvalidMeshName);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        std::string said;
        EXPECT_EQ(Get(c.file, &said), invalid);
        EXPECT_EQ(Lines(said), 1) << said;
        EXPECT_EQ(said.find(std::string("CMeshManager::Load: ") + c.problem), 0u) << said;
        EXPECT_NE(said.find("\"Invalid.x\" is drawn in its place"), std::string::npos) << said;
    }
}
