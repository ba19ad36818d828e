#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "engine/gfx/terrain/GfxClothComp.h"
#include "engine/gfx/terrain/GfxTerrainComp.h"
#include "engine/gfx/water/GfxWaterComp.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include "engine/ArchetypeGobController.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobComposite.h"
#include "engine/GobManager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <tinyxml.h>

using namespace dorvo::gfx;

namespace
{
// Stand-ins for the engine's and the state machines' components the game's templates name:
// they keep what they read, so archetype snapshots stay aligned.
template <int N> class KeepComp : public ComponentBase<KeepComp<N>>
{
public:
    std::unique_ptr<TiXmlElement> m_pRead;
    bool Serialize(TiXmlNode* parent) override
    {
        if (parent == nullptr || parent->ToElement() == nullptr)
            return false;
        TiXmlElement element = m_pRead ? *m_pRead : TiXmlElement("Component");
        element.SetAttribute("name", this->GetTypeName());
        return parent->InsertEndChild(element) != nullptr;
    }
    bool Deserialize(const TiXmlNode* node) override
    {
        if (node == nullptr || node->ToElement() == nullptr)
            return false;
        m_pRead = std::make_unique<TiXmlElement>(*node->ToElement());
        return true;
    }
};

class GfxComponentCreatorsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CDorvoGfx::Instance().RegisterComponentCreators();
        RegisterComponentType<KeepComp<0>>("POVComp");
        RegisterComponentType<KeepComp<1>>("StateMachineComponent");
        manager.DestroyAllGobs();
    }
    void TearDown() override { manager.DestroyAllGobs(); }

    GobManager& manager = GobManager::Instance();
};
} // namespace

TEST_F(GfxComponentCreatorsTest, EveryGraphicsNameHasACreator)
{
    const char* names[] = {"GfxModelComp", "GfxWaterComp", "GfxTerrainComp", "Gfx2DComp", "GfxClothComp"};
    for (const char* name : names)
    {
        SCOPED_TRACE(name);
        Component* component = manager.CreateComponent(HashName(name));
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(component->GetTypeName(), name);
        delete component;
    }
    EXPECT_EQ(GfxModelComp::StaticTypeID(), HashName("gfxmodelcomp"))
        << "the model component is the real one";
    EXPECT_EQ(Gfx2DComp::StaticTypeID(), HashName("Gfx2DComp")) << "the 2D component is the real one";
    EXPECT_EQ(GfxTerrainComp::StaticTypeID(), HashName("GfxTerrainComp"))
        << "the terrain component is the real one";
    EXPECT_EQ(GfxClothComp::StaticTypeID(), HashName("GfxClothComp"))
        << "the cloth component is the real one";
    EXPECT_EQ(GfxWaterComp::StaticTypeID(), HashName("GfxWaterComp"))
        << "the water component is the real one";
}

TEST_F(GfxComponentCreatorsTest, GameTemplatesLoadAndBuildTheMenuArchetype)
{
    // The templates name their archetypes below the run folder ("files/xmlfiles/..."), as the
    // build lays them out there.
    testsupport::TempWorkDir dir;
    std::filesystem::create_directories("files");
    std::filesystem::copy(testsupport::RepoPath("data/files/xmlfiles"), "files/xmlfiles",
                          std::filesystem::copy_options::recursive);
    testsupport::LogCapture logged;
    for (const char* file : {"2DObjectTemplate.xml", "RoomTemplate.xml", "WidgetManipulatorTemplate.xml"})
        manager.LoadTemplate(std::string("files/xmlfiles/") + file);
    Gob* menu = manager.CreateGob("2DArchetype");
    Gob* console = manager.CreateGob("2DArchetype");
    Gob* room = manager.CreateGob("Room");
    Gob* manipulator = manager.CreateGob("Manipulator");
    // This world's stand-in position component is no POVComp, which the room's model says once.
    const std::string err = logged.Text();
    EXPECT_EQ(err.find("dropped"), std::string::npos) << err;
    EXPECT_EQ(err.find("cannot open"), std::string::npos) << err;

    for (Gob* gob : {menu, console, room, manipulator})
        ASSERT_NE(gob, nullptr);
    EXPECT_EQ(menu->GetTypeName(), "2DObject");
    EXPECT_EQ(menu->GetArchetypeName(), "2DArchetype");
    EXPECT_NE(menu->GetComponent(Gfx2DComp::StaticTypeID()), nullptr);
    EXPECT_NE(room->GetComponent(GfxModelComp::StaticTypeID()), nullptr);
    EXPECT_NE(manipulator->GetComponent(KeepComp<1>::StaticTypeID()), nullptr);

    // Both menus start from the archetype file's position component, the second from the snapshot.
    for (Gob* gob : {menu, console})
    {
        auto* pov = static_cast<KeepComp<0>*>(gob->GetComponent(KeepComp<0>::StaticTypeID()));
        ASSERT_NE(pov, nullptr);
        ASSERT_TRUE(pov->m_pRead);
        const TiXmlElement* first = pov->m_pRead->FirstChildElement();
        ASSERT_NE(first, nullptr);
        EXPECT_STREQ(first->Attribute("name"), "Position");
    }
}
