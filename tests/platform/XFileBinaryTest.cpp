// The .X reader's binary and compressed forms: the generator's copies read to the same tree as
// the text file they were made from, the binary token stream read token by token, and damaged or
// lying files (sizes past the data, a block that inflates past what the file says, a zip bomb)
// refused in one line that names the file and the place.
#include "platform/xfile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <limits>
#include <map>

namespace
{
class XFileBinaryTest : public ::testing::Test
{
protected:
    static bool Open(plat::XFile& file, const std::string& bytes)
    {
        std::ofstream("bad.x", std::ios::binary) << bytes;
        return file.Open("bad.x");
    }

    testsupport::TempWorkDir dir;
};

// A binary stream written token by token.
struct Bin
{
    std::string bytes;

    explicit Bin(const std::string& header = "xof 0303bin 0032") : bytes(header) {}

    Bin& U16(uint32_t v)
    {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>((v >> 8) & 0xFF);
        return *this;
    }
    Bin& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bin& Raw(const std::string& raw)
    {
        bytes += raw;
        return *this;
    }
    Bin& Name(const std::string& name) { return U16(1).U32(static_cast<uint32_t>(name.size())).Raw(name); }
    // With the separator that ends a string, as a 16-bit token or padded to 32 bits.
    Bin& String(const std::string& text, bool padded = true)
    {
        U16(2).U32(static_cast<uint32_t>(text.size())).Raw(text).U16(20);
        return padded ? U16(0) : *this;
    }
    Bin& Integer(uint32_t v) { return U16(3).U32(v); }
    Bin& Integers(const std::vector<uint32_t>& values)
    {
        U16(6).U32(static_cast<uint32_t>(values.size()));
        for (uint32_t v : values)
            U32(v);
        return *this;
    }
    Bin& Floats(const std::vector<float>& values)
    {
        U16(7).U32(static_cast<uint32_t>(values.size()));
        for (float v : values)
        {
            uint32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            U32(bits);
        }
        return *this;
    }
    Bin& Doubles(const std::vector<double>& values)
    {
        U16(7).U32(static_cast<uint32_t>(values.size()));
        for (double v : values)
        {
            uint64_t bits = 0;
            std::memcpy(&bits, &v, 8);
            U32(static_cast<uint32_t>(bits)).U32(static_cast<uint32_t>(bits >> 32));
        }
        return *this;
    }
    Bin& Guid(uint32_t a, uint16_t b, uint16_t c, const std::string& d8)
    {
        return U16(5).U32(a).U16(b).U16(c).Raw(d8);
    }
    Bin& Open() { return U16(10); }
    Bin& Close() { return U16(11); }
    Bin& Comma() { return U16(19); }
    Bin& Semicolon() { return U16(20); }
};

// Raw deflate data of the text, with the dictionary given.
std::string Deflate(const std::string& text, const std::string& dictionary = "")
{
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
    if (!dictionary.empty())
        deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                             static_cast<uInt>(dictionary.size()));
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return out;
}

// One MSZIP block: the inflated size it says, then its data after the "CK" signature.
std::string Block(uint32_t inflated, const std::string& packed)
{
    Bin b("");
    b.U16(inflated).U16(static_cast<uint32_t>(packed.size() + 2)).Raw("CK").Raw(packed);
    return b.bytes;
}

std::string Zip(const std::string& header, uint32_t total, const std::string& blocks)
{
    Bin b(header);
    b.U32(total).Raw(blocks);
    return b.bytes;
}

// Two trees are alike to the last member, face, key and reference.
void ExpectSameTree(const plat::XData& a, const plat::XData& b,
                    const std::map<const plat::XData*, size_t>& indexA,
                    const std::map<const plat::XData*, size_t>& indexB)
{
    SCOPED_TRACE(a.Template() + " " + a.Name());
    EXPECT_EQ(a.Template(), b.Template());
    EXPECT_EQ(a.Name(), b.Name());
    EXPECT_EQ(a.Guid(), b.Guid());
    EXPECT_EQ(a.IsDecoded(), b.IsDecoded());
    ASSERT_EQ(a.MemberNames(), b.MemberNames());
    for (const std::string& member : a.MemberNames())
    {
        SCOPED_TRACE(member);
        EXPECT_EQ(a.DWords(member), b.DWords(member));
        EXPECT_EQ(a.Floats(member), b.Floats(member));
        EXPECT_EQ(a.String(member), b.String(member));
    }
    ASSERT_EQ(a.Faces().size(), b.Faces().size());
    for (size_t i = 0; i < a.Faces().size(); ++i)
        EXPECT_EQ(a.Faces()[i].indices, b.Faces()[i].indices);
    ASSERT_EQ(a.Keys().size(), b.Keys().size());
    for (size_t i = 0; i < a.Keys().size(); ++i)
    {
        EXPECT_EQ(a.Keys()[i].time, b.Keys()[i].time);
        EXPECT_EQ(a.Keys()[i].values, b.Keys()[i].values);
    }
    ASSERT_EQ(a.Children().size(), b.Children().size());
    for (size_t i = 0; i < a.Children().size(); ++i)
    {
        const plat::XChild& x = a.Children()[i];
        const plat::XChild& y = b.Children()[i];
        ASSERT_EQ(x.isReference, y.isReference);
        if (x.isReference)
            EXPECT_EQ(indexA.at(x.data), indexB.at(y.data)) << "a reference to another object";
        else
            ExpectSameTree(*x.data, *y.data, indexA, indexB);
    }
}

