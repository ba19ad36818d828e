// The 2D component and the game's GUI manager: where units are filed and found, the order they
// are collected, updated and offered input in, the depth by name, the scroll lists, the
// component leaving the facade with its object, and the manager's removal queue.
#include "engine/gfx/sprites/Gfx2DComp.h"

#include "GfxTestWorld.h"
#include "common/InputEvent.h"
#include "common/ParamStack.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/gui/CGuiManager.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGuiManager;
using dorvo::gfx::Gfx2DComp;
using dorvo::gfx::IScreenUnit;
using gfxtest::LogUnit;
using Names = std::vector<std::string>;

namespace
{
Names NamesOf(const std::vector<IScreenUnit*>& units)
{
    Names names;
    for (const IScreenUnit* unit : units)
        names.push_back(unit ? unit->GetName() : "(null)");
    return names;
}

Names NamesOf(const Gfx2DComp::ScrollList* list)
{
    return list ? NamesOf(*list) : Names{"(no list)"};
}

// A component with its units made here and owned by the fixture, as a menu owns its own.
class Gfx2DCompTest : public ::testing::Test
{
protected:
    LogUnit* Make(const std::string& name, int depth = 3, bool takesInput = false)
    {
        m_units.push_back(std::make_unique<LogUnit>(name, depth, &log, takesInput));
        return m_units.back().get();
    }
    // A unit for a tree: its parent deletes it.
    LogUnit* MakeChild(const std::string& name, int depth = 3, bool takesInput = false)
    {
        return new LogUnit(name, depth, &log, takesInput);
    }

    std::vector<std::string> log;
    Gfx2DComp comp;
    std::vector<std::unique_ptr<LogUnit>> m_units;
};
} // namespace

TEST_F(Gfx2DCompTest, AUnitGoesUnderAParentFoundDepthFirstAndTakenNamesKeepTheFirst)
{
    LogUnit* panel = Make("Panel");
    ASSERT_TRUE(comp.AddUnit("Panel", panel, ""));
    ASSERT_TRUE(comp.AddUnit("Frame", MakeChild("Frame"), "Panel"));
    ASSERT_TRUE(comp.AddUnit("Base", MakeChild("Base"), "Frame")); // a grandchild of "Panel"
    LogUnit* ok = MakeChild("whatever");
    ASSERT_TRUE(comp.AddUnit("OK", ok, "Base"));
    EXPECT_EQ(ok->GetParent(), comp.FindUnit("Base"));
    EXPECT_EQ(ok->GetName(), "OK") << "filed under the name given";
    EXPECT_EQ(ok->GetOwner(), &comp);
    EXPECT_EQ(comp.FindUnit("OK"), ok);

    LogUnit* second = Make("Panel");
    EXPECT_FALSE(comp.AddUnit("Panel", second, "")) << "the name is taken";
    EXPECT_EQ(comp.FindUnit("Panel"), panel);
    EXPECT_EQ(second->GetOwner(), nullptr);

    LogUnit* orphan = MakeChild("Orphan");
    EXPECT_FALSE(comp.AddUnit("Orphan", orphan, "NoSuchParent"));
    EXPECT_EQ(comp.FindUnit("Orphan"), nullptr);
    delete orphan;
    LogUnit* twin = MakeChild("OK");
    EXPECT_FALSE(comp.AddUnit("OK", twin, "Base")) << "the parent has a child of that name";
    delete twin;

    LogUnit* own = Make("OwnName");
    EXPECT_TRUE(comp.AddUnit(own, ""));
    EXPECT_EQ(comp.FindUnit("OwnName"), own);
    EXPECT_FALSE(comp.AddUnit(nullptr, ""));
    EXPECT_EQ(comp.FindUnit("Nothing"), nullptr);
    EXPECT_TRUE(comp.RemoveUnit("OwnName"));
    EXPECT_FALSE(comp.RemoveUnit("OwnName"));
}

TEST_F(Gfx2DCompTest, TypedLookupsGiveNullForAnotherClass)
{
    auto sprite = std::make_unique<dorvo::gfx::CSprite>();
    auto text = std::make_unique<dorvo::gfx::CTextSprite>();
    ASSERT_TRUE(comp.AddUnit("Sprite", sprite.get(), ""));
    ASSERT_TRUE(comp.AddUnit("Text", text.get(), ""));
    ASSERT_TRUE(comp.AddUnit("Log", Make("Log"), ""));
    EXPECT_EQ(comp.GetSprite("Sprite"), sprite.get());
    EXPECT_EQ(comp.GetSprite("Text"), text.get()) << "a text sprite is a sprite";
    EXPECT_EQ(comp.GetTextSprite("Text"), text.get());
    EXPECT_EQ(comp.GetTextSprite("Sprite"), nullptr);
    EXPECT_EQ(comp.GetSprite("Log"), nullptr);
    EXPECT_EQ(comp.GetSprite("Missing"), nullptr);
}

