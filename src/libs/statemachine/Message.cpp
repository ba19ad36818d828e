#include "statemachine/Message.h"

#include <utility>

Message::Message(float time, MessageName name, std::uint32_t sender, std::uint32_t receiver,
                 std::uint32_t scope, std::uint32_t stamp, MessageData data, bool periodic, bool forwarded)
    : m_name(name), m_sender(sender), m_receiver(receiver), m_data(std::move(data)), m_time(time),
      m_stamp(stamp),
      m_flags((scope & kScopeMask) | (periodic ? kPeriodic : 0u) | (forwarded ? kForwarded : 0u))
{
}

Message::Message(const Message& other)
    : m_name(other.m_name), m_sender(other.m_sender), m_receiver(other.m_receiver), m_data(other.m_data),
      m_time(other.m_time), m_stamp(other.m_stamp), m_flags(other.m_flags & kCopiedFlags)
{
}

Message& Message::operator=(const Message& other)
{
    m_name = other.m_name;
    m_sender = other.m_sender;
    m_receiver = other.m_receiver;
    m_data = other.m_data;
    m_time = other.m_time;
    m_stamp = other.m_stamp;
    m_flags = other.m_flags & kCopiedFlags;
    return *this;
}
