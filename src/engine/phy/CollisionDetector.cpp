#include "engine/phy/CollisionDetector.h"

#include "common/COctTree.h"
#include "common/math/Vector3.h"
#include "engine/phy/BoxPairTests.h"
#include "engine/phy/ClothHull.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/SpherePairTests.h"
#include "engine/phy/TriangleHull.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace phy
{
namespace
{
// The pair tests as plain function pointers, one type per pair of classes.
template <class Lhs, class Rhs> using PairTest = PairResult (*)(Lhs&, Rhs&);

bool AtRest(const PhysicsComp& body)
{
    return body.immovable || body.frozen;
}

// Whether the oct tree relates the two nodes as its neighbour walk does: one in the other's
// subtree, or the same node.
bool TreeRelated(const common::SOctNode* a, const common::SOctNode* b)
{
    for (const common::SOctNode* up = b; up != nullptr; up = up->m_pParent)
        if (up == a)
            return true;
    for (const common::SOctNode* up = a->m_pParent; up != nullptr; up = up->m_pParent)
        if (up == b)
            return true;
    return false;
}

bool Finite(const math::Vector3& centre, float radius)
{
    return std::isfinite(centre.x) && std::isfinite(centre.y) && std::isfinite(centre.z) &&
           std::isfinite(radius);
}
} // namespace

CollisionDetector::CollisionDetector() = default;

bool CollisionDetector::WithinReach(const float* centreA, float radiusA, bool exactA, std::uint32_t id)
{
    const Filed* found = FindFiled(id);
    if (found == nullptr)
        return false;
    const Filed& filed = *found;
    // In the pass the sphere was taken of the component's hull, which no step replaces; the
    // component itself is read only for the neighbours kept.
    if (m_boundsTaken && filed.hull != nullptr)
        return !SpheresOutOfReach(centreA, radiusA, exactA, filed.centre, filed.radius, filed.exact);
    const CollisionHull* b = filed.comp->GetHull();
    if (b == nullptr)
        return false;
    math::Vector3 centreB;
    float radiusB = 0.0f;
    bool exactB = false;
    if (!b->GetBoundingSphere(centreB, radiusB, exactB))
        return true;
    const float centre[3] = {centreB.x, centreB.y, centreB.z};
    return !SpheresOutOfReach(centreA, radiusA, exactA, centre, radiusB, exactB);
}

CollisionDetector::~CollisionDetector() = default;

void CollisionDetector::RegisterCollisionFunctors()
{
    // The order hands out the class indices: sphere 0, box 1, plane 2, triangle 3, cloth 4.
    // A mirrored cell calls the same test with its operands turned round, so every info names
    // the sphere, or else the box, as hull A.
    HullDispatcher& d = m_dispatcher;
    d.Add<SphereHull, SphereHull, PairTest<SphereHull, SphereHull>, false>(&SphereSphereCollision);
    d.Add<SphereHull, OBBHull, PairTest<SphereHull, OBBHull>, false>(&SphereBoxCollision);
    d.Add<SphereHull, OBBHull, PairTest<SphereHull, OBBHull>, true>(&SphereBoxCollision);
    d.Add<SphereHull, PlaneHull, PairTest<SphereHull, PlaneHull>, false>(&SpherePlaneCollision);
    d.Add<SphereHull, PlaneHull, PairTest<SphereHull, PlaneHull>, true>(&SpherePlaneCollision);
    d.Add<SphereHull, TriangleHull, PairTest<SphereHull, TriangleHull>, false>(&SphereTriangleCollision);
    d.Add<SphereHull, TriangleHull, PairTest<SphereHull, TriangleHull>, true>(&SphereTriangleCollision);
    d.Add<OBBHull, OBBHull, PairTest<OBBHull, OBBHull>, false>(&BoxBoxCollision);
    d.Add<OBBHull, PlaneHull, PairTest<OBBHull, PlaneHull>, false>(&BoxPlaneCollision);
    d.Add<OBBHull, PlaneHull, PairTest<OBBHull, PlaneHull>, true>(&BoxPlaneCollision);
    d.Add<OBBHull, TriangleHull, PairTest<OBBHull, TriangleHull>, false>(&BoxTriangleCollision);
    d.Add<OBBHull, TriangleHull, PairTest<OBBHull, TriangleHull>, true>(&BoxTriangleCollision);
    d.Add<SphereHull, ClothHull, PairTest<SphereHull, ClothHull>, false>(&SphereClothCollision);
    d.Add<SphereHull, ClothHull, PairTest<SphereHull, ClothHull>, true>(&SphereClothCollision);
    d.Add<OBBHull, ClothHull, PairTest<OBBHull, ClothHull>, false>(&BoxClothCollision);
    d.Add<OBBHull, ClothHull, PairTest<OBBHull, ClothHull>, true>(&BoxClothCollision);
    m_boxCellFilled = true;
}

void CollisionDetector::AddCollisionComp(std::uint32_t id, CollisionComp* comp)
{
    if (comp == nullptr || !m_collisionComps.emplace(id, comp).second)
        return;
    // At its place in id order (new objects have the highest ids: at the end).
    const auto at = std::lower_bound(m_compList.begin(), m_compList.end(), id,
                                     [](const std::pair<std::uint32_t, CollisionComp*>& entry,
                                        std::uint32_t key) { return entry.first < key; });
    m_compList.insert(at, std::make_pair(id, comp));
    // Made during a pass (by a callback): not in the pass's grid, so every body meets it.
    if (m_gridTaken)
        m_unbounded.push_back(id);
    Filed filed;
    filed.comp = comp;
    if (id >= kDenseIds)
    {
        m_sparse[id] = filed;
        return;
    }
    const std::size_t page = id >> kPageBits;
    if (m_pages.size() <= page)
        m_pages.resize(page + 1);
    if (!m_pages[page])
        m_pages[page] = std::make_unique<Page>();
    Page& filedPage = *m_pages[page];
    filedPage.filed[id & (kPageIds - 1)] = filed;
    ++filedPage.used;
}

void CollisionDetector::RemoveCollisionComp(std::uint32_t id)
{
    if (m_collisionComps.erase(id) == 0)
        return;
    m_compList.erase(std::lower_bound(m_compList.begin(), m_compList.end(), id,
                                      [](const std::pair<std::uint32_t, CollisionComp*>& entry,
                                         std::uint32_t key) { return entry.first < key; }));
    if (id >= kDenseIds)
    {
        m_sparse.erase(id);
        return;
    }
    // Ids only count up, so a page whose objects have all gone is never needed again: it goes.
    std::unique_ptr<Page>& page = m_pages[id >> kPageBits];
    page->filed[id & (kPageIds - 1)] = Filed();
    if (--page->used == 0)
        page.reset();
    while (!m_pages.empty() && !m_pages.back())
        m_pages.pop_back();
}

CollisionDetector::Filed* CollisionDetector::FindFiled(std::uint32_t id)
{
    if (id < kDenseIds)
    {
        const std::size_t page = id >> kPageBits;
        if (page >= m_pages.size() || !m_pages[page])
            return nullptr;
        Filed& filed = m_pages[page]->filed[id & (kPageIds - 1)];
        return filed.comp != nullptr ? &filed : nullptr;
    }
    const auto found = m_sparse.find(id);
    return found != m_sparse.end() ? &found->second : nullptr;
}

void CollisionDetector::DetectCollisions(std::vector<PhysicsComp*>& activeBodies,
                                         std::vector<CollisionInfo*>& results)
{
    // One walk over the components in id order: static collision objects follow their game
    // object, then every hull's bounding sphere is taken once for the whole pass (the hulls hold
    // still while it runs) and, with the grid, the oct-tree node of every object.
    m_gridSpheres.clear();
    m_unbounded.clear();
    m_boundsTaken = true;
    m_boxMemo.Clear();
    // The grid knows objects by the dense ids only.
    m_gridTaken = m_collisionComps.size() >= m_gridFrom && m_sparse.empty();
    const common::COctTree& tree = common::COctTree::Global();
    if (m_gridTaken)
        m_treeChanges = tree.GetChangeCount();
    for (const auto& entry : m_compList)
    {
        CollisionComp* comp = entry.second;
        CollisionHull* hull = comp->GetHull();
        if (comp->GetPhysicsComp() == nullptr && hull != nullptr)
            hull->UpdateFromBody();
        Filed& filed = *FindFiled(entry.first);
        if (m_gridTaken)
        {
            filed.node = tree.FindNode(entry.first);
            filed.nodeTaken = true;
        }
        math::Vector3 centre;
        filed.hull =
            hull != nullptr && hull->GetBoundingSphere(centre, filed.radius, filed.exact) ? hull : nullptr;
        filed.centre[0] = centre.x;
        filed.centre[1] = centre.y;
        filed.centre[2] = centre.z;
        if (filed.hull == nullptr)
        {
            m_unbounded.push_back(entry.first);
            continue;
        }
        BroadPhaseGrid::Sphere sphere;
        sphere.id = entry.first;
        std::copy(filed.centre, filed.centre + 3, sphere.centre);
        sphere.radius = filed.radius;
        sphere.exact = filed.exact;
        m_gridSpheres.push_back(sphere);
    }
    if (m_gridTaken)
        m_grid.Build(m_gridSpheres);
    struct Release
    {
        bool& taken;
        bool& gridTaken;
        BroadPhaseGrid& grid;
        ~Release()
        {
            taken = false;
            if (gridTaken)
                grid.Clear();
            gridTaken = false;
        }
    } release{m_boundsTaken, m_gridTaken, m_grid};
    // By index: a callback may wake a body, which joins the list.
    for (std::size_t i = 0; i < activeBodies.size(); ++i)
    {
        PhysicsComp* body = activeBodies[i];
        if (body->frozen)
            continue; // a frozen body is never the first side
        DetectForBody(body, results, true);
    }
}

void CollisionDetector::DetectCollisionsForBody(PhysicsComp* body, std::vector<CollisionInfo*>& results)
{
    if (body == nullptr || body->frozen || body->immovable)
        return;
    DetectForBody(body, results, false);
}

void CollisionDetector::DetectForBody(PhysicsComp* body, std::vector<CollisionInfo*>& results, bool fullPass)
{
    CollisionHull* a = body->GetHull();
    if (a == nullptr)
        return; // no collision component, or one without a hull

    if (m_neighbourLists.size() <= m_depth)
        m_neighbourLists.resize(m_depth + 1);
    GatherNeighbours(*body, *a, m_neighbourLists[m_depth]);
    // A callback that wakes a body detects its pairs with the next list; by index, since that
    // may grow the outer vector.
    ++m_depth;
    struct Leave
    {
        std::size_t& depth;
        ~Leave() { --depth; }
    } leave{m_depth};
    const std::size_t level = m_depth - 1;

    for (std::size_t i = 0; i < m_neighbourLists[level].size(); ++i)
    {
        const std::uint32_t id = m_neighbourLists[level][i];
        // Looked up afresh for every neighbour: a callback may have ended a component.
        const Filed* found = FindFiled(id);
        if (found == nullptr)
            continue;
        CollisionComp* other = found->comp;
        CollisionHull* b = other->GetHull();
        if (b == nullptr)
            continue;
        if (fullPass)
        {
            if (a == b)
                continue;
            const PhysicsComp* otherBody = other->GetPhysicsComp();
            if (otherBody != nullptr && AtRest(*body) && AtRest(*otherBody))
                continue;
        }
        if (!CanCollide(*a, *b))
            continue;
        // Two boxes in a pass: the box-box cell's test, with what the pair's test in the other
        // order has left or will use.
        const int box = OBBHull::StaticClassIndex();
        PairResult result;
        if (m_boundsTaken && m_boxCellFilled && box >= 0 && a->GetClassIndex() == box &&
            b->GetClassIndex() == box)
        {
            const PhysicsComp* otherBody = other->GetPhysicsComp();
            const bool mirrorFollows = otherBody != nullptr && !AtRest(*otherBody);
            result = BoxBoxCollision(static_cast<OBBHull&>(*a), static_cast<OBBHull&>(*b), &m_boxMemo,
                                     mirrorFollows);
        }
        else
            result = m_dispatcher.Dispatch(*a, *b);
        if (result.IsSet() && result.Get() != nullptr)
            ReportCollision(*a, *b, results, result.Get());
    }
}

void CollisionDetector::GatherNeighbours(const PhysicsComp& body, const CollisionHull& a,
                                         std::vector<std::uint32_t>& neighbours)
{
    neighbours.clear();
    const common::COctTree& tree = common::COctTree::Global();
    const std::uint32_t self = body.GetOwnerID();
    math::Vector3 centreA;
    float radiusA = 0.0f;
    bool exactA = false;
    const bool bounded = a.GetBoundingSphere(centreA, radiusA, exactA);
    const float centre[3] = {centreA.x, centreA.y, centreA.z};
    if (bounded && m_gridTaken && Finite(centreA, radiusA))
    {
        // The spheres within reach, then only those the tree would have handed out: filed in
        // the body's node, below it or above it.
        const common::SOctNode* node = NodeOf(self, FindFiled(self));
        if (node == nullptr)
            return;
        m_grid.Gather(centre, radiusA, exactA, neighbours);
        const std::size_t fromGrid = neighbours.size();
        neighbours.insert(neighbours.end(), m_unbounded.begin(), m_unbounded.end());
        std::size_t kept = 0;
        for (std::size_t k = 0; k < neighbours.size(); ++k)
        {
            const std::uint32_t id = neighbours[k];
            if (id == self)
                continue;
            const Filed* filed = FindFiled(id);
            if (filed == nullptr)
                continue;
            // The grid applied the reach rule to the sphere the pass took of this component,
            // which it still holds while its entry keeps the hull; the rest are tested here.
            if (!(k < fromGrid && filed->hull != nullptr) && !WithinReach(centre, radiusA, exactA, id))
                continue;
            const common::SOctNode* other = NodeOf(id, filed);
            if (other != nullptr && TreeRelated(node, other))
                neighbours[kept++] = id;
        }
        neighbours.resize(kept);
    }
    else
    {
        tree.GetNeighbours(self, neighbours);
        // Neighbours too far away for their pair test to find anything are passed over first:
        // they would give no result and fire nothing.
        if (bounded)
        {
            std::size_t kept = 0;
            for (const std::uint32_t id : neighbours)
                if (WithinReach(centre, radiusA, exactA, id))
                    neighbours[kept++] = id;
            neighbours.resize(kept);
        }
    }
    // Pairs come in id order whatever the oct tree's own order.
    std::sort(neighbours.begin(), neighbours.end());
}

const common::SOctNode* CollisionDetector::NodeOf(std::uint32_t id, const Filed* filed) const
{
    const common::COctTree& tree = common::COctTree::Global();
    if (filed != nullptr && filed->nodeTaken && tree.GetChangeCount() == m_treeChanges)
        return filed->node;
    return tree.FindNode(id);
}

bool CollisionDetector::CanCollide(const CollisionHull& a, const CollisionHull& b)
{
    return !a.Ignores(&b) && !b.Ignores(&a);
}

void CollisionDetector::ReportCollision(CollisionHull& a, CollisionHull& b,
                                        std::vector<CollisionInfo*>& results, CollisionInfo* info)
{
    CollisionComp* compA = a.owner;
    CollisionComp* compB = b.owner;
    PhysicsComp* bodyA = compA != nullptr ? compA->GetPhysicsComp() : nullptr;
    PhysicsComp* bodyB = compB != nullptr ? compB->GetPhysicsComp() : nullptr;
    if (bodyA != nullptr)
        a.collisionInfos.push_back(info);
    if (bodyB != nullptr)
        b.collisionInfos.push_back(info);

    const std::uint32_t idA = compA != nullptr ? compA->GetOwnerID() : 0;
    const std::uint32_t idB = compB != nullptr ? compB->GetOwnerID() : 0;
    // Nobody listens: the record (two object look-ups and an effective mass) would go unread,
    // and with no callback to run none can register one for this pair either.
    const bool heard = (compA != nullptr && compA->HasCollisionFunctors()) ||
                       (compB != nullptr && compB->HasCollisionFunctors());
    if (!heard)
    {
        a.AddContact(idB);
        b.AddContact(idA);
        results.push_back(info);
        return;
    }
    math::Vector3 relative;
    if (bodyA != nullptr)
        relative += bodyA->velocity;
    if (bodyB != nullptr)
        relative -= bodyB->velocity;
    // Ids in the detector's order; the normal and the contacts in the pair test's.
    const CollisionFunctorData data(idA, idB, info->GetAverageContactPoint(), info->normal,
                                    info->GetAverageDepth(), relative, relative.Length(), info->restitution);

    if (compA != nullptr)
        compA->CallCollisionFunctors(data);
    if (compB != nullptr)
        compB->CallCollisionFunctors(data);
    if (!a.HadContactWith(idB) && !b.HadContactWith(idA))
    {
        if (compA != nullptr)
            compA->CallCollisionBeginFunctors(data);
        if (compB != nullptr)
            compB->CallCollisionBeginFunctors(data);
    }
    a.AddContact(idB);
    b.AddContact(idA);
    results.push_back(info);
}

void CollisionDetector::AgeAllContacts(float dt)
{
    for (const auto& entry : m_compList)
        if (CollisionHull* hull = entry.second->GetHull())
            hull->AgeContacts(dt);
}
} // namespace phy
} // namespace dorvo
