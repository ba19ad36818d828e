// The OpenGL side of effects: one program per pass of every technique, compiled and linked when
// the effect is made (never while drawing), from the generated prelude, the pass's GLSL blocks
// and the device's epilogue (or its pass-through vertex stage). Each program keeps where its
// uniforms are and which values it last received, so an upload sends only what changed.
// Only the OpenGL device includes this.
#pragma once

#include "platform/fx_programs.h"
#include "platform/gl_programs.h"

#include <memory>
#include <string>

namespace plat::detail::gl
{
// Null when a pass does not compile or link, with error set to the compiler's messages as
// "<file>:<line>: ..." lines (fx_glsl.h's MapGlslLog), or for a link failure one line naming
// the pass's line, technique and pass. Needs the device's context current.
std::unique_ptr<EffectPrograms> BuildEffectPrograms(const FxEffectDesc& effect, ProgramHost& host,
                                                    std::string& error);
} // namespace plat::detail::gl
