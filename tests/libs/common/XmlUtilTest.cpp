#include "common/XmlUtil.h"

#include "common/XmlFile.h"
#include "common/XmlQuietNumbers.h"

#include "common/math/AABB.h"
#include "common/math/Quad.h"
#include "common/math/Quaternion.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <limits>
#include <locale>
#include <map>
#include <string>
#include <utility>
#include <vector>

using math::Vector3;

namespace
{
// Parses one element from text; the fixture keeps the document alive.
class XmlUtilTest : public testing::Test
{
protected:
    const TiXmlElement* Parse(const std::string& text)
    {
        m_document.Clear();
        m_document.Parse(text.c_str());
        EXPECT_FALSE(m_document.Error()) << m_document.ErrorDesc();
        return m_document.RootElement();
    }

    // Saves the written tree as text and parses it back, as a file round trip does.
    const TiXmlElement* Reparse()
    {
        TiXmlPrinter printer;
        m_root.Accept(&printer);
        return Parse(printer.CStr());
    }

    TiXmlElement m_root{"Root"};
    TiXmlDocument m_document;
};

std::string Text(const TiXmlElement* element)
{
    return element && element->GetText() ? element->GetText() : "";
}

std::string NameOf(const TiXmlElement* element)
{
    const char* name = element ? element->Attribute("name") : nullptr;
    return name ? name : "<none>";
}

// A user locale that writes 1.5 as "1,5" and groups thousands, to prove files never see it.
struct CommaPunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};
} // namespace

TEST_F(XmlUtilTest, ScalarsRoundTripThroughText)
{
    const std::string markup = "a < b & \"c\" > 'd'";
    ASSERT_TRUE(XmlWriteString(&m_root, markup, "Text"));
    ASSERT_TRUE(XmlWriteInt(&m_root, std::numeric_limits<int>::min(), "Low"));
    ASSERT_TRUE(XmlWriteInt(&m_root, std::numeric_limits<int>::max(), "High"));
    ASSERT_TRUE(XmlWriteUint(&m_root, 4000000000u, "Big"));
    ASSERT_TRUE(XmlWriteFloat(&m_root, -0.125f, "Float"));
    ASSERT_TRUE(XmlWriteBool(&m_root, true, "Yes"));
    ASSERT_TRUE(XmlWriteBool(&m_root, false, "No"));
    ASSERT_TRUE(XmlWriteEnum(&m_root, 7, "Kind"));

    const TiXmlElement* e = Reparse()->FirstChildElement();
    std::string text;
    int low = 0, high = 0, kind = 0;
    unsigned int big = 0;
    float number = 0;
    bool yes = false, no = true;
    EXPECT_EQ(e->ValueStr(), "string");
    EXPECT_EQ(NameOf(e), "Text");
    EXPECT_TRUE(XmlReadString(e, &text));
    EXPECT_EQ(text, markup);
    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "int");
    EXPECT_TRUE(XmlReadInt(e, &low));
    EXPECT_EQ(low, std::numeric_limits<int>::min());
    e = e->NextSiblingElement();
    EXPECT_TRUE(XmlReadInt(e, &high));
    EXPECT_EQ(high, std::numeric_limits<int>::max());
    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "uint");
    EXPECT_EQ(Text(e), "4000000000");
    EXPECT_TRUE(XmlReadUint(e, &big));
    EXPECT_EQ(big, 4000000000u);
    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "float");
    EXPECT_TRUE(XmlReadFloat(e, &number));
    EXPECT_EQ(number, -0.125f);
    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "bool");
    EXPECT_EQ(Text(e), "true");
    EXPECT_TRUE(XmlReadBool(e, &yes));
    EXPECT_TRUE(yes);
    e = e->NextSiblingElement();
    EXPECT_EQ(Text(e), "false");
    EXPECT_TRUE(XmlReadBool(e, &no));
    EXPECT_FALSE(no);
    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "enum");
    EXPECT_EQ(NameOf(e), "Kind");
    EXPECT_EQ(Text(e), "7");
    EXPECT_TRUE(XmlReadInt(e, &kind));
    EXPECT_EQ(kind, 7);
    EXPECT_EQ(e->NextSiblingElement(), nullptr);
}

