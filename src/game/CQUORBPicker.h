// The game's picker: the application's picker once the game exists. It picks only while the
// editor is on (the game enables it with the editor) and only when the widget manipulation asks;
// a click by itself picks nothing.
#pragma once

#include "engine/CPicker.h"

namespace QUORB
{
class CQUORBPicker : public dorvo::CPicker
{
public:
    // Never picks and never takes the event: the manipulator picks when it needs to.
    bool OnInputEvent(const dorvo::input::InputEvent& event) override;
};
} // namespace QUORB
