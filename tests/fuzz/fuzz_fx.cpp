// The effect-file parser on any bytes, read as an effect file through the path helper the
// devices use. Beyond "no crash" it checks that the file and the text parse alike, that an error
// is one "<file>:<line>: <what>" line with a line that exists, and that an accepted effect is
// whole: value sizes, member offsets, blocks that the passes name, GLSL sources for every pass,
// and a shared pool that takes the effect twice.
// Bounded run: 5000 inputs
#include "FuzzSupport.h"

#include "platform/fx_glsl.h"
#include "platform/fx_parser.h"
#include "platform/fx_shared.h"

#include <cstdint>
#include <string>

using namespace plat;

namespace
{
void CheckError(const std::string& error, const std::string& file, const std::string& text)
{
    const std::string prefix = file + ":";
    if (error.compare(0, prefix.size(), prefix) != 0)
        fuzzsupport::Fail("error without the file name: " + error);
    std::size_t pos = prefix.size();
    long line = 0;
    while (pos < error.size() && error[pos] >= '0' && error[pos] <= '9' && line < 100000000)
        line = line * 10 + (error[pos++] - '0');
    long lines = 1;
    for (char c : text)
        lines += c == '\n';
    if (line < 1 || line > lines)
        fuzzsupport::Fail("error at a line the file does not have: " + error);
    if (error.compare(pos, 2, ": ") != 0 || error.size() <= pos + 2)
        fuzzsupport::Fail("error without a message: " + error);
    if (error.find('\n') != std::string::npos)
        fuzzsupport::Fail("error of more than one line");
    if (error.size() > file.size() + 1000)
        fuzzsupport::Fail("error of more than a readable line: " + error.substr(0, 2000));
}

// Members sit one after another within an element; returns the bytes of one element.
int CheckMembers(const FxParameterDesc& p)
{
    int bytes = 0;
    for (const FxParameterDesc& member : p.members)
    {
        if (member.offset != bytes)
            fuzzsupport::Fail("member \"" + member.name + "\" at a wrong offset");
        bytes += member.bytes;
        CheckMembers(member);
    }
    const int elements = p.elements > 0 ? p.elements : 1;
    if (p.parameterClass == FxClass::Struct && bytes * elements != p.bytes)
        fuzzsupport::Fail("struct \"" + p.name + "\" bytes do not add up");
    return bytes;
}

void CheckEffect(const FxEffectDesc& effect)
{
    long total = 0;
    for (const FxParameterDesc& p : effect.parameters)
    {
        if (p.bytes < 0 || p.bytes > kFxMaxParameterBytes || static_cast<long>(p.value.size()) * 4 != p.bytes)
            fuzzsupport::Fail("parameter \"" + p.name + "\" has a value of the wrong size");
        CheckMembers(p);
        total += p.bytes;
    }
    if (total > kFxMaxEffectBytes)
        fuzzsupport::Fail("the parameters are larger than the limit");
    for (const FxSamplerDesc& sampler : effect.samplers)
    {
        const FxParameterDesc* texture = effect.FindParameter(sampler.texture);
        if (!texture || texture->type != FxType::Texture)
            fuzzsupport::Fail("sampler \"" + sampler.name + "\" reads no texture");
    }
    for (const FxTechniqueDesc& technique : effect.techniques)
    {
        if (technique.passes.empty())
            fuzzsupport::Fail("technique without passes");
        for (const FxPassDesc& pass : technique.passes)
        {
            const FxGlslBlock* fragment = effect.FindBlock(pass.fragmentBlock);
            if (!fragment || fragment->stage != FxStage::Fragment)
                fuzzsupport::Fail("pass without its fragment block");
            const std::string fragmentSource = BuildGlslSource(effect, pass, FxStage::Fragment, "");
            if (fragmentSource.find(fragment->code) == std::string::npos)
                fuzzsupport::Fail("fragment source without its block");
            const std::string vertexSource =
                BuildGlslSource(effect, pass, FxStage::Vertex, "void main() {}\n");
            if (pass.vertexBlock.empty() != vertexSource.empty())
                fuzzsupport::Fail("vertex source that does not match the pass");
            const FxGlslBlock* vertex = effect.FindBlock(pass.vertexBlock);
            if (!pass.vertexBlock.empty() && (!vertex || vertex->stage != FxStage::Vertex ||
                                              vertexSource.find(vertex->code) == std::string::npos))
                fuzzsupport::Fail("pass without its vertex block");
        }
    }
    FxSharedPool pool;
    std::string error;
    if (!pool.Merge(effect, error) || !pool.Merge(effect, error))
        fuzzsupport::Fail("an effect clashes with itself: " + error);
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
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = "Fuzz.fx";
    fuzzsupport::WriteFile(path, text);

    FxEffectDesc fromFile;
    std::string fileError;
    const bool fileParsed = ParseFxFile(path, fromFile, fileError);

    FxEffectDesc fromText;
    std::string textError;
    const bool textParsed = ParseFxText(text, path, fromText, textError);
    if (fileParsed != textParsed || fileError != textError)
        fuzzsupport::Fail("the file and its text parse differently: \"" + fileError + "\" and \"" +
                          textError + "\"");
    if (!textParsed)
    {
        CheckError(textError, path, text);
        if (!fromText.parameters.empty() || !fromText.techniques.empty() || !fromText.blocks.empty())
            fuzzsupport::Fail("a failed parse left a description behind");
        return 0;
    }
    if (fromFile.parameters.size() != fromText.parameters.size() ||
        fromFile.techniques.size() != fromText.techniques.size() ||
        fromFile.blocks.size() != fromText.blocks.size())
        fuzzsupport::Fail("the file and its text give different effects");
    CheckEffect(fromText);
    // A compiler log naming every line maps without trouble.
    MapGlslLog(
        "0:1(1): error: x\n0:1000001(1): error: y\n0:2000001(1): error: z\nERROR: 0(99999999999) : w\n",
        path);
    return 0;
}
