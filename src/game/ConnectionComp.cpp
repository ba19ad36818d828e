#include "game/ConnectionComp.h"

#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/LengthConstraint.h"
#include "engine/phy/PhysicsComp.h"
#include "game/CQUORB.h"
#include "game/FindComp.h"

#include <tinyxml.h>

namespace QUORB
{
namespace
{
// The focused face index and its normal; false without a focused face.
bool FocusedFace(int& face, math::Vector3& normal)
{
    const CQUORB* game = CQUORB::Get();
    if (game == nullptr)
        return false;
    face = game->GetFocusedFace();
    return face >= 0 && face <= 3 && game->GetFocusedFaceNormal(normal);
}

// The long axis of a widget is its x axis on the front and back faces, its z axis on the sides.
bool LongAxisIsX(int face)
{
    return face == 0 || face == 2;
}
} // namespace

const char* const ConnectionComp::kTypeName = "ConnectionComp";

ConnectionComp::ConnectionComp() : m_lengthConstraint(std::make_unique<dorvo::phy::LengthConstraint>()) {}

ConnectionComp::~ConnectionComp() = default;

bool ConnectionComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", kTypeName);
    return parent->InsertEndChild(element) != nullptr;
}

bool ConnectionComp::Deserialize(const TiXmlNode* node)
{
    return node != nullptr && node->ToElement() != nullptr;
}

void ConnectionComp::SetNodes(std::uint32_t idA, std::uint32_t idB)
{
    GobManager& manager = GobManager::Instance();
    m_nodeAID = manager.GetGob(idA) != nullptr ? idA : 0;
    m_nodeBID = manager.GetGob(idB) != nullptr ? idB : 0;
}

Gob* ConnectionComp::GetNodeA() const
{
    return m_nodeAID != 0 ? GobManager::Instance().GetGob(m_nodeAID) : nullptr;
}

Gob* ConnectionComp::GetNodeB() const
{
    return m_nodeBID != 0 ? GobManager::Instance().GetGob(m_nodeBID) : nullptr;
}

void ConnectionComp::UpdateFromNodes(bool position, bool orientation, bool scale, bool refile)
{
    POVComp* nodeA = ::GetPOVComp(GetNodeA());
    POVComp* nodeB = ::GetPOVComp(GetNodeB());
    POVComp* pov = GetPOVComp();
    if (nodeA == nullptr || nodeB == nullptr || pov == nullptr)
        return;
    const math::Vector3 a = nodeA->GetPosition();
    const math::Vector3 d = nodeB->GetPosition() - a;
    int face = -1;
    math::Vector3 normal;
    const bool focused = FocusedFace(face, normal);

    if (position)
        pov->SetPosition(a + d * 0.5f, false);
    // Two nodes on one spot give no direction: the widget keeps its turn.
    if (orientation && focused && d.LengthSquared() > 0.0f)
    {
        math::Quaternion turned;
        switch (face)
        {
        case 0:
            turned.SetFromDirections(d, -normal);
            break;
        case 1:
            turned.SetFromDirections(-normal, d);
            break;
        case 2:
            turned.SetFromDirections(d, normal);
            break;
        default:
            turned.SetFromDirections(normal, d);
            break;
        }
        pov->SetOrientation(turned, false);
    }
    // The model is one unit long along its long axis.
    if (scale && focused)
    {
        math::Vector3 stretched = pov->GetScale();
        (LongAxisIsX(face) ? stretched.x : stretched.z) = d.Length();
        pov->SetScale(stretched, false);
    }
    if (refile)
        pov->SetPosition(pov->GetPosition(), true);
}

void ConnectionComp::Update(float)
{
    const auto* body = FindComp<dorvo::phy::PhysicsComp>(GetOwner());
    if (body == nullptr || body->immovable)
        return;
    POVComp* nodeA = ::GetPOVComp(GetNodeA());
    POVComp* nodeB = ::GetPOVComp(GetNodeB());
    POVComp* pov = GetPOVComp();
    int face = -1;
    math::Vector3 normal;
    // Without a focused face there is no long axis: the nodes stay where they are.
    if (nodeA == nullptr || nodeB == nullptr || pov == nullptr || !FocusedFace(face, normal))
        return;
    const bool alongX = LongAxisIsX(face);
    const math::Vector3 axis =
        (alongX ? body->orientation.GetXAxis() : body->orientation.GetZAxis()).GetNormalized();
    const float half = 0.5f * (alongX ? pov->GetScale().x : pov->GetScale().z);
    nodeA->SetPosition(body->position - axis * half, true);
    nodeB->SetPosition(body->position + axis * half, true);
}

ConnectionComp* ConnectionComp::Of(Gob* gob)
{
    return FindComp<ConnectionComp>(gob);
}
} // namespace QUORB
