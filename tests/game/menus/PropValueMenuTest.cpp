// The property value editor: every value button writes its value to the objects of its kind in
// the selection and leaves the others alone; the rows it shows for each property and object,
// with the current value checked; the time interval stepped within 0 to 180 s and shown in
// "secs"; gravity switches turned to their new direction in the face's plane; objectives reached
// through their end markers, and markers that lead nowhere.
#include "EditorBarsWorld.h"

#include "common/math/MathUtil.h"
#include "game/menus/PropValueMenu.h"
#include "game/nodes/GobIDComp.h"
#include "game/objectives/CGetToLocation.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/IObjective.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/CQUORBData.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include "engine/gfx/gui/CheckButton.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>

using namespace editorbars;
using QUORB::PropValueMenu;

namespace
{
Strings AllValues()
{
    Strings names;
    for (const PropValueMenu::ValueButton& button : PropValueMenu::kButtons)
        names.push_back(button.button);
    return names;
}

QUORB::IWidgetData* DataOf(Gob* gob)
{
    QUORB::WidgetDataComp* comp = QUORB::WidgetDataComp::Of(gob);
    return comp ? comp->GetData() : nullptr;
}

QUORB::IObjective* ObjectiveOf(Gob* gob)
{
    return PropValueMenu::ObjectiveOf(gob);
}

// Everything a value button could change on an object: its widget data or objective as saved,
// its orientation and its scale.
std::string Snapshot(Gob* gob)
{
    TiXmlElement root("Snapshot");
    if (QUORB::IWidgetData* data = DataOf(gob))
        data->Serialize(&root);
    if (QUORB::IObjective* objective = ObjectiveOf(gob))
        objective->Serialize(&root);
    TiXmlPrinter printer;
    root.Accept(&printer);
    const POVComp* pov = GetPOVComp(gob);
    const math::Quaternion q = pov ? pov->GetOrientation() : math::Quaternion();
    const math::Vector3 s = pov ? pov->GetScale() : math::Vector3();
    return printer.Str() + " q " + std::to_string(q.w) + " " + std::to_string(q.x) + " " +
           std::to_string(q.y) + " " + std::to_string(q.z) + " s " + std::to_string(s.x) + " " +
           std::to_string(s.y) + " " + std::to_string(s.z);
}

// The button pressed over a selection of one object, as the editor would write it.
void Press(int index, Gob* gob)
{
    if (DataOf(gob))
        PropValueMenu::ApplyToWidgetData(index, {DataOf(gob)});
    else
        PropValueMenu::ApplyToObjectives(index, ObjectiveOf(gob), {ObjectiveOf(gob)});
}

float ScaleOf(Gob* gob)
{
    return GetPOVComp(gob)->GetScale().x;
}
} // namespace

