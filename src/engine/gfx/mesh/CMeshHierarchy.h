// A loaded mesh: its bone tree, its meshes merged into one vertex and index array with a copy on
// the device, its shadow set, its materials in file order and its skin weights. The hierarchy
// owns every bone and skin-weight record; the system-memory arrays stay for the life of the
// mesh so the device copies can be made again after a reset. The loader builds it; units read it.
#pragma once

#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/core/SMaterial.h"
#include "engine/gfx/core/SVRenderBuffers.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CBone;
class CSkinWeightsInfo;

class CMeshHierarchy
{
public:
    CMeshHierarchy();
    virtual ~CMeshHierarchy();

    CMeshHierarchy(const CMeshHierarchy&) = delete;
    CMeshHierarchy& operator=(const CMeshHierarchy&) = delete;

    // Whether merging puts the shadow set on the device too; never for a plain mesh.
    virtual bool UploadsShadowSet() const { return false; }

    // ---- Bones ----
    // The first bone of that name in file order; null when none has it.
    CBone* GetBone(const std::string& name) const;
    // The last top-level frame of the file; the earlier ones follow it as its next siblings.
    CBone* GetRoot() const { return m_pRoot; }
    void SetRoot(CBone* root) { m_pRoot = root; }
    // Every bone, in palette order (bone i has index i): a palette needs GetBoneCount() slots.
    const std::vector<std::unique_ptr<CBone>>& GetBones() const { return m_bones; }
    unsigned GetBoneCount() const { return static_cast<unsigned>(m_bones.size()); }
    // The first bone of each name, by name.
    const std::map<std::string, CBone*>& GetBoneMap() const { return m_boneMap; }
    // Takes the bone. False when an earlier bone has its name: both are kept, lookups find the
    // earlier one.
    bool AddBone(std::unique_ptr<CBone> bone);

    // ---- Materials, in file order ----
    const std::vector<SMaterial>& GetMaterials() const { return m_materials; }
    void AddMaterial(const SMaterial& material) { m_materials.push_back(material); }

    // ---- Skin weights ----
    // The records of the skinned mesh held by the bone of that name, in file order; null when
    // it has none.
    const std::vector<CSkinWeightsInfo*>* GetSkinWeights(const std::string& meshBoneName) const;
    // Takes the record, filed under the name of its mesh bone (which it must name), and marks
    // that bone skinned.
    void AddSkinWeights(std::unique_ptr<CSkinWeightsInfo> info);
    // Destroys the record; its mesh bone counts as skinned only while it has records left.
    void RemoveSkinWeights(const CSkinWeightsInfo* info);
    // Once, before merging: each record's offset matrix goes to the bone it names, and each of
    // its vertices takes that bone and the weight while it has fewer than four influences
    // (mesh bones in name order, records in file order; later influences are dropped). Every
    // record must name a bone of the hierarchy.
    void ApplySkinWeights();

    // ---- Buffers ----
    // Once, after the skin weights. A skinned bone (the first by name) gives the merged arrays
    // alone, keeping its own (the other bones' meshes are dropped); otherwise every bone's arrays are
    // appended in name order, their indices raised by the vertices before them, and the bones' own arrays
    // freed. Then the normals and tangent frames, and the device copies. Each bone learns its ranges. False
    // when a device copy could not be made (the arrays are merged all the same).
    bool MergeBuffers();
    const GfxRenderBuffers& GetBuffers() const { return m_buffers; }
    const D3DRenderBuffers& GetDeviceBuffers() const { return m_deviceBuffers; }
    D3DRenderBuffers& GetDeviceBuffers() { return m_deviceBuffers; }
    const SVRenderBuffers& GetShadowBuffers() const { return m_shadowBuffers; }
    const D3DRenderBuffers& GetShadowDeviceBuffers() const { return m_shadowDeviceBuffers; }
    D3DRenderBuffers& GetShadowDeviceBuffers() { return m_shadowDeviceBuffers; }

    // Around a device reset: the device copies are let go, and made and filled again from the
    // arrays kept in memory (those that had been made before).
    void OnLostDevice();
    bool OnResetDevice();

private:
    // Every bone sorted by name, bones of one name in file order.
    std::vector<CBone*> BonesByName() const;
    bool MakeDeviceCopy(D3DRenderBuffers& device, const GfxRenderBuffers* buffers,
                        const SVRenderBuffers* shadow);

    std::vector<std::unique_ptr<CBone>> m_bones;
    std::map<std::string, CBone*> m_boneMap;
    CBone* m_pRoot = nullptr;
    GfxRenderBuffers m_buffers;
    D3DRenderBuffers m_deviceBuffers;
    SVRenderBuffers m_shadowBuffers;
    D3DRenderBuffers m_shadowDeviceBuffers;
    std::vector<SMaterial> m_materials;
    std::vector<std::unique_ptr<CSkinWeightsInfo>> m_skinWeightRecords;
    std::map<std::string, std::vector<CSkinWeightsInfo*>> m_skinWeights;
};
} // namespace gfx
} // namespace dorvo
