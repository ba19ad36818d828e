// One message between message-taking objects: a name, sender and receiver game-object ids, one
// typed value, the delivery time on the message clock, and the scope that limits it to the
// state or substate its sender was in. Plain value; the router keeps heap copies while queued.
#pragma once

#include "statemachine/MessageData.h"
#include "statemachine/MessageName.h"

#include <cstdint>
#include <string>

// Which stamp a message carries: a scoped message dies with the sender's state (or substate)
// change. Only these three values are meaningful; 3 never passes the router.
enum MessageScope : std::uint32_t
{
    MSG_SCOPE_NONE = 0,
    MSG_SCOPE_STATE = 1,
    MSG_SCOPE_SUBSTATE = 2
};

class Message
{
public:
    // Flag bits. Bits 0-1 hold the scope.
    static constexpr std::uint32_t kScopeMask = 0x3;
    static constexpr std::uint32_t kDelivered = 1u << 2; // delivery has begun: never purged, no duplicate
    static constexpr std::uint32_t kPeriodic = 1u << 3;  // float data is the period; re-posts itself
    static constexpr std::uint32_t kForwarded = 1u << 4; // a copy sent to a machine's copy receiver
    static constexpr std::uint32_t kCopiedFlags = 0x1F;

    // time: seconds on the message clock. Only the low two bits of scope are kept.
    Message(float time, MessageName name, std::uint32_t sender, std::uint32_t receiver, std::uint32_t scope,
            std::uint32_t stamp, MessageData data, bool periodic, bool forwarded);
    Message(const Message& other);
    Message& operator=(const Message& other);

    MessageName GetName() const { return m_name; }
    std::uint32_t GetSender() const { return m_sender; }
    std::uint32_t GetReceiver() const { return m_receiver; }
    float GetTime() const { return m_time; }
    std::uint32_t GetStamp() const { return m_stamp; }
    std::uint32_t GetFlags() const { return m_flags; }
    std::uint32_t GetScope() const { return m_flags & kScopeMask; }
    bool IsDelivered() const { return (m_flags & kDelivered) != 0; }
    bool IsPeriodic() const { return (m_flags & kPeriodic) != 0; }
    bool IsForwarded() const { return (m_flags & kForwarded) != 0; }
    void SetDelivered() { m_flags |= kDelivered; }

    MessageData GetData() const { return m_data; }
    void SetData(const MessageData& data) { m_data = data; }
    std::string GetString() const { return m_data.GetString(); }
    // Shortcuts for handlers, reading the data in place.
    int GetInt() const { return m_data.GetInt(); }
    float GetFloat() const { return m_data.GetFloat(); }
    void* GetPointer() const { return m_data.GetPointer(); }
    const dorvo::input::InputEvent& GetInputEvent() const { return m_data.GetInputEvent(); }
    const math::Vector3& GetVector3() const { return m_data.GetVector3(); }

private:
    MessageName m_name;
    std::uint32_t m_sender;
    std::uint32_t m_receiver;
    MessageData m_data;
    float m_time;
    std::uint32_t m_stamp;
    std::uint32_t m_flags;
};
