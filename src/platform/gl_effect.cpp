#include "platform/gl_effect.h"

#include "platform/fx_glsl.h"

#include <epoxy/gl.h>

#include <sstream>
#include <unordered_set>
#include <vector>

namespace plat::detail::gl
{
namespace
{
static_assert(sizeof(FxCell) == sizeof(GLfloat) && sizeof(FxCell) == sizeof(GLint),
              "values go to OpenGL cell by cell");

enum class UniformKind : std::uint8_t
{
    Float1,
    Float2,
    Float3,
    Float4,
    Matrix4,
    Int1, // ints and bools
};

// One uniform call: `count` values (array elements) from a cell of the parameter's value.
struct Uniform
{
    GLint location = -1;
    GLsizei count = 1;
    std::uint32_t firstCell = 0;
    UniformKind kind = UniformKind::Float1;
};

// The uniforms of one top-level parameter in one program (a struct array has many).
struct ParameterUniforms
{
    std::size_t parameter = 0;
    std::vector<Uniform> uniforms;
    std::uint64_t uploaded = 0; // the parameter's stamp when it was last sent
};

struct PassProgram
{
    GLuint program = 0;
    std::vector<ParameterUniforms> parameters;
    std::uint64_t seen = 0; // every value up to this stamp has been looked at
};

UniformKind KindOf(const FxParameterDesc& p)
{
    if (p.parameterClass == FxClass::Matrix)
        return UniformKind::Matrix4;
    if (p.type == FxType::Int || p.type == FxType::Bool)
        return UniformKind::Int1;
    switch (p.columns)
    {
    case 2:
        return UniformKind::Float2;
    case 3:
        return UniformKind::Float3;
    case 4:
        return UniformKind::Float4;
    default:
        return UniformKind::Float1;
    }
}

// The names of the program's active uniforms, as the driver reports them ("a[0]" for arrays,
// "s[1].m" for members of struct arrays).
std::unordered_set<std::string> ActiveUniforms(GLuint program)
{
    std::unordered_set<std::string> names;
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<char> name(static_cast<std::size_t>(longest) + 1, '\0');
    for (GLint i = 0; i < count; ++i)
    {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), longest, &length, &size, &type, name.data());
        names.emplace(name.data(), static_cast<std::size_t>(length));
    }
    return names;
}

// The uniform calls that carry parameter p (named `name` in GLSL) from cell firstCell on.
void Collect(GLuint program, const std::unordered_set<std::string>& active, const FxParameterDesc& p,
             const std::string& name, std::uint32_t firstCell, std::vector<Uniform>& out)
{
    if (p.type == FxType::Texture)
        return;
    const int elements = p.elements > 0 ? p.elements : 1;
    if (p.parameterClass == FxClass::Struct)
    {
        const auto each = static_cast<std::uint32_t>(p.bytes / 4 / elements);
        for (int e = 0; e < elements; ++e)
        {
            const std::string element = p.elements > 0 ? name + "[" + std::to_string(e) + "]" : name;
            for (const FxParameterDesc& member : p.members)
                Collect(program, active, member, element + "." + member.name,
                        firstCell + static_cast<std::uint32_t>(e) * each +
                            static_cast<std::uint32_t>(member.offset / 4),
                        out);
        }
        return;
    }
    const std::string glName = p.elements > 0 ? name + "[0]" : name;
    if (!active.count(glName))
        return; // the compiler left it out
    Uniform u;
    u.location = glGetUniformLocation(program, glName.c_str());
    if (u.location < 0)
        return;
    u.count = elements;
    u.firstCell = firstCell;
    u.kind = KindOf(p);
    out.push_back(u);
}

void Send(const Uniform& u, const FxCell* cells)
{
    const FxCell* at = cells + u.firstCell;
    const auto* f = reinterpret_cast<const GLfloat*>(at);
    switch (u.kind)
    {
    case UniformKind::Float1:
        glUniform1fv(u.location, u.count, f);
        break;
    case UniformKind::Float2:
        glUniform2fv(u.location, u.count, f);
        break;
    case UniformKind::Float3:
        glUniform3fv(u.location, u.count, f);
        break;
    case UniformKind::Float4:
        glUniform4fv(u.location, u.count, f);
        break;
    case UniformKind::Matrix4:
        // Row-major cells, and shaders compute v * M.
        glUniformMatrix4fv(u.location, u.count, GL_TRUE, f);
        break;
    case UniformKind::Int1:
        glUniform1iv(u.location, u.count, reinterpret_cast<const GLint*>(at));
        break;
    }
}

std::string FirstLines(const std::string& text)
{
    std::istringstream in(text);
    std::string line, joined;
    while (std::getline(in, line))
    {
        if (line.empty())
            continue;
        if (!joined.empty())
            joined += "; ";
        joined += line;
    }
    return joined;
}

