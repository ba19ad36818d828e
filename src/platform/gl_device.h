// The device on OpenGL 3.3 core. Made by the SDL backend once the window's context is current;
// presenting swaps the window's buffers through the function the backend hands in, so this
// side holds the GL calls and nothing of SDL.
#pragma once

#include "platform/d3d9.h"

#include <functional>
#include <memory>
#include <string>

namespace plat::detail
{
// Null with a reason when the current context is not OpenGL 3.3 or newer.
std::unique_ptr<IDirect3DDevice9> MakeGLDevice(const D3DPRESENT_PARAMETERS& params,
                                               std::function<void()> swap, std::string& error);
} // namespace plat::detail
