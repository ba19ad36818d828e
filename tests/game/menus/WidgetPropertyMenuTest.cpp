// The widget property bar: the property codes of every archetype and objective, the archetype
// deciding before the star objects' template; driven by the manipulator's selection as the player
// picks objects on the front face, the property buttons of each kind of object, packed from the bar's left
// edge (150 in play, 0 while building puzzles); a property button sends its code to the value editor and
// opens it only when it is closed; squash and destruction objectives lay nothing out.
#include "EditorBarsWorld.h"

#include "engine/GobManager.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/menus/WidgetPropertyMenu.h"
#include "game/nodes/GobIDComp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

using namespace editorbars;

namespace
{
Strings AllProperties()
{
    Strings names;
    for (const QUORB::WidgetPropertyMenu::Property& property : QUORB::WidgetPropertyMenu::kProperties)
        names.push_back(property.button);
    return names;
}

Strings ShownProperties(const EditorBars& bars)
{
    return bars.Shown(kPropertyBar, AllProperties());
}

// The value editor's requests, as "SetCustomData 7", "Reset", "OpenEx", "Close".
Strings EditorRequests(const EditorBars& bars)
{
    Strings heard;
    for (const gametest::MenuMessage& message : bars.World().MessagesTo(kValueBar))
        switch (message.name)
        {
        case MSG_SetCustomData:
            heard.push_back("SetCustomData " + std::to_string(message.data.GetInt()));
            break;
        case MSG_ResetMenu:
            heard.push_back("Reset");
            break;
        case MSG_OpenMenuEx:
            heard.push_back("OpenEx");
            break;
        case MSG_CloseMenu:
            heard.push_back("Close");
            break;
        default:
            break;
        }
    return heard;
}

// An object with only the two names the property bar reads, for pairs no data file makes.
class NamedGob : public Gob
{
public:
    NamedGob(std::string archetype, std::string templateName)
        : m_archetype(std::move(archetype)), m_template(std::move(templateName))
    {
    }
    void CallFunction(const std::string&, ParamStack&, bool) override {}
    bool Serialize(TiXmlNode*) override { return false; }
    bool Deserialize(const TiXmlNode*) override { return false; }
    void Init() override {}
    const std::string& GetTypeName() const override { return m_template; }
    const std::string& GetTemplateName() const override { return m_template; }
    const std::string& GetName() const override { return m_name; }
    const std::string& GetArchetypeName() const override { return m_archetype; }
    void SetTypeName(const std::string&) override {}
    void SetName(const std::string&) override {}
    std::uint32_t GetID() const override { return 0; }
    void Update(float) override {}
    bool IsKilled() const override { return false; }
    void Kill() override {}
    const Component* GetComponent(std::uint32_t) const override { return nullptr; }
    Component* GetComponent(std::uint32_t) override { return nullptr; }
    bool GetFunctionSignature(const std::string&, std::uint64_t*) const override { return false; }

private:
    std::string m_archetype;
    std::string m_template;
    std::string m_name;
};

// The codes the bar lays out for an object; "skipped" when it lays nothing out.
std::string Codes(const Gob& gob)
{
    std::vector<int> codes;
    if (!QUORB::WidgetPropertyMenu::CodesFor(gob, codes))
        return "skipped";
    std::string text;
    for (int code : codes)
        text += (text.empty() ? "" : " ") + std::to_string(code);
    return text;
}
} // namespace

// Codes: 0 friction, 1 weight, 2 charge, 3 strength, 4 direction, 5 scale, 6 number of star
// objects, 7 time interval.
TEST(WidgetPropertyMenu, TheCodesOfEveryArchetypeAndObjectiveByArchetypeThenTemplate)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    struct Case
    {
        const char* name; // made as the game makes it
        const char* codes;
    };
    const Case cases[] = {
        {"Platform", "0 1 2"},
        {"Bar", "1 2"},
        {"BarAlt", "1 2"},
        {"GravitySwitch", "4"},
        {"Magnet", "2 3"},
        {"Accelerator", "2 3 4"},
        {"QUORBBall", "0 1 2"},
        {"QUORBBox", "0 1 2"},
        {"QUORB", "0 1 2"}, // the star objects' template itself
        {"LocationObjective", "5 6"},
        {"TargetObjective", "5"},
        {"SquashObjective", "skipped"},
        {"DestructionObjective", "skipped"},
        {"WaterObjective", "7"},
        {"WaterEndObjective", "7"},
        {"TimerObjective", "7"},
        {"HardNode", "skipped"},
        {"QUORBChargeField", "skipped"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Gob* gob = GobManager::Instance().CreateGob(c.name);
        ASSERT_NE(gob, nullptr);
        EXPECT_EQ(Codes(*gob), c.codes);
    }

    // The first match decides: a widget's archetype comes before the star objects' template, and
    // that template before the objectives' archetypes.
    EXPECT_EQ(Codes(NamedGob("Magnet", "QUORB")), "2 3");
    EXPECT_EQ(Codes(NamedGob("LocationObjective", "QUORB")), "0 1 2");
    EXPECT_EQ(Codes(NamedGob("SquashObjective", "QUORB")), "0 1 2");
}

