#include "game/menus/ToolTipMenu.h"

#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"

#include <algorithm>
#include <memory>

namespace QUORB
{
namespace
{
const char* const kBackground = "Background";
const char* const kText = "ToolTipText";
// Opaque: through a see-through box the buttons and labels under a tip (the editor's "Test" and
// "Clear" beside the widget bar) mix with its text and seem to lie over it.
constexpr float kBackgroundAlpha = 1.0f;
// The tip back's frame is drawn with a 5-pixel rim: the text's size plus the margin fills the
// frame less its rim (64 - 10 pixels for the tip look).
constexpr int kFrameRim = 10;

// The game cursor's screen point and whether it is shown; false without a cursor.
bool CursorPoint(int& x, int& y, bool& visible)
{
    CQUORB* game = CQUORB::Get();
    const dorvo::gfx::CCursor* cursor = game ? game->GetCursor() : nullptr;
    if (!cursor)
        return false;
    x = cursor->GetAbsoluteX();
    y = cursor->GetAbsoluteY();
    visible = cursor->IsVisible();
    return true;
}

// The console lies above the menus but below the tip (and the cursor): a tip showing while it is
// on the screen would cover the lines the player reads and types.
bool ConsoleShown()
{
    const CQUORB* game = CQUORB::Get();
    return game && game->IsConsoleShown();
}

bool Holds(const dorvo::gfx::CSprite& sprite, int x, int y)
{
    const int left = sprite.GetAbsoluteX();
    const int top = sprite.GetAbsoluteY();
    const int right = left + static_cast<int>(sprite.GetWidth());
    const int bottom = top + static_cast<int>(sprite.GetHeight());
    return left <= x && x < right && top <= y && y < bottom;
}
} // namespace

ToolTipMenu::ToolTipMenu(StateMachineComponent* owner) : StaticMenu(owner), m_restTimer(true)
{
    m_openTime = 0.0f;
    m_closeTime = 0.0f;
    const MenuHudDescriptor& look = g_menuHud.m_toolTipBack;
    auto background = std::make_unique<dorvo::gfx::CSprite>(look.textureFile);
    background->SetName(kBackground);
    background->AddAnimation("Base", look.unpressed, true);
    background->SetAlpha(kBackgroundAlpha, false);
    background->SetDepth(kDepth);
    if (!AddUnit(std::move(background)))
        return;
    AddUnit(MakeMenuText(kText, "NoTip", 0, kTextX, kTextY, kTextBoxWidth, kDepth), kBackground);
}

std::string ToolTipMenu::FindToolTip()
{
    m_tipSprite = nullptr;
    m_tipComponentId = 0;
    int x = 0;
    int y = 0;
    bool visible = false;
    if (!CursorPoint(x, y, visible))
        return std::string();
    // The facade's map runs in ascending game-object id, so a fixed order decides between
    // overlapping sprites.
    for (const auto& entry : dorvo::gfx::CDorvoGfx::Instance().Get2DComps())
    {
        if (!entry.second)
            continue;
        m_units.clear();
        entry.second->CollectUnits(m_units);
        for (dorvo::gfx::IScreenUnit* unit : m_units)
        {
            auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(unit);
            if (!sprite || !sprite->IsVisible() || sprite->GetTipText().empty() || !Holds(*sprite, x, y))
                continue;
            m_tipSprite = sprite;
            m_tipComponentId = entry.first;
            m_units.clear();
            return sprite->GetTipText();
        }
    }
    m_units.clear();
    return std::string();
}

dorvo::gfx::CSprite* ToolTipMenu::LiveTipSprite()
{
    if (!m_tipSprite)
        return nullptr;
    // Menus keep their units while the game runs, but a sprite is never read after its
    // component has let it go.
    const auto& components = dorvo::gfx::CDorvoGfx::Instance().Get2DComps();
    const auto found = components.find(m_tipComponentId);
    if (found == components.end() || !found->second)
        return nullptr;
    m_units.clear();
    found->second->CollectUnits(m_units);
    const bool live = std::find(m_units.begin(), m_units.end(), m_tipSprite) != m_units.end();
    m_units.clear();
    return live ? m_tipSprite : nullptr;
}

void ToolTipMenu::UpdateClosed()
{
    int x = 0;
    int y = 0;
    bool visible = false;
    if (!CursorPoint(x, y, visible))
        return;
    // A rest counts from when the console is gone.
    const bool rested = x == m_lastCursorPos[0] && y == m_lastCursorPos[1] && !ConsoleShown();
    if (visible && rested && m_restTimer.IsRunning() && m_restTimer.GetTime() > m_delay)
    {
        const std::string text = FindToolTip();
        if (!text.empty())
        {
            dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
            dorvo::gfx::CTextSprite* tip = comp ? comp->GetTextSprite(kText) : nullptr;
            dorvo::gfx::CSprite* background = comp ? comp->GetSprite(kBackground) : nullptr;
            if (tip && background)
            {
                tip->SetText(text);
                background->SetPosition(x + kBoxOffsetX, y + kBoxOffsetY);
                m_restTimer.Restart();
                SendMsgToSelf(MSG_OpenMenu);
            }
        }
    }
    else if (!rested)
        m_restTimer.Restart();
    m_lastCursorPos[0] = x;
    m_lastCursorPos[1] = y;
}

void ToolTipMenu::OnOpened()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    dorvo::gfx::CTextSprite* tip = comp ? comp->GetTextSprite(kText) : nullptr;
    dorvo::gfx::CSprite* background = comp ? comp->GetSprite(kBackground) : nullptr;
    const dorvo::gfx::SpriteAnimation* frame = background ? background->GetCurrentAnimation() : nullptr;
    if (!tip || !frame)
        return;
    tip->UpdateLayout();
    const plat::RECT& rect = tip->GetTextRect();
    const dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    const int width = static_cast<int>(gfx.GetScreenWidth());
    const int height = static_cast<int>(gfx.GetScreenHeight());
    // Kept kEdgeMargin from the edges: the left and top edges win on a screen too small for the text.
    auto shift = [](int low, int high, int size)
    {
        if (low <= kEdgeMargin)
            return kEdgeMargin - low;
        if (high >= size - kEdgeMargin)
            return size - kEdgeMargin - high;
        return 0;
    };
    const int dx = shift(rect.left, rect.right, width);
    const int dy = shift(rect.top, rect.bottom, height);
    const float scaleX = static_cast<float>(rect.right - rect.left + kMargin) /
                         static_cast<float>(frame->frameWidth - kFrameRim);
    const float scaleY = static_cast<float>(rect.bottom - rect.top + kMargin) /
                         static_cast<float>(frame->frameHeight - kFrameRim);
    background->SetScale(scaleX, scaleY, 1.0f);
    background->SetPosition(background->GetPositionX() + dx, background->GetPositionY() + dy);
    tip->UpdateLayout();
}

void ToolTipMenu::UpdateOpen()
{
    int x = 0;
    int y = 0;
    bool visible = false;
    const bool cursor = CursorPoint(x, y, visible);
    const dorvo::gfx::CSprite* sprite = cursor ? LiveTipSprite() : nullptr;
    const bool stays = cursor && visible && x == m_lastCursorPos[0] && y == m_lastCursorPos[1] && sprite &&
                       sprite->IsVisible() && !sprite->GetTipText().empty() && Holds(*sprite, x, y) &&
                       !ConsoleShown();
    if (stays)
        return;
    m_restTimer.Restart();
    SendMsgToSelf(MSG_CloseMenu);
}
} // namespace QUORB
