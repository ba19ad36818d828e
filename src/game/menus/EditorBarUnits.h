// The units the editor bars (widget choice, widget property, property value) and the mouse
// badge are built from: square buttons on the bar-button look, scaled to 51 x 45 pixels and hit
// by a 40 x 36 rectangle from their top left, each carrying its tip and a 64 x 64 icon as a
// child. Each maker returns a new unit for the caller to file (BaseMenu::AddUnit).
#pragma once

#include <memory>
#include <string>

class StateMachineComponent;

namespace dorvo
{
namespace gfx
{
class CButton;
class CheckButton;
class CSprite;
} // namespace gfx
} // namespace dorvo

namespace QUORB
{
constexpr int kEditorButtonHitWidth = 40; // pixels
constexpr int kEditorButtonHitHeight = 36;
constexpr float kEditorButtonScaleX = 0.2f;
constexpr float kEditorButtonScaleY = 0.6f;
constexpr int kEditorButtonSpacing = 50; // pixels between neighbouring buttons of a bar

// A check button named name, unchecked, clicking MSG_ButtonPressed to its menu; with
// reportUncheck its unchecks come back as MSG_ButtonUnPressed, else it has no uncheck callback.
std::unique_ptr<dorvo::gfx::CheckButton> MakeEditorCheckButton(StateMachineComponent* owner,
                                                               const std::string& name,
                                                               const std::string& tip, bool reportUncheck);
// The same as a plain button (no checked state).
std::unique_ptr<dorvo::gfx::CButton> MakeEditorButton(StateMachineComponent* owner, const std::string& name,
                                                      const std::string& tip);
// An icon: one still 64 x 64 frame "Base" of the texture, at (x, y) in its parent, scaled.
std::unique_ptr<dorvo::gfx::CSprite> MakeEditorIcon(const std::string& texture, const std::string& name,
                                                    int x, int y, float scale);
} // namespace QUORB
