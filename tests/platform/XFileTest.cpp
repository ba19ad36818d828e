#include "platform/xfile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace
{
const char* const kHeader = "xof 0303txt 0032\n";

class XFileTest : public ::testing::Test
{
protected:
    static void Write(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // Writes text to a file and opens it.
    static bool OpenText(plat::XFile& file, const std::string& path, const std::string& text)
    {
        Write(path, text);
        return file.Open(path);
    }

    testsupport::TempWorkDir dir;
};

// The child objects of an object, references followed, in file order.
std::vector<const plat::XData*> Kids(const plat::XData& obj)
{
    std::vector<const plat::XData*> kids;
    for (const plat::XChild& child : obj.Children())
        kids.push_back(child.data);
    return kids;
}

// The first object of a template below obj, searched depth first without following references.
const plat::XData* FindBelow(const plat::XData& obj, const std::string& templ)
{
    for (const plat::XChild& child : obj.Children())
    {
        if (child.isReference)
            continue;
        if (child.data->Template() == templ)
            return child.data;
        if (const plat::XData* found = FindBelow(*child.data, templ))
            return found;
    }
    return nullptr;
}

const plat::XData& Top(const plat::XFile& file, size_t i)
{
    static const plat::XData none;
    return i < file.Objects().size() ? *file.Objects()[i] : none;
}

std::vector<float> Identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

std::vector<uint32_t> Indices(const plat::XFace& face)
{
    return face.indices;
}
} // namespace

// Every way the format lets values and objects be written reads to the same tree.
TEST_F(XFileTest, WellFormedTextReads)
{
    struct Case
    {
        const char* what;
        std::string text;
        std::function<void(const plat::XFile&)> check;
    };
    const std::string triangle = "0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;";
    auto isTriangle = [](const plat::XData& mesh)
    {
        EXPECT_EQ(mesh.Template(), "Mesh");
        EXPECT_EQ(mesh.DWord("nVertices"), 3u);
        EXPECT_EQ(mesh.Floats("vertices"), (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}));
        ASSERT_EQ(mesh.Faces().size(), 1u);
        EXPECT_EQ(Indices(mesh.Faces()[0]), (std::vector<uint32_t>{0, 1, 2}));
    };
    const Case cases[] = {
        {"separators as exporters write them", kHeader + ("Mesh {3;" + triangle + "1;3;0,1,2;;}"),
         [&](const plat::XFile& f) { isTriangle(Top(f, 0)); }},
        {"blanks only", std::string(kHeader) + "Mesh {\n3 0 0 0 1 0 0 0 1 0\n1 3 0 1 2\n}",
         [&](const plat::XFile& f) { isTriangle(Top(f, 0)); }},
        {"doubled and mixed separators",
         std::string(kHeader) + "Mesh {3;;,0,0;0;;;1;,0,;0;0,,1;0;;;;1;;3;;0;1,,2;;;}",
         [&](const plat::XFile& f) { isTriangle(Top(f, 0)); }},
        {"comments of both kinds, also after values and holding braces",
         std::string(kHeader) +
             "// a comment { with a brace\n# another }\nMesh { // opens\n3; # vertices {\n" + triangle +
             "//}\n1;3;0,1,2;;# }\n} // done",
         [&](const plat::XFile& f)
         {
             ASSERT_EQ(f.Objects().size(), 1u);
             isTriangle(Top(f, 0));
         }},
        {"CRLF line ends", "xof 0302txt 0032\r\nFrame A {\r\n Frame B {\r\n }\r\n}\r\n",
         [](const plat::XFile& f)
         {
             ASSERT_EQ(f.Objects().size(), 1u);
             EXPECT_EQ(Top(f, 0).Name(), "A");
             ASSERT_EQ(Kids(Top(f, 0)).size(), 1u);
             EXPECT_EQ(Kids(Top(f, 0))[0]->Name(), "B");
             EXPECT_EQ(Kids(Top(f, 0))[0]->Line(), 3);
         }},
        {"names and GUIDs are optional",
         std::string(kHeader) + "Frame {}\nFrame Named {}\nFrame { <a1b2c3d4-0000-1111-2222-333344445555> }\n"
                                "Frame Both { <A1B2C3D4-0000-1111-2222-33334444AAAA> }",
         [](const plat::XFile& f)
         {
             ASSERT_EQ(f.Objects().size(), 4u);
             EXPECT_EQ(Top(f, 0).Name(), "");
             EXPECT_EQ(Top(f, 0).Guid(), "");
             EXPECT_EQ(Top(f, 1).Name(), "Named");
             EXPECT_EQ(Top(f, 2).Name(), "");
             EXPECT_EQ(Top(f, 2).Guid(), "A1B2C3D4-0000-1111-2222-333344445555");
             EXPECT_EQ(Top(f, 3).Name(), "Both");
             EXPECT_EQ(Top(f, 3).Guid(), "A1B2C3D4-0000-1111-2222-33334444AAAA");
         }},
        {"names as exporters write them",
         std::string(kHeader) + "Frame mixamorig:Left-Arm.001 {}\nFrame 01Bip {}",
         [](const plat::XFile& f)
         {
             EXPECT_EQ(Top(f, 0).Name(), "mixamorig:Left-Arm.001");
             EXPECT_EQ(Top(f, 1).Name(), "01Bip");
         }},
        {"references by name, by GUID, by both, and forward",
         std::string(kHeader) +
             "Material Red { <0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0> 1;0;0;1;; 5; 0;0;0;; 0;0;0;; }\n"
             "Frame Holder {\n { Red }\n { <0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0> }\n"
             " { Red <0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0> }\n { Later }\n}\nFrame Later {}",
         [](const plat::XFile& f)
         {
             ASSERT_EQ(f.Objects().size(), 3u);
             const plat::XData& holder = Top(f, 1);
             ASSERT_EQ(holder.Children().size(), 4u);
             for (size_t i = 0; i < 3; ++i)
             {
                 EXPECT_TRUE(holder.Children()[i].isReference);
                 EXPECT_EQ(holder.Children()[i].data, &Top(f, 0));
             }
             EXPECT_EQ(holder.Children()[3].data, &Top(f, 2));
             EXPECT_EQ(holder.Children()[0].data->Floats("faceColor"), (std::vector<float>{1, 0, 0, 1}));
         }},
        {"a reference names the first object of that name",
         std::string(kHeader) + "Frame Twin { Frame Inner {} }\nFrame Twin {}\nAnimation { { Twin } }",
         [](const plat::XFile& f)
         {
             ASSERT_EQ(f.Objects().size(), 3u);
             ASSERT_EQ(Top(f, 2).Children().size(), 1u);
             EXPECT_EQ(Top(f, 2).Children()[0].data, &Top(f, 0));
         }},
        {"templates are skipped wherever they stand",
         std::string(kHeader) +
             "template Mine {\n <6A1C0D52-93F4-4B7E-8E21-5D0F3C7A9B14>\n DWORD n;\n array FLOAT v[n];\n"
             " [Material <3D82AB4D-62DA-11CF-AB39-0020AF71E433>, ...]\n}\nFrame A {}\n"
             "template Open { <00000000-0000-0000-0000-000000000001> [...] }\nFrame B {}",
         [](const plat::XFile& f)
         {
             ASSERT_EQ(f.Objects().size(), 2u);
             EXPECT_EQ(Top(f, 0).Name(), "A");
             EXPECT_EQ(Top(f, 1).Name(), "B");
         }},
        {"objects of other templates keep their children, not their values",
         std::string(kHeader) + "Mine Thing { 3; 1.5, \"text\"; -2e3; Frame Inner { Mesh {" + "3;" +
             triangle + "1;3;0,1,2;;} } { Inner } }",
         [&](const plat::XFile& f)
         {
             const plat::XData& thing = Top(f, 0);
             EXPECT_EQ(thing.Template(), "Mine");
             EXPECT_FALSE(thing.IsDecoded());
             EXPECT_TRUE(thing.MemberNames().empty());
             ASSERT_EQ(thing.Children().size(), 2u);
             const plat::XData& inner = *thing.Children()[0].data;
             EXPECT_TRUE(thing.Children()[1].isReference);
             EXPECT_EQ(thing.Children()[1].data, &inner);
             EXPECT_TRUE(inner.IsDecoded());
             isTriangle(*Kids(inner)[0]);
         }},
        {"64-bit floats read into floats",
         "xof 0302txt 0064\nMaterial { 0.100000000000000006;1.0e-300;-1.234567890123456789e+10;1;; "
         "3.4028234663852886e38; 1e-400;-0.0;.5;; 5.;+2;1E2;; }",
         [](const plat::XFile& f)
         {
             EXPECT_EQ(f.FloatSize(), 64);
             const plat::XData& m = Top(f, 0);
             EXPECT_EQ(m.Floats("faceColor"), (std::vector<float>{0.1f, 0.0f, -1.23456789e10f, 1.0f}));
             EXPECT_EQ(m.Float("power"), 3.4028234663852886e38f);
             EXPECT_EQ(m.Floats("specularColor"), (std::vector<float>{0.0f, -0.0f, 0.5f}));
             EXPECT_EQ(m.Floats("emissiveColor"), (std::vector<float>{5.0f, 2.0f, 100.0f}));
         }},
        {"strings keep blanks and backslashes",
         std::string(kHeader) + "TextureFilename { \"C:\\\\art\\my skin.png\"; }\nEffectParamString { "
                                "\"Name\";\"{ not an object }\"; }",
         [](const plat::XFile& f)
         {
             EXPECT_EQ(Top(f, 0).String("filename"), "C:\\\\art\\my skin.png");
             EXPECT_EQ(Top(f, 1).String("Value"), "{ not an object }");
         }},
        {"a header alone is a file without objects", "xof 0303txt 0032\n",
         [](const plat::XFile& f) { EXPECT_TRUE(f.Objects().empty()); }},
        {"texture coordinates and duplication indices for fewer (or more) vertices than the Mesh has",
         std::string(kHeader) + "Mesh {3;" + triangle +
             "1;3;0,1,2;; MeshTextureCoords { 2; 0.5;0.25;, 1;0;; }"
             " VertexDuplicationIndices { 1; 1; 0;; } MeshTextureCoords { 4; 0;0;,0;0;,0;0;,1;1;; } }",
         [](const plat::XFile& f)
         {
             const std::vector<const plat::XData*> kids = Kids(Top(f, 0));
             ASSERT_EQ(kids.size(), 3u);
             EXPECT_EQ(kids[0]->DWord("nTextureCoords"), 2u);
             EXPECT_EQ(kids[0]->Floats("textureCoords"), (std::vector<float>{0.5f, 0.25f, 1.0f, 0.0f}));
             EXPECT_EQ(kids[1]->DWords("indices"), (std::vector<uint32_t>{0}));
             EXPECT_EQ(kids[2]->Floats("textureCoords").size(), 8u);
         }},
        {"WORD members", std::string(kHeader) + "Header { 1; 65535; 4294967295; } XSkinMeshHeader { 4;8;2; }",
         [](const plat::XFile& f)
         {
             EXPECT_EQ(Top(f, 0).DWord("minor"), 65535u);
             EXPECT_EQ(Top(f, 0).DWord("flags"), 4294967295u);
             EXPECT_EQ(Top(f, 1).DWord("nMaxSkinWeightsPerVertex"), 4u);
             EXPECT_EQ(Top(f, 1).DWord("nBones"), 2u);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        plat::XFile file;
        ASSERT_TRUE(OpenText(file, "case.x", c.text)) << file.Error();
        EXPECT_EQ(file.Error(), "");
        c.check(file);
    }
}

// Absent members give safe values rather than reading past anything.
TEST_F(XFileTest, AbsentMembersAreEmpty)
{
    plat::XFile file;
    ASSERT_TRUE(OpenText(file, "a.x", std::string(kHeader) + "Frame A {}")) << file.Error();
    const plat::XData& frame = Top(file, 0);
    EXPECT_FALSE(frame.Has("nVertices"));
    EXPECT_EQ(frame.DWord("nVertices"), 0u);
    EXPECT_TRUE(frame.DWords("faceIndexes").empty());
    EXPECT_EQ(frame.Float("power"), 0.0f);
    EXPECT_TRUE(frame.Floats("vertices").empty());
    EXPECT_EQ(frame.String("filename"), "");
    EXPECT_TRUE(frame.Faces().empty());
    EXPECT_TRUE(frame.Keys().empty());
}

TEST_F(XFileTest, NestedFramesAndQuadFaces)
{
    plat::XFile file;
    ASSERT_TRUE(file.Open(testsupport::RepoPath("tests/data/meshes/NestedFrames.x"))) << file.Error();
    EXPECT_EQ(file.FloatSize(), 64);
    const auto& top = file.Objects();
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0]->Template(), "Header");
    EXPECT_EQ(top[1]->Template(), "Material");
    EXPECT_EQ(top[2]->Name(), "First");
    EXPECT_EQ(top[3]->Name(), "Second");

    const plat::XData& material = *top[1];
    EXPECT_EQ(material.Floats("faceColor"), (std::vector<float>{1.0f, 0.0f, 0.0f, 0.5f}));
    EXPECT_EQ(material.Float("power"), 12.5f);
    EXPECT_EQ(material.Floats("emissiveColor"), (std::vector<float>{0.0f, 0.1f, 0.0f}));

    // First: a transform and a triangle whose material list refers to Red by name.
    ASSERT_EQ(Kids(*top[2]).size(), 2u);
    EXPECT_EQ(Kids(*top[2])[0]->Floats("frameMatrix"), Identity());
    const plat::XData& triangle = *Kids(*top[2])[1];
    EXPECT_EQ(triangle.Floats("vertices")[8], 0.1f);
    const plat::XData& list = *Kids(triangle)[0];
    EXPECT_EQ(list.Template(), "MeshMaterialList");
    EXPECT_EQ(list.DWords("faceIndexes"), (std::vector<uint32_t>{0}));
    ASSERT_EQ(list.Children().size(), 1u);
    EXPECT_TRUE(list.Children()[0].isReference);
    EXPECT_EQ(list.Children()[0].data, &material);

    // Second > Child: frames nest, and faces of four indices keep their count.
    const std::vector<const plat::XData*> second = Kids(*top[3]);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0]->Floats("frameMatrix")[12], 2.0f);
    const plat::XData& child = *second[1];
    EXPECT_EQ(child.Template(), "Frame");
    EXPECT_EQ(child.Name(), "Child");
    const plat::XData& quads = *FindBelow(child, "Mesh");
    EXPECT_EQ(quads.Name(), "Quads");
    ASSERT_EQ(quads.Faces().size(), 2u);
    EXPECT_EQ(Indices(quads.Faces()[0]), (std::vector<uint32_t>{0, 3, 4, 1}));
    EXPECT_EQ(Indices(quads.Faces()[1]), (std::vector<uint32_t>{1, 4, 5, 2}));
    const plat::XData& quadList = *FindBelow(quads, "MeshMaterialList");
    ASSERT_EQ(quadList.Children().size(), 1u);
    EXPECT_EQ(quadList.Children()[0].data, &material) << "the GUID reference resolves ignoring case";
}

