#include "game/menus/PropValueMenu.h"

#include "common/math/MathUtil.h"
#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/menus/ButtonRow.h"
#include "game/menus/EditorBarUnits.h"
#include "game/menus/EditorMenuCalls.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/menus/PuzzleMenuCalls.h"
#include "game/nodes/GobIDComp.h"
#include "game/objectives/CGetToLocation.h"
#include "game/objectives/CTarget.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/CQUORBData.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <algorithm>
#include <memory>
#include <sstream>

namespace QUORB
{
const PropValueMenu::ValueButton PropValueMenu::kButtons[kButtonCount] = {
    {"FrictionLowButton", "hud/StrengthLowIcon.png", "FrictionLowIcon", "Low friction"},
    {"FrictionMediumButton", "hud/StrengthMediumIcon.png", "FrictionMediumIcon", "Medium friction"},
    {"FrictionHighButton", "hud/StrengthHighIcon.png", "FrictionHighIcon", "High friction"},
    {"WeightLightButton", "hud/WeightLightIcon.png", "WeightLightIcon", "Light"},
    {"WeightHeavyButton", "hud/WeightHeavyIcon.png", "WeightHeavyIcon", "Heavy"},
    {"ChargeNegativeButton", "hud/ChargeNegativeIcon.png", "ChargeNegativeIcon", "Negative charge"},
    {"ChargeNeutralButton", "hud/ChargeNeutralIcon.png", "ChargeNeutralIcon", "Neutral charge"},
    {"ChargePositiveButton", "hud/ChargePositiveIcon.png", "ChargePositiveIcon", "Positive charge"},
    {"StrengthLowButton", "hud/StrengthLowIcon.png", "StrengthLowIcon", "Weak"},
    {"StrengthMediumButton", "hud/StrengthMediumIcon.png", "StrengthMediumIcon", "Medium"},
    {"StrengthHighButton", "hud/StrengthHighIcon.png", "StrengthHighIcon", "Strong"},
    {"DirectionUpButton", "hud/DirectionUpIcon.png", "DirectionUpIcon", "Up"},
    {"DirectionDownButton", "hud/DirectionDownIcon.png", "DirectionDownIcon", "Down"},
    {"DirectionLeftButton", "hud/DirectionLeftIcon.png", "DirectionLeftIcon", "Left"},
    {"DirectionRightButton", "hud/DirectionRightIcon.png", "DirectionRightIcon", "Right"},
    {"ScaleFirstButton", "hud/ScaleFirstIcon.png", "ScaleFirstIcon", "Normal size"},
    {"ScaleSecondButton", "hud/ScaleSecondIcon.png", "ScaleSecondIcon", "Big size"},
    {"ScaleThirdButton", "hud/ScaleThirdIcon.png", "ScaleThirdIcon", "Huge size"},
    {"OneQuorbButton", "hud/OneQuorbIcon.png", "OneQuorbIcon", "One QUORB only"},
    {"MultiQuorbButton", "hud/MultiQuorbIcon.png", "MultiQuorbIcon", "Multiple QUORB"},
    {"DirectionToggleButton", "hud/DirectionToggleIcon.png", "DirectionToggleIcon", "Toggle direction"},
    {"ValueIncrementButton", "hud/IncrementIcon.png", "IncrementIcon.png", "Increment value"},
    {"ValueDecrementButton", "hud/DecrementIcon.png", "DecrementIcon.png", "Decrement value"},
};
const char* const PropValueMenu::kGroup = "WidgetProp";
const char* const PropValueMenu::kValueBox = "ValueTextBackground";
const char* const PropValueMenu::kValueText = "ValueText";

namespace
{
// The value buttons by index.
enum : int
{
    kFrictionLow = 0,
    kFrictionHigh = 2,
    kWeightLight = 3,
    kWeightHeavy = 4,
    kChargeNegative = 5,
    kChargeNeutral = 6,
    kChargePositive = 7,
    kStrengthLow = 8,
    kStrengthHigh = 10,
    kDirectionUp = 11,
    kDirectionDown = 12,
    kDirectionLeft = 13,
    kDirectionRight = 14,
    kScaleFirst = 15,
    kScaleThird = 17,
    kOneQuorb = 18,
    kMultiQuorb = 19,
    kDirectionToggle = 20,
    kIncrement = 21,
    kDecrement = 22,
};

// The values the buttons write, which also recognise the current value; by the button's place
// in its row.
const float kStaticFrictions[3] = {0.1f, 0.5f, 0.9f};
const float kKineticFrictions[3] = {0.05f, 0.45f, 0.85f};
const float kDensities[2] = {0.5f, 1.2f}; // light, heavy
const int kMagnetisms[3] = {1, 0, 2};     // negative, neutral, positive
const float kSpeedSettings[3] = {6.0f, 12.0f, 24.0f};
const float kStrengths[3] = {1.0f, 1.5f, 2.0f};
const float kLocationScales[3] = {3.5f, 5.0f, 6.5f};
const float kTargetScales[3] = {3.0f, 3.5f, 4.0f};

constexpr int kIconX = 3; // pixels on the button
constexpr int kIconY = 4;
constexpr float kIconScale = 0.5f;
constexpr int kValueBoxY = 10;
constexpr float kValueBoxScaleX = 0.22f;
constexpr float kValueBoxScaleY = 0.045f;
constexpr float kValueBoxAlpha = 0.5f;
constexpr int kValueTextX = 10;
constexpr int kValueTextWidth = 250;

const math::Vector3 kUp(0.0f, 1.0f, 0.0f);
const math::Vector3 kDown(0.0f, -1.0f, 0.0f);

bool Live(const Gob* gob)
{
    return gob && !gob->IsKilled();
}

// Exact comparisons: the values were written from these very constants.
template <class T, std::size_t N> int IndexOf(const T (&values)[N], T value)
{
    for (std::size_t i = 0; i < N; ++i)
        if (values[i] == value)
            return static_cast<int>(i);
    return -1;
}

// The focused face's right-hand axis, along which a gravity switch points "right".
math::Vector3 FaceRight(int face)
{
    switch (face)
    {
    case 0:
        return math::Vector3(1.0f, 0.0f, 0.0f);
    case 1:
        return math::Vector3(0.0f, 0.0f, -1.0f);
    case 2:
        return math::Vector3(-1.0f, 0.0f, 0.0f);
    default:
        return math::Vector3(0.0f, 0.0f, 1.0f);
    }
}

// The new direction of a direction button, from the focused face's normal.
math::Vector3 DirectionOf(int index, const math::Vector3& normal)
{
    switch (index)
    {
    case kDirectionUp:
        return kUp;
    case kDirectionDown:
        return kDown;
    case kDirectionLeft:
        return -normal.Cross(kUp);
    default:
        return normal.Cross(kUp);
    }
}

// Points the gravity switch along the direction: its x axis the direction, its z axis into the
// face.
void TurnGravitySwitch(CGravitySwitchData& data, const math::Vector3& direction, const math::Vector3& normal)
{
    if (POVComp* pov = GetPOVComp(data.GetOwnerGob()))
        pov->SetOrientation(math::Quaternion(direction, -normal), true);
    data.direction = direction;
}

float ClampInterval(float seconds)
{
    // A NaN read from a file comes out as 0.
    return std::min(PropValueMenu::kMaxInterval, std::max(0.0f, seconds));
}
} // namespace

PropValueMenu::PropValueMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    m_openTime = 0.3f;
    m_closeTime = 0.2f;
    m_closedPosition = math::Vector3(static_cast<float>(kClosedX), static_cast<float>(kOpenY), 0.0f);
    m_closeOnMouseUp = false;

    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    for (std::size_t n = 0; n < kButtonCount; ++n)
    {
        const ValueButton& entry = kButtons[n];
        dorvo::gfx::CButton* button = nullptr;
        if (n < kCheckButtonCount)
        {
            auto check = MakeEditorCheckButton(GetComponent(), entry.button, entry.tip, false);
            // A value stays chosen until another one is.
            check->SetMayUncheck(false);
            auto* filed = AddUnit(std::move(check));
            if (filed && comp)
                comp->AddToGroup(kGroup, filed);
            button = filed;
        }
        else
            button = AddUnit(MakeEditorButton(GetComponent(), entry.button, entry.tip));
        if (!button)
            continue;
        AddUnit(MakeEditorIcon(entry.iconTexture, entry.icon, kIconX, kIconY, kIconScale), entry.button);
        // The slide needs a reference before any layout: a first reset may lay nothing out.
        if (!m_refSprite)
            m_refSprite = button;
    }

