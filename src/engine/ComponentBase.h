// The type identity of one component class T: its registered type name and the HashName of it,
// kept once per class (not per instance). Every concrete component derives ComponentBase<itself>;
// registration (RegisterComponentType in DefaultCompCreator.h) fills both in at start-up.
#pragma once

#include "common/HashName.h"
#include "engine/Component.h"

#include <cstdint>
#include <string>

class GobController;

template <class T> class ComponentBase : public Component
{
public:
    const std::string& GetTypeName() override { return s_TypeName; }
    std::uint32_t GetTypeID() override { return s_TypeID; }
    void* GetCallTarget() override { return static_cast<T*>(this); }

    // Empty and 0 until the class is registered.
    static const std::string& StaticTypeName() { return s_TypeName; }
    static std::uint32_t StaticTypeID() { return s_TypeID; }
    // The type id is HashName(name), so names in templates ignore case.
    static void SetStaticType(const std::string& name)
    {
        s_TypeName = name;
        s_TypeID = HashName(name.c_str());
    }

    // The class's by-name functions, registered on a template controller through
    // GobController::RegisterComponentFunction; a class with functions hides this one.
    static void RegisterFunctions(GobController*) {}

private:
    static inline std::string s_TypeName;
    static inline std::uint32_t s_TypeID = 0;
};