TEST_F(XmlUtilTest, FloatsHaveSixSignificantDigits)
{
    struct Case
    {
        float value;
        const char* text;
        float readBack;
    };
    const Case cases[] = {
        {0.1f, "0.1", 0.1f},
        {1.0f / 3.0f, "0.333333", 0.333333f},
        {2.0f, "2", 2.0f},
        {-3.0f, "-3", -3.0f},
        {1234567.0f, "1.23457e+06", 1234570.0f},
        {0.000012345678f, "1.23457e-05", 1.23457e-05f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        TiXmlElement parent("P");
        ASSERT_TRUE(XmlWriteFloat(&parent, c.value, "f"));
        const TiXmlElement* e = parent.FirstChildElement();
        EXPECT_EQ(Text(e), c.text);
        float read = 0;
        EXPECT_TRUE(XmlReadFloat(e, &read));
        EXPECT_EQ(read, c.readBack);
    }
}

TEST_F(XmlUtilTest, NumbersIgnoreTheUserLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));

    ASSERT_TRUE(XmlWriteFloat(&m_root, 1234.5f, "f"));
    ASSERT_TRUE(XmlWriteInt(&m_root, 1234567, "i"));
    const TiXmlElement* f = m_root.FirstChildElement();
    const TiXmlElement* i = f->NextSiblingElement();
    EXPECT_EQ(Text(f), "1234.5");
    EXPECT_EQ(Text(i), "1234567");
    float read = 0;
    EXPECT_TRUE(XmlReadFloat(Parse("<float name=\"f\">2.75</float>"), &read));
    EXPECT_EQ(read, 2.75f);

    std::locale::global(previous);
}

TEST_F(XmlUtilTest, VectorAndQuaternionElementTexts)
{
    ASSERT_TRUE(XmlWriteVector3(&m_root, Vector3(1, 2.5f, -3), "Center"));
    ASSERT_TRUE(XmlWriteQuaternion(&m_root, math::Quaternion(1, 0, 0, 0), "Orientation"));

    const TiXmlElement* vector = m_root.FirstChildElement();
    EXPECT_EQ(vector->ValueStr(), "Vector");
    EXPECT_EQ(NameOf(vector), "Center");
    EXPECT_EQ(Text(vector), ""); // compounds have no text of their own
    const char* const vectorParts[][2] = {{"x", "1"}, {"y", "2.5"}, {"z", "-3"}};
    const TiXmlElement* part = vector->FirstChildElement();
    for (const auto& expected : vectorParts)
    {
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->ValueStr(), "float");
        EXPECT_EQ(NameOf(part), expected[0]);
        EXPECT_EQ(Text(part), expected[1]);
        part = part->NextSiblingElement();
    }
    EXPECT_EQ(part, nullptr);

    const TiXmlElement* quat = vector->NextSiblingElement();
    EXPECT_EQ(quat->ValueStr(), "Quat");
    EXPECT_EQ(NameOf(quat), "Orientation");
    const char* const quatParts[][2] = {{"x", "0"}, {"y", "0"}, {"z", "0"}, {"w", "1"}};
    part = quat->FirstChildElement();
    for (const auto& expected : quatParts)
    {
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->ValueStr(), "float");
        EXPECT_EQ(NameOf(part), expected[0]);
        EXPECT_EQ(Text(part), expected[1]);
        part = part->NextSiblingElement();
    }
    EXPECT_EQ(part, nullptr);

    Vector3 v;
    math::Quaternion q(5, 5, 5, 5);
    EXPECT_TRUE(XmlReadVector3(vector, &v));
    EXPECT_EQ(v, Vector3(1, 2.5f, -3));
    EXPECT_TRUE(XmlReadQuaternion(quat, &q));
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_EQ(q.z, 0.0f);
}

TEST_F(XmlUtilTest, CompoundShapesRoundTrip)
{
    const math::Sphere sphere(Vector3(1, -2, 3.5f), 0.75f);
    const math::AABB box(Vector3(-90, -90, -90), Vector3(150, 630, 150));
    const math::Quad quad(Vector3(0, 0, 5), Vector3(0, 4, 5), Vector3(4, 4, 5), Vector3(4, 0, 5));
    const math::Quaternion rotation(0.5f, -0.5f, 0.5f, -0.5f);
    ASSERT_TRUE(XmlWriteSphere(&m_root, sphere, "BoundingSphere"));
    ASSERT_TRUE(XmlWriteAABB(&m_root, box, "BoundingBox"));
    ASSERT_TRUE(XmlWriteQuad(&m_root, quad, "Face"));
    ASSERT_TRUE(XmlWriteQuaternion(&m_root, rotation, "Rotation"));

    const TiXmlElement* e = Reparse()->FirstChildElement();
    EXPECT_EQ(e->ValueStr(), "Sphere");
    EXPECT_EQ(NameOf(e->FirstChildElement()), "Center");
    EXPECT_EQ(NameOf(e->FirstChildElement()->NextSiblingElement()), "Radius");
    math::Sphere readSphere;
    EXPECT_TRUE(XmlReadSphere(e, &readSphere));
    EXPECT_EQ(readSphere.center, sphere.center);
    EXPECT_EQ(readSphere.radius, sphere.radius);

    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "AABB");
    EXPECT_EQ(NameOf(e->FirstChildElement()), "Min");
    math::AABB readBox;
    EXPECT_TRUE(XmlReadAABB(e, &readBox));
    EXPECT_EQ(readBox.min, box.min);
    EXPECT_EQ(readBox.max, box.max);

    e = e->NextSiblingElement();
    EXPECT_EQ(e->ValueStr(), "Quad");
    int children = 0;
    for (const TiXmlElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
    {
        EXPECT_EQ(NameOf(c), "P" + std::to_string(children));
        ++children;
    }
    EXPECT_EQ(children, 4); // the normal is not saved
    math::Quad readQuad;
    readQuad.normal = Vector3(1, 0, 0); // whatever it held is replaced by the recomputed one
    EXPECT_TRUE(XmlReadQuad(e, &readQuad));
    EXPECT_EQ(readQuad.p0, quad.p0);
    EXPECT_EQ(readQuad.p3, quad.p3);
    EXPECT_EQ(readQuad.normal, Vector3(0, 0, -1));

    e = e->NextSiblingElement();
    math::Quaternion readRotation;
    EXPECT_TRUE(XmlReadQuaternion(e, &readRotation));
    EXPECT_EQ(readRotation.w, 0.5f);
    EXPECT_EQ(readRotation.x, -0.5f);
    EXPECT_EQ(readRotation.y, 0.5f);
    EXPECT_EQ(readRotation.z, -0.5f);
}

