#include "engine/GobManager.h"

#include "EngineTestComps.h"
#include "LogCapture.h"
#include "TestSupport.h"

#include "common/ConsoleInterface.h"
#include "engine/ArchetypeGobController.h"
#include "engine/GobComposite.h"
#include "engine/TemplateGobController.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <list>
#include <string>
#include <vector>

using common::ConsoleInterface;
using enginetest::CallbackComp;
using enginetest::CounterComp;
using enginetest::TagComp;
using enginetest::WriteTemplate;

namespace
{
std::vector<std::string> Output()
{
    const std::list<std::string>& lines = ConsoleInterface::Instance().GetOutputLines();
    return std::vector<std::string>(lines.begin(), lines.end());
}

void Type(const std::string& line)
{
    ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
}

// Templates are never unloaded, so each test files its own under names of its own.
class GobManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        enginetest::RegisterTestComponents();
        GobManager::Instance().DestroyAllGobs();
        ConsoleInterface::Instance().ClearOutput();
    }
    void TearDown() override { GobManager::Instance().DestroyAllGobs(); }

    GobManager& manager = GobManager::Instance();
    testsupport::TempWorkDir dir;
};

template <class T> T* Get(Gob* gob)
{
    return gob != nullptr ? static_cast<T*>(gob->GetComponent(T::StaticTypeID())) : nullptr;
}
} // namespace

TEST_F(GobManagerTest, IdsCountUpAndKilledObjectsLiveUntilTheNextFrame)
{
    WriteTemplate("Ids.xml", "IdsType", "IdsTemplate", {"CounterComp"});
    manager.LoadTemplate("Ids.xml");

    Gob* first = manager.CreateGob("IdsType");
    Gob* second = manager.CreateGob("IdsType");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetID(), 1u);
    EXPECT_EQ(second->GetID(), 2u);

    manager.KillGob(first);
    manager.KillGob(first); // queued once, deleted once
    EXPECT_TRUE(first->IsKilled());
    EXPECT_EQ(manager.GetKillListSize(), 1u);
    EXPECT_EQ(manager.GetGob(1), first);
    manager.Update(0.5f);
    EXPECT_EQ(Get<CounterComp>(first)->m_Updates, 1); // still updated until removed
    EXPECT_EQ(Get<CounterComp>(first)->m_LastDt, 0.5f);
    EXPECT_EQ(manager.GetCount(), 2u);

    manager.ProcessKillList();
    EXPECT_EQ(manager.GetGob(1), nullptr);
    EXPECT_EQ(manager.GetCount(), 1u);
    EXPECT_EQ(manager.GetKillListSize(), 0u);

    Gob* third = manager.CreateGob("IdsType");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetID(), 3u); // ids of deleted objects are not handed out again
    manager.KillGobByID(77);       // nothing filed: nothing happens
    EXPECT_EQ(manager.GetKillListSize(), 0u);
}

TEST_F(GobManagerTest, ObjectsKilledWhileTheListIsProcessedWaitForTheNextFrame)
{
    WriteTemplate("Cb.xml", "CbType", "Cb", {"CallbackComp"});
    manager.LoadTemplate("Cb.xml");
    Gob* killer = manager.CreateGob("CbType");
    Gob* victim = manager.CreateGob("CbType");
    Get<CallbackComp>(killer)->m_Victim = victim->GetID();

    manager.KillGob(killer);
    manager.ProcessKillList();
    EXPECT_EQ(manager.GetGob(1), nullptr);
    EXPECT_EQ(manager.GetGob(2), victim);
    EXPECT_TRUE(victim->IsKilled());
    EXPECT_EQ(manager.GetKillListSize(), 1u);
    manager.ProcessKillList();
    EXPECT_EQ(manager.GetCount(), 0u);
}

