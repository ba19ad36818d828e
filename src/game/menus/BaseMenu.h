// The base of every menu: a message-driven state machine on a 2D game object of its own. It
// owns the object's root sprite "Base" (and through it every unit a menu adds below it), runs
// the life cycle init -> closed -> opening -> open -> closing -> closed on messages with timed
// transitions, and hands button presses, hovers, text and custom data to the menu class through
// virtual operations. Messages nest: a send inside a handler is delivered before the send
// returns, so no handler keeps a unit, list or menu reference across one.
#pragma once

#include "common/math/Vector3.h"
#include "statemachine/MessageData.h"
#include "statemachine/StateMachine.h"

#include <memory>
#include <string>

class StateMachineComponent;

namespace dorvo
{
namespace gfx
{
class CSprite;
class Gfx2DComp;
class IScreenUnit;
} // namespace gfx
} // namespace dorvo

namespace QUORB
{
class BaseMenu : public StateMachine
{
public:
    enum State
    {
        STATE_Init = 0,
        STATE_Closed = 1,
        STATE_Opening = 2,
        STATE_Open = 3,
        STATE_Closing = 4,
    };

    static const char* const kBaseName; // "Base"

    // Builds "Base" at (0, 0) at the top level of the owner object's 2D component.
    explicit BaseMenu(StateMachineComponent* owner);
    // Takes "Base" out of the 2D component when it is still there, then deletes it with every
    // unit below it.
    ~BaseMenu() override;

    // The 2D component of the menu's game object, found anew each time; null when there is none.
    dorvo::gfx::Gfx2DComp* GetGfx2DComp() const;
    // The menu's game-object id (0 when it has none).
    std::uint32_t GetMenuId() const;
    StateMachineComponent* GetComponent() const { return m_pComponent; }
    // The root sprite, owned by the menu.
    dorvo::gfx::CSprite* GetBase() const { return m_pBase.get(); }

    float GetOpenTime() const { return m_openTime; }
    float GetCloseTime() const { return m_closeTime; }
    const math::Vector3& GetPosition() const { return m_position; }
    void SetPosition(const math::Vector3& position) { m_position = position; }
    dorvo::gfx::CSprite* GetRefSprite() const { return m_refSprite; }
    const MessageData& GetCustomData() const { return m_customData; }
    bool GetNotifyClosed() const { return m_notifyClosed; }

    // Files the unit in the 2D component under its own name below the named parent ("Base" by
    // default); the unit then belongs to that parent. Returns the unit, or null (the unit is
    // deleted) when there is no component or the parent is missing or the name is taken.
    template <class Unit> Unit* AddUnit(std::unique_ptr<Unit> unit, const std::string& parent = kBaseName)
    {
        Unit* raw = unit.get();
        return File(std::unique_ptr<dorvo::gfx::IScreenUnit>(unit.release()), parent) ? raw : nullptr;
    }

protected:
    // The life cycle; shared by every menu class.
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) final;

    // What a menu class supplies; the base does nothing unless said.
    virtual void OnButtonPressed(const std::string& name);
    virtual void OnHeldOver(const std::string& name);
    virtual void OnMovedOff(const std::string& name);
    // duration: seconds; 0 for a forced open or close.
    virtual void OpenTransition(float duration) = 0;
    virtual void CloseTransition(float duration) = 0;
    virtual void OnClosed();
    virtual void OnOpened();
    virtual void Init();
    virtual void Reset();
    virtual void UpdateOpen();
    virtual void UpdateClosed();
    // Clears the checked flag of the check button of that name without its uncheck callback.
    virtual void OnButtonUnPressed(const std::string& name);
    virtual void OnTextSubmitted(const std::string& name, const std::string& text);
    virtual void OnTextMessage(const std::string& text);

    // Places "Base" at the menu position (truncated toward zero); with showAll every unit of
    // the component becomes visible (not recursively: each unit is reached on its own).
    void PrepareOpen(bool showAll);

    float m_openTime = 1.0f;  // seconds in opening
    float m_closeTime = 1.0f; // seconds in closing
    math::Vector3 m_position; // where "Base" goes on opening, pixels (x, y)
    // The sliding menus' reference sprite; not owned. Set by MSG_SetRefSprite or a constructor.
    dorvo::gfx::CSprite* m_refSprite = nullptr;
    std::string m_heldOverButton;
    std::uint32_t m_subMenuId = 0;
    bool m_closeOnMouseUp = false;
    bool m_draggable = false;
    bool m_notifyClosed = false;
    MessageData m_customData;

private:
    bool HandleInit(std::uint32_t event);
    bool HandleClosed(std::uint32_t event, const Message* message);
    bool HandleOpening(std::uint32_t event, const Message* message);
    bool HandleOpen(std::uint32_t event, const Message* message);
    bool HandleClosing(std::uint32_t event, const Message* message);
    bool HandleGlobal(std::uint32_t event, const Message* message);
    void PressButton(const std::string& name);
    void ForceClose();
    void SetAllVisible(bool visible);
    bool File(std::unique_ptr<dorvo::gfx::IScreenUnit> unit, const std::string& parent);

    StateMachineComponent* m_pComponent;
    std::unique_ptr<dorvo::gfx::CSprite> m_pBase;
};
} // namespace QUORB
