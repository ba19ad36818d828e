#include "engine/gfx/gui/EditBox.h"

#include "common/InputEvent.h"
#include "common/InterpolationMgr.h"
#include "common/Utf8Text.h"
#include "engine/gfx/gui/ButtonPressedFunct.h"
#include "engine/gfx/gui/TextSubmitFunct.h"
#include "engine/gfx/sprites/CTextSprite.h"

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr char kBackspaceChar = '\b';
constexpr char kGrave = '`';
constexpr float kPulseSeconds = 1.0f;

// Keyboard codes; the mouse's buttons and axes are not keys to a text box.
bool IsKey(std::uint32_t code)
{
    return code >= 1 && code < input::MOUSE_BUTTON_0;
}
} // namespace

EditBox::EditBox(const std::string& textureFile, const SpriteAnimation& unpressed, CTextSprite* textSprite,
                 TextSubmitFunct* submit, PointInsideFunct* hitTest, int x, int y,
                 const std::string& unitName, unsigned maxLength, const std::string& defaultText)
    : CButton(textureFile, unpressed, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, hitTest),
      m_pTextSprite(textSprite), m_text(defaultText), m_defaultText(defaultText),
      m_caret(static_cast<unsigned>(defaultText.size())), m_pSubmit(submit), m_maxLength(maxLength),
      m_caretTimer(true)
{
    SetName(unitName);
    SetPosition(x, y);
    common::CInterpolationMgr& interpolations = common::CInterpolationMgr::Instance();
    for (int channel = 0; channel < 3; ++channel)
        m_pulse[channel] =
            interpolations.AddFloat(0.0f, kFocusPulseLightest, kPulseSeconds, common::INTERP_PINGPONG);
    if (m_pTextSprite)
    {
        // Filed under the box later, the sprite takes the box's position through its parent; until
        // then it is placed from it here.
        m_pTextSprite->SetOffset(GetAbsoluteX(), GetAbsoluteY());
        m_pTextSprite->SetDepth(GetDepth() + 1);
    }
    RefreshText();
}

EditBox::~EditBox() = default;

void EditBox::Update(int ms)
{
    CButton::Update(ms);
    if (m_focused && m_caretTimer.GetTime() > m_caretBlink)
    {
        m_caretShown = !m_caretShown;
        m_caretTimer.Restart();
        RefreshText();
    }
}

bool EditBox::HandleInput(const input::InputEvent* event, float dt)
{
    const bool taken = CButton::HandleInput(event, dt);
    if (!m_focused || !event)
        return taken;
    if (!IsVisible() || GetAlpha() == 0.0f)
    {
        Unfocus();
        return taken;
    }
    if (event->code == input::TEXT_INPUT)
    {
        TypeCharacter(static_cast<std::uint32_t>(event->value));
        RefreshText();
        return true;
    }
    if (!IsKey(event->code))
        return taken;
    if (event->value == 0)
    {
        if (event->code == input::KEY_BACK)
            return true;
        if (event->code == input::KEY_RETURN)
        {
            const bool entered = m_enterPressed;
            m_enterPressed = false;
            if (entered && !m_text.empty())
                Unfocus();
            // Last: what it does may reach code that replaces it.
            if (entered && m_pEnter)
                (*m_pEnter)();
            return true;
        }
        return taken;
    }
    if (event->value != 1)
        return taken;
    EditKey(*event);
    RefreshText();
    return true;
}

void EditBox::EditKey(const input::InputEvent& event)
{
    ClampCaret();
    switch (event.code)
    {
    case input::KEY_RETURN:
        m_enterPressed = true;
        break;
    case input::KEY_LEFT:
        m_caret = static_cast<unsigned>(common::PreviousCharacter(m_text, m_caret));
        break;
    case input::KEY_RIGHT:
        m_caret = static_cast<unsigned>(common::NextCharacter(m_text, m_caret));
        break;
    case input::KEY_DELETE:
        m_text.erase(m_caret, common::NextCharacter(m_text, m_caret) - m_caret);
        break;
    default:
        break;
    }
    // Characters come as typed text; of the keys only Backspace edits.
    if (input::ScanCodeToChar(event, 0) == kBackspaceChar && m_caret > 0)
    {
        const std::size_t from = common::PreviousCharacter(m_text, m_caret);
        m_text.erase(from, m_caret - from);
        m_caret = static_cast<unsigned>(from);
    }
}

void EditBox::TypeCharacter(std::uint32_t codePoint)
{
    ClampCaret();
    // The console's key is never typed; a full box takes nothing more, which the player sees
    // as the text stops growing.
    if (codePoint == static_cast<std::uint32_t>(kGrave) || common::Utf8Length(m_text) >= m_maxLength)
        return;
    const std::string typed = common::EncodeUtf8(codePoint);
    m_text.insert(m_caret, typed);
    m_caret += static_cast<unsigned>(typed.size());
}

void EditBox::OnClick()
{
    m_focused = true;
    if (m_pTextSprite)
    {
        m_pTextSprite->SetInterpolation(CSprite::IP_Red, m_pulse[0]);
        m_pTextSprite->SetInterpolation(CSprite::IP_Green, m_pulse[1]);
        m_pTextSprite->SetInterpolation(CSprite::IP_Blue, m_pulse[2]);
        m_pTextSprite->SetInterpolation(CSprite::IP_Alpha, CSprite::kNoInterpolation);
    }
    m_caretShown = true;
    m_caretTimer.Restart();
    m_caret = static_cast<unsigned>(m_text.size());
    RefreshText();
}

void EditBox::OnReleaseOutside()
{
    // Only a box being edited has anything to hand in: a click elsewhere leaves the others alone.
    if (m_focused)
        Unfocus();
}

void EditBox::Unfocus()
{
    m_focused = false;
    m_enterPressed = false;
    if (m_pTextSprite)
    {
        m_pTextSprite->SetInterpolation(CSprite::IP_Red, CSprite::kNoInterpolation);
        m_pTextSprite->SetInterpolation(CSprite::IP_Green, CSprite::kNoInterpolation);
        m_pTextSprite->SetInterpolation(CSprite::IP_Blue, CSprite::kNoInterpolation);
        m_pTextSprite->SetInterpolation(CSprite::IP_Alpha, CSprite::kNoInterpolation);
        m_pTextSprite->SetColor(0.0f, 0.0f, 0.0f);
    }
    m_caretShown = false;
    if (!m_text.empty())
    {
        if (m_pSubmit)
            (*m_pSubmit)();
    }
    else
        m_text = m_defaultText;
    RefreshText();
}

void EditBox::ClampCaret()
{
    if (m_caret > m_text.size())
        m_caret = static_cast<unsigned>(m_text.size());
}

void EditBox::RefreshText()
{
    ClampCaret();
    m_shown = m_text;
    if (m_focused)
        m_shown.insert(m_shown.begin() + m_caret, m_caretShown ? '|' : ' ');
    if (m_pTextSprite && m_pTextSprite->GetText() != m_shown)
        m_pTextSprite->SetText(m_shown);
}

void EditBox::SetTextSubmitFunct(TextSubmitFunct* submit)
{
    if (m_pSubmit.get() != submit)
        m_pSubmit.reset(submit);
}

void EditBox::SetEnterFunct(ButtonPressedFunct* enter)
{
    if (m_pEnter.get() != enter)
        m_pEnter.reset(enter);
}
} // namespace gfx
} // namespace dorvo