TEST_F(GobManagerTest, DestroyAllGobsStartsIdsAgainAndSurvivesCallbacks)
{
    WriteTemplate("Destroy.xml", "DestroyType", "Destroy", {"CallbackComp"});
    manager.LoadTemplate("Destroy.xml");
    Gob* a = manager.CreateGob("DestroyType");
    Gob* b = manager.CreateGob("DestroyType");
    Get<CallbackComp>(a)->m_Victim = b->GetID();
    Get<CallbackComp>(b)->m_Victim = a->GetID();
    manager.KillGob(a);

    const int destroyedBefore = CallbackComp::s_Destroyed;
    manager.DestroyAllGobs();
    EXPECT_EQ(CallbackComp::s_Destroyed - destroyedBefore, 2);
    EXPECT_EQ(manager.GetKillListSize(), 0u);
    manager.ProcessKillList(); // nothing left to delete twice

    ConsoleInterface::Instance().ClearOutput();
    EXPECT_EQ(manager.NumberOfGobs(), 0u);
    EXPECT_EQ(Output(), std::vector<std::string>{">There are 0 total game objects."});
    Gob* next = manager.CreateGob("DestroyType");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetID(), 1u);
}

TEST_F(GobManagerTest, UpdateReachesEveryObjectAndSurvivesCreationsDuringThePass)
{
    WriteTemplate("Spawn.xml", "SpawnType", "Spawn", {"CallbackComp", "CounterComp"});
    manager.LoadTemplate("Spawn.xml");
    for (int i = 0; i < 40; ++i)
        Get<CallbackComp>(manager.CreateGob("SpawnType"))->m_SpawnName = "SpawnType";

    manager.Update(1.0f / 30.0f);
    EXPECT_EQ(manager.GetCount(), 80u);
    // Objects created during the pass start updating with the next one.
    EXPECT_EQ(Get<CounterComp>(manager.GetGob(41))->m_Updates, 0);
    EXPECT_EQ(Get<CounterComp>(manager.GetGob(1))->m_Updates, 1);
    manager.Update(1.0f / 30.0f);
    EXPECT_EQ(Get<CounterComp>(manager.GetGob(41))->m_Updates, 1);
}

TEST_F(GobManagerTest, NameIndexKeepsTheFirstHolderOfAName)
{
    WriteTemplate("Names.xml", "NamesType", "Names", {"CounterComp"});
    manager.LoadTemplate("Names.xml");
    Gob* first = manager.CreateGob("NamesType");
    Gob* second = manager.CreateGob("NamesType");
    first->SetName("Twin");
    second->SetName("Twin");
    EXPECT_EQ(manager.GetGobByName("Twin"), first);

    // Deleting the second must not make the first unfindable.
    manager.KillGob(second);
    manager.ProcessKillList();
    EXPECT_EQ(manager.GetGobByName("Twin"), first);

    first->SetName("Single");
    EXPECT_EQ(manager.GetGobByName("Twin"), nullptr);
    EXPECT_EQ(manager.GetGobByName("Single"), first);
    EXPECT_EQ(manager.GetGobByName("single"), nullptr); // names keep their case

    first->SetName("");
    EXPECT_EQ(manager.GetGobByName("Single"), nullptr);
    EXPECT_EQ(manager.GetGobByName(""), nullptr);

    first->SetName("Gone");
    manager.KillGob(first);
    manager.ProcessKillList();
    EXPECT_EQ(manager.GetGobByName("Gone"), nullptr);
}

TEST_F(GobManagerTest, TemplateNamingAnUnregisteredComponentIsDroppedQuietlyOnTheConsole)
{
    WriteTemplate("Unknown.xml", "UnknownType", "Unknown", {"CounterComp", "NoSuchComp"},
                  {{"UnknownArch", "UnknownArch.xml"}});
    testsupport::LogCapture logged;
    manager.LoadTemplate("Unknown.xml");
    const std::string errors = logged.Text();

    EXPECT_EQ(errors,
              "GobManager::LoadTemplate: Unknown.xml: template \"UnknownType\" names the unregistered "
              "component \"NoSuchComp\"; the template is dropped\n");
    EXPECT_TRUE(Output().empty());
    EXPECT_EQ(manager.FindController("UnknownType"), nullptr);
    EXPECT_EQ(manager.FindController("UnknownArch"), nullptr);
    EXPECT_EQ(manager.CreateGob("UnknownType"), nullptr);
    EXPECT_EQ(manager.GetNextID(), 1u);
    EXPECT_EQ(manager.GetCount(), 0u);
}

