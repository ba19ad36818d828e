// Effects and the effect pool, as the engine calls them: an effect is one of our .fx files
// (docs/fx-format.md) made for a device, with its parameters, techniques, passes and
// annotations. Both devices read the file with the same parser; the OpenGL device also builds
// one program per pass at load, the headless device only keeps the values and logs the draws.
//
// Handles: a D3DXHANDLE is either a handle the effect gave out or, wherever a handle is taken,
// a name (a parameter's for the parameter calls, a technique's for the technique calls). A null
// handle, or a name the effect does not have, makes any call a no-op that returns
// D3DERR_INVALIDCALL (getters return null handles). Handles belong to the effect that gave them.
//
// Values live on the CPU: `shared` parameters once in the pool, the others in the effect. The
// OpenGL device uploads what changed at BeginPass and CommitChanges, and binds sampler i
// (declaration order) to texture stage i.
#pragma once

#include "platform/d3dx9.h"

namespace plat
{
using D3DXHANDLE = const char*;

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr DWORD D3DXSHADER_DEBUG = 0x1; // accepted and ignored: effects always keep their line numbers

// Begin flags: what Begin does not save (and End therefore does not restore).
constexpr DWORD D3DXFX_DONOTSAVESTATE = 0x1;        // nothing
constexpr DWORD D3DXFX_DONOTSAVESHADERSTATE = 0x2;  // the program (End always goes back to the device's own)
constexpr DWORD D3DXFX_DONOTSAVESAMPLERSTATE = 0x4; // the samplers' textures and filters

constexpr DWORD D3DX_PARAMETER_SHARED = 0x1;

enum D3DXPARAMETER_CLASS : std::uint32_t
{
    D3DXPC_SCALAR = 0,
    D3DXPC_VECTOR = 1,
    D3DXPC_MATRIX_ROWS = 2, // our matrices are row-major
    D3DXPC_MATRIX_COLUMNS = 3,
    D3DXPC_OBJECT = 4, // textures, strings
    D3DXPC_STRUCT = 5,
};

enum D3DXPARAMETER_TYPE : std::uint32_t
{
    D3DXPT_VOID = 0, // structs
    D3DXPT_BOOL = 1,
    D3DXPT_INT = 2,
    D3DXPT_FLOAT = 3,
    D3DXPT_STRING = 4, // annotations only
    D3DXPT_TEXTURE = 5,
};

// A parameter, an element of an array, a member of a struct, or an annotation. Name and
// Semantic stay valid while the effect lives; Semantic is null when there is none. An element
// of an array has its array's name, Elements 0 and the Bytes of one element.
struct D3DXPARAMETER_DESC
{
    const char* Name = nullptr;
    const char* Semantic = nullptr;
    D3DXPARAMETER_CLASS Class = D3DXPC_SCALAR;
    D3DXPARAMETER_TYPE Type = D3DXPT_VOID;
    UINT Rows = 0;    // of one element: 1 for scalars and vectors, 4 for float4x4
    UINT Columns = 0; // of one element
    UINT Elements = 0;
    UINT Annotations = 0;
    UINT StructMembers = 0;
    DWORD Flags = 0; // D3DX_PARAMETER_SHARED
    UINT Bytes = 0;  // 4 per number; textures 0
};

struct D3DXTECHNIQUE_DESC
{
    const char* Name = nullptr;
    UINT Passes = 0;
    UINT Annotations = 0;
};

struct D3DXPASS_DESC
{
    const char* Name = nullptr; // "" for a nameless pass
    UINT Annotations = 0;
};

struct D3DXEFFECT_DESC
{
    UINT Parameters = 0; // top level, in declaration order (samplers are not parameters)
    UINT Techniques = 0;
};

struct D3DXMACRO
{
    const char* Name = nullptr;
    const char* Definition = nullptr;
};

class ID3DXInclude; // include handlers are not supported: pass null

class ID3DXBuffer : public IUnknown
{
public:
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0; // bytes, the terminating zero of a text included
};

// The effects made into one pool share their `shared` parameters: one value for each name.
class ID3DXEffectPool : public IUnknown
{
};

class ID3DXEffect : public IUnknown
{
public:
    // ---- Description ----
    virtual HRESULT GetDesc(D3DXEFFECT_DESC* desc) = 0;
    virtual HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) = 0;
    virtual HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) = 0;
    virtual HRESULT GetPassDesc(D3DXHANDLE pass, D3DXPASS_DESC* desc) = 0;

    // ---- Handles ----
    // parent null: the top-level parameters; a struct (or an element of a struct array): its
    // members; an array: its elements (GetParameter only).
    virtual D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) = 0;
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) = 0;
    // The first whose semantic matches, ignoring case.
    virtual D3DXHANDLE GetParameterBySemantic(D3DXHANDLE parent, const char* semantic) = 0;
    // Element index of an array parameter; null for anything else.
    virtual D3DXHANDLE GetParameterElement(D3DXHANDLE parent, UINT index) = 0;
    virtual D3DXHANDLE GetTechnique(UINT index) = 0;
    virtual D3DXHANDLE GetTechniqueByName(const char* name) = 0;
    virtual D3DXHANDLE GetPass(D3DXHANDLE technique, UINT index) = 0;
    virtual D3DXHANDLE GetPassByName(D3DXHANDLE technique, const char* name) = 0;
    // Annotations of a top-level parameter, a technique or a pass.
    virtual D3DXHANDLE GetAnnotation(D3DXHANDLE object, UINT index) = 0;
    virtual D3DXHANDLE GetAnnotationByName(D3DXHANDLE object, const char* name) = 0;

    // ---- Values ----
    // Numbers convert between bool, int and float as they are written and read (float to int
    // truncates, anything non-zero is a true bool). Single values (SetBool, SetInt, SetFloat,
    // GetBool, GetInt, GetFloat) need a parameter or annotation of one number. Arrays of
    // numbers fill the cells in order, as many as both sides have. Raw values copy up to the
    // parameter's bytes (D3DX_DEFAULT: all of them). The getters also read annotations.
    virtual HRESULT SetValue(D3DXHANDLE parameter, const void* data, UINT bytes) = 0;
    virtual HRESULT GetValue(D3DXHANDLE parameter, void* data, UINT bytes) = 0;
    virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
    virtual HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) = 0;
    virtual HRESULT SetBoolArray(D3DXHANDLE parameter, const BOOL* values, UINT count) = 0;
    virtual HRESULT GetBoolArray(D3DXHANDLE parameter, BOOL* values, UINT count) = 0;
    virtual HRESULT SetInt(D3DXHANDLE parameter, std::int32_t value) = 0;
    virtual HRESULT GetInt(D3DXHANDLE parameter, std::int32_t* value) = 0;
    virtual HRESULT SetIntArray(D3DXHANDLE parameter, const std::int32_t* values, UINT count) = 0;
    virtual HRESULT GetIntArray(D3DXHANDLE parameter, std::int32_t* values, UINT count) = 0;
    virtual HRESULT SetFloat(D3DXHANDLE parameter, float value) = 0;
    virtual HRESULT GetFloat(D3DXHANDLE parameter, float* value) = 0;
    virtual HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) = 0;
    virtual HRESULT GetFloatArray(D3DXHANDLE parameter, float* values, UINT count) = 0;
    // A scalar or vector (not an array): its 1 to 4 components; GetVector zeroes the rest.
    virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;
    virtual HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) = 0;
    // An array of scalars or vectors: count elements at most as many as it has.
    virtual HRESULT SetVectorArray(D3DXHANDLE parameter, const D3DXVECTOR4* vectors, UINT count) = 0;
    virtual HRESULT GetVectorArray(D3DXHANDLE parameter, D3DXVECTOR4* vectors, UINT count) = 0;
    // A float4x4 (or one element of an array of them).
    virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
    virtual HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) = 0;
    // A float4x4 array: count at most its elements (1 for a single matrix).
    virtual HRESULT SetMatrixArray(D3DXHANDLE parameter, const D3DXMATRIX* matrices, UINT count) = 0;
    virtual HRESULT GetMatrixArray(D3DXHANDLE parameter, D3DXMATRIX* matrices, UINT count) = 0;
    // A string annotation; the text stays valid while the effect lives.
    virtual HRESULT GetString(D3DXHANDLE parameter, const char** text) = 0;
    // A texture parameter holds a reference to its texture (null clears it). GetTexture
    // add-references what it returns.
    virtual HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) = 0;

    // ---- Drawing ----
    // The first technique is current after creation. Not while between Begin and End.
    virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
    virtual D3DXHANDLE GetCurrentTechnique() = 0;
    // Starts the current technique: *passes = its pass count. Saves the render states its
    // passes set and the texture stages and filters of its samplers (see the flags), which End
    // puts back.
    virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
    // Sets the pass's render states, program, textures and filters, and uploads the values.
    virtual HRESULT BeginPass(UINT pass) = 0;
    // Inside a pass: uploads the values and binds the textures changed since.
    virtual HRESULT CommitChanges() = 0;
    virtual HRESULT EndPass() = 0;
    // Ends an open pass too; the device draws with its own program again.
    virtual HRESULT End() = 0;

    // ---- Life ----
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetPool(ID3DXEffectPool** pool) = 0; // null (and S_OK) without a pool
    // Around a device reset; the effect keeps its programs and values (an open Begin ends).
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool);

// Reads the file through the path helper, checks it against the pool's shared parameters and,
// on the OpenGL device, builds every pass's program. On failure *effect is null, the result is
// D3DXERR_INVALIDDATA and *errors (when asked for) holds the text: "<file>:<line>: <what>", one
// line for a format error or a shared-type clash (naming both files), the compiler's lines
// mapped back to the .fx file for GLSL errors. Without an errors buffer the text goes to
// the log. defines and include must be null; flags are accepted and ignored.
HRESULT D3DXCreateEffectFromFileW(IDirect3DDevice9* device, const wchar_t* fileName, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool,
                                  ID3DXEffect** effect, ID3DXBuffer** errors);
} // namespace plat
