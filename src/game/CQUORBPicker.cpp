#include "game/CQUORBPicker.h"

namespace QUORB
{
bool CQUORBPicker::OnInputEvent(const dorvo::input::InputEvent&)
{
    return false;
}
} // namespace QUORB