// Top-level units in name order, each followed by its tree, children in name order.
TEST_F(Gfx2DCompTest, CollectUnitsGivesEachParentThenItsChildrenInNameOrder)
{
    ASSERT_TRUE(comp.AddUnit("parent", Make("parent"), ""));
    ASSERT_TRUE(comp.AddUnit("b", MakeChild("b"), "parent"));
    ASSERT_TRUE(comp.AddUnit("a", MakeChild("a"), "parent"));
    ASSERT_TRUE(comp.AddUnit("b1", MakeChild("b1"), "b"));
    ASSERT_TRUE(comp.AddUnit("another", Make("another"), ""));
    std::vector<IScreenUnit*> units{nullptr};
    comp.CollectUnits(units);
    EXPECT_EQ(NamesOf(units), (Names{"(null)", "another", "parent", "a", "b", "b1"})) << "appended";
}

TEST_F(Gfx2DCompTest, UpdatePassesWholeMillisecondsAndInputStopsAtTheFirstTaker)
{
    ASSERT_TRUE(comp.AddUnit("b", Make("b", 3, true), ""));
    ASSERT_TRUE(comp.AddUnit("a", Make("a"), ""));
    ASSERT_TRUE(comp.AddUnit("c", Make("c", 3, true), ""));
    const std::pair<float, const char*> steps[] = {
        {0.0333f, "33"}, {0.0999f, "99"}, {0.001f, "1"}, {0.0f, "0"}};
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.first);
        log.clear();
        comp.Update(step.first);
        const std::string ms = step.second;
        EXPECT_EQ(log, (Names{"a:update " + ms, "b:update " + ms, "c:update " + ms}));
    }
    log.clear();
    dorvo::input::InputEvent event{57, 1, 0, 0};
    EXPECT_TRUE(comp.HandleInput(&event, 0.033f));
    EXPECT_EQ(log, (Names{"a:input", "b:input"}));
}

TEST_F(Gfx2DCompTest, ScrollListsInsertBeforeANameAppendOtherwiseAndRemoveByName)
{
    LogUnit* one = Make("one");
    LogUnit* two = Make("two");
    LogUnit* three = Make("three");
    LogUnit* user = Make("UserText");
    LogUnit* room = Make("Room");

    EXPECT_EQ(comp.GetScrollList("Rooms"), nullptr);
    comp.EditScrollList(room, "Rooms", "UserText");
    EXPECT_EQ(NamesOf(comp.GetScrollList("Rooms")), Names{}) << "a name and an empty list add nothing";

    comp.EditScrollList(one, "Rooms", "");
    comp.EditScrollList(user, "Rooms", "");
    comp.EditScrollList(room, "Rooms", "UserText");
    EXPECT_EQ(NamesOf(comp.GetScrollList("Rooms")), (Names{"one", "Room", "UserText"})) << "before the name";
    comp.EditScrollList(two, "Rooms", "NoSuchMember");
    EXPECT_EQ(NamesOf(comp.GetScrollList("Rooms")), (Names{"one", "Room", "UserText", "two"})) << "appended";
    comp.EditScrollList(nullptr, "Rooms", "");
    EXPECT_EQ(comp.GetScrollList("Rooms")->size(), 4u) << "no null member";

    comp.RemoveFromScrollList("Rooms", "Room");
    comp.RemoveFromScrollList("Rooms", "NoSuchMember");
    EXPECT_EQ(NamesOf(comp.GetScrollList("Rooms")), (Names{"one", "UserText", "two"}));
    comp.RemoveFromScrollList("Other", "one");
    EXPECT_EQ(NamesOf(comp.GetScrollList("Other")), Names{}) << "made empty";
    comp.EditScrollList(three, "Other", "");
    EXPECT_EQ(NamesOf(comp.GetScrollList("Other")), Names{"three"});
}

TEST_F(Gfx2DCompTest, SavesItsNameOnlyAndReadsNothing)
{
    TiXmlElement parent("Gob");
    ASSERT_TRUE(comp.Serialize(&parent));
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    parent.Accept(&printer);
    EXPECT_EQ(printer.Str(), "<Gob><Component name=\"Gfx2DComp\" /></Gob>");
    EXPECT_FALSE(comp.Serialize(nullptr));
    EXPECT_TRUE(comp.Deserialize(&parent));
    EXPECT_FALSE(comp.Deserialize(nullptr));
}

