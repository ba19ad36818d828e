// Finds, once per physics step, every pair of collision hulls that touch. Candidate pairs come
// from the global oct tree (only neighbours of an active body are tested); the exact test for
// a pair of hull classes comes from a double-dispatch table indexed by each hull class's index.
// Each touching pair becomes a CollisionInfo that goes to the engine's results and the hulls'
// lists, its data goes to both objects' collision callbacks, and the hulls remember whom they
// touched so that begin-of-contact callbacks fire once per contact window. The dynamics engine
// owns the detector; every CollisionComp registers with it while it lives (not owned).
#pragma once

#include "common/loki/FunctorDispatcher.h"
#include "common/math/Vector3.h"
#include "engine/phy/BoxPairMemo.h"
#include "engine/phy/BroadPhaseGrid.h"
#include "engine/phy/PairResult.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace common
{
struct SOctNode;
}

namespace dorvo
{
namespace phy
{
class CollisionComp;
class CollisionHull;
class PhysicsComp;

// A cell of the pair table: two hulls in, nothing or a new CollisionInfo out.
typedef Loki::Functor<PairResult,
                      Loki::Typelist<CollisionHull&, Loki::Typelist<CollisionHull&, Loki::NullType>>,
                      Loki::SingleThreaded>
    PairFunctor;
typedef Loki::FunctorDispatcher<CollisionHull, CollisionHull, PairResult, PairFunctor> HullDispatcher;

class CollisionDetector
{
public:
    CollisionDetector();
    ~CollisionDetector();

    CollisionDetector(const CollisionDetector&) = delete;
    CollisionDetector& operator=(const CollisionDetector&) = delete;

    // The 16 pair tests, which give the hull classes the indices sphere 0, box 1, plane 2,
    // triangle 3, cloth 4 (process-wide, fixed by the first call). Calling it again refills the
    // same cells. There is no cell for plane, triangle or cloth against one another.
    void RegisterCollisionFunctors();

    // An id filed already keeps its first component.
    void AddCollisionComp(std::uint32_t id, CollisionComp* comp);
    void RemoveCollisionComp(std::uint32_t id);

    // One detection pass over the active bodies, which hold their predicted poses: appends
    // every touching pair to `results` (which owns them) and to the hulls' lists, and fires
    // the callbacks. A pair of two active bodies is found from each side and reported twice.
    void DetectCollisions(std::vector<PhysicsComp*>& activeBodies, std::vector<CollisionInfo*>& results);
    // The same for one body that has just been woken; it is tested against its frozen and
    // immovable neighbours too.
    void DetectCollisionsForBody(PhysicsComp* body, std::vector<CollisionInfo*>& results);
    // False when either hull ignores the other.
    static bool CanCollide(const CollisionHull& a, const CollisionHull& b);
    // Files one touching pair (a, b in the detector's order; the info names them in the pair
    // test's order) and fires the every-contact callbacks, then the begin-of-contact ones when
    // neither hull's previous window had seen the other object.
    void ReportCollision(CollisionHull& a, CollisionHull& b, std::vector<CollisionInfo*>& results,
                         CollisionInfo* info);
    // Rolls every registered hull's contact window at the end of a step; dt in seconds.
    void AgeAllContacts(float dt);

    // The pair test of the two hulls' classes; nothing for a pair without one.
    PairResult Dispatch(CollisionHull& a, CollisionHull& b) { return m_dispatcher.Dispatch(a, b); }
    const HullDispatcher& GetDispatcher() const { return m_dispatcher; }
    // Every registered collision component by its object's id.
    const std::map<std::uint32_t, CollisionComp*>& GetCollisionComps() const { return m_collisionComps; }

