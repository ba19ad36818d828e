// Internals of the .X reader shared by its parser (xfile.cpp), its binary token reader and
// MSZIP inflater (xfile_binary.cpp) and its template decoder (xfile_templates.cpp). Nothing
// outside those files includes this.
#pragma once

#include "platform/xfile.h"

#include <string_view>

namespace plat::xdetail
{
// One member value as written. A text file gives a number's text or a string's contents; a
// binary file gives strings the same way and numbers as their raw little-endian bytes, so a
// value costs the same in either form.
struct Value
{
    enum Form : uint8_t
    {
        Text,    // a number's characters
        String,  // a string's contents
        Integer, // 4 bytes, unsigned
        Float32, // 4 bytes
        Float64  // 8 bytes
    };
    std::string_view text;
    int line = 0; // a text file's line, or a binary one's byte offset
    Form form = Text;
};

// Where and why a file is malformed.
struct Failure
{
    int line = 0;
    std::string reason;
};

// Deepest nesting of objects, counted through references too. Real skeletons stay far below;
// the limit keeps every recursive walk over a file, ours and the loaders', off the stack's end.
constexpr int kMaxDepth = 256;
// Most objects a walk that follows every reference may meet, so a file cannot make its
// loader expand a few objects into billions.
constexpr uint64_t kMaxExpanded = 1000000;
// Largest file read; the game's meshes are a few hundred kilobytes.
constexpr uint64_t kMaxFileBytes = 64u << 20;
// Largest that a compressed file may inflate to. A few kilobytes of deflate data can say that
// much, so it stays well below what a file on disk may hold: 16 MB of binary tokens are more
// values than any mesh the loader takes (65,536 vertices) can use.
constexpr uint64_t kMaxInflatedBytes = 16u << 20;

// What the parser meets, from a text file or a binary one.
enum class Tok
{
    Word,     // text: a name, a template name or a number
    Name,     // binary: a name or a template name, never a value
    String,   // contents without the quotes
    Guid,     // the canonical form is the source's Guid()
    Numbers,  // binary: an integer or a list of integers or floats; the source's TakeNumbers()
    Template, // binary: the keyword "template" (text files spell it as a Word)
    Open,
    Close,
    Other, // binary: punctuation and type names, which only template definitions hold
    End,
    Error
};

struct Token
{
    Tok type = Tok::End;
    std::string_view text; // for Numbers and Other a description for messages
    int line = 0;          // a text file's line, or a binary one's byte offset
};

class TokenSource
{
public:
    virtual ~TokenSource() = default;
    // The next token; an Error token has set the failure.
    virtual Token Next(Failure& failure) = 0;
    // The canonical form (upper case, 8-4-4-4-12) of the last GUID token.
    virtual const std::string& Guid() const = 0;
    // Appends the values of the last Numbers token.
    virtual void TakeNumbers(std::vector<Value>&) {}
};

// The binary token stream after the 16-byte header; floatBytes is 4 or 8 as the header says.
std::unique_ptr<TokenSource> MakeBinarySource(std::string_view file, int floatBytes);

// The file after inflating a compressed one ("tzip" or "bzip"): its header, saying "txt " or
// "bin " instead, and the inflated stream. False with failure set (line 0) on a damaged file.
bool InflateMsZip(std::string_view file, std::string& out, Failure& failure);

// Shows a piece of the file in a message: at most 40 characters, anything unprintable as '?'.
std::string Quote(std::string_view text);

class Builder
{
public:
    // The parser (xfile.cpp): fills file from the whole file, or returns false with failure set.
    static bool Parse(XFile& file, std::string_view text, Failure& failure);
    // The same after the header has been read: the text or binary stream of a whole file.
    static bool ParseStream(XFile& file, std::string_view text, bool binary, Failure& failure);

    // The decoder (xfile_templates.cpp).
    static bool IsKnownTemplate(const std::string& name);
    // Decodes obj's values by its template and checks counts and indices against them and
    // against parent (the object it is written in, null at the top). Marks obj decoded.
    static bool Decode(XData& obj, const std::vector<Value>& values, const XData* parent, Failure& failure);

    // Field access for both.
    static XData& NewObject(XFile& file, const std::string& templ, int line);
    static void SetName(XData& obj, std::string_view name) { obj.m_name = std::string(name); }
    static void SetGuid(XData& obj, std::string guid) { obj.m_guid = std::move(guid); }
    static std::vector<XChild>& Children(XData& obj) { return obj.m_children; }
    static std::vector<const XData*>& Top(XFile& file) { return file.m_top; }
    static std::vector<std::unique_ptr<XData>>& All(XFile& file) { return file.m_all; }
    static void SetFloatSize(XFile& file, int bits) { file.m_floatSize = bits; }
    static void SetForm(XFile& file, XFile::Form form) { file.m_form = form; }
};
} // namespace plat::xdetail
