// The cloth component and its unit on the headless device: vertices from the owner's grid
// points with their texture coordinates and indices, the technique and effect names, the XML,
// owners without a cloth or grid, a template listing the look before the grid, the gather, the
// bounds following the points, the sizes that make no unit and the buffers through device loss.
#include "TerrainClothWorld.h"

#include "LogCapture.h"
#include "engine/gfx/core/SRenderRecord.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

using dorvo::gfx::CGfxCloth;
using dorvo::gfx::GfxClothComp;
using dorvo::gfx::IGfxUnit;
using dorvo::gfx::SUnitVertex;

namespace
{
class GfxClothCompTest : public gfxtest::TerrainClothWorld
{
protected:
    // A "Banner" object whose grid is built again with the spans and its look initialised again.
    Gob* Banner(std::uint32_t w, std::uint32_t h)
    {
        Gob* gob = Make("Banner", math::Vector3(0.0f, 0.0f, 10.0f));
        GridComp* grid = Grid(gob);
        if (!grid)
            return gob;
        grid->SetSpans(w, h);
        grid->SetSpacings(1.0f, 1.0f);
        grid->BuildGrid();
        Cloth(gob)->Initialize(gob);
        return gob;
    }

    static CGfxCloth* Unit(Gob* gob)
    {
        GfxClothComp* cloth = Cloth(gob);
        return cloth ? cloth->GetUnit() : nullptr;
    }

    // A template file in the working folder with the components listed, and one object of it.
    Gob* MadeOf(const std::string& type, const std::vector<std::string>& components)
    {
        std::ofstream file(type + ".xml");
        file << "<File><Template><string name=\"TypeName\">" << type
             << "</string><string name=\"TemplateName\">" << type
             << "</string><list name=\"Components\" size=\"" << components.size() << "\">";
        for (const std::string& c : components)
            file << "<string>" << c << "</string>";
        file << "</list><list name=\"Archetypes\" size=\"0\"></list></Template></File>";
        file.close();
        GobManager::Instance().LoadTemplate(type + ".xml");
        return GobManager::Instance().CreateGob(type);
    }
};
} // namespace

// A 3 x 2 cloth (W = 3 along x, H = 2 along z): vertex i x H + j holds point (i, j), at j x W + i
// of the grid, with u = j / (H - 1) and v = i / (W - 1); two triangles per cell over rows of H.
// A 2 x 2 cloth has four vertices with coordinates 0 and 1 and two triangles.
TEST_F(GfxClothCompTest, VerticesComeFromTheGridPointsWithFixedTextureCoordinates)
{
    Gob* gob = Banner(3, 2);
    CGfxCloth* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    const auto& points = Grid(gob)->GetPoints();
    const auto& v = unit->GetOwnBuffers().vertices;
    ASSERT_EQ(v.size(), 6u);
    struct Row
    {
        unsigned vertex, point;
        float u, v;
    } rows[] = {{0, 0, 0, 0}, {1, 3, 1, 0}, {2, 1, 0, 0.5f}, {3, 4, 1, 0.5f}, {4, 2, 0, 1}, {5, 5, 1, 1}};
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.vertex);
        EXPECT_EQ(v[r.vertex].position[0], points[r.point].x);
        EXPECT_EQ(v[r.vertex].position[2], points[r.point].z);
        EXPECT_EQ(v[r.vertex].uv[0], r.u);
        EXPECT_EQ(v[r.vertex].uv[1], r.v);
        EXPECT_EQ(v[r.vertex].normal[1], 1.0f);
        EXPECT_EQ(v[r.vertex].tangent[0], 1.0f);
        EXPECT_EQ(v[r.vertex].binormal[2], -1.0f);
    }
    EXPECT_EQ(unit->GetOwnBuffers().indices,
              (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3, 2, 3, 4, 4, 3, 5}));
    EXPECT_EQ(unit->GetTriangleCount(), 4u);
    EXPECT_EQ(GetPOVComp(gob)->GetModelName(), "Cloth");

    CGfxCloth* square = Unit(Banner(2, 2));
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->GetOwnBuffers().indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}));
    for (const SUnitVertex& vertex : square->GetOwnBuffers().vertices)
        for (float t : vertex.uv)
            EXPECT_TRUE(t == 0.0f || t == 1.0f) << t;
}

