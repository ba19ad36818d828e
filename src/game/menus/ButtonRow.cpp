#include "game/menus/ButtonRow.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/EditorBarUnits.h"

#include <algorithm>

namespace QUORB
{
int LayOutButtonRow(dorvo::gfx::Gfx2DComp& comp, const std::vector<std::string>& names,
                    const std::vector<int>& chosen, int x, dorvo::gfx::CSprite*& refSprite)
{
    bool first = true;
    for (std::size_t index = 0; index < names.size(); ++index)
    {
        dorvo::gfx::CButton* button = comp.GetButton(names[index]);
        if (!button)
            continue;
        if (std::find(chosen.begin(), chosen.end(), static_cast<int>(index)) == chosen.end())
        {
            button->SetVisible(false, true);
            continue;
        }
        button->SetPosition(x, button->GetPositionY());
        button->SetVisible(true, true);
        if (first)
            refSprite = button;
        first = false;
        x += kEditorButtonSpacing;
    }
    return x;
}
} // namespace QUORB
