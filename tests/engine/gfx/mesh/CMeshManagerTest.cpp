// The mesh cache and the .X loader on hand-written files: what a file becomes (bones, merged
// arrays, shadow set, skin weights, materials), what is refused and what stands in for it, and
// the device copies through a lost device.
#include "engine/gfx/mesh/CMeshManager.h"

#include "DeviceBufferBytes.h"
#include "LogCapture.h"
#include "MeshTestWorld.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CSkinWeightsInfo.h"
#include "engine/gfx/mesh/CXFileParser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

using dorvo::gfx::CBone;
using dorvo::gfx::CMeshHierarchy;
using dorvo::gfx::CMeshManager;
using dorvo::gfx::SMaterial;
using dorvo::gfx::SUnitVertex;

using testsupport::Bytes;

namespace
{
class MeshManagerTest : public gfxtest::MeshWorld
{
};

std::vector<float> Position(const SUnitVertex& vertex)
{
    return {vertex.position[0], vertex.position[1], vertex.position[2]};
}

std::vector<float> Color(const plat::D3DXCOLOR& color)
{
    return {color.r, color.g, color.b, color.a};
}

std::vector<std::uint16_t> Indices(const CMeshHierarchy& hierarchy)
{
    return hierarchy.GetBuffers().indices;
}

// The bones after the root, through the next-sibling chain.
std::vector<std::string> Siblings(const CBone* bone)
{
    std::vector<std::string> names;
    for (; bone; bone = bone->nextSibling)
        names.push_back(bone->name);
    return names;
}

} // namespace

