// Reads an effect file in our own text format (docs/fx-format.md) into an FxEffectDesc: one
// parser for the OpenGL and the headless device, so a malformed effect fails the same way on
// both. Nothing is compiled here; see fx_glsl.h for the GLSL the OpenGL device builds.
#pragma once

#include "platform/fx_model.h"

#include <string>

namespace plat
{
// Parses effect text. `file` names the source in errors and in the description. On error
// returns false, leaves `effect` empty and sets `error` to one line
// "<file>:<line>: <what was wrong>".
bool ParseFxText(const std::string& text, const std::string& file, FxEffectDesc& effect, std::string& error);

// Reads the file through the path helper (either separator, any case) and parses it; a file
// that cannot be read gives "<path>: cannot be read".
bool ParseFxFile(const std::string& path, FxEffectDesc& effect, std::string& error);

// Limits that keep a hostile file from exhausting memory; every real effect is far below.
constexpr int kFxMaxParameterBytes = 65536; // one parameter or struct type, all elements
constexpr int kFxMaxEffectBytes = 262144;   // all parameters of one file
constexpr int kFxMaxStructDepth = 8;        // structs within structs
constexpr int kFxMaxMembers = 65536;        // struct members in all, counted per parameter
} // namespace plat
