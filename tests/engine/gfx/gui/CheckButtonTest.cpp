#include "engine/gfx/gui/CheckButton.h"

#include "ControlTestKit.h"
#include "TestSupport.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using dorvo::gfx::CheckButton;
using dorvo::gfx::Gfx2DComp;
using dorvo::gfx::SpriteAnimation;
using namespace controltest;

namespace
{
std::unique_ptr<CheckButton> MakeCheck(const std::string& name, Counts& clicks, Counts& unchecks,
                                       Pointer* pointer = nullptr)
{
    const int position[2] = {0, 0};
    const SpriteAnimation pressed = Record(11, 10), over = Record(12, 10), checkedOver = Record(14, 10);
    return std::make_unique<CheckButton>("", name, Record(10, 10), position, nullptr, &pressed, &over,
                                         nullptr, &checkedOver, new CountingPress(clicks),
                                         new CountingPress(unchecks),
                                         pointer ? new SteeredHitTest(*pointer) : nullptr);
}

// A click callback that keeps its group to one checked member, as the menus' do.
class RadioClick : public dorvo::gfx::ButtonPressedFunct
{
public:
    RadioClick(Gfx2DComp& comp, std::string name) : m_comp(comp), m_name(std::move(name)) {}
    void operator()() override { m_comp.UncheckOthersInGroup(m_name, true); }

private:
    Gfx2DComp& m_comp;
    std::string m_name;
};
} // namespace

TEST(CheckButton, ClickChecksAndUnchecksOnlyWhenAllowed)
{
    Counts clicks, unchecks;
    std::unique_ptr<CheckButton> box = MakeCheck("Sound", clicks, unchecks);
    EXPECT_EQ(box->GetName(), "Sound");
    box->OnClick();
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(clicks.calls, 1);
    box->OnClick();
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(unchecks.calls, 1);

    box->SetMayUncheck(false);
    box->OnClick();
    box->OnClick();
    EXPECT_TRUE(box->IsChecked()) << "without may-uncheck a second click changes nothing";
    EXPECT_EQ(clicks.calls, 2);
    EXPECT_EQ(unchecks.calls, 1);

    box->Uncheck();
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(unchecks.calls, 2);
    box->Uncheck();
    EXPECT_EQ(unchecks.calls, 2) << "an unchecked box has nothing to uncheck";
}

TEST(CheckButton, TheAnimationShownPerState)
{
    Counts clicks, unchecks;
    Pointer pointer;
    std::unique_ptr<CheckButton> box = MakeCheck("Box", clicks, unchecks, &pointer);
    struct Case
    {
        const char* name;
        bool checked, inside;
        int width;
    };
    const Case cases[] = {
        {"unchecked", false, false, 10},
        {"unchecked, over", false, true, 12},
        {"checked", true, false, 11},
        {"checked, over", true, true, 14},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        box->SetChecked(c.checked);
        pointer.inside = c.inside;
        box->Update(33);
        box->UpdateAnimation();
        EXPECT_EQ(box->GetCurrentAnimation()->frameWidth, c.width);
    }
}

TEST(Gfx2DCompRadioGroups, AGroupKeepsOneMemberChecked)
{
    Gfx2DComp comp;
    Counts clicks[3], unchecks[3];
    std::vector<std::unique_ptr<CheckButton>> boxes;
    const char* const names[3] = {"Easy", "Normal", "Hard"};
    for (int i = 0; i < 3; ++i)
    {
        boxes.push_back(MakeCheck(names[i], clicks[i], unchecks[i]));
        boxes.back()->SetButtonPressedFunct(new RadioClick(comp, names[i]));
    }
    // Both forms of joining; a unit that is not a check button is refused.
    comp.AddToGroup("Level", boxes[0].get());
    comp.AddToGroup(boxes[1].get(), "Level");
    comp.AddToGroup("Level", boxes[2].get());
    comp.AddToGroup("Level", boxes[2].get());
    dorvo::gfx::CTextSprite label;
    {
        testsupport::AssertCapture asserts;
        comp.AddToGroup(&label, "Level");
        EXPECT_EQ(asserts.Reports().size(), 1u);
    }
    ASSERT_NE(comp.GetRadioGroup("Level"), nullptr);
    EXPECT_EQ(comp.GetRadioGroup("Level")->size(), 3u);

    // A lone box in another group stays as it is.
    Counts otherClicks, otherUnchecks;
    std::unique_ptr<CheckButton> other = MakeCheck("Music", otherClicks, otherUnchecks);
    comp.AddToGroup("Sound", other.get());
    other->OnClick();

    boxes[0]->OnClick();
    boxes[2]->OnClick();
    EXPECT_FALSE(boxes[0]->IsChecked());
    EXPECT_FALSE(boxes[1]->IsChecked());
    EXPECT_TRUE(boxes[2]->IsChecked());
    EXPECT_EQ(unchecks[0].calls, 1);
    EXPECT_EQ(unchecks[1].calls, 0);
    boxes[1]->OnClick();
    EXPECT_TRUE(boxes[1]->IsChecked());
    EXPECT_FALSE(boxes[2]->IsChecked());
    EXPECT_TRUE(other->IsChecked());

    // An unknown name unchecks nothing.
    comp.UncheckOthersInGroup("Nobody");
    EXPECT_TRUE(boxes[1]->IsChecked());
    EXPECT_TRUE(other->IsChecked());
}

TEST(Gfx2DCompRadioGroups, GetButtonFindsButtonsOnly)
{
    Gfx2DComp comp;
    Counts clicks, unchecks;
    std::unique_ptr<CheckButton> box = MakeCheck("Box", clicks, unchecks);
    auto label = std::make_unique<dorvo::gfx::CTextSprite>();
    ASSERT_TRUE(comp.AddUnit("Box", box.get(), ""));
    ASSERT_TRUE(comp.AddUnit("Label", label.get(), ""));
    EXPECT_EQ(comp.GetButton("Box"), box.get());
    EXPECT_EQ(comp.GetButton("Label"), nullptr);
    EXPECT_EQ(comp.GetButton("Missing"), nullptr);
}
