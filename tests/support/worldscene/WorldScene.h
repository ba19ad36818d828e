// A 3D scene for the graphics tests and the frame benchmark, built the way the game builds its
// rooms: template files (their archetype files found beside them) loaded through the
// GobManager, objects made from archetypes and placed, and an engine camera handed to
// viewport 0 before every frame. A scene file reads:
//
//   <Scene>
//     <Template file="TestRoom.xml"/>                    (beside the scene file, or absolute)
//     <Object archetype="Shell" position="0 0 0" yaw="90" scale="1 1 1" name="Shell"/>
//     <Camera eye="0 2 -10" lookAt="0 2 24" fov="45"/>
//   </Scene>
//
// position and scale are three numbers; yaw (degrees about y) or orientation (w x y z) turns the
// object; name and everything but archetype may be left out. The objects are the GobManager's.
#pragma once

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/CDorvoCamera.h"
#include "engine/SEngineConfigInfo.h"

#include <memory>
#include <string>
#include <vector>

class Gob;

namespace worldscene
{
struct SceneObject
{
    std::string archetype;
    std::string name;
    math::Vector3 position{0.0f, 0.0f, 0.0f};
    math::Quaternion orientation{1.0f, 0.0f, 0.0f, 0.0f};
    math::Vector3 scale{1.0f, 1.0f, 1.0f};
};

// The engine configuration the scenes are drawn with: the repository's meshes, textures and
// scene effects ("TextureMapping.fx", "PickedEffect.fx", "Glow.fx", "AnimatedGlow.fx", "Water2.fx",
// "TextureMappingNoLight.fx"), the game's light, windowed at width x height.
dorvo::SEngineConfigInfo SceneConfig(unsigned width = 800, unsigned height = 600);

class WorldScene
{
public:
    WorldScene();
    // Destroys the objects (the templates stay filed).
    ~WorldScene();

    // Reads the scene file; false with the reason in Error().
    bool Load(const std::string& sceneFile);
    // The templates loaded (once per process for each file), the objects made and placed in the
    // global oct tree, the camera set up for width x height. False with the reason in Error().
    bool Build(unsigned width = 800, unsigned height = 600);
    // One frame as the game runs it: every object's update, the facade's update, the camera
    // into viewport 0 and the facade's frame. dt: seconds.
    void Frame(double time, float dt);
    // The camera into viewport 0 alone (tests that drive the facade themselves).
    void ApplyCamera();

    const std::vector<SceneObject>& Objects() const { return m_objects; }
    // The objects made, in the scene file's order.
    const std::vector<Gob*>& Gobs() const { return m_gobs; }
    // The object made under that name, or null.
    Gob* Find(const std::string& name) const;
    dorvo::CDorvoCamera& Camera() { return *m_pCamera; }
    const std::string& Error() const { return m_error; }

    void Destroy();

private:
    bool LoadTemplate(const std::string& file);

    std::string m_folder; // the scene file's, with its separator
    std::vector<std::string> m_templates;
    std::vector<SceneObject> m_objects;
    std::vector<Gob*> m_gobs;
    math::Vector3 m_eye{0.0f, 0.0f, -10.0f};
    math::Vector3 m_lookAt{0.0f, 0.0f, 0.0f};
    float m_fieldOfView = 0.785398f; // radians
    std::unique_ptr<dorvo::CDorvoCamera> m_pCamera;
    std::string m_error;
};
} // namespace worldscene
