// The scroll bar the list panels (the profiles, the room selection) keep beside their list: the
// slider image's track, arrows and thumb standing at (400, 80) of the panel, scrolling a list
// whose rows run from (150, 90) down to y 370. The maker returns a new unit for the caller to
// file below its panel (BaseMenu::AddUnit), which then owns it.
#pragma once

#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class ScrollBar;
}
} // namespace dorvo

namespace QUORB
{
// The bar named name, scrolling the 2D component's scroll list listName; hit by the 38 x 350
// rectangle of the track from its top left.
std::unique_ptr<dorvo::gfx::ScrollBar> MakeListScrollBar(const std::string& name,
                                                         const std::string& listName);
} // namespace QUORB
