#include "platform/xfile.h"

#include "platform/files.h"
#include "platform/xfile_detail.h"

#include <cctype>
#include <cstdio>
#include <unordered_map>

namespace plat
{
using xdetail::Builder;
using xdetail::Failure;
using xdetail::Quote;
using xdetail::Tok;
using xdetail::Token;
using xdetail::TokenSource;
using xdetail::Value;

namespace
{
const std::vector<uint32_t> kNoDWords;
const std::vector<float> kNoFloats;
const std::string kNoString;

std::string Describe(const XData& obj)
{
    return obj.Name().empty() ? obj.Template() : obj.Template() + " " + Quote(obj.Name());
}

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// 8-4-4-4-12 hexadecimal digits, returned in upper case.
bool ParseGuid(std::string_view text, std::string& guid)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    static const int kGroups[] = {8, 4, 4, 4, 12};
    size_t pos = 0;
    guid.clear();
    for (int g = 0; g < 5; ++g)
    {
        if (g > 0)
        {
            if (pos >= text.size() || text[pos] != '-')
                return false;
            guid += '-';
            ++pos;
        }
        for (int i = 0; i < kGroups[g]; ++i, ++pos)
        {
            if (pos >= text.size() || !IsHex(text[pos]))
                return false;
            guid += static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
        }
    }
    return pos == text.size();
}

// Characters that may make up a word: anything printable but blanks and the format's own
// punctuation. Names therefore keep exporters' ':' '.' '-' and bytes past ASCII.
bool IsWordChar(unsigned char c)
{
    if (c <= 0x20 || c == 0x7F)
        return false;
    switch (c)
    {
    case '{':
    case '}':
    case '"':
    case '<':
    case '>':
    case ',':
    case ';':
    case '#':
        return false;
    default:
        return true;
    }
}

// Splits the text after the header into tokens. ',' and ';' separate values and may be
// doubled, so both are skipped like blanks; "//" and "#" start comments that end the line.
class Lexer : public TokenSource
{
public:
    Lexer(std::string_view text, size_t start) : m_text(text), m_pos(start) {}

    Token Next(Failure& failure) override
    {
        SkipBlanks();
        Token token;
        token.line = m_line;
        if (m_pos >= m_text.size())
            return token;
        const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
        if (c == '{' || c == '}')
        {
            token.type = c == '{' ? Tok::Open : Tok::Close;
            token.text = m_text.substr(m_pos++, 1);
            return token;
        }
        if (c == '"')
            return Delimited('"', Tok::String, "unterminated string", failure);
        if (c == '<')
        {
            token = Delimited('>', Tok::Guid, "unterminated GUID", failure);
            if (token.type == Tok::Guid && !ParseGuid(token.text, m_guid))
                return Fail(failure, "bad GUID " + Quote(token.text));
            return token;
        }
        if (!IsWordChar(c))
        {
            char text[64];
            if (c >= 0x20 && c < 0x7F)
                std::snprintf(text, sizeof text, "unexpected '%c'", c);
            else
                std::snprintf(text, sizeof text, "unexpected character 0x%02X", c);
            return Fail(failure, text);
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && IsWordChar(static_cast<unsigned char>(m_text[m_pos])) &&
               !StartsComment(m_pos))
            ++m_pos;
        token.type = Tok::Word;
        token.text = m_text.substr(start, m_pos - start);
        return token;
    }

    const std::string& Guid() const override { return m_guid; }

private:
    bool StartsComment(size_t pos) const
    {
        return m_text[pos] == '#' ||
               (m_text[pos] == '/' && pos + 1 < m_text.size() && m_text[pos + 1] == '/');
    }

    void SkipBlanks()
    {
        while (m_pos < m_text.size())
        {
            const char c = m_text[m_pos];
            if (c == '\n')
            {
                ++m_line;
                ++m_pos;
            }
            else if (c == ' ' || c == '\t' || c == '\r' || c == ',' || c == ';')
                ++m_pos;
            else if (StartsComment(m_pos))
            {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
            }
            else
                break;
        }
    }

    // A string or a GUID: both end on their line.
    Token Delimited(char close, Tok type, const char* unterminated, Failure& failure)
    {
        const size_t start = ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != close && m_text[m_pos] != '\n')
            ++m_pos;
        if (m_pos >= m_text.size() || m_text[m_pos] != close)
            return Fail(failure, unterminated);
        Token token;
        token.type = type;
        token.line = m_line;
        token.text = m_text.substr(start, m_pos - start);
        ++m_pos;
        return token;
    }

