// The effect and the effect pool behind ID3DXEffect and ID3DXEffectPool: one implementation
// for both devices, over the parsed description (fx_model.h), the CPU value stores
// (fx_values.h) and what the device built for the passes (fx_programs.h).
//
// Handles are addresses inside a block the effect owns, one byte per addressable thing (every
// parameter node, technique, pass and annotation), all zero: any other pointer is read as a
// name, and a handle of another effect reads as the empty name, which matches nothing.
#pragma once

#include "platform/d3dx9effect.h"
#include "platform/device_base.h"
#include "platform/fx_programs.h"
#include "platform/fx_shared.h"
#include "platform/fx_values.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace plat::detail
{
class EffectPool final : public ID3DXEffectPool
{
public:
    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override;

    FxSharedPool& Declarations() { return m_declarations; }
    FxValueStore& Values() { return m_values; }
    // The value slot of a shared parameter; the first declaration of a name adds it with its
    // default.
    std::size_t SlotFor(const FxParameterDesc& parameter);

private:
    ~EffectPool() override = default;

    ULONG m_count = 1;
    FxSharedPool m_declarations;
    FxValueStore m_values;
    std::map<std::string, std::size_t> m_slots;
};

EffectPool* AsEffectPool(ID3DXEffectPool* pool);

// One addressable parameter: a top-level parameter, an element of an array, or a member of a
// struct (of one element). Its cells are a run of its top-level parameter's value.
struct FxNode
{
    const FxParameterDesc* desc = nullptr; // the declaration; for an element, its array's
    std::uint32_t top = 0;                 // the top-level parameter
    std::uint32_t firstCell = 0;           // within the top-level parameter's value
    std::uint32_t cells = 0;
    std::uint32_t firstChild = 0; // the elements of an array, else the members of a struct
    std::uint32_t childCount = 0;
    bool element = false;

    bool IsArray() const { return !element && desc->elements > 0; }
    bool IsStruct() const { return !IsArray() && desc->parameterClass == FxClass::Struct; }
};

class Effect final : public ID3DXEffect, private FxValueSource
{
public:
    Effect(DeviceBase& device, EffectPool* pool, std::unique_ptr<FxEffectDesc> desc,
           std::unique_ptr<EffectPrograms> programs);

    // ---- IUnknown ----
    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override;

    // ---- Description ----
    HRESULT GetDesc(D3DXEFFECT_DESC* desc) override;
    HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) override;
    HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) override;
    HRESULT GetPassDesc(D3DXHANDLE pass, D3DXPASS_DESC* desc) override;

    // ---- Handles ----
    D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) override;
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) override;
    D3DXHANDLE GetParameterBySemantic(D3DXHANDLE parent, const char* semantic) override;
    D3DXHANDLE GetParameterElement(D3DXHANDLE parent, UINT index) override;
    D3DXHANDLE GetTechnique(UINT index) override;
    D3DXHANDLE GetTechniqueByName(const char* name) override;
    D3DXHANDLE GetPass(D3DXHANDLE technique, UINT index) override;
    D3DXHANDLE GetPassByName(D3DXHANDLE technique, const char* name) override;
    D3DXHANDLE GetAnnotation(D3DXHANDLE object, UINT index) override;
    D3DXHANDLE GetAnnotationByName(D3DXHANDLE object, const char* name) override;

    // ---- Values (d3dx_effect_values.cpp) ----
    HRESULT SetValue(D3DXHANDLE parameter, const void* data, UINT bytes) override;
    HRESULT GetValue(D3DXHANDLE parameter, void* data, UINT bytes) override;
    HRESULT SetBool(D3DXHANDLE parameter, BOOL value) override;
    HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) override;
    HRESULT SetBoolArray(D3DXHANDLE parameter, const BOOL* values, UINT count) override;
    HRESULT GetBoolArray(D3DXHANDLE parameter, BOOL* values, UINT count) override;
    HRESULT SetInt(D3DXHANDLE parameter, std::int32_t value) override;
    HRESULT GetInt(D3DXHANDLE parameter, std::int32_t* value) override;
    HRESULT SetIntArray(D3DXHANDLE parameter, const std::int32_t* values, UINT count) override;
    HRESULT GetIntArray(D3DXHANDLE parameter, std::int32_t* values, UINT count) override;
    HRESULT SetFloat(D3DXHANDLE parameter, float value) override;
    HRESULT GetFloat(D3DXHANDLE parameter, float* value) override;
    HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) override;
    HRESULT GetFloatArray(D3DXHANDLE parameter, float* values, UINT count) override;
    HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
    HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) override;
    HRESULT SetVectorArray(D3DXHANDLE parameter, const D3DXVECTOR4* vectors, UINT count) override;
    HRESULT GetVectorArray(D3DXHANDLE parameter, D3DXVECTOR4* vectors, UINT count) override;
    HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) override;
    HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) override;
    HRESULT SetMatrixArray(D3DXHANDLE parameter, const D3DXMATRIX* matrices, UINT count) override;
    HRESULT GetMatrixArray(D3DXHANDLE parameter, D3DXMATRIX* matrices, UINT count) override;
    HRESULT GetString(D3DXHANDLE parameter, const char** text) override;
    HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) override;

    // ---- Drawing ----
    HRESULT SetTechnique(D3DXHANDLE technique) override;
    D3DXHANDLE GetCurrentTechnique() override;
    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT BeginPass(UINT pass) override;
    HRESULT CommitChanges() override;
    HRESULT EndPass() override;
    HRESULT End() override;

    // ---- Life ----
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetPool(ID3DXEffectPool** pool) override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

    // ---- For fxdebug ----
    const FxEffectDesc& Desc() const { return *m_desc; }
    int CurrentTechniqueIndex() const { return m_technique; }
    int CurrentPassIndex() const { return m_pass; }
    bool InBegin() const { return m_inBegin; }
    bool IsLost() const { return m_lost; }
    // "<file name>/<technique>/<pass index>": what the device's call log names a draw of the pass.
    std::string PassTag(std::size_t technique, std::size_t pass) const;

