// A regular grid of points in the plane y = 0 of its object's local frame: SpanX points along x,
// SpanY along z, SpacingX and SpacingY apart. Built once when the object is initialised; the
// cloth takes its particles and rest lengths from the points and writes the simulated positions
// back, and the cloth's graphics draws them. The component owns the points.
#pragma once

#include "common/Array2D.h"
#include "common/math/Vector3.h"
#include "engine/ComponentBase.h"

#include <cstdint>

class Gob;
class GobController;

class GridComp : public ComponentBase<GridComp>
{
public:
    static const char* const kTypeName; // "GridComp"
    // Larger grids (counted in 64 bits, so spans whose product overflows 32 bits count too) are
    // refused: the grid is left empty and both spans become 0.
    static constexpr std::uint64_t kMaxPoints = 1000000;

    GridComp();
    ~GridComp() override;

    // <Component name="GridComp"> with "uint" SpanX, SpanY and "float" SpacingX, SpacingY, read
    // back by position. The points follow only at the next BuildGrid.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // Builds the grid.
    bool Initialize(Gob* owner) override;

    // Point (c, r) = (SpanX / 2 + c * SpacingX, 0, SpanY / 2 + r * SpacingY). The offset is half
    // the COUNT, not half the extent, so the grid is not centred on the origin; the cloth's saved
    // scenes are laid out around that.
    void BuildGrid();

    std::uint32_t GetSpanX() const { return m_SpanX; } // points along x
    std::uint32_t GetSpanY() const { return m_SpanY; } // points along z
    float GetSpacingX() const { return m_SpacingX; }   // world units
    float GetSpacingY() const { return m_SpacingY; }
    // Set from code (the editor, tests); take effect at the next BuildGrid.
    void SetSpans(std::uint32_t spanX, std::uint32_t spanY);
    void SetSpacings(float spacingX, float spacingY);

    // Columns = SpanX, rows = SpanY, element (c, r) at SpanX * r + c.
    Array2D<math::Vector3>& GetPoints() { return m_Points; }
    const Array2D<math::Vector3>& GetPoints() const { return m_Points; }

    // "SpanX", "SpanY", "SpacingX", "SpacingY" (getters only) on the template's controller.
    static void RegisterFunctions(GobController* controller);

private:
    Array2D<math::Vector3> m_Points;
    std::uint32_t m_SpanX = 0;
    std::uint32_t m_SpanY = 0;
    float m_SpacingX = 0.0f;
    float m_SpacingY = 0.0f;
};
