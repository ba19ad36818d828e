#include "engine/CEventManager.h"

#include "common/CountdownTimer.h"
#include "engine/EventType.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <functional>
#include <string>
#include <vector>

using namespace dorvo;

namespace
{
class TestEvent : public IEventData
{
public:
    TestEvent(const std::string& type, int id) : m_type(type), m_id(id) {}
    const EventType& GetEventType() const override { return m_type; }
    int Id() const { return m_id; }

private:
    EventType m_type;
    int m_id;
};

using Log = std::vector<std::string>;

// Logs "<name>:<event id>" for every event and returns its fixed answer; an optional action
// runs inside the handler.
class TestListener : public IEventListener
{
public:
    TestListener(Log& log, std::string name, bool consume = false)
        : m_log(log), m_name(std::move(name)), m_consume(consume)
    {
    }
    bool HandleEvent(const IEventDataPtr& event) override
    {
        m_log.push_back(m_name + ":" + std::to_string(static_cast<const TestEvent&>(*event).Id()));
        if (action)
            action(event);
        return m_consume;
    }
    std::function<void(const IEventDataPtr&)> action;

private:
    Log& m_log;
    std::string m_name;
    bool m_consume;
};

IEventDataPtr Event(const std::string& type, int id)
{
    return boost::make_shared<TestEvent>(type, id);
}

class CEventManagerTest : public ::testing::Test
{
protected:
    boost::shared_ptr<TestListener> Listener(const std::string& name, bool consume = false)
    {
        return boost::make_shared<TestListener>(log, name, consume);
    }

    CEventManager manager;
    Log log;
};
} // namespace

TEST(EventTypeTest, HashIsTheCaseInsensitiveDjb2XorHash)
{
    EXPECT_EQ(EventType::HashName(""), 5381u);
    // ((5381 * 33) ^ 'a') * 33 ^ 'b', wrapping at 32 bits.
    std::uint32_t h = 5381u;
    for (char c : std::string("ab"))
        h = (h * 33u) ^ static_cast<std::uint32_t>(c);
    EXPECT_EQ(EventType::HashName("ab"), h);
    EXPECT_EQ(EventType::HashName("AB"), h);
    EXPECT_EQ(EventType("Explode"), EventType("EXPLODE"));
    EXPECT_EQ(EventType::Wildcard().GetName(), "!");
}

TEST_F(CEventManagerTest, ValidateTypeRefusesEmptyNamesWildcardLookalikesAndCaseCollisions)
{
    EXPECT_FALSE(manager.ValidateType(EventType("")));
    EXPECT_TRUE(manager.ValidateType(EventType("!")));
    EXPECT_TRUE(manager.ValidateType(EventType("Explode")));
    ASSERT_TRUE(manager.AddListener(Listener("a"), EventType("Explode")));
    EXPECT_TRUE(manager.ValidateType(EventType("Explode")));
    EXPECT_FALSE(manager.ValidateType(EventType("explode")));
    EXPECT_FALSE(manager.AddListener(Listener("b"), EventType("EXPLODE")));
}

TEST_F(CEventManagerTest, ListenersRegisterOncePerTypeAndAreRemovedOnce)
{
    auto a = Listener("a");
    EXPECT_TRUE(manager.AddListener(a, EventType("One")));
    EXPECT_FALSE(manager.AddListener(a, EventType("One")));
    EXPECT_TRUE(manager.AddListener(a, EventType("Two")));
    EXPECT_FALSE(manager.AddListener(IEventListenerPtr(), EventType("Two")));
    EXPECT_FALSE(manager.AddListener(IEventListenerPtr(), EventType::Wildcard()));

    EXPECT_TRUE(manager.DelListener(a, EventType("One")));
    EXPECT_FALSE(manager.DelListener(a, EventType("One")));
    EXPECT_FALSE(manager.DelListener(a, EventType("Never")));
    EXPECT_TRUE(manager.DelListenerFromAll(a));
    EXPECT_FALSE(manager.DelListenerFromAll(a));
    EXPECT_FALSE(manager.Trigger(Event("Two", 1)));
    EXPECT_TRUE(log.empty());
}

TEST_F(CEventManagerTest, TriggerCallsWildcardsFirstThenEveryListenerOfTheType)
{
    manager.AddListener(Listener("first"), EventType("Hit"));
    manager.AddListener(Listener("second", true), EventType("Hit"));
    manager.AddListener(Listener("third"), EventType("Hit"));
    manager.AddListener(Listener("all"), EventType::Wildcard());

    EXPECT_TRUE(manager.Trigger(Event("Hit", 7)));
    EXPECT_EQ(log, (Log{"all:7", "first:7", "second:7", "third:7"}));

    log.clear();
    // No list for the type: the wildcard still hears it, but nothing consumed it.
    EXPECT_FALSE(manager.Trigger(Event("Miss", 8)));
    EXPECT_EQ(log, (Log{"all:8"}));

    log.clear();
    EXPECT_FALSE(manager.Trigger(Event("hit", 9))) << "a second spelling of a known type is refused";
    EXPECT_TRUE(log.empty());
}

