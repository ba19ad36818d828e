// Fuzz target for the effect-file parser: any bytes, read as an effect file from a temporary
// folder through the path helper the devices use. Beyond "no crash" it checks that the file
// and the text parse alike, that an error is one "<file>:<line>: <what>" line with a line that
// exists, and that an accepted effect is whole: value sizes, member offsets, blocks that the
// passes name, GLSL sources for every pass, and a shared pool that takes the effect twice.
#include "platform/fx_glsl.h"
#include "platform/fx_parser.h"
#include "platform/fx_shared.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace plat;

namespace
{
[[noreturn]] void Broken(const std::string& what)
{
    std::fprintf(stderr, "FxParserFuzz: %s\n", what.c_str());
    std::abort();
}

const std::string& TempFile()
{
    static const std::string path = []
    {
        char folder[] = "/tmp/fxfuzzXXXXXX";
        if (!mkdtemp(folder))
            Broken("no temporary folder");
        return std::string(folder) + "/Fuzz.fx";
    }();
    return path;
}

void CheckError(const std::string& error, const std::string& file, const std::string& text)
{
    const std::string prefix = file + ":";
    if (error.compare(0, prefix.size(), prefix) != 0)
        Broken("error without the file name: " + error);
    std::size_t pos = prefix.size();
    long line = 0;
    while (pos < error.size() && error[pos] >= '0' && error[pos] <= '9' && line < 100000000)
        line = line * 10 + (error[pos++] - '0');
    long lines = 1;
    for (char c : text)
        lines += c == '\n';
    if (line < 1 || line > lines)
        Broken("error at a line the file does not have: " + error);
    if (error.compare(pos, 2, ": ") != 0 || error.size() <= pos + 2)
        Broken("error without a message: " + error);
    if (error.find('\n') != std::string::npos)
        Broken("error of more than one line");
    if (error.size() > file.size() + 1000)
        Broken("error of more than a readable line: " + error.substr(0, 2000));
}

// Members sit one after another within an element; returns the bytes of one element.
int CheckMembers(const FxParameterDesc& p)
{
    int bytes = 0;
    for (const FxParameterDesc& member : p.members)
    {
        if (member.offset != bytes)
            Broken("member \"" + member.name + "\" at a wrong offset");
        bytes += member.bytes;
        CheckMembers(member);
    }
    const int elements = p.elements > 0 ? p.elements : 1;
    if (p.parameterClass == FxClass::Struct && bytes * elements != p.bytes)
        Broken("struct \"" + p.name + "\" bytes do not add up");
    return bytes;
}

void CheckEffect(const FxEffectDesc& effect)
{
    long total = 0;
    for (const FxParameterDesc& p : effect.parameters)
    {
        if (p.bytes < 0 || p.bytes > kFxMaxParameterBytes || static_cast<long>(p.value.size()) * 4 != p.bytes)
            Broken("parameter \"" + p.name + "\" has a value of the wrong size");
        CheckMembers(p);
        total += p.bytes;
    }
    if (total > kFxMaxEffectBytes)
        Broken("the parameters are larger than the limit");
    for (const FxSamplerDesc& sampler : effect.samplers)
    {
        const FxParameterDesc* texture = effect.FindParameter(sampler.texture);
        if (!texture || texture->type != FxType::Texture)
            Broken("sampler \"" + sampler.name + "\" reads no texture");
    }
    for (const FxTechniqueDesc& technique : effect.techniques)
    {
        if (technique.passes.empty())
            Broken("technique without passes");
        for (const FxPassDesc& pass : technique.passes)
        {
            const FxGlslBlock* fragment = effect.FindBlock(pass.fragmentBlock);
            if (!fragment || fragment->stage != FxStage::Fragment)
                Broken("pass without its fragment block");
            const std::string fragmentSource = BuildGlslSource(effect, pass, FxStage::Fragment, "");
            if (fragmentSource.find(fragment->code) == std::string::npos)
                Broken("fragment source without its block");
            const std::string vertexSource =
                BuildGlslSource(effect, pass, FxStage::Vertex, "void main() {}\n");
            if (pass.vertexBlock.empty() != vertexSource.empty())
                Broken("vertex source that does not match the pass");
            const FxGlslBlock* vertex = effect.FindBlock(pass.vertexBlock);
            if (!pass.vertexBlock.empty() && (!vertex || vertex->stage != FxStage::Vertex ||
                                              vertexSource.find(vertex->code) == std::string::npos))
                Broken("pass without its vertex block");
        }
    }
    FxSharedPool pool;
    std::string error;
    if (!pool.Merge(effect, error) || !pool.Merge(effect, error))
        Broken("an effect clashes with itself: " + error);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string& path = TempFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        Broken("cannot write " + path);
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        Broken("cannot write " + path);
    std::fclose(file);

    FxEffectDesc fromFile;
    std::string fileError;
    const bool fileParsed = ParseFxFile(path, fromFile, fileError);

    FxEffectDesc fromText;
    std::string textError;
    const bool textParsed = ParseFxText(text, path, fromText, textError);
    if (fileParsed != textParsed || fileError != textError)
        Broken("the file and its text parse differently");
    if (!textParsed)
    {
        CheckError(textError, path, text);
        if (!fromText.parameters.empty() || !fromText.techniques.empty() || !fromText.blocks.empty())
            Broken("a failed parse left a description behind");
        return 0;
    }
    if (fromFile.parameters.size() != fromText.parameters.size() ||
        fromFile.techniques.size() != fromText.techniques.size() ||
        fromFile.blocks.size() != fromText.blocks.size())
        Broken("the file and its text give different effects");
    CheckEffect(fromText);
    // A compiler log naming every line maps without trouble.
    MapGlslLog(
        "0:1(1): error: x\n0:1000001(1): error: y\n0:2000001(1): error: z\nERROR: 0(99999999999) : w\n",
        path);
    return 0;
}
