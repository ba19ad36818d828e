// Replays a physics scene headless. Build turns a Scene into game objects through templates and
// the GobManager (checking that every object's box covers its hull plus the margin and that a
// plane is filed at the oct tree's root), then Step runs frames as the game does: the kill list,
// one fixed 1/30 s physics step, every object's update. After each step it records every
// body's pose, velocities and frozen flag, the step's contact pairs with their contacts, and
// the collision callbacks fired. The runner starts a fresh world; it owns no object (the
// GobManager does).
//
//   physcene::SceneRunner runner;
//   std::string error;
//   if (!runner.Build(scene, &error)) ...
//   runner.Run(90);
//   runner.Last().Find(runner.Id("ball"))->position.y
#pragma once

#include "Scene.h"
#include "SceneGeometry.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/phy/CollisionFunctorData.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Gob;

namespace dorvo
{
namespace phy
{
class PhysicsComp;
}
} // namespace dorvo

namespace physcene
{
// The step the game's frame runs, 1/30 s in single precision.
constexpr float kFrameStep = 0.033333335f;

struct BodyState
{
    std::uint32_t id = 0;
    math::Vector3 position;
    math::Quaternion orientation;
    math::Vector3 velocity;
    math::Vector3 angularVelocity;
    bool frozen = false;
};

struct ContactState
{
    math::Vector3 point;
    float depth = 0.0f;
};

// One contact pair in the pair test's order (ids of hull A's and hull B's objects).
struct InfoState
{
    std::uint32_t idA = 0;
    std::uint32_t idB = 0;
    math::Vector3 normal; // from B towards A
    std::vector<ContactState> contacts;
};

struct CallbackState
{
    enum Kind
    {
        BEGIN, // begin of contact
        EVERY, // every step of contact
    };
    Kind kind = EVERY;
    std::uint32_t owner = 0; // the object whose component called it
    dorvo::phy::CollisionFunctorData data;
};

struct StepRecord
{
    int step = 0;                         // 1 for the first step
    std::vector<BodyState> bodies;        // every living body, in id order
    std::vector<InfoState> infos;         // in the engine's order
    std::vector<CallbackState> callbacks; // in the order fired

    // The body of that object, or null when it has none or no longer lives.
    const BodyState* Find(std::uint32_t id) const;
    // Callbacks of one kind called by one object's component.
    int CountCallbacks(CallbackState::Kind kind, std::uint32_t owner) const;
};

class SceneRunner
{
public:
    // Template files go to `folder` (the working folder when empty).
    explicit SceneRunner(const std::string& folder = std::string());
    ~SceneRunner();

    SceneRunner(const SceneRunner&) = delete;
    SceneRunner& operator=(const SceneRunner&) = delete;

    // Resets the world and builds the scene: settings, then the objects in order (so ids follow
    // the list from 1), ignores, angular velocities and the recording callbacks. False, with
    // one line naming the object and what is wrong, for a duplicate or unknown name, an object
    // that could not be made, a box that does not cover its hull plus the margin, or a plane not
    // filed at the root. The records start empty.
    bool Build(const Scene& scene, std::string* error);

    // Adds one more object between steps (a ball dropped onto a resting stack), with the same
    // checks as Build. Its ignores must name objects made before it.
    bool Add(const ObjectDesc& object, std::string* error);

    // Whether Build installs the recording callbacks and Step appends a record (on unless
    // turned off before Build). The benchmark turns it off, so that a step does only the game's
    // own work and long runs of many bodies keep no history.
    void SetRecording(bool record) { m_recording = record; }
    bool IsRecording() const { return m_recording; }

    // One game frame; its record is appended.
    void Step();
    // The same frame; returns the seconds that the physics update alone took (wall clock), and
    // the processor time this thread spent in it when asked.
    double StepTimed(double* cpuSeconds = nullptr);
    void Run(int steps);

    const std::vector<StepRecord>& Records() const { return m_records; }
    // The last step's record (an empty one before the first step).
    const StepRecord& Last() const;
    // Steps run since Build.
    int StepCount() const { return m_steps; }

    // The object's id (0 for a name the scene does not have), and the object and its body as
    // they are now (null once killed and deleted).
    std::uint32_t Id(const std::string& name) const;
    Gob* Object(const std::string& name) const;
    dorvo::phy::PhysicsComp* Body(const std::string& name) const;

    // The bodies' current poses, sizes, motions and masses for the penetration and energy
    // measures (static objects and planes are left out).
    std::vector<BodyPose> Poses() const;
    // The scene's ground planes.
    std::vector<GroundPlane> Grounds() const;

    // The world's state in one number: FNV-1a (64 bits) over every body of the engine in id
    // order, its id and the bit patterns of its position, orientation (w first), velocity and
    // angular velocity. Runs that end alike to the last bit give the same hash; the benchmark's
    // hashes.txt and the committed hashes are these.
    std::uint64_t StateHash() const;

private:
    bool BuildObject(const ObjectDesc& desc, std::string* error);
    bool ApplyIgnores(const ObjectDesc& desc, std::string* error);
    bool CheckObject(const ObjectDesc& desc, Gob* gob, std::string* error) const;
    void Record();

    std::string m_folder;
    Scene m_scene;
    std::map<std::string, std::uint32_t> m_ids;
    std::map<std::string, std::string> m_templates; // archetype by the text of its components
    std::vector<StepRecord> m_records;
    int m_steps = 0;
    bool m_recording = true;
    // Fired during the current step; shared with the recording callbacks, which may outlive
    // the runner.
    std::shared_ptr<std::vector<CallbackState>> m_pending;
};
} // namespace physcene
