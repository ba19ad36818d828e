// The light and colour elements the room and skin files store, and the two small managers that
// hold the scene light and the atmosphere.
#include "engine/gfx/core/LightXml.h"

#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/core/ColorXml.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

using namespace dorvo::gfx;

namespace
{
// The element's children as (element name, "name" attribute, text).
std::vector<std::string> Children(const TiXmlElement* element)
{
    std::vector<std::string> out;
    for (const TiXmlElement* c = element->FirstChildElement(); c; c = c->NextSiblingElement())
    {
        const char* name = c->Attribute("name");
        const char* text = c->GetText();
        out.push_back(std::string(c->Value()) + " " + (name ? name : "") +
                      (text ? std::string(" ") + text : ""));
    }
    return out;
}

plat::D3DLIGHT9 SampleLight()
{
    plat::D3DLIGHT9 light;
    light.Type = plat::D3DLIGHT_SPOT;
    light.Diffuse = {0.25f, 0.5f, 0.75f, 1.0f};
    light.Specular = {1.0f, 0.0f, 0.5f, 0.5f};
    light.Ambient = {0.125f, 0.25f, 0.375f, 1.0f};
    light.Position = {1.5f, -2.0f, 30.0f};
    light.Direction = {0.0f, -0.6f, 0.8f};
    light.Range = 120.0f;
    light.Falloff = 1.25f;
    light.Attenuation0 = 0.5f;
    light.Attenuation1 = 0.0625f;
    light.Attenuation2 = 0.001f;
    light.Theta = 0.3f;
    light.Phi = 0.9f;
    return light;
}
} // namespace

TEST(ColorXml, AColourIsWrittenTimes255AndReadBackUnchanged)
{
    TiXmlElement parent("Skin");
    ASSERT_TRUE(WriteColor(&parent, plat::D3DXCOLOR(0.5f, 1.0f, 0.0f, 1.0f), "SpriteColor"));
    const TiXmlElement* color = parent.FirstChildElement();
    ASSERT_NE(color, nullptr);
    EXPECT_STREQ(color->Value(), "Color");
    EXPECT_STREQ(color->Attribute("name"), "SpriteColor");
    EXPECT_EQ(Children(color),
              (std::vector<std::string>{"float r 127.5", "float g 255", "float b 0", "float a 255"}));

    plat::D3DXCOLOR read(9, 9, 9, 9);
    ASSERT_TRUE(ReadColor(color, read));
    EXPECT_FLOAT_EQ(read.r, 0.5f);
    EXPECT_FLOAT_EQ(read.g, 1.0f);
    EXPECT_FLOAT_EQ(read.b, 0.0f);
    EXPECT_FLOAT_EQ(read.a, 1.0f);
}

TEST(ColorXml, ReadersRefuseWhatIsNotAWholeColour)
{
    TiXmlElement parent("P");
    TiXmlText text("words");
    EXPECT_FALSE(WriteColor(nullptr, plat::D3DCOLORVALUE(), "c"));
    EXPECT_FALSE(WriteColor(&text, plat::D3DCOLORVALUE(), "c"));

    TiXmlDocument document;
    document.Parse("<Color name='c'><float name='r'>51</float><float name='g'>102</float>"
                   "<float name='b'>x</float><float name='a'>255</float></Color>");
    plat::D3DCOLORVALUE color{0.1f, 0.2f, 0.3f, 0.4f};
    struct Case
    {
        const char* name;
        const TiXmlNode* node;
    };
    TiXmlElement empty("Color");
    // Channels beyond the float bound would overflow the lighting: 1e38, an infinity, no number.
    TiXmlDocument huge;
    huge.Parse("<Color name='c'><float name='r'>1e38</float><float name='g'>0</float>"
               "<float name='b'>0</float><float name='a'>255</float></Color>");
    TiXmlDocument infinite;
    infinite.Parse("<Color name='c'><float name='r'>0</float><float name='g'>inf</float>"
                   "<float name='b'>0</float><float name='a'>255</float></Color>");
    TiXmlDocument notANumber;
    notANumber.Parse("<Color name='c'><float name='r'>0</float><float name='g'>0</float>"
                     "<float name='b'>nan</float><float name='a'>255</float></Color>");
    const Case cases[] = {{"no node", nullptr},
                          {"a text node", &text},
                          {"a channel not a number", document.RootElement()},
                          {"no channels", &empty},
                          {"a channel of 1e38", huge.RootElement()},
                          {"an infinite channel", infinite.RootElement()},
                          {"a channel nan", notANumber.RootElement()}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ReadColor(c.node, color));
        EXPECT_FLOAT_EQ(color.r, 0.1f) << "unchanged";
        EXPECT_FLOAT_EQ(color.b, 0.3f);
    }
}

