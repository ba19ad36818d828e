// The row an editor bar shows of its buttons: the chosen ones side by side in the table's order,
// the others hidden. The buttons stay filed in the bar's 2D component; only their places and
// visibility change.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CSprite;
class Gfx2DComp;
} // namespace gfx
} // namespace dorvo

namespace QUORB
{
// Of the buttons named (a name the component does not know is passed over), those whose index is
// not in chosen are hidden with their children; the chosen ones are shown with their children,
// kEditorButtonSpacing pixels apart from x on, each keeping its y, and the first of them becomes
// refSprite (the slide's reference). Returns the x after the last one shown (x when none is).
int LayOutButtonRow(dorvo::gfx::Gfx2DComp& comp, const std::vector<std::string>& names,
                    const std::vector<int>& chosen, int x, dorvo::gfx::CSprite*& refSprite);

// The same over a table whose entries name their button in a member `button`.
template <class Entry, std::size_t Count>
int LayOutButtonRow(dorvo::gfx::Gfx2DComp& comp, const Entry (&table)[Count], const std::vector<int>& chosen,
                    int x, dorvo::gfx::CSprite*& refSprite)
{
    std::vector<std::string> names;
    names.reserve(Count);
    for (const Entry& entry : table)
        names.push_back(entry.button);
    return LayOutButtonRow(comp, names, chosen, x, refSprite);
}
} // namespace QUORB