TEST_F(GobManagerTest, ComponentWithoutCreatorWritesOneConsoleLine)
{
    EXPECT_EQ(manager.CreateComponent(HashName("NeverRegistered")), nullptr);
    EXPECT_EQ(Output(), std::vector<std::string>{">Failed to find the creator of the specified component!"});
}

TEST_F(GobManagerTest, ComponentNamesIgnoreCaseAndTheFirstCreatorStays)
{
    WriteTemplate("Case.xml", "CaseType", "Case", {"counterCOMP", "pOvComp"});
    manager.LoadTemplate("Case.xml");
    Gob* gob = manager.CreateGob("CaseType");
    ASSERT_NE(gob, nullptr);
    EXPECT_NE(Get<CounterComp>(gob), nullptr);
    EXPECT_EQ(Get<CounterComp>(gob)->GetTypeName(), "CounterComp");
    EXPECT_EQ(HashName("povcomp"), HashName("POVComp"));

    // A second creator under a known id is ignored: the object still gets a CounterComp.
    static DefaultCompCreator<TagComp> otherCreator;
    manager.RegisterCreator(CounterComp::StaticTypeID(), &otherCreator);
    Gob* again = manager.CreateGob("CaseType");
    EXPECT_EQ(Get<CounterComp>(again)->GetTypeID(), CounterComp::StaticTypeID());
    EXPECT_EQ(Get<CounterComp>(again)->m_Value, 0u);
}

TEST_F(GobManagerTest, LoadingATemplateTwiceKeepsTheFirstController)
{
    WriteTemplate("Twice.xml", "TwiceType", "Twice", {"CounterComp"}, {{"TwiceArch", "none.xml"}});
    manager.LoadTemplate("Twice.xml");
    GobController* first = manager.FindController("TwiceType");
    GobController* firstArch = manager.FindController("TwiceArch");
    manager.LoadTemplate("Twice.xml");
    EXPECT_EQ(manager.FindController("TwiceType"), first);
    EXPECT_EQ(manager.FindController("TwiceArch"), firstArch);
    Gob* gob = manager.CreateGob("TwiceType");
    EXPECT_EQ(static_cast<GobComposite*>(gob)->GetController(), first);
}

