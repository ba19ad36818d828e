// Widget data on the game's own widgets and star objects: the saved form of every record class,
// create-puzzle mode, and what a record pushes into its object (frictions, density and its
// texture, the linked field's look and scale, the accelerator's texture scroll); the linked
// objects' GobIDComp (carrying the field along, killing it with its owner).
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/files/WriteEnum.h"
#include "game/nodes/GobIDComp.h"
#include "game/room/FindComp.h"
#include "game/room/GobDescription.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CBarData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/CQUORBData.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using gametest::GameTestWorld;
using QUORB::FindComp;
using QUORB::IWidgetData;

namespace
{
std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    node.Accept(&printer);
    return printer.Str();
}

std::string Print(const IWidgetData& data)
{
    TiXmlElement parent("Parent");
    EXPECT_TRUE(data.Serialize(&parent));
    return Print(parent);
}

// "value-name" for every value element below `node`, depth first: the saved order.
void Names(const TiXmlElement* node, std::vector<std::string>& out)
{
    for (const TiXmlElement* child = node->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const char* name = child->Attribute("name");
        out.push_back(child->ValueStr() + (name ? std::string(":") + name : std::string()));
        if (child->ValueStr() != "Vector")
            Names(child, out);
    }
}

// Every record class with each field away from its default, and the saved order it must have.
struct RecordCase
{
    const char* typeName;
    std::function<std::unique_ptr<IWidgetData>()> make;
    std::vector<std::string> own; // after the base block
};

void SetBase(IWidgetData& data)
{
    data.SetModifiable(false);
    data.SetMagnetism(1);
    data.SetCollideWithQUORB(false);
    data.SetDensity(1.2f);
}

std::vector<RecordCase> RecordCases()
{
    return {
        {"GravitySwitch",
         []
         {
             auto data = std::make_unique<QUORB::CGravitySwitchData>(nullptr);
             SetBase(*data);
             data->direction = math::Vector3(1.0f, 0.0f, 0.0f);
             return data;
         },
         {"Vector:Direction"}},
        {"Platform",
         []
         {
             auto data = std::make_unique<QUORB::CPlatformData>(nullptr);
             SetBase(*data);
             data->SetStaticFriction(0.9f);
             data->SetKineticFriction(0.85f);
             return data;
         },
         {"float:StaticFriction", "float:KineticFriction"}},
        {"Bar",
         []
         {
             auto data = std::make_unique<QUORB::CBarData>(nullptr);
             SetBase(*data);
             return data;
         },
         {}},
        {"Magnet",
         []
         {
             auto data = std::make_unique<QUORB::CMagnetData>(nullptr);
             SetBase(*data);
             data->strength = 2.0f;
             return data;
         },
         {"float:Strength"}},
        {"Accelerator",
         []
         {
             auto data = std::make_unique<QUORB::CAcceleratorData>(nullptr);
             SetBase(*data);
             data->direction = math::Vector3(0.0f, 0.0f, -1.0f);
             data->SetSpeedSetting(24.0f);
             return data;
         },
         {"Vector:Direction", "float:SpeedSetting"}},
        {"QUORB",
         []
         {
             auto data = std::make_unique<QUORB::CQUORBData>(nullptr);
             SetBase(*data);
             data->SetStaticFriction(0.1f);
             data->SetKineticFriction(0.05f);
             return data;
         },
         {"float:StaticFriction", "float:KineticFriction"}},
    };
}

dorvo::gfx::GfxModelComp* Model(Gob* gob)
{
    return FindComp<dorvo::gfx::GfxModelComp>(gob);
}

std::string Texture(Gob* gob)
{
    dorvo::gfx::GfxModelComp* model = Model(gob);
    dorvo::gfx::CGfxUnit* unit = model ? model->GetUnit() : nullptr;
    dorvo::gfx::CTextureHandle* texture = unit ? unit->GetTexture(0) : nullptr;
    return texture ? texture->GetFileName() : std::string("(none)");
}

float ScrollU(Gob* gob)
{
    return Model(gob)->GetUnit()->GetRenderRecord()->uvAnimation[0];
}

IWidgetData* Data(Gob* gob)
{
    QUORB::WidgetDataComp* component = QUORB::WidgetDataComp::Of(gob);
    return component ? component->GetData() : nullptr;
}

