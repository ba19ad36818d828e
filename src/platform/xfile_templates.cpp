// The templates the .X reader knows: their members in order, and the checks that make every
// count and index safe to use. A .X file writes an object's members as one run of numbers and
// strings (in a binary file, runs of integer and float lists); the template alone says where one
// member ends and the next begins.

#include "platform/xfile_detail.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace plat::xdetail
{
namespace
{
enum class Kind
{
    DWord,
    Word,
    Float,
    String,
    Face,        // a count, then that many indices
    Key,         // a time, a count, then that many floats
    IndexedColor // a DWORD index and four floats
};

struct Field
{
    const char* name;
    Kind kind;
    int width = 1;               // values per element for the fixed-size kinds
    const char* count = nullptr; // an earlier DWORD member giving the element count; null: one
    const char* bound = nullptr; // an earlier DWORD member every value must stay below
};

struct Layout
{
    const char* name;
    std::vector<Field> fields;
};

const std::vector<Layout>& Layouts()
{
    using K = Kind;
    static const std::vector<Layout> table = {
        {"Header", {{"major", K::Word}, {"minor", K::Word}, {"flags", K::DWord}}},
        {"Vector", {{"x", K::Float}, {"y", K::Float}, {"z", K::Float}}},
        {"Coords2d", {{"u", K::Float}, {"v", K::Float}}},
        {"Matrix4x4", {{"matrix", K::Float, 16}}},
        {"ColorRGBA", {{"red", K::Float}, {"green", K::Float}, {"blue", K::Float}, {"alpha", K::Float}}},
        {"ColorRGB", {{"red", K::Float}, {"green", K::Float}, {"blue", K::Float}}},
        {"IndexedColor", {{"index", K::DWord}, {"indexColor", K::Float, 4}}},
        {"Boolean", {{"truefalse", K::DWord}}},
        {"Boolean2d", {{"u", K::DWord}, {"v", K::DWord}}},
        {"MaterialWrap", {{"u", K::DWord}, {"v", K::DWord}}},
        {"TextureFilename", {{"filename", K::String}}},
        {"Material",
         {{"faceColor", K::Float, 4},
          {"power", K::Float},
          {"specularColor", K::Float, 3},
          {"emissiveColor", K::Float, 3}}},
        {"MeshFace", {{"faces", K::Face}}},
        {"MeshFaceWraps",
         {{"nFaceWrapValues", K::DWord}, {"faceWrapValues", K::DWord, 2, "nFaceWrapValues"}}},
        {"MeshTextureCoords",
         {{"nTextureCoords", K::DWord}, {"textureCoords", K::Float, 2, "nTextureCoords"}}},
        {"MeshMaterialList",
         {{"nMaterials", K::DWord},
          {"nFaceIndexes", K::DWord},
          {"faceIndexes", K::DWord, 1, "nFaceIndexes", "nMaterials"}}},
        {"MeshNormals",
         {{"nNormals", K::DWord},
          {"normals", K::Float, 3, "nNormals"},
          {"nFaceNormals", K::DWord},
          {"faceNormals", K::Face, 1, "nFaceNormals", "nNormals"}}},
        {"MeshVertexColors",
         {{"nVertexColors", K::DWord}, {"vertexColors", K::IndexedColor, 5, "nVertexColors"}}},
        {"Mesh",
         {{"nVertices", K::DWord},
          {"vertices", K::Float, 3, "nVertices"},
          {"nFaces", K::DWord},
          {"faces", K::Face, 1, "nFaces", "nVertices"}}},
        {"Frame", {}},
        {"FrameTransformMatrix", {{"frameMatrix", K::Float, 16}}},
        {"FloatKeys", {{"nValues", K::DWord}, {"values", K::Float, 1, "nValues"}}},
        {"AnimationKey", {{"keyType", K::DWord}, {"nKeys", K::DWord}, {"keys", K::Key, 1, "nKeys"}}},
        {"AnimationOptions", {{"openclosed", K::DWord}, {"positionquality", K::DWord}}},
        {"Animation", {}},
        {"AnimationSet", {}},
        {"AnimTicksPerSecond", {{"AnimTicksPerSecond", K::DWord}}},
        {"XSkinMeshHeader",
         {{"nMaxSkinWeightsPerVertex", K::Word}, {"nMaxSkinWeightsPerFace", K::Word}, {"nBones", K::Word}}},
        {"VertexDuplicationIndices",
         {{"nIndices", K::DWord},
          {"nOriginalVertices", K::DWord},
          {"indices", K::DWord, 1, "nIndices", "nIndices"}}},
        {"SkinWeights",
         {{"transformNodeName", K::String},
          {"nWeights", K::DWord},
          {"vertexIndices", K::DWord, 1, "nWeights"},
          {"weights", K::Float, 1, "nWeights"},
          {"matrixOffset", K::Float, 16}}},
        {"FaceAdjacency", {{"nIndices", K::DWord}, {"indices", K::DWord, 1, "nIndices"}}},
        {"VertexElement",
         {{"Type", K::DWord}, {"Method", K::DWord}, {"Usage", K::DWord}, {"UsageIndex", K::DWord}}},
        {"DeclData",
         {{"nElements", K::DWord},
          {"Elements", K::DWord, 4, "nElements"},
          {"nDWords", K::DWord},
          {"data", K::DWord, 1, "nDWords"}}},
        {"FVFData", {{"dwFVF", K::DWord}, {"nDWords", K::DWord}, {"data", K::DWord, 1, "nDWords"}}},
        {"EffectInstance", {{"EffectFilename", K::String}}},
        {"EffectParamFloats",
         {{"ParamName", K::String}, {"nFloats", K::DWord}, {"Floats", K::Float, 1, "nFloats"}}},
        {"EffectParamString", {{"ParamName", K::String}, {"Value", K::String}}},
        {"EffectParamDWord", {{"ParamName", K::String}, {"Value", K::DWord}}},
        {"EffectFloats", {{"nFloats", K::DWord}, {"Floats", K::Float, 1, "nFloats"}}},
        {"EffectString", {{"Value", K::String}}},
        {"EffectDWord", {{"Value", K::DWord}}},
    };
    return table;
}

const Layout* FindLayout(const std::string& name)
{
    for (const Layout& layout : Layouts())
        if (name == layout.name)
            return &layout;
    return nullptr;
}

std::string Count(uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool ParseWhole(std::string_view text, uint32_t limit, uint32_t& out)
{
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    uint64_t value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit)
            return false;
    }
    out = static_cast<uint32_t>(value);
    return true;
}

// The parser has checked the number's shape. Values too small for a float read as zero; values
// too large for one are refused.
bool ParseFloat(std::string_view text, float& out)
{
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
    {
        const size_t e = text.find_first_of("eE");
        if (e == std::string_view::npos || e + 1 >= text.size() || text[e + 1] != '-')
            return false;
        value = text[0] == '-' ? -0.0 : 0.0;
    }
    else if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX))
        return false;
    out = static_cast<float>(value);
    return true;
}