TEST_F(CEventManagerTest, WildcardEventsReachWildcardListenersOnce)
{
    manager.AddListener(Listener("all"), EventType::Wildcard());
    manager.Trigger(Event("!", 1));
    EXPECT_EQ(log, (Log{"all:1"}));
}

TEST_F(CEventManagerTest, QueueingNeedsAListenerOfTheTypeOrAWildcard)
{
    EXPECT_FALSE(manager.ThreadSafeQueueEvent(Event("Hit", 1)));
    manager.AddListener(Listener("hit"), EventType("Hit"));
    EXPECT_TRUE(manager.ThreadSafeQueueEvent(Event("Hit", 2)));
    EXPECT_FALSE(manager.ThreadSafeQueueEvent(Event("Other", 3)));
    manager.AddListener(Listener("all"), EventType::Wildcard());
    EXPECT_TRUE(manager.ThreadSafeQueueEvent(Event("Other", 4)));
    EXPECT_EQ(manager.GetQueuedCount(), 2u);

    EXPECT_TRUE(manager.Tick(IEventManager::kInfinite));
    EXPECT_EQ(log, (Log{"all:2", "hit:2", "all:4"}));
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
}

TEST_F(CEventManagerTest, RemoveAndAbortTakeQueuedEventsOut)
{
    manager.AddListener(Listener("hit"), EventType("Hit"));
    auto one = Event("Hit", 1);
    manager.ThreadSafeQueueEvent(one);
    manager.ThreadSafeQueueEvent(Event("Hit", 2));
    manager.ThreadSafeQueueEvent(Event("Hit", 3));
    manager.ThreadSafeQueueEvent(Event("Hit", 4));

    EXPECT_TRUE(manager.RemoveQueuedEvent(one));
    EXPECT_FALSE(manager.RemoveQueuedEvent(one));
    EXPECT_TRUE(manager.AbortEvent(EventType("Hit"), false)); // only event 2
    EXPECT_FALSE(manager.AbortEvent(EventType("Nothing"), true));
    manager.Tick(IEventManager::kInfinite);
    EXPECT_EQ(log, (Log{"hit:3", "hit:4"}));

    manager.ThreadSafeQueueEvent(Event("Hit", 5));
    manager.ThreadSafeQueueEvent(Event("Hit", 6));
    EXPECT_TRUE(manager.AbortEvent(EventType("Hit"), true));
    EXPECT_FALSE(manager.AbortEvent(EventType("Hit"), true));
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
}

TEST_F(CEventManagerTest, EventsQueuedDuringATickWaitForTheNextTick)
{
    auto hit = Listener("hit");
    int queued = 0;
    hit->action = [&](const IEventDataPtr&)
    {
        if (queued++ == 0)
            manager.ThreadSafeQueueEvent(Event("Hit", 2));
    };
    manager.AddListener(hit, EventType("Hit"));
    manager.ThreadSafeQueueEvent(Event("Hit", 1));

    EXPECT_TRUE(manager.Tick(IEventManager::kInfinite));
    EXPECT_EQ(log, (Log{"hit:1"}));
    EXPECT_TRUE(manager.Tick(IEventManager::kInfinite));
    EXPECT_EQ(log, (Log{"hit:1", "hit:2"}));
    EXPECT_TRUE(manager.Tick(IEventManager::kInfinite)) << "an empty tick succeeds";
}

TEST_F(CEventManagerTest, AListenerMayRemoveItselfWhileHandling)
{
    auto once = Listener("once");
    once->action = [&](const IEventDataPtr&) { manager.DelListener(once, EventType("Hit")); };
    manager.AddListener(once, EventType("Hit"));
    manager.AddListener(Listener("stays"), EventType("Hit"));

    manager.Trigger(Event("Hit", 1));
    manager.Trigger(Event("Hit", 2));
    EXPECT_EQ(log, (Log{"once:1", "stays:1", "stays:2"}));
}

TEST_F(CEventManagerTest, AnExpiredBudgetStopsAfterAnEventWithListenersAndKeepsTheRestInOrder)
{
    plat::testclock::Set(10.0);
    auto slow = Listener("slow");
    slow->action = [](const IEventDataPtr&) { plat::testclock::Advance(0.010); }; // 10 ms each
    manager.AddListener(slow, EventType("Slow"));
    manager.AddListener(Listener("all"), EventType::Wildcard());
    manager.ThreadSafeQueueEvent(Event("Unheard", 1)); // only the wildcard hears it: no budget test
    manager.ThreadSafeQueueEvent(Event("Slow", 2));
    manager.ThreadSafeQueueEvent(Event("Slow", 3));
    manager.ThreadSafeQueueEvent(Event("Slow", 4));

    // 15 ms: event 2 leaves 5 ms, event 3 uses them up, the tick stops.
    EXPECT_FALSE(manager.Tick(15));
    EXPECT_EQ(log, (Log{"all:1", "all:2", "slow:2", "all:3", "slow:3"}));

    // Something queued meanwhile goes behind what was left over.
    manager.ThreadSafeQueueEvent(Event("Slow", 5));
    log.clear();
    EXPECT_TRUE(manager.Tick(IEventManager::kInfinite));
    EXPECT_EQ(log, (Log{"all:4", "slow:4", "all:5", "slow:5"}));
}
