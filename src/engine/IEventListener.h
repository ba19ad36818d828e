// Something that wants to hear events of the types it registers for with the event manager.
// The manager shares ownership of registered listeners.
#pragma once

#include "engine/IEventData.h"

#include <boost/shared_ptr.hpp>

namespace dorvo
{
class IEventListener
{
public:
    virtual ~IEventListener() = default;
    // True when the listener consumed the event.
    virtual bool HandleEvent(const IEventDataPtr& event) = 0;
};

using IEventListenerPtr = boost::shared_ptr<IEventListener>;
} // namespace dorvo