    Token Fail(Failure& failure, const std::string& reason)
    {
        failure.line = m_line;
        failure.reason = reason;
        Token token;
        token.type = Tok::Error;
        token.line = m_line;
        return token;
    }

    std::string_view m_text;
    size_t m_pos;
    int m_line = 1;
    std::string m_guid;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Words in a value position that start like a number must be one.
bool StartsLikeNumber(std::string_view text)
{
    const char c = text[0];
    return IsDigit(c) || c == '-' || c == '+' || c == '.';
}

// [+-] digits [. digits] or [+-] . digits, then an optional exponent.
bool IsNumber(std::string_view t)
{
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < t.size() && IsDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.')
    {
        ++i;
        while (i < t.size() && IsDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E'))
    {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        size_t exponent = 0;
        while (i < t.size() && IsDigit(t[i]))
            ++i, ++exponent;
        if (exponent == 0)
            return false;
    }
    return i == t.size();
}

// Builds the object tree, then resolves references and checks how deep and how large the
// tree grows when they are followed.
class Parser
{
public:
    Parser(XFile& file, TokenSource& source, Failure& failure)
        : m_file(file), m_lexer(source), m_failure(failure)
    {
    }

    bool Run()
    {
        for (;;)
        {
            const Token token = m_lexer.Next(m_failure);
            if (token.type == Tok::Error)
                return false;
            if (token.type == Tok::End)
                break;
            if (IsTemplateKeyword(token))
            {
                if (!SkipTemplate(token))
                    return false;
                continue;
            }
            if (!IsIdentifier(token))
                return Fail(token.line, "unexpected " + Quote(token.text) + " outside any object");
            const XData* obj = ParseObject(token, nullptr, 1);
            if (!obj)
                return false;
            Builder::Top(m_file).push_back(obj);
        }
        return Resolve() && CheckExpansion();
    }

private:
    struct PendingReference
    {
        XData* owner;
        size_t child;
        std::string name;
        std::string guid;
        int line;
    };

    bool Fail(int line, const std::string& reason)
    {
        m_failure.line = line;
        m_failure.reason = reason;
        return false;
    }

    static bool IsTemplateKeyword(const Token& token)
    {
        return token.type == Tok::Template || (token.type == Tok::Word && token.text == "template");
    }

    // A template's or an object's name: a binary name, or a text word that is no number.
    static bool IsIdentifier(const Token& token)
    {
        return token.type == Tok::Name || (token.type == Tok::Word && !StartsLikeNumber(token.text));
    }

    bool SkipTemplate(const Token& keyword)
    {
        const Token name = m_lexer.Next(m_failure);
        if (name.type == Tok::Error)
            return false;
        if (name.type != Tok::Word && name.type != Tok::Name)
            return Fail(name.line, "expected a template name after 'template'");
        Token token = m_lexer.Next(m_failure);
        if (token.type == Tok::Error)
            return false;
        if (token.type != Tok::Open)
            return Fail(token.line, "expected '{' after template " + Quote(name.text));
        int depth = 1;
        while (depth > 0)
        {
            token = m_lexer.Next(m_failure);
            if (token.type == Tok::Error)
                return false;
            if (token.type == Tok::End)
                return Fail(token.line, "unexpected end of file inside template " + Quote(name.text) +
                                            " opened on line " + std::to_string(keyword.line));
            if (token.type == Tok::Open)
                ++depth;
            else if (token.type == Tok::Close)
                --depth;
        }
        return true;
    }

    // The template name has been read; reads the optional name, the body and the children.
    XData* ParseObject(const Token& templ, const XData* parent, int depth)
    {
        if (depth > xdetail::kMaxDepth)
        {
            Fail(templ.line, "objects nested deeper than " + std::to_string(xdetail::kMaxDepth));
            return nullptr;
        }
        Token token = m_lexer.Next(m_failure);
        if (token.type == Tok::Error)
            return nullptr;
        std::string_view name;
        if (token.type == Tok::Word || token.type == Tok::Name)
        {
            name = token.text;
            token = m_lexer.Next(m_failure);
            if (token.type == Tok::Error)
                return nullptr;
        }
        if (token.type != Tok::Open)
        {
            Fail(token.line, "expected '{' after " + Quote(templ.text) +
                                 (name.empty() ? std::string() : " " + Quote(name)));
            return nullptr;
        }
        XData& obj = Builder::NewObject(m_file, std::string(templ.text), templ.line);
        Builder::SetName(obj, name);

        std::vector<Value> values;
        bool decoded = false; // once the first child is met no more values may follow
        auto decode = [&](int line)
        {
            if (decoded)
                return true;
            decoded = true;
            if (!Builder::Decode(obj, values, parent, m_failure))
            {
                if (m_failure.line == 0)
                    m_failure.line = line;
                return false;
            }
            return true;
        };

        bool first = true;
        for (;;)
        {
            token = m_lexer.Next(m_failure);
            switch (token.type)
            {
            case Tok::Error:
                return nullptr;
            case Tok::End:
                Fail(token.line, "unexpected end of file inside " + Describe(obj) + " opened on line " +
                                     std::to_string(obj.Line()));
                return nullptr;
            case Tok::Close:
                return decode(token.line) ? &obj : nullptr;
            case Tok::Guid:
                if (!first)
                {
                    Fail(token.line, "unexpected GUID in " + Describe(obj));
                    return nullptr;
                }
                Builder::SetGuid(obj, m_lexer.Guid());
                break;
            case Tok::String:
            case Tok::Word:
                if (token.type == Tok::String || StartsLikeNumber(token.text))
                {
                    if (token.type == Tok::Word && !IsNumber(token.text))
                    {
                        Fail(token.line, "bad number " + Quote(token.text) + " in " + Describe(obj));
                        return nullptr;
                    }
                    if (decoded)
                    {
                        Fail(token.line,
                             "value " + Quote(token.text) + " after a child object in " + Describe(obj));
                        return nullptr;
                    }
                    values.push_back(
                        {token.text, token.line, token.type == Tok::String ? Value::String : Value::Text});
                    break;
                }
                [[fallthrough]];
            case Tok::Name:
            case Tok::Template:
                if (IsTemplateKeyword(token))
                {
                    Fail(token.line, "template definition inside " + Describe(obj));
                    return nullptr;
                }
                if (!decode(token.line))
                    return nullptr;
                if (const XData* child = ParseObject(token, &obj, depth + 1))
                    Builder::Children(obj).push_back({child, false});
                else
                    return nullptr;
                break;
            case Tok::Numbers:
                if (decoded)
                {
                    Fail(token.line, std::string(token.text) + " after a child object in " + Describe(obj));
                    return nullptr;
                }
                m_lexer.TakeNumbers(values);
                break;
            case Tok::Open:
                if (!decode(token.line) || !ParseReference(obj, token.line))
                    return nullptr;
                break;
            case Tok::Other:
                Fail(token.line, "unexpected " + Quote(token.text) + " in " + Describe(obj));
                return nullptr;
            }
            first = false;
        }
    }

    // "{ Name }", "{ <GUID> }" or "{ Name <GUID> }"; the opening brace has been read.
    bool ParseReference(XData& owner, int line)
    {
        PendingReference ref{&owner, Builder::Children(owner).size(), {}, {}, line};
        Token token = m_lexer.Next(m_failure);
        if (token.type == Tok::Word || token.type == Tok::Name)
        {
            ref.name = std::string(token.text);
            token = m_lexer.Next(m_failure);
        }
        if (token.type == Tok::Guid)
        {
            ref.guid = m_lexer.Guid();
            token = m_lexer.Next(m_failure);
        }
        if (token.type == Tok::Error)
            return false;
        if (token.type != Tok::Close)
            return Fail(token.line, "expected '}' closing a reference in " + Describe(owner));
        if (ref.name.empty() && ref.guid.empty())
            return Fail(line, "empty reference in " + Describe(owner));
        Builder::Children(owner).push_back({nullptr, true});
        m_references.push_back(std::move(ref));
        return true;
    }

    // A reference names the first object of that name in the file, or without a name the
    // first with that GUID.
    bool Resolve()
    {
        std::unordered_map<std::string, const XData*> byName;
        std::unordered_map<std::string, const XData*> byGuid;
        for (const auto& obj : Builder::All(m_file))
        {
            if (!obj->Name().empty())
                byName.emplace(obj->Name(), obj.get());
            if (!obj->Guid().empty())
                byGuid.emplace(obj->Guid(), obj.get());
        }
        for (const PendingReference& ref : m_references)
        {
            const auto& index = ref.name.empty() ? byGuid : byName;
            const auto found = index.find(ref.name.empty() ? ref.guid : ref.name);
            if (found == index.end())
                return Fail(ref.line, "reference to unknown object " +
                                          Quote(ref.name.empty() ? "<" + ref.guid + ">" : ref.name));
            XChild& child = Builder::Children(*ref.owner)[ref.child];
            child.data = found->second;
            m_referenceLines[&child] = ref.line;
        }
        return true;
    }

    struct Expansion
    {
        int state = 0;     // 0 not seen, 1 being walked, 2 done
        int depth = 0;     // levels below and including the object
        uint64_t size = 0; // objects met when every reference is followed, capped
    };

    // Walks every top-level object following references: a reference back into an object being
    // walked is a loop, and depth and size are bounded for whoever walks the file after us.
    bool CheckExpansion()
    {
        uint64_t total = 0;
        for (const XData* top : Builder::Top(m_file))
        {
            if (!Expand(*top, 1, top->Line()))
                return false;
            total += m_expansion[top].size;
            if (total > xdetail::kMaxExpanded)
                return Fail(top->Line(), "references expand the file past " +
                                             std::to_string(xdetail::kMaxExpanded) + " objects");
        }
        return true;
    }

    bool Expand(const XData& obj, int level, int line)
    {
        Expansion& e = m_expansion[&obj];
        if (e.state == 1)
            return Fail(line, "reference to " + Describe(obj) + " loops back into itself");
        if (e.state == 0)
        {
            if (level > xdetail::kMaxDepth)
                return Fail(line, "objects nested deeper than " + std::to_string(xdetail::kMaxDepth) +
                                      " through references");
            e.state = 1;
            int depth = 0;
            uint64_t size = 1;
            for (const XChild& child : obj.Children())
            {
                const int childLine = child.isReference ? m_referenceLines[&child] : child.data->Line();
                if (!Expand(*child.data, level + 1, childLine))
                    return false;
                const Expansion& c = m_expansion[child.data];
                depth = std::max(depth, c.depth);
                size = std::min(size + c.size, xdetail::kMaxExpanded + 1);
            }
            // m_expansion may have grown: look the entry up again.
            Expansion& done = m_expansion[&obj];
            done.state = 2;
            done.depth = depth + 1;
            done.size = size;
        }
        if (level - 1 + m_expansion[&obj].depth > xdetail::kMaxDepth)
            return Fail(line, "objects nested deeper than " + std::to_string(xdetail::kMaxDepth) +
                                  " through references");
        return true;
    }

    XFile& m_file;
    TokenSource& m_lexer;
    Failure& m_failure;
    std::vector<PendingReference> m_references;
    std::unordered_map<const XChild*, int> m_referenceLines;
    std::unordered_map<const XData*, Expansion> m_expansion;
};
} // namespace

namespace xdetail
{
std::string Quote(std::string_view text)
{
    std::string out = "'";
    for (size_t i = 0; i < text.size() && i < 40; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    if (text.size() > 40)
        out += "...";
    return out + "'";
}

XData& Builder::NewObject(XFile& file, const std::string& templ, int line)
{
    file.m_all.push_back(std::make_unique<XData>());
    XData& obj = *file.m_all.back();
    obj.m_template = templ;
    obj.m_line = line;
    return obj;
}

bool Builder::Parse(XFile& file, std::string_view text, Failure& failure)
{
    // "xof " + version + format + float size, four characters each.
    if (text.empty())
    {
        failure = {0, "empty file"};
        return false;
    }
    if (text.size() < 16 || text.substr(0, 4) != "xof " || !IsDigit(text[4]) || !IsDigit(text[5]) ||
        !IsDigit(text[6]) || !IsDigit(text[7]))
    {
        failure = {1, "not a .X file (it must start with \"xof \", a version, a format and a float size)"};
        return false;
    }
    const std::string_view format = text.substr(8, 4);
    const bool zipped = format == "tzip" || format == "bzip";
    if (format != "txt " && format != "bin " && !zipped)
    {
        failure = {
            1, "unknown .X format " + Quote(format) +
                   ", only text (\"txt \"), binary (\"bin \") and compressed (\"tzip\", \"bzip\") are read"};
        return false;
    }
    const std::string_view floatSize = text.substr(12, 4);
    if (floatSize != "0032" && floatSize != "0064")
    {
        failure = {1, "float size " + Quote(floatSize) + " is neither 0032 nor 0064"};
        return false;
    }
    SetFloatSize(file, floatSize == "0064" ? 64 : 32);
    const bool binary = format == "bin " || format == "bzip";
    if (zipped)
    {
        SetForm(file, binary ? XFile::Form::BinaryZip : XFile::Form::TextZip);
        // The inflated file keeps the header, saying "txt " or "bin ": places in messages count
        // in it as in a file written uncompressed.
        std::string inflated;
        if (!InflateMsZip(text, inflated, failure))
            return false;
        return ParseStream(file, inflated, binary, failure);
    }
    SetForm(file, binary ? XFile::Form::Binary : XFile::Form::Text);
    return ParseStream(file, text, binary, failure);
}

bool Builder::ParseStream(XFile& file, std::string_view text, bool binary, Failure& failure)
{
    if (binary)
    {
        const std::unique_ptr<TokenSource> source = MakeBinarySource(text, file.m_floatSize / 8);
        return Parser(file, *source, failure).Run();
    }
    Lexer lexer(text, 16);
    return Parser(file, lexer, failure).Run();
}
} // namespace xdetail

const XData::Member* XData::Find(const std::string& member) const
{
    for (const Member& m : m_members)
        if (m.name == member)
            return &m;
    return nullptr;
}

bool XData::Has(const std::string& member) const
{
    return Find(member) != nullptr;
}

uint32_t XData::DWord(const std::string& member) const
{
    const Member* m = Find(member);
    return m && !m->dwords.empty() ? m->dwords[0] : 0;
}

const std::vector<uint32_t>& XData::DWords(const std::string& member) const
{
    const Member* m = Find(member);
    return m ? m->dwords : kNoDWords;
}

float XData::Float(const std::string& member) const
{
    const Member* m = Find(member);
    return m && !m->floats.empty() ? m->floats[0] : 0.0f;
}

const std::vector<float>& XData::Floats(const std::string& member) const
{
    const Member* m = Find(member);
    return m ? m->floats : kNoFloats;
}

const std::string& XData::String(const std::string& member) const
{
    const Member* m = Find(member);
    return m ? m->text : kNoString;
}

std::vector<std::string> XData::MemberNames() const
{
    std::vector<std::string> names;
    for (const Member& m : m_members)
        names.push_back(m.name);
    return names;
}

void XFile::Clear()
{
    m_top.clear();
    m_all.clear();
    m_floatSize = 32;
    m_form = Form::Text;
    m_error.clear();
    m_reason.clear();
    m_errorLine = 0;
}

std::string XFile::Place(const std::string& source, int position) const
{
    if (position <= 0)
        return source;
    const bool binary = m_form == Form::Binary || m_form == Form::BinaryZip;
    return source + (binary ? ": byte " : ":") + std::to_string(position);
}

bool XFile::Fail(const std::string& sourceName, int line, const std::string& reason)
{
    const Form form = m_form; // the place is written in the form the file was read as
    Clear();
    m_form = form;
    m_reason = reason;
    m_errorLine = line;
    m_error = Place(sourceName, line) + ": " + reason;
    return false;
}

bool XFile::Parse(const std::string& text, const std::string& sourceName)
{
    Clear();
    Failure failure;
    if (!Builder::Parse(*this, text, failure))
        return Fail(sourceName, failure.line, failure.reason);
    return true;
}

bool XFile::Open(const std::string& path)
{
    Clear();
    std::string text, error;
    if (!ReadDataFile(path, DataKind::Media, text, error))
        return Fail(path, 0,
                    error.compare(0, path.size() + 2, path + ": ") == 0 ? error.substr(path.size() + 2)
                                                                        : error);
    if (text.size() > xdetail::kMaxFileBytes)
        return Fail(path, 0, "file larger than " + std::to_string(xdetail::kMaxFileBytes >> 20) + " MB");
    return Parse(text, path);
}
} // namespace plat
