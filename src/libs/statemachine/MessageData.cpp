#include "statemachine/MessageData.h"

#include "common/Assert.h"

MessageData::MessageData(const math::Vector3& vector) : m_valueType(MSG_DATA_VECTOR3), m_vector(vector) {}

MessageData::MessageData(const std::string& text) : m_valueType(MSG_DATA_STRING), m_text(text) {}

void MessageData::SetInt(int value)
{
    m_valueType = MSG_DATA_INT;
    m_value.asPointer = nullptr;
    m_value.asInt = value;
}

void MessageData::SetFloat(float value)
{
    m_valueType = MSG_DATA_FLOAT;
    m_value.asPointer = nullptr;
    m_value.asFloat = value;
}

void MessageData::SetPointer(void* pointer)
{
    m_valueType = MSG_DATA_POINTER;
    m_value.asPointer = pointer;
}

void MessageData::SetInputEvent(const dorvo::input::InputEvent& event)
{
    m_valueType = MSG_DATA_INPUT;
    m_inputEvent = event;
}

float MessageData::GetFloat() const
{
    DORVO_ASSERT(m_valueType == MSG_DATA_FLOAT, "Message data not of correct type");
    return m_value.asFloat;
}
