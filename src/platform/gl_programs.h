// OpenGL programs of the device, and the pieces every program shares so that effects draw
// by the same rules as the device's own program:
// - vertex inputs at fixed locations by usage (AttributeLocation, d3d9types.h), named
//   plat_InPosition, plat_InNormal, plat_InTexCoord0, plat_InTangent, plat_InBinormal,
//   plat_InColor, plat_InTexCoord1; D3DCOLOR arrives as normalised r, g, b, a;
// - a vertex stage defines `void plat_Main()` and writes Direct3D's clip-space position into
//   `plat_Position` (pre-transformed positions go through `plat_FromPixels`); the epilogue
//   then writes the user clip distances from `plat_ClipPlanes`, maps depth 0..1 to OpenGL's
//   -1..1 and negates y, because every target is kept top row first;
// - the fragment stage writes `plat_FragColor`.
// Only the OpenGL device includes this (and no engine code).
#pragma once

#include "platform/d3d9types.h"

#include <string>

namespace plat::detail::gl
{
// The name of the input at each attribute location.
const char* AttributeName(AttributeLocation location);

// The whole vertex shader around a body that defines plat_Main.
std::string ComposeVertexShader(const std::string& body);
// The whole fragment shader around a body that defines main; extensions are #extension lines.
std::string ComposeFragmentShader(const std::string& body, const std::string& extensions = std::string());

// Compiles and links, binding the inputs to their locations. 0 with the compiler's or linker's
// text on failure ("vertex stage: ...", "fragment stage: ..." or "link: ..."). Needs a current
// context.
unsigned BuildProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string& error);
// The same, with the stage ("vertex", "fragment" or "link") and the driver's log apart.
struct BuildLog
{
    std::string stage;
    std::string text;
};
unsigned BuildProgram(const std::string& vertexSource, const std::string& fragmentSource, BuildLog& error);

// The epilogue of an effect's vertex stage (fx_glsl.h's BuildGlslSource appends it after the
// block): its main calls the block's plat_VertexMain and then does what the device's own
// epilogue does, with the same uniforms.
std::string EffectVertexEpilogue();
// The whole vertex shader of an effect pass without a vertex block: POSITIONT through the
// half-pixel rule (u_PixelSpace, as the device's own program), POSITION as clip space, and the
// outputs plat_VertexColor, plat_TexCoord0 and plat_TexCoord1 that the effect's fragment
// prelude declares (the colour white where the vertices have none).
std::string PassThroughVertexShader();

// What an OpenGL device lends the effects' programs: its state cache, its error checks and its
// counters. Only called while the device's context is alive (Alive()).
class ProgramHost
{
public:
    virtual bool Alive() const = 0;
    virtual void UseProgram(unsigned program) = 0;
    // Deletes a program and forgets what the device knew of it.
    virtual void DeleteProgram(unsigned program) = 0;
    virtual bool CheckErrors(const char* what) = 0;
    virtual void CountPrograms(unsigned count) = 0;
    virtual void CountUploads(unsigned count) = 0;

protected:
    ~ProgramHost() = default;
};

// Where a program takes the epilogue's values; -1 where it does not use one.
struct EpilogueUniforms
{
    int clipPlanes = -1;  // vec4[6], clip space
    int pixelToClip = -1; // vec4: x, y scale and x, y offset from pixels to Direct3D's clip space
};
EpilogueUniforms FindEpilogueUniforms(unsigned program);

// The device's own program: POSITION taken as clip space (POSITIONT as render-target
// pixels), COLOR (white when absent) times the texture of slot 0. With slots 16 it selects
// one of 16 textures by the vertex's slot (location 7; -1 for none) for the batches.
//
// GLSL 3.30 indexes sampler arrays by constants only, so the portable choice is a chain of
// comparisons. A renderer that runs every branch for every pixel (Mesa's llvmpipe) then
// samples all 16 textures; there, with indexUniformPerTriangle, the array is indexed by the
// slot instead (ARB_gpu_shader5), which is sound because such a renderer shades one
// triangle's pixels per call and the slot is the same across a triangle. 0 when that cannot
// be built.
constexpr unsigned kBatchSlotLocation = 7;
unsigned BuildDeviceProgram(unsigned slots, bool indexUniformPerTriangle, std::string& error);
} // namespace plat::detail::gl