TEST(PropValueMenu, EveryValueButtonWritesToObjectsOfItsKindAndLeavesTheOthers)
{
    EditorBars bars(true);
    ASSERT_TRUE(bars.Ready());
    using Check = std::function<bool(Gob*)>;
    auto platform = [](Gob* g) { return DataOf(g)->AsPlatformData(); };
    auto star = [](Gob* g) { return DataOf(g)->AsQUORBData(); };
    auto accelerator = [](Gob* g) { return DataOf(g)->AsAcceleratorData(); };
    auto magnet = [](Gob* g) { return DataOf(g)->AsMagnetData(); };
    auto gravity = [](Gob* g) { return DataOf(g)->AsGravitySwitchData(); };
    auto location = [](Gob* g) { return ObjectiveOf(g)->AsGetToLocation(); };
    auto timer = [](Gob* g) { return ObjectiveOf(g)->AsTimeLimit(); };
    auto water = [](Gob* g) { return ObjectiveOf(g)->AsWaterControl(); };
    struct Case
    {
        const char* button;
        const char* from;  // pressed first, so the value written differs from the one before
        const char* kind;  // an object the button writes to
        Check written;     // what it wrote
        const char* other; // an object of another kind, left alone
    };
    const Case cases[] = {
        {"FrictionLowButton", "FrictionHighButton", "Platform",
         [&](Gob* g)
         { return platform(g)->GetStaticFriction() == 0.1f && platform(g)->GetKineticFriction() == 0.05f; },
         "Magnet"},
        {"FrictionMediumButton", "FrictionLowButton", "QUORBBall",
         [&](Gob* g)
         { return star(g)->GetStaticFriction() == 0.5f && star(g)->GetKineticFriction() == 0.45f; },
         "Accelerator"},
        {"FrictionHighButton", "FrictionLowButton", "Platform",
         [&](Gob* g)
         { return platform(g)->GetStaticFriction() == 0.9f && platform(g)->GetKineticFriction() == 0.85f; },
         "GravitySwitch"},
        {"WeightLightButton", "WeightHeavyButton", "Bar",
         [](Gob* g) { return DataOf(g)->GetDensity() == 0.5f; }, "TimerObjective"},
        {"WeightHeavyButton", "WeightLightButton", "Magnet",
         [](Gob* g) { return DataOf(g)->GetDensity() == 1.2f; }, "LocationObjective"},
        {"ChargeNegativeButton", "ChargePositiveButton", "Accelerator",
         [](Gob* g) { return DataOf(g)->GetMagnetism() == 1; }, "TargetObjective"},
        {"ChargeNeutralButton", "ChargeNegativeButton", "QUORBBall",
         [](Gob* g) { return DataOf(g)->GetMagnetism() == 0; }, "WaterObjective"},
        {"ChargePositiveButton", "ChargeNeutralButton", "Platform",
         [](Gob* g) { return DataOf(g)->GetMagnetism() == 2; }, "LocationObjective"},
        {"StrengthLowButton", "StrengthHighButton", "Accelerator",
         [&](Gob* g) { return accelerator(g)->GetSpeedSetting() == 6.0f; }, "Platform"},
        {"StrengthMediumButton", "StrengthLowButton", "Magnet",
         [&](Gob* g) { return magnet(g)->strength == 1.5f; }, "Bar"},
        {"StrengthHighButton", "StrengthLowButton", "Magnet",
         [&](Gob* g) { return magnet(g)->strength == 2.0f; }, "QUORBBall"},
        {"DirectionUpButton", "DirectionDownButton", "GravitySwitch",
         [&](Gob* g) { return gravity(g)->direction.y == 1.0f; }, "Accelerator"},
        {"DirectionDownButton", "DirectionUpButton", "GravitySwitch",
         [&](Gob* g) { return gravity(g)->direction.y == -1.0f; }, "Platform"},
        {"DirectionLeftButton", "DirectionRightButton", "GravitySwitch",
         [&](Gob* g) { return math::FloatEqual(gravity(g)->direction.x, -1.0f); }, "Magnet"},
        {"DirectionRightButton", "DirectionLeftButton", "GravitySwitch",
         [&](Gob* g) { return math::FloatEqual(gravity(g)->direction.x, 1.0f); }, "Bar"},
        {"ScaleFirstButton", "ScaleThirdButton", "LocationObjective",
         [](Gob* g) { return ScaleOf(g) == 3.5f; }, "TimerObjective"},
        {"ScaleSecondButton", "ScaleFirstButton", "TargetObjective",
         [](Gob* g) { return ScaleOf(g) == 3.5f; }, "WaterObjective"},
        {"ScaleThirdButton", "ScaleFirstButton", "LocationObjective",
         [](Gob* g) { return ScaleOf(g) == 6.5f; }, "Platform"},
        {"OneQuorbButton", "MultiQuorbButton", "LocationObjective",
         [&](Gob* g) { return location(g)->GetQuorbCheckType() == 0; }, "TargetObjective"},
        {"MultiQuorbButton", "OneQuorbButton", "LocationObjective",
         [&](Gob* g) { return location(g)->GetQuorbCheckType() == 1; }, "TimerObjective"},
        {"DirectionToggleButton", nullptr, "Accelerator",
         [&](Gob* g) { return accelerator(g)->GetDirectionSign() == -1.0f; }, "GravitySwitch"},
        {"ValueIncrementButton", nullptr, "TimerObjective",
         [&](Gob* g) { return timer(g)->GetTimeInterval() == 5.0f; }, "LocationObjective"},
        {"ValueDecrementButton", nullptr, "WaterObjective",
         [&](Gob* g) { return water(g)->GetTimeInterval() == 0.0f; }, "TargetObjective"},
    };
    ASSERT_EQ(std::size(cases), PropValueMenu::kButtonCount);
    float x = -9.0f;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.button);
        const int index = PropValueMenu::IndexOfButton(c.button);
        ASSERT_GE(index, 0);
        Gob* target = bars.Place(c.kind, Front(x, 6.0f));
        Gob* other = bars.Place(c.other, Front(x, 0.0f));
        x += 0.5f;
        ASSERT_NE(target, nullptr);
        ASSERT_NE(other, nullptr);
        if (c.from)
            Press(PropValueMenu::IndexOfButton(c.from), target);
        if (QUORB::CWaterControl* data =
                ObjectiveOf(target) ? ObjectiveOf(target)->AsWaterControl() : nullptr)
            data->SetTimeInterval(3.0f);
        EXPECT_FALSE(c.written(target)) << "before";
        Press(index, target);
        EXPECT_TRUE(c.written(target));
        const std::string before = Snapshot(other);
        Press(index, other);
        EXPECT_EQ(Snapshot(other), before);
    }
}