// A widget and a field object linked the way widget creation links them.
Gob* Linked(const std::string& widget, const std::string& field)
{
    Gob* owner = GobManager::Instance().CreateGob(widget);
    Gob* linked = GobManager::Instance().CreateGob(field);
    if (owner == nullptr || linked == nullptr)
        return nullptr;
    FindComp<QUORB::GobIDComp>(owner)->SetLinkedID(linked->GetID());
    FindComp<QUORB::GobIDComp>(linked)->SetLinkedID(owner->GetID());
    return owner;
}

class WidgetDataWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
    }
    GameTestWorld world;
};
} // namespace

TEST(WidgetData, EveryClassSavesItsFieldsInOrderAndReadsThemBack)
{
    for (const RecordCase& c : RecordCases())
    {
        SCOPED_TRACE(c.typeName);
        std::unique_ptr<IWidgetData> data = c.make();
        EXPECT_EQ(data->GetTypeName(), c.typeName);
        TiXmlElement parent("Parent");
        ASSERT_TRUE(data->Serialize(&parent));
        const TiXmlElement* element = parent.FirstChildElement();
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->ValueStr(), c.typeName);
        EXPECT_EQ(element->NextSiblingElement(), nullptr);
        std::vector<std::string> names;
        Names(element, names);
        std::vector<std::string> expected = {"WidgetDataBase", "bool:IsModifiable", "enum:Magnetism",
                                             "bool:CollideWithQUORB", "float:Density"};
        expected.insert(expected.end(), c.own.begin(), c.own.end());
        EXPECT_EQ(names, expected);

        // A fresh record of the class reads every field back; names are not looked at.
        TiXmlElement renamed(*element);
        renamed.SetValue("Renamed");
        for (TiXmlElement* child = renamed.FirstChildElement(); child; child = child->NextSiblingElement())
            child->SetAttribute("name", "x");
        std::unique_ptr<IWidgetData> read = IWidgetData::CreateByTypeName(c.typeName, nullptr);
        ASSERT_NE(read, nullptr);
        ASSERT_TRUE(read->Deserialize(&renamed));
        EXPECT_EQ(Print(*read), Print(*data));
        EXPECT_FALSE(read->IsModifiable());
        EXPECT_EQ(read->GetMagnetism(), 1);

        // A clone copies every field and the owner.
        std::unique_ptr<IWidgetData> clone(data->Clone());
        EXPECT_EQ(Print(*clone), Print(*data));
        EXPECT_EQ(clone->GetTypeName(), c.typeName);
        EXPECT_EQ(clone->GetOwner(), data->GetOwner());

        EXPECT_FALSE(data->Serialize(nullptr));
        EXPECT_FALSE(read->Deserialize(nullptr));
    }
    EXPECT_EQ(IWidgetData::CreateByTypeName("Teleporter", nullptr), nullptr);
    EXPECT_EQ(IWidgetData::CreateByTypeName("platform", nullptr), nullptr) << "names match exactly";
}

TEST(WidgetData, ReadingKeepsWhatIsMissingAndRefusesNumbersThatAreNotFinite)
{
    // A platform element cut short after the density, with a corrupt static friction.
    const char* text = "<Platform><WidgetDataBase><bool>false</bool><enum>2</enum></WidgetDataBase>"
                       "<float>nan</float></Platform>";
    TiXmlDocument document;
    document.Parse(text);
    QUORB::CPlatformData platform(nullptr);
    platform.SetStaticFriction(0.9f);
    testsupport::LogCapture logged;
    EXPECT_TRUE(platform.Deserialize(document.RootElement()));
    const std::string lines = logged.Text();
    EXPECT_FALSE(platform.IsModifiable());
    EXPECT_EQ(platform.GetMagnetism(), 2);
    EXPECT_TRUE(platform.GetCollideWithQUORB());
    EXPECT_FLOAT_EQ(platform.GetDensity(), 1.0f);
    EXPECT_FLOAT_EQ(platform.GetStaticFriction(), 0.9f) << "a NaN friction is refused";
    EXPECT_FLOAT_EQ(platform.GetKineticFriction(), 0.45f);
    EXPECT_NE(lines.find("StaticFriction"), std::string::npos) << lines;

    // The accelerator's direction sign is never saved: a clone keeps it, a read record has 1.
    QUORB::CAcceleratorData accelerator(nullptr);
    accelerator.ReverseDirection();
    std::unique_ptr<QUORB::CAcceleratorData> clone(accelerator.Clone());
    EXPECT_EQ(clone->GetDirectionSign(), -1.0f);
    TiXmlElement parent("Parent");
    accelerator.Serialize(&parent);
    QUORB::CAcceleratorData read(nullptr);
    read.Deserialize(parent.FirstChildElement());
    EXPECT_EQ(read.GetDirectionSign(), 1.0f);

    TiXmlElement enumParent("Parent");
    EXPECT_TRUE(QUORB::WriteEnum(&enumParent, -3, "Magnetism"));
    EXPECT_EQ(Print(enumParent), "<Parent>\n    <enum name=\"Magnetism\">-3</enum>\n</Parent>\n");
    EXPECT_FALSE(QUORB::WriteEnum(nullptr, 1, "Magnetism"));
    TiXmlText notAnElement("text");
    EXPECT_FALSE(QUORB::WriteEnum(&notAnElement, 1, "Magnetism"));
}

