// The animation sets of a mesh and what plays them: the animations by name (owned), the names in
// the order they were added, the file's ticks per second, the solver (owned) with the records it
// works on, and the palette a bound controller owns. The mesh manager keeps one controller per
// animated mesh; every unit that draws the mesh plays its own copy, so a copy owns copies of
// everything it holds and points its records at its own animations and palette.
#pragma once

#include "engine/gfx/mesh/ACAnimationSolver.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CAnimationController
{
public:
    CAnimationController() = default;
    // Clear.
    virtual ~CAnimationController();

    // Deep copies: the animations (tracks and keys), the name list, a clone of the solver and the
    // palette. The state's current and next animation and the output's palette point at the
    // copy's own; the hierarchy and the vertices to pose are shared until the copy is pointed
    // elsewhere.
    CAnimationController(const CAnimationController& other);
    CAnimationController& operator=(const CAnimationController& other);

    // Files the animation under its name and appends the name to the list. False, and the
    // animation destroyed, when the name is taken already (the first one stays).
    bool AddAnimation(std::unique_ptr<CAnimation> animation);
    // Null when no animation has the name.
    CAnimation* GetAnimation(const std::string& name) const;
    std::size_t GetAnimationCount() const { return m_animations.size(); }
    const std::map<std::string, std::unique_ptr<CAnimation>>& GetAnimations() const { return m_animations; }
    // In the order they were added.
    const std::vector<std::string>& GetAnimationNames() const { return m_names; }

    // Makes the named animation current, with no next one, and has the next update start it
    // from its beginning. False, nothing changed, when no animation has the name.
    bool SetAnimation(const std::string& name);

    // Binds the controller to a mesh's bones: one identity palette matrix per bone (as many as
    // the highest bone index + 1), the output's palette pointed at it. Null unbinds.
    void BindToHierarchy(CMeshHierarchy* hierarchy);
    // Where the solver writes posed vertices (null: none are posed).
    void SetOutputVertices(GfxRenderBuffers* vertices) { m_output.vertices = vertices; }

    // One frame: the tick rate from the ticks per second, the solver's solve, then the restart
    // mark cleared. Nothing without a solver. elapsedSeconds: usually 1/30.
    void Update(float elapsedSeconds);

    // Takes the solver, destroying the one held before.
    void SetSolver(std::unique_ptr<ACAnimationSolver> solver);
    ACAnimationSolver* GetSolver() const { return m_solver.get(); }

    // The file's AnimTicksPerSecond; 0 when it has none (time then never advances).
    std::uint32_t GetTicksPerSecond() const { return m_ticksPerSecond; }
    void SetTicksPerSecond(std::uint32_t ticks) { m_ticksPerSecond = ticks; }

    SAnimationSolverState& GetState() { return m_state; }
    const SAnimationSolverState& GetState() const { return m_state; }
    SAnimationSolverOutput& GetOutput() { return m_output; }
    const SAnimationSolverOutput& GetOutput() const { return m_output; }
    // The palette storage a bound controller owns (empty until bound).
    std::vector<math::Matrix4>& GetPalette() { return m_palette; }
    const std::vector<math::Matrix4>& GetPalette() const { return m_palette; }

    // Destroys the solver and every animation, empties the name list and frees the palette; the
    // records forget what pointed into them.
    void Clear();

private:
    CAnimation* Remap(const CAnimationController& other, CAnimation* theirs) const;

    SAnimationSolverState m_state;
    SAnimationSolverOutput m_output;
    std::map<std::string, std::unique_ptr<CAnimation>> m_animations;
    std::vector<std::string> m_names;
    std::unique_ptr<ACAnimationSolver> m_solver;
    std::vector<math::Matrix4> m_palette;
    std::uint32_t m_ticksPerSecond = 0;
};
} // namespace gfx
} // namespace dorvo