TEST_F(GobManagerTest, UnreadableTemplateFilesAnEmptyTemplateUnderTheEmptyName)
{
    const struct
    {
        const char* file;
        const char* bytes; // null: no file
        const char* line;
    } cases[] = {
        {"DoesNotExist.xml", nullptr, "DoesNotExist.xml: cannot open the file"},
        {"Broken.xml", "<File>\n<Template>\n</File>", "Broken.xml:3: Error reading end tag."},
        {"NoRoot.xml", "<Other><Template/></Other>", "NoRoot.xml: no \"File\" root element"},
        {"Empty.xml", "<File>\n</File>", "Empty.xml:1: the \"File\" element holds no template"},
        {"Cut.xml", "<File>\xC3", "Cut.xml:1: not valid UTF-8"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        if (c.bytes)
        {
            std::FILE* file = std::fopen(c.file, "wb");
            std::fputs(c.bytes, file);
            std::fclose(file);
        }
        testsupport::LogCapture logged;
        manager.LoadTemplate(c.file);
        EXPECT_EQ(logged.Text(), "GobManager::LoadTemplate: " + std::string(c.line) +
                                     "; an empty template is filed under the empty name\n");
    }
    Gob* gob = manager.CreateGob("");
    ASSERT_NE(gob, nullptr);
    EXPECT_EQ(gob->GetTypeName(), "");
    EXPECT_EQ(static_cast<GobComposite*>(gob)->GetComponentCount(), 0u);
}

TEST_F(GobManagerTest, BadListSizesReadAsEmpty)
{
    struct Case
    {
        const char* type;
        const char* size;
    };
    const Case cases[] = {{"NegativeSize", "-3"}, {"HugeSize", "2000000000"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        const std::string file = std::string(c.type) + ".xml";
        WriteTemplate(file, c.type, c.type, {"CounterComp"}, {}, c.size);
        testsupport::LogCapture logged;
        manager.LoadTemplate(file);
        Gob* gob = manager.CreateGob(c.type);
        ASSERT_NE(gob, nullptr);
        EXPECT_EQ(static_cast<GobComposite*>(gob)->GetComponentCount(), 0u);
    }
}

TEST_F(GobManagerTest, ArchetypeIsReadOnceThenBuiltFromItsSnapshot)
{
    WriteTemplate("ArchT.xml", "ArchBase", "ArchTemplate", {"CounterComp", "TagComp"},
                  {{"Runner", "Runner.xml"}, {"Runner", "Other.xml"}});
    {
        std::FILE* file = std::fopen("Runner.xml", "w");
        std::fputs("<File><Gob type=\"whatever\"><string name=\"Name\">Runner1</string>"
                   "<Component name=\"CounterComp\"><uint>7</uint><float>2.5</float><string>fast</string>"
                   "</Component><Component name=\"TagComp\"><string>archetag</string></Component>"
                   "</Gob></File>",
                   file);
        std::fclose(file);
    }
    manager.LoadTemplate("ArchT.xml");
    auto* archetype = static_cast<ArchetypeGobController*>(manager.FindController("Runner"));
    ASSERT_NE(archetype, nullptr);
    EXPECT_EQ(archetype->GetFileName(), "Runner.xml"); // the second entry of that name was skipped
    EXPECT_FALSE(archetype->IsLoaded());

    Gob* first = manager.CreateGob("Runner");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(archetype->IsLoaded());
    EXPECT_EQ(first->GetName(), "Runner1");
    EXPECT_EQ(first->GetTypeName(), "ArchBase");
    EXPECT_EQ(first->GetTemplateName(), "ArchTemplate");
    EXPECT_EQ(first->GetArchetypeName(), "Runner");
    EXPECT_EQ(Get<CounterComp>(first)->m_Value, 7u);
    EXPECT_EQ(Get<CounterComp>(first)->m_Speed, 2.5f);
    EXPECT_EQ(Get<CounterComp>(first)->m_Label, "fast");
    EXPECT_EQ(Get<TagComp>(first)->m_Tag, "archetag");
    EXPECT_EQ(Get<CounterComp>(first)->m_Initializations, 1);
    EXPECT_EQ(manager.GetGobByName("Runner1"), first);

    // The file is not read again, and later changes to the first object do not leak over.
    std::remove("Runner.xml");
    Get<CounterComp>(first)->m_Value = 99;
    Gob* second = manager.CreateGob("Runner");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Get<CounterComp>(second)->m_Value, 7u);
    EXPECT_EQ(Get<TagComp>(second)->m_Tag, "archetag");
    EXPECT_EQ(second->GetName(), "Runner1");
    EXPECT_EQ(manager.GetGobByName("Runner1"), first);

    Gob* plain = manager.CreateGob("ArchBase");
    EXPECT_EQ(plain->GetArchetypeName(), "ArchBase");
    EXPECT_EQ(Get<CounterComp>(plain)->m_Value, 0u);
}

// Archetype file names come from template files: one that leads out of the run folder, or to
// something that is no regular file, is never read; its objects start from the defaults.
TEST_F(GobManagerTest, ArchetypeFilesOutsideTheRunFolderOrNotRegularAreNotRead)
{
    const struct
    {
        const char* archetype;
        const char* file;
        const char* line;
    } cases[] = {
        {"Passwd", "/etc/passwd", "/etc/passwd: the name leaves the run folder"},
        {"Zero", "/dev/zero", "/dev/zero: the name leaves the run folder"},
        {"Up", "../../../../../../etc/hostname",
         "../../../../../../etc/hostname: the name leaves the run folder"},
        {"Linked", "zero.xml", "zero.xml: it is a device, not a regular file"},
    };
    std::filesystem::create_symlink("/dev/zero", "zero.xml");
    std::vector<std::pair<std::string, std::string>> archetypes;
    for (const auto& c : cases)
        archetypes.emplace_back(c.archetype, c.file);
    WriteTemplate("Hostile.xml", "HostileBase", "Hostile", {"CounterComp", "TagComp"}, archetypes);
    manager.LoadTemplate("Hostile.xml");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        testsupport::LogCapture logged;
        Gob* gob = manager.CreateGob(c.archetype);
        const std::string errors = logged.Text();
        ASSERT_NE(gob, nullptr);
        EXPECT_EQ(Get<TagComp>(gob)->m_Tag, "default");
        EXPECT_EQ(errors, "ArchetypeGobController::LoadFile: " + std::string(c.line) +
                              "; the objects of archetype \"" + c.archetype +
                              "\" start from the template's defaults\n");
    }
}

