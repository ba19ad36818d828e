#include "platform/gl_programs.h"

#include <epoxy/gl.h>

#include <vector>

namespace plat::detail::gl
{
namespace
{
constexpr const char* kAttributeNames[kAttribCount] = {
    "plat_InPosition", "plat_InNormal", "plat_InTexCoord0", "plat_InTangent",
    "plat_InBinormal", "plat_InColor",  "plat_InTexCoord1",
};

constexpr const char kVersion[] = "#version 330 core\n";

constexpr const char kVertexInputs[] = R"(in vec4 plat_InPosition;
in vec3 plat_InNormal;
in vec4 plat_InTexCoord0;
in vec3 plat_InTangent;
in vec3 plat_InBinormal;
in vec4 plat_InColor;
in vec4 plat_InTexCoord1;
)";

// What every vertex stage does last: the user clip distances from Direct3D's clip space, then
// depth 0..1 to OpenGL's -1..1 and y negated, because every target is kept top row first.
#define PLAT_EPILOGUE_STEPS                                                                                  \
    "    for (int i = 0; i < 6; ++i)\n"                                                                      \
    "        gl_ClipDistance[i] = dot(plat_ClipPlanes[i], plat_Position);\n"                                 \
    "    gl_Position = vec4(plat_Position.x, -plat_Position.y, 2.0 * plat_Position.z - plat_Position.w,\n"   \
    "                       plat_Position.w);\n"

constexpr const char kEpilogue[] = R"(uniform vec4 plat_ClipPlanes[6];
uniform vec4 plat_PixelToClip;
out float gl_ClipDistance[6];
vec4 plat_Position;

// A pre-transformed position: x, y in render-target pixels with the centres on whole numbers,
// z the depth, w the reciprocal of the clip w (0 read as 1).
vec4 plat_FromPixels(vec4 p)
{
    float w = (p.w != 0.0) ? 1.0 / p.w : 1.0;
    vec2 ndc = (p.xy + 0.5) * plat_PixelToClip.xy + plat_PixelToClip.zw;
    return vec4(ndc * w, p.z * w, w);
}

void plat_Epilogue()
{
)" PLAT_EPILOGUE_STEPS "}\n";

// After an effect's vertex block (whose prelude declares plat_Position and renames its main).
constexpr const char kEffectEpilogue[] = "uniform vec4 plat_ClipPlanes[6];\n"
                                         "out float gl_ClipDistance[6];\n"
                                         "void main()\n"
                                         "{\n"
                                         "    plat_VertexMain();\n" PLAT_EPILOGUE_STEPS "}\n";

// The vertex stage of an effect pass without a vertex block: positions as the device's own
// program takes them, and the outputs the effects' fragment prelude declares.
constexpr const char kPassThroughBody[] = R"(uniform int u_PixelSpace;
out vec4 plat_VertexColor;
out vec2 plat_TexCoord0;
out vec2 plat_TexCoord1;

void plat_Main()
{
    plat_Position = (u_PixelSpace != 0) ? plat_FromPixels(plat_InPosition) : plat_InPosition;
    plat_VertexColor = plat_InColor;
    plat_TexCoord0 = plat_InTexCoord0.xy;
    plat_TexCoord1 = plat_InTexCoord1.xy;
}
)";

constexpr const char kVertexMain[] = R"(
void main()
{
    plat_Main();
    plat_Epilogue();
}
)";

