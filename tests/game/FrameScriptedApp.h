// The real game run by the real shell, scripted from inside its frames, for the tests that drive
// the program on a display: the step filed under a frame number runs just after that frame's
// update, and after the last frame the window is asked to close, which ends the shell's loop.
//
//   gametest::FrameScript& script = gametest::TheFrameScript();
//   script.steps[5] = [] { ... };
//   script.lastFrame = 60;
//   dorvo::RunApplication(std::make_unique<gametest::FrameScriptedApp>(), ...);
//   EXPECT_EQ(script.frames, script.lastFrame);
#pragma once

#include "game/app/CQUORB.h"
#include "game/app/CQUORBApp.h"
#include "platform/frame_driver.h"
#include "platform/win32.h"

#include <functional>
#include <map>

namespace gametest
{
struct FrameScript
{
    std::map<int, std::function<void()>> steps; // by frame number, the first frame being 1
    int frames = 0;                             // frames updated so far
    int lastFrame = 0;                          // the window closes after this one
};

// The program's one script.
inline FrameScript& TheFrameScript()
{
    static FrameScript script;
    return script;
}

class FrameScriptedGame : public QUORB::CQUORB
{
public:
    void Update(double time, float elapsed) override
    {
        QUORB::CQUORB::Update(time, elapsed);
        FrameScript& script = TheFrameScript();
        ++script.frames;
        auto step = script.steps.find(script.frames);
        if (step != script.steps.end())
            step->second();
        if (script.frames == script.lastFrame)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_CLOSE, 0, 0);
    }
};

class FrameScriptedApp : public QUORB::CQUORBApp
{
public:
    dorvo::CDorvoGame* CreateGame() override { return new FrameScriptedGame(); }
};
} // namespace gametest