    auto box = std::make_unique<dorvo::gfx::CSprite>(g_menuHud.m_menuBackground.textureFile);
    const int centre[2] = {0, 0};
    box->AddGridAnimation("Base", 512, 512, 1, 0, 0, 50, centre, false);
    box->SetName(kValueBox);
    box->SetScale(kValueBoxScaleX, kValueBoxScaleY, 1.0f);
    box->SetAlpha(kValueBoxAlpha, false);
    box->SetPosition(0, kValueBoxY);
    if (AddUnit(std::move(box)))
        AddUnit(MakeMenuText(kValueText, "", 4, kValueTextX, 0, kValueTextWidth), kValueBox);
}

bool PropValueMenu::ButtonsFor(int code, const Gob& gob, std::vector<int>& buttons, bool& showValueText)
{
    showValueText = false;
    const std::string& archetype = gob.GetArchetypeName();
    switch (code)
    {
    case 0:
        buttons = {0, 1, 2};
        return true;
    case 1:
        buttons = {3, 4};
        return true;
    case 2:
        // A magnet always carries a charge.
        if (archetype == "Magnet")
            buttons = {5, 7};
        else
            buttons = {5, 6, 7};
        return true;
    case 3:
        buttons = {8, 9, 10};
        return true;
    case 4:
        if (archetype == "GravitySwitch")
            buttons = {11, 12, 13, 14};
        else if (archetype == "Accelerator")
            buttons = {20};
        else
            return false;
        return true;
    case 5:
        buttons = {15, 16, 17};
        return true;
    case 6:
        buttons = {18, 19};
        return true;
    case 7:
        buttons = {21, 22};
        showValueText = true;
        return true;
    default:
        return false;
    }
}

