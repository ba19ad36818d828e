// The device on OpenGL 3.3 core. Made by the SDL backend once the window's context is current;
// presenting swaps the window's buffers through the function the backend hands in, so this
// side holds the GL calls and nothing of SDL.
//
// Everything renders into framebuffer objects kept top row first, the back buffer too (a
// texture with a D24S8 depth buffer); Present blits it flipped into the window and swaps, so
// reading pixels back needs no flip.
#pragma once

#include "platform/device_base.h"

#include <functional>
#include <string>

namespace plat::detail
{
// swap shows the window's buffer; drawableSize tells the window's size in pixels. Null with
// a reason when the current context is not OpenGL 3.3 or newer.
ComPtr<DeviceBase> MakeGLDevice(const D3DPRESENT_PARAMETERS& params, std::function<void()> swap,
                                std::function<void(int&, int&)> drawableSize, std::string& error);
} // namespace plat::detail