TEST_F(XmlUtilTest, ReadersTakeChildrenByPositionNotByName)
{
    const TiXmlElement* e = Parse("<Vector name=\"v\"><int name=\"z\">4</int><string>5.5</string>"
                                  "<!-- a comment is not an element --><float name=\"x\">6</float></Vector>");
    Vector3 v;
    EXPECT_TRUE(XmlReadVector3(e, &v));
    EXPECT_EQ(v, Vector3(4, 5.5f, 6));
}

TEST_F(XmlUtilTest, TakingElementsWalksThemInOrderAndStopsAtTheEnd)
{
    const TiXmlElement* e = Parse("<Component>first<float>1</float><!-- skipped --><bool>true</bool>"
                                  "<string>x</string></Component>");
    const TiXmlNode* child = XmlFirstChildElement(e);
    std::vector<std::string> taken;
    while (const TiXmlNode* field = XmlTakeElement(&child))
        taken.push_back(field->Value());
    EXPECT_EQ(taken, (std::vector<std::string>{"float", "bool", "string"}));
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(XmlTakeElement(&child), nullptr) << "past the end it stays at the end";
    EXPECT_EQ(child, nullptr);
}

TEST_F(XmlUtilTest, UnsignedIntegerTextTable)
{
    struct Case
    {
        const char* text;
        bool ok;
        unsigned int value; // the target starts at 12345
    };
    const Case cases[] = {
        {"4000000000", true, 4000000000u},
        {"4294967295", true, 4294967295u},
        {"99999999999999999999999", true, 4294967295u}, // clamps at the top
        {"-1", true, 0xFFFFFFFFu},                      // an "int" -1 keeps its bits
        {"-2147483648", true, 0x80000000u},
        {"-99999999999", true, 0x80000000u},
        {"  +42", true, 42u},
        {"\t42 \n", true, 42u}, // blanks around a value are XML layout
        {"17 apples", false, 12345u},
        {"1,5", false, 12345u},
        {"0x10", false, 12345u},
        {"2.5", false, 12345u},
        {"1e38", false, 12345u},
        {"-0", true, 0u},
        {"abc", false, 12345u},
        {"- 5", false, 12345u},
        {"", false, 12345u},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        TiXmlElement e("uint");
        e.LinkEndChild(new TiXmlText(c.text));
        unsigned int value = 12345;
        EXPECT_EQ(XmlReadUint(&e, &value), c.ok);
        EXPECT_EQ(value, c.value);
    }
}

