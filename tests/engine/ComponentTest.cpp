#include "engine/Component.h"

#include "EngineTestComps.h"

#include "engine/RegisterCoreComponentTypes.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

namespace
{
// Overrides only what it must: Update and the device hooks keep the base's behaviour.
class BareComp : public ComponentBase<BareComp>
{
public:
    int m_Field = 5;
    bool Serialize(TiXmlNode*) override { return false; }
    bool Deserialize(const TiXmlNode*) override { return false; }
};
} // namespace

TEST(ComponentTest, FreshComponentHasNoOwnerAndBaseHooksDoNothing)
{
    BareComp component;
    const BareComp& constComponent = component;
    EXPECT_EQ(component.GetOwner(), nullptr);
    EXPECT_EQ(constComponent.GetOwner(), nullptr);
    EXPECT_EQ(component.GetOwnerName(), "");
    EXPECT_EQ(component.GetPOVComponent(), nullptr);
    component.Update(1.0f / 30.0f);
    EXPECT_EQ(component.m_Field, 5);
    EXPECT_TRUE(component.OnLostDevice());
    EXPECT_TRUE(component.OnResetDevice());
    // Unregistered classes report the empty name and id 0.
    EXPECT_EQ(component.GetTypeName(), "");
    EXPECT_EQ(component.GetTypeID(), 0u);
    EXPECT_TRUE(component.Initialize(nullptr));
    EXPECT_EQ(component.GetOwner(), nullptr);
}

TEST(ComponentTest, RegistrationSetsTypeIdentityPerClass)
{
    const std::uint32_t id = RegisterComponentType<BareComp>("bareCOMP");
    EXPECT_EQ(id, HashName("BareComp"));
    BareComp component;
    EXPECT_EQ(component.GetTypeName(), "bareCOMP");
    EXPECT_EQ(component.GetTypeID(), id);
    EXPECT_EQ(enginetest::CounterComp::StaticTypeID(), 0u); // other classes untouched

    Component* made = GobManager::Instance().CreateComponent(id);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetTypeID(), id);
    EXPECT_EQ(made->GetCallTarget(), static_cast<void*>(static_cast<BareComp*>(made)));
    delete made;
}

TEST(ComponentTest, CoreTypesRegisterUnderTheirNames)
{
    RegisterCoreComponentTypes();
    for (const char* name : {"POVComp", "GridComp"})
    {
        SCOPED_TRACE(name);
        Component* component = GobManager::Instance().CreateComponent(HashName(name));
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(component->GetTypeName(), name);
        delete component;
    }
}
