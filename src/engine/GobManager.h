// The single owner of every game object. Loads templates, keeps one controller per template and
// per archetype, builds objects from them under ids counting up from 1, finds them by id and by
// name, updates them each frame and deletes killed ones at the start of the next frame. Also
// keeps the creators of the component types (not owned: each is a static of its registrar).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Gob;
class Component;
class GobController;
class ParamStack;
template <class T> class DefaultCreator;
namespace math
{
class Vector3;
}

class GobManager
{
public:
    // The one manager, built on first use and destroyed at process exit. Building it installs the
    // console's "obj A.B args" hook, so such lines reach objects by id or name.
    static GobManager& Instance();
    ~GobManager();

    GobManager(const GobManager&) = delete;
    GobManager& operator=(const GobManager&) = delete;

    // A type id that has a creator already keeps its first one; nothing is reported.
    void RegisterCreator(std::uint32_t typeID, DefaultCreator<Component>* creator);
    // A new component of that type; null, with a console line, when no creator is registered.
    Component* CreateComponent(std::uint32_t typeID);

    // Reads one template file and files its controller under its type name and its archetypes
    // under their names; names filed already keep their first controller. A template naming an
    // unregistered component type is dropped with its archetypes (one line in the log).
    void LoadTemplate(const std::string& fileName);

    // Builds and files an object of the named template or archetype; not initialised. Null when
    // nothing is filed under the name.
    Gob* CreateFromTemplate(const std::string& name);
    // CreateFromTemplate, then Gob::Init.
    Gob* CreateGob(std::string name);
    // CreateGob, then moves the object's POVComp to `position` (world units), re-filing it in the
    // oct tree when `notify`. An object without a POVComp is returned where its defaults put it.
    Gob* CreateGobAtPos(std::string name, math::Vector3 position, bool notify);

    // Killed objects are found until the next ProcessKillList.
    Gob* GetGob(std::uint32_t id) const;
    Gob* GetGobByName(const std::string& name) const;
    // A non-empty name not yet in the index is filed against the object; a taken name keeps its
    // first object.
    void RegisterName(Gob* gob);
    // Drops the object's name from the index only when the entry holds this very object.
    void UnregisterName(Gob* gob);

    // Marks the object killed and queues it (once) for deletion at the next ProcessKillList.
    void KillGob(Gob* gob);
    void KillGobByID(std::uint32_t id);
    // Deletes the objects queued before the call; objects killed meanwhile wait a frame. The
    // game calls it first thing in its frame.
    void ProcessKillList();
    // Gob::Update(dt) on every filed object (dt in seconds, usually 1/30). Objects created during
    // the pass are updated from the next frame on.
    void Update(float dt);
    // Deletes every object and starts ids at 1 again; templates and creators stay.
    void DestroyAllGobs();

    // Writes "There are N total game objects." to the console and returns N.
    std::uint32_t NumberOfGobs();
    std::uint32_t GetCount() const { return static_cast<std::uint32_t>(m_Gobs.size()); }
    std::uint32_t GetNextID() const { return m_NextID; }
    bool IsOnKillList(const Gob* gob) const;
    std::size_t GetKillListSize() const { return m_KillList.size(); }
    GobController* FindController(const std::string& name) const;
    // Every name a controller is filed under (templates and archetypes), in byte order.
    std::vector<std::string> GetTemplateNames() const;
    // The component type ids that have a creator, in ascending order, and the creator of one.
    std::vector<std::uint32_t> GetCreatorTypeIDs() const;
    DefaultCreator<Component>* FindCreator(std::uint32_t typeID) const;
    // Deletes every object and forgets every template and archetype, so the next template file
    // loads as into a fresh manager; creators stay. Only tests use it: the game loads its
    // templates once.
    void ResetTemplates();

    // "NumberOfGobs", "CreateGob" and "CreateGobAtPos"; called once by the game's start-up.
    void RegisterConsoleCommands();

    // The console's hook for "obj A.B args": A is an id when it is an integer text, else a name.
    static bool CallObjectFromConsole(const std::string& object, const std::string& function,
                                      ParamStack& params, bool report);

private:
    GobManager();

    std::map<std::uint32_t, Gob*> m_Gobs;          // owned; ordered by id so frames repeat exactly
    std::unordered_map<std::string, Gob*> m_Names; // name index, not owning
    std::vector<Gob*> m_KillList;                  // kill order
    std::unordered_map<std::string, GobController*> m_Templates; // filed controllers, by name
    std::vector<std::unique_ptr<GobController>> m_Controllers;   // every controller ever made
    std::uint32_t m_NextID = 1;
    std::unordered_map<std::uint32_t, DefaultCreator<Component>*> m_Creators; // not owned
    std::vector<std::uint32_t> m_UpdateIDs; // scratch list of one Update pass
};
