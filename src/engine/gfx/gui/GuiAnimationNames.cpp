#include "engine/gfx/gui/GuiAnimationNames.h"

namespace dorvo
{
namespace gfx
{
const std::string g_UnpressedAnimation = "UnpressedAnimation";
const std::string g_PressedAnimation = "PressedAnimation";
const std::string g_CursorOverAnimation = "CursorOverAnimation";
const std::string g_DisabledAnimation = "DisabledAnimation";
const std::string g_CheckedAnimation = "Checked";
const std::string g_CheckedOverAnimation = "CheckedOver";
const std::string g_PointerAnimation = "Pointer_Animation";
} // namespace gfx
} // namespace dorvo