TEST_F(XmlUtilTest, SignedIntegerAndFloatTextTable)
{
    struct IntCase
    {
        const char* text;
        bool ok;
        int value;
    };
    const IntCase ints[] = {
        {"-17", true, -17},
        {" 08", true, 8},
        {"3000000000", true, 2147483647},
        {"-3000000000", true, -2147483647 - 1},
        {"x1", false, 99},
        {".5", false, 99},
        {"7-", false, 99},
        {"3 4", false, 99},
    };
    for (const IntCase& c : ints)
    {
        SCOPED_TRACE(c.text);
        TiXmlElement e("int");
        e.LinkEndChild(new TiXmlText(c.text));
        int value = 99;
        EXPECT_EQ(XmlReadInt(&e, &value), c.ok);
        EXPECT_EQ(value, c.value);
    }

    struct FloatCase
    {
        const char* text;
        bool ok;
        float value;
    };
    // What is no float (not a number, an infinity, beyond the float range) is refused like text.
    const FloatCase floats[] = {
        {" -2.5e1", true, -25.0f},  {"+3", true, 3.0f},     {"1.5xyz", false, 7.0f},
        {".5", true, 0.5f},         {"1e38", true, 1e38f},  {"-0", true, -0.0f},
        {"1e40", false, 7.0f},      {"-1e40", false, 7.0f}, {"inf", false, 7.0f},
        {"-infinity", false, 7.0f}, {"nan", false, 7.0f},   {"-nan", false, 7.0f},
        {"abc", false, 7.0f},       {"--1", false, 7.0f},   {"+-1", false, 7.0f},
        {"1e999", false, 7.0f},     {"1,5", false, 7.0f},   {"0x10", false, 7.0f},
        {"2.5 ", true, 2.5f},       {"1e", false, 7.0f},    {"1.5.2", false, 7.0f},
    };
    for (const FloatCase& c : floats)
    {
        SCOPED_TRACE(c.text);
        TiXmlElement e("float");
        e.LinkEndChild(new TiXmlText(c.text));
        float value = 7.0f;
        EXPECT_EQ(XmlReadFloat(&e, &value), c.ok);
        EXPECT_EQ(value, c.value);
    }
}

// A refused number text is one line that names the file, its line and the field; a reader that
// writes its own line about the field silences it, and a missing text is no fault.
TEST_F(XmlUtilTest, ARefusedNumberIsOneLineNamingTheFileAndField)
{
    TiXmlDocument document;
    document.Parse("<R>\n<int name=\"Count\">1,5</int>\n<float name=\"Mass\">0x10</float>\n<uint "
                   "name=\"Empty\"></uint>\n</R>");
    ASSERT_FALSE(document.Error());
    document.SetValue("files/P.xml");
    const TiXmlNode* count = XmlFirstChildElement(document.RootElement());
    const TiXmlNode* mass = XmlNextSiblingElement(count);
    const TiXmlNode* empty = XmlNextSiblingElement(mass);
    int number = 3;
    float real = 4.0f;
    unsigned int unsignedNumber = 5;
    {
        testsupport::LogCapture log;
        EXPECT_FALSE(XmlReadInt(count, &number));
        EXPECT_FALSE(XmlReadFloat(mass, &real));
        EXPECT_FALSE(XmlReadUint(empty, &unsignedNumber));
        ASSERT_EQ(log.Lines().size(), 2u) << log.Text();
        EXPECT_EQ(log.Lines()[0], "XmlReadInt: files/P.xml:2: \"Count\": \"1,5\" is not a whole number; the "
                                  "value is kept");
        EXPECT_NE(log.Lines()[1].find("files/P.xml:3: \"Mass\": \"0x10\""), std::string::npos) << log.Text();
    }
    EXPECT_EQ(number, 3);
    EXPECT_EQ(real, 4.0f);
    EXPECT_EQ(unsignedNumber, 5u);
    {
        testsupport::LogCapture log;
        const common::XmlQuietNumbers quiet;
        EXPECT_FALSE(XmlReadInt(count, &number));
        EXPECT_TRUE(log.Lines().empty()) << log.Text();
    }
}

TEST_F(XmlUtilTest, BoolTextTable)
{
    enum Expect
    {
        True,
        False,
        Unchanged
    };
    struct Case
    {
        const char* text;
        Expect expect;
    };
    const Case cases[] = {
        {"true", True},   {"TRUE", True},    {"True", True},       {"1", True},       {"01", True},
        {" 1", True},     {"false", False},  {"FALSE", False},     {"0", False},      {"yes", Unchanged},
        {"2", Unchanged}, {"00", Unchanged}, {"maybe", Unchanged}, {" 0", Unchanged},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        for (const bool start : {false, true})
        {
            TiXmlElement e("bool");
            e.LinkEndChild(new TiXmlText(c.text));
            bool value = start;
            EXPECT_TRUE(XmlReadBool(&e, &value));
            EXPECT_EQ(value, c.expect == Unchanged ? start : c.expect == True);
        }
    }
}

