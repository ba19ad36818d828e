// The model component: its XML and material record, the unit it builds on initialisation (the
// owner's bounds and model name, textures, its own animation), what it refuses, and the
// highlights that swap and restore its effect and technique.
#include "engine/gfx/mesh/GfxModelComp.h"

#include "LogCapture.h"
#include "ModelTestWorld.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/MaterialXml.h"
#include "engine/gfx/mesh/CAnimationController.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using dorvo::gfx::CGfxUnit;
using dorvo::gfx::GfxModelComp;
using dorvo::gfx::SMaterial;

namespace
{
std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.Str();
}

std::string Saved(GfxModelComp& model)
{
    TiXmlElement parent("Parent");
    EXPECT_TRUE(model.Serialize(&parent));
    return Print(*parent.FirstChildElement());
}

class ModelCompTest : public gfxtest::ModelWorld
{
};
} // namespace

// Every field in the format's order, a material by position, and what a read of that writes
// back unchanged.
TEST(GfxModelCompXml, SavesEveryFieldInOrderAndReadsThemBack)
{
    GfxModelComp model;
    model.SetXFile("Arm.x");
    model.SetFXFile("Glow.fx");
    model.SetTechnique("Glow");
    model.SetTextures({{0, "a.png"}, {3, "b.png"}});
    model.SetShadowCaster(true);
    model.SetVisible(false);
    model.SetAlwaysVisible(true);
    model.SetTileFactor(2.5f);
    model.SetBuildBSPTree(true);
    model.SetTransparent(true);
    SMaterial material;
    material.ambient = plat::D3DXCOLOR(0.2f, 0.4f, 0.6f, 1.0f);
    material.specularPower = 16.0f;
    model.SetMaterial(material);
    model.SetWireframe(true); // not saved
    model.SetSavedFXFile("Kept.fx");

    const std::string saved = Saved(model);
    const char* const order[] = {"\"XFile\">Arm.x",
                                 "\"FXFile\">Glow.fx",
                                 "\"Technique\">Glow",
                                 "\"Textures\" size=\"2\"",
                                 "\"ShadowCaster\">true",
                                 "\"IsVisible\">false",
                                 "\"AlwaysVisible\">true",
                                 "\"TileFactor\">2.5",
                                 "\"BuildBSPTree\">true",
                                 "\"IsTransparent\">true",
                                 "<Material name=\"Material\"><Color name=\"Ambient\">",
                                 "\"SpecularPower\">16"};
    std::size_t at = 0;
    for (const char* part : order)
    {
        SCOPED_TRACE(part);
        const std::size_t found = saved.find(part, at);
        ASSERT_NE(found, std::string::npos) << saved;
        at = found;
    }
    EXPECT_EQ(saved.find("Wireframe"), std::string::npos);
    EXPECT_EQ(saved.find("Kept"), std::string::npos) << "the saved names are not in the XML";

    TiXmlDocument document;
    document.Parse(saved.c_str());
    GfxModelComp read;
    ASSERT_TRUE(read.Deserialize(document.RootElement()));
    EXPECT_EQ(read.GetXFile(), "Arm.x");
    EXPECT_EQ(read.GetTextures(), model.GetTextures());
    EXPECT_FALSE(read.IsVisible());
    EXPECT_TRUE(read.IsAlwaysVisible());
    EXPECT_FLOAT_EQ(read.GetTileFactor(), 2.5f);
    EXPECT_TRUE(read.IsTransparent());
    EXPECT_FLOAT_EQ(read.GetMaterial().ambient.g, 0.4f);
    EXPECT_FLOAT_EQ(read.GetMaterial().specularPower, 16.0f);
    EXPECT_FALSE(read.IsWireframe());
    EXPECT_EQ(Saved(read), saved);
}