// The compiler's messages as "<file>:<line>: ..." lines; a failure the log places nowhere in the
// file (a link error) is placed at the pass.
std::string PassError(const FxEffectDesc& effect, const FxTechniqueDesc& technique, std::size_t index,
                      const FxPassDesc& pass, const BuildLog& log)
{
    const std::string mapped = MapGlslLog(log.text, effect.file);
    const std::string prefix = effect.file + ":";
    std::istringstream in(mapped);
    std::string line, located;
    while (std::getline(in, line))
    {
        if (line.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (!located.empty())
            located += "\n";
        located += line;
    }
    if (!located.empty())
        return located;
    const std::string what =
        log.stage == "link" ? "its stages do not link" : "the " + log.stage + " stage does not compile";
    return prefix + std::to_string(pass.line) + ": technique \"" + technique.name + "\", pass " +
           std::to_string(index) + ": " + what + ": " + FirstLines(log.text);
}

class GLEffectPrograms final : public EffectPrograms
{
public:
    explicit GLEffectPrograms(ProgramHost& host) : m_host(host) {}

    ~GLEffectPrograms() override
    {
        if (!m_host.Alive())
            return; // the context and its programs are gone already
        for (const PassProgram& pass : m_passes)
            if (pass.program)
                m_host.DeleteProgram(pass.program);
        m_host.CheckErrors("deleting an effect's programs");
    }

    unsigned Program(std::size_t technique, std::size_t pass) const override
    {
        return m_passes[m_first[technique] + pass].program;
    }

    void Upload(std::size_t technique, std::size_t pass, const FxValueSource& values) override
    {
        PassProgram& p = m_passes[m_first[technique] + pass];
        const std::uint64_t latest = values.LatestStamp();
        if (latest <= p.seen || !m_host.Alive())
            return;
        unsigned calls = 0;
        for (ParameterUniforms& parameter : p.parameters)
        {
            const std::uint64_t stamp = values.ParameterStamp(parameter.parameter);
            if (stamp <= parameter.uploaded)
                continue;
            if (calls == 0)
                m_host.UseProgram(p.program);
            const FxCell* cells = values.ParameterCells(parameter.parameter);
            for (const Uniform& u : parameter.uniforms)
                Send(u, cells);
            calls += static_cast<unsigned>(parameter.uniforms.size());
            parameter.uploaded = stamp;
        }
        p.seen = latest;
        if (calls > 0)
        {
            m_host.CountUploads(calls);
            m_host.CheckErrors("uploading effect values");
        }
    }

    bool Build(const FxEffectDesc& effect, std::string& error)
    {
        const std::string epilogue = EffectVertexEpilogue();
        const std::string passThrough = PassThroughVertexShader();
        for (const FxTechniqueDesc& technique : effect.techniques)
        {
            m_first.push_back(m_passes.size());
            for (std::size_t i = 0; i < technique.passes.size(); ++i)
            {
                const FxPassDesc& pass = technique.passes[i];
                const std::string vertex = pass.vertexBlock.empty()
                                               ? passThrough
                                               : BuildGlslSource(effect, pass, FxStage::Vertex, epilogue);
                const std::string fragment = BuildGlslSource(effect, pass, FxStage::Fragment, std::string());
                BuildLog log;
                PassProgram built;
                built.program = gl::BuildProgram(vertex, fragment, log);
                if (!built.program)
                {
                    m_host.CheckErrors("compiling an effect");
                    error = PassError(effect, technique, i, pass, log);
                    return false;
                }
                m_host.CountPrograms(1);
                m_passes.push_back(std::move(built));
                Prepare(effect, m_passes.back());
            }
        }
        if (!m_host.CheckErrors("building an effect"))
        {
            error = effect.file + ": OpenGL reported an error while building the effect's programs";
            return false;
        }
        return true;
    }

private:
    // Sampler units in declaration order, and where every parameter's values go.
    void Prepare(const FxEffectDesc& effect, PassProgram& pass)
    {
        m_host.UseProgram(pass.program);
        for (std::size_t unit = 0; unit < effect.samplers.size(); ++unit)
        {
            const GLint location = glGetUniformLocation(pass.program, effect.samplers[unit].name.c_str());
            if (location >= 0)
                glUniform1i(location, static_cast<GLint>(unit));
        }
        const std::unordered_set<std::string> active = ActiveUniforms(pass.program);
        for (std::size_t i = 0; i < effect.parameters.size(); ++i)
        {
            ParameterUniforms parameter;
            parameter.parameter = i;
            Collect(pass.program, active, effect.parameters[i], effect.parameters[i].name, 0,
                    parameter.uniforms);
            if (!parameter.uniforms.empty())
                pass.parameters.push_back(std::move(parameter));
        }
    }

    ProgramHost& m_host;
    std::vector<PassProgram> m_passes; // every pass of every technique, in order
    std::vector<std::size_t> m_first;  // per technique, into m_passes
};
} // namespace

std::unique_ptr<EffectPrograms> BuildEffectPrograms(const FxEffectDesc& effect, ProgramHost& host,
                                                    std::string& error)
{
    auto programs = std::make_unique<GLEffectPrograms>(host);
    if (!programs->Build(effect, error))
        return nullptr;
    return programs;
}
} // namespace plat::detail::gl