TEST_F(XFileTest, SkinnedMesh)
{
    plat::XFile file;
    ASSERT_TRUE(file.Open(testsupport::RepoPath("tests/data/meshes/SkinnedTwoBones.x"))) << file.Error();
    const auto& top = file.Objects();
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0]->Template(), "QuorbNote") << "an object of a template defined in the file";
    EXPECT_EQ(top[1]->DWord("AnimTicksPerSecond"), 4800u);
    const plat::XData& root = *top[2];
    EXPECT_EQ(root.Name(), "Root");
    const std::vector<const plat::XData*> bones = Kids(root);
    ASSERT_EQ(bones.size(), 3u);
    EXPECT_EQ(bones[1]->Name(), "Arm");
    EXPECT_EQ(Kids(*bones[1])[0]->Floats("frameMatrix")[13], 1.0f);
    EXPECT_EQ(bones[2]->Name(), "Skin");

    const plat::XData& mesh = *FindBelow(*bones[2], "Mesh");
    EXPECT_EQ(mesh.DWord("nVertices"), 6u);
    std::vector<std::string> kids;
    for (const plat::XData* kid : Kids(mesh))
        kids.push_back(kid->Template());
    EXPECT_EQ(kids, (std::vector<std::string>{"MeshNormals", "MeshTextureCoords", "MeshMaterialList",
                                              "XSkinMeshHeader", "VertexDuplicationIndices", "SkinWeights",
                                              "SkinWeights", "SkinWeights", "SkinWeights", "SkinWeights"}));

    const plat::XData& normals = *Kids(mesh)[0];
    EXPECT_EQ(normals.Floats("normals"), (std::vector<float>{0, 0, -1}));
    EXPECT_EQ(normals.Faces().size(), 3u);
    const plat::XData& uv = *Kids(mesh)[1];
    EXPECT_EQ(uv.DWord("nTextureCoords"), 6u);
    EXPECT_EQ(uv.Floats("textureCoords")[10], 0.5f);
    const plat::XData& material = *Kids(*Kids(mesh)[2])[0];
    EXPECT_EQ(material.Name(), "Skin");
    EXPECT_EQ(material.Floats("specularColor"), (std::vector<float>{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(Kids(material)[0]->String("filename"), "skin.png");
    EXPECT_EQ(Kids(mesh)[3]->DWord("nMaxSkinWeightsPerFace"), 8u);

    const plat::XData& duplicates = *Kids(mesh)[4];
    EXPECT_EQ(duplicates.DWord("nOriginalVertices"), 5u);
    EXPECT_EQ(duplicates.DWords("indices"), (std::vector<uint32_t>{0, 1, 2, 3, 4, 1}));

    const plat::XData& arm = *Kids(mesh)[6];
    EXPECT_EQ(arm.String("transformNodeName"), "Arm");
    EXPECT_EQ(arm.DWord("nWeights"), 3u);
    EXPECT_EQ(arm.DWords("vertexIndices"), (std::vector<uint32_t>{2, 3, 4}));
    EXPECT_EQ(arm.Floats("weights"), (std::vector<float>{0.4f, 1.0f, 1.0f}));
    std::vector<float> offset = Identity();
    offset[13] = -1.0f;
    EXPECT_EQ(arm.Floats("matrixOffset"), offset);
    // Vertex 2 is named by all five, in file order.
    std::vector<std::string> namingVertex2;
    for (size_t i = 5; i < 10; ++i)
    {
        const plat::XData& weights = *Kids(mesh)[i];
        const auto& indices = weights.DWords("vertexIndices");
        if (std::find(indices.begin(), indices.end(), 2u) != indices.end())
            namingVertex2.push_back(weights.String("transformNodeName"));
    }
    EXPECT_EQ(namingVertex2, (std::vector<std::string>{"Root", "Arm", "Root", "Arm", "Root"}));
}

TEST_F(XFileTest, AnimationSetKeys)
{
    plat::XFile file;
    ASSERT_TRUE(file.Open(testsupport::RepoPath("tests/data/meshes/SkinnedTwoBones.x"))) << file.Error();
    const plat::XData& set = *file.Objects()[3];
    EXPECT_EQ(set.Template(), "AnimationSet");
    EXPECT_EQ(set.Name(), "Wave");
    const std::vector<const plat::XData*> animations = Kids(set);
    ASSERT_EQ(animations.size(), 2u);
    EXPECT_EQ(animations[0]->Name(), "");
    EXPECT_EQ(animations[1]->Name(), "RootTrack");

    // The track's bone is a reference to its Frame.
    const plat::XData& wave = *animations[0];
    ASSERT_EQ(wave.Children().size(), 5u);
    EXPECT_TRUE(wave.Children()[0].isReference);
    EXPECT_EQ(wave.Children()[0].data->Template(), "Frame");
    EXPECT_EQ(wave.Children()[0].data->Name(), "Arm");
    EXPECT_EQ(wave.Children()[4].data->DWord("openclosed"), 1u);

    struct Expected
    {
        uint32_t keyType;
        std::vector<uint32_t> times;
        std::vector<float> middle;
    };
    const Expected expected[] = {
        {0, {0, 2400, 4800}, {0.7071068f, 0.0f, 0.0f, 0.7071068f}},
        {1, {0, 2400, 4800}, {1.5f, 1.5f, 1.5f}},
        {2, {0, 2400, 4800}, {0.0f, 1.5f, 0.0f}},
    };
    for (size_t k = 0; k < 3; ++k)
    {
        SCOPED_TRACE(k);
        const plat::XData& key = *wave.Children()[k + 1].data;
        EXPECT_EQ(key.Template(), "AnimationKey");
        EXPECT_EQ(key.DWord("keyType"), expected[k].keyType);
        EXPECT_EQ(key.DWord("nKeys"), 3u);
        ASSERT_EQ(key.Keys().size(), 3u);
        for (size_t i = 0; i < 3; ++i)
        {
            EXPECT_EQ(key.Keys()[i].time, expected[k].times[i]);
            EXPECT_EQ(key.Keys()[i].values.size(), expected[k].middle.size());
        }
        EXPECT_EQ(key.Keys()[1].values, expected[k].middle);
    }
    EXPECT_EQ(animations[1]->Children()[0].data, file.Objects()[2]) << "RootTrack names the Root frame";
}

// Each key is read with its own value count; a key type the loaders do not use keeps any count.
TEST_F(XFileTest, KeysKeepTheirOwnValueCounts)
{
    plat::XFile file;
    ASSERT_TRUE(OpenText(file, "keys.x",
                         std::string(kHeader) +
                             "AnimationKey { 4; 1; 7;16;1,0,0,0,0,1,0,0,0,0,1,0,5,6,7,1;;; }\n"
                             "AnimationKey { 9; 3; 0;0;;, 1;2;1,2;;, 2;1;3;;; }"))
        << file.Error();
    ASSERT_EQ(Top(file, 0).Keys().size(), 1u);
    EXPECT_EQ(Top(file, 0).Keys()[0].time, 7u);
    EXPECT_EQ(Top(file, 0).Keys()[0].values[12], 5.0f);
    const auto& keys = Top(file, 1).Keys();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_TRUE(keys[0].values.empty());
    EXPECT_EQ(keys[1].values, (std::vector<float>{1, 2}));
    EXPECT_EQ(keys[2].values, (std::vector<float>{3}));
}

TEST_F(XFileTest, TexturedCube)
{
    plat::XFile file;
    ASSERT_TRUE(file.Open(testsupport::RepoPath("tests/data/meshes/Cube.x"))) << file.Error();
    const plat::XData& mesh = *FindBelow(*file.Objects()[0], "Mesh");
    EXPECT_EQ(mesh.DWord("nVertices"), 24u);
    EXPECT_EQ(mesh.Faces().size(), 12u);
    EXPECT_EQ(FindBelow(mesh, "MeshTextureCoords")->Floats("textureCoords").size(), 48u);
    EXPECT_EQ(FindBelow(mesh, "TextureFilename")->String("filename"), "Cube.png");
}

// Files open through the path helper: either separator, names in any case.
TEST_F(XFileTest, OpensThroughThePathHelper)
{
    std::filesystem::create_directories("Data/Meshes");
    Write("Data/Meshes/Box.x", std::string(kHeader) + "Frame Box {}");
    plat::XFile file;
    ASSERT_TRUE(file.Open("data\\MESHES\\box.X")) << file.Error();
    EXPECT_EQ(Top(file, 0).Name(), "Box");

    EXPECT_FALSE(file.Open("data\\meshes\\Missing.x"));
    EXPECT_EQ(file.Error(), "data\\meshes\\Missing.x: cannot open the file");
    EXPECT_EQ(file.ErrorLine(), 0);
    EXPECT_TRUE(file.Objects().empty()) << "a failed open keeps nothing of the file before";

    ASSERT_TRUE(file.Open("Data/Meshes/Box.x"));
    EXPECT_EQ(file.Error(), "") << "a successful open forgets the last error";
}

// A malformed file gives one line naming the file, the line and the reason, keeps no objects
// and never crashes.
TEST_F(XFileTest, MalformedFilesGiveOneLine)
{
    struct Case
    {
        const char* what;
        std::string text;
        int line;
        const char* reason; // the start of the reason
    };
    const std::string h = kHeader;
    const std::string mesh3 = "Mesh M {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n1;\n3;0,1,2;;\n";
    std::string deep = h;
    for (int i = 0; i < 300; ++i)
        deep += "Frame {\n";
    // Each level refers to the one before twice: 2^30 objects when every reference is followed.
    std::string doubling = h + "Frame L0 {}\n";
    for (int i = 1; i <= 30; ++i)
        doubling += "Frame L" + std::to_string(i) + " { {L" + std::to_string(i - 1) + "} {L" +
                    std::to_string(i - 1) + "} }\n";
    // A chain of references, each top-level, that nests 300 levels when followed.
    std::string chain = h + "Frame C0 {}\n";
    for (int i = 1; i <= 300; ++i)
        chain += "Frame C" + std::to_string(i) + " { {C" + std::to_string(i - 1) + "} }\n";

    const Case cases[] = {
        // The file as a whole.
        {"empty", "", 0, "empty file"},
        {"not a .X file", "Frame A {}\n", 1, "not a .X file"},
        {"short header", "xof 0302", 1, "not a .X file"},
        {"unknown format", "xof 0302abcd0032\n", 1, "unknown .X format 'abcd'"},
        {"float size", "xof 0302txt 0016\n", 1, "float size '0016' is neither 0032 nor 0064"},
        // Structure.
        {"truncated inside an object", h + "Frame A {\n" + mesh3, 8,
         "unexpected end of file inside Mesh 'M'"},
        {"unterminated braces", h + "Frame A {\nFrame B {\n}\n", 5,
         "unexpected end of file inside Frame 'A'"},
        {"closing brace outside any object", h + "Frame A {}\n}\n", 3, "unexpected '}' outside any object"},
        {"value outside any object", h + "3;\n", 2, "unexpected '3' outside any object"},
        {"no brace after the name", h + "Frame A B {}\n", 2, "expected '{' after 'Frame' 'A'"},
        {"value after a child", h + "Frame A {\nFrame B {}\n1;\n}", 4,
         "value '1' after a child object in Frame 'A'"},
        {"template inside an object", h + "Frame A {\ntemplate T { }\n}", 3,
         "template definition inside Frame 'A'"},
        {"unterminated template", h + "template T {\n<00000000-0000-0000-0000-000000000000>\n", 4,
         "unexpected end of file inside template 'T'"},
        {"unterminated string", h + "TextureFilename {\n\"a.png;\n}\n", 3, "unterminated string"},
        {"bad GUID", h + "Frame A {\n<1234-5678>\n}", 3, "bad GUID '1234-5678'"},
        {"GUID after values", h + "Header {\n1;0;1;\n<00000000-0000-0000-0000-000000000000>\n}", 4,
         "unexpected GUID in Header"},
        {"control character", h + "Frame A {\n" + std::string(1, '\0') + "\n}", 3,
         "unexpected character 0x00"},
        {"nested too deep", deep, 258, "objects nested deeper than 256"},
        // References.
        {"unknown reference", h + "Frame A {\n{ Nobody }\n}", 3, "reference to unknown object 'Nobody'"},
        {"empty reference", h + "Frame A {\n{ }\n}", 3, "empty reference in Frame 'A'"},
        {"reference to itself", h + "Frame A {\nFrame B {\n{ A }\n}\n}", 4,
         "reference to Frame 'A' loops back into itself"},
        {"references in a loop", h + "Frame A { { B } }\nFrame B {\n{ A }\n}", 4,
         "reference to Frame 'A' loops back into itself"},
        {"references nesting too deep", chain, 258, "objects nested deeper than 256 through references"},
        {"references expanding too far", doubling, 20, "references expand the file past 1000000 objects"},
        // Numbers.
        {"bad number", h + "Frame A {\n1.2.3;\n}", 3, "bad number '1.2.3' in Frame 'A'"},
        {"exponent without digits", h + "Vector {\n1e;0;0;\n}", 3, "bad number '1e'"},
        {"sign alone", h + "Vector {\n-;0;0;\n}", 3, "bad number '-'"},
        {"float past the float range", h + "Vector {\n0;\n1e39;0;\n}", 4, "Vector: bad number '1e39' for y"},
        {"negative count", h + "Mesh {\n-3;\n}", 3, "Mesh: bad whole number '-3' for nVertices"},
        {"fraction as a count", h + "Mesh {\n3.0;\n}", 3, "Mesh: bad whole number '3.0' for nVertices"},
        {"DWORD past 32 bits", h + "AnimTicksPerSecond {\n4294967296;\n}", 3,
         "AnimTicksPerSecond: bad whole number"},
        {"WORD past 16 bits", h + "XSkinMeshHeader {\n4;\n65536;\n2;\n}", 4,
         "XSkinMeshHeader: bad whole number '65536' for nMaxSkinWeightsPerFace"},
        {"string for a number", h + "Header {\n\"1\";0;0;\n}", 3,
         "Header: expected a whole number for major, found a string"},
        {"number for a string", h + "SkinWeights {\n1;\n}", 3,
         "SkinWeights: expected a string for transformNodeName, found '1'"},
        // Counts against the data present.
        {"values run out", h + "Material Red {\n1;0;0;1;;\n5;\n0;0;0;;\n}", 6,
         "Material 'Red': ends before its member emissiveColor is complete"},
        {"vertex count past the data", h + "Mesh M {\n8;\n0;0;0;,1;0;0;;\n}", 3,
         "Mesh 'M': nVertices is 8 but only 6 values are left for vertices"},
        {"huge vertex count", h + "Mesh M {\n4294967295;\n0;0;0;;\n}", 3,
         "Mesh 'M': nVertices is 4294967295 but only 3 values are left"},
        {"face count past the data", h + "Mesh M {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n2000000000;\n3;0,1,2;;\n}", 5,
         "Mesh 'M': nFaces is 2000000000 but only 4 values are left for faces"},
        {"face index count past the data", h + "Mesh M {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n1;\n9;0,1,2;;\n}", 6,
         "Mesh 'M': face 0 has 9 indices but only 3 values are left"},
        {"faces missing", h + "Mesh M {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n}", 5,
         "Mesh 'M': ends before its member nFaces is complete"},
        {"values past the members", h + "AnimTicksPerSecond {\n4800;\n30;\n}", 4,
         "AnimTicksPerSecond: 1 value more than its members take"},
        {"texture coordinates past the data", h + mesh3 + "MeshTextureCoords {\n3;\n0;0;,1;0;\n}\n}", 8,
         "MeshTextureCoords: nTextureCoords is 3 but only 4 values are left"},
        {"weights past the data", h + mesh3 + "SkinWeights {\n\"B\";\n3;\n0,1,2;\n1,1;\n}\n}", 9,
         "SkinWeights: nWeights is 3 but only 2 values are left for weights"},
        {"key count past the data", h + "AnimationKey {\n2;\n5;\n0;3;0,0,0;;;\n}", 4,
         "AnimationKey: nKeys is 5 but only 5 values are left for keys"},
        {"key values past the data", h + "AnimationKey {\n2;\n1;\n0;30;0,0,0;;;\n}", 5,
         "AnimationKey: key 0 has 30 values but only 3 are left"},
        {"rotation key of three values", h + "AnimationKey {\n0;\n2;\n0;4;1,0,0,0;;,\n10;3;0,0,0;;;\n}", 6,
         "AnimationKey: key 1 of a rotation key has 3 values, not 4"},
        {"position key of four values", h + "AnimationKey {\n2;\n1;\n0;4;0,0,0,0;;;\n}", 5,
         "AnimationKey: key 0 of a position key has 4 values, not 3"},
        // Indices against what they index.
        {"face index past the vertices", h + "Mesh M {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n1;\n3;0,1,\n3;;\n}", 7,
         "Mesh 'M': face 0 names index 3 but nVertices is 3"},
        {"face of two indices", h + "Mesh M {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n1;\n2;0,1;;\n}", 6,
         "Mesh 'M': face 0 has 2 indices, fewer than 3"},
        {"normal index past the normals", h + "MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,1;;\n}", 6,
         "MeshNormals: face 0 names index 1 but nNormals is 1"},
        {"material index past the materials", h + "MeshMaterialList {\n2;\n2;\n0,\n2;;\n}", 6,
         "MeshMaterialList: faceIndexes names index 2 but nMaterials is 2"},
        {"material list longer than the faces", h + mesh3 + "MeshMaterialList {\n1;\n2;\n0,0;;\n}\n}", 9,
         "MeshMaterialList: nFaceIndexes is 2 but the Mesh has 1 face"},
        {"skin weight past the vertices",
         h + mesh3 + "SkinWeights {\n\"B\";\n2;\n0,\n3;\n1,1;\n" + "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n}",
         11, "SkinWeights: vertexIndices names vertex 3 but the Mesh has 3 vertices"},
        {"vertex colour past the vertices", h + mesh3 + "MeshVertexColors {\n1;\n7;1;1;1;1;;\n}\n}", 9,
         "MeshVertexColors: vertexColors.index names vertex 7 but the Mesh has 3 vertices"},
        {"duplication index past the vertices", h + "VertexDuplicationIndices {\n3;\n3;\n0,1,\n3;\n}", 6,
         "VertexDuplicationIndices: indices names index 3 but nIndices is 3"},
        {"duplication of a duplicate", h + "VertexDuplicationIndices {\n3;\n2;\n0,0,\n1;\n}", 6,
         "VertexDuplicationIndices: vertex 2 duplicates vertex 1, which is a duplicate itself"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        plat::XFile file;
        EXPECT_FALSE(OpenText(file, "bad.x", c.text));
        EXPECT_TRUE(file.Objects().empty());
        EXPECT_EQ(file.ErrorLine(), c.line);
        const std::string prefix = c.line > 0 ? "bad.x:" + std::to_string(c.line) + ": " : "bad.x: ";
        EXPECT_EQ(file.Error(), prefix + file.ErrorReason());
        EXPECT_EQ(file.ErrorReason().rfind(c.reason, 0), 0u) << file.ErrorReason();
        EXPECT_EQ(file.Error().find('\n'), std::string::npos);
    }
}

// The malformed files kept for the mesh loader's tests fail here first.
TEST_F(XFileTest, MalformedDataFiles)
{
    struct Case
    {
        const char* file;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"Truncated.x", 7, "unexpected end of file inside Mesh 'BoxMesh' opened on line 3"},
        {"BadIndex.x", 11, "Mesh 'BoxMesh': face 1 names index 3 but nVertices is 3"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        const std::string path = testsupport::RepoPath(std::string("tests/data/meshes/") + c.file);
        plat::XFile file;
        EXPECT_FALSE(file.Open(path));
        EXPECT_EQ(file.Error().rfind(path + ":" + std::to_string(c.line) + ": " + c.reason, 0), 0u)
            << file.Error();
    }
}