int PropValueMenu::IndexOfButton(const std::string& name)
{
    for (std::size_t n = 0; n < kButtonCount; ++n)
        if (name == kButtons[n].button)
            return static_cast<int>(n);
    return -1;
}

std::string PropValueMenu::FormatInterval(float seconds)
{
    std::ostringstream text;
    text << seconds << " secs";
    return text.str();
}

IObjective* PropValueMenu::ObjectiveOf(Gob* gob)
{
    if (!Live(gob))
        return nullptr;
    const ObjectiveComp* own = ObjectiveComp::Of(gob);
    if (own && own->GetObjective())
        return own->GetObjective();
    // A marker holds no objective of its own; a missing link, or a linked object that is gone,
    // leads to none.
    const GobIDComp* link = GobIDComp::Of(gob);
    Gob* linked = link ? link->GetLinkedGob() : nullptr;
    const ObjectiveComp* theirs = Live(linked) ? ObjectiveComp::Of(linked) : nullptr;
    return theirs ? theirs->GetObjective() : nullptr;
}

void PropValueMenu::OpenTransition(float duration)
{
    m_openPosition = math::Vector3(IsGameInCreatePuzzleMode() ? 0.0f : static_cast<float>(kOpenX),
                                   static_cast<float>(kOpenY), 0.0f);
    LinearMoveMenu::OpenTransition(duration);
}

void PropValueMenu::OnClosed()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    for (std::size_t n = 0; n < kCheckButtonCount; ++n)
        if (auto* button = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(kButtons[n].button)))
            button->SetChecked(false);
}

void PropValueMenu::Reset()
{
    Gob* selected = GetEditorSelectedGob();
    if (!selected)
    {
        SendMsgToSelf(MSG_CloseMenu, 2, 0);
        return;
    }
    ShowCurrentValue(*selected);
    const int code = m_customData.GetType() == MSG_DATA_INT ? m_customData.GetInt() : -1;
    std::vector<int> buttons;
    bool showValueText = false;
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!ButtonsFor(code, *selected, buttons, showValueText) || !comp)
        return;
    const int x =
        LayOutButtonRow(*comp, kButtons, buttons, IsGameInCreatePuzzleMode() ? 0 : kOpenX, m_refSprite);
    if (dorvo::gfx::CSprite* box = comp->GetSprite(kValueBox))
    {
        box->SetPosition(x, box->GetPositionY());
        box->SetVisible(showValueText, true);
    }
}