TEST(PropValueMenu, AStrengthButtonWritesEachSelectedKindItsOwnValue)
{
    EditorBars bars(false);
    ASSERT_TRUE(bars.Ready());
    Gob* accelerator = bars.Place("Accelerator", Front(-4.0f, 4.0f));
    Gob* magnet = bars.Place("Magnet", Front(4.0f, 4.0f));
    ASSERT_TRUE(accelerator && magnet);
    PropValueMenu::ApplyToWidgetData(PropValueMenu::IndexOfButton("StrengthHighButton"),
                                     {DataOf(accelerator), DataOf(magnet)});
    EXPECT_EQ(DataOf(accelerator)->AsAcceleratorData()->GetSpeedSetting(), 24.0f);
    EXPECT_EQ(DataOf(magnet)->AsMagnetData()->strength, 2.0f);
    // The magnet's field follows its strength.
    const QUORB::GobIDComp* link = QUORB::GobIDComp::Of(magnet);
    Gob* field = link ? link->GetLinkedGob() : nullptr;
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(ScaleOf(field), 2.0f * QUORB::CMagnetData::kFieldDiameterPerStrength);
}

TEST(PropValueMenu, TheRowsOfAPropertyStandFromTheBarsLeftWithTheCurrentValueChecked)
{
    EditorBars bars(false);
    ASSERT_TRUE(bars.Ready());
    Gob* magnet = bars.Place("Magnet", Front(0.0f, 4.0f));
    ASSERT_NE(magnet, nullptr);

    // A magnet always has a charge: no neutral button.
    bars.Select(magnet);
    ASSERT_TRUE(bars.Click(kPropertyBar, "ChargeButton"));
    EXPECT_EQ(bars.World().MenuState(kValueBar), kOpen);
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()), Strings({"ChargeNegativeButton", "ChargePositiveButton"}));
    EXPECT_EQ(bars.X(kValueBar, "ChargeNegativeButton"), 150);
    EXPECT_EQ(bars.X(kValueBar, "ChargePositiveButton"), 200);
    EXPECT_EQ(bars.World().Unit(kValueBar, "ChargePositiveButton").y, 490);
    EXPECT_FALSE(bars.World().Unit(kValueBar, PropValueMenu::kValueBox).visible);

    // A platform of friction 0.5 and density 1.0: medium friction checked, no weight.
    bars.Manipulator().DeleteGob(magnet);
    Gob* platform = bars.Place("Platform", Front(0.0f, 4.0f));
    ASSERT_NE(platform, nullptr);
    DataOf(platform)->AsPlatformData()->SetStaticFriction(0.5f);
    DataOf(platform)->SetDensity(1.0f);
    bars.Select(platform);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed);
    ASSERT_TRUE(bars.Click(kPropertyBar, "ChargeButton"));
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()),
              Strings({"ChargeNegativeButton", "ChargeNeutralButton", "ChargePositiveButton"}));
    EXPECT_EQ(bars.X(kValueBar, "ChargeNeutralButton"), 200);
    EXPECT_EQ(bars.X(kValueBar, "ChargePositiveButton"), 250);
    // Every row's current value is checked; the row shown has its own.
    EXPECT_EQ(
        bars.Checked(kValueBar, {"ChargeNegativeButton", "ChargeNeutralButton", "ChargePositiveButton"}),
        Strings({"ChargeNeutralButton"}));
    ASSERT_TRUE(bars.Click(kPropertyBar, "FrictionButton"));
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()),
              Strings({"FrictionLowButton", "FrictionMediumButton", "FrictionHighButton"}));
    EXPECT_TRUE(bars.World().Unit(kValueBar, "FrictionMediumButton").checked);
    EXPECT_FALSE(bars.World().Unit(kValueBar, "FrictionLowButton").checked);
    ASSERT_TRUE(bars.Click(kPropertyBar, "WeightButton"));
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()), Strings({"WeightLightButton", "WeightHeavyButton"}));
    EXPECT_TRUE(bars.Checked(kValueBar, {"WeightLightButton", "WeightHeavyButton"}).empty());

    // A value chosen by click: written, checked alone in its row, and it stays checked.
    ASSERT_TRUE(bars.Click(kValueBar, "WeightHeavyButton"));
    EXPECT_EQ(DataOf(platform)->GetDensity(), 1.2f);
    ASSERT_TRUE(bars.Click(kValueBar, "WeightLightButton"));
    EXPECT_EQ(DataOf(platform)->GetDensity(), 0.5f);
    EXPECT_EQ(bars.Checked(kValueBar, {"WeightLightButton", "WeightHeavyButton"}),
              Strings({"WeightLightButton"}));
    ASSERT_TRUE(bars.Click(kValueBar, "WeightLightButton"));
    EXPECT_EQ(bars.Checked(kValueBar, {"WeightLightButton", "WeightHeavyButton"}),
              Strings({"WeightLightButton"}));

    // Closed, the row is cleared for the next opening.
    bars.World().Key(57);
    bars.World().RunFor(kSlide);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed);
    EXPECT_TRUE(bars.Checked(kValueBar, AllValues()).empty());
}