TEST(WidgetData, TheComponentSavesTheKindAndTheRecordAndMakesTheRecordTheKindNames)
{
    QUORB::WidgetDataComp component;
    TiXmlElement empty("Parent");
    ASSERT_TRUE(component.Serialize(&empty));
    EXPECT_EQ(Print(empty), "<Parent>\n    <Component name=\"WidgetDataComp\" />\n</Parent>\n");

    auto magnet = std::make_unique<QUORB::CMagnetData>(nullptr);
    magnet->strength = 2.0f;
    component.SetData(std::move(magnet));
    EXPECT_EQ(component.GetData()->GetOwner(), &component);
    EXPECT_NE(component.AsMagnetData(), nullptr);
    EXPECT_EQ(component.AsPlatformData(), nullptr);
    TiXmlElement parent("Parent");
    ASSERT_TRUE(component.Serialize(&parent));
    const TiXmlElement* saved = parent.FirstChildElement();
    ASSERT_NE(saved, nullptr);
    EXPECT_STREQ(saved->Attribute("name"), "WidgetDataComp");
    ASSERT_NE(saved->FirstChildElement(), nullptr);
    EXPECT_EQ(Print(*saved->FirstChildElement()), "<string name=\"Type\">Magnet</string>\n");

    QUORB::WidgetDataComp read;
    ASSERT_TRUE(read.Deserialize(saved));
    ASSERT_NE(read.AsMagnetData(), nullptr);
    EXPECT_EQ(read.GetData()->GetOwner(), &read);
    EXPECT_FLOAT_EQ(read.AsMagnetData()->strength, 2.0f);

    // A kind that names no class leaves the component without a record.
    TiXmlElement unknown(*saved);
    unknown.FirstChildElement()->FirstChild()->SetValue("Teleporter");
    testsupport::LogCapture logged;
    EXPECT_TRUE(read.Deserialize(&unknown));
    const std::string line = logged.Text();
    EXPECT_EQ(read.GetData(), nullptr);
    EXPECT_NE(line.find("widget data type \"Teleporter\""), std::string::npos) << line;
    EXPECT_FALSE(read.Deserialize(nullptr));
    EXPECT_FALSE(read.Serialize(nullptr));
}

TEST_F(WidgetDataWorld, CreatePuzzleModeSavesWidgetsFixedAndReadsThemEditable)
{
    QUORB::CQUORB& game = world.Game();
    QUORB::CPlatformData platform(nullptr);
    ASSERT_TRUE(platform.IsModifiable());
    game.SetCreatePuzzleMode(true);
    TiXmlElement parent("Parent");
    ASSERT_TRUE(platform.Serialize(&parent));
    EXPECT_NE(Print(parent).find("<bool name=\"IsModifiable\">false</bool>"), std::string::npos)
        << Print(parent);
    EXPECT_TRUE(platform.IsModifiable()) << "the record itself is not changed";

    game.SetCreatePuzzleMode(false);
    QUORB::CPlatformData outside(nullptr);
    outside.Deserialize(parent.FirstChildElement());
    EXPECT_FALSE(outside.IsModifiable());

    game.SetCreatePuzzleMode(true);
    QUORB::CPlatformData inside(nullptr);
    inside.Deserialize(parent.FirstChildElement());
    EXPECT_TRUE(inside.IsModifiable());
    game.SetCreatePuzzleMode(false);
}