TEST_F(XmlUtilTest, MissingNodesAndTextsLeaveTargetsUnchanged)
{
    TiXmlText textNode("5");
    TiXmlElement empty("float");
    TiXmlElement commentOnly("int");
    commentOnly.LinkEndChild(new TiXmlComment("7"));

    std::string s = "keep";
    int i = 1;
    unsigned int u = 2;
    float f = 3;
    bool b = true;
    for (const TiXmlNode* node :
         {static_cast<const TiXmlNode*>(nullptr), static_cast<const TiXmlNode*>(&textNode)})
    {
        EXPECT_FALSE(XmlReadString(node, &s));
        EXPECT_FALSE(XmlReadInt(node, &i));
        EXPECT_FALSE(XmlReadUint(node, &u));
        EXPECT_FALSE(XmlReadFloat(node, &f));
        EXPECT_FALSE(XmlReadBool(node, &b));
    }
    for (const TiXmlNode* node :
         {static_cast<const TiXmlNode*>(&empty), static_cast<const TiXmlNode*>(&commentOnly)})
    {
        EXPECT_FALSE(XmlReadInt(node, &i));
        EXPECT_FALSE(XmlReadUint(node, &u));
        EXPECT_FALSE(XmlReadFloat(node, &f));
        EXPECT_FALSE(XmlReadBool(node, &b));
        EXPECT_TRUE(XmlReadString(node, &s)); // an empty string is saved without text
    }
    EXPECT_EQ(s, "keep");
    EXPECT_EQ(i, 1);
    EXPECT_EQ(u, 2u);
    EXPECT_EQ(f, 3.0f);
    EXPECT_TRUE(b);

    // An empty string written and read back into a fresh string stays empty.
    ASSERT_TRUE(XmlWriteString(&m_root, "", "Empty"));
    std::string fresh;
    EXPECT_TRUE(XmlReadString(Reparse()->FirstChildElement(), &fresh));
    EXPECT_EQ(fresh, "");

    Vector3 v(1, 2, 3);
    math::Quaternion q(1, 2, 3, 4);
    math::Sphere sphere(Vector3(1, 1, 1), 9);
    math::AABB box(Vector3(1, 1, 1), Vector3(2, 2, 2));
    EXPECT_FALSE(XmlReadVector3(nullptr, &v));
    EXPECT_FALSE(XmlReadQuaternion(&textNode, &q));
    EXPECT_FALSE(XmlReadSphere(nullptr, &sphere));
    EXPECT_FALSE(XmlReadAABB(&textNode, &box));
    EXPECT_EQ(v, Vector3(1, 2, 3));
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(sphere.radius, 9.0f);
    EXPECT_EQ(box.max, Vector3(2, 2, 2));
}

TEST_F(XmlUtilTest, ShortOrMalformedCompoundsReadWhatTheyCan)
{
    Vector3 v(7, 8, 9);
    EXPECT_FALSE(XmlReadVector3(Parse("<Vector><float>1</float><float>2</float></Vector>"), &v));
    EXPECT_EQ(v, Vector3(1, 2, 9));

    v = Vector3(7, 8, 9);
    EXPECT_FALSE(
        XmlReadVector3(Parse("<Vector><float>1</float><float>oops</float><float>3</float></Vector>"), &v));
    EXPECT_EQ(v, Vector3(1, 8, 3));

    v = Vector3(7, 8, 9);
    EXPECT_FALSE(XmlReadVector3(Parse("<Vector>12</Vector>"), &v));
    EXPECT_EQ(v, Vector3(7, 8, 9));

    math::Quaternion q(1, 2, 3, 4);
    EXPECT_FALSE(
        XmlReadQuaternion(Parse("<Quat><float>5</float><float>6</float><float>7</float></Quat>"), &q));
    EXPECT_EQ(q.x, 5.0f);
    EXPECT_EQ(q.z, 7.0f);
    EXPECT_EQ(q.w, 1.0f);

    math::Sphere sphere(Vector3(1, 1, 1), 9);
    EXPECT_FALSE(
        XmlReadSphere(Parse("<Sphere><Vector><float>4</float><float>5</float><float>6</float></Vector>"
                            "</Sphere>"),
                      &sphere));
    EXPECT_EQ(sphere.center, Vector3(4, 5, 6));
    EXPECT_EQ(sphere.radius, 9.0f);

    math::AABB box(Vector3(1, 1, 1), Vector3(2, 2, 2));
    EXPECT_FALSE(XmlReadAABB(Parse("<AABB><Vector><float>0</float></Vector></AABB>"), &box));
    EXPECT_EQ(box.min, Vector3(0, 1, 1));
    EXPECT_EQ(box.max, Vector3(2, 2, 2));

    // A short quad still gets the normal of the corners it now has.
    math::Quad quad(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 1, 0), Vector3(0, 1, 0));
    EXPECT_FALSE(
        XmlReadQuad(Parse("<Quad><Vector><float>0</float><float>0</float><float>0</float></Vector>"
                          "<Vector><float>0</float><float>1</float><float>0</float></Vector></Quad>"),
                    &quad));
    EXPECT_EQ(quad.p1, Vector3(0, 1, 0));
    EXPECT_EQ(quad.normal, Vector3(0, 0, 0)); // P1 and P3 now coincide
}