void PropValueMenu::Check(int index)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (index < 0 || index >= static_cast<int>(kCheckButtonCount) || !comp)
        return;
    if (auto* button = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(kButtons[index].button)))
        button->SetChecked(true);
}

void PropValueMenu::SetValueText(float seconds)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (dorvo::gfx::CTextSprite* text = comp ? comp->GetTextSprite(kValueText) : nullptr)
        text->SetText(FormatInterval(seconds));
}

void PropValueMenu::ShowCurrentValue(Gob& selected)
{
    const WidgetDataComp* widget = WidgetDataComp::Of(&selected);
    if (const IWidgetData* data = widget ? widget->GetData() : nullptr)
    {
        auto friction = [this](float staticFriction)
        {
            const int at = IndexOf(kStaticFrictions, staticFriction);
            if (at >= 0)
                Check(kFrictionLow + at);
        };
        auto weight = [this, data]()
        {
            if (data->GetDensity() == kDensities[1])
                Check(kWeightHeavy);
            else if (data->GetDensity() == kDensities[0])
                Check(kWeightLight);
        };
        auto charge = [this, data]()
        {
            const int at = IndexOf(kMagnetisms, data->GetMagnetism());
            if (at >= 0)
                Check(kChargeNegative + at);
        };
        auto strength = [this](const float(&values)[3], float value)
        {
            const int at = IndexOf(values, value);
            if (at >= 0)
                Check(kStrengthLow + at);
        };
        if (const CPlatformData* platform = data->AsPlatformData())
        {
            friction(platform->GetStaticFriction());
            weight();
            charge();
        }
        else if (data->AsBarData())
        {
            weight();
            charge();
        }
        else if (const CGravitySwitchData* gravity = data->AsGravitySwitchData())
        {
            const math::Vector3& d = gravity->direction;
            const CQUORB* game = CQUORB::Get();
            if (math::FloatEqual(d.Dot(kUp), 1.0f))
                Check(kDirectionUp);
            else if (math::FloatEqual(d.Dot(kDown), 1.0f))
                Check(kDirectionDown);
            else if (math::FloatEqual(d.Dot(FaceRight(game ? game->GetFocusedFace() : -1)), 1.0f))
                Check(kDirectionRight);
            else
                Check(kDirectionLeft);
        }
        else if (const CMagnetData* magnet = data->AsMagnetData())
        {
            charge();
            strength(kStrengths, magnet->strength);
        }
        else if (const CAcceleratorData* accelerator = data->AsAcceleratorData())
        {
            charge();
            strength(kSpeedSettings, accelerator->GetSpeedSetting());
        }
        else if (const CQUORBData* star = data->AsQUORBData())
        {
            friction(star->GetStaticFriction());
            weight();
            charge();
        }
        return;
    }
    IObjective* objective = ObjectiveOf(&selected);
    if (!objective)
        return;
    const POVComp* pov = GetPOVComp(objective->GetOwnerGob());
    const float scale = pov ? pov->GetScale().x : 0.0f;
    if (const CGetToLocation* location = objective->AsGetToLocation())
    {
        const int at = IndexOf(kLocationScales, scale);
        if (at >= 0)
            Check(kScaleFirst + at);
        Check(location->GetQuorbCheckType() == 0 ? kOneQuorb : kMultiQuorb);
    }
    else if (objective->AsTarget())
    {
        const int at = IndexOf(kTargetScales, scale);
        if (at >= 0)
            Check(kScaleFirst + at);
    }
    else if (const CWaterControl* water = objective->AsWaterControl())
        SetValueText(water->GetTimeInterval());
    else if (const CTimeLimit* limit = objective->AsTimeLimit())
        SetValueText(limit->GetTimeInterval());
}

