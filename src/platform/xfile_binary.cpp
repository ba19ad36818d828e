// The binary .X form and the MSZIP compression of both forms.
//
// A binary file is a stream of 16-bit little-endian token codes after its 16-byte header. Names
// and strings carry a 32-bit byte count, a string then one separator token (which some writers
// pad to 32 bits); numbers come as one 32-bit integer or as counted lists of 32-bit integers or
// of floats (32 or 64 bits as the header says); a GUID is its 16 bytes; braces, separators and
// the punctuation and type names of template definitions are bare codes. Every count is checked
// against the bytes left before anything is read or reserved.
//
// A compressed file keeps its header (format "tzip" or "bzip"), then the 32-bit size of the
// whole inflated file, header included (at most 16 MB), then blocks: a 16-bit inflated size, a
// 16-bit size of what follows, the signature "CK" and raw deflate data. Each block is inflated
// with the blocks before it as its dictionary (the last 32 KB of what they gave).
#include "platform/xfile_detail.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

namespace plat::xdetail
{
namespace
{
enum Code : uint16_t
{
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
};

// The bare codes that only template definitions use, as messages show them.
const char* Punctuation(uint16_t code)
{
    switch (code)
    {
    case 12:
        return "(";
    case 13:
        return ")";
    case 14:
        return "[";
    case 15:
        return "]";
    case 16:
        return "<";
    case 17:
        return ">";
    case 18:
        return ".";
    case 40:
        return "WORD";
    case 41:
        return "DWORD";
    case 42:
        return "FLOAT";
    case 43:
        return "DOUBLE";
    case 44:
        return "CHAR";
    case 45:
        return "UCHAR";
    case 46:
        return "SWORD";
    case 47:
        return "SDWORD";
    case 48:
        return "void";
    case 49:
        return "string";
    case 50:
        return "unicode";
    case 51:
        return "cstring";
    case 52:
        return "array";
    default:
        return nullptr;
    }
}

uint32_t Read32(std::string_view bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

uint16_t Read16(std::string_view bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

class BinarySource : public TokenSource
{
public:
    BinarySource(std::string_view file, int floatBytes) : m_file(file), m_floatBytes(floatBytes) {}

    Token Next(Failure& failure) override
    {
        // Separators carry nothing the templates need, as in a text file.
        while (Left() >= 2 && (Read16(m_file, m_pos) == kComma || Read16(m_file, m_pos) == kSemicolon))
            m_pos += 2;
        Token token;
        m_tokenAt = Offset();
        token.line = m_tokenAt;
        if (m_pos >= m_file.size())
            return token;
        if (Left() < 2)
            return Fail(failure, "a token cut short by the end of the file");
        const uint16_t code = Read16(m_file, m_pos);
        m_pos += 2;
        switch (code)
        {
        case kName:
        case kString:
        {
            const bool name = code == kName;
            std::string_view text;
            if (!Counted(name ? "name" : "string", 1, text, failure))
                return Error(failure);
            // Writers that count a C string's terminator leave it at the end.
            while (!text.empty() && text.back() == '\0')
                text.remove_suffix(1);
            if (name && text.empty())
                return Fail(failure, "an empty name");
            for (const char c : text)
            {
                const unsigned char u = static_cast<unsigned char>(c);
                if (u == '\n' || u == '\r' || (name && (u < 0x20 || u == 0x7F)))
                    return Fail(failure,
                                std::string(name ? "a name" : "a string") + " holding " +
                                    (u == '\n' || u == '\r' ? "a line break" : "a control character"));
            }
            if (!name)
                SkipStringEnd();
            token.type = name ? Tok::Name : Tok::String;
            token.text = text;
            return token;
        }
        case kInteger:
            if (Left() < 4)
                return Fail(failure, "an integer cut short by the end of the file");
            m_numbers = m_file.substr(m_pos, 4);
            m_numberForm = Value::Integer;
            m_numbersAt = Offset();
            m_pos += 4;
            token.type = Tok::Numbers;
            token.text = "an integer";
            return token;
        case kIntegerList:
        case kFloatList:
        {
            const bool floats = code == kFloatList;
            const size_t size = floats ? static_cast<size_t>(m_floatBytes) : 4;
            if (!Counted(floats ? "float list" : "integer list", size, m_numbers, failure))
                return Error(failure);
            m_numberForm = !floats ? Value::Integer : size == 8 ? Value::Float64 : Value::Float32;
            m_numbersAt = Offset() - static_cast<int>(m_numbers.size());
            token.type = Tok::Numbers;
            token.text = floats ? "a float list" : "an integer list";
            return token;
        }
        case kGuid:
            if (Left() < 16)
                return Fail(failure, "a GUID cut short by the end of the file");
            m_guid = FormatGuid(m_file.substr(m_pos, 16));
            m_pos += 16;
            token.type = Tok::Guid;
            return token;
        case kOpenBrace:
        case kCloseBrace:
            token.type = code == kOpenBrace ? Tok::Open : Tok::Close;
            token.text = code == kOpenBrace ? "{" : "}";
            return token;
        case kTemplate:
            token.type = Tok::Template;
            token.text = "template";
            return token;
        default:
            if (const char* shown = Punctuation(code))
            {
                token.type = Tok::Other;
                token.text = shown;
                return token;
            }
            char text[48];
            std::snprintf(text, sizeof text, "unknown token code %u", code);
            return Fail(failure, text);
        }
    }

    const std::string& Guid() const override { return m_guid; }

    void TakeNumbers(std::vector<Value>& out) override
    {
        const size_t size = m_numberForm == Value::Float64 ? 8 : 4;
        const size_t count = m_numbers.size() / size;
        for (size_t i = 0; i < count; ++i)
            out.push_back(
                {m_numbers.substr(i * size, size), m_numbersAt + static_cast<int>(i * size), m_numberForm});
        m_numbers = {};
    }

private:
    size_t Left() const { return m_file.size() - m_pos; }
    int Offset() const { return static_cast<int>(m_pos); }

    // A 32-bit count of elements of the given size, then the elements.
    bool Counted(const char* what, size_t size, std::string_view& out, Failure& failure)
    {
        const std::string article = std::string(what).find_first_of("aeiou") == 0 ? "an " : "a ";
        if (Left() < 4)
        {
            Fail(failure, "the count of " + article + what + " cut short by the end of the file");
            return false;
        }
        const uint64_t count = Read32(m_file, m_pos);
        if (count * size > Left() - 4)
        {
            Fail(failure, article + what + " of " + std::to_string(count) +
                              (size == 1 ? " bytes" : " values") + " but only " + std::to_string(Left() - 4) +
                              " bytes are left");
            return false;
        }
        out = m_file.substr(m_pos + 4, static_cast<size_t>(count * size));
        m_pos += 4 + out.size();
        return true;
    }

    // A string ends with a comma or a semicolon token, which some writers pad to 32 bits; no
    // token has the code 0, so a zero after the separator is that padding.
    void SkipStringEnd()
    {
        if (Left() < 2 || (Read16(m_file, m_pos) != kComma && Read16(m_file, m_pos) != kSemicolon))
            return;
        m_pos += 2;
        if (Left() >= 2 && Read16(m_file, m_pos) == 0)
            m_pos += 2;
    }

    static std::string FormatGuid(std::string_view bytes)
    {
        // Data1 (32 bits), Data2 and Data3 (16 bits each) little-endian, then 8 bytes in order.
        char text[40];
        std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", Read32(bytes, 0),
                      Read16(bytes, 4), Read16(bytes, 6), static_cast<unsigned char>(bytes[8]),
                      static_cast<unsigned char>(bytes[9]), static_cast<unsigned char>(bytes[10]),
                      static_cast<unsigned char>(bytes[11]), static_cast<unsigned char>(bytes[12]),
                      static_cast<unsigned char>(bytes[13]), static_cast<unsigned char>(bytes[14]),
                      static_cast<unsigned char>(bytes[15]));
        return text;
    }

    // At the start of the token at fault.
    Token Fail(Failure& failure, const std::string& reason)
    {
        failure.line = m_tokenAt;
        failure.reason = reason;
        return Error(failure);
    }

    Token Error(const Failure& failure) const
    {
        Token token;
        token.type = Tok::Error;
        token.line = failure.line;
        return token;
    }

    std::string_view m_file;
    size_t m_pos = 16;
    int m_tokenAt = 16;
    int m_floatBytes;
    std::string m_guid;
    std::string_view m_numbers;
    Value::Form m_numberForm = Value::Integer;
    int m_numbersAt = 0;
};

bool Refuse(Failure& failure, const std::string& reason)
{
    failure.line = 0;
    failure.reason = reason;
    return false;
}

std::string Megabytes(uint64_t bytes)
{
    return std::to_string(bytes >> 20) + " MB";
}
} // namespace

std::unique_ptr<TokenSource> MakeBinarySource(std::string_view file, int floatBytes)
{
    return std::make_unique<BinarySource>(file, floatBytes);
}

bool InflateMsZip(std::string_view file, std::string& out, Failure& failure)
{
    constexpr size_t kHeader = 16;
    constexpr size_t kDictionary = 32768;
    if (file.size() < kHeader + 4)
        return Refuse(failure, "the compressed file's inflated size is cut short by the end of the file");
    // The size counts the header; a writer that leaves it out is taken too.
    const uint64_t total = Read32(file, kHeader);
    if (total > kMaxInflatedBytes)
        return Refuse(failure, "the compressed file says it inflates to " + std::to_string(total) +
                                   " bytes, more than the " + Megabytes(kMaxInflatedBytes) +
                                   " a compressed file may hold");
    out.assign(file.substr(0, kHeader));
    out.replace(8, 4, file.substr(8, 4) == "tzip" ? "txt " : "bin ");

    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return Refuse(failure, "the inflater could not be started");
    std::string problem;
    size_t pos = kHeader + 4;
    for (int block = 1; problem.empty() && pos < file.size(); ++block)
    {
        const std::string where =
            "compressed block " + std::to_string(block) + " (at byte " + std::to_string(pos) + "): ";
        if (file.size() - pos < 4)
        {
            problem = where + "its sizes are cut short by the end of the file";
            break;
        }
        const size_t inflated = Read16(file, pos);
        const size_t packed = Read16(file, pos + 2);
        pos += 4;
        if (packed > file.size() - pos)
        {
            problem = where + std::to_string(packed) + " bytes of compressed data but only " +
                      std::to_string(file.size() - pos) + " are left";
            break;
        }
        if (packed < 2 || file[pos] != 'C' || file[pos + 1] != 'K')
        {
            problem = where + "no \"CK\" signature";
            break;
        }
        // Checked before anything is inflated: the whole stays within what the file says, and
        // so within the limit, whatever the deflate data would give.
        if (out.size() + inflated > total + kHeader)
        {
            problem = where + "inflates past the " + std::to_string(total) + " bytes the file says it holds";
            break;
        }
        const size_t start = out.size();
        const size_t history = std::min(start - kHeader, kDictionary);
        inflateReset(&stream);
        if (history > 0 &&
            inflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(out.data() + start - history),
                                 static_cast<uInt>(history)) != Z_OK)
        {
            problem = where + "its dictionary was refused";
            break;
        }
        out.resize(start + inflated);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.data() + pos + 2));
        stream.avail_in = static_cast<uInt>(packed - 2);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
        stream.avail_out = static_cast<uInt>(inflated);
        int result = inflate(&stream, Z_FINISH);
        const size_t produced = inflated - stream.avail_out;
        if (result != Z_STREAM_END && produced == inflated)
        {
            // Full, but the stream has not ended: one byte of room tells whether it would give more.
            char spare = 0;
            stream.next_out = reinterpret_cast<Bytef*>(&spare);
            stream.avail_out = 1;
            result = inflate(&stream, Z_FINISH);
            if (stream.avail_out == 0)
            {
                problem = where + "inflates to more than the " + std::to_string(inflated) + " bytes it says";
                break;
            }
        }
        if (result != Z_STREAM_END)
            problem =
                where + "damaged deflate data" + (stream.msg ? std::string(" (") + stream.msg + ")" : "");
        else if (produced != inflated)
            problem = where + "inflates to " + std::to_string(produced) + " bytes, not the " +
                      std::to_string(inflated) + " it says";
        else if (stream.avail_in != 0)
            problem = where + std::to_string(stream.avail_in) + " bytes after the end of its deflate data";
        pos += packed;
    }
    inflateEnd(&stream);
    if (!problem.empty())
        return Refuse(failure, problem);
    if (out.size() != total && out.size() != total + kHeader)
        return Refuse(failure, "the compressed file inflates to " + std::to_string(out.size()) +
                                   " bytes, not the " + std::to_string(total) + " it says");
    return true;
}
} // namespace plat::xdetail
