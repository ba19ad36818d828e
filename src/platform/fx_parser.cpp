#include "platform/fx_parser.h"

#include "platform/files.h"
#include "platform/fx_lexer.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <set>

namespace plat
{
namespace
{
struct BuiltinType
{
    const char* name;
    FxClass parameterClass;
    FxType type;
    int rows;
    int columns;
};

constexpr BuiltinType kBuiltinTypes[] = {
    {"float", FxClass::Scalar, FxType::Float, 1, 1},    {"float2", FxClass::Vector, FxType::Float, 1, 2},
    {"float3", FxClass::Vector, FxType::Float, 1, 3},   {"float4", FxClass::Vector, FxType::Float, 1, 4},
    {"float4x4", FxClass::Matrix, FxType::Float, 4, 4}, {"int", FxClass::Scalar, FxType::Int, 1, 1},
    {"bool", FxClass::Scalar, FxType::Bool, 1, 1},      {"texture", FxClass::Object, FxType::Texture, 0, 0},
};

const BuiltinType* FindBuiltin(const std::string& name)
{
    for (const BuiltinType& type : kBuiltinTypes)
        if (name == type.name)
            return &type;
    return nullptr;
}

// Names a parameter, struct, member or sampler may not take: they become GLSL names beside the
// generated ones, so GLSL keywords and reserved words, our own keywords and what the generated
// prelude declares are refused here rather than by a compiler message later.
const std::set<std::string>& ReservedNames()
{
    static const std::set<std::string> names = {
        // GLSL 3.30 keywords
        "attribute", "const", "uniform", "varying", "layout", "centroid", "flat", "smooth", "noperspective",
        "break", "continue", "do", "for", "while", "switch", "case", "default", "if", "else", "in", "out",
        "inout", "float", "int", "void", "bool", "true", "false", "invariant", "discard", "return", "mat2",
        "mat3", "mat4", "mat2x2", "mat2x3", "mat2x4", "mat3x2", "mat3x3", "mat3x4", "mat4x2", "mat4x3",
        "mat4x4", "vec2", "vec3", "vec4", "ivec2", "ivec3", "ivec4", "bvec2", "bvec3", "bvec4", "uint",
        "uvec2", "uvec3", "uvec4", "lowp", "mediump", "highp", "precision", "sampler1D", "sampler2D",
        "sampler3D", "samplerCube", "sampler1DShadow", "sampler2DShadow", "samplerCubeShadow",
        "sampler1DArray", "sampler2DArray", "sampler1DArrayShadow", "sampler2DArrayShadow", "isampler1D",
        "isampler2D", "isampler3D", "isamplerCube", "isampler1DArray", "isampler2DArray", "usampler1D",
        "usampler2D", "usampler3D", "usamplerCube", "usampler1DArray", "usampler2DArray", "sampler2DRect",
        "sampler2DRectShadow", "isampler2DRect", "usampler2DRect", "samplerBuffer", "isamplerBuffer",
        "usamplerBuffer", "sampler2DMS", "isampler2DMS", "usampler2DMS", "sampler2DMSArray",
        "isampler2DMSArray", "usampler2DMSArray", "struct",
        // GLSL 3.30 reserved words
        "common", "partition", "active", "asm", "class", "union", "enum", "typedef", "template", "this",
        "packed", "goto", "inline", "noinline", "volatile", "public", "static", "extern", "external",
        "interface", "long", "short", "double", "half", "fixed", "unsigned", "superp", "input", "output",
        "hvec2", "hvec3", "hvec4", "dvec2", "dvec3", "dvec4", "fvec2", "fvec3", "fvec4", "sampler3DRect",
        "filter", "sizeof", "cast", "namespace", "using", "row_major", "texture",
        // ours: format keywords and what the generated prelude defines
        "shared", "technique", "pass", "glsl", "sampler", "samplerCUBE", "sampler_state", "string", "float2",
        "float3", "float4", "float4x4", "main", "mul", "tex2D", "texCUBE", "in_Position", "in_Normal",
        "in_TexCoord0", "in_TexCoord0Full", "in_Tangent", "in_Binormal", "in_Color", "in_TexCoord1"};
    return names;
}

bool IsReservedName(const std::string& name)
{
    return ReservedNames().count(name) != 0 || name.compare(0, 3, "gl_") == 0 ||
           name.compare(0, 5, "plat_") == 0 || name.find("__") != std::string::npos;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Names and tokens as messages quote them; a hostile file's megabyte-long word stays one
// readable line.
std::string Quote(const std::string& text)
{
    constexpr std::size_t kLongest = 64;
    if (text.size() > kLongest)
        return "\"" + text.substr(0, kLongest) + "...\"";
    return "\"" + text + "\"";
}

std::string Describe(const FxToken& token)
{
    switch (token.kind)
    {
    case FxToken::End:
        return "the end of the file";
    case FxToken::String:
        return "a string";
    default:
        return Quote(token.text);
    }
}

// One value of an initialiser, before it is matched with the cell it fills.
struct RawValue
{
    FxToken token; // a Number, or the identifier true or false
    bool negative = false;
};

// Names seen so far in one scope, with the line of each.
using NameLines = std::map<std::string, int>;

// A pass's reference to a GLSL block, checked once every block is known.
struct BlockReference
{
    std::string block;
    FxStage stage;
    std::string pass; // for messages
    int line;
};

class Parser
{
public:
    Parser(const std::string& text, FxEffectDesc& effect) : m_lexer(text), m_effect(effect) { Advance(); }

    void ParseFile()
    {
        while (m_tok.kind != FxToken::End)
        {
            if (m_tok.IsWord("struct"))
                ParseStruct();
            else if (m_tok.IsWord("sampler") || m_tok.IsWord("sampler2D") || m_tok.IsWord("samplerCUBE"))
                ParseSampler();
            else if (m_tok.IsWord("technique"))
                ParseTechnique();
            else if (m_tok.IsWord("glsl"))
                ParseBlock();
            else if (m_tok.IsWord("shared"))
            {
                Advance();
                ParseParameter(true);
            }
            else if (m_tok.kind == FxToken::Identifier)
                ParseParameter(false);
            else
                Fail(m_tok.line, "expected a declaration, found " + Describe(m_tok));
        }
        ResolveBlocks();
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) { throw FxSyntaxError{line, what}; }

    void Advance()
    {
        m_previousLine = m_tok.line;
        m_tok = m_lexer.Next();
    }

    void Expect(char symbol, const std::string& where)
    {
        if (!m_tok.Is(symbol))
            Fail(m_tok.line,
                 "expected \"" + std::string(1, symbol) + "\" " + where + ", found " + Describe(m_tok));
        Advance();
    }

    // A missing ';' is reported where the statement ended, not where the next one begins.
    void ExpectSemicolon(const std::string& after)
    {
        if (!m_tok.Is(';'))
            Fail(m_previousLine, "expected \";\" after " + after + ", found " + Describe(m_tok));
        Advance();
    }

    std::string ExpectName(const std::string& what)
    {
        if (m_tok.kind != FxToken::Identifier)
            Fail(m_tok.line, "expected " + what + ", found " + Describe(m_tok));
        std::string name = m_tok.text;
        Advance();
        return name;
    }

    // Parameters, samplers and struct types share one name space: they all become GLSL names.
    void DeclareGlobal(const std::string& name, int line)
    {
        if (IsReservedName(name))
            Fail(line, Quote(name) + " is a reserved name");
        const auto found = m_globals.find(name);
        if (found != m_globals.end())
            Fail(line,
                 Quote(name) + " is declared twice (first at line " + std::to_string(found->second) + ")");
        m_globals.emplace(name, line);
    }

    static void CheckUnique(NameLines& seen, const std::string& name, int line, const std::string& what)
    {
        const auto found = seen.find(name);
        if (found != seen.end())
            throw FxSyntaxError{line, what + " " + Quote(name) + " is declared twice (first at line " +
                                          std::to_string(found->second) + ")"};
        seen.emplace(name, line);
    }

    // --- types and sizes ---

    // A parameter of the named type, one element; members are copied from the struct type.
    FxParameterDesc MakeTyped(const FxToken& typeToken, int structDepthLimit)
    {
        FxParameterDesc p;
        p.typeName = typeToken.text;
        p.line = typeToken.line;
        if (const BuiltinType* builtin = FindBuiltin(typeToken.text))
        {
            p.parameterClass = builtin->parameterClass;
            p.type = builtin->type;
            p.rows = builtin->rows;
            p.columns = builtin->columns;
            p.bytes = builtin->type == FxType::Texture ? 0 : 4 * builtin->rows * builtin->columns;
            return p;
        }
        const auto found = m_structIndex.find(typeToken.text);
        if (found == m_structIndex.end())
            Fail(typeToken.line, "unknown type " + Quote(typeToken.text));
        const FxStructDesc& type = m_effect.structs[found->second];
        if (m_structDepth[type.name] > structDepthLimit)
            Fail(typeToken.line, "structs nest deeper than " + std::to_string(kFxMaxStructDepth));
        p.parameterClass = FxClass::Struct;
        p.type = FxType::Void;
        p.rows = 0;
        p.columns = 0;
        p.members = type.members;
        p.bytes = type.bytes;
        return p;
    }

    // Reads "[N]" when present and multiplies the size by N.
    void ParseArraySuffix(FxParameterDesc& p)
    {
        if (!m_tok.Is('['))
            return;
        Advance();
        const int line = m_tok.line;
        long long count = 0;
        if (m_tok.kind != FxToken::Number || !ParseWholeNumber(m_tok.text, count) || count < 1 ||
            count > kFxMaxParameterBytes)
            Fail(line, "an array length is a whole number from 1 to " + std::to_string(kFxMaxParameterBytes) +
                           ", not " + Describe(m_tok));
        Advance();
        Expect(']', "after the array length");
        if (m_tok.Is('['))
            Fail(m_tok.line, "arrays have one dimension");
        if (p.type == FxType::Texture)
            Fail(line, "textures cannot be arrays; declare one texture parameter each");
        p.elements = static_cast<int>(count);
        CheckSize(static_cast<long long>(p.bytes) * count, p.name, line);
        p.bytes = static_cast<int>(p.bytes * count);
    }

    void CheckSize(long long bytes, const std::string& name, int line)
    {
        if (bytes > kFxMaxParameterBytes)
            Fail(line, Quote(name) + " needs more than " + std::to_string(kFxMaxParameterBytes) + " bytes");
    }

    static int CountMembers(const std::vector<FxParameterDesc>& members)
    {
        int count = 0;
        for (const FxParameterDesc& member : members)
            count += 1 + CountMembers(member.members);
        return count;
    }

    // --- values ---

    static bool ParseWholeNumber(const std::string& text, long long& value)
    {
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        return result.ec == std::errc() && result.ptr == end;
    }

    void ParseValueItem(std::vector<RawValue>& out, int depth)
    {
        if (depth > 32)
            Fail(m_tok.line, "the value is nested too deep");
        if (m_tok.Is('{'))
        {
            Advance();
            ParseValueList(out, '}', depth);
            return;
        }
        if (m_tok.kind == FxToken::Identifier && m_tok.text != "true" && m_tok.text != "false")
        {
            // A constructor such as float4(0, 0, 1, 1): its count must fit its type.
            const BuiltinType* type = FindBuiltin(m_tok.text);
            if (!type || type->type == FxType::Texture)
                Fail(m_tok.line, "expected a value, found " + Describe(m_tok));
            const FxToken typeToken = m_tok;
            Advance();
            Expect('(', "after " + Quote(typeToken.text));
            const std::size_t before = out.size();
            ParseValueList(out, ')', depth);
            const std::size_t wanted = static_cast<std::size_t>(type->rows) * type->columns;
            if (out.size() - before != wanted)
                Fail(typeToken.line, Quote(typeToken.text) + " takes " + std::to_string(wanted) +
                                         " values, not " + std::to_string(out.size() - before));
            return;
        }
        RawValue value;
        if (m_tok.Is('-') || m_tok.Is('+'))
        {
            value.negative = m_tok.Is('-');
            Advance();
            if (m_tok.kind != FxToken::Number)
                Fail(m_tok.line, "expected a number after the sign, found " + Describe(m_tok));
        }
        if (m_tok.kind != FxToken::Number && m_tok.kind != FxToken::Identifier)
            Fail(m_tok.line, "expected a value, found " + Describe(m_tok));
        value.token = m_tok;
        out.push_back(value);
        Advance();
    }

    // After the opening '{' or '(': items separated by commas (a trailing one allowed) up to `close`.
    void ParseValueList(std::vector<RawValue>& out, char close, int depth)
    {
        if (m_tok.Is(close))
            Fail(m_tok.line, "empty value list");
        while (true)
        {
            ParseValueItem(out, depth + 1);
            if (m_tok.Is(','))
            {
                Advance();
                if (m_tok.Is(close))
                    break;
                continue;
            }
            if (m_tok.Is(close))
                break;
            Fail(m_tok.line, "expected \",\" or \"" + std::string(1, close) + "\" in the value, found " +
                                 Describe(m_tok));
        }
        Advance();
    }

    FxCell ToCell(const RawValue& value, FxType type)
    {
        const FxToken& token = value.token;
        if (type == FxType::Bool)
        {
            if (!value.negative && (token.text == "true" || token.text == "1"))
                return FxCell::FromInt(1);
            if (!value.negative && (token.text == "false" || token.text == "0"))
                return FxCell::FromInt(0);
            Fail(token.line, "a bool takes true or false, not " + Describe(token));
        }
        if (token.kind != FxToken::Number)
            Fail(token.line, "expected a number, found " + Describe(token));
        if (type == FxType::Int)
        {
            long long whole = 0;
            if (!ParseWholeNumber(token.text, whole))
                Fail(token.line, "an int takes a whole number, not " + Describe(token));
            if (value.negative)
                whole = -whole;
            if (whole < std::numeric_limits<std::int32_t>::min() ||
                whole > std::numeric_limits<std::int32_t>::max())
                Fail(token.line, "the number " + token.text + " is out of range for an int");
            return FxCell::FromInt(static_cast<std::int32_t>(whole));
        }
        std::string text = token.text;
        if (text.back() == 'f' || text.back() == 'F')
            text.pop_back();
        double number = 0.0;
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, number);
        if (result.ec != std::errc() || result.ptr != end || !std::isfinite(number) ||
            std::fabs(number) > std::numeric_limits<float>::max())
            Fail(token.line, "the number " + token.text + " is out of range for a float");
        return FxCell::FromFloat(static_cast<float>(value.negative ? -number : number));
    }

    // The cell types of one parameter in value order: elements, then members, matrices by rows.
    static void AppendCellTypes(const FxParameterDesc& p, std::vector<FxType>& out)
    {
        const int elements = p.elements > 0 ? p.elements : 1;
        for (int e = 0; e < elements; ++e)
        {
            if (p.parameterClass == FxClass::Struct)
                for (const FxParameterDesc& member : p.members)
                    AppendCellTypes(member, out);
            else
                out.insert(out.end(), static_cast<std::size_t>(p.rows) * p.columns, p.type);
        }
    }

    std::vector<FxCell> ParseValue(const FxParameterDesc& p, const std::string& what)
    {
        std::vector<FxType> types;
        AppendCellTypes(p, types);
        const int line = m_tok.line;
        std::vector<RawValue> values;
        ParseValueItem(values, 0);
        if (values.size() != types.size())
            Fail(line, what + " takes " + std::to_string(types.size()) +
                           (types.size() == 1 ? " value" : " values") + ", not " +
                           std::to_string(values.size()));
        std::vector<FxCell> cells;
        cells.reserve(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            cells.push_back(ToCell(values[i], types[i]));
        return cells;
    }

    // --- declarations ---

    void ParseAnnotations(std::vector<FxAnnotation>& annotations)
    {
        if (!m_tok.Is('<'))
            return;
        Advance();
        NameLines seen;
        while (!m_tok.Is('>'))
        {
            if (m_tok.kind == FxToken::End)
                Fail(m_tok.line, "expected \">\" to close the annotations, found the end of the file");
            FxAnnotation annotation;
            const FxToken typeToken = m_tok;
            const std::string typeName = ExpectName("an annotation type");
            annotation.line = typeToken.line;
            annotation.name = ExpectName("an annotation name");
            CheckUnique(seen, annotation.name, annotation.line, "annotation");
            Expect('=', "after the annotation " + Quote(annotation.name));
            if (typeName == "string")
            {
                annotation.type = FxType::String;
                annotation.columns = 1;
                if (m_tok.kind != FxToken::String)
                    Fail(m_tok.line,
                         "expected a string for " + Quote(annotation.name) + ", found " + Describe(m_tok));
                annotation.text = m_tok.text;
                Advance();
            }
            else
            {
                const BuiltinType* type = FindBuiltin(typeName);
                if (!type || type->rows != 1 || (type->type != FxType::Float && type->columns != 1))
                    Fail(typeToken.line,
                         "an annotation is bool, int, float, float2, float3, float4 or string, not " +
                             Quote(typeName));
                FxParameterDesc shape = MakeTyped(typeToken, kFxMaxStructDepth);
                annotation.type = type->type;
                annotation.columns = type->columns;
                annotation.value = ParseValue(shape, "the annotation " + Quote(annotation.name));
            }
            ExpectSemicolon("the annotation " + Quote(annotation.name));
            annotations.push_back(std::move(annotation));
        }
        Advance();
    }

    void ParseParameter(bool shared)
    {
        const FxToken typeToken = m_tok;
        if (typeToken.kind != FxToken::Identifier)
            Fail(typeToken.line, "expected a type after \"shared\", found " + Describe(typeToken));
        if (!FindBuiltin(typeToken.text) && m_structIndex.count(typeToken.text) == 0)
            Fail(typeToken.line, "unknown type or keyword " + Quote(typeToken.text));
        FxParameterDesc p = MakeTyped(typeToken, kFxMaxStructDepth);
        Advance();
        p.line = m_tok.line;
        p.name = ExpectName("a parameter name after " + Quote(typeToken.text));
        DeclareGlobal(p.name, p.line);
        p.shared = shared;
        ParseArraySuffix(p);
        if (m_tok.Is(':'))
        {
            Advance();
            p.semantic = ExpectName("a semantic after \":\"");
        }
        ParseAnnotations(p.annotations);
        if (m_tok.Is('='))
        {
            Advance();
            if (p.type == FxType::Texture)
                Fail(m_previousLine, "a texture takes no default value");
            p.value = ParseValue(p, Quote(p.name));
            p.hasDefault = true;
        }
        else
        {
            p.value.assign(static_cast<std::size_t>(p.bytes / 4), FxCell());
        }
        ExpectSemicolon("the declaration of " + Quote(p.name));

        m_totalBytes += p.bytes;
        if (m_totalBytes > kFxMaxEffectBytes)
            Fail(p.line,
                 "the parameters need more than " + std::to_string(kFxMaxEffectBytes) + " bytes in all");
        m_totalMembers += CountMembers(p.members);
        if (m_totalMembers > kFxMaxMembers)
            Fail(p.line,
                 "the parameters have more than " + std::to_string(kFxMaxMembers) + " struct members in all");
        m_effect.parameters.push_back(std::move(p));
    }

    void ParseStruct()
    {
        Advance();
        FxStructDesc type;
        type.line = m_tok.line;
        type.name = ExpectName("a struct name");
        DeclareGlobal(type.name, type.line);
        Expect('{', "to open the struct " + Quote(type.name));
        NameLines seen;
        int depth = 1;
        long long bytes = 0;
        while (!m_tok.Is('}'))
        {
            const FxToken typeToken = m_tok;
            if (typeToken.kind != FxToken::Identifier)
                Fail(typeToken.line, "expected a member type or \"}\", found " + Describe(typeToken));
            if (!FindBuiltin(typeToken.text) && m_structIndex.count(typeToken.text) == 0)
                Fail(typeToken.line, "unknown type " + Quote(typeToken.text));
            FxParameterDesc member = MakeTyped(typeToken, kFxMaxStructDepth - 1);
            if (member.type == FxType::Texture)
                Fail(typeToken.line, "a struct cannot hold a texture");
            if (member.parameterClass == FxClass::Struct)
                depth = std::max(depth, 1 + m_structDepth[typeToken.text]);
            Advance();
            member.line = m_tok.line;
            member.name = ExpectName("a member name");
            if (IsReservedName(member.name))
                Fail(member.line, Quote(member.name) + " is a reserved name");
            CheckUnique(seen, member.name, member.line, "member");
            ParseArraySuffix(member);
            if (m_tok.Is(':'))
            {
                Advance();
                member.semantic = ExpectName("a semantic after \":\"");
            }
            ExpectSemicolon("the member " + Quote(member.name));
            member.offset = static_cast<int>(bytes);
            bytes += member.bytes;
            CheckSize(bytes, type.name, member.line);
            type.members.push_back(std::move(member));
        }
        if (type.members.empty())
            Fail(m_tok.line, "the struct " + Quote(type.name) + " has no members");
        Advance();
        ExpectSemicolon("the struct " + Quote(type.name));
        type.bytes = static_cast<int>(bytes);
        if (CountMembers(type.members) > kFxMaxMembers)
            Fail(type.line, "the struct " + Quote(type.name) + " has more than " +
                                std::to_string(kFxMaxMembers) + " members in all");
        m_structDepth[type.name] = depth;
        m_structIndex[type.name] = m_effect.structs.size();
        m_effect.structs.push_back(std::move(type));
    }

    FxFilter ParseFilter(const std::string& state, const FxToken& value, bool allowNone)
    {
        const std::string word = value.kind == FxToken::Identifier ? Lower(value.text) : std::string();
        if (word == "point")
            return FxFilter::Point;
        if (word == "linear")
            return FxFilter::Linear;
        if (word == "none" && allowNone)
            return FxFilter::None;
        Fail(value.line, state + (allowNone ? " takes None, Point or Linear" : " takes Point or Linear") +
                             ", not " + Describe(value));
    }

    FxAddress ParseAddress(const std::string& state, const FxToken& value)
    {
        const std::string word = value.kind == FxToken::Identifier ? Lower(value.text) : std::string();
        if (word == "wrap")
            return FxAddress::Wrap;
        if (word == "mirror")
            return FxAddress::Mirror;
        if (word == "clamp")
            return FxAddress::Clamp;
        Fail(value.line, state + " takes Wrap, Mirror or Clamp, not " + Describe(value));
    }

    void ParseSampler()
    {
        FxSamplerDesc sampler;
        sampler.kind = m_tok.IsWord("samplerCUBE") ? FxSamplerKind::Cube : FxSamplerKind::Texture2D;
        Advance();
        sampler.line = m_tok.line;
        sampler.name = ExpectName("a sampler name");
        DeclareGlobal(sampler.name, sampler.line);
        Expect('=', "after the sampler " + Quote(sampler.name));
        if (!m_tok.IsWord("sampler_state"))
            Fail(m_tok.line, "expected \"sampler_state\", found " + Describe(m_tok));
        Advance();
        Expect('{', "to open the sampler state");
        NameLines seen;
        while (!m_tok.Is('}'))
        {
            const FxToken key = m_tok;
            const std::string state = ExpectName("a sampler state or \"}\"");
            const std::string lower = Lower(state);
            static const std::set<std::string> kSamplerStates = {
                "texture", "minfilter", "magfilter", "mipfilter", "addressu", "addressv", "addressw"};
            if (kSamplerStates.count(lower) == 0)
                Fail(key.line, "unknown sampler state " + Quote(state));
            CheckUnique(seen, lower, key.line, "sampler state");
            Expect('=', "after " + Quote(state));
            if (lower == "texture")
            {
                const bool bracketed = m_tok.Is('<');
                if (bracketed)
                    Advance();
                const FxToken nameToken = m_tok;
                sampler.texture = ExpectName("a texture parameter name");
                if (bracketed)
                    Expect('>', "after the texture name");
                const FxParameterDesc* texture = m_effect.FindParameter(sampler.texture);
                if (!texture || texture->type != FxType::Texture)
                    Fail(nameToken.line,
                         Quote(sampler.texture) + " is not a texture parameter declared above");
            }
            else
            {
                const FxToken value = m_tok;
                if (lower == "minfilter")
                    sampler.minFilter = ParseFilter(state, value, false);
                else if (lower == "magfilter")
                    sampler.magFilter = ParseFilter(state, value, false);
                else if (lower == "mipfilter")
                    sampler.mipFilter = ParseFilter(state, value, true);
                else if (lower == "addressu")
                    sampler.addressU = ParseAddress(state, value);
                else if (lower == "addressv")
                    sampler.addressV = ParseAddress(state, value);
                else
                    sampler.addressW = ParseAddress(state, value);
                Advance();
            }
            ExpectSemicolon(Quote(state));
        }
        if (sampler.texture.empty())
            Fail(sampler.line, "the sampler " + Quote(sampler.name) + " names no Texture");
        Advance();
        ExpectSemicolon("the sampler " + Quote(sampler.name));
        m_effect.samplers.push_back(std::move(sampler));
    }

    // A boolean, enumerated or block-name value of a pass state.
    struct Choice
    {
        const char* word; // lower case
        std::uint32_t value;
    };

    struct StateInfo
    {
        const char* name; // lower case
        FxRenderState state;
        const Choice* choices;
        std::size_t count;
        const char* expected;
    };

    static const StateInfo* FindState(const std::string& lower)
    {
        static const Choice kBool[] = {{"false", 0}, {"true", 1}};
        static const Choice kCull[] = {{"none", 1}, {"cw", 2}, {"ccw", 3}};
        static const Choice kFill[] = {{"point", 1}, {"wireframe", 2}, {"solid", 3}};
        static const Choice kBlend[] = {{"zero", 1},          {"one", 2},          {"srccolor", 3},
                                        {"invsrccolor", 4},   {"srcalpha", 5},     {"invsrcalpha", 6},
                                        {"destalpha", 7},     {"invdestalpha", 8}, {"destcolor", 9},
                                        {"invdestcolor", 10}, {"srcalphasat", 11}};
        static const char* kBlendNames =
            "a blend factor (Zero, One, SrcColor, InvSrcColor, SrcAlpha, InvSrcAlpha, "
            "DestAlpha, InvDestAlpha, DestColor, InvDestColor or SrcAlphaSat)";
        static const StateInfo kStates[] = {
            {"cullmode", FxRenderState::CullMode, kCull, 3, "None, CW or CCW"},
            {"zenable", FxRenderState::ZEnable, kBool, 2, "true or false"},
            {"zwriteenable", FxRenderState::ZWriteEnable, kBool, 2, "true or false"},
            {"alphablendenable", FxRenderState::AlphaBlendEnable, kBool, 2, "true or false"},
            {"srcblend", FxRenderState::SrcBlend, kBlend, 11, kBlendNames},
            {"destblend", FxRenderState::DestBlend, kBlend, 11, kBlendNames},
            {"fillmode", FxRenderState::FillMode, kFill, 3, "Point, Wireframe or Solid"},
        };
        for (const StateInfo& info : kStates)
            if (lower == info.name)
                return &info;
        return nullptr;
    }

    // "State = Value;": a render state, or the block of a stage.
    void ParseState(FxPassDesc& pass, const std::string& passName, NameLines& seen)
    {
        const FxToken key = m_tok;
        const std::string state = ExpectName("a pass state or \"}\"");
        const std::string lower = Lower(state);
        const bool isStage = lower == "vertexshader" || lower == "fragmentshader";
        const StateInfo* info = isStage ? nullptr : FindState(lower);
        if (!isStage && !info)
        {
            std::string what = "unknown pass state " + Quote(state);
            if (lower == "pixelshader")
                what += " (a pass names its fragment block with FragmentShader)";
            Fail(key.line, what);
        }
        CheckUnique(seen, lower, key.line, "the state");
        Expect('=', "after " + Quote(state));
        const FxToken value = m_tok;
        if (isStage)
        {
            ExpectName("a GLSL block name for " + Quote(state));
            const FxStage stage = lower == "vertexshader" ? FxStage::Vertex : FxStage::Fragment;
            (stage == FxStage::Vertex ? pass.vertexBlock : pass.fragmentBlock) = value.text;
            m_blockReferences.push_back({value.text, stage, passName, value.line});
        }
        else
        {
            const std::string word = Lower(value.text);
            const Choice* choice = nullptr;
            for (std::size_t i = 0; value.kind == FxToken::Identifier && i < info->count; ++i)
                if (word == info->choices[i].word)
                    choice = &info->choices[i];
            if (!choice)
                Fail(value.line, state + " takes " + info->expected + ", not " + Describe(value));
            Advance();
            pass.states.push_back({info->state, choice->value, key.line});
        }
        ExpectSemicolon(Quote(state));
    }

    void ParseTechnique()
    {
        Advance();
        FxTechniqueDesc technique;
        technique.line = m_tok.line;
        technique.name = ExpectName("a technique name");
        CheckUnique(m_techniqueNames, technique.name, technique.line, "technique");
        ParseAnnotations(technique.annotations);
        Expect('{', "to open the technique " + Quote(technique.name));
        NameLines passNames;
        while (!m_tok.Is('}'))
        {
            if (!m_tok.IsWord("pass"))
                Fail(m_tok.line, "expected \"pass\" or \"}\" in the technique " + Quote(technique.name) +
                                     ", found " + Describe(m_tok));
            FxPassDesc pass;
            pass.line = m_tok.line;
            Advance();
            if (m_tok.kind == FxToken::Identifier)
            {
                pass.name = m_tok.text;
                CheckUnique(passNames, pass.name, m_tok.line, "pass");
                Advance();
            }
            const std::string passName =
                "pass " + (pass.name.empty() ? std::to_string(technique.passes.size()) : Quote(pass.name)) +
                " of " + Quote(technique.name);
            ParseAnnotations(pass.annotations);
            Expect('{', "to open the " + passName);
            NameLines seen;
            while (!m_tok.Is('}'))
                ParseState(pass, passName, seen);
            Advance();
            if (pass.fragmentBlock.empty())
                Fail(pass.line, "the " + passName + " names no FragmentShader block");
            technique.passes.push_back(std::move(pass));
        }
        if (technique.passes.empty())
            Fail(technique.line, "the technique " + Quote(technique.name) + " has no pass");
        Advance();
        m_effect.techniques.push_back(std::move(technique));
    }

    void ParseBlock()
    {
        Advance();
        FxGlslBlock block;
        if (m_tok.IsWord("vertex"))
            block.stage = FxStage::Vertex;
        else if (m_tok.IsWord("fragment"))
            block.stage = FxStage::Fragment;
        else
            Fail(m_tok.line, "expected \"vertex\" or \"fragment\" after \"glsl\", found " + Describe(m_tok));
        Advance();
        const int nameLine = m_tok.line;
        block.name = ExpectName("a GLSL block name");
        CheckUnique(m_blockNames, block.name, nameLine, "the GLSL block");
        if (!m_tok.Is('{'))
            Fail(m_tok.line,
                 "expected \"{\" to open the GLSL block " + Quote(block.name) + ", found " + Describe(m_tok));
        // The lexer stands right after the brace: the code is read raw from there.
        block.firstLine = m_tok.line;
        block.code = m_lexer.ReadBlock(block.firstLine, "the GLSL block " + Quote(block.name));
        Advance();
        m_effect.blocks.push_back(std::move(block));
    }

    void ResolveBlocks()
    {
        for (const BlockReference& reference : m_blockReferences)
        {
            const FxGlslBlock* block = m_effect.FindBlock(reference.block);
            const char* wanted = reference.stage == FxStage::Vertex ? "vertex" : "fragment";
            if (!block)
                Fail(reference.line, "the " + reference.pass + " names the GLSL block " +
                                         Quote(reference.block) + ", which is not declared");
            if (block->stage != reference.stage)
                Fail(reference.line, "the " + reference.pass + " names " + Quote(reference.block) +
                                         " as its " + wanted + " stage, but it is a " +
                                         (block->stage == FxStage::Vertex ? "vertex" : "fragment") +
                                         " block");
        }
    }

    FxLexer m_lexer;
    FxEffectDesc& m_effect;
    FxToken m_tok;
    int m_previousLine = 1;
    std::map<std::string, int> m_globals;             // name -> line
    std::map<std::string, std::size_t> m_structIndex; // into m_effect.structs
    std::map<std::string, int> m_structDepth;         // 1 for a struct of plain members
    NameLines m_techniqueNames;
    NameLines m_blockNames;
    std::vector<BlockReference> m_blockReferences;
    long long m_totalBytes = 0;
    long long m_totalMembers = 0;
};
} // namespace

bool ParseFxText(const std::string& text, const std::string& file, FxEffectDesc& effect, std::string& error)
{
    effect = FxEffectDesc();
    effect.file = file;
    try
    {
        Parser parser(text, effect);
        parser.ParseFile();
        return true;
    }
    catch (const FxSyntaxError& failure)
    {
        effect = FxEffectDesc();
        error = file + ":" + std::to_string(failure.line) + ": " + failure.what;
        return false;
    }
}

bool ParseFxFile(const std::string& path, FxEffectDesc& effect, std::string& error)
{
    effect = FxEffectDesc();
    std::string text;
    if (!ReadDataFile(path, DataKind::Text, text, error))
    {
        if (error == path + ": cannot open the file")
            error = path + ": cannot be read";
        return false;
    }
    return ParseFxText(text, path, effect, error);
}
} // namespace plat
