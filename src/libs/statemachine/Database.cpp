#include "statemachine/Database.h"

#include "common/Assert.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Message.h"

#include <algorithm>

void Database::Store(ACMsgTaker* taker)
{
    if (!taker)
    {
        return;
    }
    if (!DORVO_ASSERT(FindById(taker->GetObjectId()) == nullptr,
                      "Database::Store - Object ID already represented in database."))
    {
        return;
    }
    // Every object's depth is read again: one whose 2D component joined or moved after it was
    // stored (its components initialise in template order) takes its place with the next object.
    m_entries.push_back(Entry{taker, m_nextSerial++, 0});
    for (Entry& entry : m_entries)
    {
        entry.depth = entry.taker->GetDepth();
    }
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry& a, const Entry& b) { return a.depth < b.depth; });
}

void Database::Remove(std::uint32_t id)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
    {
        if (it->taker->GetObjectId() == id)
        {
            m_entries.erase(it);
            return;
        }
    }
}

ACMsgTaker* Database::FindById(std::uint32_t id) const
{
    for (const Entry& entry : m_entries)
    {
        if (entry.taker->GetObjectId() == id)
        {
            return entry.taker;
        }
    }
    return nullptr;
}

std::uint32_t Database::FindIdByName(const std::string& name) const
{
    for (const Entry& entry : m_entries)
    {
        if (entry.taker->GetObjectName() == name)
        {
            return entry.taker->GetObjectId();
        }
    }
    return 0;
}

ACMsgTaker* Database::GetEntry(std::size_t index) const
{
    return index < m_entries.size() ? m_entries[index].taker : nullptr;
}

bool Database::Deliver(ACMsgTaker* taker, MessageName name, const MessageData& data)
{
    return taker->DeliverMsg(
        Message(0.0f, name, kDatabaseSenderId, taker->GetObjectId(), 0, 0, data, false, false));
}

bool Database::SendMsg(std::uint32_t receiver, MessageName name)
{
    ACMsgTaker* taker = FindById(receiver);
    return taker ? Deliver(taker, name, MessageData()) : false;
}

bool Database::SendMsgInt(std::uint32_t receiver, MessageName name, int value)
{
    ACMsgTaker* taker = FindById(receiver);
    if (!taker)
    {
        return false;
    }
    MessageData data;
    data.SetInt(value);
    return Deliver(taker, name, data);
}

bool Database::SendMsgVector3(std::uint32_t receiver, MessageName name, const math::Vector3& value)
{
    ACMsgTaker* taker = FindById(receiver);
    return taker ? Deliver(taker, name, MessageData(value)) : false;
}

bool Database::SendMsgString(std::uint32_t receiver, MessageName name, const std::string& value)
{
    ACMsgTaker* taker = FindById(receiver);
    return taker ? Deliver(taker, name, MessageData(value)) : false;
}

bool Database::Contains(const Entry& wanted) const
{
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&wanted](const Entry& entry)
                       { return entry.taker == wanted.taker && entry.serial == wanted.serial; });
}

bool Database::Broadcast(MessageName name, const MessageData& data)
{
    // Handlers create and destroy message-taking objects while we walk, so walk a copy and skip
    // whoever left the list meanwhile. Objects that joined meanwhile wait for the next broadcast.
    const std::vector<Entry> snapshot = m_entries;
    for (const Entry& entry : snapshot)
    {
        if (!Contains(entry))
        {
            continue;
        }
        if (Deliver(entry.taker, name, data))
        {
            return true;
        }
    }
    return false;
}

bool Database::BroadcastMsgVector3(MessageName name, const math::Vector3& value)
{
    return Broadcast(name, MessageData(value));
}

bool Database::BroadcastInputMsg(MessageName name, const dorvo::input::InputEvent& event)
{
    MessageData data;
    data.SetInputEvent(event);
    return Broadcast(name, data);
}
