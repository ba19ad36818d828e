#include "engine/gfx/postprocess/CPPInstance.h"

namespace dorvo
{
namespace gfx
{
void CPPInstance::SetParameter(unsigned index, const Value& value)
{
    if (index >= kParameterCount)
        return;
    m_values[index] = value;
    m_useOwnValue[index] = true;
}

void CPPInstance::ClearParameter(unsigned index)
{
    if (index < kParameterCount)
        m_useOwnValue[index] = false;
}

CPPInstance::Value CPPInstance::GetParameter(unsigned index) const
{
    return index < kParameterCount ? m_values[index] : Value{};
}
} // namespace gfx
} // namespace dorvo
