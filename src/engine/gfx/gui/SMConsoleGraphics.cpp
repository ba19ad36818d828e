#include "engine/gfx/gui/SMConsoleGraphics.h"

#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/InterpolationMgr.h"
#include "engine/Gob.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "platform/dinput.h"
#include "statemachine/Message.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr char kTextWindow[] = "TextWindow";
constexpr char kInputWindow[] = "InputWindow";
constexpr char kInput[] = "Input";
constexpr char kHistoryPrefix[] = "History ";
constexpr int kWindowDepth = 9;
constexpr int kTextDepth = 10;
constexpr int kTextFont = 6;       // the narrow Arial
constexpr int kHistoryLeft = 7;    // pixels from the panel's left
constexpr int kHistoryBottom = 25; // line 0's top, pixels above the panel's bottom
constexpr int kHistoryStep = 20;   // pixels between lines
constexpr int kInputLeft = 10;
constexpr int kInputTop = 5;
constexpr char kGrave = '`';
constexpr char kTab = '\t';

// Keys and the text they type.
bool IsKeyboard(const input::InputEvent& event)
{
    return (event.code >= 1 && event.code <= input::KEY_LAST_VALID) || event.code == input::TEXT_INPUT;
}

char KeyChar(const Message* message)
{
    return input::ScanCodeToChar(message->GetInputEvent(), 0);
}

// A window sprite over its whole image, one frame, stretched across the screen's width.
std::unique_ptr<CSprite> MakeWindow(const std::string& texture, unsigned screenWidth)
{
    auto window = std::make_unique<CSprite>(texture);
    const int width = window->GetTextureWidth();
    const int height = window->GetTextureHeight();
    const int center[2] = {0, 0};
    window->AddGridAnimation("Base", width, height, 1, 0, 0, 50, center, false);
    // A texture that did not load has no width: the window stays unscaled (and draws nothing).
    const float scale = width > 0 ? static_cast<float>(screenWidth) / static_cast<float>(width) : 1.0f;
    window->SetScale(scale, 1.0f, 1.0f);
    window->SetDepth(kWindowDepth);
    return window;
}

std::unique_ptr<CTextSprite> MakeLine(int x, int y)
{
    auto line = std::make_unique<CTextSprite>();
    STextStyle style;
    style.fontIndex = kTextFont;
    style.red = 0.0f;
    style.green = 0.0f;
    style.blue = 0.0f;
    style.alpha = 1.0f;
    style.formatFlags = 0;
    style.ClearShadow();
    line->SetTextStyle(style);
    line->SetColor(0.0f, 0.0f, 0.0f);
    line->SetAlpha(1.0f, false);
    line->SetPosition(x, y);
    line->SetDepth(kTextDepth);
    return line;
}
} // namespace

SMConsoleGraphics::SMConsoleGraphics(StateMachineComponent* component, const std::string& historyTexture,
                                     const std::string& inputTexture, common::ConsoleInterface* console)
    : StateMachine(component), m_pComponent(component),
      m_pConsole(console ? console : &common::ConsoleInterface::Instance())
{
    m_pConsole->SetInputLineWidth(kInputLineWidth);
    const CGFXCore& core = CGFXCore::Instance();
    const unsigned width = core.GetScreenWidth();
    const unsigned height = core.GetScreenHeight();
    Gfx2DComp* comp = GetComponent();

    m_pTextWindow = MakeWindow(historyTexture, width);
    m_pTextWindow->SetPosition(0, kClosedPanelY);
    if (comp)
        comp->AddUnit(kTextWindow, m_pTextWindow.get(), "");

    m_pInputWindow = MakeWindow(inputTexture, width);
    m_pInputWindow->SetPosition(0,
                                static_cast<int>(std::trunc(static_cast<double>(height) + kInputStartBelow)));
    if (comp)
        comp->AddUnit(kInputWindow, m_pInputWindow.get(), "");

    // Line 0 at the bottom of the panel. The lines belong to the window once added; without a
    // component they go with it all the same.
    const int panelHeight = m_pTextWindow->GetTextureHeight();
    for (int i = 0; i < kHistoryLines; ++i)
    {
        std::unique_ptr<CTextSprite> line =
            MakeLine(kHistoryLeft, panelHeight - kHistoryStep * i - kHistoryBottom);
        const std::string name = kHistoryPrefix + std::to_string(i);
        line->SetName(name);
        if (comp ? comp->AddUnit(name, line.get(), kTextWindow) : m_pTextWindow->AddChild(name, line.get()))
            line.release();
    }
    // Again, so that the lines take the panel's offset.
    m_pTextWindow->SetPosition(0, kClosedPanelY);

    std::unique_ptr<CTextSprite> input = MakeLine(kInputLeft, kInputTop);
    input->SetName(kInput);
    if (comp ? comp->AddUnit(kInput, input.get(), kInputWindow)
             : m_pInputWindow->AddChild(kInput, input.get()))
        input.release();
}

