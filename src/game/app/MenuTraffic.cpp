#include "game/app/MenuTraffic.h"

namespace QUORB
{
namespace
{
MenuMessageObserver s_observer = nullptr;
}

MenuMessageObserver SetMenuMessageObserver(MenuMessageObserver observer)
{
    const MenuMessageObserver previous = s_observer;
    s_observer = observer;
    return previous;
}

void ReportMenuMessage(const StateMachine& menu, const Message& message)
{
    if (s_observer)
        s_observer(menu, message);
}
} // namespace QUORB
