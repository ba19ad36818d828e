#include "MenuTestWorld.h"

#include "TestSupport.h"

#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "common/math/Vector3.h"
#include "engine/CDorvoApp.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/RunApplication.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/gui/CBaseGUI.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuState.h"
#include "game/app/MenuTable.h"
#include "game/app/MenuTraffic.h"
#include "game/app/PlaceholderMenu.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/RegisterMenuTypes.h"
#include "platform/d3dx9.h"
#include "platform/win32.h"
#include "statemachine/Database.h"
#include "statemachine/Message.h"
#include "statemachine/StateMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace gametest
{
namespace
{
constexpr double kFrameSeconds = 1.0 / 30.0;

// The recordings of the world alive now; the recorders are plain functions.
MenuRecordings* s_recordings = nullptr;

std::string ObjectName(std::uint32_t id)
{
    if (id == 0 || id == Database::kDatabaseSenderId)
        return "";
    const Gob* gob = GobManager::Instance().GetGob(id);
    return gob ? gob->GetName() : "";
}

void RecordMessage(const StateMachine&, const Message& message)
{
    if (!s_recordings)
        return;
    MenuMessage record;
    record.time = plat::testclock::Now();
    record.sender = ObjectName(message.GetSender());
    record.receiver = ObjectName(message.GetReceiver());
    record.name = message.GetName();
    record.data = message.GetData();
    s_recordings->messages.push_back(record);
}

void RecordConsoleLine(const std::string& line, common::Function_Flags flags)
{
    if (s_recordings)
        s_recordings->console.push_back(
            ConsoleLine{plat::testclock::Now(), line, flags == common::FF_Execute});
}

// Each sprite of the unit's tree, a container's GUI children and their trees included, whose
// texture file is named but did not load.
void CollectUnloaded(const dorvo::gfx::IScreenUnit* unit, std::vector<const dorvo::gfx::CSprite*>& unloaded)
{
    if (!unit)
        return;
    if (const auto* sprite = dynamic_cast<const dorvo::gfx::CSprite*>(unit))
        if (!sprite->GetTexture().GetFileName().empty() && !sprite->GetTexture().GetTexture())
            unloaded.push_back(sprite);
    for (const auto& child : unit->GetChildren())
        CollectUnloaded(child.second.get(), unloaded);
    if (const auto* container = dynamic_cast<const dorvo::gfx::CBaseGUI*>(unit))
        for (const auto& child : container->GetGuiChildren())
            CollectUnloaded(child.second.get(), unloaded);
}

// The menu's sprites whose texture did not load, in the order the menu collects its units.
std::vector<const dorvo::gfx::CSprite*> UnloadedSprites(const dorvo::gfx::Gfx2DComp* gui)
{
    std::vector<const dorvo::gfx::CSprite*> sprites;
    if (!gui)
        return sprites;
    std::vector<dorvo::gfx::IScreenUnit*> units;
    gui->CollectUnits(units);
    for (const dorvo::gfx::IScreenUnit* unit : units)
    {
        // The trees are collected already; a container's GUI children are not.
        if (const auto* sprite = dynamic_cast<const dorvo::gfx::CSprite*>(unit))
            if (!sprite->GetTexture().GetFileName().empty() && !sprite->GetTexture().GetTexture())
                sprites.push_back(sprite);
        if (const auto* container = dynamic_cast<const dorvo::gfx::CBaseGUI*>(unit))
            for (const auto& child : container->GetGuiChildren())
                CollectUnloaded(child.second.get(), sprites);
    }
    return sprites;
}

void AddOnce(std::vector<std::string>& list, const std::string& entry)
{
    if (std::find(list.begin(), list.end(), entry) == list.end())
        list.push_back(entry);
}

} // namespace

GameTestSetup MenuTestWorld::WithMenus(const MenuTestSetup& setup, MenuRecordings* recordings)
{
    GameTestSetup game = setup;
    const std::function<void()> registerMenus = setup.registerMenus;
    const std::function<void()> before = setup.beforeInit;
    const bool copyData = setup.copyTemplates;
    const bool splashes = setup.splashes;
    game.beforeInit = [recordings, registerMenus, before, copyData, splashes]()
    {
        // The rest of the committed data beside the templates (profiles, rooms, puzzles as they
        // come), never over a file the test supplied.
        if (copyData)
            for (const auto& entry : std::filesystem::directory_iterator(testsupport::RepoPath("data/files")))
                if (entry.is_directory() && entry.path().filename() != "xmlfiles")
                    std::filesystem::copy(entry.path(), "files" / entry.path().filename(),
                                          std::filesystem::copy_options::recursive |
                                              std::filesystem::copy_options::skip_existing);
        s_recordings = recordings;
        QUORB::SetMenuMessageObserver(&RecordMessage);
        common::ConsoleInterface::SetLineHook(&RecordConsoleLine);
        QUORB::MenuTable::ResetCreators();
        QUORB::RegisterMenuTypes();
        if (!splashes)
            for (const char* splash : {"KeshSplashMenu", "VoskelSplashMenu", "GameSplashMenu"})
                QUORB::RegisterMenuType<QUORB::PlaceholderMenu>(splash);
        if (registerMenus)
            registerMenus();
        if (before)
            before();
    };
    return game;
}

MenuTestWorld::MenuTestWorld() : MenuTestWorld(MenuTestSetup()) {}

MenuTestWorld::MenuTestWorld(const MenuTestSetup& setup)
    : MenuRecordings(), GameTestWorld(WithMenus(setup, static_cast<MenuRecordings*>(this)))
{
}

MenuTestWorld::~MenuTestWorld()
{
    // Looked at while the game is still here; it goes with the base world.
    for (const std::string& missing : MissingAssets())
        ADD_FAILURE() << "The menu test world: " << missing;
    // What the game says on the way out is not recorded.
    QUORB::SetMenuMessageObserver(nullptr);
    common::ConsoleInterface::SetLineHook(nullptr);
    s_recordings = nullptr;
    QUORB::MenuTable::ResetCreators();
}

void MenuTestWorld::Step(int frames)
{
    Frames(frames);
}

void MenuTestWorld::RunFor(double seconds)
{
    const int frames = std::max(1, static_cast<int>(std::ceil(seconds / kFrameSeconds - 1e-6)));
    Frames(frames);
}

bool MenuTestWorld::RunUntil(const std::function<bool()>& condition, double limitSeconds)
{
    for (double spent = 0.0; spent < limitSeconds; spent += kFrameSeconds)
    {
        if (condition())
            return true;
        Frame();
    }
    return condition();
}

double MenuTestWorld::Now() const
{
    return plat::testclock::Now();
}

std::vector<MenuMessage> MenuTestWorld::MessagesTo(const std::string& menu, MessageName name) const
{
    std::vector<MenuMessage> found;
    for (const MenuMessage& message : messages)
        if (message.receiver == menu && (name == MSG_NULL || message.name == name))
            found.push_back(message);
    return found;
}

std::vector<std::string> MenuTestWorld::SoundsStarted() const
{
    std::vector<std::string> paths;
    for (const plat::soundtest::Record& record : Sounds())
        if (record.action == "start")
            paths.push_back(record.path);
    return paths;
}

void MenuTestWorld::ClearSounds()
{
    for (const std::string& path : plat::soundtest::MissingEvents())
        AddOnce(m_missingSounds, path);
    GameTestWorld::ClearSounds();
}

dorvo::gfx::Gfx2DComp* MenuTestWorld::Gui(const std::string& menu) const
{
    Gob* gob = Object(menu);
    return gob ? dynamic_cast<dorvo::gfx::Gfx2DComp*>(
                     gob->GetComponent(dorvo::gfx::Gfx2DComp::StaticTypeID()))
               : nullptr;
}

dorvo::gfx::IScreenUnit* MenuTestWorld::FindUnit(const std::string& menu, const std::string& unit) const
{
    dorvo::gfx::Gfx2DComp* gui = Gui(menu);
    return gui ? gui->FindUnit(unit) : nullptr;
}

bool MenuTestWorld::PointAt(const std::string& menu, const std::string& unit)
{
    auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(FindUnit(menu, unit));
    if (!sprite)
        return false;
    int x = sprite->GetAbsoluteX() + static_cast<int>(sprite->GetWidth() * 0.5f);
    int y = sprite->GetAbsoluteY() + static_cast<int>(sprite->GetHeight() * 0.5f);
    if (auto* button = dynamic_cast<dorvo::gfx::CButton*>(sprite))
    {
        if (auto* rect = dynamic_cast<QUORB::RectPointInsideFunct*>(button->GetPointInsideFunct()))
        {
            x = rect->GetSprite()->GetAbsoluteX() + rect->GetWidth() / 2;
            y = rect->GetSprite()->GetAbsoluteY() + rect->GetHeight() / 2;
        }
        else if (auto* circle = dynamic_cast<QUORB::CirclePointInsideFunct*>(button->GetPointInsideFunct()))
            circle->GetCentre(x, y);
    }
    MoveCursor(x, y);
    Frame();
    return true;
}

bool MenuTestWorld::Click(const std::string& menu, const std::string& unit)
{
    if (!PointAt(menu, unit))
        return false;
    LeftDown();
    LeftUp();
    return true;
}

bool MenuTestWorld::Hover(const std::string& menu, const std::string& unit, double seconds)
{
    if (!PointAt(menu, unit))
        return false;
    RunFor(seconds);
    return true;
}

void MenuTestWorld::TypeText(const std::string& text)
{
    Type(text);
}

int MenuTestWorld::MenuState(const std::string& menu) const
{
    return QUORB::GetMenuState(menu);
}

UnitView MenuTestWorld::Unit(const std::string& menu, const std::string& unit) const
{
    UnitView view;
    auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(FindUnit(menu, unit));
    if (!sprite)
        return view;
    view.found = true;
    view.visible = sprite->IsVisible();
    view.x = sprite->GetAbsoluteX();
    view.y = sprite->GetAbsoluteY();
    view.width = static_cast<int>(sprite->GetWidth());
    view.height = static_cast<int>(sprite->GetHeight());
    view.alpha = sprite->GetAlpha();
    plat::D3DXCOLOR colour;
    sprite->GetColor(colour);
    view.red = colour.r;
    view.green = colour.g;
    view.blue = colour.b;
    if (auto* textSprite = dynamic_cast<dorvo::gfx::CTextSprite*>(sprite))
        view.text = textSprite->GetText();
    if (auto* box = dynamic_cast<dorvo::gfx::EditBox*>(sprite))
        view.text = box->GetText();
    if (auto* check = dynamic_cast<dorvo::gfx::CheckButton*>(sprite))
        view.checked = check->IsChecked();
    view.tip = sprite->GetTipText();
    return view;
}

bool MenuTestWorld::QuitRequested(int* exitCode) const
{
    return plat::IsQuitPosted(exitCode);
}

int MenuTestWorld::EndRun()
{
    if (!plat::IsQuitPosted() || !g_pApp)
        return -1;
    NoteUnloadedTextures(); // the last look at the menus
    // The loop paces its frames on the performance counter; the clock moves on as it is read.
    plat::testclock::SetAutoAdvance(0.0005);
    dorvo::RunMessageLoop();
    plat::testclock::SetAutoAdvance(0.0);
    const int code = g_pApp->Shutdown();
    delete g_pApp;
    g_pApp = nullptr;
    return code;
}

namespace
{
std::uint32_t MenuId(const std::string& menu)
{
    return common::Singleton<Database>::Instance()->FindIdByName(menu);
}
} // namespace

bool MenuTestWorld::Send(const std::string& menu, MessageName name)
{
    const std::uint32_t id = MenuId(menu);
    return id != 0 && common::Singleton<Database>::Instance()->SendMsg(id, name);
}

bool MenuTestWorld::SendInt(const std::string& menu, MessageName name, int value)
{
    const std::uint32_t id = MenuId(menu);
    return id != 0 && common::Singleton<Database>::Instance()->SendMsgInt(id, name, value);
}

bool MenuTestWorld::SendText(const std::string& menu, MessageName name, const std::string& text)
{
    const std::uint32_t id = MenuId(menu);
    return id != 0 && common::Singleton<Database>::Instance()->SendMsgString(id, name, text);
}

std::vector<std::string> MenuTestWorld::ScrollListNames(const std::string& menu,
                                                        const std::string& list) const
{
    std::vector<std::string> names;
    dorvo::gfx::Gfx2DComp* gui = Gui(menu);
    const dorvo::gfx::Gfx2DComp::ScrollList* units = gui ? gui->GetScrollList(list) : nullptr;
    if (units)
        for (const dorvo::gfx::IScreenUnit* unit : *units)
            names.push_back(unit ? unit->GetName() : std::string());
    return names;
}

bool MenuTestWorld::Broadcast(MessageName name, const math::Vector3& value)
{
    return common::Singleton<Database>::Instance()->BroadcastMsgVector3(name, value);
}

std::vector<std::string> MenuTestWorld::UnloadedTextures(const std::string& menu) const
{
    std::vector<std::string> unloaded;
    for (const dorvo::gfx::CSprite* sprite : UnloadedSprites(Gui(menu)))
        unloaded.push_back(sprite->GetName() + ": " + sprite->GetTexture().GetFileName());
    return unloaded;
}

std::vector<MenuTestWorld::MissingTexture> MenuTestWorld::UnloadedTexturesNow() const
{
    std::vector<MissingTexture> found;
    if (!g_pApp)
        return found;
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string menu = QUORB::MenuTable::GetName(i);
        for (const dorvo::gfx::CSprite* sprite : UnloadedSprites(Gui(menu)))
            found.push_back(
                MissingTexture{sprite->GetTexture().GetFileName(), menu + "/" + sprite->GetName()});
    }
    if (auto* game = dynamic_cast<QUORB::CQUORB*>(g_pApp->GetGame()))
    {
        std::vector<const dorvo::gfx::CSprite*> sprites;
        CollectUnloaded(game->GetCursor(), sprites);
        for (const dorvo::gfx::CSprite* sprite : sprites)
            found.push_back(
                MissingTexture{sprite->GetTexture().GetFileName(), "Cursor/" + sprite->GetName()});
    }
    return found;
}