uint64_t LittleEndian(std::string_view bytes)
{
    uint64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

uint32_t BinaryInteger(const Value& v)
{
    return static_cast<uint32_t>(LittleEndian(v.text));
}

double BinaryReal(const Value& v)
{
    const uint64_t bits = LittleEndian(v.text);
    if (v.form == Value::Float32)
    {
        const uint32_t narrow = static_cast<uint32_t>(bits);
        float value = 0.0f;
        std::memcpy(&value, &narrow, sizeof value);
        return value;
    }
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A value as a message shows it.
std::string Shown(const Value& v)
{
    char text[48];
    switch (v.form)
    {
    case Value::Integer:
        return std::to_string(BinaryInteger(v));
    case Value::Float32:
    case Value::Float64:
        std::snprintf(text, sizeof text, "%.9g", BinaryReal(v));
        return text;
    default:
        return Quote(v.text);
    }
}

// Reads one object's values member by member.
class Decoder
{
public:
    Decoder(const std::string& what, const std::vector<Value>& values, Failure& failure)
        : m_what(what), m_values(values), m_failure(failure)
    {
    }

    size_t Remaining() const { return m_values.size() - m_pos; }
    size_t Position() const { return m_pos; }
    int LineAt(size_t index) const { return m_values[index].line; }

    bool Fail(int line, const std::string& reason)
    {
        m_failure.line = line;
        m_failure.reason = m_what + ": " + reason;
        return false;
    }

    // Fails with the object's end line (left 0 for the caller) when the values ran out.
    bool Need(uint64_t count, const char* member)
    {
        if (count <= Remaining())
            return true;
        return Fail(0, "ends before its member " + std::string(member) + " is complete");
    }

    bool Whole(const char* member, uint32_t limit, uint32_t& out)
    {
        if (!Need(1, member))
            return false;
        const Value& v = m_values[m_pos];
        if (v.form == Value::String)
            return Fail(v.line, "expected a whole number for " + std::string(member) + ", found a string");
        if (v.form == Value::Float32 || v.form == Value::Float64)
            return Fail(v.line, "expected a whole number for " + std::string(member) + ", found the float " +
                                    Shown(v));
        if (v.form == Value::Integer)
        {
            out = BinaryInteger(v);
            if (out > limit)
                return Fail(v.line, "bad whole number " + Shown(v) + " for " + member);
        }
        else if (!ParseWhole(v.text, limit, out))
            return Fail(v.line, "bad whole number " + Quote(v.text) + " for " + member);
        ++m_pos;
        return true;
    }

    bool Real(const char* member, float& out)
    {
        if (!Need(1, member))
            return false;
        const Value& v = m_values[m_pos];
        if (v.form == Value::String)
            return Fail(v.line, "expected a number for " + std::string(member) + ", found a string");
        if (v.form == Value::Integer)
            out = static_cast<float>(BinaryInteger(v));
        else if (v.form == Value::Float32 || v.form == Value::Float64)
        {
            // Values too small for a float read as zero, as in a text file; NaN, infinities and
            // values too large for one are refused.
            const double value = BinaryReal(v);
            if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX))
                return Fail(v.line, "bad number " + Shown(v) + " for " + member);
            out = static_cast<float>(value);
        }
        else if (!ParseFloat(v.text, out))
            return Fail(v.line, "bad number " + Quote(v.text) + " for " + member);
        ++m_pos;
        return true;
    }

    bool Text(const char* member, std::string& out)
    {
        if (!Need(1, member))
            return false;
        const Value& v = m_values[m_pos];
        if (v.form != Value::String)
            return Fail(v.line, "expected a string for " + std::string(member) + ", found " + Shown(v));
        out = std::string(v.text);
        ++m_pos;
        return true;
    }

private:
    const std::string& m_what;
    const std::vector<Value>& m_values;
    Failure& m_failure;
    size_t m_pos = 0;
};