TEST(WidgetPropertyMenu, EachKindOfObjectShowsItsOwnProperties)
{
    EditorBars bars(true);
    ASSERT_TRUE(bars.Ready());
    struct Case
    {
        const char* type;
        Strings shown;
    };
    const Case cases[] = {
        {"Platform", {"FrictionButton", "WeightButton", "ChargeButton"}},
        {"Bar", {"WeightButton", "ChargeButton"}},
        {"GravitySwitch", {"DirectionButton"}},
        {"Magnet", {"ChargeButton", "StrengthButton"}},
        {"Accelerator", {"ChargeButton", "StrengthButton", "DirectionButton"}},
        {"QUORBBall", {"FrictionButton", "WeightButton", "ChargeButton"}},
        {"LocationObjective", {"ScaleButton", "NumQuorbIcon"}},
        {"TargetObjective", {"ScaleButton"}},
        {"TimerObjective", {"TimerIcon"}},
        {"WaterObjective", {"TimerIcon"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        // One at a time in the middle of the face, so no other object's bounds are picked.
        Gob* gob = bars.Place(c.type, Front(0.0f, 4.0f));
        ASSERT_NE(gob, nullptr);
        bars.Select(gob);
        // A water objective's end marker starts where the objective is, and is picked first; it
        // edits the objective's interval as well.
        const Gob* selected = bars.Manipulator().GetSelectedGob();
        const QUORB::GobIDComp* link = QUORB::GobIDComp::Of(gob);
        if (std::string(c.type) != "WaterObjective" || !link || selected != link->GetLinkedGob())
        {
            ASSERT_EQ(selected, gob) << (selected ? selected->GetArchetypeName() : std::string("nothing"));
        }
        EXPECT_EQ(bars.World().MenuState(kPropertyBar), kOpen);
        EXPECT_EQ(ShownProperties(bars), c.shown);
        // Packed from the left edge of the screen while building puzzles.
        for (std::size_t i = 0; i < c.shown.size(); ++i)
        {
            EXPECT_EQ(bars.X(kPropertyBar, c.shown[i]), static_cast<int>(50 * i)) << c.shown[i];
            EXPECT_EQ(bars.World().Unit(kPropertyBar, c.shown[i]).y, 525);
        }
        bars.Manipulator().DeleteGob(gob);
        bars.World().Step();
    }
}

TEST(WidgetPropertyMenu, AnAcceleratorsButtonsStandAt150200And250WithTheChargeButtonTheReference)
{
    EditorBars bars(false);
    ASSERT_TRUE(bars.Ready());
    Gob* accelerator = bars.Place("Accelerator", Front(0.0f, 4.0f));
    ASSERT_NE(accelerator, nullptr);
    bars.Select(accelerator);
    EXPECT_EQ(ShownProperties(bars), Strings({"ChargeButton", "StrengthButton", "DirectionButton"}));
    EXPECT_EQ(bars.X(kPropertyBar, "ChargeButton"), 150);
    EXPECT_EQ(bars.X(kPropertyBar, "StrengthButton"), 200);
    EXPECT_EQ(bars.X(kPropertyBar, "DirectionButton"), 250);
    QUORB::BaseMenu* bar = MenuMachine(kPropertyBar);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetRefSprite(), bars.World().FindUnit(kPropertyBar, "ChargeButton"));
    EXPECT_EQ(bars.World().Unit(kPropertyBar, "StrengthButton").tip, "Strength");
    EXPECT_TRUE(bars.World().Unit(kPropertyBar, "StrengthIcon").visible);

    // Dropped with Space: the bar slides out and unchecks its buttons.
    ASSERT_TRUE(bars.Click(kPropertyBar, "StrengthButton"));
    EXPECT_TRUE(bars.World().Unit(kPropertyBar, "StrengthButton").checked);
    bars.World().Key(57);
    bars.World().RunFor(kSlide);
    EXPECT_EQ(bars.World().MenuState(kPropertyBar), kClosed);
    EXPECT_FALSE(bars.World().Unit(kPropertyBar, "StrengthButton").checked);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed);
}

