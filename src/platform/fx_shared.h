// The `shared` parameters of one effect pool: effects created into the pool share one value
// per shared name, so every declaration of the name must agree on its type. The pool keeps the
// first declaration (and its default); the device's pool object holds the values.
#pragma once

#include "platform/fx_model.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace plat
{
struct FxSharedParameter
{
    FxParameterDesc parameter; // the first declaration
    std::string file;          // where it was declared
};

// Whether two declarations are the same type: class, type, type name, rows, columns, elements
// and, for structs, the members' names and types in order (semantics and annotations may differ).
bool SameFxType(const FxParameterDesc& a, const FxParameterDesc& b);

class FxSharedPool
{
public:
    // Adds the effect's shared parameters that the pool lacks. When one has the name of a pool
    // parameter of another type, returns false, leaves the pool unchanged and sets `error` to
    // "<file>:<line>: shared parameter "<name>" is <type> here but <type> in <file>:<line>".
    bool Merge(const FxEffectDesc& effect, std::string& error);

    const FxSharedParameter* Find(const std::string& name) const;
    const std::vector<FxSharedParameter>& Parameters() const { return m_parameters; } // in joining order

private:
    std::vector<FxSharedParameter> m_parameters;
    std::map<std::string, std::size_t> m_index; // name -> position in m_parameters
};
} // namespace plat
