// Effects and the effect pool: creation from a file, handles, descriptions, techniques and
// passes, Begin/End with the saved device state, lost and reset. The value setters and getters
// are in d3dx_effect_values.cpp.
#include "platform/d3dx_effect.h"

#include "platform/effect_debug.h"
#include "platform/fx_parser.h"
#include "platform/log.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>

namespace plat
{
namespace detail
{
namespace
{
class TextBuffer final : public ID3DXBuffer
{
public:
    explicit TextBuffer(const std::string& text) : m_data(text.begin(), text.end())
    {
        m_data.push_back('\0');
    }

    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override
    {
        const ULONG count = --m_count;
        if (count == 0)
            delete this;
        return count;
    }
    void* GetBufferPointer() override { return m_data.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(m_data.size()); }

private:
    ~TextBuffer() override = default;

    std::vector<char> m_data;
    ULONG m_count = 1;
};

bool SameIgnoringCase(const std::string& a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string LastComponent(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

D3DXPARAMETER_CLASS ClassOf(FxClass c)
{
    switch (c)
    {
    case FxClass::Scalar:
        return D3DXPC_SCALAR;
    case FxClass::Vector:
        return D3DXPC_VECTOR;
    case FxClass::Matrix:
        return D3DXPC_MATRIX_ROWS;
    case FxClass::Object:
        return D3DXPC_OBJECT;
    case FxClass::Struct:
        return D3DXPC_STRUCT;
    }
    return D3DXPC_SCALAR;
}

D3DXPARAMETER_TYPE TypeOf(FxType t)
{
    switch (t)
    {
    case FxType::Void:
        return D3DXPT_VOID;
    case FxType::Bool:
        return D3DXPT_BOOL;
    case FxType::Int:
        return D3DXPT_INT;
    case FxType::Float:
        return D3DXPT_FLOAT;
    case FxType::String:
        return D3DXPT_STRING;
    case FxType::Texture:
        return D3DXPT_TEXTURE;
    }
    return D3DXPT_VOID;
}

StageSampler SamplerOf(const FxSamplerDesc& s)
{
    StageSampler sampler;
    sampler.set = true;
    sampler.minFilter = s.minFilter;
    sampler.magFilter = s.magFilter;
    sampler.mipFilter = s.mipFilter;
    sampler.addressU = s.addressU;
    sampler.addressV = s.addressV;
    sampler.addressW = s.addressW;
    return sampler;
}

Effect* AsEffect(ID3DXEffect* effect)
{
    return dynamic_cast<Effect*>(effect);
}
} // namespace

// ---- Pool -------------------------------------------------------------------------------------

ULONG EffectPool::Release()
{
    const ULONG count = --m_count;
    if (count == 0)
        delete this;
    return count;
}

std::size_t EffectPool::SlotFor(const FxParameterDesc& parameter)
{
    const auto found = m_slots.find(parameter.name);
    if (found != m_slots.end())
        return found->second;
    const std::size_t slot = m_values.Add(parameter);
    m_slots.emplace(parameter.name, slot);
    return slot;
}

EffectPool* AsEffectPool(ID3DXEffectPool* pool)
{
    return dynamic_cast<EffectPool*>(pool);
}

std::unique_ptr<EffectPrograms> DeviceBase::BuildEffectPrograms(const FxEffectDesc&, std::string&)
{
    return std::make_unique<NullEffectPrograms>();
}

// ---- Effect: life -----------------------------------------------------------------------------

Effect::Effect(DeviceBase& device, EffectPool* pool, std::unique_ptr<FxEffectDesc> desc,
               std::unique_ptr<EffectPrograms> programs)
    : m_device(&device), m_pool(pool), m_desc(std::move(desc)), m_programs(std::move(programs)),
      m_fileName(LastComponent(m_desc->file))
{
    const std::vector<FxParameterDesc>& parameters = m_desc->parameters;
    for (std::size_t i = 0; i < parameters.size(); ++i)
    {
        const FxParameterDesc& p = parameters[i];
        if (p.shared && m_pool)
            m_slots.emplace_back(&m_pool->Values(), m_pool->SlotFor(p));
        else
            m_slots.emplace_back(&m_values, m_values.Add(p));
        m_cellTypes.emplace_back();
        FxCellTypes(p, m_cellTypes.back());
        m_topByName.emplace(p.name, static_cast<std::uint32_t>(i));
    }
    for (const FxSamplerDesc& sampler : m_desc->samplers)
    {
        std::uint32_t top = 0;
        while (top < parameters.size() && parameters[top].name != sampler.texture)
            ++top;
        m_samplerTextures.push_back(top); // the parser guarantees the texture exists
    }
    BuildNodes();

    for (const FxParameterDesc& p : parameters)
    {
        m_parameterAnnotations.push_back(static_cast<std::uint32_t>(m_annotations.size()));
        for (const FxAnnotation& a : p.annotations)
            m_annotations.push_back(&a);
    }
    for (std::size_t t = 0; t < m_desc->techniques.size(); ++t)
    {
        const FxTechniqueDesc& technique = m_desc->techniques[t];
        m_techniqueAnnotations.push_back(static_cast<std::uint32_t>(m_annotations.size()));
        for (const FxAnnotation& a : technique.annotations)
            m_annotations.push_back(&a);
        m_firstPass.push_back(static_cast<std::uint32_t>(m_passes.size()));
        for (std::size_t p = 0; p < technique.passes.size(); ++p)
        {
            m_passes.push_back({static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(p)});
            m_passTags.push_back(m_fileName + "/" + technique.name + "/" + std::to_string(p));
        }
    }
    for (const PassRef& ref : m_passes)
    {
        m_passAnnotations.push_back(static_cast<std::uint32_t>(m_annotations.size()));
        for (const FxAnnotation& a : m_desc->techniques[ref.technique].passes[ref.pass].annotations)
            m_annotations.push_back(&a);
    }

    m_handleCount = static_cast<std::uint32_t>(m_nodes.size() + m_desc->techniques.size() + m_passes.size() +
                                               m_annotations.size());
    m_handles.reset(new char[m_handleCount + 1]());
    m_technique = m_desc->techniques.empty() ? -1 : 0;
}

Effect::~Effect()
{
    if (m_inBegin)
        End();
}

ULONG Effect::Release()
{
    const ULONG count = --m_count;
    if (count == 0)
        delete this;
    return count;
}

// Breadth first, so the top-level parameters come first and every node's children are
// consecutive.
void Effect::BuildNodes()
{
    const std::vector<FxParameterDesc>& parameters = m_desc->parameters;
    for (std::size_t i = 0; i < parameters.size(); ++i)
    {
        FxNode node;
        node.desc = &parameters[i];
        node.top = static_cast<std::uint32_t>(i);
        node.cells = static_cast<std::uint32_t>(parameters[i].value.size());
        m_nodes.push_back(node);
    }
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
    {
        const FxNode parent = m_nodes[i];
        const auto first = static_cast<std::uint32_t>(m_nodes.size());
        if (parent.IsArray())
        {
            const std::uint32_t each = parent.cells / static_cast<std::uint32_t>(parent.desc->elements);
            for (int e = 0; e < parent.desc->elements; ++e)
            {
                FxNode child = parent;
                child.element = true;
                child.firstCell = parent.firstCell + static_cast<std::uint32_t>(e) * each;
                child.cells = each;
                m_nodes.push_back(child);
            }
        }
        else if (parent.IsStruct())
        {
            for (const FxParameterDesc& member : parent.desc->members)
            {
                FxNode child;
                child.desc = &member;
                child.top = parent.top;
                child.firstCell = parent.firstCell + static_cast<std::uint32_t>(member.offset / 4);
                child.cells = static_cast<std::uint32_t>(member.bytes / 4);
                m_nodes.push_back(child);
            }
        }
        m_nodes[i].firstChild = first;
        m_nodes[i].childCount = static_cast<std::uint32_t>(m_nodes.size()) - first;
    }
}

// ---- Effect: handles --------------------------------------------------------------------------

D3DXHANDLE Effect::Handle(Kind kind, std::uint32_t index) const
{
    std::size_t offset = 0;
    switch (kind)
    {
    case Kind::Annotation:
        offset += m_passes.size();
        [[fallthrough]];
    case Kind::Pass:
        offset += m_desc->techniques.size();
        [[fallthrough]];
    case Kind::Technique:
        offset += m_nodes.size();
        [[fallthrough]];
    case Kind::Parameter:
        break;
    case Kind::None:
        return nullptr;
    }
    return m_handles.get() + offset + index;
}

Effect::Target Effect::Resolve(D3DXHANDLE handle) const
{
    const std::less<const char*> before;
    const char* base = m_handles.get();
    if (!handle || before(handle, base) || !before(handle, base + m_handleCount))
        return Target();
    std::size_t index = static_cast<std::size_t>(handle - base);
    Target target;
    if (index < m_nodes.size())
        target.kind = Kind::Parameter;
    else if ((index -= m_nodes.size()) < m_desc->techniques.size())
        target.kind = Kind::Technique;
    else if ((index -= m_desc->techniques.size()) < m_passes.size())
        target.kind = Kind::Pass;
    else
    {
        index -= m_passes.size();
        target.kind = Kind::Annotation;
    }
    target.index = static_cast<std::uint32_t>(index);
    return target;
}

int Effect::ResolveParameter(D3DXHANDLE handle) const
{
    if (!handle)
        return -1;
    const Target target = Resolve(handle);
    if (target.kind == Kind::Parameter)
        return static_cast<int>(target.index);
    if (target.kind != Kind::None)
        return -1;
    const auto found = m_topByName.find(handle);
    return found == m_topByName.end() ? -1 : static_cast<int>(found->second);
}

int Effect::ResolveTechnique(D3DXHANDLE handle) const
{
    if (!handle)
        return -1;
    const Target target = Resolve(handle);
    if (target.kind == Kind::Technique)
        return static_cast<int>(target.index);
    if (target.kind != Kind::None)
        return -1;
    for (std::size_t t = 0; t < m_desc->techniques.size(); ++t)
        if (m_desc->techniques[t].name == handle)
            return static_cast<int>(t);
    return -1;
}

const std::vector<FxAnnotation>* Effect::AnnotationsOf(D3DXHANDLE object, std::uint32_t& first) const
{
    if (!object)
        return nullptr;
    Target target = Resolve(object);
    if (target.kind == Kind::None)
    {
        const int parameter = ResolveParameter(object);
        const int technique = parameter < 0 ? ResolveTechnique(object) : -1;
        if (parameter >= 0)
            target = {Kind::Parameter, static_cast<std::uint32_t>(parameter)};
        else if (technique >= 0)
            target = {Kind::Technique, static_cast<std::uint32_t>(technique)};
    }
    switch (target.kind)
    {
    case Kind::Parameter:
        if (target.index >= m_desc->parameters.size())
            return nullptr; // elements and members carry no annotations
        first = m_parameterAnnotations[target.index];
        return &m_desc->parameters[target.index].annotations;
    case Kind::Technique:
        first = m_techniqueAnnotations[target.index];
        return &m_desc->techniques[target.index].annotations;
    case Kind::Pass:
    {
        const PassRef& ref = m_passes[target.index];
        first = m_passAnnotations[target.index];
        return &m_desc->techniques[ref.technique].passes[ref.pass].annotations;
    }
    default:
        return nullptr;
    }
}

D3DXHANDLE Effect::GetParameter(D3DXHANDLE parent, UINT index)
{
    if (!parent)
        return index < m_desc->parameters.size() ? Handle(Kind::Parameter, index) : nullptr;
    const int node = ResolveParameter(parent);
    if (node < 0 || index >= m_nodes[node].childCount)
        return nullptr;
    return Handle(Kind::Parameter, m_nodes[node].firstChild + index);
}

D3DXHANDLE Effect::GetParameterByName(D3DXHANDLE parent, const char* name)
{
    if (!name)
        return nullptr;
    if (!parent)
    {
        const auto found = m_topByName.find(name);
        return found == m_topByName.end() ? nullptr : Handle(Kind::Parameter, found->second);
    }
    const int node = ResolveParameter(parent);
    if (node < 0 || !m_nodes[node].IsStruct())
        return nullptr;
    const FxNode& n = m_nodes[node];
    for (std::uint32_t i = 0; i < n.childCount; ++i)
        if (m_nodes[n.firstChild + i].desc->name == name)
            return Handle(Kind::Parameter, n.firstChild + i);
    return nullptr;
}

D3DXHANDLE Effect::GetParameterBySemantic(D3DXHANDLE parent, const char* semantic)
{
    if (!semantic)
        return nullptr;
    std::uint32_t first = 0, count = static_cast<std::uint32_t>(m_desc->parameters.size());
    if (parent)
    {
        const int node = ResolveParameter(parent);
        if (node < 0 || !m_nodes[node].IsStruct())
            return nullptr;
        first = m_nodes[node].firstChild;
        count = m_nodes[node].childCount;
    }
    for (std::uint32_t i = first; i < first + count; ++i)
        if (!m_nodes[i].desc->semantic.empty() && SameIgnoringCase(m_nodes[i].desc->semantic, semantic))
            return Handle(Kind::Parameter, i);
    return nullptr;
}

D3DXHANDLE Effect::GetParameterElement(D3DXHANDLE parent, UINT index)
{
    const int node = ResolveParameter(parent);
    if (node < 0 || !m_nodes[node].IsArray() || index >= m_nodes[node].childCount)
        return nullptr;
    return Handle(Kind::Parameter, m_nodes[node].firstChild + index);
}

D3DXHANDLE Effect::GetTechnique(UINT index)
{
    return index < m_desc->techniques.size() ? Handle(Kind::Technique, index) : nullptr;
}

D3DXHANDLE Effect::GetTechniqueByName(const char* name)
{
    if (!name)
        return nullptr;
    for (std::size_t t = 0; t < m_desc->techniques.size(); ++t)
        if (m_desc->techniques[t].name == name)
            return Handle(Kind::Technique, static_cast<std::uint32_t>(t));
    return nullptr;
}

D3DXHANDLE Effect::GetPass(D3DXHANDLE technique, UINT index)
{
    const int t = ResolveTechnique(technique);
    if (t < 0 || index >= m_desc->techniques[t].passes.size())
        return nullptr;
    return Handle(Kind::Pass, m_firstPass[t] + index);
}

D3DXHANDLE Effect::GetPassByName(D3DXHANDLE technique, const char* name)
{
    const int t = ResolveTechnique(technique);
    if (t < 0 || !name)
        return nullptr;
    const std::vector<FxPassDesc>& passes = m_desc->techniques[t].passes;
    for (std::size_t p = 0; p < passes.size(); ++p)
        if (!passes[p].name.empty() && passes[p].name == name)
            return Handle(Kind::Pass, m_firstPass[t] + static_cast<std::uint32_t>(p));
    return nullptr;
}

D3DXHANDLE Effect::GetAnnotation(D3DXHANDLE object, UINT index)
{
    std::uint32_t first = 0;
    const std::vector<FxAnnotation>* list = AnnotationsOf(object, first);
    if (!list || index >= list->size())
        return nullptr;
    return Handle(Kind::Annotation, first + index);
}

D3DXHANDLE Effect::GetAnnotationByName(D3DXHANDLE object, const char* name)
{
    std::uint32_t first = 0;
    const std::vector<FxAnnotation>* list = AnnotationsOf(object, first);
    if (!list || !name)
        return nullptr;
    for (std::size_t i = 0; i < list->size(); ++i)
        if ((*list)[i].name == name)
            return Handle(Kind::Annotation, first + static_cast<std::uint32_t>(i));
    return nullptr;
}

// ---- Effect: descriptions ---------------------------------------------------------------------

HRESULT Effect::GetDesc(D3DXEFFECT_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Parameters = static_cast<UINT>(m_desc->parameters.size());
    desc->Techniques = static_cast<UINT>(m_desc->techniques.size());
    return S_OK;
}

HRESULT Effect::GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    const Target target = Resolve(parameter);
    if (target.kind == Kind::Annotation)
    {
        const FxAnnotation& a = *m_annotations[target.index];
        *desc = D3DXPARAMETER_DESC();
        desc->Name = a.name.c_str();
        desc->Type = TypeOf(a.type);
        desc->Class = a.type == FxType::String ? D3DXPC_OBJECT
                      : a.columns > 1          ? D3DXPC_VECTOR
                                               : D3DXPC_SCALAR;
        desc->Rows = a.type == FxType::String ? 0 : 1;
        desc->Columns = a.type == FxType::String ? 0 : static_cast<UINT>(a.columns);
        desc->Bytes = static_cast<UINT>(a.value.size() * 4);
        return S_OK;
    }
    const int index = ResolveParameter(parameter);
    if (index < 0)
        return D3DERR_INVALIDCALL;
    const FxNode& node = m_nodes[index];
    const FxParameterDesc& p = *node.desc;
    const bool top = static_cast<std::size_t>(index) < m_desc->parameters.size();
    *desc = D3DXPARAMETER_DESC();
    desc->Name = p.name.c_str();
    desc->Semantic = p.semantic.empty() ? nullptr : p.semantic.c_str();
    desc->Class = ClassOf(p.parameterClass);
    desc->Type = TypeOf(p.type);
    desc->Rows = static_cast<UINT>(p.rows);
    desc->Columns = static_cast<UINT>(p.columns);
    desc->Elements = node.element ? 0 : static_cast<UINT>(p.elements);
    desc->Annotations = top ? static_cast<UINT>(p.annotations.size()) : 0;
    desc->StructMembers = p.parameterClass == FxClass::Struct ? static_cast<UINT>(p.members.size()) : 0;
    desc->Flags = top && p.shared ? D3DX_PARAMETER_SHARED : 0;
    desc->Bytes = node.cells * 4;
    return S_OK;
}

HRESULT Effect::GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc)
{
    const int t = ResolveTechnique(technique);
    if (t < 0 || !desc)
        return D3DERR_INVALIDCALL;
    const FxTechniqueDesc& td = m_desc->techniques[t];
    desc->Name = td.name.c_str();
    desc->Passes = static_cast<UINT>(td.passes.size());
    desc->Annotations = static_cast<UINT>(td.annotations.size());
    return S_OK;
}

HRESULT Effect::GetPassDesc(D3DXHANDLE pass, D3DXPASS_DESC* desc)
{
    const Target target = Resolve(pass);
    if (target.kind != Kind::Pass || !desc)
        return D3DERR_INVALIDCALL;
    const PassRef& ref = m_passes[target.index];
    const FxPassDesc& pd = m_desc->techniques[ref.technique].passes[ref.pass];
    desc->Name = pd.name.c_str();
    desc->Annotations = static_cast<UINT>(pd.annotations.size());
    return S_OK;
}

// ---- Effect: drawing --------------------------------------------------------------------------

HRESULT Effect::SetTechnique(D3DXHANDLE technique)
{
    const int t = ResolveTechnique(technique);
    if (t < 0 || m_inBegin)
        return D3DERR_INVALIDCALL;
    m_technique = t;
    return S_OK;
}

D3DXHANDLE Effect::GetCurrentTechnique()
{
    return m_technique < 0 ? nullptr : Handle(Kind::Technique, static_cast<std::uint32_t>(m_technique));
}

HRESULT Effect::Begin(UINT* passes, DWORD flags)
{
    if (m_inBegin || m_technique < 0)
        return D3DERR_INVALIDCALL;
    const FxTechniqueDesc& technique = m_desc->techniques[m_technique];
    m_savedStates.clear();
    m_savedTextures.clear();
    m_savedSamplers.clear();
    m_savedStages = false;
    if (!(flags & D3DXFX_DONOTSAVESTATE))
    {
        for (const FxPassDesc& pass : technique.passes)
            for (const FxStateAssignment& a : pass.states)
            {
                const auto state = static_cast<D3DRENDERSTATETYPE>(a.state);
                const bool saved = std::any_of(m_savedStates.begin(), m_savedStates.end(),
                                               [&](const SavedState& s) { return s.state == state; });
                DWORD value = 0;
                if (!saved && SUCCEEDED(m_device->GetRenderState(state, &value)))
                    m_savedStates.push_back({state, value});
            }
        if (!(flags & D3DXFX_DONOTSAVESAMPLERSTATE))
        {
            m_savedStages = true;
            for (DWORD stage = 0; stage < m_desc->samplers.size(); ++stage)
            {
                IDirect3DBaseTexture9* texture = nullptr;
                m_device->GetTexture(stage, &texture);
                m_savedTextures.push_back(ComPtr<IDirect3DBaseTexture9>::Adopt(texture));
                m_savedSamplers.push_back(m_device->GetStageSampler(stage));
            }
        }
    }
    m_inBegin = true;
    m_beginFlags = flags;
    m_pass = -1;
    if (passes)
        *passes = static_cast<UINT>(technique.passes.size());
    return S_OK;
}

void Effect::BindSamplers(bool onlyChanged)
{
    for (DWORD stage = 0; stage < m_samplerTextures.size(); ++stage)
    {
        const std::uint32_t top = m_samplerTextures[stage];
        FxValueStore& store = StoreOf(top);
        if (onlyChanged && store.Stamp(SlotOf(top)) <= m_boundStamp)
            continue;
        // A texture of another device is refused; the stage is then left empty.
        if (FAILED(m_device->SetTexture(stage, store.Texture(SlotOf(top)))))
            m_device->SetTexture(stage, nullptr);
        if (!onlyChanged)
            m_device->SetStageSampler(stage, SamplerOf(m_desc->samplers[stage]));
    }
    m_boundStamp = CurrentFxStamp();
}

HRESULT Effect::BeginPass(UINT pass)
{
    if (!m_inBegin || m_pass >= 0 || pass >= m_desc->techniques[m_technique].passes.size())
        return D3DERR_INVALIDCALL;
    const FxPassDesc& p = m_desc->techniques[m_technique].passes[pass];
    for (const FxStateAssignment& a : p.states)
        m_device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(a.state), a.value);
    const auto t = static_cast<std::size_t>(m_technique);
    m_device->SetPassProgram(m_programs->Program(t, pass), m_passTags[m_firstPass[t] + pass]);
    m_pass = static_cast<int>(pass);
    BindSamplers(false);
    m_programs->Upload(t, pass, *this);
    return S_OK;
}

HRESULT Effect::CommitChanges()
{
    if (!m_inBegin || m_pass < 0)
        return D3DERR_INVALIDCALL;
    BindSamplers(true);
    m_programs->Upload(static_cast<std::size_t>(m_technique), static_cast<std::size_t>(m_pass), *this);
    return S_OK;
}

HRESULT Effect::EndPass()
{
    if (!m_inBegin || m_pass < 0)
        return D3DERR_INVALIDCALL;
    m_pass = -1;
    return S_OK;
}

HRESULT Effect::End()
{
    if (!m_inBegin)
        return D3DERR_INVALIDCALL;
    m_pass = -1;
    for (auto it = m_savedStates.rbegin(); it != m_savedStates.rend(); ++it)
        m_device->SetRenderState(it->state, it->value);
    if (m_savedStages)
        for (DWORD stage = 0; stage < m_savedTextures.size(); ++stage)
        {
            m_device->SetTexture(stage, m_savedTextures[stage].Get());
            m_device->SetStageSampler(stage, m_savedSamplers[stage]);
        }
    m_savedStates.clear();
    m_savedTextures.clear();
    m_savedSamplers.clear();
    m_savedStages = false;
    m_device->SetPassProgram(0, std::string());
    m_inBegin = false;
    return S_OK;
}

// ---- Effect: life -----------------------------------------------------------------------------

HRESULT Effect::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device.Get();
    return S_OK;
}

