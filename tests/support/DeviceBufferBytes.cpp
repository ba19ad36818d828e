#include "DeviceBufferBytes.h"

namespace testsupport
{
namespace
{
template <typename Buffer, typename Desc> std::vector<std::uint8_t> LockedBytes(Buffer* buffer)
{
    std::vector<std::uint8_t> bytes;
    void* data = nullptr;
    if (!buffer || plat::FAILED(buffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY)))
        return bytes;
    Desc desc{};
    buffer->GetDesc(&desc);
    bytes.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + desc.Size);
    buffer->Unlock();
    return bytes;
}
} // namespace

std::vector<std::uint8_t> Bytes(plat::IDirect3DVertexBuffer9* buffer)
{
    return LockedBytes<plat::IDirect3DVertexBuffer9, plat::D3DVERTEXBUFFER_DESC>(buffer);
}

std::vector<std::uint8_t> Bytes(plat::IDirect3DIndexBuffer9* buffer)
{
    return LockedBytes<plat::IDirect3DIndexBuffer9, plat::D3DINDEXBUFFER_DESC>(buffer);
}
} // namespace testsupport
