#include "engine/CEventManager.h"

#include "common/CountdownTimer.h"
#include "common/ScopedMutexLock.h"

#include <algorithm>

namespace dorvo
{
CEventManager::CEventManager() : m_mutex(L"Event System") {}

CEventManager::~CEventManager() = default;

bool CEventManager::ValidateType(const EventType& type) const
{
    if (type.GetName().empty())
        return false;
    if (type.GetHash() == EventType::Wildcard().GetHash() &&
        type.GetName() != EventType::Wildcard().GetName())
        return false;
    auto known = m_knownTypes.find(type);
    return known == m_knownTypes.end() || known->GetName() == type.GetName();
}

bool CEventManager::AddListener(const IEventListenerPtr& listener, const EventType& type)
{
    // A null listener would be called on the next delivery.
    if (!listener || !ValidateType(type))
        return false;
    m_knownTypes.insert(type);
    ListenerList& list = m_listeners[type.GetHash()];
    if (std::find(list.begin(), list.end(), listener) != list.end())
        return false;
    list.push_back(listener);
    return true;
}

bool CEventManager::DelListener(const IEventListenerPtr& listener, const EventType& type)
{
    if (!ValidateType(type))
        return false;
    auto found = m_listeners.find(type.GetHash());
    if (found == m_listeners.end())
        return false;
    ListenerList& list = found->second;
    auto entry = std::find(list.begin(), list.end(), listener);
    if (entry == list.end())
        return false;
    list.erase(entry);
    return true;
}

bool CEventManager::DelListenerFromAll(const IEventListenerPtr& listener)
{
    bool removed = false;
    for (auto& [hash, list] : m_listeners)
    {
        auto entry = std::find(list.begin(), list.end(), listener);
        if (entry != list.end())
        {
            list.erase(entry);
            removed = true;
        }
    }
    return removed;
}

CEventManager::ListenerList CEventManager::ListenersOf(std::uint32_t hash) const
{
    auto found = m_listeners.find(hash);
    return found == m_listeners.end() ? ListenerList() : found->second;
}

bool CEventManager::HasListenerList(std::uint32_t hash) const
{
    return m_listeners.count(hash) != 0;
}

bool CEventManager::Deliver(const IEventDataPtr& event, bool& typeHasList)
{
    const std::uint32_t wildcard = EventType::Wildcard().GetHash();
    const std::uint32_t hash = event->GetEventType().GetHash();
    for (const IEventListenerPtr& listener : ListenersOf(wildcard))
        listener->HandleEvent(event);

    typeHasList = HasListenerList(hash);
    if (!typeHasList || hash == wildcard)
        return false;
    bool consumed = false;
    for (const IEventListenerPtr& listener : ListenersOf(hash))
        consumed = listener->HandleEvent(event) || consumed;
    return consumed;
}

bool CEventManager::Trigger(const IEventDataPtr& event)
{
    if (!event || !ValidateType(event->GetEventType()))
        return false;
    bool typeHasList = false;
    return Deliver(event, typeHasList);
}

bool CEventManager::Tick(std::uint32_t maxMilliseconds)
{
    common::CCountdownTimer budget(static_cast<float>(maxMilliseconds / 1000.0), true);

    const std::uint32_t processing = m_activeQueue;
    m_activeQueue = (m_activeQueue + 1) % 2;
    m_queues[m_activeQueue].clear();

    EventQueue& queue = m_queues[processing];
    while (!queue.empty())
    {
        IEventDataPtr event = queue.front();
        queue.pop_front();
        bool typeHasList = false;
        Deliver(event, typeHasList);
        if (typeHasList && maxMilliseconds != kInfinite && budget.IsExpired())
            break;
    }

    if (queue.empty())
        return true;
    EventQueue& active = m_queues[m_activeQueue];
    active.splice(active.begin(), queue);
    return false;
}

bool CEventManager::ThreadSafeQueueEvent(const IEventDataPtr& event)
{
    common::ScopedMutexLock lock(m_mutex.GetHandle());
    if (!event || !ValidateType(event->GetEventType()))
        return false;
    if (!HasListenerList(event->GetEventType().GetHash()) &&
        !HasListenerList(EventType::Wildcard().GetHash()))
        return false;
    m_queues[m_activeQueue].push_back(event);
    return true;
}

bool CEventManager::RemoveQueuedEvent(const IEventDataPtr& event)
{
    if (!event || !ValidateType(event->GetEventType()))
        return false;
    if (!HasListenerList(event->GetEventType().GetHash()))
        return false;
    EventQueue& queue = m_queues[m_activeQueue];
    auto found = std::find(queue.begin(), queue.end(), event);
    if (found == queue.end())
        return false;
    queue.erase(found);
    return true;
}

bool CEventManager::AbortEvent(const EventType& type, bool all)
{
    if (!ValidateType(type))
        return false;
    if (!HasListenerList(type.GetHash()))
        return false;
    bool removed = false;
    EventQueue& queue = m_queues[m_activeQueue];
    for (auto it = queue.begin(); it != queue.end();)
    {
        if ((*it)->GetEventType() == type)
        {
            it = queue.erase(it);
            removed = true;
            if (!all)
                break;
        }
        else
            ++it;
    }
    return removed;
}
} // namespace dorvo