TEST(LightXml, ALightKeepsItsThirteenFieldsInTheirOrder)
{
    TiXmlElement room("Room");
    ASSERT_TRUE(WriteLight(&room, SampleLight(), "RoomLight"));
    const TiXmlElement* element = room.FirstChildElement("Light");
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "RoomLight");
    EXPECT_EQ(
        Children(element),
        (std::vector<std::string>{"enum Type 2", "Color Diffuse", "Color Specular", "Color Ambient",
                                  "Vector Position", "Vector Direction", "float Range 120",
                                  "float Falloff 1.25", "float Attenuation0 0.5", "float Attenuation1 0.0625",
                                  "float Attenuation2 0.001", "float Theta 0.3", "float Phi 0.9"}));

    plat::D3DLIGHT9 read;
    ASSERT_TRUE(ReadLight(element, read));
    const plat::D3DLIGHT9 expected = SampleLight();
    EXPECT_EQ(read.Type, expected.Type);
    const float got[] = {
        read.Diffuse.r,    read.Diffuse.g,    read.Diffuse.b,    read.Diffuse.a,  read.Specular.r,
        read.Specular.g,   read.Specular.b,   read.Specular.a,   read.Ambient.r,  read.Ambient.g,
        read.Ambient.b,    read.Ambient.a,    read.Position.x,   read.Position.y, read.Position.z,
        read.Direction.x,  read.Direction.y,  read.Direction.z,  read.Range,      read.Falloff,
        read.Attenuation0, read.Attenuation1, read.Attenuation2, read.Theta,      read.Phi};
    const float want[] = {
        expected.Diffuse.r,    expected.Diffuse.g,    expected.Diffuse.b,    expected.Diffuse.a,
        expected.Specular.r,   expected.Specular.g,   expected.Specular.b,   expected.Specular.a,
        expected.Ambient.r,    expected.Ambient.g,    expected.Ambient.b,    expected.Ambient.a,
        expected.Position.x,   expected.Position.y,   expected.Position.z,   expected.Direction.x,
        expected.Direction.y,  expected.Direction.z,  expected.Range,        expected.Falloff,
        expected.Attenuation0, expected.Attenuation1, expected.Attenuation2, expected.Theta,
        expected.Phi};
    for (std::size_t i = 0; i < sizeof got / sizeof got[0]; ++i)
        EXPECT_FLOAT_EQ(got[i], want[i]) << "value " << i;
}

TEST(LightXml, AnIncompleteOrUnknownLightIsRefusedAndLeavesTheLightAlone)
{
    TiXmlElement room("Room");
    WriteLight(&room, SampleLight(), "L");
    TiXmlElement* whole = room.FirstChildElement();

    TiXmlElement cut(*whole);
    cut.RemoveChild(cut.LastChild()); // no "Phi"
    TiXmlElement badType(*whole);
    badType.FirstChildElement()->FirstChild()->SetValue("7");
    TiXmlElement noColour(*whole);
    noColour.RemoveChild(noColour.FirstChildElement("Color"));
    // A range of 1e38 (or a position of nan) would overflow the lighting.
    TiXmlElement hugeRange(*whole);
    hugeRange.FirstChildElement("float")->FirstChild()->SetValue("1e38");
    TiXmlElement nanPosition(*whole);
    nanPosition.FirstChildElement("Vector")->FirstChildElement()->FirstChild()->SetValue("nan");

    plat::D3DLIGHT9 light;
    light.Range = 42.0f;
    struct Case
    {
        const char* name;
        const TiXmlNode* node;
    };
    const Case cases[] = {{"no node", nullptr},
                          {"without its last field", &cut},
                          {"type 7", &badType},
                          {"a colour missing", &noColour},
                          {"a range of 1e38", &hugeRange},
                          {"a position of nan", &nanPosition}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ReadLight(c.node, light));
        EXPECT_FLOAT_EQ(light.Range, 42.0f);
        EXPECT_EQ(light.Type, plat::D3DLIGHT_POINT);
    }
    EXPECT_FALSE(WriteLight(nullptr, light, "L"));
}

