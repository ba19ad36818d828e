// A container sprite: besides the unit tree's children it keeps a second set of named units,
// its GUI children, which it updates, draws right after itself and offers input to. It owns
// them. The cursor is one.
#pragma once

#include "engine/gfx/sprites/CSprite.h"

#include <map>
#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CBaseGUI : public CSprite
{
public:
    using GuiChildMap = std::map<std::string, std::unique_ptr<IScreenUnit>>; // by name

    CBaseGUI() = default;
    explicit CBaseGUI(const std::string& textureFile) : CSprite(textureFile) {}
    ~CBaseGUI() override;

    void OnLostDevice() override;
    void OnResetDevice() override;
    // The sprite's update, then every GUI child's in name order.
    void Update(int ms) override;
    // The sprite, then every GUI child in name order.
    void Render(double time, float dt) override;
    // Offered to the GUI children alone, in name order; true at the first that takes it.
    bool HandleInput(const input::InputEvent* event, float dt) override;

    // Takes the unit under the name; false (the unit deleted) for a name in use or no unit.
    bool AddGuiChild(const std::string& name, std::unique_ptr<IScreenUnit> unit);
    const GuiChildMap& GetGuiChildren() const { return m_guiChildren; }

private:
    GuiChildMap m_guiChildren;
};
} // namespace gfx
} // namespace dorvo