HRESULT Effect::GetPool(ID3DXEffectPool** pool)
{
    if (!pool)
        return D3DERR_INVALIDCALL;
    *pool = m_pool.Get();
    if (*pool)
        (*pool)->AddRef();
    return S_OK;
}

HRESULT Effect::OnLostDevice()
{
    if (m_inBegin)
        End();
    m_lost = true;
    devicedebug::LoggedCall call;
    call.kind = devicedebug::CallKind::EffectLost;
    call.name = m_fileName;
    m_device->Log(std::move(call));
    return S_OK;
}

HRESULT Effect::OnResetDevice()
{
    m_lost = false;
    devicedebug::LoggedCall call;
    call.kind = devicedebug::CallKind::EffectReset;
    call.name = m_fileName;
    m_device->Log(std::move(call));
    return S_OK;
}

// ---- Effect: values for the device ------------------------------------------------------------

const FxCell* Effect::ParameterCells(std::size_t parameter) const
{
    return StoreOf(static_cast<std::uint32_t>(parameter))
        .Cells(SlotOf(static_cast<std::uint32_t>(parameter)));
}

std::uint64_t Effect::ParameterStamp(std::size_t parameter) const
{
    return StoreOf(static_cast<std::uint32_t>(parameter))
        .Stamp(SlotOf(static_cast<std::uint32_t>(parameter)));
}

