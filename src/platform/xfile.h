// Our reader of DirectX .X files ("xof 0302txt 0032", also "0303" and 64-bit floats), in text,
// binary ("bin ") and MSZIP-compressed ("tzip", "bzip", inflating to at most 16 MB) form: all
// four read into the same tree of data objects. It skips template definitions, decodes the
// members of the templates the mesh and animation loaders use, and checks every count and index
// against the data present, so a loader only meets values it can use. An XFile owns every object
// it read; the XData pointers it hands out stay valid while it lives and is not reopened.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat
{
class XData;
namespace xdetail
{
class Builder;
}

// One face of a Mesh or MeshNormals: its indices as written, at least three. Faces of more
// than three indices are kept whole; the mesh loader fan-triangulates them.
struct XFace
{
    std::vector<uint32_t> indices;
};

// One key of an AnimationKey: the time in ticks and the values written for it. The value
// count is the key's own; it matches the key type (4 rotation, 3 scale, 3 position, 16 matrix).
struct XKey
{
    uint32_t time = 0;
    std::vector<float> values;
};

// A child of a data object in file order: a nested object, or a reference ("{ Name }") to an
// object elsewhere in the file. After a successful Open every reference has been resolved.
struct XChild
{
    const XData* data = nullptr;
    bool isReference = false;
};

// One data object. Members of the templates this reader knows are decoded and read by the
// template's own member names ("nVertices", "vertices", "transformNodeName", "matrixOffset").
// Arrays of vectors and matrices are flattened: "vertices" holds 3 floats per vertex,
// "frameMatrix" 16 floats, "faceColor" 4. WORD members read as DWORDs. Objects of other
// templates keep their children; their values are checked as numbers and strings, then dropped.
//
// Known templates: Header, Frame, FrameTransformMatrix, Mesh, MeshNormals, MeshTextureCoords,
// MeshMaterialList, MeshVertexColors, MeshFaceWraps, Material, TextureFilename,
// VertexDuplicationIndices, XSkinMeshHeader, SkinWeights, FaceAdjacency, FVFData, DeclData,
// AnimationSet, Animation, AnimationKey, AnimationOptions, AnimTicksPerSecond, the Effect*
// templates, and the small types Vector, Coords2d, ColorRGBA, ColorRGB, Matrix4x4, Boolean,
// Boolean2d, MaterialWrap, MeshFace, FloatKeys, IndexedColor and VertexElement.
class XData
{
public:
    const std::string& Template() const { return m_template; }
    const std::string& Name() const { return m_name; } // empty when unnamed
    const std::string& Guid() const { return m_guid; } // upper case without '<>', empty when none
    // Where the object starts: its line in a text file, its byte offset in a binary one (in a
    // compressed file, of the inflated form, header included). XFile::Place writes it out.
    int Line() const { return m_line; }
    bool IsDecoded() const { return m_decoded; } // its template is one this reader knows

    // Decoded members by name; an absent member gives 0, an empty list or an empty string.
    bool Has(const std::string& member) const;
    uint32_t DWord(const std::string& member) const; // the first value of a DWORD or WORD member
    const std::vector<uint32_t>& DWords(const std::string& member) const;
    float Float(const std::string& member) const; // the first value of a float member
    const std::vector<float>& Floats(const std::string& member) const;
    const std::string& String(const std::string& member) const;
    std::vector<std::string> MemberNames() const; // in template order

    // Mesh "faces", MeshNormals "faceNormals", or the one face of a MeshFace.
    const std::vector<XFace>& Faces() const { return m_faces; }
    // AnimationKey "keys".
    const std::vector<XKey>& Keys() const { return m_keys; }

    const std::vector<XChild>& Children() const { return m_children; }

private:
    friend class xdetail::Builder;

    struct Member
    {
        std::string name;
        std::vector<uint32_t> dwords;
        std::vector<float> floats;
        std::string text;
    };
    const Member* Find(const std::string& member) const;

    std::string m_template;
    std::string m_name;
    std::string m_guid;
    int m_line = 0;
    bool m_decoded = false;
    std::vector<Member> m_members;
    std::vector<XFace> m_faces;
    std::vector<XKey> m_keys;
    std::vector<XChild> m_children;
};

// A .X file read whole. On failure Error() is one line, "file:line: reason" ("file: byte N:
// reason" in a binary file; the place left out when the problem is the file as a whole), and no
// objects are kept.
class XFile
{
public:
    enum class Form
    {
        Text,      // "txt "
        Binary,    // "bin "
        TextZip,   // "tzip": MSZIP blocks holding the text form
        BinaryZip, // "bzip": MSZIP blocks holding the binary form
    };

    // Opens through the path helper (either separator, names matched ignoring case).
    bool Open(const std::string& path);
    // The same from text in memory; sourceName stands for the file in the error line.
    bool Parse(const std::string& text, const std::string& sourceName);

    // The top-level data objects in file order.
    const std::vector<const XData*>& Objects() const { return m_top; }
    int FloatSize() const { return m_floatSize; } // 32 or 64, as the header says
    Form GetForm() const { return m_form; }
    // "source:12" for line 12 of a text file, "source: byte 1234" in a binary one, "source" alone
    // for position 0: how messages about this file name a place in it.
    std::string Place(const std::string& source, int position) const;

    const std::string& Error() const { return m_error; }
    const std::string& ErrorReason() const { return m_reason; }
    int ErrorLine() const { return m_errorLine; } // line or byte offset; 0: the file as a whole

private:
    friend class xdetail::Builder;

    void Clear();
    bool Fail(const std::string& sourceName, int line, const std::string& reason);

    std::vector<std::unique_ptr<XData>> m_all; // every object, in the order they start
    std::vector<const XData*> m_top;
    int m_floatSize = 32;
    Form m_form = Form::Text;
    std::string m_error;
    std::string m_reason;
    int m_errorLine = 0;
};
} // namespace plat
