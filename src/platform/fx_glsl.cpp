#include "platform/fx_glsl.h"

#include <cctype>
#include <sstream>

namespace plat
{
namespace
{
const char* GlslType(const FxParameterDesc& p)
{
    if (p.type == FxType::Int)
        return "int";
    if (p.type == FxType::Bool)
        return "bool";
    if (p.parameterClass == FxClass::Matrix)
        return "mat4";
    switch (p.columns)
    {
    case 2:
        return "vec2";
    case 3:
        return "vec3";
    case 4:
        return "vec4";
    default:
        return "float";
    }
}

std::string Declarator(const FxParameterDesc& p)
{
    const std::string type = p.parameterClass == FxClass::Struct ? p.typeName : GlslType(p);
    std::string text = type + " " + p.name;
    if (p.elements > 0)
        text += "[" + std::to_string(p.elements) + "]";
    return text;
}

// A file name fit for a one-line GLSL comment.
std::string CommentSafe(const std::string& text)
{
    std::string safe = text;
    for (char& c : safe)
        if (static_cast<unsigned char>(c) < 32 || c == '\\')
            c = c == '\\' ? '/' : '?';
    return safe;
}

const FxGlslBlock* StageBlock(const FxEffectDesc& effect, const FxPassDesc& pass, FxStage stage)
{
    const std::string& name = stage == FxStage::Vertex ? pass.vertexBlock : pass.fragmentBlock;
    if (name.empty())
        return nullptr;
    const FxGlslBlock* block = effect.FindBlock(name);
    return block && block->stage == stage ? block : nullptr;
}

// Reads decimal digits at `pos`; false when there are none.
bool ReadNumber(const std::string& text, std::size_t& pos, long& value)
{
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && pos - start < 9)
        value = value * 10 + (text[pos++] - '0');
    return pos > start;
}

// "S:L(C): rest" or "S(L) : rest" (after optional "ERROR: " or "WARNING: "), as drivers write it.
bool SplitMessage(const std::string& line, std::string& prefix, long& number, std::string& rest)
{
    long source = 0;
    std::size_t pos = 0;
    for (const char* tag : {"ERROR: ", "WARNING: "})
        if (line.compare(0, std::char_traits<char>::length(tag), tag) == 0)
            pos = std::char_traits<char>::length(tag);
    prefix = line.substr(0, pos);
    if (!ReadNumber(line, pos, source) || pos >= line.size())
        return false;
    if (line[pos] == ':')
    {
        ++pos;
        if (!ReadNumber(line, pos, number))
            return false;
        if (pos < line.size() && line[pos] == '(')
        {
            const std::size_t close = line.find(')', pos);
            if (close == std::string::npos)
                return false;
            pos = close + 1;
        }
    }
    else if (line[pos] == '(')
    {
        ++pos;
        if (!ReadNumber(line, pos, number) || pos >= line.size() || line[pos] != ')')
            return false;
        ++pos;
    }
    else
    {
        return false;
    }
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size() || line[pos] != ':')
        return false;
    ++pos;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    rest = line.substr(pos);
    return true;
}
} // namespace

std::string BuildGlslPrelude(const FxEffectDesc& effect, const FxPassDesc& pass, FxStage stage)
{
    const FxGlslBlock* block = StageBlock(effect, pass, stage);
    if (!block)
        return std::string();

    std::ostringstream out;
    out << "#version 330 core\n";
    out << "#line " << kGlslPreludeLine + 3 << "\n";
    out << "// Generated from " << CommentSafe(effect.file) << " for the "
        << (stage == FxStage::Vertex ? "vertex" : "fragment") << " block " << block->name << ".\n";
    out << "#define mul(a, b) ((a) * (b))\n";
    out << "#define tex2D texture\n";
    out << "#define texCUBE texture\n";

    for (const FxStructDesc& type : effect.structs)
    {
        out << "struct " << type.name << "\n{\n";
        for (const FxParameterDesc& member : type.members)
            out << "    " << Declarator(member) << ";\n";
        out << "};\n";
    }
    for (const FxParameterDesc& parameter : effect.parameters)
        if (parameter.type != FxType::Texture)
            out << "uniform " << Declarator(parameter) << ";\n";
    for (const FxSamplerDesc& sampler : effect.samplers)
        out << "uniform " << (sampler.kind == FxSamplerKind::Cube ? "samplerCube " : "sampler2D ")
            << sampler.name << ";\n";

    if (stage == FxStage::Vertex)
    {
        out << "layout(location = 0) in vec4 in_Position;\n"
               "layout(location = 1) in vec3 in_Normal;\n"
               // Texture coordinate 0 arrives whole (a third float, when the vertex has one,
               // picks a particle's matrix); blocks read its first two as in_TexCoord0.
               "layout(location = 2) in vec3 in_TexCoord0Full;\n"
               "#define in_TexCoord0 (in_TexCoord0Full.xy)\n"
               "layout(location = 3) in vec3 in_Tangent;\n"
               "layout(location = 4) in vec3 in_Binormal;\n"
               "layout(location = 5) in vec4 in_Color;\n"
               "layout(location = 6) in vec2 in_TexCoord1;\n"
               "vec4 plat_Position;\n"
               "#define main plat_VertexMain\n";
    }
    else
    {
        out << "layout(location = 0) out vec4 plat_Color;\n";
        if (pass.vertexBlock.empty())
            out << "in vec4 plat_VertexColor;\n"
                   "in vec2 plat_TexCoord0;\n"
                   "in vec2 plat_TexCoord1;\n";
    }
    out << "#line " << block->firstLine << "\n";
    return out.str();
}

std::string BuildGlslSource(const FxEffectDesc& effect, const FxPassDesc& pass, FxStage stage,
                            const std::string& vertexEpilogue)
{
    std::string source = BuildGlslPrelude(effect, pass, stage);
    if (source.empty())
        return source;
    source += StageBlock(effect, pass, stage)->code;
    source += "\n";
    if (stage == FxStage::Vertex)
    {
        source += "#undef main\n#line " + std::to_string(kGlslEpilogueLine + 1) + "\n";
        source += vertexEpilogue;
        if (!vertexEpilogue.empty() && vertexEpilogue.back() != '\n')
            source += "\n";
    }
    return source;
}

std::string MapGlslLog(const std::string& log, const std::string& file)
{
    std::istringstream in(log);
    std::string result;
    std::string line;
    while (std::getline(in, line))
    {
        std::string prefix, rest;
        long number = 0;
        if (SplitMessage(line, prefix, number, rest))
        {
            if (number >= kGlslEpilogueLine)
                line = file + ": in the device's epilogue, line " +
                       std::to_string(number - kGlslEpilogueLine) + ": " + prefix + rest;
            else if (number >= kGlslPreludeLine)
                line = file + ": in the generated prelude, line " +
                       std::to_string(number - kGlslPreludeLine) + ": " + prefix + rest;
            else
                line = file + ":" + std::to_string(number) + ": " + prefix + rest;
        }
        result += line;
        result += "\n";
    }
    return result;
}
} // namespace plat