// Every object of the file, numbered depth first in file order.
void Number(const plat::XData& obj, std::map<const plat::XData*, size_t>& index)
{
    index.emplace(&obj, index.size());
    for (const plat::XChild& child : obj.Children())
        if (!child.isReference)
            Number(*child.data, index);
}

std::map<const plat::XData*, size_t> Numbered(const plat::XFile& file)
{
    std::map<const plat::XData*, size_t> index;
    for (const plat::XData* top : file.Objects())
        Number(*top, index);
    return index;
}
} // namespace

// The generator's binary and compressed copies hold what the text file holds, float for float;
// objects of a binary stream start at increasing byte offsets.
TEST_F(XFileBinaryTest, EveryFormOfAGeneratedMeshReadsToTheSameTree)
{
    struct Form
    {
        const char* suffix;
        plat::XFile::Form form;
        int floatSize;
    };
    const Form forms[] = {{"Binary", plat::XFile::Form::Binary, 32},
                          {"Binary64", plat::XFile::Form::Binary, 64},
                          {"TextZip", plat::XFile::Form::TextZip, 32},
                          {"BinaryZip", plat::XFile::Form::BinaryZip, 32}};
    for (const char* model : {"Arm", "Box", "Sphere"})
    {
        plat::XFile text;
        ASSERT_TRUE(text.Open(testsupport::RepoPath(std::string("data/meshes/") + model + ".x")))
            << text.Error();
        ASSERT_FALSE(text.Objects().empty());
        const auto textIndex = Numbered(text);
        for (const Form& form : forms)
        {
            const std::string name = std::string(model) + form.suffix + ".x";
            SCOPED_TRACE(name);
            plat::XFile other;
            ASSERT_TRUE(other.Open(testsupport::RepoPath("tests/data/meshes/" + name))) << other.Error();
            EXPECT_EQ(other.GetForm(), form.form);
            EXPECT_EQ(other.FloatSize(), form.floatSize);
            ASSERT_EQ(other.Objects().size(), text.Objects().size());
            const auto otherIndex = Numbered(other);
            for (size_t i = 0; i < text.Objects().size(); ++i)
                ExpectSameTree(*text.Objects()[i], *other.Objects()[i], textIndex, otherIndex);
            if (form.form == plat::XFile::Form::Binary)
            {
                int last = 0;
                for (const auto& entry : otherIndex)
                    EXPECT_GE(entry.first->Line(), 16);
                for (const plat::XData* top : other.Objects())
                {
                    EXPECT_GT(top->Line(), last);
                    last = top->Line();
                }
            }
        }
    }
}

