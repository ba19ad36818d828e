// The one pass over a component's saved fields, through the model component: what a short or
// out-of-place element leaves, and the refusal of anything but an element to write into or read.
#include "engine/gfx/core/GfxFields.h"

#include "engine/gfx/mesh/GfxModelComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using dorvo::gfx::GfxModelComp;

// Fields are taken by position, skipping comments; the fields past the last element keep their
// values, the material included.
TEST(GfxFields, AShortComponentFillsTheFieldsItHasAndKeepsTheRest)
{
    GfxModelComp model;
    model.SetTechnique("Kept");
    model.SetTileFactor(2.5f);
    model.SetTransparent(true);
    dorvo::gfx::SMaterial material;
    material.specularPower = 16.0f;
    model.SetMaterial(material);

    TiXmlDocument document;
    document.Parse("<Component name=\"GfxModelComp\"><string name=\"Mesh\">A.x</string><!-- a note -->"
                   "<string name=\"FXFile\">B.fx</string></Component>");
    ASSERT_TRUE(model.Deserialize(document.RootElement()));
    EXPECT_EQ(model.GetXFile(), "A.x") << "by position, not by name";
    EXPECT_EQ(model.GetFXFile(), "B.fx");
    EXPECT_EQ(model.GetTechnique(), "Kept");
    EXPECT_FLOAT_EQ(model.GetTileFactor(), 2.5f);
    EXPECT_TRUE(model.IsTransparent());
    EXPECT_FLOAT_EQ(model.GetMaterial().specularPower, 16.0f);
}

TEST(GfxFields, NothingButAnElementIsWrittenIntoOrReadFrom)
{
    GfxModelComp model;
    model.SetXFile("A.x");
    EXPECT_FALSE(model.Serialize(nullptr));
    TiXmlDocument document;
    EXPECT_FALSE(model.Serialize(&document));
    EXPECT_EQ(document.FirstChild(), nullptr) << "nothing appended";

    TiXmlText text("A.x");
    EXPECT_FALSE(model.Deserialize(nullptr));
    EXPECT_FALSE(model.Deserialize(&text));
    EXPECT_FALSE(model.Deserialize(&document));
    EXPECT_EQ(model.GetXFile(), "A.x");

    TiXmlElement parent("Parent");
    ASSERT_TRUE(model.Serialize(&parent));
    const TiXmlElement* written = parent.FirstChildElement("Component");
    ASSERT_NE(written, nullptr);
    EXPECT_STREQ(written->Attribute("name"), "GfxModelComp");
    EXPECT_EQ(written->NextSiblingElement(), nullptr) << "one component";
}
