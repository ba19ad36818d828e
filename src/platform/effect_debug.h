// What an effect lets tests and tools see of itself beyond ID3DXEffect: its file, the technique
// and pass it is drawing, and its lost state. Values are read through the effect's own getters;
// the device's call log names the pass of every draw, and logs OnLostDevice and OnResetDevice
// (device_debug.h).
#pragma once

#include "platform/d3dx9effect.h"

#include <string>

namespace plat::fxdebug
{
// The path the effect was made from, as given; empty for anything that is not one of ours.
std::string File(ID3DXEffect* effect);
// The current technique's name; empty when there is none.
std::string CurrentTechnique(ID3DXEffect* effect);
// The pass between BeginPass and EndPass; -1 outside one.
int CurrentPass(ID3DXEffect* effect);
// Between Begin and End.
bool InBegin(ID3DXEffect* effect);
// Between OnLostDevice and OnResetDevice.
bool IsLost(ID3DXEffect* effect);
} // namespace plat::fxdebug
