// Effect files: any bytes as an effect file, through the parser and then through
// D3DXCreateEffectFromFileW on the headless device. Beyond "no crash": the file and its text
// parse alike; a refusal is one "<file>:<line>: <what>" line at a line the file has, and the
// effect loader refuses with the same line; an accepted description is whole (value sizes,
// member offsets, the blocks its passes name, GLSL sources for every pass, a pool that takes
// it twice); the effect made from it describes every parameter, element and member as the file
// declares them, keeps what is written into its numbers, shares its shared values through the
// pool, and draws every pass of every technique with Begin/End putting the states back.
// Bounded run: 5000 inputs
#include "FuzzSupport.h"

#include "platform/d3dx9.h"
#include "platform/frame_driver.h"
#include "platform/fx_glsl.h"
#include "platform/fx_parser.h"
#include "platform/fx_shared.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace plat;

namespace
{
const char* const kFile = "Fuzz.fx";
IDirect3DDevice9* g_device = nullptr;

void CheckError(const std::string& error, const std::string& text)
{
    const std::string prefix = std::string(kFile) + ":";
    FUZZ_CHECK(error.compare(0, prefix.size(), prefix) == 0, "error without the file name: " + error);
    std::size_t pos = prefix.size();
    long line = 0;
    while (pos < error.size() && error[pos] >= '0' && error[pos] <= '9' && line < 100000000)
        line = line * 10 + (error[pos++] - '0');
    long lines = 1;
    for (char c : text)
        lines += c == '\n';
    FUZZ_CHECK(line >= 1 && line <= lines, "error at a line the file does not have: " + error);
    FUZZ_CHECK(error.compare(pos, 2, ": ") == 0 && error.size() > pos + 2,
               "error without a message: " + error);
    FUZZ_CHECK(fuzzsupport::IsOneLine(error), "error of more than one line");
    FUZZ_CHECK(error.size() <= prefix.size() + 1000, "error of more than a readable line");
}

// Members sit one after another within an element; returns the bytes of one element.
int CheckMembers(const FxParameterDesc& p)
{
    int bytes = 0;
    for (const FxParameterDesc& member : p.members)
    {
        FUZZ_CHECK(member.offset == bytes, "member \"" + member.name + "\" at a wrong offset");
        bytes += member.bytes;
        CheckMembers(member);
    }
    const int elements = p.elements > 0 ? p.elements : 1;
    FUZZ_CHECK(p.parameterClass != FxClass::Struct || bytes * elements == p.bytes,
               "struct \"" + p.name + "\" bytes do not add up");
    return bytes;
}

void CheckDescription(const FxEffectDesc& effect)
{
    long total = 0;
    for (const FxParameterDesc& p : effect.parameters)
    {
        FUZZ_CHECK(p.bytes >= 0 && p.bytes <= kFxMaxParameterBytes &&
                       static_cast<long>(p.value.size()) * 4 == p.bytes,
                   "parameter \"" + p.name + "\" has a value of the wrong size");
        CheckMembers(p);
        total += p.bytes;
    }
    FUZZ_CHECK(total <= kFxMaxEffectBytes, "the parameters are larger than the limit");
    for (const FxSamplerDesc& sampler : effect.samplers)
    {
        const FxParameterDesc* texture = effect.FindParameter(sampler.texture);
        FUZZ_CHECK(texture && texture->type == FxType::Texture,
                   "sampler \"" + sampler.name + "\" reads no texture");
    }
    for (const FxTechniqueDesc& technique : effect.techniques)
    {
        FUZZ_CHECK(!technique.passes.empty(), "technique without passes");
        for (const FxPassDesc& pass : technique.passes)
        {
            const FxGlslBlock* fragment = effect.FindBlock(pass.fragmentBlock);
            FUZZ_CHECK(fragment && fragment->stage == FxStage::Fragment, "pass without its fragment block");
            const std::string fragmentSource = BuildGlslSource(effect, pass, FxStage::Fragment, "");
            FUZZ_CHECK(fragmentSource.find(fragment->code) != std::string::npos,
                       "fragment source without its block");
            const std::string vertexSource =
                BuildGlslSource(effect, pass, FxStage::Vertex, "void main() {}\n");
            FUZZ_CHECK(pass.vertexBlock.empty() == vertexSource.empty(),
                       "vertex source that does not match the pass");
            const FxGlslBlock* vertex = effect.FindBlock(pass.vertexBlock);
            FUZZ_CHECK(pass.vertexBlock.empty() || (vertex && vertex->stage == FxStage::Vertex &&
                                                    vertexSource.find(vertex->code) != std::string::npos),
                       "pass without its vertex block");
        }
    }
    FxSharedPool pool;
    std::string error;
    FUZZ_CHECK(pool.Merge(effect, error) && pool.Merge(effect, error),
               "an effect clashes with itself: " + error);
}

// One parameter, element or member of the effect against its declaration: its description, its
// children, and a number written into it and read back.
void CheckParameter(ID3DXEffect* effect, D3DXHANDLE handle, const FxParameterDesc& declared, bool element,
                    int depth, int& budget)
{
    if (--budget < 0)
        return;
    D3DXPARAMETER_DESC d;
    FUZZ_CHECK(SUCCEEDED(effect->GetParameterDesc(handle, &d)), "a handle without a description");
    FUZZ_CHECK(d.Name && declared.name == d.Name, "a parameter under another name");
    const int elements = declared.elements > 0 ? declared.elements : 1;
    const UINT bytes =
        element ? static_cast<UINT>(declared.bytes / elements) : static_cast<UINT>(declared.bytes);
    FUZZ_CHECK(d.Bytes == bytes, "parameter \"" + declared.name + "\" of another size");
    FUZZ_CHECK(d.Elements == (element ? 0u : static_cast<UINT>(declared.elements)),
               "parameter \"" + declared.name + "\" with other elements");
    if (declared.type == FxType::Float && d.Bytes > 0)
    {
        std::vector<float> values(d.Bytes / 4, 0.25f);
        FUZZ_CHECK(SUCCEEDED(effect->SetFloatArray(handle, values.data(), static_cast<UINT>(values.size()))),
                   "numbers that cannot be written");
        values.assign(values.size(), 0.0f);
        FUZZ_CHECK(SUCCEEDED(effect->GetFloatArray(handle, values.data(), static_cast<UINT>(values.size()))),
                   "numbers that cannot be read");
        for (float v : values)
            FUZZ_CHECK(v == 0.25f, "parameter \"" + declared.name + "\" does not keep its numbers");
    }
    if (depth > kFxMaxStructDepth + 2)
        return;
    if (!element && declared.elements > 0)
    {
        for (int e = 0; e < declared.elements && budget > 0; ++e)
        {
            D3DXHANDLE child = effect->GetParameterElement(handle, static_cast<UINT>(e));
            FUZZ_CHECK(child != nullptr, "an element without a handle");
            CheckParameter(effect, child, declared, true, depth + 1, budget);
        }
        FUZZ_CHECK(effect->GetParameterElement(handle, static_cast<UINT>(declared.elements)) == nullptr,
                   "an element past the end");
    }
    else if (declared.parameterClass == FxClass::Struct)
    {
        for (const FxParameterDesc& member : declared.members)
        {
            D3DXHANDLE child = effect->GetParameterByName(handle, member.name.c_str());
            FUZZ_CHECK(child != nullptr, "member \"" + member.name + "\" without a handle");
            CheckParameter(effect, child, member, false, depth + 1, budget);
        }
    }
}

void CheckEffect(ID3DXEffect* effect, ID3DXEffect* twin, const FxEffectDesc& declared)
{
    D3DXEFFECT_DESC desc;
    FUZZ_CHECK(SUCCEEDED(effect->GetDesc(&desc)), "no description");
    FUZZ_CHECK(desc.Parameters == declared.parameters.size() && desc.Techniques == declared.techniques.size(),
               "an effect that does not count what the file declares");
    int budget = 4000;
    for (UINT i = 0; i < desc.Parameters; ++i)
    {
        const FxParameterDesc& p = declared.parameters[i];
        D3DXHANDLE handle = effect->GetParameter(nullptr, i);
        FUZZ_CHECK(handle && handle == effect->GetParameterByName(nullptr, p.name.c_str()),
                   "handles that differ");
        for (std::size_t a = 0; a < p.annotations.size(); ++a)
            FUZZ_CHECK(effect->GetAnnotationByName(handle, p.annotations[a].name.c_str()) ==
                           effect->GetAnnotation(handle, static_cast<UINT>(a)),
                       "annotation handles that differ");
        CheckParameter(effect, handle, p, false, 0, budget);
        // A shared single float written through the one effect is read through the other.
        if (p.shared && p.type == FxType::Float && p.value.size() == 1)
        {
            float seen = 0;
            FUZZ_CHECK(SUCCEEDED(effect->SetFloat(handle, 3.5f)) &&
                           SUCCEEDED(twin->GetFloat(p.name.c_str(), &seen)) && seen == 3.5f,
                       "shared parameter \"" + p.name + "\" is not shared");
        }
    }
    g_device->BeginScene();
    for (UINT t = 0; t < desc.Techniques; ++t)
    {
        FUZZ_CHECK(SUCCEEDED(effect->SetTechnique(effect->GetTechnique(t))),
                   "a technique that cannot be set");
        DWORD before[256] = {};
        for (DWORD s = 0; s < 256; ++s)
            g_device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(s), &before[s]);
        UINT passes = 0;
        FUZZ_CHECK(SUCCEEDED(effect->Begin(&passes, 0)) && passes == declared.techniques[t].passes.size(),
                   "Begin does not give the technique's passes");
        for (UINT p = 0; p < passes; ++p)
        {
            FUZZ_CHECK(SUCCEEDED(effect->BeginPass(p)) && SUCCEEDED(effect->CommitChanges()) &&
                           SUCCEEDED(effect->EndPass()),
                       "a pass that does not run");
        }
        FUZZ_CHECK(SUCCEEDED(effect->End()), "End refused");
        for (DWORD s = 0; s < 256; ++s)
        {
            DWORD after = 0;
            g_device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(s), &after);
            FUZZ_CHECK(after == before[s], "End did not restore render state " + std::to_string(s));
        }
    }
    g_device->EndScene();
    effect->OnLostDevice();
    effect->OnResetDevice();
}