TEST(PropValueMenu, TheTimeIntervalStepsByFiveSecondsWithin0To180AndShowsInSecs)
{
    struct Format
    {
        float seconds;
        const char* text;
    };
    for (const Format& f : {Format{180.0f, "180 secs"}, Format{0.0f, "0 secs"}, Format{12.5f, "12.5 secs"},
                            Format{30.0f, "30 secs"}, Format{1234567.0f, "1.23457e+06 secs"}})
        EXPECT_EQ(PropValueMenu::FormatInterval(f.seconds), f.text);

    // Objectives are picked only while puzzles are built; the editor then opens in play, at 150.
    EditorBars bars(true);
    ASSERT_TRUE(bars.Ready());
    Gob* limit = bars.Place("TimerObjective", Front(0.0f, 4.0f));
    ASSERT_NE(limit, nullptr);
    QUORB::CTimeLimit* objective = ObjectiveOf(limit)->AsTimeLimit();
    objective->SetTimeInterval(178.0f);
    bars.Select(limit);
    bars.play.Console("togglecm");
    ASSERT_TRUE(bars.Click(kPropertyBar, "TimerIcon"));
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()), Strings({"ValueIncrementButton", "ValueDecrementButton"}));
    EXPECT_EQ(bars.X(kValueBar, "ValueIncrementButton"), 150);
    EXPECT_EQ(bars.X(kValueBar, "ValueDecrementButton"), 200);
    EXPECT_EQ(bars.X(kValueBar, PropValueMenu::kValueBox), 250) << "right after the step buttons";
    EXPECT_TRUE(bars.World().Unit(kValueBar, PropValueMenu::kValueText).visible);
    EXPECT_EQ(bars.play.Text(kValueBar, PropValueMenu::kValueText), "178 secs");
    EXPECT_EQ(bars.World().Unit(kValueBar, "IncrementIcon.png").tip, "") << "the icon carries no tip";
    EXPECT_EQ(bars.World().Unit(kValueBar, "ValueIncrementButton").tip, "Increment value");

    ASSERT_TRUE(bars.Click(kValueBar, "ValueIncrementButton"));
    EXPECT_EQ(objective->GetTimeInterval(), 180.0f);
    EXPECT_EQ(bars.play.Text(kValueBar, PropValueMenu::kValueText), "180 secs");
    EXPECT_NEAR(objective->GetCountdown().GetTime(), 180.0f, 1e-3f) << "the countdown's duration follows";
    ASSERT_TRUE(bars.Click(kValueBar, "ValueIncrementButton"));
    EXPECT_EQ(objective->GetTimeInterval(), 180.0f);

    objective->SetTimeInterval(3.0f);
    ASSERT_TRUE(bars.Click(kValueBar, "ValueDecrementButton"));
    EXPECT_EQ(objective->GetTimeInterval(), 0.0f);
    EXPECT_EQ(bars.play.Text(kValueBar, PropValueMenu::kValueText), "0 secs");
    EXPECT_TRUE(bars.Checked(kValueBar, AllValues()).empty());
}

