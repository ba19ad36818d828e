// The committed "QUORBSettings.xml", read field by field in the order the game reads it: the
// quality, the three GUI skins through the engine's skin reader, the campaign room list and an
// empty last profile. The skins must work on the menu art (light, nearly grey faces multiplied by
// the skin): each a clear tint of its family, over brighter, pressed darker, disabled grey, the
// sprite colour a near-white of the same hue that still stands out from the unpressed tint (a
// checked check button shows it), and everything light enough for black text.
#include "TestSupport.h"
#include "common/XmlUtil.h"
#include "engine/gfx/gui/GameSkin.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using plat::D3DXCOLOR;

namespace
{
enum Slot
{
    Pressed,
    Unpressed,
    Over,
    Disabled,
    Sprite
};

float Luma(const D3DXCOLOR& c)
{
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}
float Spread(const D3DXCOLOR& c)
{
    return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b});
}
// 0 red, 1 green, 2 blue: the strongest channel.
int Dominant(const D3DXCOLOR& c)
{
    return c.r >= c.g && c.r >= c.b ? 0 : c.g >= c.b ? 1 : 2;
}

struct Skin
{
    std::string name;
    D3DXCOLOR colors[5];
};

struct Settings
{
    std::string quality = "unread";
    std::vector<Skin> skins;
    std::vector<std::string> ourRooms;
    std::vector<std::string> playerRooms;
    std::string lastProfile = "unread";
};

// The file as the game reads it: children by position, each read must succeed.
void ReadSettings(const std::string& path, Settings& out)
{
    TiXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(path.c_str())) << path << ": " << doc.ErrorDesc();
    const TiXmlDeclaration* decl = doc.FirstChild() ? doc.FirstChild()->ToDeclaration() : nullptr;
    ASSERT_NE(decl, nullptr);
    EXPECT_STREQ(decl->Version(), "1.0");
    const TiXmlElement* root = doc.RootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->ValueStr(), "File");
    const TiXmlNode* settings = XmlFirstChildElement(root);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->ValueStr(), "QUORBSettings");

    const TiXmlNode* field = XmlFirstChildElement(settings);
    ASSERT_TRUE(XmlReadString(field, &out.quality));

    field = XmlNextSiblingElement(field);
    int size = -1;
    ASSERT_TRUE(XmlReadListSize(field, &size));
    const TiXmlNode* item = XmlFirstChildElement(field);
    for (int i = 0; i < size; ++i, item = XmlNextSiblingElement(item))
    {
        Skin skin;
        ASSERT_TRUE(XmlReadNameAttribute(item, &skin.name)) << "skin " << i;
        ASSERT_TRUE(dorvo::gfx::ReadGameSkin(item, skin.colors)) << skin.name;
        out.skins.push_back(skin);
    }
    EXPECT_EQ(item, nullptr) << "more skins than the list's size";

    for (std::vector<std::string>* rooms : {&out.ourRooms, &out.playerRooms})
    {
        field = XmlNextSiblingElement(field);
        unsigned count = 0;
        ASSERT_TRUE(XmlReadUint(field, &count));
        for (unsigned i = 0; i < count; ++i)
        {
            field = XmlNextSiblingElement(field);
            std::string room;
            ASSERT_TRUE(XmlReadString(field, &room));
            rooms->push_back(room);
        }
    }
    field = XmlNextSiblingElement(field);
    ASSERT_NE(field, nullptr);
    out.lastProfile.clear();
    ASSERT_TRUE(XmlReadString(field, &out.lastProfile));
    EXPECT_EQ(XmlNextSiblingElement(field), nullptr) << "a field after LastUsedProfile";
}
} // namespace

TEST(GameSettingsFile, ReadsBackInTheGamesOrder)
{
    Settings s;
    ASSERT_NO_FATAL_FAILURE(ReadSettings(testsupport::RepoPath("data/files/xmlfiles/QUORBSettings.xml"), s));
    EXPECT_EQ(s.quality, "Medium");
    std::vector<std::string> names;
    for (const Skin& skin : s.skins)
        names.push_back(skin.name);
    EXPECT_EQ(names, (std::vector<std::string>{"DefaultSkin", "ColdSkin", "VegieSkin"}));
    EXPECT_EQ(s.ourRooms, std::vector<std::string>{"Tutorial.xml"});
    EXPECT_TRUE(s.playerRooms.empty());
    EXPECT_EQ(s.lastProfile, "");
}

TEST(GameSettingsFile, EachSkinTintsTheMenuArtInItsOwnFamily)
{
    Settings s;
    ASSERT_NO_FATAL_FAILURE(ReadSettings(testsupport::RepoPath("data/files/xmlfiles/QUORBSettings.xml"), s));
    ASSERT_EQ(s.skins.size(), 3u);
    struct Family
    {
        const char* skin;
        int dominant; // the channel the tint leans to
    };
    const Family families[] = {{"DefaultSkin", 0}, {"ColdSkin", 2}, {"VegieSkin", 1}};
    for (const Family& family : families)
    {
        const auto found = std::find_if(s.skins.begin(), s.skins.end(),
                                        [&](const Skin& skin) { return skin.name == family.skin; });
        ASSERT_NE(found, s.skins.end()) << family.skin;
        const D3DXCOLOR* c = found->colors;
        SCOPED_TRACE(family.skin);
        for (int slot = Pressed; slot <= Sprite; ++slot)
        {
            SCOPED_TRACE(slot);
            EXPECT_FLOAT_EQ(c[slot].a, 1.0f) << "opaque";
            EXPECT_GE(Luma(c[slot]), 0.6f) << "light enough for black text";
        }
        EXPECT_EQ(Dominant(c[Unpressed]), family.dominant);
        EXPECT_GE(Spread(c[Unpressed]), 0.2f) << "unpressed is a clear tint";
        EXPECT_GT(Luma(c[Over]), Luma(c[Unpressed]) + 0.04f) << "over is brighter";
        EXPECT_LT(Luma(c[Pressed]), Luma(c[Unpressed]) - 0.08f) << "pressed is darker";
        EXPECT_EQ(Dominant(c[Pressed]), family.dominant);
        EXPECT_EQ(Dominant(c[Over]), family.dominant);
        EXPECT_LE(Spread(c[Disabled]), 0.04f) << "disabled is grey";
        EXPECT_LT(Luma(c[Disabled]), Luma(c[Unpressed])) << "disabled looks dimmer than usable";
        EXPECT_GE(std::min({c[Sprite].r, c[Sprite].g, c[Sprite].b}), 0.9f) << "sprite is near-white";
        EXPECT_EQ(Dominant(c[Sprite]), family.dominant) << "sprite keeps the hue";
        const float apart =
            std::max({std::abs(c[Sprite].r - c[Unpressed].r), std::abs(c[Sprite].g - c[Unpressed].g),
                      std::abs(c[Sprite].b - c[Unpressed].b)});
        EXPECT_GE(apart, 0.25f) << "a checked check button stands out from an unpressed one";
    }
    // The three skins look different from one another.
    for (size_t i = 0; i < s.skins.size(); ++i)
        for (size_t j = i + 1; j < s.skins.size(); ++j)
            EXPECT_NE(Dominant(s.skins[i].colors[Unpressed]), Dominant(s.skins[j].colors[Unpressed]));
}
