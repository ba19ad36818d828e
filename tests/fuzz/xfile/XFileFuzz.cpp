// Fuzz target of the .X reader: the input is written to a file in a temporary folder and read
// the way the mesh loader reads it. Beyond not crashing, every promise the reader makes to its
// loaders is checked: one error line and no objects on failure; on success every reference
// resolved, every face of at least three indices inside its Mesh, every key with the value
// count of its type, and counts equal to what they count.
#include "platform/xfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
volatile uint64_t g_sink; // keeps the walk from being optimised away

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "xfile fuzz: broken promise: %s\n", what);
        std::abort();
    }
}

const std::string& InputPath()
{
    static const std::string path = []
    {
        char folder[] = "/tmp/xfile-fuzz-XXXXXX";
        const char* made = ::mkdtemp(folder);
        Require(made != nullptr, "a temporary folder");
        return std::string(made) + "/input.x";
    }();
    return path;
}

// Reads every accessor so the sanitizers see every value.
uint64_t Walk(const plat::XData& obj)
{
    uint64_t sum = obj.Template().size() + obj.Name().size() + obj.Guid().size();
    Require(obj.Line() > 0, "an object's line");
    for (const std::string& member : obj.MemberNames())
    {
        Require(obj.Has(member), "a listed member is there");
        sum += obj.DWord(member) + obj.String(member).size();
        for (uint32_t v : obj.DWords(member))
            sum += v;
        for (float v : obj.Floats(member))
            sum += static_cast<uint64_t>(v != 0.0f);
        sum += static_cast<uint64_t>(obj.Float(member) != 0.0f);
    }
    for (const plat::XFace& face : obj.Faces())
    {
        Require(face.indices.size() >= 3, "faces of three indices or more");
        for (uint32_t index : face.indices)
        {
            if (obj.Template() == "Mesh")
                Require(index < obj.DWord("nVertices"), "face indices inside the Mesh");
            sum += index;
        }
    }
    if (obj.Template() == "Mesh")
    {
        Require(obj.Floats("vertices").size() == 3ull * obj.DWord("nVertices"), "nVertices vertices");
        Require(obj.Faces().size() == obj.DWord("nFaces"), "nFaces faces");
    }
    if (obj.Template() == "AnimationKey")
    {
        Require(obj.Keys().size() == obj.DWord("nKeys"), "nKeys keys");
        const uint32_t type = obj.DWord("keyType");
        const size_t needed = type == 0 ? 4 : type <= 2 ? 3 : type <= 4 ? 16 : 0;
        for (const plat::XKey& key : obj.Keys())
        {
            Require(needed == 0 || key.values.size() == needed, "key values of the key's type");
            sum += key.time + key.values.size();
        }
    }
    for (const plat::XChild& child : obj.Children())
    {
        Require(child.data != nullptr, "references resolved");
        if (child.isReference)
            sum += child.data->Template().size() + child.data->Name().size();
        else
        {
            if (obj.Template() == "Mesh" && child.data->Template() == "MeshTextureCoords")
                Require(child.data->DWord("nTextureCoords") == obj.DWord("nVertices"), "one uv a vertex");
            if (obj.Template() == "Mesh" && child.data->Template() == "SkinWeights")
                for (uint32_t v : child.data->DWords("vertexIndices"))
                    Require(v < obj.DWord("nVertices"), "skin weights inside the Mesh");
            sum += Walk(*child.data);
        }
    }
    return sum;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = InputPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Require(f != nullptr, "the input file opens");
    if (size > 0)
        Require(std::fwrite(data, 1, size, f) == size, "the input is written");
    std::fclose(f);

    plat::XFile file;
    if (!file.Open(path))
    {
        Require(!file.Error().empty(), "a failure has a reason");
        Require(file.Error().find('\n') == std::string::npos, "one line");
        Require(file.Error().rfind(path, 0) == 0, "the line names the file");
        Require(file.Objects().empty(), "no objects after a failure");
        return 0;
    }
    Require(file.Error().empty(), "no error after success");
    uint64_t sum = 0;
    for (const plat::XData* obj : file.Objects())
        sum += Walk(*obj);
    g_sink = sum;
    return 0;
}