// A default material reads back white with power 255; its four children are taken by position,
// whatever their names; a missing child leaves its field.
TEST(GfxModelCompXml, MaterialDefaultsAndPositions)
{
    TiXmlElement parent("Parent");
    ASSERT_TRUE(dorvo::gfx::WriteMaterial(&parent, SMaterial(), "Material"));
    SMaterial read;
    read.diffuse = plat::D3DXCOLOR(0, 0, 0, 0);
    read.specularPower = 1.0f;
    ASSERT_TRUE(dorvo::gfx::ReadMaterial(parent.FirstChildElement(), read));
    for (const plat::D3DXCOLOR& color : {read.ambient, read.diffuse, read.specular})
        EXPECT_TRUE(color.r == 1.0f && color.g == 1.0f && color.b == 1.0f && color.a == 1.0f);
    EXPECT_FLOAT_EQ(read.specularPower, 255.0f);

    TiXmlDocument document;
    document.Parse(
        "<Material name=\"M\">"
        "<Color name=\"X\"><float>255</float><float>0</float><float>0</float><float>255</float></Color>"
        "<Color name=\"Y\"><float>0</float><float>255</float><float>0</float><float>255</float></Color>"
        "</Material>");
    SMaterial partial;
    EXPECT_FALSE(dorvo::gfx::ReadMaterial(document.RootElement(), partial)) << "two children missing";
    EXPECT_FLOAT_EQ(partial.ambient.g, 0.0f);
    EXPECT_FLOAT_EQ(partial.diffuse.r, 0.0f);
    EXPECT_FLOAT_EQ(partial.diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(partial.specular.g, 1.0f);
    EXPECT_FLOAT_EQ(partial.specularPower, 255.0f);
}

// The model's unit gives the owner its local bounds (the mesh's, a unit cube here) and its model
// name, and the texture of each pair in its stage; a stage out of range is left out with one
// line naming the object.
TEST_F(ModelCompTest, UnitGivesBoundsModelNameAndTextures)
{
    Gob* box = Make("RedBox");
    CGfxUnit* unit = Unit(box);
    ASSERT_NE(unit, nullptr);
    const POVComp* pov = GetPOVComp(box);
    EXPECT_EQ(pov->GetModelName(), "Box.x");
    EXPECT_NEAR(pov->GetLocalBoundingBox().min.x, -0.5f, 1e-5f);
    EXPECT_NEAR(pov->GetLocalBoundingBox().max.y, 0.5f, 1e-5f);
    EXPECT_NEAR(pov->GetLocalBoundingSphere().radius, std::sqrt(0.75f), 1e-5f);
    ASSERT_NE(unit->GetTexture(0), nullptr);
    EXPECT_EQ(unit->GetTexture(0)->GetFileName(), "hud/WhiteBlock.png");
    EXPECT_NE(unit->GetRenderRecord()->textures[0], nullptr);
    EXPECT_EQ(unit->GetTexture(1), nullptr);

    GfxModelComp* model = Model(Make("WoodBox"));
    model->SetTextures({{2, "props/box_diffuse.png"},
                        {6, "props/box_diffuse.png"},
                        {-1, "x.png"},
                        {5, "hud/WhiteBlock.png"}});
    model->GetOwner()->SetName("Crate");
    testsupport::LogCapture logged;
    model->Initialize(model->GetOwner());
    const std::string said = logged.Text();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("\"Crate\""), std::string::npos) << said;
    EXPECT_NE(said.find("stage 6"), std::string::npos) << said;
    ASSERT_NE(model->GetUnit(), nullptr);
    EXPECT_EQ(model->GetUnit()->GetTexture(0), nullptr);
    EXPECT_EQ(model->GetUnit()->GetTexture(2)->GetFileName(), "props/box_diffuse.png");
    EXPECT_EQ(model->GetUnit()->GetTexture(5)->GetFileName(), "hud/WhiteBlock.png");
}

// No unit without a mesh file (Initialize still succeeds) or without a position component (one
// line naming the template); a mesh that is missing draws "Invalid.x", said once.
TEST_F(ModelCompTest, RefusalsAndTheMissingMesh)
{
    GfxModelComp empty;
    EXPECT_TRUE(empty.Initialize(Make("RedBox")));
    EXPECT_EQ(empty.GetUnit(), nullptr);

    testsupport::LogCapture logged;
    GfxModelComp orphan;
    orphan.SetXFile("Box.x");
    EXPECT_TRUE(orphan.Initialize(nullptr));
    std::string said = logged.Text();
    EXPECT_EQ(orphan.GetUnit(), nullptr);
    EXPECT_NE(said.find("no POVComp"), std::string::npos) << said;

    logged.Clear();
    Gob* first = Make("Missing");
    Gob* second = Make("Missing");
    said = logged.Text();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("NoSuchMesh.x"), std::string::npos) << said;
    for (Gob* gob : {first, second})
    {
        ASSERT_NE(Unit(gob), nullptr);
        EXPECT_EQ(Unit(gob)->GetTriangleCount(), 12u) << "the stand-in cube";
        EXPECT_EQ(GetPOVComp(gob)->GetModelName(), "NoSuchMesh.x");
    }
}

