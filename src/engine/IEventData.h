// An event: whatever a sender publishes through the event manager. Concrete events add their
// payload; the manager only asks for the type. Events are shared between the queue and the
// listeners that keep them.
#pragma once

#include <boost/shared_ptr.hpp>

namespace dorvo
{
class EventType;

class IEventData
{
public:
    virtual ~IEventData() = default;
    virtual const EventType& GetEventType() const = 0;
};

using IEventDataPtr = boost::shared_ptr<IEventData>;
} // namespace dorvo