TEST_F(XmlUtilTest, WritersRefuseParentsThatAreNotElements)
{
    TiXmlText text("x");
    TiXmlDocument document;
    for (TiXmlNode* parent : {static_cast<TiXmlNode*>(nullptr), static_cast<TiXmlNode*>(&text),
                              static_cast<TiXmlNode*>(&document)})
    {
        EXPECT_FALSE(XmlWriteString(parent, "s", "n"));
        EXPECT_FALSE(XmlWriteInt(parent, 1, "n"));
        EXPECT_FALSE(XmlWriteUint(parent, 1, "n"));
        EXPECT_FALSE(XmlWriteFloat(parent, 1, "n"));
        EXPECT_FALSE(XmlWriteBool(parent, true, "n"));
        EXPECT_FALSE(XmlWriteEnum(parent, 1, "n"));
        EXPECT_FALSE(XmlWriteVector3(parent, Vector3(), "n"));
        EXPECT_FALSE(XmlWriteQuaternion(parent, math::Quaternion(), "n"));
        EXPECT_FALSE(XmlWriteSphere(parent, math::Sphere(), "n"));
        EXPECT_FALSE(XmlWriteAABB(parent, math::AABB(), "n"));
        EXPECT_FALSE(XmlWriteQuad(parent, math::Quad(), "n"));
        EXPECT_EQ(XmlWriteListElement(parent, "n", 0), nullptr);
        EXPECT_EQ(XmlWritePairElement(parent, "n"), nullptr);
        EXPECT_FALSE(XmlWriteList(parent, std::vector<int>{1}, "n"));
    }
    EXPECT_EQ(text.FirstChild(), nullptr);
    EXPECT_EQ(document.FirstChild(), nullptr);
}

namespace
{
enum class Colour
{
    Red = 1,
    Blue = 4
};
} // namespace

TEST_F(XmlUtilTest, EnumRoundTrip)
{
    ASSERT_TRUE(XmlWriteEnum(&m_root, static_cast<int>(Colour::Blue), "Colour"));
    const TiXmlElement* e = m_root.FirstChildElement();
    EXPECT_EQ(e->ValueStr(), "enum");
    EXPECT_EQ(Text(e), "4");
    Colour colour = Colour::Red;
    EXPECT_TRUE(XmlReadEnum(e, &colour, Colour::Red, Colour::Blue));
    EXPECT_EQ(colour, Colour::Blue);
    EXPECT_FALSE(XmlReadEnum(Parse("<enum>blue</enum>"), &colour, Colour::Red, Colour::Blue));
    EXPECT_EQ(colour, Colour::Blue);
}

namespace
{
enum Shape : unsigned
{
    Ball = 0,
    Box = 1,
    Wedge = 2
};
} // namespace

