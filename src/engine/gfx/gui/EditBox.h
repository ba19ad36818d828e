// A one-line text entry box: a button that a click focuses. While focused it takes the keys,
// edits its text at a blinking caret and pulses its text's colour between black and dark grey;
// Enter (pressed and released in the box) hands a non-empty text in, and a release of the left
// button elsewhere hands it in too, or brings the default text back when the box was left empty.
// A box may also be given what its Enter does beyond that (a dialog's default button).
// The text shows in a text sprite the box writes to but does not own: it belongs to the unit
// tree it is filed in (the menus file it under the box). The box owns its submit callback.
#pragma once

#include "common/Timer.h"
#include "engine/gfx/gui/CButton.h"

#include <cstdint>
#include <string>

namespace dorvo
{
namespace gfx
{
class ButtonPressedFunct;
class CTextSprite;
class TextSubmitFunct;

class EditBox : public CButton
{
public:
    // Seconds the caret shows and hides.
    static constexpr float kCaretBlinkSeconds = 0.5f;
    // While focused the text's red, green and blue pulse from 0 up to this and back, once a
    // second each way: a pulse up to white would leave the typed text unreadable on the light
    // boxes the menus draw, half of the time.
    static constexpr float kFocusPulseLightest = 0.3f;

    // The background record at (x, y) pixels under the unit's name; the text starts as the default
    // text with the caret at its end. The text sprite is drawn one depth step above the box and
    // placed from the box's position until it is filed under it. maxLength: characters (UTF-8
    // text, so a character may take several bytes).
    EditBox(const std::string& textureFile, const SpriteAnimation& unpressed, CTextSprite* textSprite,
            TextSubmitFunct* submit, PointInsideFunct* hitTest, int x, int y, const std::string& unitName,
            unsigned maxLength, const std::string& defaultText);
    ~EditBox() override;

    // The button's update; while focused the caret blinks.
    void Update(int ms) override;
    // The button's input first; while focused the keys edit the text (every key press is taken).
    bool HandleInput(const input::InputEvent* event, float dt) override;
    // Focuses: caret shown at the end of the text, the text colour pulsing.
    void OnClick() override;
    // Unfocuses, when focused: hands a non-empty text in, else brings the default text back.
    void OnReleaseOutside() override;

    // Shows the text in the text sprite, with the caret ("|", or a space while it is hidden)
    // while focused.
    void RefreshText();

    const std::string& GetText() const { return m_text; }
    // The caret stays where it was, brought back to the end if the text is shorter; call
    // RefreshText to show it.
    void SetText(const std::string& text) { m_text = text; }
    const std::string& GetDefaultText() const { return m_defaultText; }
    void SetDefaultText(const std::string& text) { m_defaultText = text; }
    CTextSprite* GetTextSprite() const { return m_pTextSprite; }
    bool IsFocused() const { return m_focused; }
    bool IsCaretShown() const { return m_caretShown; }
    // Bytes of the text before the caret (a character may take several).
    unsigned GetCaret() const { return m_caret; }
    unsigned GetMaxLength() const { return m_maxLength; }
    // Replaces the submit callback and deletes the old one.
    void SetTextSubmitFunct(TextSubmitFunct* submit);
    // What an Enter pressed and released in the box does after the text is handed in, empty text
    // included (then the box keeps the focus); the box owns it. Null: nothing more.
    void SetEnterFunct(ButtonPressedFunct* enter);
    // The interpolation ids of the red, green and blue pulse.
    int GetPulseId(unsigned channel) const { return channel < 3 ? m_pulse[channel] : -1; }

private:
    void Unfocus();
    // The caret back inside the text (a menu may have shortened it).
    void ClampCaret();
    // A key press while focused.
    void EditKey(const input::InputEvent& event);
    // A typed character while focused: inserted at the caret while the box holds fewer than
    // its maximum of characters.
    void TypeCharacter(std::uint32_t codePoint);

    CTextSprite* m_pTextSprite; // not owned
    std::string m_text;
    std::string m_defaultText;
    bool m_enterPressed = false;
    bool m_focused = false;
    unsigned m_caret = 0; // bytes of the text before the caret, always at a character's start
    std::unique_ptr<TextSubmitFunct> m_pSubmit;
    std::unique_ptr<ButtonPressedFunct> m_pEnter;
    int m_pulse[4] = {-1, -1, -1, -1}; // red, green, blue; alpha never pulses
    unsigned m_maxLength;
    bool m_caretShown = false;
    common::CTimer m_caretTimer;
    float m_caretBlink = kCaretBlinkSeconds;
    std::string m_shown; // the text sprite's text, kept to avoid making it each refresh
};
} // namespace gfx
} // namespace dorvo
