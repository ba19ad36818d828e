#include "engine/GobComposite.h"

#include "EngineTestComps.h"
#include "TestSupport.h"

#include "engine/TemplateGobController.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

using enginetest::CounterComp;
using enginetest::TagComp;
using enginetest::WriteTemplate;

namespace
{
class GobCompositeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        enginetest::RegisterTestComponents();
        manager.DestroyAllGobs();
        static bool loaded = false;
        if (!loaded)
        {
            testsupport::TempWorkDir dir;
            WriteTemplate("Pair.xml", "PairType", "PairTemplate", {"CounterComp", "TagComp", "CounterComp"});
            manager.LoadTemplate("Pair.xml");
            loaded = true;
        }
    }
    void TearDown() override { manager.DestroyAllGobs(); }

    GobManager& manager = GobManager::Instance();
};

template <class T> T* Get(Gob* gob)
{
    return static_cast<T*>(gob->GetComponent(T::StaticTypeID()));
}

// Looks its siblings up from its destructor, as components that unregister from a sibling do.
class ProbeComp : public ComponentBase<ProbeComp>
{
public:
    static inline const Component* s_CounterSeen = nullptr;
    static inline const Component* s_TagSeen = nullptr;
    ~ProbeComp() override
    {
        s_CounterSeen = GetOwner()->GetComponent(CounterComp::StaticTypeID());
        s_TagSeen = GetOwner()->GetComponent(TagComp::StaticTypeID());
    }
    bool Serialize(TiXmlNode*) override { return false; }
    bool Deserialize(const TiXmlNode*) override { return false; }
};
} // namespace

TEST_F(GobCompositeTest, SerializeThenDeserializeReproducesAnObject)
{
    Gob* original = manager.CreateGob("PairType");
    original->SetName("Original");
    Get<CounterComp>(original)->m_Value = 42;
    Get<CounterComp>(original)->m_Speed = 0.25f;
    Get<CounterComp>(original)->m_Label = "label text";
    Get<TagComp>(original)->m_Tag = "tagged";
    auto* composite = static_cast<GobComposite*>(original);
    static_cast<CounterComp*>(composite->GetComponentAt(2))->m_Value = 8;

    TiXmlElement parent("Saved");
    ASSERT_TRUE(original->Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement();
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->ValueStr(), "Gob");
    EXPECT_EQ(*element->Attribute(std::string("type")), "PairType");
    // The name, then one "Component" per component in template order.
    const TiXmlElement* child = element->FirstChildElement();
    EXPECT_EQ(child->ValueStr(), "string");
    EXPECT_STREQ(child->Attribute("name"), "Name");
    const char* expected[] = {"CounterComp", "TagComp", "CounterComp"};
    for (const char* name : expected)
    {
        child = child->NextSiblingElement();
        ASSERT_NE(child, nullptr);
        EXPECT_STREQ(child->Attribute("name"), name);
    }
    EXPECT_EQ(child->NextSiblingElement(), nullptr);

    Gob* copy = manager.CreateGob("PairType");
    ASSERT_TRUE(copy->Deserialize(element));
    EXPECT_EQ(copy->GetName(), "Original");
    EXPECT_EQ(Get<CounterComp>(copy)->m_Value, 42u);
    EXPECT_EQ(Get<CounterComp>(copy)->m_Speed, 0.25f);
    EXPECT_EQ(Get<CounterComp>(copy)->m_Label, "label text");
    EXPECT_EQ(Get<TagComp>(copy)->m_Tag, "tagged");
    EXPECT_EQ(static_cast<CounterComp*>(static_cast<GobComposite*>(copy)->GetComponentAt(2))->m_Value, 8u);
    EXPECT_EQ(manager.GetGobByName("Original"), original); // the first holder of the name stays

    EXPECT_FALSE(original->Serialize(nullptr));
    EXPECT_FALSE(copy->Deserialize(nullptr));
    TiXmlText text("not an element");
    EXPECT_FALSE(original->Serialize(&text));
    EXPECT_FALSE(copy->Deserialize(&text));
}