// Every token the binary form has, as writers write them.
TEST_F(XFileBinaryTest, TheBinaryTokenStreamReads)
{
    Bin b;
    // A template definition, skipped: its GUID, member types, an array and an open restriction.
    b.U16(31).Name("Mine").Open().Guid(0x6A1C0D52, 0x93F4, 0x4B7E, "\x8E\x21\x5D\x0F\x3C\x7A\x9B\x14");
    b.U16(41).Name("n").Semicolon().U16(52).U16(42).Name("v").U16(14).Name("n").U16(15).Semicolon();
    b.U16(14).U16(18).U16(18).U16(18).U16(15).Close();
    // A material with a GUID, its colours in one float list, a name counted with its terminator.
    b.Name("Material")
        .Name(std::string("Red\0", 4))
        .Open()
        .Guid(0x0F1E2D3C, 0x4B5A, 0x6978, "\x87\x96\xA5\xB4\xC3\xD2\xE1\xF0");
    b.Floats({1, 0, 0, 1, 5, 0, 0, 0}).Comma().Floats({0.5f, 0.25f, 0}).Semicolon();
    b.Name("TextureFilename").Open().String("C:\\art\\my skin.png", false).Close().Close();
    // A frame holding a mesh: a lone integer, an integer list for the faces, references.
    b.Name("Frame").Name("Holder").Open();
    b.Name("Mesh").Open().Integer(3).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Integers({1, 3, 0, 1, 2});
    b.Name("MeshMaterialList").Open().Integers({1, 1, 0}).Open().Name("Red").Close().Close();
    b.Name("SkinWeights").Open().String("Holder").Integer(1).Integer(2).Floats({0.5f});
    b.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Close();
    b.Close();
    b.Open().Guid(0x0F1E2D3C, 0x4B5A, 0x6978, "\x87\x96\xA5\xB4\xC3\xD2\xE1\xF0").Close();
    b.Close();
    plat::XFile file;
    ASSERT_TRUE(Open(file, b.bytes)) << file.Error();
    EXPECT_EQ(file.GetForm(), plat::XFile::Form::Binary);
    ASSERT_EQ(file.Objects().size(), 2u);
    const plat::XData& red = *file.Objects()[0];
    EXPECT_EQ(red.Name(), "Red");
    EXPECT_EQ(red.Guid(), "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    EXPECT_EQ(red.Floats("faceColor"), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(red.Float("power"), 5.0f);
    EXPECT_EQ(red.Floats("emissiveColor"), (std::vector<float>{0.5f, 0.25f, 0}));
    ASSERT_EQ(red.Children().size(), 1u);
    EXPECT_EQ(red.Children()[0].data->String("filename"), "C:\\art\\my skin.png");

    const plat::XData& holder = *file.Objects()[1];
    ASSERT_EQ(holder.Children().size(), 2u);
    const plat::XData& mesh = *holder.Children()[0].data;
    EXPECT_EQ(mesh.DWord("nVertices"), 3u);
    EXPECT_EQ(mesh.Floats("vertices"), (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}));
    ASSERT_EQ(mesh.Faces().size(), 1u);
    EXPECT_EQ(mesh.Faces()[0].indices, (std::vector<uint32_t>{0, 1, 2}));
    const plat::XData& list = *mesh.Children()[0].data;
    EXPECT_EQ(list.DWords("faceIndexes"), (std::vector<uint32_t>{0}));
    EXPECT_TRUE(list.Children()[0].isReference);
    EXPECT_EQ(list.Children()[0].data, &red);
    const plat::XData& skin = *mesh.Children()[1].data;
    EXPECT_EQ(skin.String("transformNodeName"), "Holder");
    EXPECT_EQ(skin.DWords("vertexIndices"), (std::vector<uint32_t>{2}));
    EXPECT_TRUE(holder.Children()[1].isReference);
    EXPECT_EQ(holder.Children()[1].data, &red) << "by GUID";

    // 64-bit floats, and integers where floats are wanted.
    Bin wide("xof 0302bin 0064");
    wide.Name("Vector").Open().Doubles({0.1, -1e-300}).Integer(7).Close();
    ASSERT_TRUE(Open(file, wide.bytes)) << file.Error();
    EXPECT_EQ(file.FloatSize(), 64);
    EXPECT_EQ(file.Objects()[0]->Floats("x"), (std::vector<float>{0.1f}));
    EXPECT_EQ(file.Objects()[0]->Float("y"), -0.0f);
    EXPECT_EQ(file.Objects()[0]->Float("z"), 7.0f);

    // A header alone.
    ASSERT_TRUE(Open(file, "xof 0303bin 0032")) << file.Error();
    EXPECT_TRUE(file.Objects().empty());
}

