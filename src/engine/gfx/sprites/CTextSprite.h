// A sprite that writes a text in one of the facade's seven fonts instead of drawing a texture
// frame. Its rectangle starts at its absolute position, as wide as its box (0: one line per
// line break, no wrapping) and as tall as the text needs; the layout is measured only after a
// change that moves or restyles the text (at the next draw), so the size reads the last layout.
// The text is drawn in the sprite's colour, after the style's shadow when it has one.
#pragma once

#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/STextStyle.h"

#include <string>

namespace dorvo
{
namespace gfx
{
class CTextSprite : public CSprite
{
public:
    // Extra width a layout adds on the right of the measured text, pixels.
    static constexpr int kRightMargin = 12;

    // Empty text, default style, box width 0, waiting for its first layout.
    CTextSprite();
    // Placed at position (pixels), coloured from the style and laid out at once.
    CTextSprite(const std::string& text, const STextStyle& style, const int position[2], int boxWidth);

    // Each marks the layout stale when it changes something.
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }
    void SetTextStyle(const STextStyle& style);
    const STextStyle& GetTextStyle() const { return m_style; }
    // Pixels; the box height goes back to 0 (as tall as the text).
    void SetBoxWidth(int width);
    int GetBoxWidth() const { return m_boxWidth; }
    int GetBoxHeight() const { return m_boxHeight; }

    using CSprite::SetOffset;
    using CSprite::SetPosition;
    void SetPosition(int x, int y) override;
    void SetOffset(int x, int y) override;

    // Of the last layout's rectangle, pixels.
    float GetWidth() const override;
    float GetHeight() const override;
    // Scale and turn only: the rectangle carries the position.
    void ApplyTransform() override;
    // The text, when visible and the sprite batch exists.
    void Render(double time, float dt) override;
    // "TextSprite" appended to the node.
    bool Save(TiXmlNode* node) override;

    // Measures the text: the rectangle from the absolute position and the box, fitted to the
    // text by the font, widened by kRightMargin and as tall as the lines.
    void UpdateLayout();
    // Lays out when stale, then the shadow and the text.
    void DrawText();
    const plat::RECT& GetTextRect() const { return m_textRect; }
    bool IsDirty() const { return m_dirty; }

private:
    plat::ID3DXFont* Font() const;
    void MarkDirty() { m_dirty = true; }

    std::string m_text;
    std::wstring m_wideText; // the text decoded from UTF-8, rebuilt at layout
    STextStyle m_style;
    int m_boxWidth = 0; // pixels
    int m_boxHeight = 0;
    plat::RECT m_textRect;
    bool m_dirty = true;
};
} // namespace gfx
} // namespace dorvo