void PropValueMenu::OnButtonPressed(const std::string& name)
{
    Gob* selected = GetEditorSelectedGob();
    const int index = IndexOfButton(name);
    if (!selected || index < 0)
        return;
    const std::vector<Gob*> further = GetEditorSelectionList();
    if (WidgetDataComp::Of(selected))
    {
        std::vector<IWidgetData*> list;
        auto add = [&list](Gob* gob)
        {
            const WidgetDataComp* widget = Live(gob) ? WidgetDataComp::Of(gob) : nullptr;
            if (IWidgetData* data = widget ? widget->GetData() : nullptr)
                list.push_back(data);
        };
        add(selected);
        for (Gob* gob : further)
            add(gob);
        ApplyToWidgetData(index, list);
        return;
    }
    IObjective* own = ObjectiveOf(selected);
    std::vector<IObjective*> list;
    if (own)
        list.push_back(own);
    for (Gob* gob : further)
        if (IObjective* objective = ObjectiveOf(gob))
            list.push_back(objective);
    ApplyToObjectives(index, own, list);
    if ((index == kIncrement || index == kDecrement) && own)
    {
        if (const CWaterControl* water = own->AsWaterControl())
            SetValueText(water->GetTimeInterval());
        else if (const CTimeLimit* limit = own->AsTimeLimit())
            SetValueText(limit->GetTimeInterval());
    }
}

void PropValueMenu::ApplyToWidgetData(int index, const std::vector<IWidgetData*>& list)
{
    math::Vector3 normal;
    const CQUORB* game = CQUORB::Get();
    const bool haveNormal = game && game->GetFocusedFaceNormal(normal);
    for (IWidgetData* data : list)
    {
        if (!data)
            continue;
        if (index >= kFrictionLow && index <= kFrictionHigh)
        {
            const int level = index - kFrictionLow;
            FrictionWidgetData* frictions = data->AsPlatformData();
            if (frictions == nullptr)
                frictions = data->AsQUORBData();
            if (frictions != nullptr)
            {
                frictions->SetStaticFriction(kStaticFrictions[level]);
                frictions->SetKineticFriction(kKineticFrictions[level]);
            }
        }
        else if (index == kWeightLight || index == kWeightHeavy)
            data->SetDensity(kDensities[index - kWeightLight]);
        else if (index >= kChargeNegative && index <= kChargePositive)
            data->SetMagnetism(kMagnetisms[index - kChargeNegative]);
        else if (index >= kStrengthLow && index <= kStrengthHigh)
        {
            const int level = index - kStrengthLow;
            if (CAcceleratorData* accelerator = data->AsAcceleratorData())
                accelerator->SetSpeedSetting(kSpeedSettings[level]);
            else if (CMagnetData* magnet = data->AsMagnetData())
            {
                magnet->strength = kStrengths[level];
                magnet->UpdateFieldScale();
            }
        }
        else if (index >= kDirectionUp && index <= kDirectionRight)
        {
            // Without a focused face there is no plane to turn the switch in.
            CGravitySwitchData* gravity = data->AsGravitySwitchData();
            if (gravity && haveNormal)
                TurnGravitySwitch(*gravity, DirectionOf(index, normal), normal);
        }
        else if (index == kDirectionToggle)
        {
            if (CAcceleratorData* accelerator = data->AsAcceleratorData())
                accelerator->ReverseDirection();
        }
    }
}

void PropValueMenu::ApplyToObjectives(int index, IObjective* own, const std::vector<IObjective*>& list)
{
    if (index >= kScaleFirst && index <= kScaleThird)
    {
        const int level = index - kScaleFirst;
        for (IObjective* objective : list)
        {
            if (!objective)
                continue;
            const float* scales = objective->AsGetToLocation() ? kLocationScales
                                  : objective->AsTarget()      ? kTargetScales
                                                               : nullptr;
            POVComp* pov = scales ? GetPOVComp(objective->GetOwnerGob()) : nullptr;
            if (pov)
                pov->SetScale(math::Vector3(scales[level], scales[level], scales[level]), true);
        }
        return;
    }
    if (!own)
        return;
    if (index == kOneQuorb || index == kMultiQuorb)
    {
        if (CGetToLocation* location = own->AsGetToLocation())
            location->SetQuorbCheckType(index == kOneQuorb ? 0 : 1);
    }
    else if (index == kIncrement || index == kDecrement)
    {
        const float step = index == kIncrement ? kIntervalStep : -kIntervalStep;
        if (CWaterControl* water = own->AsWaterControl())
            water->SetTimeInterval(ClampInterval(water->GetTimeInterval() + step));
        else if (CTimeLimit* limit = own->AsTimeLimit())
        {
            limit->SetTimeInterval(ClampInterval(limit->GetTimeInterval() + step));
            limit->GetCountdown().SetDuration(limit->GetTimeInterval());
        }
    }
}
} // namespace QUORB
