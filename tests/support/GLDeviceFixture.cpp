#include "GLDeviceFixture.h"

#include "platform/device_debug.h"

#include <cstring>

namespace testsupport
{
void GLDeviceFixture::SetUp()
{
    DORVO_START_GL_OR_SKIP(gl, m_width, m_height);
    device = gl.Device();
}

void GLDeviceFixture::TearDown()
{
    if (device)
    {
        EXPECT_EQ(plat::devicedebug::Statistics(device).glErrors, 0u) << "OpenGL reported errors";
    }
    gl.Stop();
}

void GLDeviceFixture::Finish(const std::string& name)
{
    device->EndScene();
    ASSERT_TRUE(device->ReadBackBuffer(pixels));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(m_width) * m_height);
    EXPECT_TRUE(SaveBackBuffer(device, name));
    EXPECT_TRUE(plat::SUCCEEDED(device->Present(nullptr, nullptr, nullptr, nullptr)));
}

plat::IDirect3DTexture9* MakeTexture(plat::IDirect3DDevice9* device, plat::UINT width, plat::UINT height,
                                     const std::vector<std::uint32_t>& texels)
{
    plat::IDirect3DTexture9* texture = nullptr;
    if (plat::FAILED(device->CreateTexture(width, height, 1, 0, plat::D3DFMT_A8R8G8B8, plat::D3DPOOL_MANAGED,
                                           &texture, nullptr)))
        return nullptr;
    plat::D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    for (plat::UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<char*>(locked.pBits) + y * locked.Pitch, texels.data() + y * width,
                    width * 4);
    texture->UnlockRect(0);
    return texture;
}
} // namespace testsupport
