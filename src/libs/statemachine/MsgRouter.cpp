#include "statemachine/MsgRouter.h"

#include "common/Singleton.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"
#include "statemachine/MsgClock.h"
#include "statemachine/StateMachine.h"

#include <cmath>
#include <limits>

namespace
{
float ClockNow()
{
    return common::Singleton<MsgClock>::Instance()->GetNow();
}
} // namespace

void MsgRouter::StoreMsg(float delay, MessageName name, std::uint32_t receiver, std::uint32_t sender,
                         std::uint32_t scope, std::uint32_t stamp, const MessageData& data, bool periodic,
                         bool forwarded)
{
    const float now = ClockNow();
    if (delay > 0.0f)
    {
        scope &= Message::kScopeMask;
        for (const Entry& entry : m_queue)
        {
            const Message& queued = *entry.message;
            if (!queued.IsDelivered() && queued.GetName() == name && queued.GetReceiver() == receiver &&
                queued.GetSender() == sender && queued.GetScope() == scope && queued.GetStamp() == stamp &&
                queued.IsPeriodic() == periodic)
            {
                return;
            }
        }
        // A delay lost in the rounding of a large clock value would make the message due in the
        // walk that queued it, and a handler that re-sends itself would then never let go.
        float time = now + delay;
        if (time <= now)
        {
            time = std::nextafter(now, std::numeric_limits<float>::infinity());
        }
        m_queue.push_back(Entry{m_nextSerial++, std::make_unique<Message>(time, name, sender, receiver, scope,
                                                                          stamp, data, periodic, forwarded)});
        return;
    }
    Message message(now, name, sender, receiver, scope, stamp, data, periodic, forwarded);
    RouteMsg(message);
}

void MsgRouter::RouteMsg(Message& message)
{
    ACMsgTaker* taker = common::Singleton<Database>::Instance()->FindById(message.GetReceiver());
    if (!taker)
    {
        return;
    }
    StateMachine* machine = taker->GetActiveStateMachine();
    if (!machine)
    {
        return;
    }
    switch (message.GetScope())
    {
    case MSG_SCOPE_NONE:
        break;
    case MSG_SCOPE_STATE:
        if (message.GetStamp() != machine->GetStateStamp())
        {
            return;
        }
        break;
    case MSG_SCOPE_SUBSTATE:
        if (message.GetStamp() != machine->GetSubstateStamp())
        {
            return;
        }
        break;
    default:
        return;
    }

    message.SetDelivered();
    if (message.IsPeriodic())
    {
        const float period = message.GetData().GetFloat();
        MessageData zero;
        zero.SetInt(0);
        message.SetData(zero);
        machine->SendPeriodicMsgToSelf(period, message.GetName(), message.GetScope());
    }
    machine->Process(message.IsForwarded() ? StateMachine::EVENT_Forwarded : StateMachine::EVENT_Message,
                     &message);
}

void MsgRouter::DeliverDelayedMessages()
{
    // Walks by serial rather than by position: handlers queue, purge and deliver while we are
    // in a delivery, so no iterator is kept across RouteMsg. Messages queued meanwhile have
    // larger serials and are reached by this same walk.
    std::uint64_t lastSerial = 0;
    for (;;)
    {
        const float now = ClockNow();
        Message* due = nullptr;
        std::uint64_t dueSerial = 0;
        for (Entry& entry : m_queue)
        {
            if (entry.serial <= lastSerial)
            {
                continue;
            }
            // A message already in delivery belongs to an outer walk, which deletes it.
            if (!entry.message->IsDelivered() && entry.message->GetTime() <= now)
            {
                due = entry.message.get();
                dueSerial = entry.serial;
                break;
            }
        }
        if (!due)
        {
            return;
        }
        lastSerial = dueSerial;
        RouteMsg(*due);
        Erase(dueSerial);
    }
}

void MsgRouter::Erase(std::uint64_t serial)
{
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it)
    {
        if (it->serial == serial)
        {
            m_queue.erase(it);
            return;
        }
    }
}

void MsgRouter::PurgeMessagesFor(std::uint32_t receiver)
{
    for (auto it = m_queue.begin(); it != m_queue.end();)
    {
        const Message& message = *it->message;
        if (message.GetReceiver() == receiver && message.GetScope() != MSG_SCOPE_NONE &&
            !message.IsDelivered())
        {
            it = m_queue.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

void MsgRouter::PurgeAll()
{
    // The message in delivery, if any, is still in use by its walk, which deletes it.
    m_queue.remove_if([](const Entry& entry) { return !entry.message->IsDelivered(); });
}

const Message* MsgRouter::GetQueuedMessage(std::size_t index) const
{
    for (const Entry& entry : m_queue)
    {
        if (index-- == 0)
        {
            return entry.message.get();
        }
    }
    return nullptr;
}
