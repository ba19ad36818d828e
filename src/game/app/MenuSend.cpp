#include "game/app/MenuSend.h"

#include "common/Singleton.h"
#include "statemachine/Database.h"
#include "statemachine/StateMachine.h"

namespace QUORB
{
bool SendToMenu(const std::string& menu, MessageName name)
{
    const std::uint32_t id = MenuTable::FindId(menu, "SendToMenu");
    return id != 0 && common::Singleton<Database>::Instance()->SendMsg(id, name);
}

bool SendIntToMenu(const std::string& menu, MessageName name, int value)
{
    const std::uint32_t id = MenuTable::FindId(menu, "SendIntToMenu");
    return id != 0 && common::Singleton<Database>::Instance()->SendMsgInt(id, name, value);
}

bool SendTextToMenu(const std::string& menu, MessageName name, const std::string& text)
{
    const std::uint32_t id = MenuTable::FindId(menu, "SendTextToMenu");
    return id != 0 && common::Singleton<Database>::Instance()->SendMsgString(id, name, text);
}

void SendToMenuFrom(StateMachine& sender, const std::string& menu, MessageName name, int value)
{
    if (const std::uint32_t id = MenuTable::FindId(menu, "SendToMenuFrom"))
        sender.SendMsg(name, id, value);
}
} // namespace QUORB
