// The creator of component class T, and the one-call registration of a component class with the
// GobManager: set the class's type name and id, then file its creator under the id.
//
//   RegisterComponentType<POVComp>("POVComp"); // before any template naming it is loaded
#pragma once

#include "engine/Component.h"
#include "engine/DefaultCreator.h"
#include "engine/GobManager.h"

#include <string>

template <class T> class DefaultCompCreator : public DefaultCreator<Component>
{
public:
    Component* Create() override { return new T(); }
    // T's own static RegisterFunctions (ComponentBase's does nothing).
    void RegisterFunctions(GobController* controller) override { T::RegisterFunctions(controller); }
};

// Registers T under `name` with the creator kept as a static here. A type id that already has a
// creator keeps it (GobManager::RegisterCreator). Returns T's type id.
template <class T> std::uint32_t RegisterComponentType(const std::string& name)
{
    static DefaultCompCreator<T> s_creator;
    T::SetStaticType(name);
    GobManager::Instance().RegisterCreator(T::StaticTypeID(), &s_creator);
    return T::StaticTypeID();
}