SMConsoleGraphics::~SMConsoleGraphics()
{
    // The object's components go one by one; the 2D component may still be there.
    Gfx2DComp* comp = GetComponent();
    if (!comp)
        return;
    for (const auto& window : {std::make_pair(kTextWindow, m_pTextWindow.get()),
                               std::make_pair(kInputWindow, m_pInputWindow.get())})
    {
        auto found = comp->GetUnits().find(window.first);
        if (found != comp->GetUnits().end() && found->second == window.second)
            comp->RemoveUnit(window.first);
    }
}

Gfx2DComp* SMConsoleGraphics::GetComponent() const
{
    Gob* owner = m_pComponent ? m_pComponent->GetOwner() : nullptr;
    return owner ? dynamic_cast<Gfx2DComp*>(owner->GetComponent(Gfx2DComp::StaticTypeID())) : nullptr;
}

bool SMConsoleGraphics::IsInterpolating(const CSprite& sprite)
{
    for (unsigned which = 0; which < CSprite::IP_Count; ++which)
        if (sprite.GetInterpolation(static_cast<CSprite::EInterpolation>(which)) != CSprite::kNoInterpolation)
            return true;
    return false;
}

bool SMConsoleGraphics::HandleStateEvent(std::uint32_t event, const Message* message, int state, int)
{
    if (state == kAnyState)
        return HandleGlobal(event, message);

    const bool pressed = event == EVENT_Message && message && message->GetName() == MSG_Pressed;
    const bool released = event == EVENT_Message && message && message->GetName() == MSG_UnPressed;
    const unsigned height = CGFXCore::Instance().GetScreenHeight();

    switch (state)
    {
    case CS_Start:
        if (event != EVENT_Enter)
            return false;
        ChangeState(CS_Closed);
        return true;

    case CS_Closed:
    case CS_ClosingInput:
    case CS_ClosingBoth:
        if (state != CS_Closed && event == EVENT_Enter)
        {
            Slide(kInputWindow, static_cast<int>(height) + kInputClosedBelow);
            if (state == CS_ClosingBoth)
                Slide(kTextWindow, kClosedPanelY);
            return true;
        }
        if (state != CS_Closed && event == EVENT_Update)
        {
            if (!Sliding(kInputWindow) && (state == CS_ClosingInput || !Sliding(kTextWindow)))
                ChangeState(CS_Closed);
            return true;
        }
        // A window sliding out is as good as closed: its key brings it back from where it is, so
        // every press of a key counts, however quickly they follow one another.
        if (!pressed)
            return false;
        if (KeyChar(message) == kGrave)
        {
            // The console's key is a dead key on some layouts (^ on a German keyboard): what it
            // holds must not fall on the first letter typed into the console.
            plat::CancelTextComposition();
            ChangeState(CS_OpeningBoth);
        }
        else if (KeyChar(message) == kTab)
            ChangeState(CS_OpeningInput);
        else
            return false;
        return true;

    case CS_OpeningInput:
    case CS_OpeningBoth:
    case CS_InputOpen:
    case CS_BothOpen:
    {
        const bool strip = state == CS_OpeningInput || state == CS_InputOpen;
        const bool opening = state == CS_OpeningInput || state == CS_OpeningBoth;
        if (opening && event == EVENT_Enter)
        {
            if (strip)
            {
                const CSprite* window = GetComponent() ? GetComponent()->GetSprite(kInputWindow) : nullptr;
                Slide(kInputWindow, static_cast<int>(height) - (window ? window->GetTextureHeight() : 0));
            }
            else
            {
                const CSprite* panel = GetComponent() ? GetComponent()->GetSprite(kTextWindow) : nullptr;
                Slide(kTextWindow, 0);
                Slide(kInputWindow, panel ? panel->GetTextureHeight() : 0);
            }
            return true;
        }
        if (event == EVENT_Update)
        {
            ShowInputLine();
            if (!strip)
                ShowOutput();
            if (opening && !Sliding(kInputWindow) && (strip || !Sliding(kTextWindow)))
                ChangeState(strip ? CS_InputOpen : CS_BothOpen);
            return true;
        }
        // The console has the keyboard from the moment its window starts to slide in: what the
        // player types at once is typed, and the window's key sends it back from where it is.
        if (pressed && KeyChar(message) == (strip ? kTab : kGrave))
        {
            plat::CancelTextComposition();
            ChangeState(strip ? CS_ClosingInput : CS_ClosingBoth);
            return true;
        }
        if (pressed || released)
            return PassToConsole(message->GetInputEvent());
        return false;
    }

    default:
        return false;
    }
}