TEST_F(WidgetDataWorld, MagnetismShowsTheLinkedFieldWithItsTexture)
{
    Gob* platform = Linked("Platform", "ChargeField");
    ASSERT_NE(platform, nullptr);
    Gob* field = FindComp<QUORB::GobIDComp>(platform)->GetLinkedGob();
    ASSERT_NE(Model(field), nullptr);
    ASSERT_FALSE(Model(field)->IsVisible()) << "the field's archetype hides it";

    struct Step
    {
        int magnetism;
        bool visible;
        const char* texture;
    };
    const Step steps[] = {
        {1, true, IWidgetData::kNegativeFieldTexture},
        {3, true, IWidgetData::kNegativeFieldTexture}, // any other value changes nothing
        {0, false, IWidgetData::kNegativeFieldTexture},
        {3, false, IWidgetData::kNegativeFieldTexture},
        {2, true, IWidgetData::kPositiveFieldTexture},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.magnetism);
        Data(platform)->SetMagnetism(step.magnetism);
        EXPECT_EQ(Data(platform)->GetMagnetism(), step.magnetism);
        EXPECT_EQ(Model(field)->IsVisible(), step.visible);
        EXPECT_EQ(Texture(field), step.texture);
    }

    // Without a linked object the value is still kept.
    Gob* alone = GobManager::Instance().CreateGob("Bar");
    ASSERT_NE(alone, nullptr);
    Data(alone)->SetMagnetism(2);
    EXPECT_EQ(Data(alone)->GetMagnetism(), 2);

    // A magnet's field grows across the face with its strength, four units of diameter a unit,
    // and keeps its depth behind the magnet.
    Gob* magnet = Linked("Magnet", "MagneticField");
    ASSERT_NE(magnet, nullptr);
    QUORB::CMagnetData* magnetData = Data(magnet)->AsMagnetData();
    ASSERT_NE(magnetData, nullptr);
    magnetData->strength = 2.0f;
    magnetData->RefreshMagnetism();
    const math::Vector3 scale = GetPOVComp(FindComp<QUORB::GobIDComp>(magnet)->GetLinkedGob())->GetScale();
    EXPECT_EQ(scale, math::Vector3(8.0f, 8.0f, 1.0f));
}

TEST_F(WidgetDataWorld, DensityGivesTheBodyItsMassAndTheModelWoodOrMetal)
{
    Gob* bar = GobManager::Instance().CreateGob("Bar");
    ASSERT_NE(bar, nullptr);
    const std::string original = Texture(bar);
    ASSERT_NE(original, IWidgetData::kWoodTexture);
    auto* body = FindComp<dorvo::phy::PhysicsComp>(bar);
    ASSERT_TRUE(body && body->GetHull());
    body->GetHull()->UpdateFromBody(); // the hull takes its size from the scale
    const float volume = body->GetHull()->GetVolume();
    ASSERT_GT(volume, 0.0f);

    struct Step
    {
        float density;
        const char* texture; // null: the texture before
    };
    const Step steps[] = {{1.0f, nullptr},
                          {0.5f, IWidgetData::kWoodTexture},
                          {1.0f, IWidgetData::kWoodTexture},
                          {1.2f, IWidgetData::kMetalTexture},
                          {0.7f, IWidgetData::kMetalTexture}};
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.density);
        Data(bar)->SetDensity(step.density);
        EXPECT_FLOAT_EQ(Data(bar)->GetDensity(), step.density);
        EXPECT_FLOAT_EQ(body->GetDensity(), step.density);
        EXPECT_NEAR(body->GetMass(), volume * step.density, 1e-4f * volume);
        EXPECT_EQ(Texture(bar), step.texture ? step.texture : original);
    }

    // A gravity switch has no body: the density is kept and the texture follows.
    Gob* gravity = GobManager::Instance().CreateGob("GravitySwitch");
    ASSERT_NE(gravity, nullptr);
    ASSERT_EQ(FindComp<dorvo::phy::PhysicsComp>(gravity), nullptr);
    Data(gravity)->SetDensity(0.5f);
    EXPECT_FLOAT_EQ(Data(gravity)->GetDensity(), 0.5f);
    EXPECT_EQ(Texture(gravity), IWidgetData::kWoodTexture);
}

