#include "Scene.h"

namespace physcene
{
ObjectDesc Ball(const std::string& name, const math::Vector3& position, float diameter)
{
    ObjectDesc desc;
    desc.name = name;
    desc.shape = Shape::Sphere;
    desc.position = position;
    desc.scale = math::Vector3(diameter, diameter, diameter);
    return desc;
}

ObjectDesc Crate(const std::string& name, const math::Vector3& position, const math::Vector3& sides)
{
    ObjectDesc desc;
    desc.name = name;
    desc.shape = Shape::Box;
    desc.position = position;
    desc.scale = sides;
    return desc;
}

ObjectDesc Slab(const std::string& name, const math::Vector3& position, const math::Vector3& v0,
                const math::Vector3& v1, const math::Vector3& v2)
{
    ObjectDesc desc;
    desc.name = name;
    desc.shape = Shape::Triangle;
    desc.body = false;
    desc.position = position;
    desc.vertices[0] = v0;
    desc.vertices[1] = v1;
    desc.vertices[2] = v2;
    math::AABB bounds(v0, v0);
    bounds.Extend(v1);
    bounds.Extend(v2);
    const math::Vector3 grow(0.1f, 0.1f, 0.1f);
    desc.bounds = math::AABB(bounds.min - grow, bounds.max + grow);
    return desc;
}

ObjectDesc Ground(const std::string& name)
{
    ObjectDesc desc;
    desc.name = name;
    desc.shape = Shape::Plane;
    desc.body = false;
    desc.planeNormal = math::Vector3(0.0f, 1.0f, 0.0f);
    desc.planeD = 0.0f;
    desc.bounds = math::AABB(math::Vector3(-80.0f, -1.0f, -80.0f), math::Vector3(140.0f, 1.0f, 140.0f));
    return desc;
}
} // namespace physcene