unsigned Compile(GLenum stage, const std::string& source, BuildLog& error)
{
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok)
    {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        error.stage = stage == GL_VERTEX_SHADER ? "vertex" : "fragment";
        error.text = log.data();
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// The device's program: one texture, or one of sixteen chosen by the vertex's slot. Sampler
// arrays may only be indexed by constants in GLSL 3.30, hence the unrolled choice.
std::string DeviceFragmentBody(unsigned slots, bool indexed)
{
    std::string body = "in vec2 v_TexCoord;\nin vec4 v_Color;\nflat in int v_Slot;\n";
    body += "uniform sampler2D u_Textures[" + std::to_string(slots) + "];\n";
    body += "vec4 Texel()\n{\n";
    if (slots == 1)
        body += "    return texture(u_Textures[0], v_TexCoord);\n";
    else if (indexed)
        body += "    return v_Slot < 0 ? vec4(1.0) : texture(u_Textures[v_Slot], v_TexCoord);\n";
    else
    {
        body += "    if (v_Slot < 0)\n        return vec4(1.0);\n";
        for (unsigned i = 0; i + 1 < slots; ++i)
            body += "    if (v_Slot == " + std::to_string(i) + ")\n        return texture(u_Textures[" +
                    std::to_string(i) + "], v_TexCoord);\n";
        body += "    return texture(u_Textures[" + std::to_string(slots - 1) + "], v_TexCoord);\n";
    }
    body += "}\n\nvoid main()\n{\n    plat_FragColor = v_Color * Texel();\n}\n";
    return body;
}

constexpr const char kDeviceVertexBody[] = R"(layout(location = 7) in float plat_InSlot;
uniform int u_PixelSpace;
out vec2 v_TexCoord;
out vec4 v_Color;
flat out int v_Slot;

void plat_Main()
{
    plat_Position = (u_PixelSpace != 0) ? plat_FromPixels(plat_InPosition) : plat_InPosition;
    v_TexCoord = plat_InTexCoord0.xy;
    v_Color = plat_InColor;
    v_Slot = int(floor(plat_InSlot + 0.5));
}
)";
} // namespace

const char* AttributeName(AttributeLocation location)
{
    return location < kAttribCount ? kAttributeNames[location] : "";
}

std::string ComposeVertexShader(const std::string& body)
{
    return std::string(kVersion) + kVertexInputs + kEpilogue + "\n#line 1 1\n" + body + kVertexMain;
}

std::string ComposeFragmentShader(const std::string& body, const std::string& extensions)
{
    return std::string(kVersion) + extensions + "out vec4 plat_FragColor;\n#line 1 1\n" + body;
}

unsigned BuildProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string& error)
{
    BuildLog log;
    const unsigned program = BuildProgram(vertexSource, fragmentSource, log);
    if (!program)
        error = log.stage == "link" ? "link: " + log.text : log.stage + " stage: " + log.text;
    return program;
}

unsigned BuildProgram(const std::string& vertexSource, const std::string& fragmentSource, BuildLog& error)
{
    const GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource, error);
    if (!vs)
        return 0;
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentSource, error);
    if (!fs)
    {
        glDeleteShader(vs);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    for (unsigned i = 0; i < kAttribCount; ++i)
        glBindAttribLocation(program, i, kAttributeNames[i]);
    glBindFragDataLocation(program, 0, "plat_FragColor");
    glLinkProgram(program);
    glDetachShader(program, vs);
    glDetachShader(program, fs);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok)
    {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
        glGetProgramInfoLog(program, length, nullptr, log.data());
        error.stage = "link";
        error.text = log.data();
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

std::string EffectVertexEpilogue()
{
    return kEffectEpilogue;
}

std::string PassThroughVertexShader()
{
    return ComposeVertexShader(kPassThroughBody);
}

EpilogueUniforms FindEpilogueUniforms(unsigned program)
{
    EpilogueUniforms u;
    u.clipPlanes = glGetUniformLocation(program, "plat_ClipPlanes");
    u.pixelToClip = glGetUniformLocation(program, "plat_PixelToClip");
    return u;
}

unsigned BuildDeviceProgram(unsigned slots, bool indexUniformPerTriangle, std::string& error)
{
    const bool indexed = indexUniformPerTriangle && slots > 1;
    const unsigned program = BuildProgram(
        ComposeVertexShader(kDeviceVertexBody),
        ComposeFragmentShader(DeviceFragmentBody(slots, indexed),
                              indexed ? "#extension GL_ARB_gpu_shader5 : require\n" : std::string()),
        error);
    if (!program)
        return 0;
    glUseProgram(program);
    std::vector<GLint> units(slots);
    for (unsigned i = 0; i < slots; ++i)
        units[i] = static_cast<GLint>(i);
    glUniform1iv(glGetUniformLocation(program, "u_Textures"), static_cast<GLsizei>(slots), units.data());
    glUseProgram(0);
    return program;
}
} // namespace plat::detail::gl
