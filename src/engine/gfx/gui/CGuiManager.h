// The game's own 2D units (the cursor, heads-up read-outs): named top-level units that the game
// updates and offers input to every frame and whose per-frame list it hands to the graphics
// facade to draw. The manager owns its units and deletes them when they are removed (by name,
// at the next update) and when it goes.
#pragma once

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dorvo
{
namespace input
{
struct InputEvent;
}

namespace gfx
{
class IScreenUnit;

class CGuiManager
{
public:
    CGuiManager();
    // Deletes every unit.
    ~CGuiManager();

    CGuiManager(const CGuiManager&) = delete;
    CGuiManager& operator=(const CGuiManager&) = delete;

    // Takes the unit under the name. A name in use keeps its unit and the new one is deleted:
    // false then, and for no unit.
    bool Add(const std::string& name, std::unique_ptr<IScreenUnit> unit);
    // The top-level unit of that name, or null.
    IScreenUnit* Find(const std::string& name) const;
    // The unit of that name goes at the next Update, after the units have updated.
    void QueueRemoval(const std::string& name);

    // Every unit's update in name order (ms: milliseconds since the last frame), then the queued
    // removals (names not held are skipped), then the per-frame list is made again.
    void Update(int ms);
    // Offers the event to the units in name order; true at the first that takes it.
    bool HandleInput(const input::InputEvent* event, float dt);
    // Forwarded to every unit.
    void OnLostDevice();
    void OnResetDevice();

    // What the game hands to graphics each frame: every unit followed by its descendants (depth
    // first, children in name order), units in name order, as of the last Update.
    const std::vector<IScreenUnit*>& GetUnits() const { return m_frameUnits; }
    std::size_t GetUnitCount() const { return m_units.size(); }

private:
    std::map<std::string, std::unique_ptr<IScreenUnit>> m_units;
    std::vector<IScreenUnit*> m_frameUnits;
    std::list<std::string> m_removals;
};
} // namespace gfx
} // namespace dorvo
