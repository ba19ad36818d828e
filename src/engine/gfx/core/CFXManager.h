// The effect manager: owns every scene effect, all made into one effect pool so that a value
// several effects share (camera, light, fog, time) is set once for all of them. The shared
// values are written through handles taken from "Dummy.fx", a file that exists only to declare
// them; the device core writes them through this manager (it is the core's shared-parameter
// target while it holds an effect pool). For every effect the manager keeps the parameter
// handles in the order its file name fixes, so the device core can bind by index.
#pragma once

#include "engine/gfx/core/FXHandleTable.h"
#include "engine/gfx/core/ISharedEffectParameters.h"
#include "platform/d3dx9.h"

#include <map>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CFXManager : public ISharedEffectParameters
{
public:
    // The file of the shared parameters, in the effects folder.
    static constexpr char kSharedEffectFile[] = "Dummy.fx";

    // The one manager of the program, made on first use.
    static CFXManager& Instance();

    CFXManager() = default;
    // Release.
    ~CFXManager() override;

    CFXManager(const CFXManager&) = delete;
    CFXManager& operator=(const CFXManager&) = delete;

    // Lets go of what it held, makes the effect pool on the device core's device and the
    // shared-parameter effect from folder + "Dummy.fx", takes the shared handles and becomes
    // the core's shared-parameter target. False, with one line naming the file, when Dummy.fx
    // does not load: the shared handles are then null and the shared values reach no effect.
    bool Create(const std::string& effectFolder);

    // Makes each listed file (from the effects folder) into the pool with its handle table, in
    // list order. A name already loaded keeps its first effect; a file that fails to load is
    // reported with the compiler's text and left out.
    void LoadEffects(const std::vector<std::string>& fileNames);

    // The effect of that file becomes the current one (a reference held) with its handle
    // table; an unknown name leaves none current. Returns the current effect.
    plat::ID3DXEffect* SelectEffect(const std::string& fileName);
    plat::ID3DXEffect* GetCurrentEffect() const { return m_pCurrentEffect; }
    // Null when no effect is current.
    const FXHandleTable* GetCurrentHandles() const { return m_pCurrentHandles; }

    // A loaded effect and its table by file name; null when it is not loaded.
    plat::ID3DXEffect* GetEffect(const std::string& fileName) const;
    const FXHandleTable* GetHandles(const std::string& fileName) const;
    std::size_t GetEffectCount() const { return m_effects.size(); }

    plat::ID3DXEffect* GetSharedEffect() const { return m_pSharedEffect; }
    // In ESharedParameter order; empty before Create.
    const FXHandleTable& GetSharedHandles() const { return m_sharedHandles; }
    plat::ID3DXEffectPool* GetPool() const { return m_pPool; }

    // Would copy the shared values into an effect outside the pool. Every scene effect is in
    // the pool, which already shares them, so there is nothing to do.
    void SetSharedParameters(plat::ID3DXEffect* effect);

    // Forwarded to every loaded effect in file-name order (not to the shared-parameter effect).
    void OnLostDevice();
    void OnResetDevice();

    // Releases every effect, the current one, the shared-parameter effect and the pool, and
    // stops being the device core's shared-parameter target.
    void Release();

    // ISharedEffectParameters: written into the pool through the shared-parameter effect;
    // nothing happens while it is missing.
    void SetMatrix(ESharedParameter parameter, const plat::D3DXMATRIX& value) override;
    void SetInt(ESharedParameter parameter, int value) override;
    void SetFloat(ESharedParameter parameter, float value) override;
    void SetFloatArray(ESharedParameter parameter, const float* values, unsigned count) override;

    // The handles of a file's table, in order: the common eleven, then the file's own.
    static FXHandleTable BuildHandleTable(plat::ID3DXEffect* effect, const std::string& fileName);

private:
    struct SEffectRecord
    {
        plat::ID3DXEffect* effect = nullptr; // one reference owned
        FXHandleTable handles;
    };

    plat::D3DXHANDLE SharedHandle(ESharedParameter parameter) const;

    // By file name; std::map keeps the records (and so the current table) in place.
    std::map<std::string, SEffectRecord> m_effects;
    plat::ID3DXEffect* m_pCurrentEffect = nullptr; // one reference held
    const FXHandleTable* m_pCurrentHandles = nullptr;
    plat::ID3DXEffect* m_pSharedEffect = nullptr; // one reference owned
    FXHandleTable m_sharedHandles;
    plat::ID3DXEffectPool* m_pPool = nullptr; // one reference owned
    std::string m_effectFolder;
};
} // namespace gfx
} // namespace dorvo
