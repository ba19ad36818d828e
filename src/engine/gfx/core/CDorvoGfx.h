// The graphics facade: the one object the shell and the game talk to about graphics. Its
// constructor registers the graphics component types and console commands; Init has the device
// core open the device and the main window as the engine configuration says and brings up the
// graphics managers in a fixed order; the facade follows device loss and reset, runs the frame
// (viewport passes over the scene, then the 2D layer of every registered Gfx2DComp and the
// game's own units, sorted by depth, in one sprite batch) and saves screenshots of the finished
// back buffer. It owns the seven fonts, the line object and the per-frame lists; Release lets go
// of the managers in the reverse of their dependencies.
#pragma once

#include "platform/d3dx9.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dorvo
{
struct SEngineConfigInfo;

namespace gfx
{
class CGfxUnit;
class CSceneGraphMgr;
class Gfx2DComp;
class IGfxUnit;
class IScreenUnit;

class CDorvoGfx
{
public:
    // The render flags: which parts of the frame run.
    enum ERenderFlag : std::uint32_t
    {
        RF_MODELS = 0x1,               // opaque and transparent scene graphs, also in the water maps
        RF_PARTICLES = 0x2,            // particle pass after the scene
        RF_UNUSED_4 = 0x4,             // set by default, read by nothing
        RF_UNUSED_8 = 0x8,             // set by default, read by nothing
        RF_TERRAIN = 0x10,             // the terrain scene graph
        RF_WATER = 0x20,               // water test, underwater effect, water maps, water scene graph
        RF_UNUSED_40 = 0x40,           // set by default, read by nothing
        RF_DUMP_REFLECTION = 0x80,     // save each reflection map as "RefMap.png"
        RF_DUMP_REFRACTION = 0x100,    // save each refraction map as "RefracMap.png"
        RF_LINES = 0x200,              // draw the line strips in the 2D layer
        RF_SPRITES = 0x20000,          // draw the sorted 2D units in one sprite batch
        RF_VIEWPORT0 = 0x80000,        // the pass of viewport record 0
        RF_VIEWPORT1 = 0x100000,       // ... record 1 (the core's second-viewport flag set)
        RF_VIEWPORT2 = 0x200000,       // ... record 2
        RF_VIEWPORT3 = 0x400000,       // ... record 3
        RF_POST_PROCESSING = 0x800000, // scene into the post-processing targets, then the chain
    };
    // Models, particles, terrain, water and sprites in viewport 0. The unused bits stay set, as
    // they always were: the flags can be read back.
    static constexpr std::uint32_t kDefaultRenderFlags = RF_MODELS | RF_PARTICLES | RF_UNUSED_4 |
                                                         RF_UNUSED_8 | RF_TERRAIN | RF_WATER | RF_UNUSED_40 |
                                                         RF_SPRITES | RF_VIEWPORT0;

    // The text fonts, by index: 0 Arial, 1 Arial bold, 2 Times New Roman, 3 its bold, 4 Ravie
    // (25 px), 5 Ravie (40 px), 6 a narrower Arial.
    static constexpr std::size_t kFontCount = 7;
    using FontTable = std::array<plat::ID3DXFont*, kFontCount>;
    // How each font of the table is asked for.
    static const plat::D3DXFONT_DESCW& GetFontDesc(std::size_t index);

    // Made on first use, destroyed with the program's statics.
    static CDorvoGfx& Instance();
    // The facade, or null once it has been destroyed at exit (for destructors that may run
    // after it).
    static CDorvoGfx* IfAlive();

    // The five scene graphs, by index.
    enum ESceneGraph : unsigned
    {
        SG_TERRAIN = 0,
        SG_WATER = 1,
        SG_OPAQUE = 2,
        SG_TRANSPARENT = 3,
        SG_SPARE = 4, // made, never drawn
        SG_COUNT = 5,
    };

    // ---- Start-up, device loss and shutdown ----
    // Device settings into the core (windowed 800 x 600, solid, multisample antialiasing when
    // the record asks for defaults, else as it says), the folders, the device, the managers in
    // their order with the fonts (the effect manager makes its pool and shared-value effect),
    // the configured effects, the fog, the lights and the line object.
    // False, after the core told the user in a message box, when the device cannot be made;
    // nothing else is made then.
    bool Init(const SEngineConfigInfo& config);
    // Release and rebuild what lives on the device (the shell calls these around a reset), in
    // the managers' order, then the fonts, the sprite batch and the line object.
    void OnLostDevice();
    void OnResetDevice();
    // Lets go of the line object and the per-frame lists, then of the managers in their order
    // (the fonts and the sprite batch among them), the device core last (also at exit).
    void Release();
    // Registers the graphics component types with the game-object manager (the constructor
    // does; tests that emptied the manager may again).
    void RegisterComponentCreators();

    // ---- The frame ----
    // Per-frame updates of the particles and the lights. time: seconds since start; dt: seconds
    // since the last frame.
    void Update(double time, float dt);
    // One frame: gather and build, the 2D list, the viewport passes, the end of the scene. The
    // frame driver presents afterwards. Without a device, or while it is lost, nothing is drawn
    // but the per-frame lists are still emptied.
    void RenderFrame(double time, float dt);
    // The game's own units for this frame, copied and sorted by depth (stably); the units of
    // the 2D components join them at the frame, after them at equal depth.
    void SetScreenUnits(const std::vector<IScreenUnit*>& units);
    // A world-space strip for this frame only, drawn while RF_LINES is set.
    void AddLineStrip(const std::vector<plat::D3DXVECTOR3>& points, const plat::D3DXCOLOR& color);

    // A scene graph, or null when it is absent (it could not be made, or after Release until
    // the next Init): the frame then passes over it.
    CSceneGraphMgr* GetSceneGraph(unsigned index) const;
    // Replaces a scene graph (tests and the benchmark); null leaves it absent. An index out of
    // range changes nothing.
    void SetSceneGraph(unsigned index, std::unique_ptr<CSceneGraphMgr> graph);

    // The units of the game objects in the oct-tree nodes that overlap the current viewport's
    // frustum box (a node inside the box takes its children without a test): each object's
    // model unit when it has one, is visible and its world box overlaps the frustum box,
    // appended to the transparent list when its component is transparent, else to the opaque
    // one, each list in ascending object id. The lists are not emptied first.
    void GatherVisibleUnits(std::vector<IGfxUnit*>& opaque, std::vector<IGfxUnit*>& transparent) const;
    // What the last frame's gather found and how long it took (seconds).
    std::size_t GetGatheredCount() const { return m_gatheredCount; }
    double GetGatherTime() const { return m_gatherSeconds; }

    // The unit drawn behind the scene at the start of every scene pass (a sky, say), owned;
    // null removes it. The game sets none.
    void SetBackdropUnit(std::unique_ptr<IGfxUnit> unit);
    IGfxUnit* GetBackdropUnit() const { return m_pBackdrop.get(); }

    // The 2D components by owner id; a component enters itself when it initialises and leaves
    // when it goes. Unregister removes the entry only when it still holds that component.
    void Register2DComp(Gfx2DComp* component, std::uint32_t id);
    void Unregister2DComp(Gfx2DComp* component, std::uint32_t id);
    const std::map<std::uint32_t, Gfx2DComp*>& Get2DComps() const { return m_2DComps; }

    // Units that own device buffers (animated models, water, terrain, cloth) follow device loss
    // and reset through the facade, after the mesh manager. A unit enters itself when it makes
    // its buffers and leaves when it lets them go; entering twice counts once.
    void RegisterDeviceUnit(CGfxUnit* unit);
    void UnregisterDeviceUnit(CGfxUnit* unit);
    const std::vector<CGfxUnit*>& GetDeviceUnits() const { return m_deviceUnits; }

    // The units of the attached terrain components, drawn as scene graph 0 while
    // RF_TERRAIN is set. Adding counts one terrain and the unit's triangles; removing takes back
    // what its adding counted. A unit listed already, or null, is not added again.
    void AddTerrainUnit(IGfxUnit* unit);
    void RemoveTerrainUnit(IGfxUnit* unit);
    const std::vector<IGfxUnit*>& GetTerrainUnits() const { return m_terrainUnits; }
    unsigned GetTerrainCount() const { return m_terrainCount; }
    unsigned GetTerrainTriangleCount() const { return m_terrainTriangles; }

    std::uint32_t GetRenderFlags() const { return m_renderFlags; }
    void SetRenderFlags(std::uint32_t flags) { m_renderFlags = flags; }

    // Saves the next finished frame as a PNG file, read from the back buffer just before it is
    // shown. An empty name gives "DorvoScrshot_<n>.png", n counting from 0 past every number
    // already used in the working folder, so no earlier shot is overwritten. A given name that
    // plat::SaveRefusal refuses as a picture (outside the run folder, not an image file, in a
    // data folder, not a regular file) gives one "ERROR:" line on the console and no shot.
    void TakeScreenShot(std::string fileName);

    // ---- Post-processing (the queue is the post-processor's) ----
    void QueuePostProcess(unsigned id, bool oneFrame);
    void QueuePostProcessByName(std::string name, bool oneFrame);
    void RemoveLastPostProcess();
    void ClearPostProcesses();
    void TogglePostProcessing() { m_renderFlags ^= RF_POST_PROCESSING; }
    void ToggleWater() { m_renderFlags ^= RF_WATER; }

    // ---- Water ----
    // The water units graph 1 is built from every frame: a water component's unit enters when
    // the component initialises and leaves when it goes. Entering twice counts once; removing a
    // unit that is not listed changes nothing. Not owned.
    void AddWaterUnit(IGfxUnit* unit);
    void RemoveWaterUnit(IGfxUnit* unit);
    const std::vector<IGfxUnit*>& GetWaterUnits() const { return m_waterUnits; }
    std::size_t GetWaterUnitCount() const { return m_waterUnits.size(); }
    // The listed units' triangles, as each had when it entered.
    unsigned GetWaterTriangleCount() const { return m_waterTriangles; }
    // "dumpwatermaps": RF_DUMP_REFLECTION and RF_DUMP_REFRACTION set or cleared together.
    void SetDumpWaterMaps(bool dump);

    // ---- What the console commands reach on the device core ----
    void SetWireframe(bool wireframe);
    void SetSceneGraphOptimization(bool on);
    bool GetSceneGraphOptimization() const;
    unsigned GetViewportIndex() const;

    // ---- Fonts ----
    // The seven fonts on the device core's device, each slot releasing what it held before.
    // False when one could not be made (its slot stays empty).
    bool CreateFonts();
    // Entries are null before CreateFonts and after Release.
    const FontTable& GetFonts() const { return m_fonts; }
    void ReleaseFonts();

    // ---- What the device core was set up with ----
    bool IsWindowed() const;
    unsigned GetScreenWidth() const; // pixels, the back buffer's
    unsigned GetScreenHeight() const;
    bool IsWireframe() const;
    bool GetDeviceOption() const; // multisample antialiasing
    bool IsDeviceLost() const { return m_deviceLost; }
    const std::string& GetTexturePath() const { return m_texturePath; }
    const std::string& GetEffectPath() const { return m_effectPath; }
    const std::string& GetMeshPath() const { return m_meshPath; }
    const std::vector<std::string>& GetEffectFiles() const { return m_effectFiles; }
    const std::vector<std::string>& GetPostProcessEffectFiles() const { return m_postProcessEffectFiles; }

    // While set, every step of start-up, frame, loss, reset and release appends its name (tests
    // read the order); null stops it.
    void SetStepTrace(std::vector<std::string>* trace) { m_pTrace = trace; }

private:
    // A strip of world-space points and its colour, kept for one frame.
    struct SLineStrip
    {
        std::vector<plat::D3DXVECTOR3> points;
        plat::D3DXCOLOR color;
    };

    CDorvoGfx();
    ~CDorvoGfx();
    CDorvoGfx(const CDorvoGfx&) = delete;
    CDorvoGfx& operator=(const CDorvoGfx&) = delete;

    void RegisterConsoleCommands();
    // The absent scene graphs made; one that cannot be allocated stays absent.
    void MakeSceneGraphs();
    // Walks the graph when it exists.
    void TraverseSceneGraph(unsigned index);

    void PrepareFrame();
    void Sort2DUnits();
    void RenderViewport(double time, float dt, unsigned index);
    void RenderScene(double time, float dt, bool withTransparent);
    void RenderBackdrop();
    // Graph 1 with the water-visibility operations (true) or the default ones (false).
    void InstallWaterOperations(bool visibilityTest);
    // The eye against the active water's plane (below it: the wavy effect for this frame while
    // post-processing is on), the visibility walk of graph 1 and, when water was seen, the maps.
    void RunWaterTest();
    // The reflection and refraction maps: the scene drawn into the water manager's two targets,
    // mirrored in the water plane (above water) and cut by it.
    void RenderWaterMaps(bool underwater);
    // The water units' effects let go of the two maps (at a device loss, so that neither map
    // outlives it through an effect).
    void ReleaseWaterMapBindings();
    void Render2D(double time, float dt);
    void EndFrame();
    void ReleaseLine();

    static void OnPrePresent(plat::IDirect3DDevice9* device, void* context);
    void SaveScreenShots();
    std::string NextScreenShotName();

    void Trace(const char* step);

    // Line strips of this frame, and the line object that draws them.
    std::vector<SLineStrip> m_lineStrips;
    plat::ID3DXLine* m_pLine = nullptr;
    // The five scene graphs by ESceneGraph; null when absent.
    std::array<std::unique_ptr<CSceneGraphMgr>, SG_COUNT> m_sceneGraphs;
    // The game's units and every registered component's, sorted by depth; empty between frames.
    std::vector<IScreenUnit*> m_sorted2DUnits;
    // The terrain units (not owned), each one's triangles as counted when it was added, the count
    // and the total.
    std::vector<IGfxUnit*> m_terrainUnits;
    std::vector<unsigned> m_terrainUnitTriangles;
    unsigned m_terrainCount = 0;
    unsigned m_terrainTriangles = 0;
    // The water units in the order they entered (not owned) and their triangle total.
    std::vector<IGfxUnit*> m_waterUnits;
    unsigned m_waterTriangles = 0;
    std::unique_ptr<IGfxUnit> m_pBackdrop;
    // The frame's gathered units, kept to reuse their memory.
    std::vector<IGfxUnit*> m_opaqueUnits;
    std::vector<IGfxUnit*> m_transparentUnits;
    std::size_t m_gatheredCount = 0;
    double m_gatherSeconds = 0.0;
    std::vector<CGfxUnit*> m_deviceUnits;          // in the order they entered; not owned
    std::map<std::uint32_t, Gfx2DComp*> m_2DComps; // by owner id, so equal depths draw alike every run
    std::uint32_t m_renderFlags = 0;

    bool m_deviceLost = false;
    FontTable m_fonts{};

    std::string m_texturePath;
    std::string m_effectPath;
    std::string m_meshPath;
    std::vector<std::string> m_effectFiles;
    std::vector<std::string> m_postProcessEffectFiles;

    std::vector<std::string> m_pendingScreenShots; // names as asked, saved at the next present
    unsigned m_screenShotNumber = 0;               // the next number to try

    std::vector<std::string>* m_pTrace = nullptr;
};
} // namespace gfx
} // namespace dorvo
