// The post-processor: while post-processing is on, pass i of a technique draws into scene
// target i (four render-target textures of the back buffer's size and format, each with its
// own D24S8 depth surface); then a queue of effect instances runs in order, each reading the
// previous result (ping-pong textures A and B swap after every run), the scene targets and two
// saved targets, and "PPScene.fx" draws the last result onto the back buffer. It owns the
// targets, the cache of loaded effects by file name, the queue and the final effect. The
// targets live in the default pool: released when the device is lost, made again at reset.
#pragma once

#include "engine/gfx/postprocess/CPPInstance.h"
#include "platform/d3dx9.h"

#include <array>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CPostProcess;

// A pre-transformed vertex of the screen quad (32 bytes): position in back-buffer pixels
// (Direct3D's half-pixel rule: corners at -0.5 and size - 0.5), z 0, rhw 1, then two texture
// coordinate pairs. Pair 0 reads the previous result and follows the quad scales; pair 1 always
// spans the whole of the full-size targets (scene and saved).
struct SScreenQuadVertex
{
    float x, y, z, rhw;
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(SScreenQuadVertex) == 32, "the screen-quad declaration's stride");

// The four corners as a triangle strip: top left, top right, bottom left, bottom right.
struct SScreenQuad
{
    std::array<SScreenQuadVertex, 4> corners{};

    // Full size for a back buffer of width x height pixels.
    void Build(unsigned width, unsigned height);
    // Right-edge x and bottom-edge y positions become (p + 0.5) x s - 0.5: the quad covers that
    // part of the target.
    void ScalePositions(float sx, float sy);
    // Right-edge u and bottom-edge v of pair 0 multiplied: later effects read only the part
    // just written.
    void ScaleTexCoords(float sx, float sy);
};

class CPostProcessor
{
public:
    static constexpr unsigned kSceneTargetCount = 4;
    static constexpr unsigned kSavedTargetCount = 2;
    // The final pass's file, technique and texture.
    static constexpr char kFinalEffectFile[] = "PPScene.fx";
    static constexpr char kFinalTechnique[] = "RenderScrQuad";
    static constexpr char kFinalTexture[] = "g_ScrQuadTexture";

    // One effect run of a chain, as the chain trace records it.
    struct SChainStep
    {
        std::string file;
        unsigned source = 0;      // ping-pong texture read: 0 A, 1 B
        unsigned destination = 0; // ping-pong texture written
        SScreenQuad quad;         // as drawn
    };

    // The one post-processor of the program, made on first use.
    static CPostProcessor& Instance();

    // CreateTargets, BuildScreenQuad, then "PPScene.fx" from the facade's effect folder.
    CPostProcessor();
    // Releases the targets, the cached effects and the final effect.
    virtual ~CPostProcessor();

    CPostProcessor(const CPostProcessor&) = delete;
    CPostProcessor& operator=(const CPostProcessor&) = delete;

    // For a device made anew while the post-processor lived on: the cached effects let go
    // (they load again on first use), the targets and the quad made, "PPScene.fx" loaded again
    // from the same folder. The queue stays.
    void OnNewDevice();

    // ---- Targets ----
    // Ping-pong A and B with their depth surfaces, the four scene targets with theirs and the
    // two saved targets, at the back buffer's size and format, after letting go of what was
    // held; source = A, destination = B. False, with one line, when one cannot be made (the
    // ones that could are kept; a missing one is never bound).
    bool CreateTargets();
    // Scene target i (0 to 3) and its depth surface become the device's render target 0 and
    // depth-stencil surface, then colour, depth and stencil are cleared (opaque black, 1, 0).
    void BindSceneTarget(unsigned index);
    // The same without the clear: the renderer draws pass i of a technique into target i.
    void SelectSceneTarget(unsigned index);
    // The back buffer and the device's own depth surface current again.
    void RestoreBackBuffer();
    // The quad at full size for the back buffer, both scale factors 1.
    void BuildScreenQuad();

    // ---- Effects ----
    // The final effect again from folder + "PPScene.fx" (through the device core, no pool).
    // False when it does not load or lacks "RenderScrQuad": the chain then copies its last
    // result to the back buffer instead, saying why in one line the first time.
    bool LoadFinalEffect(const std::string& effectFolder);
    // LoadPostProcess of each name, in order.
    void LoadPostProcesses(const std::vector<std::string>& fileNames);
    // A name not yet cached is loaded from the effect folder and cached. A name that leaves the
    // folder (plat::IsConfinedName), a file that does not load or one with no "PostProcess"
    // technique is not cached (its line was written). True when the name is cached afterwards.
    bool LoadPostProcess(const std::string& fileName);
    // Null when the name is not cached.
    CPostProcess* FindPostProcess(const std::string& fileName) const;
    // Lets go of every cached effect (a new device needs them made again).
    void ReleasePostProcesses();