// A damaged binary stream: one line naming the file and the byte where the trouble starts.
TEST_F(XFileBinaryTest, DamagedBinaryStreamsGiveOneLine)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        int at; // byte offset, 0 for the file as a whole
        const char* reason;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"a name past the end", Bin().U16(1).U32(100).Raw("Frame").bytes, 16,
         "a name of 100 bytes but only 5 bytes are left"},
        {"a count past the end", Bin().U16(1).U16(5).bytes, 16, "the count of a name cut short"},
        {"a huge integer list", Bin().Name("Mesh").Open().U16(6).U32(0xFFFFFFFFu).U32(3).bytes, 28,
         "an integer list of 4294967295 values but only 4 bytes are left"},
        {"a float list past the end", Bin().Name("Vector").Open().U16(7).U32(3).U32(0).bytes, 30,
         "a float list of 3 values but only 4 bytes are left"},
        {"a string past the end", Bin().Name("TextureFilename").Open().U16(2).U32(9).Raw("a.png").bytes, 39,
         "a string of 9 bytes but only 5 bytes are left"},
        {"a token cut short", Bin().Name("Frame").Raw("\x0A").bytes, 27, "a token cut short"},
        {"a GUID cut short", Bin().Name("Frame").Open().U16(5).U32(1).bytes, 29, "a GUID cut short"},
        {"an unknown token", Bin().Name("Frame").Open().U16(99).Close().bytes, 29, "unknown token code 99"},
        {"an empty name", Bin().Name("Frame").Name("").bytes, 27, "an empty name"},
        {"a name holding a line break", Bin().Name("Frame").Name("A\nB").bytes, 27,
         "a name holding a line break"},
        {"a name holding a control character", Bin().Name(std::string("A\x01", 2)).bytes, 16,
         "a name holding a control character"},
        {"a string holding a line break",
         Bin().Name("TextureFilename").Open().String("a\r.png").Close().bytes, 39,
         "a string holding a line break"},
        {"template punctuation in an object", Bin().Name("Frame").Name("A").Open().U16(14).Close().bytes, 36,
         "unexpected '[' in Frame 'A'"},
        {"numbers outside any object", Bin().Integer(3).bytes, 16,
         "unexpected 'an integer' outside any object"},
        {"numbers after a child",
         Bin().Name("Frame").Name("A").Open().Name("Frame").Open().Close().Integer(1).Close().bytes, 51,
         "an integer after a child object in Frame 'A'"},
        {"a float for a count", Bin().Name("Mesh").Open().Floats({3.0f}).Close().bytes, 34,
         "Mesh: expected a whole number for nVertices, found the float 3"},
        {"a NaN", Bin().Name("Vector").Open().Floats({0.0f, nan, 0.0f}).Close().bytes, 40,
         "Vector: bad number nan for y"},
        {"a float past the float range",
         Bin("xof 0303bin 0064").Name("Vector").Open().Doubles({1e39, 0, 0}).Close().bytes, 36,
         "Vector: bad number 1e+39 for x"},
        {"a WORD past 16 bits", Bin().Name("XSkinMeshHeader").Open().Integers({4, 65536, 2}).Close().bytes,
         49, "XSkinMeshHeader: bad whole number 65536 for nMaxSkinWeightsPerFace"},
        {"a string for a number", Bin().Name("Header").Open().String("1").Integers({0, 0}).Close().bytes, 30,
         "Header: expected a whole number for major, found a string"},
        {"a count past the data",
         Bin().Name("Mesh").Name("M").Open().Integer(8).Floats({0, 0, 0}).Close().bytes, 37,
         "Mesh 'M': nVertices is 8 but only 3 values are left for vertices"},
        {"a face index past the vertices",
         Bin()
             .Name("Mesh")
             .Open()
             .Integer(3)
             .Floats({0, 0, 0, 1, 0, 0, 0, 1, 0})
             .Integers({1, 3, 0, 1, 3})
             .Close()
             .bytes,
         98, "Mesh: face 0 names index 3 but nVertices is 3"},
        {"an unknown reference",
         Bin().Name("Frame").Name("A").Open().Open().Name("Nobody").Close().Close().bytes, 36,
         "reference to unknown object 'Nobody'"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        plat::XFile file;
        EXPECT_FALSE(Open(file, c.bytes));
        EXPECT_TRUE(file.Objects().empty());
        EXPECT_EQ(file.ErrorLine(), c.at);
        const std::string prefix = c.at > 0 ? "bad.x: byte " + std::to_string(c.at) + ": " : "bad.x: ";
        EXPECT_EQ(file.Error(), prefix + file.ErrorReason());
        EXPECT_EQ(file.ErrorReason().rfind(c.reason, 0), 0u) << file.ErrorReason();
        EXPECT_EQ(file.Error().find('\n'), std::string::npos);
    }

    // The damaged binary file kept for the mesh loader's tests.
    plat::XFile file;
    const std::string path = testsupport::RepoPath("tests/data/meshes/Binary.x");
    EXPECT_FALSE(file.Open(path));
    EXPECT_EQ(file.Error().rfind(path + ": byte 16: a name of ", 0), 0u) << file.Error();
}

