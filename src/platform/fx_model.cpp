#include "platform/fx_model.h"

#include <cstring>

namespace plat
{
namespace
{
template <typename T> const T* FindByName(const std::vector<T>& items, const std::string& name)
{
    for (const T& item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}
} // namespace

FxCell FxCell::FromFloat(float value)
{
    FxCell cell;
    std::memcpy(&cell.bits, &value, sizeof value);
    return cell;
}

FxCell FxCell::FromInt(std::int32_t value)
{
    FxCell cell;
    std::memcpy(&cell.bits, &value, sizeof value);
    return cell;
}

float FxCell::AsFloat() const
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::int32_t FxCell::AsInt() const
{
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const FxAnnotation* FindFxAnnotation(const std::vector<FxAnnotation>& annotations, const std::string& name)
{
    return FindByName(annotations, name);
}

const FxParameterDesc* FxParameterDesc::FindMember(const std::string& memberName) const
{
    return FindByName(members, memberName);
}

const FxStateAssignment* FxPassDesc::FindState(FxRenderState state) const
{
    for (const FxStateAssignment& assignment : states)
        if (assignment.state == state)
            return &assignment;
    return nullptr;
}

const FxParameterDesc* FxEffectDesc::FindParameter(const std::string& name) const
{
    return FindByName(parameters, name);
}

const FxStructDesc* FxEffectDesc::FindStruct(const std::string& name) const
{
    return FindByName(structs, name);
}

const FxSamplerDesc* FxEffectDesc::FindSampler(const std::string& name) const
{
    return FindByName(samplers, name);
}

const FxTechniqueDesc* FxEffectDesc::FindTechnique(const std::string& name) const
{
    return FindByName(techniques, name);
}

const FxGlslBlock* FxEffectDesc::FindBlock(const std::string& name) const
{
    return FindByName(blocks, name);
}

std::string DescribeFxType(const FxParameterDesc& parameter)
{
    if (parameter.elements > 0)
        return parameter.typeName + "[" + std::to_string(parameter.elements) + "]";
    return parameter.typeName;
}
} // namespace plat
