#include "engine/gfx/water/GfxWaterComp.h"

#include "common/Singleton.h"
#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Plane.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/ColorXml.h"
#include "engine/gfx/core/XmlReadNext.h"
#include "engine/gfx/water/CGfxPlanarWater.h"
#include "engine/gfx/water/CWaterManager.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
namespace
{
const char kModelName[] = "PlanarNoWaveWater";
const char kTechnique[] = "RenderPlanarWater";

// The floats of an element's children, by position, each into its field; a missing or
// unreadable child leaves its field.
void ReadFloats(const TiXmlNode* element, float* const* fields, std::size_t count)
{
    const TiXmlNode* child = XmlFirstChildElement(element);
    for (std::size_t i = 0; i < count && child; ++i, child = XmlNextSiblingElement(child))
        XmlReadFloat(child, fields[i]);
}

TiXmlElement* AddElement(TiXmlNode* parent, const char* type, const char* name)
{
    auto* element = new TiXmlElement(type);
    element->SetAttribute("name", name);
    parent->LinkEndChild(element);
    return element;
}

bool WriteRgba(TiXmlNode* parent, const float (&rgba)[4], const char* name)
{
    const plat::D3DXCOLOR color(rgba[0], rgba[1], rgba[2], rgba[3]);
    return WriteColor(parent, color, name);
}

void ReadRgba(const TiXmlNode* node, float (&rgba)[4])
{
    plat::D3DXCOLOR color(rgba[0], rgba[1], rgba[2], rgba[3]);
    if (!ReadColor(node, color))
        return;
    rgba[0] = color.r;
    rgba[1] = color.g;
    rgba[2] = color.b;
    rgba[3] = color.a;
}
} // namespace

GfxWaterComp::GfxWaterComp() = default;

GfxWaterComp::~GfxWaterComp()
{
    DestroyUnit();
}

bool GfxWaterComp::Serialize(TiXmlNode* parent)
{
    if (!parent || !parent->ToElement())
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    XmlWriteString(&element, m_FXFile, "FXFile");
    XmlWriteString(&element, m_Technique, "Technique");
    TiXmlNode* list = XmlWriteListElement(&element, "Textures", static_cast<int>(m_Textures.size()));
    // The stages as "enum" (WriteTextures writes "int").
    for (const TexturePair& texture : m_Textures)
    {
        TiXmlNode* pair = XmlWritePairElement(list, "Texture");
        XmlWriteEnum(pair, texture.first, "First");
        XmlWriteString(pair, texture.second, "Second");
    }
    WriteVisibilityFlags(&element);
    XmlWriteBool(&element, m_BuildBSPTree, "BuildBSPTree");
    XmlWriteEnum(&element, m_WaterType, "WaterType");
    if (m_WaterType == WATER_NoWaves)
    {
        const NoWaveInfo& still = m_NoWaveInfo;
        TiXmlElement* info = AddElement(&element, "WaterNoWaveInfo", "NoWaveInfo");
        XmlWriteFloat(info, still.bumpScale, "BumpScale");
        XmlWriteFloat(info, still.refUVDistortion, "RefUVDistortion");
        XmlWriteFloat(info, still.dir1X, "Dir1X");
        XmlWriteFloat(info, still.dir1Z, "Dir1Z");
        XmlWriteFloat(info, still.dir2X, "Dir2X");
        XmlWriteFloat(info, still.dir2Z, "Dir2Z");
        XmlWriteFloat(info, still.fresnelPower, "FresnelPower");
        XmlWriteFloat(info, still.fresnelBias, "FresnelBias");
    }
    else
    {
        WriteGrid(&element, m_Grid, "Grid");
        const WaveInfo& wave = m_WaveInfo;
        TiXmlElement* info = AddElement(&element, "WaterWaveInfo", "WaveInfo");
        const std::pair<const char*, float> before[] = {
            {"FreqMain", wave.freqMain},
            {"AmpMain", wave.ampMain},
            {"Freq1", wave.freq1},
            {"Amp1", wave.amp1},
            {"Phase1", wave.phase1},
            {"X1", wave.x1},
            {"Z1", wave.z1},
            {"Freq2", wave.freq2},
            {"Amp2", wave.amp2},
            {"Phase2", wave.phase2},
            {"X2", wave.x2},
            {"Z2", wave.z2},
            {"BumpHeight", wave.bumpHeight},
            {"BumpSpeedX", wave.bumpSpeedX},
            {"BumpSpeedZ", wave.bumpSpeedZ},
            {"RefUVDistortion", wave.refUVDistortion},
            {"TextScaleX", wave.textScaleX},
            {"TextScaleZ", wave.textScaleZ},
            {"HDRMultiplier", wave.hdrMultiplier},
            {"FresnelPower", wave.fresnelPower},
            {"FresnelBias", wave.fresnelBias},
        };
        for (const auto& value : before)
            XmlWriteFloat(info, value.second, value.first);
        WriteRgba(info, wave.shallowColor, "ShallowColor");
        WriteRgba(info, wave.deepColor, "DeepColor");
        XmlWriteFloat(info, wave.waterBlendWeight, "WaterBlendWeight");
    }
    return parent->InsertEndChild(element) != nullptr;
}

