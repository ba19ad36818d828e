// The GLSL the OpenGL device compiles for one pass of an effect: a generated prelude (version,
// the mul/tex2D macros, struct types and uniforms from the parameters, vertex inputs at the
// device's fixed attribute locations, the stage's outputs), the pass's block as written, and
// the device's vertex epilogue. Line directives keep compiler messages in the .fx file's own
// line numbers, and MapGlslLog rewrites them as "<file>:<line>: ...". Text only: no GL here.
#pragma once

#include "platform/fx_model.h"

#include <string>

namespace plat
{
// Compilers number lines on their own (Mesa ignores #line's source-string number), so the
// generated parts are numbered from these lines on: a message below kGlslPreludeLine is about
// the block, at the .fx file's own line.
constexpr long kGlslPreludeLine = 1000000;
constexpr long kGlslEpilogueLine = 2000000;

// The prelude for `stage` of `pass`. It ends with a #line directive so that the block's code,
// appended next, numbers as in the .fx file; its own lines count from kGlslPreludeLine. The vertex prelude
// declares `vec4 plat_Position` for the block to write and renames the block's main to plat_VertexMain, which
// the epilogue's own main calls. The fragment prelude declares `out vec4 plat_Color`; when the pass has no
// vertex block it also declares the device pass-through's outputs as inputs:
// `plat_VertexColor` (vec4), `plat_TexCoord0` and `plat_TexCoord1` (vec2).
// A stage the pass does not have gives an empty text.
std::string BuildGlslPrelude(const FxEffectDesc& effect, const FxPassDesc& pass, FxStage stage);

// Prelude, block code and, for the vertex stage, "#undef main" and `vertexEpilogue` (which must
// define `void main()` calling plat_VertexMain() and then write gl_Position from plat_Position).
// Empty when the pass has no block for the stage.
std::string BuildGlslSource(const FxEffectDesc& effect, const FxPassDesc& pass, FxStage stage,
                            const std::string& vertexEpilogue);

// Rewrites a compiler log: a message at line L ("0:L(C): ..." as Mesa writes it, "0(L) : ..."
// as some other drivers do) becomes "<file>:L: ..."; messages about the prelude or the
// epilogue say so, with the line within it. Other lines stay as they are.
std::string MapGlslLog(const std::string& log, const std::string& file);
} // namespace plat
