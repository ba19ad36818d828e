// The publish-subscribe hub as the rest of the program sees it: listeners register for event
// types; events are delivered at once (Trigger) or queued and delivered by the per-frame Tick.
// The shell creates the one manager behind g_pEventManager at start-up and deletes it at
// shutdown; the game ticks it every frame.
#pragma once

#include "engine/IEventData.h"
#include "engine/IEventListener.h"

#include <cstdint>

namespace dorvo
{
class EventType;

class IEventManager
{
public:
    // Tick without a time budget.
    static constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

    virtual ~IEventManager() = default;

    virtual bool AddListener(const IEventListenerPtr& listener, const EventType& type) = 0;
    virtual bool DelListener(const IEventListenerPtr& listener, const EventType& type) = 0;
    virtual bool DelListenerFromAll(const IEventListenerPtr& listener) = 0;
    virtual bool Trigger(const IEventDataPtr& event) = 0;
    // maxMilliseconds: the delivery budget of this call, kInfinite for none.
    virtual bool Tick(std::uint32_t maxMilliseconds) = 0;
    virtual bool ThreadSafeQueueEvent(const IEventDataPtr& event) = 0;
    virtual bool RemoveQueuedEvent(const IEventDataPtr& event) = 0;
    virtual bool AbortEvent(const EventType& type, bool all) = 0;
    virtual bool ValidateType(const EventType& type) const = 0;
};
} // namespace dorvo

// The one event manager; null before start-up and after shutdown.
extern dorvo::IEventManager* g_pEventManager;
