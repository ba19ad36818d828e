#include "platform/event_observer.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace plat
{
namespace
{
using Entry = std::pair<RawEventObserver, void*>;

std::vector<Entry>& Observers()
{
    static std::vector<Entry> observers;
    return observers;
}
} // namespace

void AddRawEventObserver(RawEventObserver observer, void* user)
{
    if (!observer)
        return;
    auto& list = Observers();
    if (std::find(list.begin(), list.end(), Entry(observer, user)) == list.end())
        list.emplace_back(observer, user);
}

void RemoveRawEventObserver(RawEventObserver observer, void* user)
{
    auto& list = Observers();
    list.erase(std::remove(list.begin(), list.end(), Entry(observer, user)), list.end());
}

void NotifyRawEvent(const void* event)
{
    // A copy, so an observer may remove itself while being notified.
    std::vector<Entry> list = Observers();
    for (const Entry& e : list)
        e.first(event, e.second);
}
} // namespace plat
