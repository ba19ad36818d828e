// The builder behind one name in the GobManager's template table: a template (the component
// layout read from a template file) or an archetype (a template plus starting values read from
// an archetype file). The GobManager owns every controller until the process ends.
#pragma once

#include <cstdint>
#include <string>

class Gob;
namespace Loki
{
class BaseFunctor;
}

class GobController
{
public:
    virtual ~GobController();

    // A new object with that id, neither filed nor initialised; owned by the caller.
    virtual Gob* CreateGob(std::uint32_t id) = 0;
    // Takes ownership of the functor in every case. The defaults keep nothing and free it.
    virtual void RegisterComponentFunction(const std::string& name, Loki::BaseFunctor* functor,
                                           std::uint32_t typeID);
    virtual void RegisterFunction(const std::string& name, Loki::BaseFunctor* functor);
    virtual const std::string& GetTypeName() const = 0;
};
