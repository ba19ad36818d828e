// Carries the state machines' messages: those sent without delay are delivered at once, the
// others queue until the message clock reaches their time. It applies the state and substate
// scopes and re-posts periodic messages. Handlers may send, queue and purge while a message is
// being delivered; the router never holds a queue position across a delivery. Reached through
// common::Singleton<MsgRouter>::Instance(); owns the queued messages.
#pragma once

#include "statemachine/Message.h"

#include <cstdint>
#include <list>
#include <memory>

class MsgRouter
{
public:
    MsgRouter() = default;
    MsgRouter(const MsgRouter&) = delete;
    MsgRouter& operator=(const MsgRouter&) = delete;

    // delay: seconds. A delayed message that is already queued and not yet in delivery (same
    // name, receiver, sender, scope, stamp and periodic bit; data not compared) is not queued twice.
    void StoreMsg(float delay, MessageName name, std::uint32_t receiver, std::uint32_t sender,
                  std::uint32_t scope, std::uint32_t stamp, const MessageData& data, bool periodic,
                  bool forwarded);
    // Delivers one message now to the receiver's active machine, unless the receiver is gone,
    // has no machine, or the message's scope has died. Marks it delivered.
    void RouteMsg(Message& message);
    // Once per frame, after MsgClock::Update: delivers every due message in queue order.
    void DeliverDelayedMessages();
    // Drops the receiver's queued scoped messages (not the one being delivered).
    void PurgeMessagesFor(std::uint32_t receiver);
    // Drops every queued message except one in delivery. For shutdown and tests.
    void PurgeAll();

    std::size_t GetQueuedCount() const { return m_queue.size(); }
    // The queued messages in queue order, for inspection.
    const Message* GetQueuedMessage(std::size_t index) const;

private:
    struct Entry
    {
        std::uint64_t serial; // queue order; a walk resumes after the last serial it handled
        std::unique_ptr<Message> message;
    };

    void Erase(std::uint64_t serial);

    std::list<Entry> m_queue;
    std::uint64_t m_nextSerial = 1;
};