TEST_F(GobCompositeTest, DeserializeRenamesInTheIndexAndLeavesMissingComponentsAlone)
{
    Gob* gob = manager.CreateGob("PairType");
    gob->SetName("Before");
    Get<TagComp>(gob)->m_Tag = "kept";

    TiXmlElement element("Gob");
    XmlWriteString(&element, "After", "Name");
    TiXmlElement counter("Component");
    XmlWriteUint(&counter, 3, "Value"); // Speed and Label missing: they keep their values
    element.InsertEndChild(counter);
    Get<CounterComp>(gob)->m_Label = "unchanged";

    ASSERT_TRUE(gob->Deserialize(&element));
    EXPECT_EQ(gob->GetName(), "After");
    EXPECT_EQ(manager.GetGobByName("Before"), nullptr);
    EXPECT_EQ(manager.GetGobByName("After"), gob);
    EXPECT_EQ(Get<CounterComp>(gob)->m_Value, 3u);
    EXPECT_EQ(Get<CounterComp>(gob)->m_Label, "unchanged");
    EXPECT_EQ(Get<TagComp>(gob)->m_Tag, "kept");

    // An empty name text keeps the name.
    TiXmlElement unnamed("Gob");
    XmlWriteString(&unnamed, "", "Name");
    ASSERT_TRUE(gob->Deserialize(&unnamed));
    EXPECT_EQ(gob->GetName(), "After");
    EXPECT_EQ(manager.GetGobByName("After"), gob);
}

TEST_F(GobCompositeTest, LayoutComesFromTheTemplate)
{
    Gob* gob = manager.CreateGob("PairType");
    auto* composite = static_cast<GobComposite*>(gob);
    ASSERT_EQ(composite->GetComponentCount(), 3u);
    // A type listed twice gets two components; lookups give the first.
    EXPECT_EQ(gob->GetComponent(CounterComp::StaticTypeID()), composite->GetComponentAt(0));
    EXPECT_NE(composite->GetComponentAt(2), composite->GetComponentAt(0));
    EXPECT_EQ(gob->GetComponent(HashName("NotInThisTemplate")), nullptr);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(composite->GetComponentAt(i)->GetOwner(), gob);
    EXPECT_EQ(Get<CounterComp>(gob)->GetOwnerName(), "");
    gob->SetName("Named");
    EXPECT_EQ(Get<CounterComp>(gob)->GetOwnerName(), "Named");

    EXPECT_EQ(gob->GetArchetypeName(), "PairType");
    EXPECT_EQ(gob->GetTemplateName(), "PairTemplate");

    gob->Kill();
    gob->Kill();
    EXPECT_TRUE(gob->IsKilled());

    // Renaming the type renames it for every object of the template; the filing key stays.
    Gob* other = manager.CreateGob("PairType");
    gob->SetTypeName("Renamed");
    EXPECT_EQ(other->GetTypeName(), "Renamed");
    EXPECT_NE(manager.CreateGob("PairType"), nullptr);
    gob->SetTypeName("PairType");
}

TEST_F(GobCompositeTest, DestructorsFindNoSiblingThatIsAlreadyDeleted)
{
    RegisterComponentType<ProbeComp>("ProbeComp");
    testsupport::TempWorkDir dir;
    WriteTemplate("Probe.xml", "ProbeType", "Probe", {"CounterComp", "ProbeComp", "TagComp"});
    manager.LoadTemplate("Probe.xml");
    Gob* gob = manager.CreateGob("ProbeType");
    ASSERT_NE(gob, nullptr);
    const Component* tag = Get<TagComp>(gob);

    manager.KillGob(gob);
    manager.ProcessKillList();
    EXPECT_EQ(ProbeComp::s_CounterSeen, nullptr); // deleted before the probe
    EXPECT_EQ(ProbeComp::s_TagSeen, tag);         // deleted after it, still there
}