// A file is read once; its name gives the same record ever after, even with the file gone.
TEST_F(MeshManagerTest, TheCubeLoadsOnceWithOutwardNormalsAndItsMaterial)
{
    CMeshManager::SMeshInfo* cube = Get("Cube.x");
    ASSERT_NE(cube, nullptr);
    std::filesystem::remove(std::string(kMeshFolder) + "Cube.x");
    EXPECT_EQ(Get("Cube.x"), cube);
    EXPECT_EQ(meshes.GetMeshCount(), 1u);

    EXPECT_EQ(cube->controller, nullptr); // no animation sets
    const CMeshHierarchy& hierarchy = *cube->hierarchy;
    ASSERT_NE(hierarchy.GetRoot(), nullptr);
    EXPECT_EQ(hierarchy.GetRoot()->name, "Cube");
    EXPECT_EQ(hierarchy.GetRoot()->parent, nullptr);
    EXPECT_TRUE(hierarchy.GetRoot()->meshFrame);
    EXPECT_EQ(hierarchy.GetBone("Cube"), hierarchy.GetRoot());
    EXPECT_EQ(hierarchy.GetBone("Dummy Root Bone"), nullptr);
    EXPECT_EQ(hierarchy.GetBoneCount(), 1u);

    const auto& buffers = hierarchy.GetBuffers();
    ASSERT_EQ(buffers.VertexCount(), 24u);
    ASSERT_EQ(buffers.IndexCount(), 36u);
    for (const SUnitVertex& vertex : buffers.vertices)
    {
        const math::Vector3 p(vertex.position[0], vertex.position[1], vertex.position[2]);
        const math::Vector3 n(vertex.normal[0], vertex.normal[1], vertex.normal[2]);
        const math::Vector3 t(vertex.tangent[0], vertex.tangent[1], vertex.tangent[2]);
        EXPECT_NEAR(n.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR(n.Dot(p), 0.5f, 1e-5f); // outwards: each side's normal points away from the centre
        EXPECT_NEAR(t.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR(t.Dot(n), 0.0f, 1e-5f);
        EXPECT_EQ(vertex.influenceCount, 0);
    }
    EXPECT_EQ(buffers.vertices[0].uv[1], 1.0f);

    ASSERT_EQ(hierarchy.GetMaterials().size(), 1u);
    const SMaterial& white = hierarchy.GetMaterials()[0];
    EXPECT_EQ(Color(white.diffuse), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(Color(white.ambient), (std::vector<float>{0, 0, 0, 1})); // the emissive colour
    EXPECT_EQ(Color(white.specular), (std::vector<float>{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(white.specularPower, 10.0f);

    const auto& device = hierarchy.GetDeviceBuffers();
    EXPECT_EQ(device.vertexCount, 24u);
    EXPECT_EQ(device.indexCount, 36u);
    EXPECT_EQ(device.stride, 96u);
    EXPECT_NE(device.vertexBuffer, nullptr);
    EXPECT_NE(device.geometryId, hierarchy.GetShadowDeviceBuffers().geometryId);
    EXPECT_EQ(hierarchy.GetShadowDeviceBuffers().vertexBuffer, nullptr); // a plain mesh keeps it in memory
}

// Top-level frames are linked in front of each other; only the first Mesh of the file is moved
// into model space, by its frame first and then by each frame above it.
TEST_F(MeshManagerTest, TopLevelFramesAndModelSpace)
{
    const CMeshHierarchy& nested = *Get("NestedFrames.x")->hierarchy;
    EXPECT_EQ(Siblings(nested.GetRoot()), (std::vector<std::string>{"Second", "First"}));
    EXPECT_EQ(nested.GetBone("First")->parent, nullptr);
    EXPECT_EQ(nested.GetBone("Second")->parent, nullptr);
    EXPECT_EQ(nested.GetBone("Child")->parent, nested.GetBone("Second"));
    EXPECT_EQ(nested.GetBone("Second")->firstChild, nested.GetBone("Child"));
    EXPECT_EQ(nested.GetBone("First")->index, 0u);
    EXPECT_EQ(nested.GetBone("Second")->index, 1u);
    EXPECT_EQ(nested.GetBone("Child")->index, 2u);
    EXPECT_TRUE(nested.GetBone("First")->meshFrame);
    EXPECT_FALSE(nested.GetBone("Child")->meshFrame);
    // The second Mesh ("Quads", under a frame moved by 2 and scaled by 2) keeps its positions.
    const CBone& child = *nested.GetBone("Child");
    EXPECT_EQ(Position(nested.GetBuffers().vertices[child.firstVertex + 2]), (std::vector<float>{2, 0, 0}));

    const CMeshHierarchy& deep = *Get("TransformedParent.x")->hierarchy;
    EXPECT_TRUE(deep.GetBone("Child")->meshFrame);
    const auto& vertices = deep.GetBuffers().vertices;
    EXPECT_EQ(Position(vertices[0]), (std::vector<float>{2, 0, 0}));
    EXPECT_EQ(Position(vertices[1]), (std::vector<float>{4, 0, 0})); // scaled, then moved
    EXPECT_EQ(Position(vertices[2]), (std::vector<float>{2, 2, 0}));
}

// Bones in name order (Child, First, Second) give their arrays in turn; each bone's indices are
// raised by the vertices before it; faces of four corners are fans of two triangles.
TEST_F(MeshManagerTest, MergeRangesIndexOffsetsFansAndMaterials)
{
    const CMeshHierarchy& nested = *Get("NestedFrames.x")->hierarchy;
    struct Range
    {
        const char* bone;
        int firstVertex, lastVertex, firstIndex, lastIndex;
    };
    const Range ranges[] = {{"Child", 0, 5, 0, 11}, {"First", 6, 8, 12, 14}, {"Second", 9, 8, 15, 14}};
    for (const Range& r : ranges)
    {
        SCOPED_TRACE(r.bone);
        const CBone& bone = *nested.GetBone(r.bone);
        EXPECT_EQ(bone.firstVertex, r.firstVertex);
        EXPECT_EQ(bone.lastVertex, r.lastVertex);
        EXPECT_EQ(bone.firstIndex, r.firstIndex);
        EXPECT_EQ(bone.lastIndex, r.lastIndex);
        EXPECT_TRUE(bone.mesh.vertices.empty()); // moved into the merged arrays
    }
    EXPECT_EQ(Indices(nested), (std::vector<std::uint16_t>{0, 3, 4, 0, 4, 1, 1, 4, 5, 1, 5, 2, 6, 7, 8}));

    // The top-level Material, then each of the two references to it, converted alike.
    ASSERT_EQ(nested.GetMaterials().size(), 3u);
    for (const SMaterial& red : nested.GetMaterials())
    {
        EXPECT_EQ(Color(red.ambient), (std::vector<float>{0, 0.1f, 0, 1}));
        EXPECT_EQ(Color(red.diffuse), (std::vector<float>{1, 0, 0, 0.5f}));
        EXPECT_EQ(Color(red.specular), (std::vector<float>{0.25f, 0.25f, 0.25f, 1}));
        EXPECT_EQ(red.specularPower, 12.5f);
    }
}

// The shadow set keeps one vertex for each original position and draws the triangles over them;
// two Meshes in one frame are both kept, the second with its positions as written.
TEST_F(MeshManagerTest, ShadowSetsAndTwoMeshesInOneFrame)
{
    const CMeshHierarchy& quad = *Get("Quad.x")->hierarchy;
    const auto& shadow = quad.GetShadowBuffers();
    ASSERT_EQ(shadow.VertexCount(), 4u);
    const auto& vertices = quad.GetBuffers().vertices;
    const int kept[] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::vector<float>(shadow.vertices[i].position, shadow.vertices[i].position + 3),
                  Position(vertices[kept[i]]));
    EXPECT_EQ(shadow.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(vertices[4].uv[0], 1.0f);
    EXPECT_EQ(vertices[4].uv[1], 0.0f);
    EXPECT_EQ(quad.GetShadowDeviceBuffers().vertexCount, 0u);
    ASSERT_EQ(quad.GetMaterials().size(), 1u);
    EXPECT_EQ(Color(quad.GetMaterials()[0].diffuse), (std::vector<float>{0.8f, 0.6f, 0.4f, 1}));

    const CMeshHierarchy& both = *Get("TwoMeshesOneFrame.x")->hierarchy;
    const auto& merged = both.GetBuffers();
    ASSERT_EQ(merged.VertexCount(), 7u);
    EXPECT_EQ(Position(merged.vertices[1]), (std::vector<float>{1, 0, 5})); // the first, moved by its frame
    EXPECT_EQ(Position(merged.vertices[4]), (std::vector<float>{1, 0, 1})); // the second, as written
    EXPECT_EQ(merged.indices, (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5, 3, 5, 6}));
    EXPECT_EQ(merged.vertices[6].uv[0], 0.25f);
    EXPECT_EQ(both.GetShadowBuffers().VertexCount(), 6u);
    EXPECT_EQ(both.GetShadowBuffers().indices, (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5, 3, 5, 4}));
}

// Vertex 2 is named by five SkinWeights objects: the first four (file order) give its
// influences. The skinned mesh is drawn alone and without a shadow set.
TEST_F(MeshManagerTest, SkinWeightsKeepTheFirstFourInfluences)
{
    CMeshManager::SMeshInfo* info = Get("SkinnedTwoBones.x");
    const CMeshHierarchy& skinned = *info->hierarchy;
    const CBone& root = *skinned.GetBone("Root");
    const CBone& arm = *skinned.GetBone("Arm");
    const CBone& skin = *skinned.GetBone("Skin");
    EXPECT_EQ(root.index, 0u);
    EXPECT_EQ(arm.index, 1u);
    EXPECT_EQ(skin.index, 2u);
    EXPECT_TRUE(skin.skinned);
    EXPECT_TRUE(skin.meshFrame);
    ASSERT_NE(skinned.GetSkinWeights("Skin"), nullptr);
    EXPECT_EQ(skinned.GetSkinWeights("Skin")->size(), 5u);
    EXPECT_EQ(skinned.GetSkinWeights("Root"), nullptr);

    const auto& vertices = skinned.GetBuffers().vertices;
    ASSERT_EQ(vertices.size(), 6u);
    const SUnitVertex& joint = vertices[2];
    ASSERT_EQ(joint.influenceCount, 4);
    EXPECT_EQ(std::vector<std::uint32_t>(joint.boneIndices, joint.boneIndices + 4),
              (std::vector<std::uint32_t>{0, 1, 0, 1}));
    EXPECT_EQ(std::vector<float>(joint.weights, joint.weights + 4),
              (std::vector<float>{0.4f, 0.4f, 0.1f, 0.05f}));
    EXPECT_EQ(vertices[0].influenceCount, 1);
    EXPECT_EQ(vertices[3].boneIndices[0], 1u);
    EXPECT_EQ(arm.offset.GetTranslation().y, -1.0f);

    EXPECT_EQ(skin.firstVertex, 0);
    EXPECT_EQ(skin.lastVertex, 5);
    EXPECT_EQ(skin.lastIndex, 8);
    EXPECT_EQ(skin.mesh.VertexCount(), 6u); // a skinned bone keeps its own arrays
    EXPECT_EQ(skinned.GetShadowBuffers().VertexCount(), 0u);
    ASSERT_NE(info->controller, nullptr);
    EXPECT_EQ(info->controller->GetTicksPerSecond(), 4800u);
}

// Problems a mesh survives: one line each, naming the file and the line of the object.
TEST_F(MeshManagerTest, SkinWeightsNamingNoFrameAndFramesOfOneName)
{
    std::string said;
    const CMeshHierarchy& skin = *Get("SkinNoBone.x", &said)->hierarchy;
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("meshes/SkinNoBone.x:22: "), std::string::npos) << said;
    EXPECT_NE(said.find("\"Ghost\""), std::string::npos) << said;
    ASSERT_NE(skin.GetSkinWeights("Skin"), nullptr);
    EXPECT_EQ(skin.GetSkinWeights("Skin")->size(), 1u);
    EXPECT_EQ(skin.GetBuffers().vertices[2].influenceCount, 1);
    EXPECT_EQ(skin.GetBuffers().vertices[2].weights[0], 0.5f);

    const CMeshHierarchy& twins = *Get("TwinFrames.x", &said)->hierarchy;
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("meshes/TwinFrames.x:17: a second Frame named \"Twin\""), std::string::npos) << said;
    EXPECT_EQ(twins.GetBoneCount(), 4u);
    EXPECT_EQ(twins.GetBone("Twin")->index, 0u);
    EXPECT_EQ(twins.GetBone("Twin")->parent, nullptr);
    std::set<float> depths; // every twin's triangle is drawn
    for (const SUnitVertex& vertex : twins.GetBuffers().vertices)
        depths.insert(vertex.position[2]);
    EXPECT_EQ(depths, (std::set<float>{0, 2, 3}));
}

TEST_F(MeshManagerTest, UnnamedObjectsAndAMeshOutsideEveryFrame)
{
    CMeshManager::SMeshInfo* unnamed = Get("Unnamed.x");
    const std::string outer = unnamed->hierarchy->GetRoot()->name;
    ASSERT_EQ(outer.compare(0, 8, "No Name "), 0) << outer;
    const int first = std::stoi(outer.substr(8));
    EXPECT_EQ(unnamed->hierarchy->GetRoot()->firstChild->name, "No Name " + std::to_string(first + 1));
    ASSERT_NE(unnamed->controller, nullptr);
    EXPECT_EQ(unnamed->controller->GetAnimationNames(),
              (std::vector<std::string>{"No Name " + std::to_string(first + 2)}));
    EXPECT_EQ(unnamed->controller->GetTicksPerSecond(), 0u); // the file has no AnimTicksPerSecond
    const dorvo::gfx::CAnimation& set =
        *unnamed->controller->GetAnimation("No Name " + std::to_string(first + 2));
    ASSERT_EQ(set.tracks.size(), 1u);
    EXPECT_EQ(set.tracks[0].boneName, outer); // the reference finds the frame under its given name

    const CMeshHierarchy& loose = *Get("MeshOutsideFrame.x")->hierarchy;
    EXPECT_EQ(Siblings(loose.GetRoot()), (std::vector<std::string>{"After", "Loose"}));
    EXPECT_EQ(loose.GetBone("Loose")->index, 0u);
    EXPECT_TRUE(loose.GetBone("Loose")->meshFrame);
    EXPECT_EQ(loose.GetBuffers().VertexCount(), 3u);
}

// A file that cannot be read is said once, in one line naming it and the problem; its name then
// stands for "Invalid.x" without loading anything twice.
TEST_F(MeshManagerTest, ABrokenFileIsSaidOnceAndInvalidStandsIn)
{
    // 65,536 vertices are the most 16-bit indices reach; one more refuses the file.
    auto bigMesh = [](int vertices, int meshes)
    {
        std::ostringstream text;
        text << "xof 0303txt 0032\n";
        for (int m = 0; m < meshes; ++m)
        {
            text << "Frame F" << m << " {\nMesh {\n" << vertices << ";\n";
            for (int i = 0; i < vertices; ++i)
                text << i % 7 << ";" << i % 5 << ";" << m << ";" << (i + 1 < vertices ? "," : ";") << "\n";
            text << "1;\n3;0," << vertices - 2 << "," << vertices - 1 << ";;\n}\n}\n";
        }
        return text.str();
    };
    WriteMesh("Widest.x", bigMesh(65536, 1));
    WriteMesh("TooWide.x", bigMesh(65537, 1));
    WriteMesh("TooWideTogether.x", bigMesh(40000, 2));
    WriteMesh("Far.x",
              "xof 0303txt 0032\nFrame A { FrameTransformMatrix { 1e5,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
              "Mesh { 3; 0;0;0;, 20;0;0;, 0;1;0;; 1; 3;0,1,2;; } }\n");
    WriteMesh("ZeroTurn.x", "xof 0303txt 0032\nFrame A { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }\n"
                            "AnimationSet S { Animation { { A } AnimationKey { 0; 1; 0;4;0,0,0,0;;; } } }\n");

    const CMeshHierarchy& widest = *Get("Widest.x")->hierarchy;
    EXPECT_EQ(Indices(widest), (std::vector<std::uint16_t>{0, 65534, 65535}));

    CMeshManager::SMeshInfo* invalid = Get(dorvo::gfx::kInvalidMeshName);
    ASSERT_NE(invalid, nullptr);
    EXPECT_EQ(invalid->hierarchy->GetBuffers().VertexCount(), 24u);
    const std::size_t owned = meshes.GetMeshCount();

    struct Case
    {
        const char* file;
        const char* problem;
    };
    const Case cases[] = {
        {"Missing.x", "meshes/Missing.x"},
        {"Truncated.x", "meshes/Truncated.x:"},
        {"BadIndex.x", "meshes/BadIndex.x:"},
        {"WeightsPastMesh.x",
         "meshes/WeightsPastMesh.x:4: SkinWeights names vertex 5 of a Mesh of 3 vertices"},
        {"ExtraKeys.x", "meshes/ExtraKeys.x:24: an AnimationKey with 3 keys after one with 2"},
        {"NoTriangles.x", "meshes/NoTriangles.x: no triangles to draw"},
        {"TooWide.x", "meshes/TooWide.x:3: more than 65,536 vertices in the file"},
        {"TooWideTogether.x", "meshes/TooWideTogether.x:40010: more than 65,536 vertices in the file"},
        {"ZeroTurn.x", "meshes/ZeroTurn.x:3: rotation key 0 is zero"},
        {"Far.x", "meshes/Far.x:3: vertex 1 of the Mesh lies beyond 1,000,000 units from the origin"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        std::string said;
        EXPECT_EQ(Get(c.file, &said), invalid);
        EXPECT_EQ(Lines(said), 1) << said;
        EXPECT_EQ(said.find(std::string("CMeshManager::Load: ") + c.problem), 0u) << said;
        EXPECT_NE(said.find("\"Invalid.x\" is drawn in its place"), std::string::npos) << said;
        EXPECT_EQ(Get(c.file), invalid); // and never again
        EXPECT_TRUE(meshes.IsKnown(c.file));
    }
    EXPECT_EQ(meshes.GetMeshCount(), owned);
}

// Mesh names come from data: none leads out of the mesh folder or to something endless.
TEST_F(MeshManagerTest, NamesThatLeaveTheMeshFolderOrAreNoFilesGiveInvalid)
{
    std::filesystem::create_symlink("/dev/zero", "meshes/Zero.x");
    CMeshManager::SMeshInfo* invalid = Get(dorvo::gfx::kInvalidMeshName);
    ASSERT_NE(invalid, nullptr);
    const struct
    {
        const char* name;
        const char* problem;
    } cases[] = {
        {"../../../../etc/hostname", "meshes/../../../../etc/hostname: the name leaves the mesh folder"},
        {"/dev/zero", "meshes//dev/zero: the name leaves the mesh folder"},
        {"Zero.x", "meshes/Zero.x: it is a device, not a regular file"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string said;
        EXPECT_EQ(Get(c.name, &said), invalid);
        EXPECT_EQ(Lines(said), 1) << said;
        EXPECT_EQ(said.find(std::string("CMeshManager::Load: ") + c.problem), 0u) << said;
    }
}

TEST_F(MeshManagerTest, WithoutInvalidABrokenFileDrawsNothing)
{
    std::filesystem::remove(std::string(kMeshFolder) + "Invalid.x");
    std::string said;
    EXPECT_EQ(Get("Missing.x", &said), nullptr);
    EXPECT_EQ(Lines(said), 2) << said; // one for each file
    EXPECT_NE(said.find("meshes/Invalid.x"), std::string::npos) << said;
    EXPECT_NE(said.find("nothing is drawn"), std::string::npos) << said;
    EXPECT_EQ(Get("Missing.x"), nullptr);
    EXPECT_EQ(Get(dorvo::gfx::kInvalidMeshName), nullptr);
    EXPECT_EQ(meshes.GetMeshCount(), 0u);
}

// Device loss lets go of every device copy; the reset makes them again with the same bytes.
TEST_F(MeshManagerTest, DeviceCopiesGoAtLossAndComeBackAlikeAtReset)
{
    const unsigned before = plat::headless::LiveDefaultResources();
    const char* const names[] = {"Cube.x", "SkinnedTwoBones.x", "NestedFrames.x", "Quad.x"};
    struct Copy
    {
        std::vector<std::uint8_t> vertices, indices;
        unsigned id;
    };
    std::vector<Copy> copies;
    for (const char* name : names)
    {
        const auto& device = Get(name)->hierarchy->GetDeviceBuffers();
        copies.push_back({Bytes(device.vertexBuffer), Bytes(device.indexBuffer), device.geometryId});
        EXPECT_FALSE(copies.back().vertices.empty()) << name;
    }
    EXPECT_EQ(plat::headless::LiveDefaultResources(), before + 2 * std::size(names));

    meshes.OnLostDevice();
    EXPECT_EQ(plat::headless::LiveDefaultResources(), before);
    for (const char* name : names)
        EXPECT_EQ(Get(name)->hierarchy->GetDeviceBuffers().vertexBuffer, nullptr) << name;

    testsupport::LogCapture logged;
    meshes.OnResetDevice();
    EXPECT_EQ(logged.Text(), "");
    EXPECT_EQ(plat::headless::LiveDefaultResources(), before + 2 * std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i)
    {
        SCOPED_TRACE(names[i]);
        const auto& device = Get(names[i])->hierarchy->GetDeviceBuffers();
        EXPECT_EQ(Bytes(device.vertexBuffer), copies[i].vertices);
        EXPECT_EQ(Bytes(device.indexBuffer), copies[i].indices);
        EXPECT_EQ(device.geometryId, copies[i].id);
    }
    meshes.Release();
    EXPECT_EQ(plat::headless::LiveDefaultResources(), before);
}

// Every mesh the game ships loads without a word, each with triangles to draw.
TEST_F(MeshManagerTest, TheGamesMeshesLoadSilently)
{
    dorvo::gfx::SetMeshFolder(testsupport::RepoPath("data/meshes/"));
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::RepoPath("data/meshes")))
    {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        CMeshManager::SMeshInfo* info = Get(name);
        ASSERT_NE(info, nullptr);
        EXPECT_GT(info->hierarchy->GetBuffers().IndexCount(), 0u);
        EXPECT_EQ(info->hierarchy->GetMaterials().size(), 1u);
    }
    const CMeshManager::SMeshInfo& arm = *meshes.GetMesh("Arm.x");
    EXPECT_EQ(arm.hierarchy->GetBoneCount(), 3u);
    ASSERT_NE(arm.controller, nullptr);
    EXPECT_EQ(arm.controller->GetAnimationNames(), (std::vector<std::string>{"Bend"}));
    EXPECT_EQ(arm.controller->GetAnimation("Bend")->tracks.size(), 2u); // the shoulder and the elbow
}
