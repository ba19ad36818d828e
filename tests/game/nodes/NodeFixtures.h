// Small helpers of the node tests: nodes and widgets made and joined the way widget creation
// joins them, and what a node shows.
#pragma once

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/room/FindComp.h"

namespace nodetest
{
struct Widget
{
    Gob* connection = nullptr;
    Gob* a = nullptr;
    Gob* b = nullptr;
    explicit operator bool() const { return connection && a && b; }
};

// A node of that archetype ("SoftNode" or "HardNode") at the position, filed in the oct tree.
inline Gob* NodeAt(const char* archetype, const math::Vector3& position)
{
    Gob* node = GobManager::Instance().CreateGob(archetype);
    if (node != nullptr)
        GetPOVComp(node)->SetPosition(position, true);
    return node;
}

// A widget between two new soft nodes, placed between them (needs a focused face).
inline Widget Join(const math::Vector3& a, const math::Vector3& b, const char* archetype = "Platform")
{
    Widget widget;
    widget.connection = GobManager::Instance().CreateGob(archetype);
    widget.a = NodeAt("SoftNode", a);
    widget.b = NodeAt("SoftNode", b);
    if (!widget)
        return Widget();
    QUORB::NodeDataComp::Of(widget.a)->SetConnectionID(widget.connection->GetID());
    QUORB::NodeDataComp::Of(widget.b)->SetConnectionID(widget.connection->GetID());
    QUORB::ConnectionComp::Of(widget.connection)->SetNodes(widget.a->GetID(), widget.b->GetID());
    QUORB::ConnectionComp::Of(widget.connection)->UpdateFromNodes(true, true, true, true);
    return widget;
}

inline QUORB::NodeDataComp* Node(Gob* gob)
{
    return QUORB::NodeDataComp::Of(gob);
}

inline math::Vector3 At(Gob* gob)
{
    return GetPOVComp(gob)->GetPosition();
}

inline bool IsShown(Gob* gob)
{
    const auto* model = QUORB::FindComp<dorvo::gfx::GfxModelComp>(gob);
    return model != nullptr && model->IsVisible();
}

// The widget's length along its long axis, as its scale stretches it on faces 0 and 2.
inline float LengthOnFrontFace(const Widget& widget)
{
    return GetPOVComp(widget.connection)->GetScale().x;
}
} // namespace nodetest
