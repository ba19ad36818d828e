// The bytes a device's vertex or index buffer holds, read through a read-only lock: what the
// graphics tests compare when a buffer is built, copied or restored after a device reset. An
// empty list for a null buffer or one that does not lock.
#pragma once

#include "platform/d3d9.h"

#include <cstdint>
#include <vector>

namespace testsupport
{
std::vector<std::uint8_t> Bytes(plat::IDirect3DVertexBuffer9* buffer);
std::vector<std::uint8_t> Bytes(plat::IDirect3DIndexBuffer9* buffer);
} // namespace testsupport
