#include "game/menus/BudgetMenu.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/menus/PuzzleMenuCalls.h"
#include "game/room/CPuzzle.h"

#include <algorithm>
#include <memory>
#include <sstream>

namespace QUORB
{
namespace
{
const char* const kPlayPanel = "Background1";
const char* const kEditorPanel = "Background2";
const char* const kTotalText = "TotalBudgetText";
const char* const kLeftText = "RemainingBudgetText";
const char* const kValueText = "BudgetValueText";
constexpr float kHoverDelay = 0.05f; // seconds

struct StepButton
{
    const char* button;
    const char* iconFile;
    const char* icon;
    const char* tip;
};

const StepButton kStepButtons[2] = {
    {"IncButton", "hud/IncrementIcon.png", "IncIcon", "Increase budget"},
    {"DecButton", "hud/DecrementIcon.png", "DecIcon", "Decrease budget"},
};

std::string Decimal(int value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

// A still frame of the image as the animation "Base".
dorvo::gfx::SpriteAnimation Still(int width, int height)
{
    dorvo::gfx::SpriteAnimation still;
    still.frameWidth = width;
    still.frameHeight = height;
    still.frameCount = 1;
    still.frameTime = 50;
    still.paused = true;
    still.loop = false;
    return still;
}

std::unique_ptr<dorvo::gfx::CSprite> MakePanel(const char* name, int x, int y, float scaleX, float scaleY)
{
    auto panel = std::make_unique<dorvo::gfx::CSprite>(g_menuHud.m_menuBackground.textureFile);
    panel->SetName(name);
    panel->AddAnimation("Base", Still(512, 512), true);
    panel->SetPosition(x, y);
    panel->SetScale(scaleX, scaleY, 1.0f);
    panel->SetAlpha(0.5f, false);
    panel->SetDepth(-1);
    return panel;
}
} // namespace

BudgetMenu::BudgetMenu(StateMachineComponent* owner) : StaticMenu(owner)
{
    AddUnit(MakePanel(kPlayPanel, 0, 510, 0.275f, 0.175f));
    AddUnit(MakePanel(kEditorPanel, 690, 0, 0.21f, 0.18f));

    int x = 10;
    for (const StepButton& entry : kStepButtons)
    {
        const int position[2] = {0, 0};
        const int anchor[2] = {0, 0};
        auto button = std::make_unique<dorvo::gfx::CButton>(
            g_menuHud.m_barMenuButtons.textureFile, g_menuHud.m_barMenuButtons.unpressed, position, anchor);
        button->SetName(entry.button);
        button->SetPosition(x, 50);
        button->SetScale(0.2f, 0.6f, 1.0f);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 40, 36));
        button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, entry.button));
        auto* heldOver = new SMHeldOverFunct(owner, button.get(), true, kHoverDelay);
        heldOver->secondDelay = kHoverDelay;
        button->SetHeldOverFunct(heldOver);
        auto* movedOff = new SMHeldOverFunct(owner, button.get(), false, kHoverDelay);
        movedOff->secondDelay = kHoverDelay;
        button->SetNotOverFunct(movedOff);
        button->SetTipText(entry.tip);

        auto icon = std::make_unique<dorvo::gfx::CSprite>(entry.iconFile);
        icon->SetName(entry.icon);
        icon->AddAnimation("Base", Still(64, 64), true);
        icon->SetPosition(3, 4);
        icon->SetScale(0.5f, 0.5f, 1.0f);

        AddUnit(std::move(button), kEditorPanel);
        AddUnit(std::move(icon), entry.button);
        x += 50;
    }

    AddUnit(MakeMenuText("NormalBudgetText", "Budget", 4, 28, 0, 250), kPlayPanel);
    AddUnit(MakeMenuText(kTotalText, "", 4, 5, 30, 250), kPlayPanel);
    AddUnit(MakeMenuText(kLeftText, "", 4, 5, 55, 250), kPlayPanel);
    AddUnit(MakeMenuText("EditorBudgetText", "Budget", 4, 25, 0, 250), kEditorPanel);
    AddUnit(MakeMenuText(kValueText, "0", 4, 50, 25, 250), kEditorPanel);
}

void BudgetMenu::SetText(const std::string& unit, const std::string& text)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (dorvo::gfx::CTextSprite* sprite = comp ? comp->GetTextSprite(unit) : nullptr)
        sprite->SetText(text);
}

void BudgetMenu::ShowPanel(const std::string& panel, bool show)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (dorvo::gfx::CSprite* sprite = comp ? comp->GetSprite(panel) : nullptr)
        sprite->SetVisible(show, true);
}

void BudgetMenu::OnOpened()
{
    const bool creating = IsGameInCreatePuzzleMode();
    ShowPanel(creating ? kPlayPanel : kEditorPanel, false);
    ShowPanel(creating ? kEditorPanel : kPlayPanel, true);
    // Without a focused puzzle (a menu opened by hand) the numbers stay as they were.
    const CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    if (!puzzle)
        return;
    if (creating)
        SetText(kValueText, Decimal(puzzle->GetTotalBudget()));
    else
        SetText(kTotalText, "Total: " + Decimal(puzzle->GetTotalBudget()));
}

void BudgetMenu::UpdateOpen()
{
    if (IsGameInCreatePuzzleMode())
        return;
    if (const CPuzzle* puzzle = GetFocusedPuzzleOfGame())
        SetText(kLeftText, "Left: " + Decimal(puzzle->GetBudgetLeft()));
}

void BudgetMenu::OnButtonPressed(const std::string& name)
{
    CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    if (!puzzle)
        return;
    int total = puzzle->GetTotalBudget();
    if (name == "IncButton" || name == "DecButton")
    {
        // Wide enough that a total read from a file at the edge of int steps without overflow.
        const long long stepped = static_cast<long long>(total) + (name == "IncButton" ? 1 : -1);
        total = static_cast<int>(std::clamp<long long>(stepped, kLowestTotal, kHighestTotal));
        puzzle->SetTotalBudget(total);
    }
    SetText(kValueText, Decimal(total));
}
} // namespace QUORB
