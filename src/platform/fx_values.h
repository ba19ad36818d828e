// Where effect parameter values live on the CPU: a store of top-level parameters, each a run of
// 4-byte cells (or a texture reference), stamped whenever it changes so that a device uploads
// only what changed since it last looked. An effect keeps one store for its own parameters;
// an effect pool keeps one for the `shared` parameters of all its effects.
#pragma once

#include "platform/d3d9.h"
#include "platform/fx_model.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::detail
{
// A number that grows with every change of any store, so a stamp says "changed since".
std::uint64_t NextFxStamp();
// The newest stamp given out so far.
std::uint64_t CurrentFxStamp();

class FxValueStore
{
public:
    FxValueStore() = default;
    ~FxValueStore();
    FxValueStore(const FxValueStore&) = delete;
    FxValueStore& operator=(const FxValueStore&) = delete;

    // Adds the parameter with its default value (no texture); returns its slot.
    std::size_t Add(const FxParameterDesc& parameter);

    FxCell* Cells(std::size_t slot) { return m_cells.data() + m_slots[slot].first; }
    const FxCell* Cells(std::size_t slot) const { return m_cells.data() + m_slots[slot].first; }
    std::size_t CellCount(std::size_t slot) const { return m_slots[slot].count; }

    // Holds a reference to the texture (null clears); stamps the slot when it differs.
    void SetTexture(std::size_t slot, IDirect3DBaseTexture9* texture);
    IDirect3DBaseTexture9* Texture(std::size_t slot) const { return m_slots[slot].texture; }

    // Marks the slot changed.
    void Touch(std::size_t slot);
    std::uint64_t Stamp(std::size_t slot) const { return m_slots[slot].stamp; }
    // The newest stamp of any slot.
    std::uint64_t Latest() const { return m_latest; }

private:
    struct Slot
    {
        std::size_t first = 0;
        std::size_t count = 0;
        std::uint64_t stamp = 0;
        IDirect3DBaseTexture9* texture = nullptr; // one reference held
    };
    std::vector<FxCell> m_cells;
    std::vector<Slot> m_slots;
    std::uint64_t m_latest = 0;
};

// One cell converted as D3DX converts numbers: float to int truncates (saturating), bools are
// 0 or 1 and anything non-zero is true.
FxCell ConvertFxCell(FxType to, FxType from, FxCell cell);
FxCell FxCellFromFloat(FxType to, float value);
FxCell FxCellFromInt(FxType to, std::int32_t value);
float FxCellAsFloat(FxType type, FxCell cell);
std::int32_t FxCellAsInt(FxType type, FxCell cell);

// Appends the number type of every cell of the parameter, all elements and struct members
// flattened in order; nothing for textures.
void FxCellTypes(const FxParameterDesc& parameter, std::vector<FxType>& types);
} // namespace plat::detail