// The technique is "Cloth" and FXFile without a trailing ".fx"; the effect is FXFile with ".fx"
// added when it has no extension.
TEST_F(GfxClothCompTest, TechniqueAndEffectComeFromTheFxFileEitherWay)
{
    const struct
    {
        const char* fxFile;
        const char* technique;
        const char* effect;
    } cases[] = {
        {"Membrane", "ClothMembrane", "Membrane.fx"},
        {"Membrane.fx", "ClothMembrane", "Membrane.fx"},
        {"TextureMapping.FX", "ClothTextureMapping", "TextureMapping.FX"},
        {"fx/Glow", "Clothfx/Glow", "fx/Glow.fx"},
        {"", "Cloth", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.fxFile);
        EXPECT_EQ(GfxClothComp::TechniqueFor(c.fxFile), c.technique);
        EXPECT_EQ(GfxClothComp::EffectFileFor(c.fxFile), c.effect);
    }
    // The unit draws with them, tile factor 1 whatever the component holds.
    Gob* gob = Make("Banner");
    CGfxCloth* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    Cloth(gob)->SetTileFactor(4.0f);
    unit->PrepareMatrices();
    const dorvo::gfx::SRenderRecord& record = *unit->GetRenderRecord();
    EXPECT_EQ(*record.fxFile, "Membrane.fx");
    EXPECT_EQ(*record.technique, "ClothMembrane");
    EXPECT_EQ(record.tileFactor, 1.0f);
    EXPECT_EQ(record.material, &Cloth(gob)->GetMaterial());
    EXPECT_EQ(record.buffers, unit->GetOwnDeviceBuffers());
}

// Nine elements in their order, no technique; read back by position.
TEST_F(GfxClothCompTest, TheXmlHoldsNineElementsWithoutTheTechnique)
{
    GfxClothComp* cloth = Cloth(Make("Banner"));
    ASSERT_NE(cloth, nullptr);
    cloth->SetTileFactor(3.0f);
    cloth->SetTransparent(true);
    cloth->SetWireframe(true); // not saved
    TiXmlElement parent("Parent");
    ASSERT_TRUE(cloth->Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement("Component");
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "GfxClothComp");
    std::vector<std::string> names;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        names.push_back(child->Attribute("name"));
    EXPECT_EQ(names,
              (std::vector<std::string>{"FXFile", "Textures", "ShadowCaster", "IsVisible", "AlwaysVisible",
                                        "TileFactor", "BuildBSPTree", "IsTransparent", "Material"}));

    GfxClothComp back;
    ASSERT_TRUE(back.Deserialize(element));
    EXPECT_EQ(back.GetFXFile(), "Membrane");
    EXPECT_EQ(back.GetTechnique(), "") << "set at attach";
    EXPECT_EQ(back.GetTextures(), cloth->GetTextures());
    EXPECT_EQ(back.GetTileFactor(), 3.0f);
    EXPECT_TRUE(back.IsTransparent());
    EXPECT_FALSE(back.IsWireframe());
    EXPECT_EQ(back.GetMaterial().specularPower, 32.0f);
}

// Without a physics cloth or without a grid there is no unit, said in one line; a template that
// lists the look before the grid gets its unit at the first update, once the grid has points.
TEST_F(GfxClothCompTest, AUnitNeedsAClothAndAGridWithPointsWhateverTheirOrder)
{
    for (const auto& components : {std::vector<std::string>{"POVComp", "GfxClothComp"},
                                   std::vector<std::string>{"POVComp", "ClothComp", "GfxClothComp"},
                                   std::vector<std::string>{"POVComp", "GridComp", "GfxClothComp"}})
    {
        SCOPED_TRACE(components.size());
        testsupport::LogCapture logged;
        Gob* gob = MadeOf("Lacking" + std::to_string(components.size()) + components[1], components);
        const std::string err = logged.Text();
        ASSERT_NE(gob, nullptr);
        EXPECT_EQ(Unit(gob), nullptr);
        EXPECT_NE(err.find("no ClothComp and GridComp"), std::string::npos) << err;
        Cloth(gob)->Update(0.033f);
        EXPECT_EQ(Unit(gob), nullptr);
    }

    Gob* first = Make("BannerDrawnFirst");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Unit(first), nullptr) << "the grid had no points yet";
    Cloth(first)->Update(0.033f);
    ASSERT_NE(Unit(first), nullptr);
    EXPECT_EQ(Unit(first)->GetOwnBuffers().vertices.size(), 48u);
    EXPECT_EQ(Cloth(first)->GetTechnique(), "ClothMembrane");
}