TEST_F(XmlUtilTest, EnumOutsideItsRangeIsRefusedAndKept)
{
    // A number outside the range is said, with the file, the line and the element's name (a
    // number past the int range is read as the int nearest it); text that is no whole number is
    // refused with the integer reader's line, and no second one.
    const struct
    {
        const char* text;
        bool read;
        Shape expected;
        const char* said;
    } cases[] = {
        {"0", true, Ball, nullptr},
        {"2", true, Wedge, nullptr},
        {"1", true, Box, nullptr},
        {"3", false, Box, "3 is not one of 0 to 2"},
        {"5", false, Box, "5 is not one of 0 to 2"},
        {"-1", false, Box, "-1 is not one of 0 to 2"},
        {"4294967295", false, Box, "2147483647 is not one of 0 to 2"},
        {"-2147483648", false, Box, "-2147483648 is not one of 0 to 2"},
        {"x", false, Box, nullptr},
        {"1.5", false, Box, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        Shape shape = Box;
        const TiXmlElement* element = Parse(std::string("\n<enum name=\"Shape\">") + c.text + "</enum>");
        m_document.SetValue("shapes.xml");
        testsupport::LogCapture log;
        EXPECT_EQ(XmlReadEnum(element, &shape, Ball, Wedge), c.read);
        EXPECT_EQ(shape, c.expected);
        if (c.said)
            EXPECT_EQ(log.Lines(),
                      std::vector<std::string>{std::string("XmlReadEnum: shapes.xml:2: \"Shape\": ") +
                                               c.said + "; the value is kept"});
        else if (c.read)
            EXPECT_EQ(log.Text(), "");
        else
            EXPECT_EQ(log.Lines(),
                      std::vector<std::string>{std::string("XmlReadInt: shapes.xml:2: \"Shape\": \"") +
                                               c.text + "\" is not a whole number; the value is kept"});
    }
}

// Strings go through a real file: written, saved, loaded with the file helper, read again.
TEST_F(XmlUtilTest, StringsWithBlanksAndCdataEndingsSurviveAFile)
{
    const std::string values[] = {"a  b",     " lead",  "trail ",      "   ",          " ",
                                  "\t",       "\n\n",   "]]>",         " x]]>y]]]>z ", "]]>]]>",
                                  " a\r\nb ", "&#x41;", "plain words", "a\tb\nc",      "<tag> & \"quotes\""};
    testsupport::TempWorkDir dir;
    TiXmlDocument out;
    TiXmlElement* root = new TiXmlElement("Root");
    out.LinkEndChild(root);
    for (const std::string& value : values)
        ASSERT_TRUE(XmlWriteString(root, value, value));
    ASSERT_TRUE(out.SaveFile("strings.xml"));

    TiXmlDocument in;
    std::string error;
    ASSERT_TRUE(XmlLoadFile("strings.xml", in, error)) << error;
    const TiXmlNode* element = XmlFirstChildElement(in.RootElement());
    for (const std::string& value : values)
    {
        SCOPED_TRACE("[" + value + "]");
        ASSERT_NE(element, nullptr);
        std::string read = "old";
        EXPECT_TRUE(XmlReadString(element, &read));
        EXPECT_EQ(read, value);
        std::string name;
        EXPECT_TRUE(XmlReadNameAttribute(element, &name));
        EXPECT_EQ(name, value);
        element = XmlNextSiblingElement(element);
    }
    // Ordinary texts stay ordinary text in the file.
    EXPECT_EQ(in.RootElement()->LastChild()->FirstChild()->ToText()->CDATA(), false);
}

TEST_F(XmlUtilTest, ListsOfValuesKeyedItemsAndPairs)
{
    const std::vector<int> numbers{3, -1, 4};
    const std::map<std::string, float> weights{{"Ball", 1.5f}, {"Box", 20.0f}};
    const std::vector<std::pair<std::string, Vector3>> places{{"Start", Vector3(1, 2, 3)},
                                                              {"Goal", Vector3(-1, 0, 5)}};
    const std::vector<std::vector<int>> nested{{1, 2}, {}, {3}};
    ASSERT_TRUE(XmlWriteList(&m_root, numbers, "Numbers"));
    ASSERT_TRUE(XmlWriteList(&m_root, weights, "Weights"));
    ASSERT_TRUE(XmlWriteList(&m_root, places, "Places"));
    ASSERT_TRUE(XmlWriteList(&m_root, nested, "Nested"));
    ASSERT_TRUE(XmlWriteList(&m_root, std::vector<std::string>(), "Nothing"));

    const TiXmlElement* list = Reparse()->FirstChildElement();
    EXPECT_EQ(list->ValueStr(), "list");
    EXPECT_EQ(NameOf(list), "Numbers");
    EXPECT_STREQ(list->Attribute("size"), "3");
    EXPECT_EQ(list->FirstChildElement()->ValueStr(), "int");
    std::vector<int> readNumbers{9};
    EXPECT_TRUE(XmlReadList(list, &readNumbers));
    EXPECT_EQ(readNumbers, numbers);

    list = list->NextSiblingElement();
    EXPECT_EQ(NameOf(list->FirstChildElement()), "Ball"); // the key rides in the item's name
    EXPECT_EQ(list->FirstChildElement()->ValueStr(), "float");
    std::map<std::string, float> readWeights;
    EXPECT_TRUE(XmlReadList(list, &readWeights));
    EXPECT_EQ(readWeights, weights);

    list = list->NextSiblingElement();
    const TiXmlElement* pair = list->FirstChildElement();
    EXPECT_EQ(pair->ValueStr(), "pair");
    EXPECT_EQ(pair->FirstChildElement()->ValueStr(), "string");
    EXPECT_EQ(NameOf(pair->FirstChildElement()), "First");
    EXPECT_EQ(pair->FirstChildElement()->NextSiblingElement()->ValueStr(), "Vector");
    EXPECT_EQ(NameOf(pair->FirstChildElement()->NextSiblingElement()), "Second");
    std::vector<std::pair<std::string, Vector3>> readPlaces;
    EXPECT_TRUE(XmlReadList(list, &readPlaces));
    ASSERT_EQ(readPlaces.size(), 2u);
    EXPECT_EQ(readPlaces[1].first, "Goal");
    EXPECT_EQ(readPlaces[1].second, Vector3(-1, 0, 5));

    list = list->NextSiblingElement();
    std::vector<std::vector<int>> readNested;
    EXPECT_TRUE(XmlReadList(list, &readNested));
    EXPECT_EQ(readNested, nested);

    list = list->NextSiblingElement();
    EXPECT_STREQ(list->Attribute("size"), "0");
    std::vector<std::string> readNothing{"old"};
    EXPECT_TRUE(XmlReadList(list, &readNothing));
    EXPECT_TRUE(readNothing.empty());
}

TEST_F(XmlUtilTest, BadListsLeaveTheContainerUnchanged)
{
    const char* const bad[] = {
        "<list name=\"l\" size=\"3\"><int>1</int><int>2</int></list>", // fewer items than its size
        "<list name=\"l\" size=\"2\"><int>1</int><int>x</int></list>", // a malformed item
        "<list name=\"l\"><int>1</int></list>",                        // no size
        "<list name=\"l\" size=\"many\"><int>1</int></list>",
        "<list name=\"l\" size=\"-1\"></list>",
        "<list name=\"l\" size=\"2000000000\"><int>1</int></list>",
    };
    for (const char* text : bad)
    {
        SCOPED_TRACE(text);
        std::vector<int> numbers{7, 7};
        EXPECT_FALSE(XmlReadList(Parse(text), &numbers));
        EXPECT_EQ(numbers, (std::vector<int>{7, 7}));
    }

    // A size smaller than the item count takes exactly that many.
    std::vector<int> numbers;
    EXPECT_TRUE(XmlReadList(Parse("<list size=\"1\"><int>5</int><int>6</int></list>"), &numbers));
    EXPECT_EQ(numbers, std::vector<int>{5});

    // A keyed item without its key is an error, too.
    std::map<std::string, int> keyed{{"a", 1}};
    EXPECT_FALSE(XmlReadList(Parse("<list size=\"1\"><int>5</int></list>"), &keyed));
    EXPECT_EQ(keyed.size(), 1u);

    std::pair<int, float> half{1, 2.0f};
    EXPECT_FALSE(XmlReadPair(Parse("<pair><int>5</int></pair>"), &half));
    EXPECT_EQ(half.first, 5);
    EXPECT_EQ(half.second, 2.0f);
}

TEST_F(XmlUtilTest, FileRoundTrip)
{
    testsupport::TempWorkDir dir;
    {
        TiXmlDocument document;
        TiXmlElement* root = new TiXmlElement("Room");
        document.LinkEndChild(root);
        XmlWriteString(root, "Empty Room", "Name");
        XmlWriteSphere(root, math::Sphere(Vector3(0.1f, 0.2f, 0.3f), 2), "BoundingSphere");
        XmlWriteUint(root, 4294967295u, "Id");
        ASSERT_TRUE(document.SaveFile("room.xml"));
    }
    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile("room.xml"));
    const TiXmlElement* e = document.RootElement()->FirstChildElement();
    std::string name;
    math::Sphere sphere;
    unsigned int id = 0;
    EXPECT_TRUE(XmlReadString(e, &name));
    e = e->NextSiblingElement();
    EXPECT_TRUE(XmlReadSphere(e, &sphere));
    e = e->NextSiblingElement();
    EXPECT_TRUE(XmlReadUint(e, &id));
    EXPECT_EQ(name, "Empty Room");
    EXPECT_EQ(sphere.center, Vector3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(sphere.radius, 2.0f);
    EXPECT_EQ(id, 4294967295u);
}

// XML kept as read (a component that saves its element unchanged) reads back the same after a
// save, also where the first read left odd blanks (an unknown entity such as "& " is dropped
// but its blank stays; references give blanks a parse would trim or join).
TEST_F(XmlUtilTest, KeptTextsReadBackTheSameAfterASave)
{
    testsupport::TempWorkDir dir;
    std::string error;
    TiXmlDocument first;
    ASSERT_TRUE(XmlParseText(
        "<Component><uint>1</uint>& tb<float>2</float><a>&#x20;two&#x20;&#x20;blanks</a><b>&#x20;x]]&gt;y</b>"
        "<c><![CDATA[ kept ]]></c></Component>",
        "first", first, error))
        << error;
    auto saveAndLoad = [&](TiXmlDocument& from, TiXmlDocument& to)
    {
        TiXmlElement copy(*from.RootElement());
        XmlKeepTexts(&copy);
        TiXmlDocument out;
        out.InsertEndChild(copy);
        ASSERT_TRUE(out.SaveFile("kept.xml"));
        ASSERT_TRUE(XmlLoadFile("kept.xml", to, error)) << error;
    };
    TiXmlDocument second, third;
    saveAndLoad(first, second);
    saveAndLoad(second, third);
    TiXmlPrinter a, b;
    second.Accept(&a);
    third.Accept(&b);
    EXPECT_EQ(std::string(a.CStr()), std::string(b.CStr()));
    std::string joined;
    XmlReadString(second.RootElement()->FirstChildElement("a"), &joined);
    EXPECT_EQ(joined, " two  blanks");
    XmlReadString(second.RootElement()->FirstChildElement("b"), &joined);
    EXPECT_EQ(joined, " x]]>y");
    const TiXmlNode* mixed = second.RootElement()->FirstChildElement("uint")->NextSibling();
    ASSERT_TRUE(mixed && mixed->ToText());
    EXPECT_EQ(mixed->ValueStr(), " tb");
}