void MenuTestWorld::NoteUnloadedTextures()
{
    for (const MissingTexture& texture : UnloadedTexturesNow())
        if (std::find(m_unloadedTextures.begin(), m_unloadedTextures.end(), texture) ==
            m_unloadedTextures.end())
            m_unloadedTextures.push_back(texture);
}

std::vector<std::string> MenuTestWorld::MissingAssets() const
{
    std::vector<std::string> missing;
    std::vector<MissingTexture> textures = m_unloadedTextures;
    for (const MissingTexture& texture : UnloadedTexturesNow())
        if (std::find(textures.begin(), textures.end(), texture) == textures.end())
            textures.push_back(texture);
    for (const MissingTexture& texture : textures)
        if (m_allowedMissing.count(texture.file) == 0)
            missing.push_back("texture \"" + texture.file + "\" did not load (" + texture.unit + ")");
    std::vector<std::string> sounds = m_missingSounds;
    for (const std::string& path : plat::soundtest::MissingEvents())
        AddOnce(sounds, path);
    for (const std::string& path : sounds)
        if (m_allowedMissing.count(path) == 0)
            missing.push_back("no sound event or group \"" + path + "\"");
    return missing;
}

void MenuTestWorld::AllowMissingAsset(const std::string& fileOrPath)
{
    m_allowedMissing.insert(fileOrPath);
}
} // namespace gametest