// The gather takes a cloth's unit when the object has no model, beside the models.
TEST_F(GfxClothCompTest, TheGatherTakesClothsWithTheModels)
{
    Gob* box = Make("RedBox", math::Vector3(-2.0f, 0.0f, 10.0f));
    Gob* cloth = Make("Banner", math::Vector3(-4.0f, 0.0f, 6.0f));
    ASSERT_NE(Unit(cloth), nullptr);
    scene.ApplyCamera();
    std::vector<IGfxUnit*> opaque, transparent;
    gfx.GatherVisibleUnits(opaque, transparent);
    EXPECT_EQ(opaque, (std::vector<IGfxUnit*>{ModelWorld::Unit(box), Unit(cloth)}));
    EXPECT_TRUE(transparent.empty());

    Cloth(cloth)->SetTransparent(true);
    opaque.clear();
    gfx.GatherVisibleUnits(opaque, transparent);
    EXPECT_EQ(transparent, (std::vector<IGfxUnit*>{Unit(cloth)}));
}

// An update moves the drawn vertices, the device copy and the owner's bounds to where the grid's
// points are now, as the cloth's integration leaves them.
TEST_F(GfxClothCompTest, AnUpdateCarriesTheMovedPointsIntoTheVerticesAndBounds)
{
    Gob* gob = Make("Banner");
    CGfxCloth* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    const math::AABB before = GetPOVComp(gob)->GetLocalBoundingBox();
    EXPECT_NEAR(before.max.y, 0.01f, 1e-6f) << "a flat cloth's box is widened";

    auto& points = Grid(gob)->GetPoints();
    points[3 * 8 + 2].y = -1.5f; // point (2, 3)
    points[0].x -= 2.0f;         // point (0, 0)
    Cloth(gob)->Update(0.033f);
    const auto& v = unit->GetOwnBuffers().vertices;
    EXPECT_EQ(v[2 * 6 + 3].position[1], -1.5f);
    EXPECT_EQ(v[0].position[0], points[0].x);
    const math::AABB after = GetPOVComp(gob)->GetLocalBoundingBox();
    EXPECT_EQ(after.min.y, -1.5f);
    EXPECT_EQ(after.min.x, points[0].x);
    EXPECT_LT(v[2 * 6 + 2].normal[1] * v[2 * 6 + 2].normal[1], 0.999f) << "the normals were computed again";

    void* data = nullptr;
    const auto* buffers = unit->GetOwnDeviceBuffers();
    ASSERT_TRUE(plat::SUCCEEDED(buffers->vertexBuffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY)));
    EXPECT_EQ(static_cast<const SUnitVertex*>(data)[2 * 6 + 3].position[1], -1.5f);
    buffers->vertexBuffer->Unlock();

    // Loss and reset bring the same vertices back; destroying the cloth takes it off the list.
    ASSERT_EQ(gfx.GetDeviceUnits(), std::vector<dorvo::gfx::CGfxUnit*>{unit});
    gfx.OnLostDevice();
    EXPECT_EQ(buffers->vertexBuffer, nullptr);
    gfx.OnResetDevice();
    ASSERT_NE(buffers->vertexBuffer, nullptr);
    ASSERT_TRUE(plat::SUCCEEDED(buffers->vertexBuffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY)));
    EXPECT_EQ(static_cast<const SUnitVertex*>(data)[2 * 6 + 3].position[1], -1.5f);
    buffers->vertexBuffer->Unlock();
    Destroy(gob);
    EXPECT_TRUE(gfx.GetDeviceUnits().empty());
}

// Cloths of fewer than 2 points along a side or more than 65,536 points make no unit, said once.
TEST_F(GfxClothCompTest, ClothSizesThatMakeNoUnitAreRefusedWithOneLine)
{
    const struct
    {
        std::uint32_t w, h;
        bool unit;
    } cases[] = {{1, 5, false}, {5, 1, false}, {257, 256, false}, {256, 256, true}, {2, 2, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        testsupport::LogCapture logged;
        Gob* gob = Banner(c.w, c.h);
        Cloth(gob)->Update(0.033f);
        const std::string err = logged.Text();
        EXPECT_EQ(Unit(gob) != nullptr, c.unit);
        if (!c.unit)
        {
            EXPECT_NE(err.find("object \"Banner\""), std::string::npos) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        }
        Destroy(gob);
    }
}
