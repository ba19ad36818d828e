#include "common/XmlQuietNumbers.h"

namespace common
{
namespace
{
thread_local int s_depth = 0;
} // namespace

XmlQuietNumbers::XmlQuietNumbers()
{
    ++s_depth;
}

XmlQuietNumbers::~XmlQuietNumbers()
{
    --s_depth;
}

bool XmlQuietNumbers::Active()
{
    return s_depth > 0;
}
} // namespace common