TEST(WidgetPropertyMenu, APropertyButtonSendsItsCodeAndOpensTheValueEditorOnlyWhenItIsClosed)
{
    EditorBars bars(true);
    ASSERT_TRUE(bars.Ready());
    Gob* location = bars.Place("LocationObjective", Front(0.0f, 4.0f));
    ASSERT_NE(location, nullptr);
    bars.Select(location);
    bars.World().ClearMessages();
    ASSERT_TRUE(bars.Click(kPropertyBar, "ScaleButton"));
    EXPECT_EQ(EditorRequests(bars), Strings({"SetCustomData 5", "Reset", "OpenEx"}));
    EXPECT_EQ(bars.World().MenuState(kValueBar), kOpen);

    // Another property while the editor is open only switches it.
    bars.World().ClearMessages();
    ASSERT_TRUE(bars.Click(kPropertyBar, "NumQuorbIcon"));
    EXPECT_EQ(EditorRequests(bars), Strings({"SetCustomData 6", "Reset"}));
    EXPECT_EQ(bars.Checked(kPropertyBar, AllProperties()), Strings({"NumQuorbIcon"}));

    // A checked property button stays checked and sends nothing.
    bars.World().ClearMessages();
    ASSERT_TRUE(bars.Click(kPropertyBar, "NumQuorbIcon"));
    EXPECT_EQ(bars.Checked(kPropertyBar, AllProperties()), Strings({"NumQuorbIcon"}));
    EXPECT_TRUE(bars.World().MessagesTo(kPropertyBar, MSG_ButtonPressed).empty());
    EXPECT_TRUE(EditorRequests(bars).empty());

    // A time-limit objective: "TimerIcon" sends 7 and opens the closed editor.
    bars.Manipulator().DeleteGob(location);
    Gob* limit = bars.Place("TimerObjective", Front(0.0f, 4.0f));
    ASSERT_NE(limit, nullptr);
    bars.Select(limit);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed) << "a new selection closes the editor";
    bars.World().ClearMessages();
    ASSERT_TRUE(bars.Click(kPropertyBar, "TimerIcon"));
    EXPECT_EQ(EditorRequests(bars), Strings({"SetCustomData 7", "Reset", "OpenEx"}));
    EXPECT_EQ(bars.World().MenuState(kValueBar), kOpen);

    // Its row: the two step buttons from the left edge, the box after them with the interval.
    EXPECT_EQ(bars.Shown(kValueBar, {"ValueIncrementButton", "ValueDecrementButton", "ValueTextBackground"}),
              Strings({"ValueIncrementButton", "ValueDecrementButton", "ValueTextBackground"}));
    EXPECT_EQ(bars.X(kValueBar, "ValueIncrementButton"), 0);
    EXPECT_EQ(bars.X(kValueBar, "ValueDecrementButton"), 50);
    EXPECT_EQ(bars.X(kValueBar, "ValueTextBackground"), 100);
    EXPECT_EQ(bars.play.Text(kValueBar, "ValueText"), "0 secs");
    ASSERT_TRUE(bars.Click(kValueBar, "ValueIncrementButton"));
    EXPECT_EQ(bars.play.Text(kValueBar, "ValueText"), "5 secs");
}

TEST(WidgetPropertyMenu, ASquashObjectiveLaysNothingOutButStillClosesTheValueEditor)
{
    EditorBars bars(true);
    ASSERT_TRUE(bars.Ready());
    Gob* squash = bars.Place("SquashObjective", Front(4.0f, 4.0f));
    Gob* platform = bars.Place("Platform", Front(-4.0f, 4.0f));
    ASSERT_NE(squash, nullptr);
    ASSERT_NE(platform, nullptr);

    // Selected first, with nothing laid out before: the bar opens empty.
    bars.Select(squash);
    EXPECT_EQ(bars.World().MenuState(kPropertyBar), kOpen);
    EXPECT_TRUE(ShownProperties(bars).empty());

    bars.Select(platform);
    EXPECT_EQ(ShownProperties(bars), Strings({"FrictionButton", "WeightButton", "ChargeButton"}));
    ASSERT_TRUE(bars.Click(kPropertyBar, "FrictionButton"));
    EXPECT_EQ(bars.World().MenuState(kValueBar), kOpen);

    // The squash objective again: the platform's buttons stay, the editor and the checks go.
    bars.World().ClearMessages();
    bars.Select(squash);
    EXPECT_EQ(ShownProperties(bars), Strings({"FrictionButton", "WeightButton", "ChargeButton"}));
    EXPECT_TRUE(bars.Checked(kPropertyBar, AllProperties()).empty());
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed);

    // Its own reset closes the editor too, when the same object is picked again.
    puzzlemenutest::Press(kPropertyBar, "FrictionButton");
    bars.World().RunFor(kSlide);
    ASSERT_EQ(bars.World().MenuState(kValueBar), kOpen);
    bars.Select(squash);
    EXPECT_EQ(bars.World().MenuState(kValueBar), kClosed);
}
