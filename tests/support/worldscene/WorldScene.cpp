#include "WorldScene.h"

#include "common/COctTree.h"
#include "common/XmlFile.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "platform/files.h"

#include <tinyxml.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

#include <unistd.h>

namespace worldscene
{
namespace
{
constexpr float kPi = 3.14159265f;

bool ReadNumbers(const char* text, float* out, int count)
{
    if (!text)
        return false;
    std::istringstream in(text);
    for (int i = 0; i < count; ++i)
        if (!(in >> out[i]))
            return false;
    return true;
}

bool ReadVector(const TiXmlElement& element, const char* name, math::Vector3& out)
{
    float v[3];
    if (!ReadNumbers(element.Attribute(name), v, 3))
        return false;
    out = math::Vector3(v[0], v[1], v[2]);
    return true;
}

// Template files already loaded in this process (the GobManager keeps their first load).
std::set<std::string>& LoadedTemplates()
{
    static std::set<std::string> loaded;
    return loaded;
}
} // namespace

dorvo::SEngineConfigInfo SceneConfig(unsigned width, unsigned height)
{
    const std::string data = std::string(DORVO_SOURCE_DIR) + "/data/";
    dorvo::SEngineConfigInfo config;
    config.useDefaults = false;
    config.screenWidth = static_cast<int>(width);
    config.screenHeight = static_cast<int>(height);
    config.deviceOption = false;
    config.meshPath = data + "meshes/";
    config.texturePath = data + "textures/";
    config.fxPath = data + "fx/";
    config.fxFiles = {"TextureMapping.fx",        "PickedEffect.fx", "Glow.fx",     "AnimatedGlow.fx",
                      "TextureMappingNoLight.fx", "Terrain.fx",      "Membrane.fx", "Water2.fx"};
    dorvo::SEngineLight light;
    light.index = 0;
    light.light.Type = plat::D3DLIGHT_DIRECTIONAL;
    light.light.Ambient = {0.35f, 0.35f, 0.4f, 1.0f};
    light.light.Diffuse = {0.9f, 0.88f, 0.8f, 1.0f};
    light.light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    light.light.Direction = {-0.4f, -1.0f, 0.6f};
    config.lights.push_back(light);
    return config;
}

WorldScene::WorldScene() = default;

WorldScene::~WorldScene()
{
    Destroy();
}

bool WorldScene::Load(const std::string& sceneFile)
{
    m_templates.clear();
    m_objects.clear();
    TiXmlDocument document;
    if (!XmlLoadFile(sceneFile, document, m_error))
        return false;
    const TiXmlElement* root = document.FirstChildElement("Scene");
    if (!root)
    {
        m_error = sceneFile + ": no \"Scene\" root element";
        return false;
    }
    m_folder = std::filesystem::path(sceneFile).parent_path().string() + "/";
    for (const TiXmlElement* element = root->FirstChildElement(); element;
         element = element->NextSiblingElement())
    {
        const std::string kind = element->ValueStr();
        const std::string where = sceneFile + ":" + std::to_string(element->Row()) + ": ";
        if (kind == "Template")
        {
            const char* file = element->Attribute("file");
            if (!file)
            {
                m_error = where + "a Template without a file";
                return false;
            }
            m_templates.push_back(std::filesystem::path(file).is_absolute() ? std::string(file)
                                                                            : m_folder + file);
        }
        else if (kind == "Object")
        {
            SceneObject object;
            const char* archetype = element->Attribute("archetype");
            if (!archetype)
            {
                m_error = where + "an Object without an archetype";
                return false;
            }
            object.archetype = archetype;
            if (const char* name = element->Attribute("name"))
                object.name = name;
            bool ok = true;
            if (element->Attribute("position"))
                ok = ReadVector(*element, "position", object.position) && ok;
            if (element->Attribute("scale"))
                ok = ReadVector(*element, "scale", object.scale) && ok;
            float q[4];
            if (element->Attribute("orientation"))
            {
                ok = ReadNumbers(element->Attribute("orientation"), q, 4) && ok;
                object.orientation = math::Quaternion(q[0], q[1], q[2], q[3]);
            }
            else if (element->Attribute("yaw"))
            {
                ok = ReadNumbers(element->Attribute("yaw"), q, 1) && ok;
                const float half = q[0] * kPi / 360.0f;
                object.orientation = math::Quaternion(std::cos(half), 0.0f, std::sin(half), 0.0f);
            }
            if (!ok)
            {
                m_error = where + "an Object with a value that is not three (or four) numbers";
                return false;
            }
            m_objects.push_back(object);
        }
        else if (kind == "Camera")
        {
            float fov = 45.0f;
            if (!ReadVector(*element, "eye", m_eye) || !ReadVector(*element, "lookAt", m_lookAt) ||
                (element->Attribute("fov") && !ReadNumbers(element->Attribute("fov"), &fov, 1)))
            {
                m_error = where + "a Camera needs an eye and a lookAt of three numbers each";
                return false;
            }
            m_fieldOfView = fov * kPi / 180.0f;
        }
        else
        {
            m_error = where + "\"" + kind + "\" is not a part of a scene";
            return false;
        }
    }
    return true;
}

bool WorldScene::LoadTemplate(const std::string& file)
{
    const std::string full = std::filesystem::absolute(file).lexically_normal().string();
    if (LoadedTemplates().count(full))
        return true;
    // The template's archetype files are named relative to it; the GobManager opens them from
    // the working folder, so they are made absolute in a copy.
    TiXmlDocument document;
    if (!XmlLoadFile(full, document, m_error))
        return false;
    const std::string folder = std::filesystem::path(full).parent_path().string() + "/";
    // The archetypes are read from there, outside any run folder.
    plat::AllowDataFolder(folder);
    TiXmlElement* root = document.FirstChildElement("File");
    for (TiXmlElement* tmpl = root ? root->FirstChildElement("Template") : nullptr; tmpl;
         tmpl = tmpl->NextSiblingElement("Template"))
        for (TiXmlElement* list = tmpl->FirstChildElement("list"); list;
             list = list->NextSiblingElement("list"))
        {
            if (list->Attribute("name") == nullptr || std::string(list->Attribute("name")) != "Archetypes")
                continue;
            for (TiXmlElement* pair = list->FirstChildElement("pair"); pair;
                 pair = pair->NextSiblingElement("pair"))
            {
                TiXmlElement* second = pair->FirstChildElement("string");
                second = second ? second->NextSiblingElement("string") : nullptr;
                if (second && second->GetText() && std::filesystem::path(second->GetText()).is_relative())
                {
                    const std::string path = folder + second->GetText();
                    second->Clear();
                    second->LinkEndChild(new TiXmlText(path));
                }
            }
        }
    // The process id keeps test processes running side by side from writing and removing
    // each other's copy.
    const std::string copy =
        (std::filesystem::temp_directory_path() /
         ("dorvo_scene_" + std::to_string(::getpid()) + "_" + std::to_string(LoadedTemplates().size()) + "_" +
          std::filesystem::path(full).filename().string()))
            .string();
    if (!document.SaveFile(copy))
    {
        m_error = copy + ": the template copy could not be written";
        return false;
    }
    GobManager::Instance().LoadTemplate(copy);
    std::remove(copy.c_str());
    LoadedTemplates().insert(full);
    return true;
}

bool WorldScene::Build(unsigned width, unsigned height)
{
    Destroy();
    RegisterCoreComponentTypes();
    dorvo::gfx::CDorvoGfx::Instance().RegisterComponentCreators();
    common::COctTree& tree = common::COctTree::Global();
    if (!tree.GetRoot())
        tree.Rebuild();
    for (const std::string& file : m_templates)
        if (!LoadTemplate(file))
            return false;
    GobManager& manager = GobManager::Instance();
    for (const SceneObject& object : m_objects)
    {
        Gob* gob = manager.CreateGob(object.archetype);
        if (!gob)
        {
            m_error = "no template or archetype \"" + object.archetype + "\"";
            return false;
        }
        if (POVComp* pov = GetPOVComp(gob))
        {
            pov->SetScale(object.scale, false);
            pov->SetOrientation(object.orientation, false);
            pov->SetPosition(object.position, true);
        }
        if (!object.name.empty())
        {
            gob->SetName(object.name);
            manager.RegisterName(gob);
        }
        m_gobs.push_back(gob);
    }
    m_pCamera = std::make_unique<dorvo::CDorvoCamera>(boost::shared_ptr<dorvo::phy::CRigidBody>());
    m_pCamera->SetPosition(m_eye.x, m_eye.y, m_eye.z);
    m_pCamera->SetLookAt(m_lookAt);
    m_pCamera->SetProjection(m_fieldOfView, static_cast<float>(width) / static_cast<float>(height), 0.5f,
                             200.0f);
    ApplyCamera();
    return true;
}

void WorldScene::ApplyCamera()
{
    if (m_pCamera)
        dorvo::gfx::CGFXCore::Instance().SetViewCamera(*m_pCamera, 0);
}

void WorldScene::Frame(double time, float dt)
{
    GobManager::Instance().Update(dt);
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    gfx.Update(time, dt);
    ApplyCamera();
    gfx.RenderFrame(time, dt);
}

Gob* WorldScene::Find(const std::string& name) const
{
    for (std::size_t i = 0; i < m_objects.size() && i < m_gobs.size(); ++i)
        if (m_objects[i].name == name)
            return m_gobs[i];
    return nullptr;
}

void WorldScene::Destroy()
{
    if (!m_gobs.empty())
        GobManager::Instance().DestroyAllGobs();
    m_gobs.clear();
}
} // namespace worldscene
