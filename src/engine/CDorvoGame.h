// The game as the engine drives it: the shell forwards window messages, frame move and render,
// and device loss and reset here, and asks for the window title, the camera and the cursor.
// The application owns the game and deletes it first at shutdown.
#pragma once

#include "platform/win32.h"

#include <string>

class Gob;
namespace math
{
class Vector3;
}

namespace dorvo
{
class CDorvoCamera;

namespace gfx
{
class CCursor;
}

class CDorvoGame
{
public:
    CDorvoGame() = default;
    virtual ~CDorvoGame() = default;
    CDorvoGame(const CDorvoGame&) = delete;
    CDorvoGame& operator=(const CDorvoGame&) = delete;

    // The main window's title.
    virtual std::wstring GetWindowTitle() = 0;
    virtual void OnResetDevice() = 0;
    virtual void OnLostDevice() = 0;
    // time: seconds since the device was made; elapsed: seconds of this frame, usually 1/30.
    virtual void Update(double time, float elapsed) = 0;
    virtual void Render(double time, float elapsed) = 0;
    // The last step of start-up, once graphics, sound, input and physics run.
    virtual void Init() = 0;
    // Sees every window message before the shell's own handling; the result is not used.
    virtual plat::LRESULT MsgProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) = 0;
    virtual CDorvoCamera* GetCamera() { return nullptr; }
    // The cursor unit whose position is the pick point.
    virtual gfx::CCursor* GetCursor() { return nullptr; }

    // Creates a game object from the named template at a position, for the game's states.
    static Gob* SpawnGob(const std::string& templateName, const math::Vector3& position);
};
} // namespace dorvo
