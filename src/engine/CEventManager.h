// The event manager: listeners by event type, two queues so that events queued while a tick
// delivers wait for the next tick, and the "Event System" mutex around the one operation other
// threads may call. Listener lists are walked over a copy, so a listener may add or remove
// listeners (itself included) while it handles an event.
#pragma once

#include "common/NamedMutex.h"
#include "engine/EventType.h"
#include "engine/IEventManager.h"

#include <list>
#include <map>
#include <set>
#include <vector>

namespace dorvo
{
class CEventManager : public IEventManager
{
public:
    CEventManager();
    ~CEventManager() override;
    CEventManager(const CEventManager&) = delete;
    CEventManager& operator=(const CEventManager&) = delete;

    bool AddListener(const IEventListenerPtr& listener, const EventType& type) override;
    bool DelListener(const IEventListenerPtr& listener, const EventType& type) override;
    bool DelListenerFromAll(const IEventListenerPtr& listener) override;
    bool Trigger(const IEventDataPtr& event) override;
    bool Tick(std::uint32_t maxMilliseconds) override;
    bool ThreadSafeQueueEvent(const IEventDataPtr& event) override;
    bool RemoveQueuedEvent(const IEventDataPtr& event) override;
    bool AbortEvent(const EventType& type, bool all) override;
    bool ValidateType(const EventType& type) const override;

    // Events waiting in the queue that receives new ones.
    std::size_t GetQueuedCount() const { return m_queues[m_activeQueue].size(); }

private:
    using ListenerList = std::vector<IEventListenerPtr>;
    using EventQueue = std::list<IEventDataPtr>;

    // Copies of the listener lists to walk; empty when there is none.
    ListenerList ListenersOf(std::uint32_t hash) const;
    bool HasListenerList(std::uint32_t hash) const;
    // Wildcard listeners, then the type's own (the wildcard's own listeners hear it once).
    // True when a listener of the type's own list consumed the event.
    bool Deliver(const IEventDataPtr& event, bool& typeHasList);

    std::set<EventType> m_knownTypes;
    std::map<std::uint32_t, ListenerList> m_listeners; // by type hash, registration order
    EventQueue m_queues[2];
    std::uint32_t m_activeQueue = 0; // the queue that receives new events
    common::CNamedMutex m_mutex;
};
} // namespace dorvo
