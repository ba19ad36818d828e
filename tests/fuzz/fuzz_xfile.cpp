// The .X reader on any file (text, binary or compressed: the seeds hold all four forms), read
// the way the mesh loader reads it. Beyond not crashing, every promise the reader makes to its
// loaders is checked: one error line naming the file and no objects on failure; on success every
// reference resolved, every face of at least three indices inside its Mesh, every key with the
// value count of its type, and counts equal to what they count.
// Bounded run: 5000 inputs
#include "FuzzSupport.h"

#include "platform/xfile.h"

#include <cstdint>
#include <string>

namespace
{
volatile std::uint64_t g_sink; // keeps the walk from being optimised away

// Reads every accessor so the sanitizers see every value.
std::uint64_t Walk(const plat::XData& obj)
{
    std::uint64_t sum = obj.Template().size() + obj.Name().size() + obj.Guid().size();
    FUZZ_CHECK(obj.Line() > 0, "an object's line");
    for (const std::string& member : obj.MemberNames())
    {
        FUZZ_CHECK(obj.Has(member), "a listed member is there");
        sum += obj.DWord(member) + obj.String(member).size();
        for (std::uint32_t v : obj.DWords(member))
            sum += v;
        for (float v : obj.Floats(member))
            sum += static_cast<std::uint64_t>(v != 0.0f);
        sum += static_cast<std::uint64_t>(obj.Float(member) != 0.0f);
    }
    for (const plat::XFace& face : obj.Faces())
    {
        FUZZ_CHECK(face.indices.size() >= 3, "faces of three indices or more");
        for (std::uint32_t index : face.indices)
        {
            if (obj.Template() == "Mesh")
                FUZZ_CHECK(index < obj.DWord("nVertices"), "face indices inside the Mesh");
            sum += index;
        }
    }
    if (obj.Template() == "Mesh")
    {
        FUZZ_CHECK(obj.Floats("vertices").size() == 3ull * obj.DWord("nVertices"), "nVertices vertices");
        FUZZ_CHECK(obj.Faces().size() == obj.DWord("nFaces"), "nFaces faces");
    }
    if (obj.Template() == "AnimationKey")
    {
        FUZZ_CHECK(obj.Keys().size() == obj.DWord("nKeys"), "nKeys keys");
        const std::uint32_t type = obj.DWord("keyType");
        const std::size_t needed = type == 0 ? 4 : type <= 2 ? 3 : type <= 4 ? 16 : 0;
        for (const plat::XKey& key : obj.Keys())
        {
            FUZZ_CHECK(needed == 0 || key.values.size() == needed, "key values of the key's type");
            sum += key.time + key.values.size();
        }
    }
    for (const plat::XChild& child : obj.Children())
    {
        FUZZ_CHECK(child.data != nullptr, "references resolved");
        if (child.isReference)
            sum += child.data->Template().size() + child.data->Name().size();
        else
        {
            if (child.data->Template() == "MeshTextureCoords")
                FUZZ_CHECK(child.data->Floats("textureCoords").size() ==
                               2ull * child.data->DWord("nTextureCoords"),
                           "nTextureCoords coordinates");
            if (obj.Template() == "Mesh" && child.data->Template() == "SkinWeights")
                for (std::uint32_t v : child.data->DWords("vertexIndices"))
                    FUZZ_CHECK(v < obj.DWord("nVertices"), "skin weights inside the Mesh");
            sum += Walk(*child.data);
        }
    }
    return sum;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    const std::string path = "Input.x";
    fuzzsupport::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));

    plat::XFile file;
    if (!file.Open(path))
    {
        FUZZ_CHECK(fuzzsupport::IsOneLine(file.Error()), "the refusal is not one line: " + file.Error());
        FUZZ_CHECK(file.Error().rfind(path, 0) == 0, "the refusal does not name the file: " + file.Error());
        FUZZ_CHECK(file.Objects().empty(), "objects after a refusal");
        return 0;
    }
    FUZZ_CHECK(file.Error().empty(), "an error after success: " + file.Error());
    std::uint64_t sum = 0;
    for (const plat::XData* obj : file.Objects())
        sum += Walk(*obj);
    g_sink = sum;
    return 0;
}