bool GfxWaterComp::Deserialize(const TiXmlNode* node)
{
    if (!node || !node->ToElement())
        return false;
    // By position, in the order written.
    const TiXmlNode* child = XmlFirstChildElement(node);
    child = ReadNext(child, &m_FXFile);
    child = ReadNext(child, &m_Technique);
    child = ReadNext(child, &m_Textures);
    child = ReadVisibilityFlags(child);
    child = ReadNext(child, &m_BuildBSPTree);
    child = ReadNext(child, &m_WaterType);
    if (!child)
        return true;
    if (m_WaterType == WATER_NoWaves)
    {
        NoWaveInfo& still = m_NoWaveInfo;
        float* const fields[] = {&still.bumpScale,    &still.refUVDistortion, &still.dir1X,
                                 &still.dir1Z,        &still.dir2X,           &still.dir2Z,
                                 &still.fresnelPower, &still.fresnelBias};
        ReadFloats(child, fields, std::size(fields));
        return true;
    }
    ReadGrid(child, m_Grid);
    child = XmlNextSiblingElement(child);
    if (!child)
        return true;
    WaveInfo& wave = m_WaveInfo;
    float* const before[] = {&wave.freqMain,
                             &wave.ampMain,
                             &wave.freq1,
                             &wave.amp1,
                             &wave.phase1,
                             &wave.x1,
                             &wave.z1,
                             &wave.freq2,
                             &wave.amp2,
                             &wave.phase2,
                             &wave.x2,
                             &wave.z2,
                             &wave.bumpHeight,
                             &wave.bumpSpeedX,
                             &wave.bumpSpeedZ,
                             &wave.refUVDistortion,
                             &wave.textScaleX,
                             &wave.textScaleZ,
                             &wave.hdrMultiplier,
                             &wave.fresnelPower,
                             &wave.fresnelBias};
    ReadFloats(child, before, std::size(before));
    // The two colours and the blend weight follow the floats.
    const TiXmlNode* rest = XmlFirstChildElement(child);
    for (std::size_t i = 0; i < std::size(before) && rest; ++i)
        rest = XmlNextSiblingElement(rest);
    if (rest)
        ReadRgba(rest, wave.shallowColor);
    rest = XmlNextSiblingElement(rest);
    if (rest)
        ReadRgba(rest, wave.deepColor);
    rest = XmlNextSiblingElement(rest);
    XmlReadFloat(rest, &wave.waterBlendWeight);
    return true;
}

bool GfxWaterComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    DestroyUnit();
    if (m_WaterType == WATER_None)
        return true;
    if (m_WaterType != WATER_Waves && m_WaterType != WATER_NoWaves)
    {
        DORVO_LOG("GfxWaterComp::Initialize: object \"%s\": water type %d is not one the engine draws (0 "
                  "with waves, 1 without, 3 none); the object has no water",
                  GetOwnerName().c_str(), m_WaterType);
        return true;
    }
    if (!GetPOVComp())
    {
        // The water is placed by the owner's transform: without one there is nowhere to draw it.
        DORVO_LOG(
            "GfxWaterComp::Initialize: template \"%s\": the object has no POVComp; its water is not drawn",
            owner ? owner->GetTemplateName().c_str() : "");
        return true;
    }
    CreateUnit();
    if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
        gfx->AddWaterUnit(m_pUnit.get());
    return true;
}

void GfxWaterComp::CreateUnit()
{
    POVComp* pov = GetPOVComp();
    m_pUnit = std::make_unique<CGfxPlanarWater>();
    m_Technique = kTechnique;
    pov->SetModelName(kModelName);
    CWaterManager::Instance().SetActiveWater(this);

    math::Sphere sphere = pov->GetLocalBoundingSphere();
    math::AABB box = pov->GetLocalBoundingBox();
    m_pUnit->Build(this, &sphere, &box, m_BuildBSPTree);
    pov->SetBoundingSphere(sphere);
    pov->SetBoundingBox(box);
    LoadTexturesInto(*m_pUnit, kTypeName, GetOwnerName());
}

void GfxWaterComp::DestroyUnit()
{
    // Without its unit the component has no plane, so the manager must not keep it as the
    // active water (nor keep a component that is gone).
    if (common::Singleton<CWaterManager>::Exists())
        CWaterManager::Instance().ForgetWater(this);
    if (!m_pUnit)
        return;
    if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
        gfx->RemoveWaterUnit(m_pUnit.get());
    m_pUnit.reset();
}

bool GfxWaterComp::GetWaterPlane(math::Plane& plane) const
{
    if (!m_pUnit)
        return false;
    plane = m_pUnit->GetWaterPlane();
    return true;
}
} // namespace gfx
} // namespace dorvo