    // A detection pass over at least this many collision components takes each body's candidates
    // from a grid of the pass's bounding spheres instead of the oct tree's column (the same
    // neighbours: those the tree relates to the body and the reach rule lets through); fewer are
    // served by the tree, which is cheaper for them. 0 takes the grid always; the tests set both.
    static constexpr std::size_t kGridFrom = 128;
    void SetGridFrom(std::size_t components) { m_gridFrom = components; }
    std::size_t GetGridFrom() const { return m_gridFrom; }

private:
    // A registered component with the bounding sphere its hull had when the current detection pass began (the
    // hulls hold still while the pass runs).
    struct Filed
    {
        CollisionComp* comp = nullptr;       // null: no component under this id
        const CollisionHull* hull = nullptr; // the hull the sphere is of; null: none taken
        float centre[3] = {0.0f, 0.0f, 0.0f};
        float radius = 0.0f;
        bool exact = false;
        // The oct-tree node the object was filed in when the pass began, while the tree has not
        // changed since (m_treeChanges); with nodeTaken false it is looked up.
        const common::SOctNode* node = nullptr;
        bool nodeTaken = false;
    };
    // Ids below this are looked up in plain arrays of kPageIds ids each (objects are numbered
    // from 1 up), the rest in a hash map. A page lives while one of its ids is filed, so the
    // arrays do not grow with every object the run has ever made.
    static constexpr std::uint32_t kDenseIds = 1u << 20;
    static constexpr std::uint32_t kPageBits = 8;
    static constexpr std::uint32_t kPageIds = 1u << kPageBits;
    struct Page
    {
        std::array<Filed, kPageIds> filed;
        std::uint32_t used = 0; // filed entries
    };
    Filed* FindFiled(std::uint32_t id);
    // Tests one body's hull against its oct-tree neighbours (steps shared by both passes).
    void DetectForBody(PhysicsComp* body, std::vector<CollisionInfo*>& results, bool fullPass);
    // The body's neighbours within reach, in id order, into `neighbours`.
    void GatherNeighbours(const PhysicsComp& body, const CollisionHull& a,
                          std::vector<std::uint32_t>& neighbours);
    // Whether the neighbour's filed sphere (or, without one, its hull as it is now) lies within
    // reach of the sphere A.
    bool WithinReach(const float* centreA, float radiusA, bool exactA, std::uint32_t id);

    std::map<std::uint32_t, CollisionComp*> m_collisionComps; // not owned; id order repeats runs
    // The same components in the same order, for the walks over all of them every step.
    std::vector<std::pair<std::uint32_t, CollisionComp*>> m_compList;
    // The same components for the lookup of every neighbour, which the ordered map makes slow.
    std::vector<std::unique_ptr<Page>> m_pages;        // by id / kPageIds; null: none filed
    std::unordered_map<std::uint32_t, Filed> m_sparse; // ids from kDenseIds on
    bool m_boundsTaken = false;                        // while the pass's spheres hold
    // The pass's spheres in a grid, while m_gridTaken; components without a sphere, and those
    // filed during the pass, are candidates of every body (the reach rule cannot refuse them).
    BroadPhaseGrid m_grid;
    std::vector<BroadPhaseGrid::Sphere> m_gridSpheres;
    std::vector<std::uint32_t> m_unbounded;
    bool m_gridTaken = false;
    std::size_t m_gridFrom = kGridFrom;
    std::uint64_t m_treeChanges = 0; // the oct tree's change count when the nodes were taken
    // The node of the object under `id` (whose entry `filed` may be null).
    const common::SOctNode* NodeOf(std::uint32_t id, const Filed* filed) const;
    HullDispatcher m_dispatcher;
    // The box pairs of the current pass (BoxBoxCollision with the memo serves the box cell).
    BoxPairMemo m_boxMemo;
    bool m_boxCellFilled = false;
    // Neighbour lists kept between steps so that their storage is reused; one per nesting
    // level, since a callback may wake a body whose detection runs inside another's.
    std::vector<std::vector<std::uint32_t>> m_neighbourLists;
    std::size_t m_depth = 0;
};
} // namespace phy
} // namespace dorvo
