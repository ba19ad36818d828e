// The game's input chain and its face picking.
#include "game/app/CQUORB.h"

#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "common/math/CRay.h"
#include "common/math/Quad.h"
#include "engine/CDorvoApp.h"
#include "engine/CPicker.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/gui/CGuiManager.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuState.h"
#include "game/camera/CCamera.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/CRoom.h"
#include "statemachine/Database.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace QUORB
{
void CQUORB::RouteInput(const dorvo::input::InputEvent& event, float elapsed)
{
    // A button lands where the pointer was when it changed: the event before it says where, also
    // when moves came between the cursor's own update and the button, or after the button.
    if (event.code == dorvo::input::MOUSE_POSITION)
    {
        int x = 0, y = 0;
        dorvo::input::ReadPointerPosition(event, x, y);
        if (dorvo::gfx::CCursor* cursor = GetCursor())
            cursor->PlaceAtPointer(x, y);
        return;
    }
    // 1. Keys and buttons go first to the message takers, as presses and releases; typed text
    // as a press (the console types it).
    const bool text = event.code == dorvo::input::TEXT_INPUT;
    if ((text || (dorvo::input::IsValidInputCode(event.code) && (event.value == 1 || event.value == 0))) &&
        common::Singleton<Database>::Instance()->BroadcastInputMsg(
            text || event.value == 1 ? MSG_Pressed : MSG_UnPressed, event))
        return;

    // 2. The 2D components, nearest first. A copy: a component may go while it handles the event.
    std::vector<dorvo::gfx::Gfx2DComp*> components;
    for (const auto& entry : dorvo::gfx::CDorvoGfx::Instance().Get2DComps())
        components.push_back(entry.second);
    std::stable_sort(components.begin(), components.end(), &dorvo::gfx::Gfx2DComp::DepthLess);
    for (dorvo::gfx::Gfx2DComp* component : components)
        if (component->HandleInput(&event, elapsed))
            return;

    // 3-6. The game's own units, the editor, face picking and the camera.
    if (m_pGuiManager->HandleInput(&event, elapsed))
        return;
    if (m_editorMode && m_pManipulator->OnInput(event))
        return;
    PickFaceOnClick(event);
    if (!m_editorMode && m_pCamera->OnInput(event, m_pCamera->IsDebugCamera()))
        return;

    // 7. The global keys, on their press only.
    if (event.value != 1 || event.code < dorvo::input::KEY_ESCAPE || event.code > dorvo::input::KEY_RIGHT)
        return;
    switch (event.code)
    {
    case dorvo::input::KEY_ESCAPE:
    {
        const int mainMenu = GetMenuState(MenuTable::kMainMenu);
        if (mainMenu == 0 || mainMenu == 1)
            SendToMenu(MenuTable::kEscapeMenu, MSG_ToggleMenu);
        break;
    }
    case dorvo::input::KEY_LEFT:
    case dorvo::input::KEY_RIGHT:
        if (!m_editorMode && m_pRoom)
            m_pRoom->FocusNearestFace(event.code == dorvo::input::KEY_RIGHT);
        break;
    case dorvo::input::KEY_LBRACKET:
        m_invertHorizontalDrag = !m_invertHorizontalDrag;
        break;
    case dorvo::input::KEY_RBRACKET:
        m_invertVerticalDrag = !m_invertVerticalDrag;
        break;
    default:
        break;
    }
}

bool CQUORB::GetCursorScreenPoint(math::Vector3& out) const
{
    const dorvo::gfx::CCursor* cursor =
        dynamic_cast<const dorvo::gfx::CCursor*>(m_pGuiManager->Find("Cursor"));
    if (!cursor)
        return false;
    out = cursor->GetScreenPoint();
    return true;
}

bool CQUORB::GetCursorFacePoint(math::Vector3& out) const
{
    math::Vector3 screen;
    return GetCursorScreenPoint(screen) && WidgetManipulator::ScreenToFacePlane(screen, out);
}

bool CQUORB::PickFaceOnClick(const dorvo::input::InputEvent& event)
{
    if (m_editorMode || event.code != dorvo::input::MOUSE_BUTTON_0)
        return false;
    if (event.value == 1 && !m_pickButtonDown)
    {
        m_pickButtonDown = true;
        m_pickTimer.Restart();
        if (!m_pRoom)
            return false;
        math::Vector3 screen;
        dorvo::CPicker* picker = g_pApp ? g_pApp->GetPicker() : nullptr;
        if (!GetCursorScreenPoint(screen) || !picker || !picker->BuildRay(screen))
        {
            m_pickFaceHit = false;
            return false;
        }
        float nearest = std::numeric_limits<float>::infinity();
        int hitFace = -1;
        for (unsigned face = 0; face < CRoom::kFaceCount; ++face)
        {
            float t = 0.0f;
            if (picker->GetRay().IntersectQuad(m_pRoom->GetFace(face), t) && t < nearest)
            {
                nearest = t;
                hitFace = static_cast<int>(face);
            }
        }
        m_pickFaceHit = hitFace >= 0;
        if (m_pickFaceHit)
            m_focusedFace = hitFace;
    }
    else if (event.value == 0)
    {
        m_pickButtonDown = false;
        if (m_pickFaceHit && m_pickTimer.GetTime() < kQuickClickSeconds)
            FocusFace();
    }
    return false;
}
} // namespace QUORB