private:
    enum class Kind
    {
        None,
        Parameter,
        Technique,
        Pass,
        Annotation,
    };
    struct Target
    {
        Kind kind = Kind::None;
        std::uint32_t index = 0; // node, technique, pass (in m_passes) or annotation
    };
    struct PassRef
    {
        std::uint32_t technique = 0;
        std::uint32_t pass = 0;
    };
    // A number value: a parameter node's cells or an annotation's.
    struct NumberView
    {
        FxCell* cells = nullptr; // null for annotations, which are read-only
        const FxCell* readCells = nullptr;
        const FxType* types = nullptr; // per cell; null when every cell is `type`
        FxType type = FxType::Float;
        std::uint32_t count = 0;
        const FxNode* node = nullptr;
        const FxAnnotation* annotation = nullptr;

        FxType TypeAt(std::uint32_t i) const { return types ? types[i] : type; }
    };
    struct SavedState
    {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };

    ~Effect() override;

    void BuildNodes();
    D3DXHANDLE Handle(Kind kind, std::uint32_t index) const;
    Target Resolve(D3DXHANDLE handle) const;
    // A parameter node from a handle or a top-level name; -1 for none.
    int ResolveParameter(D3DXHANDLE handle) const;
    int ResolveTechnique(D3DXHANDLE handle) const;
    const std::vector<FxAnnotation>* AnnotationsOf(D3DXHANDLE object, std::uint32_t& first) const;
    bool ResolveNumbers(D3DXHANDLE handle, NumberView& view);
    void Changed(const FxNode& node);
    FxValueStore& StoreOf(std::uint32_t top) const { return *m_slots[top].first; }
    std::size_t SlotOf(std::uint32_t top) const { return m_slots[top].second; }
    void BindSamplers(bool onlyChanged);

    // ---- FxValueSource ----
    const FxCell* ParameterCells(std::size_t parameter) const override;
    std::uint64_t ParameterStamp(std::size_t parameter) const override;
    std::uint64_t LatestStamp() const override;

    ULONG m_count = 1;
    ComPtr<DeviceBase> m_device;
    ComPtr<EffectPool> m_pool;
    std::unique_ptr<FxEffectDesc> m_desc;
    std::unique_ptr<EffectPrograms> m_programs;
    std::string m_fileName; // the last component of the path

    FxValueStore m_values;                                      // the parameters that are not in the pool
    std::vector<std::pair<FxValueStore*, std::size_t>> m_slots; // per top-level parameter
    std::vector<std::vector<FxType>> m_cellTypes;               // per top-level parameter, per cell
    std::vector<FxNode> m_nodes;                                // top-level parameters first
    std::unordered_map<std::string, std::uint32_t> m_topByName;
    std::vector<PassRef> m_passes;                     // every pass of every technique
    std::vector<std::uint32_t> m_firstPass;            // per technique, into m_passes
    std::vector<std::string> m_passTags;               // per entry of m_passes
    std::vector<const FxAnnotation*> m_annotations;    // parameters', techniques', passes'
    std::vector<std::uint32_t> m_parameterAnnotations; // per top-level parameter: first
    std::vector<std::uint32_t> m_techniqueAnnotations; // per technique: first
    std::vector<std::uint32_t> m_passAnnotations;      // per entry of m_passes: first
    std::vector<std::uint32_t> m_samplerTextures;      // per sampler: its texture parameter
    std::unique_ptr<char[]> m_handles;                 // zeros, one per handle
    std::uint32_t m_handleCount = 0;

    int m_technique = -1;
    int m_pass = -1;
    bool m_inBegin = false;
    bool m_lost = false;
    DWORD m_beginFlags = 0;
    std::uint64_t m_boundStamp = 0; // textures bound as of this stamp
    std::vector<SavedState> m_savedStates;
    std::vector<ComPtr<IDirect3DBaseTexture9>> m_savedTextures;
    std::vector<StageSampler> m_savedSamplers;
    bool m_savedStages = false;
};
} // namespace plat::detail