TEST(PropValueMenu, DirectionButtonsTurnGravitySwitchesAndTheToggleReversesEveryAccelerator)
{
    EditorBars bars(false);
    ASSERT_TRUE(bars.Ready());
    math::Vector3 normal;
    ASSERT_TRUE(bars.play.Game().GetFocusedFaceNormal(normal));
    ASSERT_TRUE(math::FloatEqual(normal.z, -1.0f)) << "the front face looks down -z";

    Gob* gravity = bars.Place("GravitySwitch", Front(0.0f, 4.0f));
    ASSERT_NE(gravity, nullptr);
    DataOf(gravity)->AsGravitySwitchData()->direction = math::Vector3(0.0f, -1.0f, 0.0f);
    bars.Select(gravity);
    ASSERT_TRUE(bars.Click(kPropertyBar, "DirectionButton"));
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()), Strings({"DirectionUpButton", "DirectionDownButton",
                                                           "DirectionLeftButton", "DirectionRightButton"}));
    EXPECT_EQ(bars.Checked(kValueBar, AllValues()), Strings({"DirectionDownButton"}));
    ASSERT_TRUE(bars.Click(kValueBar, "DirectionRightButton"));
    const math::Vector3 direction = DataOf(gravity)->AsGravitySwitchData()->direction;
    EXPECT_NEAR(direction.x, 1.0f, 1e-6f);
    EXPECT_NEAR(direction.y, 0.0f, 1e-6f);
    EXPECT_NEAR(direction.z, 0.0f, 1e-6f);
    const math::Quaternion expected(math::Vector3(1.0f, 0.0f, 0.0f), math::Vector3(0.0f, 0.0f, 1.0f));
    const math::Quaternion turned = GetPOVComp(gravity)->GetOrientation();
    EXPECT_NEAR(std::abs(turned.w * expected.w + turned.x * expected.x + turned.y * expected.y +
                         turned.z * expected.z),
                1.0f, 1e-5f);

    // The same direction reads as right on the front face and as left on the back face.
    struct Face
    {
        int index;
        const char* checked;
    };
    for (const Face& f : {Face{0, "DirectionRightButton"}, Face{2, "DirectionLeftButton"}})
    {
        SCOPED_TRACE(f.index);
        // Closing clears the row, so each reading starts clean.
        bars.World().Send(kValueBar, MSG_CloseMenu);
        bars.World().RunFor(kSlide);
        ASSERT_EQ(bars.World().MenuState(kValueBar), kClosed);
        bars.play.Game().SetFocusedFace(f.index);
        bars.World().SendInt(kValueBar, MSG_SetCustomData, 4);
        bars.World().Send(kValueBar, MSG_ResetMenu);
        bars.World().Send(kValueBar, MSG_OpenMenuEx);
        EXPECT_EQ(bars.Checked(kValueBar, AllValues()), Strings({f.checked}));
    }
    bars.play.Game().SetFocusedFace(0);
    bars.Manipulator().DeleteGob(gravity);

    // Two accelerators: the toggle reverses both each time; nothing is checked.
    Gob* first = bars.Place("Accelerator", Front(-6.0f, 6.0f));
    Gob* second = bars.Place("Accelerator", Front(6.0f, 6.0f));
    ASSERT_TRUE(first && second);
    bars.Select(first);
    bars.Select(second, true);
    ASSERT_EQ(bars.Manipulator().GetSelectionList(), std::vector<Gob*>{second});
    ASSERT_TRUE(bars.Click(kPropertyBar, "DirectionButton"));
    EXPECT_EQ(bars.Shown(kValueBar, AllValues()), Strings({"DirectionToggleButton"}));
    ASSERT_TRUE(bars.Click(kValueBar, "DirectionToggleButton"));
    EXPECT_EQ(DataOf(first)->AsAcceleratorData()->GetDirectionSign(), -1.0f);
    EXPECT_EQ(DataOf(second)->AsAcceleratorData()->GetDirectionSign(), -1.0f);
    ASSERT_TRUE(bars.Click(kValueBar, "DirectionToggleButton"));
    EXPECT_EQ(DataOf(first)->AsAcceleratorData()->GetDirectionSign(), 1.0f);
    EXPECT_EQ(DataOf(second)->AsAcceleratorData()->GetDirectionSign(), 1.0f);
    EXPECT_EQ(
        dynamic_cast<dorvo::gfx::CheckButton*>(bars.World().FindUnit(kValueBar, "DirectionToggleButton")),
        nullptr)
        << "a plain button: nothing stays checked";
}

