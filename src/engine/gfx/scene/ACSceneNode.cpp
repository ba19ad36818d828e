#include "engine/gfx/scene/ACSceneNode.h"

namespace dorvo
{
namespace gfx
{
ACSceneNode::~ACSceneNode() = default;

const char* ACSceneNode::TypeName(std::uint32_t type)
{
    switch (type)
    {
    case TRANSFORMATION:
        return "TRANSFORMATION";
    case GEOMETRY:
        return "GEOMETRY";
    case EFFECT:
        return "EFFECT";
    case BASE:
        return "BASE";
    case BATCH:
        return "BATCH";
    case SPI:
        return "SPI";
    default:
        return "";
    }
}
} // namespace gfx
} // namespace dorvo