// On a real object: registered with the facade under the object's id, its depth read and set
// by name (what the message database orders input by), and gone from the facade with the object.
TEST(Gfx2DCompOnAnObject, RegistersAnswersItsDepthByNameAndLeavesWithItsObject)
{
    gfxtest::Load2DTemplate();
    GobManager& manager = GobManager::Instance();
    manager.DestroyAllGobs();
    Gob* gob = manager.CreateGob("Screen2D");
    ASSERT_NE(gob, nullptr);
    auto* comp = static_cast<Gfx2DComp*>(gob->GetComponent(Gfx2DComp::StaticTypeID()));
    ASSERT_NE(comp, nullptr);
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    ASSERT_EQ(gfx.Get2DComps().count(gob->GetID()), 1u);
    EXPECT_EQ(gfx.Get2DComps().at(gob->GetID()), comp);

    ParamStack set;
    set.Push(7);
    gob->CallFunction("SetCompDepth", set, false);
    EXPECT_EQ(comp->GetCompDepth(), 7);
    ParamStack get;
    gob->CallFunction("GetCompDepth", get, false);
    ASSERT_EQ(get.GetCount(), 1u);
    EXPECT_EQ(get.GetTag(0), ParamStack::TAG_Int);
    int depth = 0;
    get.Pop(depth);
    EXPECT_EQ(depth, 7);

    Gfx2DComp lower;
    lower.SetCompDepth(-2);
    EXPECT_TRUE(Gfx2DComp::DepthLess(&lower, comp));
    EXPECT_FALSE(Gfx2DComp::DepthLess(comp, &lower));

    const std::uint32_t id = gob->GetID();
    manager.KillGob(gob);
    manager.ProcessKillList();
    EXPECT_EQ(gfx.Get2DComps().count(id), 0u);
}

TEST(CGuiManager, RemovalsWaitForTheNextUpdateAndTheFrameListHoldsTheTrees)
{
    std::vector<std::string> log;
    CGuiManager gui;
    ASSERT_TRUE(gui.Add("Cursor", std::make_unique<LogUnit>("Cursor", 20, &log)));
    auto hud = std::make_unique<LogUnit>("Hud", 4, &log, true);
    ASSERT_TRUE(hud->AddChild("Score", new LogUnit("Score", 5, &log)));
    ASSERT_TRUE(gui.Add("Hud", std::move(hud)));
    EXPECT_FALSE(gui.Add("Cursor", std::make_unique<LogUnit>("Second", 1, &log)));
    EXPECT_EQ(log, Names{"Second:deleted"}) << "a taken name keeps its unit and the new one goes";
    EXPECT_FALSE(gui.Add("Nothing", nullptr));
    EXPECT_TRUE(gui.GetUnits().empty()) << "filled by Update";

    log.clear();
    gui.Update(33);
    EXPECT_EQ(NamesOf(gui.GetUnits()), (Names{"Cursor", "Hud", "Score"}));
    EXPECT_EQ(log, (Names{"Cursor:update 33", "Hud:update 33", "Score:update 33"}));

    log.clear();
    dorvo::input::InputEvent event{238, 1, 0, 0};
    EXPECT_TRUE(gui.HandleInput(&event, 0.033f));
    EXPECT_EQ(log, (Names{"Cursor:input", "Hud:input"}));

    log.clear();
    gui.OnLostDevice();
    gui.OnResetDevice();
    EXPECT_EQ(log, (Names{"Cursor:lost", "Hud:lost", "Cursor:reset", "Hud:reset"}));

    log.clear();
    gui.QueueRemoval("Hud");
    gui.QueueRemoval("NoSuchUnit");
    EXPECT_NE(gui.Find("Hud"), nullptr) << "not before the update";
    gui.Update(10);
    EXPECT_EQ(log,
              (Names{"Cursor:update 10", "Hud:update 10", "Score:update 10", "Hud:deleted", "Score:deleted"}))
        << "updated once more, then deleted with its tree";
    EXPECT_EQ(gui.Find("Hud"), nullptr);
    EXPECT_EQ(NamesOf(gui.GetUnits()), Names{"Cursor"});
    log.clear();
    gui.Update(10);
    EXPECT_EQ(log, Names{"Cursor:update 10"}) << "the queue was emptied";
}