TEST_F(GobManagerTest, MissingArchetypeFileBuildsDefaultObjects)
{
    WriteTemplate("Lost.xml", "LostBase", "Lost", {"CounterComp", "TagComp"}, {{"LostArch", "NoFile.xml"}});
    manager.LoadTemplate("Lost.xml");
    testsupport::LogCapture logged;
    Gob* first = manager.CreateGob("LostArch");
    Gob* second = manager.CreateGob("LostArch");
    const std::string errors = logged.Text();
    EXPECT_EQ(errors,
              "ArchetypeGobController::LoadFile: NoFile.xml: cannot open the file; the objects of archetype "
              "\"LostArch\" start from the template's defaults\n"); // once, not per object
    for (Gob* gob : {first, second})
    {
        ASSERT_NE(gob, nullptr);
        EXPECT_EQ(gob->GetName(), "");
        EXPECT_EQ(Get<TagComp>(gob)->m_Tag, "default");
        EXPECT_EQ(gob->GetArchetypeName(), "LostArch");
    }
    EXPECT_TRUE(Output().empty());
}

TEST_F(GobManagerTest, CreateGobAtPosPlacesThroughThePositionComponent)
{
    WriteTemplate("Placed.xml", "PlacedType", "Placed", {"CounterComp", "POVComp"});
    WriteTemplate("Unplaced.xml", "UnplacedType", "Unplaced", {"CounterComp"});
    manager.LoadTemplate("Placed.xml");
    manager.LoadTemplate("Unplaced.xml");

    Gob* placed = manager.CreateGobAtPos("PlacedType", math::Vector3(1.0f, 2.0f, 3.0f), true);
    ASSERT_NE(placed, nullptr);
    POVComp* pov = GetPOVComp(placed);
    ASSERT_NE(pov, nullptr);
    EXPECT_EQ(pov->GetPosition().x, 1.0f);
    EXPECT_EQ(pov->GetPosition().z, 3.0f);
    EXPECT_EQ(Get<CounterComp>(placed)->GetPOVComponent(), pov); // siblings found at Initialize

    Gob* unplaced = manager.CreateGobAtPos("UnplacedType", math::Vector3(1.0f, 2.0f, 3.0f), false);
    ASSERT_NE(unplaced, nullptr);
    EXPECT_EQ(Get<CounterComp>(unplaced)->GetPOVComponent(), nullptr);
    EXPECT_EQ(manager.CreateGobAtPos("NoSuchTemplate", math::Vector3(), false), nullptr);
    EXPECT_EQ(manager.GetNextID(), 3u);
    EXPECT_TRUE(Output().empty());
}

