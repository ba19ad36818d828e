// What an effect file (.fx, our own text format: docs/fx-format.md) declares, as the parser
// reads it: parameters with their types, defaults, semantics and annotations; samplers;
// techniques with passes, render states and the GLSL blocks they name. Both devices build
// their effects from this description; nothing here touches a device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat
{
enum class FxClass
{
    Scalar,
    Vector,
    Matrix, // row-major, as the device keeps matrices
    Object, // textures
    Struct,
};

enum class FxType
{
    Void, // structs
    Bool,
    Int,
    Float,
    String, // annotations only
    Texture,
};

// One 4-byte cell of a value, as the devices keep parameter values: floats as IEEE singles,
// ints and bools as 32-bit integers (bools 0 or 1). A parameter's value is bytes / 4 cells.
struct FxCell
{
    std::uint32_t bits = 0;

    static FxCell FromFloat(float value);
    static FxCell FromInt(std::int32_t value);
    float AsFloat() const;
    std::int32_t AsInt() const;
};

// An annotation "<type name = value;>" on a parameter, technique or pass.
struct FxAnnotation
{
    std::string name;
    FxType type = FxType::Int; // Bool, Int, Float or String
    int columns = 1;           // 2 to 4 for float2 to float4
    std::vector<FxCell> value; // `columns` cells; empty for strings
    std::string text;          // strings
    int line = 0;
};

const FxAnnotation* FindFxAnnotation(const std::vector<FxAnnotation>& annotations, const std::string& name);

// A parameter, or a member of a struct (which then has no annotations, default or shared flag:
// the value lives in the top-level parameter, at the member's offset within each element).
struct FxParameterDesc
{
    std::string name;
    std::string semantic; // as written; empty when none
    std::string typeName; // "float4", "texture", or the struct's name
    FxClass parameterClass = FxClass::Scalar;
    FxType type = FxType::Float;
    int rows = 1;     // of one element: 1 for scalars and vectors, 4 for float4x4, 0 for others
    int columns = 1;  // of one element: 1 to 4 for numbers, 0 for textures and structs
    int elements = 0; // array length; 0 when not an array
    std::vector<FxParameterDesc> members; // struct members, in declaration order, of one element
    int bytes = 0;                        // all elements; 4 per cell, textures 0
    int offset = 0;                       // members: bytes from the start of their element
    bool shared = false;
    std::vector<FxAnnotation> annotations;
    std::vector<FxCell> value; // top level: bytes / 4 cells, the default or zeros
    bool hasDefault = false;
    int line = 0;

    const FxParameterDesc* FindMember(const std::string& memberName) const;
    const FxAnnotation* FindAnnotation(const std::string& annotationName) const
    {
        return FindFxAnnotation(annotations, annotationName);
    }
};

// A struct type as declared; parameters of the type copy its members.
struct FxStructDesc
{
    std::string name;
    std::vector<FxParameterDesc> members;
    int bytes = 0;
    int line = 0;
};

enum class FxSamplerKind
{
    Texture2D, // sampler, sampler2D
    Cube,      // samplerCUBE
};

enum class FxFilter
{
    None, // MipFilter only: no mipmapping
    Point,
    Linear,
};

enum class FxAddress
{
    Wrap,
    Mirror,
    Clamp,
};

// A sampler: which texture parameter it reads and how. Samplers take texture units in
// declaration order (the first is unit 0).
struct FxSamplerDesc
{
    std::string name;
    FxSamplerKind kind = FxSamplerKind::Texture2D;
    std::string texture; // the texture parameter's name
    FxFilter minFilter = FxFilter::Point;
    FxFilter magFilter = FxFilter::Point;
    FxFilter mipFilter = FxFilter::None;
    FxAddress addressU = FxAddress::Wrap;
    FxAddress addressV = FxAddress::Wrap;
    FxAddress addressW = FxAddress::Wrap;
    int line = 0;
};

// The render states a pass may set, numbered as the device's render states, so that a pass
// applies each with SetRenderState(state, value). The values are the device's too:
// booleans 0 or 1; CullMode 1 none, 2 clockwise, 3 counter-clockwise; FillMode 1 point,
// 2 wireframe, 3 solid; blend factors 1 Zero, 2 One, 3 SrcColor, 4 InvSrcColor, 5 SrcAlpha,
// 6 InvSrcAlpha, 7 DestAlpha, 8 InvDestAlpha, 9 DestColor, 10 InvDestColor, 11 SrcAlphaSat.
enum class FxRenderState : std::uint32_t
{
    ZEnable = 7,
    FillMode = 8,
    ZWriteEnable = 14,
    SrcBlend = 19,
    DestBlend = 20,
    CullMode = 22,
    AlphaBlendEnable = 27,
};

struct FxStateAssignment
{
    FxRenderState state = FxRenderState::ZEnable;
    std::uint32_t value = 0;
    int line = 0;
};

struct FxPassDesc
{
    std::string name; // may be empty
    std::vector<FxAnnotation> annotations;
    std::string vertexBlock;               // empty: the device's pass-through for pre-transformed vertices
    std::string fragmentBlock;             // always set
    std::vector<FxStateAssignment> states; // in the order written; each state at most once
    int line = 0;

    const FxStateAssignment* FindState(FxRenderState state) const;
};

struct FxTechniqueDesc
{
    std::string name;
    std::vector<FxAnnotation> annotations;
    std::vector<FxPassDesc> passes; // at least one
    int line = 0;

    const FxAnnotation* FindAnnotation(const std::string& annotationName) const
    {
        return FindFxAnnotation(annotations, annotationName);
    }
};

enum class FxStage
{
    Vertex,
    Fragment,
};

// A named block of GLSL 330 code. `code` is everything between the braces; it starts on
// `firstLine` of the file (the line of the opening brace), so compiler lines map back.
struct FxGlslBlock
{
    std::string name;
    FxStage stage = FxStage::Vertex;
    std::string code;
    int firstLine = 0;
};

struct FxEffectDesc
{
    std::string file;                        // the name errors and generated code give, usually the path
    std::vector<FxParameterDesc> parameters; // top level, in declaration order
    std::vector<FxStructDesc> structs;       // in declaration order
    std::vector<FxSamplerDesc> samplers;     // in declaration order = texture units
    std::vector<FxTechniqueDesc> techniques; // in declaration order
    std::vector<FxGlslBlock> blocks;         // in declaration order

    const FxParameterDesc* FindParameter(const std::string& name) const;
    const FxStructDesc* FindStruct(const std::string& name) const;
    const FxSamplerDesc* FindSampler(const std::string& name) const;
    const FxTechniqueDesc* FindTechnique(const std::string& name) const;
    const FxGlslBlock* FindBlock(const std::string& name) const;
};

// "float4", "Wave[2]": how messages name a parameter's type.
std::string DescribeFxType(const FxParameterDesc& parameter);
} // namespace plat
