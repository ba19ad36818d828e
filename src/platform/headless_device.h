// The headless memory device (DORVO_HEADLESS=1): surfaces in memory that clears and
// stretch-copies really change, draws counted and logged, text measured with fixed metrics.
#pragma once

#include "platform/device_base.h"

#include <functional>

namespace plat::detail
{
// onPresent runs at every Present.
ComPtr<DeviceBase> MakeHeadlessDevice(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps,
                                      ComPtr<Direct3DObject> d3d, std::function<void()> onPresent);

// Copies the source rectangle of an A8R8G8B8 image into the destination rectangle of another,
// scaled: the nearest pixel, or a bilinear blend with the edges clamped (as OpenGL's blit).
void StretchPixels(const std::vector<std::uint32_t>& src, UINT srcWidth, const RECT& sourceRect,
                   std::vector<std::uint32_t>& dst, UINT dstWidth, const RECT& destRect, bool linear);
} // namespace plat::detail
