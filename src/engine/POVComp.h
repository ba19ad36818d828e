// The transform of a game object ("point of view"): position, orientation, velocity, scale and
// a local bounding sphere and box. Physics, graphics, sound, the picker and the game read and
// write it. It files itself in the global oct tree by its world box when its object is
// initialised, the notifying setters keep that filing current, and its destructor takes it out.
// Owned by its game object like every component.
#pragma once

#include "common/IOctTreeObject.h"
#include "common/math/AABB.h"
#include "common/math/Matrix4.h"
#include "common/math/Quaternion.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"
#include "engine/ComponentBase.h"

#include <cstdint>
#include <string>

class Gob;
class GobController;

class POVComp : public ComponentBase<POVComp>, public common::IOctTreeObject
{
public:
    static const char* const kTypeName; // "POVComp"

    // Which bounding volume the picker tests.
    enum BVType : std::uint32_t
    {
        BV_Sphere = 0,
        BV_Box = 1, // any other value makes the object unpickable
    };

    POVComp();
    // Takes the component out of the global oct tree.
    ~POVComp() override;

    // <Component name="POVComp"> with "Position", "Orientation", "Velocity", "Scale",
    // "BoundingSphere", "BoundingAABB" and "BVType", read back by position. Deserialize sets
    // the fields only; the oct tree hears of them at the next notifying setter.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // Files the component in the global oct tree (which kills the object when it lies outside
    // the world box).
    bool Initialize(Gob* owner) override;

    // Arguments are taken by value, so a caller may pass this component's own fields. With
    // notify set the component is re-filed in the oct tree; physics moves bodies without it
    // and re-files once a step through the orientation.
    math::Vector3 GetPosition() const { return m_Position; } // world units
    void SetPosition(math::Vector3 position, bool notify);
    // Copied as given (w, x, y, z), not normalised.
    math::Quaternion GetOrientation() const { return m_Orientation; }
    void SetOrientation(math::Quaternion orientation, bool notify);
    // World units per second; stored only, never integrated here.
    math::Vector3 GetVelocity() const { return m_Velocity; }
    void SetVelocity(math::Vector3 velocity);
    // Per local axis, 1 = model size.
    math::Vector3 GetScale() const { return m_Scale; }
    void SetScale(math::Vector3 scale, bool notify);

    // Local volumes, in model units before scale. The box always re-files; the sphere never.
    void SetBoundingSphere(math::Sphere sphere);
    void SetBoundingBox(math::AABB box);
    const math::Sphere& GetLocalBoundingSphere() const { return m_LocalSphere; }
    const math::AABB& GetLocalBoundingBox() const { return m_LocalBox; }

    // World sphere: centre = position + local centre (neither turned nor scaled), radius =
    // local radius times the largest scale factor by size.
    math::Sphere GetBoundingSphere() const;
    // World box: the local box turned, scaled per local axis and moved; min <= max on every
    // axis whatever the signs of the scale.
    math::AABB GetBoundingBox() const;
    // Rotation rows scaled by scale.x, .y, .z, translation = position (row-vector convention).
    math::Matrix4 GetWorldMatrix() const;

    std::uint32_t GetBVType() const { return m_BVType; }
    void SetBVType(std::uint32_t type) { m_BVType = type; }

    // The mesh, height map or water kind the object's graphics loaded; graphics writes it and
    // the picker finds the model's BSP tree by it. Not saved.
    const std::string& GetModelName() const { return m_ModelName; }
    void SetModelName(const std::string& name) { m_ModelName = name; }

    // "SetPosition", "GetPosition", "SetOrientation", "GetOrientation", "SetVelocity",
    // "GetVelocity", "SetScale", "GetScale", on the template's controller.
    static void RegisterFunctions(GobController* controller);

    // The position component of a filed object as the oct tree's walks hand it out, or null
    // for an object of another kind.
    static POVComp* FromOctTreeObject(common::IOctTreeObject* object);

    // Oct-tree filing: the owner's id (0 before Initialize), the world box, and the kill of the
    // owner when the box lies outside the world box.
    std::uint32_t GetOctTreeKey() const override { return m_OctTreeKey; }
    math::AABB GetOctTreeBox() const override { return GetBoundingBox(); }
    void OnOutsideWorld() override;

private:
    // Re-files the component in the global oct tree, unless its box would be made of the very
    // numbers it was made of when it was last filed: the tree would then find it where it is
    // (bodies at rest write the same pose back every step).
    void Refile();
    // What the world box is made of: position, orientation, scale and local box.
    static constexpr int kFiledFrom = 16;
    void FiledFrom(float* from) const;

    math::Vector3 m_Position;
    math::Quaternion m_Orientation;
    math::Vector3 m_Velocity;
    math::Vector3 m_Scale;
    math::Sphere m_LocalSphere;
    math::AABB m_LocalBox;
    std::uint32_t m_BVType = BV_Sphere;
    std::string m_ModelName;
    // The owner's id, kept from Initialize so the destructor never asks a dying owner.
    std::uint32_t m_OctTreeKey = 0;
    // What the box was made of at the last filing, while m_HasFiledFrom.
    float m_FiledFrom[kFiledFrom] = {};
    bool m_HasFiledFrom = false;
};

// The object's position component, or null (a null object, or a template without one).
POVComp* GetPOVComp(Gob* gob);
const POVComp* GetPOVComp(const Gob* gob);
