// The one typed value a message carries. Only the field named by the type is meaningful; the
// others keep their presets (input code 293, zero vector, empty text), so a handler that reads
// the wrong field sees a harmless value. Copied by value with its message.
#pragma once

#include "common/InputEvent.h"
#include "common/math/Vector3.h"

#include <cstdint>
#include <string>

enum MessageDataType : std::uint32_t
{
    MSG_DATA_NONE = 0,
    MSG_DATA_INT = 1,
    MSG_DATA_FLOAT = 2,
    MSG_DATA_INPUT = 3, // dorvo::input::InputEvent
    MSG_DATA_VECTOR3 = 4,
    MSG_DATA_STRING = 5,
    MSG_DATA_POINTER = 6
};

class MessageData
{
public:
    MessageData() = default;
    explicit MessageData(const math::Vector3& vector);
    explicit MessageData(const std::string& text);

    MessageDataType GetType() const { return m_valueType; }

    // The setters change the type along with the field.
    void SetInt(int value);
    void SetFloat(float value);
    void SetPointer(void* pointer);
    void SetInputEvent(const dorvo::input::InputEvent& event);

    // The plain getters read their field whatever the type; only the float is checked, because
    // the router reads periods through it and a wrong type there is a programming error.
    int GetInt() const { return m_value.asInt; }
    float GetFloat() const;
    void* GetPointer() const { return m_value.asPointer; }
    const dorvo::input::InputEvent& GetInputEvent() const { return m_inputEvent; }
    const math::Vector3& GetVector3() const { return m_vector; }
    std::string GetString() const { return m_text; }

private:
    // The integer, the float or the pointer, by type 1, 2 or 6. Pointer-wide on 64-bit builds.
    union Value
    {
        void* asPointer; // first, so that value-initialising the union clears all of it
        std::int32_t asInt;
        float asFloat;
    };

    MessageDataType m_valueType = MSG_DATA_NONE;
    Value m_value = {nullptr};
    dorvo::input::InputEvent m_inputEvent;
    math::Vector3 m_vector;
    std::string m_text;
};
