#include "game/ManipulatorLogic.h"

#include "engine/StateMachineComponent.h"

namespace QUORB
{
ManipulatorLogic::ManipulatorLogic(StateMachineComponent* owner, WidgetManipulator* manipulator)
    : StateMachine(owner), m_pManipulator(manipulator)
{
}

bool ManipulatorLogic::HandleStateEvent(std::uint32_t, const Message*, int, int)
{
    return false;
}
} // namespace QUORB
