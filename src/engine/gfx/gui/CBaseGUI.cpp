#include "engine/gfx/gui/CBaseGUI.h"

namespace dorvo
{
namespace gfx
{
CBaseGUI::~CBaseGUI() = default;

void CBaseGUI::OnLostDevice()
{
    for (auto& child : m_guiChildren)
        child.second->OnLostDevice();
}

void CBaseGUI::OnResetDevice()
{
    for (auto& child : m_guiChildren)
        child.second->OnResetDevice();
}

void CBaseGUI::Update(int ms)
{
    CSprite::Update(ms);
    for (auto& child : m_guiChildren)
        child.second->Update(ms);
}

void CBaseGUI::Render(double time, float dt)
{
    CSprite::Render(time, dt);
    for (auto& child : m_guiChildren)
        child.second->Render(time, dt);
}

bool CBaseGUI::HandleInput(const input::InputEvent* event, float dt)
{
    for (auto& child : m_guiChildren)
        if (child.second->HandleInput(event, dt))
            return true;
    return false;
}

bool CBaseGUI::AddGuiChild(const std::string& name, std::unique_ptr<IScreenUnit> unit)
{
    if (!unit || m_guiChildren.count(name) != 0)
        return false;
    unit->SetName(name);
    m_guiChildren.emplace(name, std::move(unit));
    return true;
}
} // namespace gfx
} // namespace dorvo
