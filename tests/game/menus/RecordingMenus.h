// Menus for the menus' tests: each records the operations the menu base calls on it, in order,
// into one shared log, and lets a test set the fields a menu class would set.
#pragma once

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CheckButton.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/FadeMenu.h"
#include "game/menus/LinearExpandMenu.h"
#include "game/menus/LinearMoveMenu.h"
#include "game/menus/StaticMenu.h"
#include "platform/sound_events.h"

#include <sstream>
#include <string>
#include <vector>

namespace menutest
{
inline std::vector<std::string>& Calls()
{
    static std::vector<std::string> s_calls;
    return s_calls;
}

inline std::string Float(float value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// The virtual operations of the base, each logged with its arguments; everything else is the
// motion base's. Fields a menu class sets are reachable through Set.
template <class Base> class Recording : public Base
{
public:
    explicit Recording(StateMachineComponent* owner) : Base(owner) { s_last = this; }
    ~Recording() override
    {
        if (s_last == this)
            s_last = nullptr;
    }

    static Recording* Last() { return s_last; }

    void SetTimes(float open, float close)
    {
        this->m_openTime = open;
        this->m_closeTime = close;
    }
    void SetDraggable(bool on) { this->m_draggable = on; }
    void SetCloseOnMouseUp(bool on) { this->m_closeOnMouseUp = on; }
    void SetRefSprite(dorvo::gfx::CSprite* sprite) { this->m_refSprite = sprite; }
    // How many sounds had started when the last press arrived.
    std::size_t soundsAtPress = 0;

protected:
    void OnButtonPressed(const std::string& name) override
    {
        soundsAtPress = plat::soundtest::Records().size();
        Calls().push_back("OnButtonPressed(" + name + ")");
    }
    void OnHeldOver(const std::string& name) override { Calls().push_back("OnHeldOver(" + name + ")"); }
    void OnMovedOff(const std::string& name) override { Calls().push_back("OnMovedOff(" + name + ")"); }
    void OpenTransition(float duration) override
    {
        Calls().push_back("OpenTransition(" + Float(duration) + ")");
        Base::OpenTransition(duration);
    }
    void CloseTransition(float duration) override
    {
        Calls().push_back("CloseTransition(" + Float(duration) + ")");
        Base::CloseTransition(duration);
    }
    void OnClosed() override { Calls().push_back("OnClosed"); }
    void OnOpened() override { Calls().push_back("OnOpened"); }
    void Init() override { Calls().push_back("Init"); }
    void Reset() override { Calls().push_back("Reset"); }
    void OnButtonUnPressed(const std::string& name) override
    {
        Calls().push_back("OnButtonUnPressed(" + name + ")");
        Base::OnButtonUnPressed(name);
    }
    void OnTextSubmitted(const std::string& name, const std::string& text) override
    {
        Calls().push_back("OnTextSubmitted(" + name + "," + text + ")");
    }
    void OnTextMessage(const std::string& text) override { Calls().push_back("OnTextMessage(" + text + ")"); }

private:
    static inline Recording* s_last = nullptr;
};

// A base menu whose transitions only log (BaseMenu's own are for the menu class to supply).
class PlainMenu : public QUORB::BaseMenu
{
public:
    explicit PlainMenu(StateMachineComponent* owner) : QUORB::BaseMenu(owner) {}

protected:
    void OpenTransition(float) override {}
    void CloseTransition(float) override {}
};

using RecordingMenu = Recording<PlainMenu>;
using RecordingStatic = Recording<QUORB::StaticMenu>;
using RecordingFade = Recording<QUORB::FadeMenu>;
using RecordingSlide = Recording<QUORB::LinearMoveMenu>;
using RecordingExpand = Recording<QUORB::LinearExpandMenu>;

// A sliding menu whose positions a test sets.
class SlideMenu : public Recording<QUORB::LinearMoveMenu>
{
public:
    explicit SlideMenu(StateMachineComponent* owner) : Recording<QUORB::LinearMoveMenu>(owner)
    {
        s_slide = this;
    }
    ~SlideMenu() override
    {
        if (s_slide == this)
            s_slide = nullptr;
    }
    static SlideMenu* Last() { return s_slide; }
    void SetPositions(const math::Vector3& closed, const math::Vector3& open)
    {
        m_closedPosition = closed;
        m_openPosition = open;
    }

private:
    static inline SlideMenu* s_slide = nullptr;
};
} // namespace menutest
