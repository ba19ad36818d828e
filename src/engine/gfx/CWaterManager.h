// The water manager, first slice: the water-visible mark. The water graph's visibility walk sets
// it when a water unit is inside the current viewport; the frame draws the water maps only
// while it is set and clears it at the end of every frame.
#pragma once

namespace dorvo
{
namespace gfx
{
class CWaterManager
{
public:
    // The one manager of the program, made on first use.
    static CWaterManager& Instance();

    CWaterManager() = default;
    virtual ~CWaterManager() = default;

    CWaterManager(const CWaterManager&) = delete;
    CWaterManager& operator=(const CWaterManager&) = delete;

    bool IsWaterVisible() const { return m_waterVisible; }
    void SetWaterVisible(bool visible) { m_waterVisible = visible; }

private:
    bool m_waterVisible = false;
};
} // namespace gfx
} // namespace dorvo
