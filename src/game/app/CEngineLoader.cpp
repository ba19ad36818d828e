#include "game/app/CEngineLoader.h"

#include "common/XmlFile.h"
#include "game/app/StartupGlobals.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace QUORB
{
namespace
{
// Window sizes a device can be asked for, in pixels, each side.
constexpr int kMaxScreenSide = 8192;

// The file being read: bad values are reported with its name, one line each, and the field
// keeps what it had.
std::string s_fileName;

void Report(const std::string& what)
{
    DORVO_LOG("CEngineLoader::Load: %s: %s", s_fileName.c_str(), what.c_str());
}

std::string Where(const TiXmlElement* e, const char* attribute)
{
    return "<" + e->ValueStr() + "> \"" + attribute + "\" (line " + std::to_string(e->Row()) + ")";
}

void ReadText(const TiXmlElement* parent, const char* name, std::string& out)
{
    const TiXmlElement* e = parent ? parent->FirstChildElement(name) : nullptr;
    if (e && e->GetText())
        out = e->GetText();
}

// A value quoted for a line, cut short when long.
std::string Quoted(const std::string& text)
{
    constexpr std::size_t kShown = 64;
    return "\"" + (text.size() <= kShown ? text : text.substr(0, kShown) + "...") + "\"";
}

// A folder element: its text when that is a usable folder (StartupGlobals::MissingFolderFault);
// otherwise the field keeps its value, the shipped folder, and one line says why. A missing
// element is only listed in `missing`, said in one line for the whole file.
void ReadFolder(const TiXmlElement* parent, const char* name, std::string& out, std::string& missing)
{
    const TiXmlElement* e = parent ? parent->FirstChildElement(name) : nullptr;
    const char* text = e ? e->GetText() : nullptr;
    if (!text || !*text)
    {
        missing += std::string(missing.empty() ? "" : ", ") + "<" + name + ">";
        return;
    }
    const std::string fault = StartupGlobals::MissingFolderFault(text, out);
    if (!fault.empty())
    {
        Report("<" + std::string(name) + "> (line " + std::to_string(e->Row()) + ") " + Quoted(text) + " " +
               fault + "; the built-in " + Quoted(out) + " is used");
        return;
    }
    out = text;
}

// Exactly "true" is true; any other text is false. A missing element keeps the value.
void ReadFlag(const TiXmlElement* parent, const char* name, bool& out)
{
    const TiXmlElement* e = parent ? parent->FirstChildElement(name) : nullptr;
    if (e)
        out = e->GetText() && std::string(e->GetText()) == "true";
}

bool IsBlankText(const char* text)
{
    for (; *text; ++text)
        if (!std::isspace(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

// A number attribute within float range replaces the field. Anything else present (not a
// number, "nan", "inf", 1e300) is reported and the field kept.
void ReadFloat(const TiXmlElement* e, const char* attribute, float& out)
{
    const char* text = e ? e->Attribute(attribute) : nullptr;
    if (!text)
        return;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || !IsBlankText(end) || !std::isfinite(v) || std::fabs(v) > FLT_MAX)
    {
        Report(Where(e, attribute) + " = \"" + text + "\" is not a finite number; the value is kept");
        return;
    }
    out = static_cast<float>(v);
}

// A whole number attribute; false when present but not one (reported by the caller).
bool ReadInt(const TiXmlElement* e, const char* attribute, int& out, bool& present)
{
    const char* text = e->Attribute(attribute);
    present = text != nullptr;
    if (!text)
        return true;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || !IsBlankText(end) || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

void ReadScreenSize(const TiXmlElement* dim, dorvo::SEngineConfigInfo& info)
{
    // The two sides are one setting: a side a device cannot make keeps both.
    int w = info.screenWidth, h = info.screenHeight;
    bool hasW = false, hasH = false;
    const bool numbers = ReadInt(dim, "sw", w, hasW) && ReadInt(dim, "sh", h, hasH);
    if (!hasW && !hasH)
        return;
    if (!numbers || w < 1 || w > kMaxScreenSide || h < 1 || h > kMaxScreenSide)
    {
        const char* sw = dim->Attribute("sw");
        const char* sh = dim->Attribute("sh");
        Report("<ScreenDimension> (line " + std::to_string(dim->Row()) + ") sw=\"" + (sw ? sw : "") +
               "\" sh=\"" + (sh ? sh : "") + "\" is not a window size (1 to " +
               std::to_string(kMaxScreenSide) + " pixels a side); " + std::to_string(info.screenWidth) +
               " x " + std::to_string(info.screenHeight) + " is kept");
        return;
    }
    info.screenWidth = w;
    info.screenHeight = h;
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

dorvo::SEngineConfigInfo CEngineLoader::Shipped()
{
    dorvo::SEngineConfigInfo info;
    info.useDefaults = false;
    info.texturePath = "../../../../data/textures/";
    info.meshPath = "../../../../data/meshes/";
    info.fxPath = "../../../../data/fx/";
    info.soundsPath = "../../../../data/sounds/";
    info.fullScreen = false;
    info.screenWidth = 800;
    info.screenHeight = 600;
    info.wireframe = false;
    info.fogStart = 200.0f;
    info.fogEnd = 600.0f;
    info.fogDensity = 0.002f;
    info.fogColor[0] = 0.55f;
    info.fogColor[1] = 0.6f;
    info.fogColor[2] = 0.7f;
    info.fogColor[3] = 1.0f;
    info.fxFiles = {
        "TextureMapping.fx", "PickedEffect.fx", "Glow.fx",     "AnimatedGlow.fx", "TextureMappingNoLight.fx",
        "Particle.fx",       "Terrain.fx",      "Membrane.fx", "Water2.fx"};
    dorvo::SEngineLight light;
    light.light.Type = plat::D3DLIGHT_DIRECTIONAL;
    light.light.Ambient = {0.35f, 0.35f, 0.4f, 1.0f};
    light.light.Diffuse = {0.9f, 0.88f, 0.8f, 1.0f};
    light.light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    light.light.Direction = {-0.4f, -1.0f, 0.6f};
    light.index = 0;
    info.lights.push_back(light);
    return info;
}

CEngineLoader::CEngineLoader()
{
    m_data = Shipped();
    // No file yet: the window fields are graphics' own defaults, and the lists wait for a file.
    m_data.useDefaults = true;
    m_data.fxFiles.clear();
    m_data.lights.clear();
}

void CEngineLoader::Load(const std::string& fileName)
{
    s_fileName = fileName;
    TiXmlDocument doc;
    std::string error;
    if (!XmlLoadFile(fileName, doc, error))
    {
        DORVO_LOG("CEngineLoader::Load: %s; the built-in configuration is used", error.c_str());
        FillFromShipped();
        return;
    }
    const TiXmlElement* root = doc.FirstChildElement("EngineConfig");
    if (!root)
    {
        Report("no \"EngineConfig\" element; the built-in configuration is used");
        FillFromShipped();
        return;
    }
    const TiXmlElement* graphics = root->FirstChildElement("Graphics");
    if (!graphics)
        Report("no \"Graphics\" element; the built-in graphics configuration is used");
    LoadGraphics(graphics);
    LoadSounds(root->FirstChildElement("Sounds"));
    FillFromShipped();
}

void CEngineLoader::FillFromShipped()
{
    const dorvo::SEngineConfigInfo shipped = Shipped();
    if (m_data.fxFiles.empty())
        m_data.fxFiles = shipped.fxFiles;
    if (m_data.lights.empty())
        m_data.lights = shipped.lights;
}

void CEngineLoader::LoadGraphics(const TiXmlElement* g)
{
    if (!g)
        return;
    dorvo::SEngineConfigInfo& info = m_data;
    std::string missing;
    ReadFolder(g, "TextureRelativePath", info.texturePath, missing);
    ReadFolder(g, "MeshRelativePath", info.meshPath, missing);
    ReadFolder(g, "FXRelativePath", info.fxPath, missing);
    ReadFlag(g, "FullScreen", info.fullScreen);
    if (const TiXmlElement* dim = g->FirstChildElement("ScreenDimension"))
        ReadScreenSize(dim, info);
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
    const std::size_t effects = info.fxFiles.size();
    ReadFileList(g, "FXFiles", info.fxFiles);
    if (info.fxFiles.size() == effects)
        missing += std::string(missing.empty() ? "" : ", ") + "<FXFiles> entries";
    ReadFileList(g, "PostProcessFXFiles", info.postProcessFxFiles);
    if (const TiXmlElement* light = g->FirstChildElement("Light"))
        info.lights.push_back(ReadLight(light));
    else
        missing += std::string(missing.empty() ? "" : ", ") + "<Light>";
    if (!missing.empty())
        Report("no " + missing + " under <Graphics>; the built-in values are used");
}

void CEngineLoader::LoadSounds(const TiXmlElement* sounds)
{
    std::string missing;
    ReadFolder(sounds, "SoundsRelativePath", m_data.soundsPath, missing);
}
} // namespace QUORB
