#include "game/menus/PuzzleInfoMenu.h"

#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/menus/MenuText.h"
#include "game/room/CPuzzle.h"

#include <memory>
#include <string>

namespace QUORB
{
const PuzzleInfoMenu::Entry PuzzleInfoMenu::kEntries[kEntryCount] = {
    {"GetToLocationButton", true, CPuzzle::OT_GetToLocation, "hud/GetToLocationIcon.png", "GetToLocationIcon",
     "Get the QUORB into the ring and keep it there for 3 seconds"},
    {"TargetButton", true, CPuzzle::OT_Target, "hud/TargetIcon.png", "TargetIcon",
     "Get the QUORB through each target ring"},
    {"WaterControlButton", true, CPuzzle::OT_WaterControl, "hud/WaterControlIcon.png", "WaterControlIcon",
     "While the puzzle runs, the water rises or falls to its marker"},
    {"TimeLimitButton", true, CPuzzle::OT_TimeLimit, "hud/TimeLimitIcon.png", "TimeLimitIcon",
     "Finish before the time shown runs out"},
    {"SquashQuorbiButton", true, CPuzzle::OT_SquashQuorbi, "hud/SquashQuorbiIcon.png", "SquashQuorbiIcon",
     "Squash the QUORB (not available yet)"},
    {"PlatformButton", false, 1, "hud/PlatIcon.png", "PlatformIcon", "Platform"},
    {"BarButton", false, 4, "hud/BarIcon.png", "BarIcon", "Bar"},
    {"AcceleratorButton", false, 16, "hud/AccIcon.png", "AccIcon", "Accelerator"},
    {"GravSwitchButton", false, 2, "hud/GravIcon.png", "GSwitchIcon", "Gravity Switch"},
    {"MagnetButton", false, 8, "hud/MagnetIcon.png", "MagnetIcon", "Magnet"},
};

namespace
{
constexpr int kDepth = -1;
constexpr const char* kBackground = "Background";
constexpr const char* kBudgetText = "BudgetText";
constexpr const char* kAnimation = "Base";

// A one-frame still of the image's top left.
std::unique_ptr<dorvo::gfx::CSprite> Still(const std::string& image, const std::string& name, int width,
                                           int height)
{
    dorvo::gfx::SpriteAnimation frame;
    frame.frameWidth = width;
    frame.frameHeight = height;
    frame.frameCount = 1;
    frame.frameTime = 200;
    frame.paused = true;
    auto sprite = std::make_unique<dorvo::gfx::CSprite>(image);
    sprite->SetName(name);
    sprite->AddAnimation(kAnimation, frame, true);
    sprite->SetDepth(kDepth);
    return sprite;
}
} // namespace

PuzzleInfoMenu::PuzzleInfoMenu(StateMachineComponent* owner) : StaticMenu(owner)
{
    std::unique_ptr<dorvo::gfx::CSprite> background = Still("hud/MenuBackground.png", kBackground, 512, 512);
    background->SetScale(0.55f, 0.35f, 1.0f);
    background->SetPosition(255, 375);
    background->SetAlpha(0.5f, false);
    m_refSprite = AddUnit(std::move(background));

    AddUnit(MakeMenuText("ObjectiveText", "Objective(s)", 4, 85, 5, 250, kDepth), kBackground);
    AddUnit(MakeMenuText("WidgetText", "Available Widget(s)", 4, 40, 70, 250, kDepth), kBackground);
    AddUnit(MakeMenuText(kBudgetText, "Budget: ", 4, 60, 135, 250, kDepth), kBackground);

    for (const Entry& entry : kEntries)
    {
        std::unique_ptr<dorvo::gfx::CSprite> badge = Still("hud/BarMenuButtons.png", entry.sprite, 256, 128);
        badge->SetScale(0.2f, 0.6f, 1.0f);
        badge->SetUseSkinColor(false);
        badge->SetTipText(entry.tip);
        std::unique_ptr<dorvo::gfx::CSprite> icon = Still(entry.image, entry.icon, 64, 64);
        icon->SetScale(0.5f, 0.5f, 1.0f);
        icon->SetPosition(2, 3);
        if (AddUnit(std::move(badge), kBackground))
            AddUnit(std::move(icon), entry.sprite);
    }
}

void PuzzleInfoMenu::Reset()
{
    const CQUORB* game = CQUORB::Get();
    // Opened on no face, the panel keeps what it showed last; the opening made every badge
    // visible, so that layout is laid again (before any, no badge shows).
    if (const CPuzzle* puzzle = game ? game->GetFocusedPuzzle() : nullptr)
    {
        m_laidOut = true;
        m_objectives = puzzle->GetObjectiveMask();
        m_widgets = static_cast<unsigned>(puzzle->GetAvailableWidgets());
        m_budget = puzzle->GetTotalBudget();
    }
    Layout(m_objectives, m_widgets, m_laidOut ? "Budget: " + std::to_string(m_budget) : "Budget: ");
}

void PuzzleInfoMenu::Layout(unsigned objectives, unsigned widgets, const std::string& budgetText)
{
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    if (!gui)
        return;
    int objectiveX = kRowStartX;
    int widgetX = kRowStartX;
    for (const Entry& entry : kEntries)
    {
        dorvo::gfx::CSprite* badge = gui->GetSprite(entry.sprite);
        if (!badge)
            continue;
        const bool shown = ((entry.objective ? objectives : widgets) & entry.flag) != 0;
        if (shown)
        {
            int& x = entry.objective ? objectiveX : widgetX;
            badge->SetPosition(x, entry.objective ? kObjectiveRowY : kWidgetRowY);
            x += kRowSpacing;
        }
        badge->SetVisible(shown, true);
    }
    if (dorvo::gfx::CTextSprite* text = gui->GetTextSprite(kBudgetText))
        text->SetText(budgetText);
}
} // namespace QUORB
