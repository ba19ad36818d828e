#include "game/CEngineLoader.h"

#include "platform/files.h"

#include <tinyxml.h>

#include <cstdio>

namespace QUORB
{
namespace
{
void ReadText(const TiXmlElement* parent, const char* name, std::string& out)
{
    const TiXmlElement* e = parent ? parent->FirstChildElement(name) : nullptr;
    if (e && e->GetText())
        out = e->GetText();
}

// Exactly "true" is true; any other text is false. A missing element keeps the value.
void ReadFlag(const TiXmlElement* parent, const char* name, bool& out)
{
    const TiXmlElement* e = parent ? parent->FirstChildElement(name) : nullptr;
    if (e)
        out = e->GetText() && std::string(e->GetText()) == "true";
}

void ReadFloat(const TiXmlElement* e, const char* attribute, float& out)
{
    double v;
    if (e && e->QueryDoubleAttribute(attribute, &v) == TIXML_SUCCESS)
        out = static_cast<float>(v);
}

void ReadFileList(const TiXmlElement* parent, const char* name, std::vector<std::string>& out)
{
    const TiXmlElement* list = parent ? parent->FirstChildElement(name) : nullptr;
    if (!list || !list->FirstChild() || !list->FirstChild()->ToElement())
        return;
    for (const TiXmlElement* e = list->FirstChild()->ToElement(); e; e = e->NextSiblingElement())
        out.push_back(e->GetText() ? e->GetText() : "");
}

void ReadColor(const TiXmlElement* parent, const char* name, plat::D3DCOLORVALUE& c)
{
    const TiXmlElement* e = parent->FirstChildElement(name);
    ReadFloat(e, "r", c.r);
    ReadFloat(e, "g", c.g);
    ReadFloat(e, "b", c.b);
    c.a = 1.0f;
}

void ReadVector(const TiXmlElement* parent, const char* name, plat::D3DVECTOR& v)
{
    const TiXmlElement* e = parent->FirstChildElement(name);
    ReadFloat(e, "x", v.x);
    ReadFloat(e, "y", v.y);
    ReadFloat(e, "z", v.z);
}

dorvo::SEngineLight ReadLight(const TiXmlElement* l)
{
    dorvo::SEngineLight record;
    plat::D3DLIGHT9& light = record.light;
    std::string type;
    ReadText(l, "Type", type);
    light.Type = type == "directional" ? plat::D3DLIGHT_DIRECTIONAL
                 : type == "point"     ? plat::D3DLIGHT_POINT
                                       : plat::D3DLIGHT_SPOT;
    ReadColor(l, "Ambient", light.Ambient);
    ReadColor(l, "Diffuse", light.Diffuse);
    ReadColor(l, "Specular", light.Specular);
    if (light.Type == plat::D3DLIGHT_POINT)
    {
        ReadVector(l, "Position", light.Position);
        ReadFloat(l->FirstChildElement("Range"), "r", light.Range);
        const TiXmlElement* att = l->FirstChildElement("Attenuation");
        ReadFloat(att, "a0", light.Attenuation0);
        ReadFloat(att, "a1", light.Attenuation1);
        ReadFloat(att, "a2", light.Attenuation2);
    }
    else if (light.Type == plat::D3DLIGHT_DIRECTIONAL)
        ReadVector(l, "Direction", light.Direction);
    record.index = 0;
    return record;
}
} // namespace

void CEngineLoader::Load(const std::string& fileName)
{
    std::FILE* file = plat::OpenFile(fileName, "rb");
    if (!file)
        return;
    TiXmlDocument doc;
    bool parsed = doc.LoadFile(file);
    std::fclose(file);
    if (!parsed)
    {
        std::fprintf(stderr, "%s: not read: %s (line %d)\n", fileName.c_str(), doc.ErrorDesc(),
                     doc.ErrorRow());
        return;
    }
    const TiXmlElement* root = doc.FirstChildElement("EngineConfig");
    if (!root)
    {
        std::fprintf(stderr, "%s: not read: no \"EngineConfig\" element\n", fileName.c_str());
        return;
    }
    LoadGraphics(root->FirstChildElement("Graphics"));
    LoadSounds(root->FirstChildElement("Sounds"));
}

void CEngineLoader::LoadGraphics(const TiXmlElement* g)
{
    if (!g)
        return;
    dorvo::SEngineConfigInfo& info = m_data;
    ReadText(g, "TextureRelativePath", info.texturePath);
    ReadText(g, "MeshRelativePath", info.meshPath);
    ReadText(g, "FXRelativePath", info.fxPath);
    ReadFlag(g, "FullScreen", info.fullScreen);
    if (const TiXmlElement* dim = g->FirstChildElement("ScreenDimension"))
    {
        // A size that is not a positive number keeps the one already there.
        int w, h;
        if (dim->QueryIntAttribute("sw", &w) == TIXML_SUCCESS && w > 0)
            info.screenWidth = w;
        if (dim->QueryIntAttribute("sh", &h) == TIXML_SUCCESS && h > 0)
            info.screenHeight = h;
    }
    ReadFlag(g, "Wireframe", info.wireframe);
    info.useDefaults = false;

    if (const TiXmlElement* fog = g->FirstChildElement("Fog"))
    {
        const TiXmlElement* range = fog->FirstChildElement("Range");
        ReadFloat(range, "start", info.fogStart);
        ReadFloat(range, "end", info.fogEnd);
        ReadFloat(fog->FirstChildElement("Density"), "d", info.fogDensity);
        const TiXmlElement* color = fog->FirstChildElement("Color");
        ReadFloat(color, "a", info.fogColor[3]);
        ReadFloat(color, "r", info.fogColor[0]);
        ReadFloat(color, "g", info.fogColor[1]);
        ReadFloat(color, "b", info.fogColor[2]);
    }
    ReadFileList(g, "FXFiles", info.fxFiles);
    ReadFileList(g, "PostProcessFXFiles", info.postProcessFxFiles);
    if (const TiXmlElement* light = g->FirstChildElement("Light"))
        info.lights.push_back(ReadLight(light));
}

void CEngineLoader::LoadSounds(const TiXmlElement* sounds)
{
    ReadText(sounds, "SoundsRelativePath", m_data.soundsPath);
}
} // namespace QUORB
