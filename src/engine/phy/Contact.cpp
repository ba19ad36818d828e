#include "engine/phy/Contact.h"

namespace dorvo
{
namespace phy
{
bool ContactDepthLess(const Contact& a, const Contact& b)
{
    return a.depth < b.depth;
}
} // namespace phy
} // namespace dorvo