TEST_F(WidgetDataWorld, FrictionsReachTheCollisionComponent)
{
    Gob* platform = GobManager::Instance().CreateGob("Platform");
    Gob* ball = GobManager::Instance().CreateGob("QUORBBall");
    ASSERT_TRUE(platform && ball);
    auto* platformHull = FindComp<dorvo::phy::CollisionComp>(platform);
    auto* ballHull = FindComp<dorvo::phy::CollisionComp>(ball);
    ASSERT_TRUE(platformHull && ballHull);

    QUORB::CPlatformData* platformData = Data(platform)->AsPlatformData();
    ASSERT_NE(platformData, nullptr);
    platformData->SetStaticFriction(0.1f);
    platformData->SetKineticFriction(0.05f);
    EXPECT_FLOAT_EQ(platformHull->staticFriction, 0.1f);
    EXPECT_FLOAT_EQ(platformHull->kineticFriction, 0.05f);
    platformHull->staticFriction = platformHull->kineticFriction = 1.0f;
    platformData->ApplyToGob();
    EXPECT_FLOAT_EQ(platformHull->staticFriction, 0.1f) << "a platform applies its frictions";
    EXPECT_FLOAT_EQ(platformHull->kineticFriction, 0.05f);

    QUORB::CQUORBData* ballData = Data(ball)->AsQUORBData();
    ASSERT_NE(ballData, nullptr);
    ballData->SetStaticFriction(0.9f);
    ballData->SetKineticFriction(0.85f);
    EXPECT_FLOAT_EQ(ballHull->staticFriction, 0.9f);
    EXPECT_FLOAT_EQ(ballHull->kineticFriction, 0.85f);
    ballHull->staticFriction = ballHull->kineticFriction = 1.0f;
    ballData->ApplyToGob();
    EXPECT_FLOAT_EQ(ballHull->staticFriction, 1.0f)
        << "a star object's frictions go only through the setters";

    // A star object's record made without a description has the platform's frictions.
    QUORB::CQUORBData fresh(nullptr);
    EXPECT_FLOAT_EQ(fresh.GetStaticFriction(), 0.5f);
    EXPECT_FLOAT_EQ(fresh.GetKineticFriction(), 0.45f);
}

TEST_F(WidgetDataWorld, AcceleratorScrollsItsTextureByFaceSpeedAndDirection)
{
    QUORB::CQUORB& game = world.Game();
    Gob* accelerator = GobManager::Instance().CreateGob("Accelerator");
    ASSERT_NE(accelerator, nullptr);
    QUORB::CAcceleratorData* data = Data(accelerator)->AsAcceleratorData();
    ASSERT_NE(data, nullptr);

    // The belt shown is the one whose chevrons point the way the picture moves: a positive u
    // rate moves it towards -u, where the reversed belt's chevrons point.
    const std::string belt = "widgets/accelerator/accelerator_diffuse.png";
    const std::string reversed = "widgets/accelerator/accelerator_reversed_diffuse.png";
    auto beltFor = [&](float u) { return u > 0.0f ? reversed : belt; };
    struct Case
    {
        int face;
        float u; // SpeedSetting 12, sign 1
    };
    for (const Case& c : {Case{0, -2.0f}, Case{1, 2.0f}, Case{2, 2.0f}, Case{3, -2.0f}, Case{-1, 0.0f}})
    {
        SCOPED_TRACE(c.face);
        game.SetFocusedFace(c.face);
        data->SetSpeedSetting(12.0f);
        EXPECT_FLOAT_EQ(ScrollU(accelerator), c.u);
        EXPECT_EQ(Model(accelerator)->GetUnit()->GetRenderRecord()->uvAnimation[1], 0.0f);
        EXPECT_EQ(Texture(accelerator), beltFor(c.u));
        data->ReverseDirection();
        EXPECT_FLOAT_EQ(ScrollU(accelerator), -c.u);
        EXPECT_EQ(Texture(accelerator), beltFor(-c.u));
        data->ReverseDirection();
    }
    game.SetFocusedFace(0);
    data->SetSpeedSetting(24.0f);
    EXPECT_FLOAT_EQ(ScrollU(accelerator), -4.0f);
    data->ApplySpeed(1.0f);
    EXPECT_FLOAT_EQ(ScrollU(accelerator), -1.0f);
    data->ApplyToGob();
    EXPECT_FLOAT_EQ(ScrollU(accelerator), -4.0f);
}

