// The names of the controls' state animations. The shown animation's name also picks the skin
// colour of a button, so a button with fewer records than states renames its current record as
// its state changes. Made before main runs.
#pragma once

#include <string>

namespace dorvo
{
namespace gfx
{
extern const std::string g_UnpressedAnimation;   // "UnpressedAnimation"
extern const std::string g_PressedAnimation;     // "PressedAnimation"
extern const std::string g_CursorOverAnimation;  // "CursorOverAnimation"
extern const std::string g_DisabledAnimation;    // "DisabledAnimation"
extern const std::string g_CheckedAnimation;     // "Checked"
extern const std::string g_CheckedOverAnimation; // "CheckedOver"
extern const std::string g_PointerAnimation;     // "Pointer_Animation", the cursor's
} // namespace gfx
} // namespace dorvo