std::uint64_t Effect::LatestStamp() const
{
    return std::max(m_values.Latest(), m_pool ? m_pool->Values().Latest() : 0);
}

std::string Effect::PassTag(std::size_t technique, std::size_t pass) const
{
    return m_passTags[m_firstPass[technique] + pass];
}
} // namespace detail

// ---- Creation ---------------------------------------------------------------------------------

namespace
{
HRESULT Fail(ID3DXBuffer** errors, const std::string& text, HRESULT result)
{
    if (errors)
        *errors = new detail::TextBuffer(text);
    else
        DORVO_LOG("D3DXCreateEffectFromFileW: %s; no effect is made", text.c_str());
    return result;
}
} // namespace

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool)
{
    if (!pool)
        return D3DERR_INVALIDCALL;
    *pool = new detail::EffectPool();
    return S_OK;
}

HRESULT D3DXCreateEffectFromFileW(IDirect3DDevice9* device, const wchar_t* fileName, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD, ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors)
{
    if (effect)
        *effect = nullptr;
    if (errors)
        *errors = nullptr;
    detail::DeviceBase* d = detail::AsDevice(device);
    detail::EffectPool* p = pool ? detail::AsEffectPool(pool) : nullptr;
    if (!d || d->IsShutDown() || !fileName || !effect || (pool && !p))
        return D3DERR_INVALIDCALL;
    const std::string name = ToNarrow(fileName);
    if ((defines && defines->Name) || include)
        return Fail(errors, name + ": macro definitions and include handlers are not supported",
                    D3DERR_INVALIDCALL);

    auto desc = std::make_unique<FxEffectDesc>();
    std::string error;
    if (!ParseFxFile(name, *desc, error))
        return Fail(errors, error, D3DXERR_INVALIDDATA);
    if (desc->samplers.size() > kMaxTextureStages)
        return Fail(errors,
                    desc->file + ":" + std::to_string(desc->samplers[kMaxTextureStages].line) +
                        ": more samplers than the device's " + std::to_string(kMaxTextureStages) +
                        " texture stages",
                    D3DXERR_INVALIDDATA);
    // The pool takes the effect's shared parameters only once the effect is made.
    FxSharedPool merged = p ? p->Declarations() : FxSharedPool();
    if (p && !merged.Merge(*desc, error))
        return Fail(errors, error, D3DXERR_INVALIDDATA);
    std::unique_ptr<detail::EffectPrograms> programs = d->BuildEffectPrograms(*desc, error);
    if (!programs)
        return Fail(errors, error, D3DXERR_INVALIDDATA);
    *effect = new detail::Effect(*d, p, std::move(desc), std::move(programs));
    if (p)
        p->Declarations() = std::move(merged);
    return S_OK;
}

// ---- Debug ------------------------------------------------------------------------------------

namespace fxdebug
{
std::string File(ID3DXEffect* effect)
{
    const detail::Effect* e = detail::AsEffect(effect);
    return e ? e->Desc().file : std::string();
}

std::string CurrentTechnique(ID3DXEffect* effect)
{
    const detail::Effect* e = detail::AsEffect(effect);
    if (!e || e->CurrentTechniqueIndex() < 0)
        return std::string();
    return e->Desc().techniques[static_cast<std::size_t>(e->CurrentTechniqueIndex())].name;
}

int CurrentPass(ID3DXEffect* effect)
{
    const detail::Effect* e = detail::AsEffect(effect);
    return e ? e->CurrentPassIndex() : -1;
}

bool InBegin(ID3DXEffect* effect)
{
    const detail::Effect* e = detail::AsEffect(effect);
    return e && e->InBegin();
}

bool IsLost(ID3DXEffect* effect)
{
    const detail::Effect* e = detail::AsEffect(effect);
    return e && e->IsLost();
}
} // namespace fxdebug
} // namespace plat
