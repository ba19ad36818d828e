#include "platform/fx_shared.h"

namespace plat
{
bool SameFxType(const FxParameterDesc& a, const FxParameterDesc& b)
{
    if (a.parameterClass != b.parameterClass || a.type != b.type || a.typeName != b.typeName ||
        a.rows != b.rows || a.columns != b.columns || a.elements != b.elements ||
        a.members.size() != b.members.size())
        return false;
    for (std::size_t i = 0; i < a.members.size(); ++i)
        if (a.members[i].name != b.members[i].name || !SameFxType(a.members[i], b.members[i]))
            return false;
    return true;
}

const FxSharedParameter* FxSharedPool::Find(const std::string& name) const
{
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : &m_parameters[found->second];
}

bool FxSharedPool::Merge(const FxEffectDesc& effect, std::string& error)
{
    for (const FxParameterDesc& parameter : effect.parameters)
    {
        if (!parameter.shared)
            continue;
        const FxSharedParameter* first = Find(parameter.name);
        if (!first || SameFxType(first->parameter, parameter))
            continue;
        std::string theirs = DescribeFxType(first->parameter);
        if (theirs == DescribeFxType(parameter))
            theirs = "a " + theirs + " with other members";
        error = effect.file + ":" + std::to_string(parameter.line) + ": shared parameter \"" +
                parameter.name + "\" is " + DescribeFxType(parameter) + " here but " + theirs + " in " +
                first->file + ":" + std::to_string(first->parameter.line);
        return false;
    }
    for (const FxParameterDesc& parameter : effect.parameters)
    {
        if (!parameter.shared || Find(parameter.name))
            continue;
        m_index.emplace(parameter.name, m_parameters.size());
        m_parameters.push_back({parameter, effect.file});
    }
    return true;
}
} // namespace plat