TEST_F(GobManagerTest, ConsoleCommandsWriteTheirExactLines)
{
    WriteTemplate("Cmd.xml", "CmdType", "Cmd", {"CounterComp", "POVComp"});
    manager.LoadTemplate("Cmd.xml");
    manager.RegisterConsoleCommands();
    const auto& help = ConsoleInterface::Instance().GetHelpTexts();
    EXPECT_EQ(help.at("NumberOfGobs"), "The number of game objects in the world.");
    EXPECT_EQ(help.at("CreateGob"), "Create a game object of the specified type.");
    EXPECT_EQ(help.at("CreateGobAtPos"), "Create a game object of the specified type at the position.");

    struct Case
    {
        std::string line;
        std::vector<std::string> output;
        unsigned count; // objects afterwards
    };
    const Case cases[] = {
        {"NumberOfGobs",
         {">There are 0 total game objects.", ">Function: NumberOfGobs called successfully.",
          ">NumberOfGobs"},
         0},
        {"CreateGob CmdType", {">Function: CreateGob called successfully.", ">CreateGob CmdType"}, 1},
        {"CreateGob NoSuchType", {">Function: CreateGob called successfully.", ">CreateGob NoSuchType"}, 1},
        {"CreateGob 5",
         {">Function: CreateGob parameter list does not match function prototype.", ">CreateGob 5"},
         1},
        {"CreateGobAtPos CmdType (4,5,6) true",
         {">Function: CreateGobAtPos called successfully.", ">CreateGobAtPos CmdType (4,5,6) true"},
         2},
        {"CreateGobAtPos CmdType 4 true",
         {">Function: CreateGobAtPos parameter list does not match function prototype.",
          ">CreateGobAtPos CmdType 4 true"},
         2},
        {"NumberOfGobs 3",
         {">Function: NumberOfGobs parameter list does not match function prototype.", ">NumberOfGobs 3"},
         2},
        {"NumberOfGobs",
         {">There are 2 total game objects.", ">Function: NumberOfGobs called successfully.",
          ">NumberOfGobs"},
         2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        ConsoleInterface::Instance().ClearOutput();
        Type(c.line);
        EXPECT_EQ(Output(), c.output);
        EXPECT_EQ(manager.GetCount(), c.count);
    }
    const POVComp* pov = GetPOVComp(manager.GetGob(2));
    ASSERT_NE(pov, nullptr);
    EXPECT_EQ(pov->GetPosition().y, 5.0f);
}

TEST_F(GobManagerTest, ObjLinesReachAnObjectsFunctionsByIdOrName)
{
    WriteTemplate("Obj.xml", "ObjType", "Obj", {"CounterComp", "TagComp"});
    manager.LoadTemplate("Obj.xml");
    Gob* gob = manager.CreateGob("ObjType");
    gob->SetName("Box");
    CounterComp* counter = Get<CounterComp>(gob);
    TagComp* tag = Get<TagComp>(gob);

    struct Case
    {
        std::string line;
        std::vector<std::string> output;
    };
    const Case cases[] = {
        // A typed 5 is an int; the function takes an unsigned and still matches.
        {"obj 1.SetValue 5", {">Function: SetValue called successfully.", ">obj 1.SetValue 5"}},
        {"obj Box.SetLabel hello", {">Function: SetLabel called successfully.", ">obj Box.SetLabel hello"}},
        {"obj 1.Move (1,2,3) true", {">Function: Move called successfully.", ">obj 1.Move (1,2,3) true"}},
        {"obj 1.SetValue hello",
         {">Function: SetValue parameter list does not match function prototype.", ">obj 1.SetValue hello"}},
        {"obj 1.SetValue -4",
         {">Function: SetValue parameter list does not match function prototype.", ">obj 1.SetValue -4"}},
        {"obj 1.Move (1,2,3)",
         {">Function: Move parameter list does not match function prototype.", ">obj 1.Move (1,2,3)"}},
        // Names are looked up with case; unknown names and objects do nothing and say nothing.
        {"obj 1.setlabel quiet", {">obj 1.setlabel quiet"}},
        {"obj 1.NoSuchFunction", {">obj 1.NoSuchFunction"}},
        {"obj 9.SetValue 6", {">obj 9.SetValue 6"}},
        {"obj box.SetValue 6", {">obj box.SetValue 6"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        ConsoleInterface::Instance().ClearOutput();
        Type(c.line);
        EXPECT_EQ(Output(), c.output);
    }
    EXPECT_EQ(counter->m_Value, 5u);
    EXPECT_EQ(counter->m_Label, "hello");
    EXPECT_EQ(counter->m_Moved.y, 2.0f);
    EXPECT_TRUE(counter->m_MoveFlag);
    // "setvalue" of TagComp collides with CounterComp's "SetValue" in the registry, which ignores
    // case: it is not filed, so the name cannot reach CounterComp's member with a TagComp.
    ConsoleInterface::Instance().ClearOutput();
    Type("obj 1.setvalue 3");
    EXPECT_EQ(Output(), std::vector<std::string>{">obj 1.setvalue 3"});
    EXPECT_EQ(tag->m_SetValueCalls, 0);
    EXPECT_EQ(counter->m_Value, 5u);

    ParamStack params;
    gob->CallFunction("GetValue", params, false);
    unsigned value = 0;
    ASSERT_EQ(params.GetTag(0), ParamStack::TAG_UInt);
    params.Pop(value);
    EXPECT_EQ(value, 5u);
}