// Compressed files: the blocks' dictionary runs on from block to block; sizes that lie about
// the data, deflate data that gives other than its block says, and a file that says it holds
// more than a file may are refused before anything is inflated past the sizes given.
TEST_F(XFileBinaryTest, CompressedFiles)
{
    const std::string header = "xof 0303tzip0032";
    // Two blocks: the second repeats the first, which only its dictionary makes short.
    const std::string one = "Frame A { Frame B { } }\n";
    const std::string two = "Frame C { }\nFrame A2 { Frame B2 { } }\n";
    const std::string blocks = Block(static_cast<uint32_t>(one.size()), Deflate(one)) +
                               Block(static_cast<uint32_t>(two.size()), Deflate(two, one));
    const uint32_t total = static_cast<uint32_t>(16 + one.size() + two.size());
    plat::XFile file;
    ASSERT_TRUE(Open(file, Zip(header, total, blocks))) << file.Error();
    EXPECT_EQ(file.GetForm(), plat::XFile::Form::TextZip);
    ASSERT_EQ(file.Objects().size(), 3u);
    EXPECT_EQ(file.Objects()[2]->Name(), "A2");
    EXPECT_EQ(file.Objects()[1]->Line(), 2) << "lines count in the inflated text";
    // A writer that leaves the header out of the size is taken too.
    EXPECT_TRUE(Open(file, Zip(header, total - 16, blocks))) << file.Error();

    struct Case
    {
        const char* what;
        std::string bytes;
        std::string reason;
    };
    const std::string frame = "Frame A { }\n";
    const std::string packed = Deflate(frame);
    const uint32_t size = static_cast<uint32_t>(frame.size());
    const std::string bomb = Deflate(std::string(65535, ' '));
    std::string bombs;
    for (int i = 0; i < 4; ++i)
        bombs += Block(65535, bomb);
    const Case cases[] = {
        {"no inflated size", header + "\x01", "the compressed file's inflated size is cut short"},
        {"a file past the limit", Zip(header, 0x7FFFFFFF, Block(size, packed)),
         "the compressed file says it inflates to 2147483647 bytes, more than the 16 MB a compressed file "
         "may hold"},
        {"a file just past the limit", Zip(header, (16u << 20) + 1, bombs),
         "the compressed file says it inflates to 16777217 bytes"},
        {"block sizes cut short", Zip(header, 16 + size, "\x0C"),
         "compressed block 1 (at byte 20): its sizes are cut short"},
        {"a block past the end", Zip(header, 16 + size, Block(size, packed).substr(0, 10)),
         "compressed block 1 (at byte 20): " + std::to_string(packed.size() + 2) +
             " bytes of compressed data but only 6 are left"},
        {"no signature",
         Zip(header, 16 + size,
             Bin("").U16(size).U16(static_cast<uint32_t>(packed.size() + 2)).Raw("XX").Raw(packed).bytes),
         "compressed block 1 (at byte 20): no \"CK\" signature"},
        {"a zip bomb: blocks past the size the file says", Zip(header, 16 + 100000, bombs),
         "compressed block 2 (at byte "},
        {"a block that gives more than it says", Zip(header, 16 + size, Block(size - 1, packed)),
         "compressed block 1 (at byte 20): inflates to more than the 11 bytes it says"},
        {"a block that gives less than it says", Zip(header, 17 + size, Block(size + 1, packed)),
         "compressed block 1 (at byte 20): inflates to 12 bytes, not the 13 it says"},
        {"damaged deflate data", Zip(header, 16 + size, Block(size, "\xFF\xFF\xFF\xFF")),
         "compressed block 1 (at byte 20): damaged deflate data"},
        {"bytes after the deflate data", Zip(header, 16 + size, Block(size, packed + "junk")),
         "compressed block 1 (at byte 20): 4 bytes after the end of its deflate data"},
        {"a file shorter than it says", Zip(header, 100 + size, Block(size, packed)),
         "the compressed file inflates to 28 bytes, not the 112 it says"},
        {"a damaged stream inside",
         Zip("xof 0303bzip0032", 16 + 3, Block(3, Deflate(std::string("\x01\x00\x09", 3)))), "a name"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(Open(file, c.bytes));
        EXPECT_TRUE(file.Objects().empty());
        EXPECT_EQ(file.Error().rfind("bad.x: ", 0), 0u) << file.Error();
        EXPECT_NE(file.ErrorReason().find(c.reason), std::string::npos) << file.ErrorReason();
        EXPECT_EQ(file.Error().find('\n'), std::string::npos);
    }
}