TEST(CLightsManager, HoldsNoLightUntilSetAndRunsItsUpdatersEachFrame)
{
    struct Flicker : ILightUpdater
    {
        explicit Flicker(bool* gone) : gone(gone) {}
        ~Flicker() override { *gone = true; }
        void Update(plat::D3DLIGHT9& light, double time, float dt) override
        {
            light.Range = static_cast<float>(time) + dt;
        }
        bool* gone;
    };
    CLightsManager lights;
    EXPECT_EQ(static_cast<int>(lights.GetLight().Type), 0);
    bool gone = false;
    lights.AddUpdater(std::make_unique<Flicker>(&gone));
    lights.Update(2.0, 0.5f);
    EXPECT_FLOAT_EQ(lights.GetLight().Range, 2.5f);
    lights.ClearUpdaters();
    EXPECT_TRUE(gone);
    EXPECT_EQ(lights.GetUpdaterCount(), 0u);
}

TEST(CAtmosphereManager, StartsWithTheSkyDefaultsAndHoldsItsEnvironmentMap)
{
    CAtmosphereManager atmosphere;
    EXPECT_FLOAT_EQ(atmosphere.GetFogStart(), 0.0f);
    EXPECT_FLOAT_EQ(atmosphere.GetFogEnd(), 0.0f);
    EXPECT_FLOAT_EQ(atmosphere.GetFogDensity(), 0.0f);
    EXPECT_EQ(atmosphere.GetFogColor(), (CAtmosphereManager::Color{0, 0, 0, 0}));
    EXPECT_EQ(atmosphere.GetEnvironmentMap(), nullptr);
    EXPECT_FLOAT_EQ(atmosphere.GetCloudDensity(), 0.29f);
    EXPECT_FLOAT_EQ(atmosphere.GetHorizonFadeFactor(), 0.08f);
    EXPECT_EQ(atmosphere.GetSunVector(), (CAtmosphereManager::Color{0, 1, 0, 1}));
    EXPECT_EQ(atmosphere.GetSunColor(), (CAtmosphereManager::Color{1, 1, 1, 1}));
    EXPECT_EQ(atmosphere.GetSkyColor(), (CAtmosphereManager::Color{0, 0.5f, 1, 1}));

    plat::headless::Reset();
    plat::DXUTInit(false, false, false, true);
    ASSERT_TRUE(plat::SUCCEEDED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, 64, 64)));
    plat::IDirect3DTexture9* map = nullptr;
    plat::DXUTGetD3D9Device()->CreateTexture(4, 4, 1, 0, plat::D3DFMT_A8R8G8B8, plat::D3DPOOL_MANAGED, &map,
                                             nullptr);
    ASSERT_NE(map, nullptr);
    {
        CAtmosphereManager holder;
        holder.SetEnvironmentMap(map);
        EXPECT_EQ(map->Release(), 1u) << "the manager holds its own reference";
    }
    bool released = false;
    for (const plat::devicedebug::ResourceInfo& info : plat::headless::Resources())
        if (info.kind == plat::devicedebug::ResourceKind::Texture && !info.implicit)
            released = !info.live;
    EXPECT_TRUE(released) << "the manager let go of the map when it went";
    plat::headless::Reset();
}