TEST(PropValueMenu, WithoutASelectionOrAnObjectiveTheEditorClosesOrDoesNothing)
{
    EditorBars bars(true);
    ASSERT_TRUE(bars.Ready());
    Gob* platform = bars.Place("Platform", Front(-5.0f, 4.0f));
    ASSERT_NE(platform, nullptr);
    bars.Select(platform);
    ASSERT_TRUE(bars.Click(kPropertyBar, "FrictionButton"));
    ASSERT_EQ(bars.World().MenuState(kValueBar), kOpen);

    // A reset without a selection closes the editor.
    bars.Manipulator().DeselectAll();
    ASSERT_EQ(bars.Manipulator().GetSelectedGob(), nullptr);
    bars.World().Send(kValueBar, MSG_OpenMenuEx);
    bars.World().Send(kValueBar, MSG_ResetMenu);
    bars.World().RunFor(kSlide);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed);
    puzzlemenutest::Press(kValueBar, "FrictionLowButton");
    EXPECT_EQ(DataOf(platform)->AsPlatformData()->GetStaticFriction(), 0.5f) << "nothing to write to";

    // A direction for a platform lays nothing out, and the first opening still slides.
    bars.Select(platform);
    bars.World().SendInt(kValueBar, MSG_SetCustomData, 4);
    bars.World().Send(kValueBar, MSG_ResetMenu);
    bars.World().Send(kValueBar, MSG_OpenMenuEx);
    bars.World().RunFor(kSlide);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kOpen);
    EXPECT_TRUE(bars.Shown(kValueBar, AllValues()).empty());

    // A water objective's end marker leads to its objective; one whose objective is gone, or
    // that has no link, leads nowhere and is skipped.
    Gob* water = bars.Place("WaterObjective", Front(4.0f, 4.0f));
    ASSERT_NE(water, nullptr);
    Gob* marker = QUORB::GobIDComp::Of(water)->GetLinkedGob();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetArchetypeName(), "WaterEndObjective");
    EXPECT_EQ(PropValueMenu::ObjectiveOf(marker), ObjectiveOf(water));
    ASSERT_NE(ObjectiveOf(water)->AsWaterControl(), nullptr);
    Gob* loose = GobManager::Instance().CreateGob("WaterEndObjective");
    ASSERT_NE(loose, nullptr);
    QUORB::GobIDComp* looseLink = QUORB::GobIDComp::Of(loose);
    if (looseLink)
        looseLink->SetLinkedID(0);
    EXPECT_EQ(PropValueMenu::ObjectiveOf(loose), nullptr) << "no link";
    if (looseLink)
    {
        Gob* gone = GobManager::Instance().CreateGob("WaterObjective");
        ASSERT_NE(gone, nullptr);
        looseLink->SetLinkedID(gone->GetID());
        GobManager::Instance().KillGob(gone);
        bars.World().Step();
        EXPECT_EQ(PropValueMenu::ObjectiveOf(loose), nullptr) << "the linked object is gone";
    }
    PropValueMenu::ApplyToObjectives(PropValueMenu::IndexOfButton("ValueIncrementButton"),
                                     PropValueMenu::ObjectiveOf(loose), {PropValueMenu::ObjectiveOf(loose)});
}
