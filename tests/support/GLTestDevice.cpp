#include "GLTestDevice.h"

#include "platform/d3dx9.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <filesystem>

namespace testsupport
{
bool GLTestDevice::Start(int width, int height, bool makeDevice)
{
    if (!XvfbInstalled())
    {
        m_skipped = true;
        m_why = "Xvfb is not installed (package xvfb): the OpenGL device is not tested here";
        return false;
    }
    if (!m_display.Start(std::to_string(width + 64) + "x" + std::to_string(height + 64) + "x24"))
    {
        m_why = "Xvfb did not start";
        return false;
    }
    plat::headless::Reset();
    testsupport::UseOpenGLOn(m_display, m_env);
    m_started = true;
    plat::DXUTInit(false, false, false, true);
    if (makeDevice && plat::FAILED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, width, height)))
    {
        m_why = "the OpenGL device could not be made";
        return false;
    }
    return true;
}

void GLTestDevice::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    plat::DXUTShutdown();
    m_env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
    m_display.Stop();
}

plat::IDirect3DDevice9* GLTestDevice::Device() const
{
    return plat::DXUTGetD3D9Device();
}

std::string ScreenshotPath(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(DORVO_BINARY_DIR) / "screenshots";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    plat::AllowSaveFolder(folder.string()); // the pictures are kept beside the build
    return (folder / name).string();
}

bool SaveBackBuffer(plat::IDirect3DDevice9* device, const std::string& name)
{
    plat::IDirect3DSurface9* back = nullptr;
    if (!device || plat::FAILED(device->GetBackBuffer(0, 0, plat::D3DBACKBUFFER_TYPE_MONO, &back)))
        return false;
    const bool ok = plat::SUCCEEDED(plat::D3DXSaveSurfaceToFileW(plat::ToWide(ScreenshotPath(name)).c_str(),
                                                                 plat::D3DXIFF_PNG, back, nullptr, nullptr));
    back->Release();
    return ok;
}
} // namespace testsupport