bool SMConsoleGraphics::HandleGlobal(std::uint32_t event, const Message* message)
{
    if (event != EVENT_Message || !message)
        return false;
    if (message->GetName() == MSG_CHANGE_STATE_DELAYED)
    {
        ChangeState(message->GetInt());
        return true;
    }
    if (message->GetName() == MSG_CHANGE_SUBSTATE_DELAYED)
    {
        ChangeSubstate(message->GetInt());
        return true;
    }
    return false;
}

void SMConsoleGraphics::Slide(const char* window, int y)
{
    Gfx2DComp* comp = GetComponent();
    CSprite* sprite = comp ? comp->GetSprite(window) : nullptr;
    if (!sprite)
        return;
    const math::Vector3 from(static_cast<float>(sprite->GetPositionX()),
                             static_cast<float>(sprite->GetPositionY()), 0.0f);
    const math::Vector3 to(0.0f, static_cast<float>(y), 0.0f);
    const int id =
        common::CInterpolationMgr::Instance().AddVector3(from, to, kSlideSeconds, common::INTERP_REMOVE);
    sprite->SetInterpolation(CSprite::IP_Position, id);
}

bool SMConsoleGraphics::Sliding(const char* window) const
{
    Gfx2DComp* comp = GetComponent();
    const CSprite* sprite = comp ? comp->GetSprite(window) : nullptr;
    return sprite && IsInterpolating(*sprite);
}

void SMConsoleGraphics::ShowInputLine()
{
    Gfx2DComp* comp = GetComponent();
    CTextSprite* input = comp ? comp->GetTextSprite(kInput) : nullptr;
    if (!input)
        return;
    std::string line = m_pConsole->GetInputLine();
    line.insert(std::min<std::size_t>(m_pConsole->GetCursor(), line.size()), 1, '|');
    input->SetText(line);
}

void SMConsoleGraphics::ShowOutput()
{
    if (!m_pConsole->IsOutputChanged())
        return;
    Gfx2DComp* comp = GetComponent();
    const auto& output = m_pConsole->GetOutputLines();
    auto newest = output.rbegin();
    for (int i = 0; i < kHistoryLines; ++i)
    {
        CTextSprite* line = comp ? comp->GetTextSprite(kHistoryPrefix + std::to_string(i)) : nullptr;
        const std::string text = newest != output.rend() ? *newest++ : std::string();
        if (line)
            line->SetText(text);
    }
    m_pConsole->ClearOutputChanged();
}

bool SMConsoleGraphics::PassToConsole(const input::InputEvent& event)
{
    if (!IsKeyboard(event))
        return false;
    return m_pConsole->HandleInput(event);
}
} // namespace gfx
} // namespace dorvo
