// The render queue: the drawing walk of a scene graph queues the visible units of a batch, then
// Flush sorts them by depth and draws them with the effect manager's current effect, the
// technique of the first unit and the batch's textures already bound. Units are not owned and
// are only held between Queue and the next Flush. The facade zeroes the counters every frame,
// sets the sort mode per pass and the single-pass flag while the water maps are drawn.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class IGfxUnit;

class CRenderer
{
public:
    enum ESortMode : std::int32_t
    {
        SORT_BackToFront = 0, // greatest depth first (transparent units)
        SORT_FrontToBack = 1, // smallest depth first (opaque units: less overdraw)
    };
    // Scene targets the post-processor has: passes past the last are not drawn.
    static constexpr unsigned kMaxScenePasses = 4;

    // The one renderer of the program, made on first use.
    static CRenderer& Instance();

    CRenderer() = default;
    virtual ~CRenderer();

    CRenderer(const CRenderer&) = delete;
    CRenderer& operator=(const CRenderer&) = delete;

    void Queue(IGfxUnit* unit);
    // Drops what is queued without drawing it.
    void ClearQueue() { m_queue.clear(); }
    bool IsQueueEmpty() const { return m_queue.empty(); }
    const std::vector<IGfxUnit*>& GetQueue() const { return m_queue; }

    // Sorts the queue by view depth (stable, by the sort mode; any other mode keeps the queue's
    // order) and draws every unit: once, or with post-processing on (and not single-pass) once
    // per pass of the technique, pass i into scene target i. Units marked wireframe are drawn
    // in lines, and the core's fill mode comes back after each. Then the queue is empty.
    // Without a current effect nothing is drawn, one line per effect file says so.
    void Flush();

    // Since the facade last zeroed them: units and triangles drawn, and flushes that drew.
    std::uint32_t GetObjectsDrawn() const { return m_objectsDrawn; }
    std::uint32_t GetTrianglesDrawn() const { return m_trianglesDrawn; }
    std::uint32_t GetFlushCount() const { return m_flushCount; }
    void ResetCounters();

    std::int32_t GetSortMode() const { return m_sortMode; }
    void SetSortMode(std::int32_t mode) { m_sortMode = mode; }
    // One pass into the current target whatever the technique has (the water maps).
    bool IsSinglePass() const { return m_singlePass; }
    void SetSinglePass(bool singlePass) { m_singlePass = singlePass; }

private:
    void SortQueue();

    std::vector<IGfxUnit*> m_queue;
    std::uint32_t m_objectsDrawn = 0;
    std::uint32_t m_trianglesDrawn = 0;
    std::int32_t m_sortMode = SORT_FrontToBack;
    bool m_singlePass = false;
    std::uint32_t m_flushCount = 0;
    std::set<std::string> m_reportedEffects;    // effect files not loaded, said once each
    std::set<std::string> m_reportedTechniques; // techniques with too many passes, said once each
};
} // namespace gfx
} // namespace dorvo
