#include "engine/gfx/gui/GameSkin.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using dorvo::gfx::ReadGameSkin;
using dorvo::gfx::WriteGameSkin;
using plat::D3DXCOLOR;

namespace
{
const D3DXCOLOR kSkin[5] = {
    {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.4f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 0.5f},
    {0.2f, 0.2f, 0.2f, 1.0f}, {1.0f, 1.0f, 1.0f, 0.0f},
};
} // namespace

TEST(GameSkin, WritesFiveNamedColoursInOrderAndReadsThemBack)
{
    TiXmlElement settings("Settings");
    ASSERT_TRUE(WriteGameSkin(&settings, kSkin, "Ocean"));
    const TiXmlElement* skin = settings.FirstChildElement();
    ASSERT_NE(skin, nullptr);
    EXPECT_STREQ(skin->Value(), "GameSkin");
    EXPECT_STREQ(skin->Attribute("name"), "Ocean");
    std::vector<std::string> names;
    for (const TiXmlElement* color = skin->FirstChildElement(); color; color = color->NextSiblingElement())
    {
        EXPECT_STREQ(color->Value(), "Color");
        names.push_back(color->Attribute("name"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"PressedColor", "UnpressedColor", "OverColor", "DisabledColor",
                                               "SpriteColor"}));
    // Channels are stored times 255.
    const TiXmlElement* green =
        skin->FirstChildElement()->NextSiblingElement()->FirstChildElement()->NextSiblingElement();
    ASSERT_NE(green, nullptr);
    EXPECT_STREQ(green->Attribute("name"), "g");
    EXPECT_FLOAT_EQ(static_cast<float>(std::stod(green->GetText())), 0.4f * 255.0f);

    D3DXCOLOR read[5];
    ASSERT_TRUE(ReadGameSkin(skin, read));
    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_NEAR(read[i].r, kSkin[i].r, 1e-6f);
        EXPECT_NEAR(read[i].g, kSkin[i].g, 1e-6f);
        EXPECT_NEAR(read[i].b, kSkin[i].b, 1e-6f);
        EXPECT_NEAR(read[i].a, kSkin[i].a, 1e-6f);
    }
    EXPECT_FALSE(WriteGameSkin(nullptr, kSkin, "x"));
}

TEST(GameSkin, ABrokenSkinLeavesTheColoursAsTheyWere)
{
    const char* const documents[] = {
        // four colours only
        "<GameSkin name=\"a\"><Color name=\"PressedColor\"><float name=\"r\">1</float><float "
        "name=\"g\">1</float>"
        "<float name=\"b\">1</float><float name=\"a\">1</float></Color></GameSkin>",
        // a channel that is not a number
        "<GameSkin name=\"b\"><Color><float>x</float><float>1</float><float>1</float><float>1</float></Color>"
        "</GameSkin>",
        "<GameSkin/>",
    };
    for (const char* text : documents)
    {
        SCOPED_TRACE(text);
        TiXmlDocument doc;
        doc.Parse(text);
        D3DXCOLOR colors[5] = {kSkin[0], kSkin[1], kSkin[2], kSkin[3], kSkin[4]};
        EXPECT_FALSE(ReadGameSkin(doc.RootElement(), colors));
        for (int i = 0; i < 5; ++i)
            EXPECT_FLOAT_EQ(colors[i].g, kSkin[i].g);
    }
    D3DXCOLOR colors[5];
    EXPECT_FALSE(ReadGameSkin(nullptr, colors));
}
