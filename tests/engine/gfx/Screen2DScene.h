// The 2D layer of a busy game screen, shared by the 2D tests and the graphics benchmark: ten menus, each a
// "2DArchetype" object whose 2D component holds a panel, 19 icons and 10 labels (300 units in
// all, over 20 textures), and the console window open over them showing 30 lines of output. The
// graphics facade must be running (Init done) with the repository's textures as its folder.
#pragma once

#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/gui/SMConsoleGraphics.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "platform/win32.h"
#include "statemachine/Database.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport
{
class Screen2DScene
{
public:
    static constexpr int kMenus = 10;
    static constexpr int kUnitsPerMenu = 30;

    Screen2DScene() = default;
    // Kills the objects and deletes the units.
    ~Screen2DScene();

    // Loads the 2D object template from the repository and makes the menus and the open
    // console (the test clock moves on past its slide). False when something could not be made.
    bool Build();
    // One frame as the game runs it: every object's update, then the graphics frame.
    void Update(float dt);
    void Render(double time, float dt);

    std::uint32_t GetConsoleId() const { return m_consoleId; }

private:
    std::vector<Gob*> m_menus;
    std::vector<std::unique_ptr<dorvo::gfx::IScreenUnit>> m_panels; // each owns its icons and labels
    std::uint32_t m_consoleId = 0;
};

namespace screen2d
{
inline const char* const kIconFiles[] = {
    "hud/AccIcon.png",      "hud/BackIcon.png",      "hud/BarIcon.png",       "hud/ChargeIcon.png",
    "hud/ControlsIcon.png", "hud/GravIcon.png",      "hud/HelpIcon.png",      "hud/MagnetIcon.png",
    "hud/PlatIcon.png",     "hud/SaveIcon.png",      "hud/ScaleIcon.png",     "hud/TargetIcon.png",
    "hud/WeightIcon.png",   "hud/TimeLimitIcon.png", "hud/NewRoomIcon.png",   "hud/DirectionIcon.png",
    "hud/FrictionIcon.png", "hud/StrengthIcon.png",  "hud/IncrementIcon.png",
};
inline constexpr int kIcons = sizeof kIconFiles / sizeof kIconFiles[0];
inline constexpr int kLabels = Screen2DScene::kUnitsPerMenu - 1 - kIcons;

inline std::unique_ptr<dorvo::gfx::CSprite> Sprite(const std::string& texture, int size, int x, int y)
{
    auto sprite = std::make_unique<dorvo::gfx::CSprite>(texture);
    const int center[2] = {0, 0};
    sprite->AddGridAnimation("Base", size, size, 1, 0, 0, 50, center, false);
    sprite->SetPosition(x, y);
    return sprite;
}
} // namespace screen2d

inline Screen2DScene::~Screen2DScene()
{
    GobManager& manager = GobManager::Instance();
    for (Gob* menu : m_menus)
        manager.KillGob(menu);
    if (Gob* console = manager.GetGob(m_consoleId))
        manager.KillGob(console);
    manager.ProcessKillList();
    m_panels.clear();
}

inline bool Screen2DScene::Build()
{
    using namespace screen2d;
    GobManager& manager = GobManager::Instance();
    RegisterCoreComponentTypes();
    StateMachineComponent::RegisterType();
    dorvo::gfx::CDorvoGfx::Instance().RegisterComponentCreators();
    manager.LoadTemplate(std::string(DORVO_SOURCE_DIR) + "/data/files/xmlfiles/2DObjectTemplate.xml");

    for (int m = 0; m < kMenus; ++m)
    {
        Gob* menu = manager.CreateGob("2DArchetype");
        auto* comp = menu ? dynamic_cast<dorvo::gfx::Gfx2DComp*>(
                                menu->GetComponent(dorvo::gfx::Gfx2DComp::StaticTypeID()))
                          : nullptr;
        if (!comp)
            return false;
        m_menus.push_back(menu);
        // Menus side by side and overlapping, five a row.
        const int left = (m % 5) * 150;
        const int top = (m / 5) * 280;
        std::unique_ptr<dorvo::gfx::CSprite> panel = Sprite("hud/MenuBackground.png", 512, left, top);
        panel->SetScale(0.45f, 0.55f, 1.0f);
        panel->SetDepth(20 + m);
        comp->AddUnit("Panel", panel.get(), "");
        for (int i = 0; i < kIcons; ++i)
        {
            std::unique_ptr<dorvo::gfx::CSprite> icon =
                Sprite(kIconFiles[i], 64, 10 + (i % 4) * 52, 10 + (i / 4) * 52);
            icon->SetScale(0.75f, 0.75f, 1.0f);
            icon->SetDepth(21 + m);
            if (comp->AddUnit("Icon " + std::to_string(i), icon.get(), "Panel"))
                icon.release();
        }
        dorvo::gfx::STextStyle style;
        style.fontIndex = static_cast<unsigned>(m % 7);
        for (int i = 0; i < kLabels; ++i)
        {
            const int position[2] = {10 + (i % 2) * 110, 200 + (i / 2) * 14};
            auto label =
                std::make_unique<dorvo::gfx::CTextSprite>("Label " + std::to_string(i), style, position, 0);
            label->SetDepth(22 + m);
            if (comp->AddUnit("Label " + std::to_string(i), label.get(), "Panel"))
                label.release();
        }
        m_panels.push_back(std::move(panel));
    }

    // The console, opened by its key and left to finish its slide.
    Gob* console = manager.CreateGob("2DArchetype");
    auto* machines = console ? dynamic_cast<StateMachineComponent*>(
                                   console->GetComponent(StateMachineComponent::StaticTypeID()))
                             : nullptr;
    if (!machines)
        return false;
    machines->AddStateMachine(
        new dorvo::gfx::SMConsoleGraphics(machines, "ConsoleHistory.png", "ConsoleInput.png"));
    m_consoleId = console->GetID();
    common::ConsoleInterface& text = common::ConsoleInterface::Instance();
    for (int i = 0; i < 30; ++i)
        text.WriteToConsole("output line " + std::to_string(i) + " of the benchmark's console",
                            common::FF_Display, false);
    // On the test clock for the slide (the benchmark runs on the real one).
    const bool testClock = plat::testclock::IsEnabled();
    plat::testclock::Enable(true);
    common::Singleton<Database>::Instance()->BroadcastInputMsg(
        MSG_Pressed, dorvo::input::InputEvent{dorvo::input::KEY_GRAVE, 1, 0, 0});
    for (int i = 0; i < 20; ++i)
    {
        plat::testclock::Advance(0.05);
        Update(0.05f);
    }
    plat::testclock::Enable(testClock);
    return machines->GetActiveStateMachine()->GetState() == dorvo::gfx::SMConsoleGraphics::CS_BothOpen;
}

inline void Screen2DScene::Update(float dt)
{
    GobManager::Instance().Update(dt);
}

inline void Screen2DScene::Render(double time, float dt)
{
    dorvo::gfx::CDorvoGfx::Instance().RenderFrame(time, dt);
}
} // namespace testsupport
