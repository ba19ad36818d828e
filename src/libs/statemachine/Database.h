// The registry of message-taking objects (every StateMachineComponent registers itself). It
// finds an object's id by its game-object name, delivers messages at once, and broadcasts input
// to the objects in ascending 2D drawing depth until one takes it. Holds the objects by plain
// pointer: each removes itself when it dies. Reached through common::Singleton<Database>::Instance().
#pragma once

#include "statemachine/MessageName.h"

#include <cstdint>
#include <string>
#include <vector>

class ACMsgTaker;
class MessageData;
namespace math
{
class Vector3;
}
namespace dorvo
{
namespace input
{
struct InputEvent;
}
} // namespace dorvo

class Database
{
public:
    // The sender id of messages sent through the database rather than by a machine.
    static constexpr std::uint32_t kDatabaseSenderId = 1;

    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Adds the object and sorts the list by every object's current depth, ascending and stable.
    // A second object with the same id is refused with an assertion.
    void Store(ACMsgTaker* taker);
    // Removes the first object with this game-object id; nothing when there is none.
    void Remove(std::uint32_t id);
    ACMsgTaker* FindById(std::uint32_t id) const;
    // The id of the first object whose game-object name is exactly this (case counts); 0 for none.
    std::uint32_t FindIdByName(const std::string& name) const;

    // Immediate delivery to the receiver's active machine as a message event (sender 1, never
    // scoped). False when there is no such object or it did not handle the message.
    bool SendMsg(std::uint32_t receiver, MessageName name);
    bool SendMsgInt(std::uint32_t receiver, MessageName name, int value);
    bool SendMsgVector3(std::uint32_t receiver, MessageName name, const math::Vector3& value);
    bool SendMsgString(std::uint32_t receiver, MessageName name, const std::string& value);

    // Offers the message to each object in list order and stops at the first that handles it;
    // true when one did. The game offers every key and button event here first (MSG_Pressed
    // going down, MSG_UnPressed going up) before any other input routing.
    bool BroadcastMsgVector3(MessageName name, const math::Vector3& value);
    bool BroadcastInputMsg(MessageName name, const dorvo::input::InputEvent& event);

    std::size_t GetCount() const { return m_entries.size(); }
    ACMsgTaker* GetEntry(std::size_t index) const; // in list order; null past the end

private:
    struct Entry
    {
        ACMsgTaker* taker;
        std::uint64_t serial; // tells a newly stored object from a removed one at the same address
        int depth;            // as read at the last Store
    };

    bool Deliver(ACMsgTaker* taker, MessageName name, const MessageData& data);
    bool Broadcast(MessageName name, const MessageData& data);
    bool Contains(const Entry& entry) const;

    std::vector<Entry> m_entries;
    std::uint64_t m_nextSerial = 1;
};
