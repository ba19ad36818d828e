// Internals of the .X reader shared by its parser (xfile.cpp) and its template decoder
// (xfile_templates.cpp). Nothing outside those two files includes this.
#pragma once

#include "platform/xfile.h"

#include <string_view>

namespace plat::xdetail
{
// One member value as written: a number's text or a string's contents.
struct Value
{
    std::string_view text;
    int line = 0;
    bool isString = false;
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

class Builder
{
public:
    // The parser (xfile.cpp): fills file from text, or returns false with failure set.
    static bool Parse(XFile& file, std::string_view text, Failure& failure);

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
};
} // namespace plat::xdetail
