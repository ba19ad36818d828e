#include "XFileForms.h"

#include "XFileWriter.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace meshgen
{
namespace
{
// Token codes of the binary form.
enum : uint16_t
{
    kName = 1,
    kString = 2,
    kInteger = 3,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kSemicolon = 20,
};

void Put16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Put64(std::string& out, uint64_t value)
{
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

// Collects a run of numbers of one kind, written as one list (a lone integer as an integer).
class Numbers
{
public:
    explicit Numbers(int floatBits) : m_floatBits(floatBits) {}

    void AddInteger(uint32_t value, std::string& out)
    {
        if (m_floats)
            Flush(out);
        m_floats = false;
        m_integers.push_back(value);
    }

    void AddFloat(double value, std::string& out)
    {
        if (!m_floats)
            Flush(out);
        m_floats = true;
        m_reals.push_back(value);
    }

    void Flush(std::string& out)
    {
        if (m_integers.size() == 1)
        {
            Put16(out, kInteger);
            Put32(out, m_integers[0]);
        }
        else if (!m_integers.empty())
        {
            Put16(out, kIntegerList);
            Put32(out, static_cast<uint32_t>(m_integers.size()));
            for (uint32_t value : m_integers)
                Put32(out, value);
        }
        if (!m_reals.empty())
        {
            Put16(out, kFloatList);
            Put32(out, static_cast<uint32_t>(m_reals.size()));
            for (double value : m_reals)
            {
                if (m_floatBits == 64)
                {
                    uint64_t bits = 0;
                    std::memcpy(&bits, &value, sizeof bits);
                    Put64(out, bits);
                }
                else
                {
                    const float narrow = static_cast<float>(value);
                    uint32_t bits = 0;
                    std::memcpy(&bits, &narrow, sizeof bits);
                    Put32(out, bits);
                }
            }
        }
        m_integers.clear();
        m_reals.clear();
    }

private:
    int m_floatBits;
    bool m_floats = false;
    std::vector<uint32_t> m_integers;
    std::vector<double> m_reals;
};

bool IsWordChar(char c)
{
    return c > ' ' && c != '{' && c != '}' && c != '"' && c != ',' && c != ';';
}

bool WriteBytes(const std::string& path, const std::string& bytes, std::string& error)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    file.close();
    if (!file)
    {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}
} // namespace

bool TextToBinary(const std::string& text, int floatBits, std::string& binary, std::string& error)
{
    if (text.compare(0, 16, "xof 0303txt 0032") != 0)
    {
        error = "not a text .X file as meshgen writes it";
        return false;
    }
    binary = "xof 0303bin " + std::string(floatBits == 64 ? "0064" : "0032");
    Numbers numbers(floatBits);
    size_t pos = 16;
    int line = 1;
    while (pos < text.size())
    {
        const char c = text[pos];
        if (c == '\n')
            ++line;
        if (c <= ' ' || c == ',' || c == ';')
        {
            ++pos;
            continue;
        }
        if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '/')
        {
            pos = text.find('\n', pos);
            if (pos == std::string::npos)
                pos = text.size();
            continue;
        }
        if (c == '{' || c == '}')
        {
            numbers.Flush(binary);
            Put16(binary, c == '{' ? kOpenBrace : kCloseBrace);
            ++pos;
            continue;
        }
        if (c == '"')
        {
            const size_t end = text.find('"', pos + 1);
            if (end == std::string::npos)
            {
                error = "line " + std::to_string(line) + ": an unterminated string";
                return false;
            }
            numbers.Flush(binary);
            Put16(binary, kString);
            Put32(binary, static_cast<uint32_t>(end - pos - 1));
            binary.append(text, pos + 1, end - pos - 1);
            // The terminating separator, padded to 32 bits.
            Put16(binary, kSemicolon);
            Put16(binary, 0);
            pos = end + 1;
            continue;
        }
        size_t end = pos;
        while (end < text.size() && IsWordChar(text[end]))
            ++end;
        const std::string word = text.substr(pos, end - pos);
        pos = end;
        if ((word[0] >= '0' && word[0] <= '9') || word[0] == '-')
        {
            char* rest = nullptr;
            if (word.find('.') != std::string::npos)
            {
                const double value = std::strtod(word.c_str(), &rest);
                if (*rest == '\0')
                {
                    numbers.AddFloat(value, binary);
                    continue;
                }
            }
            else
            {
                const unsigned long long value = std::strtoull(word.c_str(), &rest, 10);
                if (*rest == '\0' && word[0] != '-' && value <= UINT32_MAX)
                {
                    numbers.AddInteger(static_cast<uint32_t>(value), binary);
                    continue;
                }
            }
            error = "line " + std::to_string(line) + ": '" + word + "' is no number meshgen writes";
            return false;
        }
        numbers.Flush(binary);
        Put16(binary, kName);
        Put32(binary, static_cast<uint32_t>(word.size()));
        binary += word;
    }
    numbers.Flush(binary);
    return true;
}

bool Compress(const std::string& file, std::string& compressed, std::string& error)
{
    constexpr size_t kHeader = 16;
    constexpr size_t kBlock = 32768;
    const std::string format = file.substr(8, 4);
    if (file.size() < kHeader || (format != "txt " && format != "bin "))
    {
        error = "not a text or binary .X file";
        return false;
    }
    compressed = file.substr(0, kHeader);
    compressed.replace(8, 4, format == "txt " ? "tzip" : "bzip");
    Put32(compressed, static_cast<uint32_t>(file.size()));
    for (size_t start = kHeader; start < file.size(); start += kBlock)
    {
        const size_t size = std::min(kBlock, file.size() - start);
        z_stream stream{};
        if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        {
            error = "the deflater could not be started";
            return false;
        }
        const size_t history = std::min(start - kHeader, kBlock);
        if (history > 0)
            deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(file.data() + start - history),
                                 static_cast<uInt>(history));
        std::string packed(deflateBound(&stream, static_cast<uLong>(size)), '\0');
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.data() + start));
        stream.avail_in = static_cast<uInt>(size);
        stream.next_out = reinterpret_cast<Bytef*>(packed.data());
        stream.avail_out = static_cast<uInt>(packed.size());
        const int result = deflate(&stream, Z_FINISH);
        packed.resize(packed.size() - stream.avail_out);
        deflateEnd(&stream);
        if (result != Z_STREAM_END || packed.size() + 2 > 0xFFFF)
        {
            error = "a block did not deflate into one MSZIP block";
            return false;
        }
        Put16(compressed, static_cast<uint32_t>(size));
        Put16(compressed, static_cast<uint32_t>(packed.size() + 2));
        compressed += "CK";
        compressed += packed;
    }
    return true;
}

bool WriteXForms(const XModel& model, const std::string& folder, std::vector<std::string>& written,
                 std::string& error)
{
    const std::string text = WriteXText(model);
    const std::string stem = model.fileName.substr(0, model.fileName.rfind('.'));
    std::string binary;
    std::string binary64;
    std::string textZip;
    std::string binaryZip;
    if (!TextToBinary(text, 32, binary, error) || !TextToBinary(text, 64, binary64, error) ||
        !Compress(text, textZip, error) || !Compress(binary, binaryZip, error))
    {
        error = model.fileName + ": " + error;
        return false;
    }
    const std::pair<const char*, const std::string*> forms[] = {
        {"Binary", &binary}, {"Binary64", &binary64}, {"TextZip", &textZip}, {"BinaryZip", &binaryZip}};
    for (const auto& [suffix, bytes] : forms)
    {
        const std::string name = stem + suffix + ".x";
        if (!WriteBytes(folder + "/" + name, *bytes, error))
            return false;
        written.push_back(name);
    }
    return true;
}
} // namespace meshgen