HRESULT Load(ID3DXEffectPool* pool, ID3DXEffect** effect, std::string& error)
{
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr = D3DXCreateEffectFromFileW(g_device, ToWide(kFile).c_str(), nullptr, nullptr, 0, pool,
                                                 effect, &errors);
    error = errors ? static_cast<const char*>(errors->GetBufferPointer()) : "";
    if (errors)
        errors->Release();
    return hr;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    DXUTInit(false, false, false, false);
    if (FAILED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 64)))
        fuzzsupport::Fail("no headless device");
    g_device = DXUTGetD3D9Device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzsupport::WriteFile(kFile, text);

    FxEffectDesc fromFile;
    std::string fileError;
    const bool fileParsed = ParseFxFile(kFile, fromFile, fileError);
    FxEffectDesc fromText;
    std::string textError;
    const bool textParsed = ParseFxText(text, kFile, fromText, textError);
    FUZZ_CHECK(fileParsed == textParsed && fileError == textError, "the file and its text parse differently");
    // A compiler log naming every kind of line maps without trouble.
    MapGlslLog(
        "0:1(1): error: x\n0:1000001(1): error: y\n0:2000001(1): error: z\nERROR: 0(99999999999) : w\n",
        kFile);

    ID3DXEffectPool* pool = nullptr;
    D3DXCreateEffectPool(&pool);
    ID3DXEffect* effect = nullptr;
    std::string loadError;
    const HRESULT hr = Load(pool, &effect, loadError);
    if (!textParsed)
    {
        CheckError(textError, text);
        FUZZ_CHECK(fromText.parameters.empty() && fromText.techniques.empty() && fromText.blocks.empty(),
                   "a failed parse left a description behind");
        FUZZ_CHECK(FAILED(hr) && !effect && loadError == textError,
                   "the loader does not refuse as the parser does");
        pool->Release();
        return 0;
    }
    FUZZ_CHECK(fromFile.parameters.size() == fromText.parameters.size() &&
                   fromFile.techniques.size() == fromText.techniques.size() &&
                   fromFile.blocks.size() == fromText.blocks.size(),
               "the file and its text give different effects");
    CheckDescription(fromText);
    if (fromText.samplers.size() > kMaxTextureStages)
    {
        FUZZ_CHECK(FAILED(hr) && !effect, "an effect with more samplers than stages");
        CheckError(loadError, text);
        pool->Release();
        return 0;
    }
    FUZZ_CHECK(SUCCEEDED(hr) && effect, "a parsed effect that does not load: " + loadError);
    ID3DXEffect* twin = nullptr;
    FUZZ_CHECK(SUCCEEDED(Load(pool, &twin, loadError)) && twin,
               "the pool refuses the same file twice: " + loadError);
    CheckEffect(effect, twin, fromText);
    twin->Release();
    FUZZ_CHECK(effect->Release() == 0, "an effect still referenced");
    pool->Release();
    return 0;
}