// Values each key type needs: rotation (w, x, y, z), scale (x, y, z), position (x, y, z), and
// the two matrix forms. Other types carry only their time, as the animation reader takes them.
int ValuesForKeyType(uint32_t keyType)
{
    switch (keyType)
    {
    case 0:
        return 4;
    case 1:
    case 2:
        return 3;
    case 3:
    case 4:
        return 16;
    default:
        return -1;
    }
}

const char* KeyTypeName(uint32_t keyType)
{
    switch (keyType)
    {
    case 0:
        return "rotation";
    case 1:
        return "scale";
    case 2:
        return "position";
    default:
        return "matrix";
    }
}
} // namespace

bool Builder::IsKnownTemplate(const std::string& name)
{
    return FindLayout(name) != nullptr;
}

bool Builder::Decode(XData& obj, const std::vector<Value>& values, const XData* parent, Failure& failure)
{
    const Layout* layout = FindLayout(obj.m_template);
    if (!layout)
        return true; // kept for its children; its values are not ours to read
    obj.m_decoded = true;
    const std::string what = obj.m_name.empty() ? obj.m_template : obj.m_template + " " + Quote(obj.m_name);
    Decoder in(what, values, failure);
    std::vector<size_t> firstValue; // per member, the index of its first value

    for (const Field& field : layout->fields)
    {
        uint64_t elements = 1;
        int countLine = 0;
        uint32_t bound = UINT32_MAX;
        const char* boundName = nullptr;
        for (size_t i = 0; i < obj.m_members.size(); ++i)
        {
            const XData::Member& m = obj.m_members[i];
            if (field.count && m.name == field.count)
            {
                elements = m.dwords[0];
                countLine = in.LineAt(firstValue[i]);
            }
            if (field.bound && m.name == field.bound)
            {
                bound = m.dwords[0];
                boundName = field.bound;
            }
        }
        // Every element takes at least this many values: checked before anything is reserved,
        // so a count far past the data fails at once.
        const uint64_t least = field.kind == Kind::Face ? 1 : field.kind == Kind::Key ? 2 : field.width;
        if (elements * least > in.Remaining())
        {
            if (countLine == 0)
                return in.Need(elements * least, field.name);
            return in.Fail(countLine, std::string(field.count) + " is " + std::to_string(elements) +
                                          " but only " + std::to_string(in.Remaining()) +
                                          " values are left for " + field.name);
        }

        if (field.kind == Kind::Face)
        {
            obj.m_faces.reserve(static_cast<size_t>(elements));
            for (uint64_t f = 0; f < elements; ++f)
            {
                const size_t at = in.Position();
                uint32_t count = 0;
                if (!in.Whole(field.name, UINT32_MAX, count))
                    return false;
                if (count > in.Remaining())
                    return in.Fail(in.LineAt(at), "face " + std::to_string(f) + " has " +
                                                      std::to_string(count) + " indices but only " +
                                                      std::to_string(in.Remaining()) + " values are left");
                if (count < 3)
                    return in.Fail(in.LineAt(at), "face " + std::to_string(f) + " has " +
                                                      std::to_string(count) + " indices, fewer than 3");
                XFace face;
                face.indices.resize(count);
                for (uint32_t& index : face.indices)
                {
                    const size_t valueAt = in.Position();
                    if (!in.Whole(field.name, UINT32_MAX, index))
                        return false;
                    if (boundName && index >= bound)
                        return in.Fail(in.LineAt(valueAt), "face " + std::to_string(f) + " names index " +
                                                               std::to_string(index) + " but " + boundName +
                                                               " is " + std::to_string(bound));
                }
                obj.m_faces.push_back(std::move(face));
            }
            continue;
        }
        if (field.kind == Kind::Key)
        {
            const uint32_t keyType = obj.DWord("keyType");
            const int needed = ValuesForKeyType(keyType);
            obj.m_keys.reserve(static_cast<size_t>(elements));
            for (uint64_t k = 0; k < elements; ++k)
            {
                XKey key;
                uint32_t count = 0;
                if (!in.Whole("time", UINT32_MAX, key.time))
                    return false;
                const size_t at = in.Position();
                if (!in.Whole("nValues", UINT32_MAX, count))
                    return false;
                if (count > in.Remaining())
                    return in.Fail(in.LineAt(at), "key " + std::to_string(k) + " has " +
                                                      std::to_string(count) + " values but only " +
                                                      std::to_string(in.Remaining()) + " are left");
                if (needed >= 0 && count != static_cast<uint32_t>(needed))
                    return in.Fail(in.LineAt(at), "key " + std::to_string(k) + " of a " +
                                                      KeyTypeName(keyType) + " key has " +
                                                      std::to_string(count) + " values, not " +
                                                      std::to_string(needed));
                key.values.resize(count);
                for (float& value : key.values)
                    if (!in.Real("keys", value))
                        return false;
                obj.m_keys.push_back(std::move(key));
            }
            continue;
        }

        const size_t total = static_cast<size_t>(elements * field.width);
        if (field.kind == Kind::IndexedColor)
        {
            XData::Member index{std::string(field.name) + ".index", {}, {}, {}};
            XData::Member colour{std::string(field.name) + ".indexColor", {}, {}, {}};
            index.dwords.resize(static_cast<size_t>(elements));
            colour.floats.resize(static_cast<size_t>(elements) * 4);
            for (uint64_t e = 0; e < elements; ++e)
            {
                if (!in.Whole(field.name, UINT32_MAX, index.dwords[e]))
                    return false;
                for (int c = 0; c < 4; ++c)
                    if (!in.Real(field.name, colour.floats[e * 4 + c]))
                        return false;
            }
            firstValue.push_back(in.Position() - total);
            obj.m_members.push_back(std::move(index));
            firstValue.push_back(in.Position() - total);
            obj.m_members.push_back(std::move(colour));
            continue;
        }

        XData::Member member{field.name, {}, {}, {}};
        firstValue.push_back(in.Position());
        if (field.kind == Kind::String)
        {
            if (!in.Text(field.name, member.text))
                return false;
        }
        else if (field.kind == Kind::Float)
        {
            member.floats.resize(total);
            for (float& value : member.floats)
                if (!in.Real(field.name, value))
                    return false;
        }
        else
        {
            member.dwords.resize(total);
            const uint32_t limit = field.kind == Kind::Word ? 0xFFFFu : UINT32_MAX;
            for (uint32_t& value : member.dwords)
            {
                const size_t at = in.Position();
                if (!in.Whole(field.name, limit, value))
                    return false;
                if (boundName && value >= bound)
                    return in.Fail(in.LineAt(at), std::string(field.name) + " names index " +
                                                      std::to_string(value) + " but " + boundName + " is " +
                                                      std::to_string(bound));
            }
        }
        obj.m_members.push_back(std::move(member));
    }
    if (in.Remaining() > 0)
        return in.Fail(in.LineAt(in.Position()),
                       Count(in.Remaining(), "value", "values") + " more than its members take");

    // Checks that need more than one member.
    auto line = [&](const char* member, size_t offset)
    {
        for (size_t i = 0; i < obj.m_members.size(); ++i)
            if (obj.m_members[i].name == member)
                return in.LineAt(firstValue[i] + offset);
        return obj.m_line;
    };
    const std::string& templ = obj.m_template;
    if (templ == "VertexDuplicationIndices")
    {
        // Each vertex names the one it duplicates, which names itself: the shadow set is built
        // from the vertices that do.
        const std::vector<uint32_t>& indices = obj.DWords("indices");
        for (size_t i = 0; i < indices.size(); ++i)
            if (indices[indices[i]] != indices[i])
                return in.Fail(line("indices", i), "vertex " + std::to_string(i) + " duplicates vertex " +
                                                       std::to_string(indices[i]) +
                                                       ", which is a duplicate itself");
    }

    // Checks against the Mesh the object is written in. A referenced object is not checked
    // here: its place is known only to the loader that follows the reference. Texture
    // coordinates and duplication indices may list fewer entries than the Mesh has vertices (or
    // more): what the loader makes of that is its own affair.
    if (!parent || parent->m_template != "Mesh" || !parent->m_decoded)
        return true;
    const uint32_t vertices = parent->DWord("nVertices");
    const std::string vertexCount = " but the Mesh has " + Count(vertices, "vertex", "vertices");
    if (templ == "MeshMaterialList" && obj.DWord("nFaceIndexes") > parent->DWord("nFaces"))
        return in.Fail(line("nFaceIndexes", 0),
                       "nFaceIndexes is " + std::to_string(obj.DWord("nFaceIndexes")) + " but the Mesh has " +
                           Count(parent->DWord("nFaces"), "face", "faces"));
    const char* indexed = templ == "SkinWeights"        ? "vertexIndices"
                          : templ == "MeshVertexColors" ? "vertexColors.index"
                                                        : nullptr;
    if (indexed)
    {
        const std::vector<uint32_t>& indices = obj.DWords(indexed);
        for (size_t i = 0; i < indices.size(); ++i)
            if (indices[i] >= vertices)
                return in.Fail(line(indexed, templ == "SkinWeights" ? i : i * 5),
                               indexed + std::string(" names vertex ") + std::to_string(indices[i]) +
                                   vertexCount);
    }
    return true;
}
} // namespace plat::xdetail