TEST_F(WidgetDataWorld, AGravitySwitchChangesNothingOnItsObject)
{
    Gob* gravity = GobManager::Instance().CreateGob("GravitySwitch");
    ASSERT_NE(gravity, nullptr);
    QUORB::CGravitySwitchData* data = Data(gravity)->AsGravitySwitchData();
    ASSERT_NE(data, nullptr);
    data->SetModifiable(false);
    data->direction = math::Vector3(0.0f, 1.0f, 0.0f);
    // The whole object as it saves itself, minus the record (whose fields were just set).
    auto snapshot = [&]()
    {
        TiXmlElement parent("Parent");
        gravity->Serialize(&parent);
        return Print(parent) + Texture(gravity) + (Model(gravity)->IsVisible() ? "shown" : "hidden");
    };
    const std::string before = snapshot();
    data->ApplyToGob();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(WidgetDataWorld, ADescriptionWithoutDataKeepsTheTemplatesAndOneWithDataReplacesIt)
{
    QUORB::GobDescription plain;
    plain.archetypeName = "Platform";
    Gob* fromPlain = QUORB::GobDescription::CreateGob(plain);
    ASSERT_NE(fromPlain, nullptr);
    ASSERT_NE(Data(fromPlain), nullptr);
    ASSERT_NE(Data(fromPlain)->AsPlatformData(), nullptr) << "the template's record";
    EXPECT_FLOAT_EQ(Data(fromPlain)->AsPlatformData()->GetStaticFriction(), 0.5f);

    QUORB::GobDescription wooden = plain;
    auto platform = std::make_unique<QUORB::CPlatformData>(nullptr);
    platform->SetDensity(0.5f);
    platform->SetStaticFriction(0.1f);
    wooden.widgetData = std::move(platform);
    Gob* fromWooden = QUORB::GobDescription::CreateGob(wooden);
    ASSERT_NE(fromWooden, nullptr);
    IWidgetData* installed = Data(fromWooden);
    ASSERT_NE(installed, nullptr);
    EXPECT_NE(installed, wooden.widgetData.get()) << "a copy is installed";
    EXPECT_EQ(installed->GetOwner(), QUORB::WidgetDataComp::Of(fromWooden));
    EXPECT_EQ(Texture(fromWooden), IWidgetData::kWoodTexture) << "and applied to the object";
    EXPECT_FLOAT_EQ(FindComp<dorvo::phy::CollisionComp>(fromWooden)->staticFriction, 0.1f);

    // Described again, the object's record comes back without an owner.
    QUORB::GobDescription again;
    QUORB::GobDescription::FromGob(fromWooden, again);
    ASSERT_TRUE(again.widgetData);
    EXPECT_EQ(again.widgetData->GetOwner(), nullptr);
    EXPECT_EQ(Print(*again.widgetData), Print(*wooden.widgetData));
}

TEST_F(WidgetDataWorld, TheLinkCarriesTheFieldAlongOnEveryFace)
{
    QUORB::CQUORB& game = world.Game();
    Gob* owner = GobManager::Instance().CreateGob("QUORBBall");
    Gob* field = GobManager::Instance().CreateGob("QUORBChargeField");
    ASSERT_TRUE(owner && field);
    auto* link = FindComp<QUORB::GobIDComp>(owner);
    ASSERT_NE(link, nullptr);
    link->SetLinkedID(field->GetID());
    FindComp<QUORB::GobIDComp>(field)->SetLinkedID(owner->GetID());
    POVComp* ownerPOV = GetPOVComp(owner);
    POVComp* fieldPOV = GetPOVComp(field);

    link->SetSharePosition(true);
    link->SetShareOrientation(false);
    link->SetShareScale(true);
    math::Quaternion turned;
    ownerPOV->SetPosition(math::Vector3(1.0f, 2.0f, 3.0f), true);
    ownerPOV->SetScale(math::Vector3(1.0f, 2.0f, 3.0f), true);
    struct Case
    {
        int face;
        math::Vector3 scale;
    };
    for (const Case& c : {Case{0, {1.0f, 2.0f, 3.0f}}, Case{1, {3.0f, 2.0f, 1.0f}},
                          Case{2, {1.0f, 2.0f, 3.0f}}, Case{3, {3.0f, 2.0f, 1.0f}}})
    {
        SCOPED_TRACE(c.face);
        game.SetFocusedFace(c.face);
        math::Vector3 normal;
        ASSERT_TRUE(game.GetFocusedFaceNormal(normal));
        // The owner turned within the face, as a widget on it is.
        turned.SetFromAxisAngle(normal, 0.5f);
        ownerPOV->SetOrientation(turned, true);
        link->Update(1.0f / 30.0f);
        EXPECT_EQ(fieldPOV->GetPosition(), math::Vector3(1.0f, 2.0f, 3.0f));
        EXPECT_EQ(fieldPOV->GetScale(), c.scale);
        // The field lies in the face: its z axis against the face's normal, its x axis along
        // the owner's long axis.
        const math::Quaternion orientation = fieldPOV->GetOrientation();
        const math::Vector3 along = (c.face == 0 || c.face == 2) ? turned.GetXAxis() : turned.GetZAxis();
        EXPECT_NEAR(DistanceSquared(orientation.GetZAxis(), -normal.GetNormalized()), 0.0f, 1e-6f);
        EXPECT_NEAR(DistanceSquared(orientation.GetXAxis(), along), 0.0f, 1e-6f);
    }

    // Shared orientation copies it; without a focused face a built one keeps what it had.
    link->SetShareOrientation(true);
    link->Update(1.0f / 30.0f);
    EXPECT_NEAR(DistanceSquared(fieldPOV->GetOrientation().GetXAxis(), turned.GetXAxis()), 0.0f, 1e-6f);
    link->SetShareOrientation(false);
    game.SetFocusedFace(-1);
    const math::Quaternion kept = fieldPOV->GetOrientation();
    link->Update(1.0f / 30.0f);
    EXPECT_EQ(fieldPOV->GetOrientation().w, kept.w);
    EXPECT_EQ(fieldPOV->GetOrientation().y, kept.y);

    // A link that is not the owner moves nothing.
    link->SetIsOwner(false);
    ownerPOV->SetPosition(math::Vector3(5.0f, 5.0f, 5.0f), true);
    link->Update(1.0f / 30.0f);
    EXPECT_EQ(fieldPOV->GetPosition(), math::Vector3(1.0f, 2.0f, 3.0f));

    // The saved form holds the four flags and no id.
    TiXmlElement parent("Parent");
    ASSERT_TRUE(link->Serialize(&parent));
    std::vector<std::string> names;
    Names(&parent, names);
    EXPECT_EQ(names, (std::vector<std::string>{"Component:GobIDComp", "bool:IsOwner", "bool:SharePosition",
                                               "bool:ShareOrientation", "bool:ShareScale"}));
    QUORB::GobIDComp read;
    ASSERT_TRUE(read.Deserialize(parent.FirstChildElement()));
    EXPECT_FALSE(read.IsOwner());
    EXPECT_TRUE(read.GetSharePosition());
    EXPECT_FALSE(read.GetShareOrientation());
    EXPECT_TRUE(read.GetShareScale());
    EXPECT_EQ(read.GetLinkedID(), 0u);
    EXPECT_FALSE(read.Deserialize(nullptr));
}

TEST_F(WidgetDataWorld, AnOwningLinkKillsTheLinkedObjectAndAnotherDoesNot)
{
    GobManager& manager = GobManager::Instance();
    for (bool owner : {true, false})
    {
        SCOPED_TRACE(owner);
        Gob* widget = manager.CreateGob("Platform");
        Gob* field = manager.CreateGob("ChargeField");
        ASSERT_TRUE(widget && field);
        const std::uint32_t fieldID = field->GetID();
        FindComp<QUORB::GobIDComp>(widget)->SetLinkedID(fieldID);
        FindComp<QUORB::GobIDComp>(widget)->SetIsOwner(owner);
        manager.KillGob(widget);
        world.Frame(); // deletes the widget
        world.Frame(); // and whatever its destruction killed
        EXPECT_EQ(manager.GetGob(fieldID) != nullptr, !owner);
        if (Gob* survivor = manager.GetGob(fieldID))
            manager.KillGob(survivor);
    }
    // A field whose owner was killed with it does not kill the owner back twice.
    Gob* widget = Linked("Platform", "ChargeField");
    ASSERT_NE(widget, nullptr);
    manager.KillGob(widget);
    manager.KillGob(FindComp<QUORB::GobIDComp>(widget)->GetLinkedGob());
    world.Frames(2);
}
