// The effect's value setters and getters. Every setter marks its top-level parameter changed, so
// the device uploads it at the next BeginPass or CommitChanges. Numbers convert between the
// types as they are written and read; annotations can be read like parameters.
#include "platform/d3dx_effect.h"

#include <algorithm>
#include <cstring>

namespace plat::detail
{
namespace
{
bool IsMatrix(const FxNode& node)
{
    return node.desc->parameterClass == FxClass::Matrix;
}

bool IsScalarOrVector(const FxNode& node)
{
    return node.desc->parameterClass == FxClass::Scalar || node.desc->parameterClass == FxClass::Vector;
}

// The elements a whole-array call may reach: the array's, or 1 for a single value.
UINT ElementsOf(const FxNode& node)
{
    return node.IsArray() ? static_cast<UINT>(node.desc->elements) : 1u;
}
} // namespace

bool Effect::ResolveNumbers(D3DXHANDLE handle, NumberView& view)
{
    const Target target = Resolve(handle);
    if (target.kind == Kind::Annotation)
    {
        const FxAnnotation& a = *m_annotations[target.index];
        if (a.type == FxType::String)
            return false;
        view.readCells = a.value.data();
        view.type = a.type;
        view.count = static_cast<std::uint32_t>(a.value.size());
        view.annotation = &a;
        return true;
    }
    const int index = ResolveParameter(handle);
    if (index < 0)
        return false;
    const FxNode& node = m_nodes[static_cast<std::size_t>(index)];
    if (node.desc->type == FxType::Texture)
        return false;
    view.cells = StoreOf(node.top).Cells(SlotOf(node.top)) + node.firstCell;
    view.readCells = view.cells;
    view.types = m_cellTypes[node.top].data() + node.firstCell;
    view.count = node.cells;
    view.node = &node;
    return true;
}

void Effect::Changed(const FxNode& node)
{
    StoreOf(node.top).Touch(SlotOf(node.top));
}

namespace
{
// One number: an annotation of one value, or a parameter that is neither an array nor a struct.
template <typename View> bool IsSingle(const View& view)
{
    return view.count == 1 && (!view.node || (!view.node->IsArray() && !view.node->IsStruct()));
}
} // namespace

// ---- Raw values ---------------------------------------------------------------------------------

HRESULT Effect::SetValue(D3DXHANDLE parameter, const void* data, UINT bytes)
{
    NumberView view;
    if (!data || bytes == 0 || !ResolveNumbers(parameter, view) || !view.cells)
        return D3DERR_INVALIDCALL;
    const std::size_t size = std::min<std::size_t>(bytes, std::size_t{view.count} * 4);
    std::memcpy(view.cells, data, size);
    // Bools stay 0 or 1 whatever the bytes said.
    for (std::uint32_t i = 0; i < (size + 3) / 4; ++i)
        if (view.TypeAt(i) == FxType::Bool)
            view.cells[i] = FxCell::FromInt(view.cells[i].bits != 0 ? 1 : 0);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetValue(D3DXHANDLE parameter, void* data, UINT bytes)
{
    NumberView view;
    if (!data || !ResolveNumbers(parameter, view))
        return D3DERR_INVALIDCALL;
    std::memcpy(data, view.readCells, std::min<std::size_t>(bytes, std::size_t{view.count} * 4));
    return S_OK;
}

// ---- Single numbers -----------------------------------------------------------------------------

HRESULT Effect::SetBool(D3DXHANDLE parameter, BOOL value)
{
    return SetInt(parameter, value != 0 ? 1 : 0);
}

HRESULT Effect::GetBool(D3DXHANDLE parameter, BOOL* value)
{
    std::int32_t number = 0;
    if (!value || FAILED(GetInt(parameter, &number)))
        return D3DERR_INVALIDCALL;
    *value = number != 0 ? 1 : 0;
    return S_OK;
}

HRESULT Effect::SetInt(D3DXHANDLE parameter, std::int32_t value)
{
    NumberView view;
    if (!ResolveNumbers(parameter, view) || !view.cells || !IsSingle(view))
        return D3DERR_INVALIDCALL;
    view.cells[0] = FxCellFromInt(view.TypeAt(0), value);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetInt(D3DXHANDLE parameter, std::int32_t* value)
{
    NumberView view;
    if (!value || !ResolveNumbers(parameter, view) || !IsSingle(view))
        return D3DERR_INVALIDCALL;
    *value = FxCellAsInt(view.TypeAt(0), view.readCells[0]);
    return S_OK;
}

HRESULT Effect::SetFloat(D3DXHANDLE parameter, float value)
{
    NumberView view;
    if (!ResolveNumbers(parameter, view) || !view.cells || !IsSingle(view))
        return D3DERR_INVALIDCALL;
    view.cells[0] = FxCellFromFloat(view.TypeAt(0), value);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetFloat(D3DXHANDLE parameter, float* value)
{
    NumberView view;
    if (!value || !ResolveNumbers(parameter, view) || !IsSingle(view))
        return D3DERR_INVALIDCALL;
    *value = FxCellAsFloat(view.TypeAt(0), view.readCells[0]);
    return S_OK;
}

// ---- Arrays of numbers --------------------------------------------------------------------------

HRESULT Effect::SetBoolArray(D3DXHANDLE parameter, const BOOL* values, UINT count)
{
    NumberView view;
    if (!values || !ResolveNumbers(parameter, view) || !view.cells)
        return D3DERR_INVALIDCALL;
    const std::uint32_t n = std::min<std::uint32_t>(count, view.count);
    for (std::uint32_t i = 0; i < n; ++i)
        view.cells[i] = FxCellFromInt(view.TypeAt(i), values[i] != 0 ? 1 : 0);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetBoolArray(D3DXHANDLE parameter, BOOL* values, UINT count)
{
    NumberView view;
    if (!values || !ResolveNumbers(parameter, view))
        return D3DERR_INVALIDCALL;
    const std::uint32_t n = std::min<std::uint32_t>(count, view.count);
    for (std::uint32_t i = 0; i < n; ++i)
        values[i] = FxCellAsInt(view.TypeAt(i), view.readCells[i]) != 0 ? 1 : 0;
    return S_OK;
}

HRESULT Effect::SetIntArray(D3DXHANDLE parameter, const std::int32_t* values, UINT count)
{
    NumberView view;
    if (!values || !ResolveNumbers(parameter, view) || !view.cells)
        return D3DERR_INVALIDCALL;
    const std::uint32_t n = std::min<std::uint32_t>(count, view.count);
    for (std::uint32_t i = 0; i < n; ++i)
        view.cells[i] = FxCellFromInt(view.TypeAt(i), values[i]);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetIntArray(D3DXHANDLE parameter, std::int32_t* values, UINT count)
{
    NumberView view;
    if (!values || !ResolveNumbers(parameter, view))
        return D3DERR_INVALIDCALL;
    const std::uint32_t n = std::min<std::uint32_t>(count, view.count);
    for (std::uint32_t i = 0; i < n; ++i)
        values[i] = FxCellAsInt(view.TypeAt(i), view.readCells[i]);
    return S_OK;
}

HRESULT Effect::SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count)
{
    NumberView view;
    if (!values || !ResolveNumbers(parameter, view) || !view.cells)
        return D3DERR_INVALIDCALL;
    const std::uint32_t n = std::min<std::uint32_t>(count, view.count);
    for (std::uint32_t i = 0; i < n; ++i)
        view.cells[i] = FxCellFromFloat(view.TypeAt(i), values[i]);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetFloatArray(D3DXHANDLE parameter, float* values, UINT count)
{
    NumberView view;
    if (!values || !ResolveNumbers(parameter, view))
        return D3DERR_INVALIDCALL;
    const std::uint32_t n = std::min<std::uint32_t>(count, view.count);
    for (std::uint32_t i = 0; i < n; ++i)
        values[i] = FxCellAsFloat(view.TypeAt(i), view.readCells[i]);
    return S_OK;
}

// ---- Vectors ------------------------------------------------------------------------------------

HRESULT Effect::SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector)
{
    NumberView view;
    if (!vector || !ResolveNumbers(parameter, view) || !view.cells || view.node->IsArray() ||
        !IsScalarOrVector(*view.node))
        return D3DERR_INVALIDCALL;
    const float v[4] = {vector->x, vector->y, vector->z, vector->w};
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(view.count, 4); ++i)
        view.cells[i] = FxCellFromFloat(view.TypeAt(i), v[i]);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector)
{
    NumberView view;
    if (!vector || !ResolveNumbers(parameter, view) ||
        (view.node && (view.node->IsArray() || !IsScalarOrVector(*view.node))))
        return D3DERR_INVALIDCALL;
    float v[4] = {0, 0, 0, 0};
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(view.count, 4); ++i)
        v[i] = FxCellAsFloat(view.TypeAt(i), view.readCells[i]);
    *vector = {v[0], v[1], v[2], v[3]};
    return S_OK;
}

HRESULT Effect::SetVectorArray(D3DXHANDLE parameter, const D3DXVECTOR4* vectors, UINT count)
{
    NumberView view;
    if (!vectors || !ResolveNumbers(parameter, view) || !view.cells || !IsScalarOrVector(*view.node) ||
        count == 0 || count > ElementsOf(*view.node))
        return D3DERR_INVALIDCALL;
    const auto columns = static_cast<std::uint32_t>(view.node->desc->columns);
    for (UINT e = 0; e < count; ++e)
    {
        const float v[4] = {vectors[e].x, vectors[e].y, vectors[e].z, vectors[e].w};
        for (std::uint32_t c = 0; c < columns && c < 4; ++c)
        {
            const std::uint32_t i = e * columns + c;
            view.cells[i] = FxCellFromFloat(view.TypeAt(i), v[c]);
        }
    }
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetVectorArray(D3DXHANDLE parameter, D3DXVECTOR4* vectors, UINT count)
{
    NumberView view;
    if (!vectors || !ResolveNumbers(parameter, view) || !view.node || !IsScalarOrVector(*view.node) ||
        count == 0 || count > ElementsOf(*view.node))
        return D3DERR_INVALIDCALL;
    const auto columns = static_cast<std::uint32_t>(view.node->desc->columns);
    for (UINT e = 0; e < count; ++e)
    {
        float v[4] = {0, 0, 0, 0};
        for (std::uint32_t c = 0; c < columns && c < 4; ++c)
        {
            const std::uint32_t i = e * columns + c;
            v[c] = FxCellAsFloat(view.TypeAt(i), view.readCells[i]);
        }
        vectors[e] = {v[0], v[1], v[2], v[3]};
    }
    return S_OK;
}

// ---- Matrices -----------------------------------------------------------------------------------

HRESULT Effect::SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix)
{
    return SetMatrixArray(parameter, matrix, 1);
}

HRESULT Effect::GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix)
{
    NumberView view;
    if (!matrix || !ResolveNumbers(parameter, view) || !view.node || !IsMatrix(*view.node) ||
        view.node->IsArray())
        return D3DERR_INVALIDCALL;
    std::memcpy(matrix->m, view.readCells, sizeof matrix->m);
    return S_OK;
}

HRESULT Effect::SetMatrixArray(D3DXHANDLE parameter, const D3DXMATRIX* matrices, UINT count)
{
    NumberView view;
    if (!matrices || !ResolveNumbers(parameter, view) || !view.cells || !IsMatrix(*view.node) || count == 0 ||
        count > ElementsOf(*view.node))
        return D3DERR_INVALIDCALL;
    static_assert(sizeof(D3DXMATRIX) == 16 * sizeof(FxCell), "a matrix is 16 cells");
    for (UINT e = 0; e < count; ++e)
        std::memcpy(view.cells + 16 * e, matrices[e].m, sizeof matrices[e].m);
    Changed(*view.node);
    return S_OK;
}

HRESULT Effect::GetMatrixArray(D3DXHANDLE parameter, D3DXMATRIX* matrices, UINT count)
{
    NumberView view;
    if (!matrices || !ResolveNumbers(parameter, view) || !view.node || !IsMatrix(*view.node) || count == 0 ||
        count > ElementsOf(*view.node))
        return D3DERR_INVALIDCALL;
    for (UINT e = 0; e < count; ++e)
        std::memcpy(matrices[e].m, view.readCells + 16 * e, sizeof matrices[e].m);
    return S_OK;
}

// ---- Strings and textures -----------------------------------------------------------------------

HRESULT Effect::GetString(D3DXHANDLE parameter, const char** text)
{
    const Target target = Resolve(parameter);
    if (!text || target.kind != Kind::Annotation || m_annotations[target.index]->type != FxType::String)
        return D3DERR_INVALIDCALL;
    *text = m_annotations[target.index]->text.c_str();
    return S_OK;
}

HRESULT Effect::SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture)
{
    const int index = ResolveParameter(parameter);
    if (index < 0 || m_nodes[static_cast<std::size_t>(index)].desc->type != FxType::Texture)
        return D3DERR_INVALIDCALL;
    const FxNode& node = m_nodes[static_cast<std::size_t>(index)];
    StoreOf(node.top).SetTexture(SlotOf(node.top), texture);
    return S_OK;
}

HRESULT Effect::GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture)
{
    const int index = ResolveParameter(parameter);
    if (!texture || index < 0 || m_nodes[static_cast<std::size_t>(index)].desc->type != FxType::Texture)
        return D3DERR_INVALIDCALL;
    const FxNode& node = m_nodes[static_cast<std::size_t>(index)];
    *texture = StoreOf(node.top).Texture(SlotOf(node.top));
    if (*texture)
        (*texture)->AddRef();
    return S_OK;
}
} // namespace plat::detail