// Two objects of one animated mesh share the loaded mesh; each plays its own controller into its
// own vertices, and the component's update advances it.
TEST_F(ModelCompTest, ObjectsOfOneMeshPlayTheirOwnControllers)
{
    Gob* left = Make("Arm");
    Gob* right = Make("Arm");
    EXPECT_EQ(dorvo::gfx::CMeshManager::Instance().GetMeshCount(), 1u);
    CGfxUnit* a = Unit(left);
    CGfxUnit* b = Unit(right);
    ASSERT_TRUE(a && b && a->GetAnimationController() && b->GetAnimationController());
    EXPECT_NE(a->GetAnimationController(), b->GetAnimationController());
    EXPECT_EQ(a->GetMeshBuffers(), b->GetMeshBuffers());
    EXPECT_NE(&a->GetOwnBuffers(), &b->GetOwnBuffers());
    EXPECT_EQ(a->GetAnimationController()->GetOutput().vertices, &a->GetOwnBuffers());

    ASSERT_TRUE(a->GetAnimationController()->SetAnimation("Bend"));
    for (int frame = 0; frame < 8; ++frame)
    {
        Model(left)->Update(1.0f / 30.0f);
        Model(right)->Update(1.0f / 30.0f);
    }
    EXPECT_NE(std::memcmp(a->GetOwnBuffers().vertices.data(), b->GetOwnBuffers().vertices.data(),
                          b->GetOwnBuffers().vertices.size() * sizeof(dorvo::gfx::SUnitVertex)),
              0)
        << "only the left arm bends";
}

// The pick highlight and the gravity switch's glow save the current names and swap in their
// own; restoring brings back a non-empty saved name and keeps the saved names. The objective's
// glow keeps IsTransparent the same way.
TEST_F(ModelCompTest, HighlightsSwapAndRestoreTheEffect)
{
    GfxModelComp* model = Model(Make("RedBox"));
    CGfxUnit* unit = model->GetUnit();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(model->GetSavedFXFile(), "");
    EXPECT_EQ(model->GetSavedTechnique(), "");
    EXPECT_FALSE(model->GetSavedIsTransparent());

    // Nothing saved yet: restoring keeps the names.
    model->RestoreSavedEffect();
    model->RestoreSavedTechnique();
    EXPECT_EQ(unit->GetFXFile(), "TextureMapping.fx");

    struct Highlight
    {
        const char* fx;
        const char* technique;
    };
    for (const Highlight& highlight :
         {Highlight{"PickedEffect.fx", "PickedEffect"}, Highlight{"Glow.fx", "Glow"}})
    {
        SCOPED_TRACE(highlight.fx);
        model->SetSavedFXFile(model->GetFXFile());
        model->SetFXFile(highlight.fx);
        model->SetSavedTechnique(model->GetTechnique());
        model->SetTechnique(highlight.technique);
        unit->PrepareMatrices();
        EXPECT_EQ(*unit->GetRenderRecord()->fxFile, highlight.fx);
        EXPECT_EQ(*unit->GetRenderRecord()->technique, highlight.technique);

        model->RestoreSavedEffect();
        model->RestoreSavedTechnique();
        EXPECT_EQ(unit->GetFXFile(), "TextureMapping.fx");
        EXPECT_EQ(unit->GetTechnique(), "TextureMapping");
        EXPECT_EQ(model->GetSavedFXFile(), "TextureMapping.fx") << "the saved names stay";
        EXPECT_EQ(model->GetSavedTechnique(), "TextureMapping");
    }

    model->SetSavedIsTransparent(model->IsTransparent());
    unit->SetTransparent(true);
    EXPECT_TRUE(model->IsTransparent());
    model->SetTransparent(model->GetSavedIsTransparent());
    EXPECT_FALSE(unit->IsTransparent());
}
