#include "platform/fx_values.h"

#include <cmath>
#include <limits>

namespace plat::detail
{
namespace
{
std::uint64_t g_stamp = 0;

std::int32_t Truncate(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
} // namespace

std::uint64_t NextFxStamp()
{
    return ++g_stamp;
}

std::uint64_t CurrentFxStamp()
{
    return g_stamp;
}

FxValueStore::~FxValueStore()
{
    for (Slot& slot : m_slots)
        if (slot.texture)
            slot.texture->Release();
}

std::size_t FxValueStore::Add(const FxParameterDesc& parameter)
{
    Slot slot;
    slot.first = m_cells.size();
    slot.count = parameter.value.size();
    slot.stamp = NextFxStamp();
    m_latest = slot.stamp;
    m_cells.insert(m_cells.end(), parameter.value.begin(), parameter.value.end());
    m_slots.push_back(slot);
    return m_slots.size() - 1;
}

void FxValueStore::SetTexture(std::size_t slot, IDirect3DBaseTexture9* texture)
{
    Slot& s = m_slots[slot];
    if (s.texture == texture)
        return;
    if (texture)
        texture->AddRef();
    if (s.texture)
        s.texture->Release();
    s.texture = texture;
    Touch(slot);
}

void FxValueStore::Touch(std::size_t slot)
{
    m_latest = m_slots[slot].stamp = NextFxStamp();
}

FxCell FxCellFromFloat(FxType to, float value)
{
    switch (to)
    {
    case FxType::Bool:
        return FxCell::FromInt(value != 0.0f ? 1 : 0);
    case FxType::Int:
        return FxCell::FromInt(Truncate(value));
    default:
        return FxCell::FromFloat(value);
    }
}

FxCell FxCellFromInt(FxType to, std::int32_t value)
{
    switch (to)
    {
    case FxType::Bool:
        return FxCell::FromInt(value != 0 ? 1 : 0);
    case FxType::Int:
        return FxCell::FromInt(value);
    default:
        return FxCell::FromFloat(static_cast<float>(value));
    }
}

float FxCellAsFloat(FxType type, FxCell cell)
{
    return type == FxType::Float ? cell.AsFloat() : static_cast<float>(cell.AsInt());
}

std::int32_t FxCellAsInt(FxType type, FxCell cell)
{
    if (type == FxType::Float)
        return Truncate(cell.AsFloat());
    if (type == FxType::Bool)
        return cell.AsInt() != 0 ? 1 : 0;
    return cell.AsInt();
}

FxCell ConvertFxCell(FxType to, FxType from, FxCell cell)
{
    return from == FxType::Float ? FxCellFromFloat(to, cell.AsFloat())
                                 : FxCellFromInt(to, FxCellAsInt(from, cell));
}

void FxCellTypes(const FxParameterDesc& parameter, std::vector<FxType>& types)
{
    if (parameter.type == FxType::Texture || parameter.type == FxType::String)
        return;
    const int elements = parameter.elements > 0 ? parameter.elements : 1;
    if (parameter.parameterClass == FxClass::Struct)
    {
        for (int e = 0; e < elements; ++e)
            for (const FxParameterDesc& member : parameter.members)
                FxCellTypes(member, types);
        return;
    }
    types.insert(types.end(), static_cast<std::size_t>(parameter.rows * parameter.columns * elements),
                 parameter.type);
}
} // namespace plat::detail