    // ---- Queue ----
    // Appended at the back.
    void Queue(const CPPInstance& instance);
    // Every queued instance destroyed, front first.
    void ClearQueue();
    // The last queued instance runs once more and then leaves; nothing with an empty queue.
    void RemoveLastPostProcess();
    const std::deque<CPPInstance>& GetQueue() const { return m_queue; }

    // The chain: scene target 0 into ping-pong A, every queued instance in order (its effect
    // loaded on first use; one whose file cannot run is dropped, with one line per file name),
    // then the last result through "PPScene.fx" onto the back buffer, the back buffer and the
    // device's depth surface left current, and the queue becomes what is kept. The quads are
    // drawn solid, the device core's fill mode set again afterwards. While the device core
    // draws in lines, no effect runs: scene target 0 goes to the back buffer as drawn, and the
    // queue keeps what it would keep after a run. Without scene target 0 nothing runs but the
    // back buffer comes back.
    void RunChain();

    // ---- Device ----
    // Releases every target; the effects hear of the loss.
    void OnLostDevice();
    // CreateTargets, BuildScreenQuad, the effects reset, and every cached effect's pixel
    // offsets converted again for the new back-buffer size.
    void OnResetDevice();

    // ---- What tests read ----
    // Null when not made (or released).
    plat::IDirect3DTexture9* GetSceneTarget(unsigned index) const;
    plat::IDirect3DSurface9* GetSceneDepth(unsigned index) const;
    plat::IDirect3DTexture9* GetSavedTarget(unsigned index) const;
    // 0 A, 1 B.
    plat::IDirect3DTexture9* GetPingPong(unsigned index) const;
    plat::IDirect3DSurface9* GetPingPongDepth(unsigned index) const;
    // The ping-pong index holding the last result after a chain (0 A, 1 B).
    unsigned GetSourceIndex() const { return m_source; }
    const SScreenQuad& GetScreenQuad() const { return m_quad; }
    float GetQuadScaleX() const { return m_quadScale[0]; }
    float GetQuadScaleY() const { return m_quadScale[1]; }
    plat::ID3DXEffect* GetFinalEffect() const { return m_pFinalEffect; }
    std::size_t GetCachedCount() const { return m_cache.size(); }
    // While set, every effect run appends what it drew; null stops it.
    void SetChainTrace(std::vector<SChainStep>* trace) { m_pTrace = trace; }

private:
    void ReleaseTargets();
    // False, nothing changed, for an index out of range or a target not made.
    bool SetTargets(unsigned index);
    // One instance with its effect; false when it could not run (nothing drawn, no swap).
    bool RunInstance(const CPPInstance& instance, CPostProcess& effect);
    void DrawQuad(plat::ID3DXEffect* effect);
    void DrawFinal();
    // Level 0 of a texture (a reference the caller releases), or null.
    static plat::IDirect3DSurface9* SurfaceOf(plat::IDirect3DTexture9* texture);

    std::array<plat::IDirect3DTexture9*, kSceneTargetCount> m_sceneTargets{}; // one reference owned each
    std::array<plat::IDirect3DSurface9*, kSceneTargetCount> m_sceneDepths{};  // one reference owned each
    std::array<plat::IDirect3DTexture9*, kSavedTargetCount> m_savedTargets{}; // one reference owned each
    std::array<plat::IDirect3DTexture9*, 2> m_pingPong{};                     // A, B; one reference each
    std::array<plat::IDirect3DSurface9*, 2> m_pingPongDepths{};               // one reference each
    unsigned m_source = 0;                                                    // ping-pong index read next
    unsigned m_destination = 1;                                               // ping-pong index written next
    plat::IDirect3DSurface9* m_pDeviceDepth = nullptr; // the device's own, one reference held

    std::unordered_map<std::string, std::unique_ptr<CPostProcess>> m_cache;
    std::deque<CPPInstance> m_queue;
    std::deque<CPPInstance> m_keep;        // filled during a chain
    std::set<std::string> m_reportedFiles; // files whose instances were dropped, told once each

    SScreenQuad m_quad;
    std::array<float, 2> m_quadScale{1.0f, 1.0f}; // accumulated over a chain

    std::string m_effectFolder;
    plat::ID3DXEffect* m_pFinalEffect = nullptr; // one reference owned
    plat::D3DXHANDLE m_finalTechnique = nullptr;
    plat::D3DXHANDLE m_finalTexture = nullptr;
    bool m_reportedNoFinal = false;
    std::string m_finalProblem; // why there is no final pass, said once when a chain needs one

    std::vector<SChainStep>* m_pTrace = nullptr;
};
} // namespace gfx
} // namespace dorvo
