#include "MenuShotDriver.h"

#include "MenuTestWorld.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"

#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/MenuTable.h"
#include "game/menus/BaseMenu.h"
#include "platform/files.h"
#include "platform/headless.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace menushots
{
namespace
{
// A unit this faint draws nothing a person would see.
constexpr float kVisibleAlpha = 0.02f;

std::string TwoDigits(std::size_t index)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02zu", index);
    return text;
}
} // namespace

void ShotArea::Add(int x0, int y0, int x1, int y1)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, kWidth);
    y1 = std::min(y1, kHeight);
    if (x1 <= x0 || y1 <= y0)
        return;
    if (Empty())
    {
        *this = ShotArea{x0, y0, x1, y1};
        return;
    }
    left = std::min(left, x0);
    top = std::min(top, y0);
    right = std::max(right, x1);
    bottom = std::max(bottom, y1);
}

MenuShotDriver::MenuShotDriver() = default;

MenuShotDriver::~MenuShotDriver()
{
    m_world.reset();
    if (m_started)
    {
        // Back to the headless backend the other tests of the program expect.
        m_env.reset();
        plat::headless::Reset();
    }
}

bool MenuShotDriver::Start(std::string& why)
{
    if (!testsupport::XvfbInstalled())
    {
        why = "Xvfb is not installed (package xvfb): the game is not run on a display here";
        return false;
    }
    m_display = std::make_unique<testsupport::VirtualDisplay>();
    if (!m_display->Start("1024x768x24"))
    {
        why = "Xvfb did not start";
        return false;
    }
    plat::headless::Reset();
    m_env = std::make_unique<testsupport::ScopedEnv>();
    testsupport::UseOpenGLOn(*m_display, *m_env);
    m_started = true;
    return true;
}

std::string MenuShotDriver::Folder()
{
    // The pictures are kept beside the build, outside the test's run folder.
    plat::AllowSaveFolder(std::string(DORVO_BINARY_DIR) + "/screenshots");
    return std::string(DORVO_BINARY_DIR) + "/screenshots/menus/";
}

void MenuShotDriver::Note(const std::string& problem)
{
    m_problems.push_back(problem);
}

MenuShot& MenuShotDriver::ShotOf(const std::string& menu)
{
    for (MenuShot& shot : m_shots)
        if (shot.menu == menu)
            return shot;
    Note("\"" + menu + "\" is no menu of the table");
    static MenuShot s_none;
    s_none = MenuShot();
    return s_none;
}

void MenuShotDriver::Before(const std::vector<std::string>& menus)
{
    for (const std::string& menu : menus)
    {
        MenuShot& shot = ShotOf(menu);
        shot.beforeFile = Folder() + "before/" + TwoDigits(shot.index) + "-" + menu + ".png";
        m_world->Console("takescrshot " + shot.beforeFile);
    }
    m_world->Step();
}

void MenuShotDriver::Shoot(const std::string& menu)
{
    MenuShot& shot = ShotOf(menu);
    shot.file = Folder() + TwoDigits(shot.index) + "-" + menu + ".png";
    m_world->Console("takescrshot " + shot.file);
    m_world->Step();
    shot.area = AreaOf(menu);
    if (shot.area.Empty())
        Note("nothing of \"" + menu + "\" was on the screen in its picture");
}

ShotArea MenuShotDriver::AreaOf(const std::string& menu) const
{
    ShotArea area;
    dorvo::gfx::Gfx2DComp* gui = m_world->Gui(menu);
    if (!gui)
        return area;
    std::vector<dorvo::gfx::IScreenUnit*> units;
    gui->CollectUnits(units);
    for (const dorvo::gfx::IScreenUnit* unit : units)
    {
        const auto* sprite = dynamic_cast<const dorvo::gfx::CSprite*>(unit);
        if (!sprite || !sprite->IsVisible() || sprite->GetAlpha() < kVisibleAlpha)
            continue;
        if (const auto* text = dynamic_cast<const dorvo::gfx::CTextSprite*>(sprite))
        {
            if (!text->GetText().empty())
                area.Add(text->GetTextRect().left, text->GetTextRect().top, text->GetTextRect().right,
                         text->GetTextRect().bottom);
            continue;
        }
        if (!sprite->GetTexture().GetTexture() || !sprite->GetCurrentAnimation())
            continue;
        // Drawn scaled about its pivot, the pivot on its absolute position.
        const int x0 = sprite->GetAbsoluteX() -
                       static_cast<int>(std::lround(sprite->GetCenterX() * sprite->GetScaleX()));
        const int y0 = sprite->GetAbsoluteY() -
                       static_cast<int>(std::lround(sprite->GetCenterY() * sprite->GetScaleY()));
        area.Add(x0, y0, x0 + static_cast<int>(std::ceil(sprite->GetWidth())),
                 y0 + static_cast<int>(std::ceil(sprite->GetHeight())));
    }
    return area;
}

bool MenuShotDriver::WaitOpen(const std::string& menu, double seconds)
{
    const bool open = m_world->RunUntil(
        [this, &menu] { return m_world->MenuState(menu) == QUORB::BaseMenu::STATE_Open; }, seconds);
    m_world->Step();
    if (!open)
        Note("\"" + menu + "\" did not open within " + std::to_string(seconds) + " s");
    return open;
}

bool MenuShotDriver::WaitClosed(const std::string& menu, double seconds)
{
    const bool closed = m_world->RunUntil(
        [this, &menu] { return m_world->MenuState(menu) == QUORB::BaseMenu::STATE_Closed; }, seconds);
    m_world->Step();
    if (!closed)
        Note("\"" + menu + "\" did not close within " + std::to_string(seconds) + " s");
    return closed;
}

void MenuShotDriver::Settle(double seconds)
{
    auto moving = [this]
    {
        for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
        {
            const std::string menu = QUORB::MenuTable::GetName(i);
            const int state = m_world->MenuState(menu);
            if (menu != "MessageWindowMenu" &&
                (state == QUORB::BaseMenu::STATE_Opening || state == QUORB::BaseMenu::STATE_Closing))
                return true;
        }
        return false;
    };
    if (!m_world->RunUntil([&moving] { return !moving(); }, seconds))
        Note("the menus were still moving after " + std::to_string(seconds) + " s");
    m_world->Step();
}

bool MenuShotDriver::Point(const std::string& menu, const std::string& unit)
{
    if (m_world->PointAt(menu, unit))
        return true;
    Note("\"" + menu + "\" has no unit \"" + unit + "\" to point at");
    return false;
}

bool MenuShotDriver::Click(const std::string& menu, const std::string& unit)
{
    if (m_world->Click(menu, unit))
        return true;
    Note("\"" + menu + "\" has no unit \"" + unit + "\" to click");
    return false;
}

bool MenuShotDriver::Press(const std::string& menu, const std::string& unit)
{
    if (!Point(menu, unit))
        return false;
    m_world->LeftDown();
    return true;
}
} // namespace menushots
