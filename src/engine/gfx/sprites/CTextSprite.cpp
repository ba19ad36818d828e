#include "engine/gfx/sprites/CTextSprite.h"

#include "common/Assert.h"
#include "common/math/Matrix4.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/sprites/SpriteBatch.h"
#include "platform/win32.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
namespace
{
// DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK: measure, laid out as drawn.
constexpr plat::DWORD kMeasureFlags = 0x550;
// DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK.
constexpr plat::DWORD kDrawFlags = 0x150;
} // namespace

CTextSprite::CTextSprite() = default;

CTextSprite::CTextSprite(const std::string& text, const STextStyle& style, const int position[2],
                         int boxWidth)
    : m_text(text), m_style(style), m_boxWidth(boxWidth)
{
    if (position)
        SetPosition(position[0], position[1]);
    SetColor(style.red, style.green, style.blue);
    SetAlpha(style.alpha, false);
    UpdateLayout();
}

void CTextSprite::SetText(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    MarkDirty();
}

void CTextSprite::SetTextStyle(const STextStyle& style)
{
    m_style = style;
    MarkDirty();
}

void CTextSprite::SetBoxWidth(int width)
{
    m_boxWidth = width;
    m_boxHeight = 0;
    MarkDirty();
}

void CTextSprite::SetPosition(int x, int y)
{
    CSprite::SetPosition(x, y);
    MarkDirty();
}

void CTextSprite::SetOffset(int x, int y)
{
    CSprite::SetOffset(x, y);
    MarkDirty();
}

float CTextSprite::GetWidth() const
{
    return static_cast<float>(m_textRect.right - m_textRect.left);
}

float CTextSprite::GetHeight() const
{
    return static_cast<float>(m_textRect.bottom - m_textRect.top);
}

void CTextSprite::ApplyTransform()
{
    plat::ID3DXSprite* batch = GetSpriteBatch();
    if (!batch)
        return;
    math::Matrix4 toPivot;
    toPivot.SetTranslation(
        math::Vector3(-static_cast<float>(GetCenterX()), -static_cast<float>(GetCenterY()), 0));
    math::Matrix4 scale;
    scale.SetScale(math::Vector3(GetScaleX(), GetScaleY(), GetScaleZ()));
    const math::Matrix4 turn = math::Matrix4::RotationYawPitchRoll(GetYaw(), GetPitch(), GetRoll());
    const plat::D3DXMATRIX matrix = ToD3DXMatrix(turn * scale * toPivot);
    batch->SetTransform(&matrix);
}

void CTextSprite::Render(double, float)
{
    if (!IsVisible() || !GetSpriteBatch())
        return;
    ApplyTransform();
    DrawText();
}

bool CTextSprite::Save(TiXmlNode* node)
{
    if (!node || !node->ToElement())
        return false;
    node->LinkEndChild(new TiXmlElement("TextSprite"));
    return true;
}

plat::ID3DXFont* CTextSprite::Font() const
{
    const CDorvoGfx::FontTable& fonts = CDorvoGfx::Instance().GetFonts();
    if (!DORVO_ASSERT(m_style.fontIndex < fonts.size(),
                      "CTextSprite - the style's font index is out of range."))
        return nullptr;
    return fonts[m_style.fontIndex];
}

void CTextSprite::UpdateLayout()
{
    m_dirty = false;
    plat::RECT rect;
    rect.left = GetAbsoluteX();
    rect.top = GetAbsoluteY();
    rect.right = rect.left + m_boxWidth;
    rect.bottom = rect.top + m_boxHeight;
    // The text is UTF-8 (a typed name may hold "ë"); a byte that is no UTF-8 shows as U+FFFD.
    m_wideText = plat::ToWide(m_text);
    plat::ID3DXFont* font = Font();
    if (!font)
    {
        m_textRect = rect;
        m_textRect.right = rect.left;
        m_textRect.bottom = rect.top;
        return;
    }
    const plat::D3DCOLOR color = PackColor(plat::D3DXCOLOR(GetRed(), GetGreen(), GetBlue(), GetAlpha()));
    const std::int32_t height = font->DrawTextW(GetSpriteBatch(), m_wideText.c_str(), -1, &rect,
                                                m_style.formatFlags | kMeasureFlags, color);
    rect.right += kRightMargin;
    rect.bottom = rect.top + height;
    m_textRect = rect;
}

void CTextSprite::DrawText()
{
    if (m_dirty)
        UpdateLayout();
    plat::ID3DXFont* font = Font();
    if (!font)
        return;
    plat::ID3DXSprite* batch = GetSpriteBatch();
    const plat::DWORD flags = m_style.formatFlags | kDrawFlags;
    if (m_style.hasShadow)
    {
        plat::RECT shadow = m_textRect;
        shadow.left += m_style.shadowOffsetX;
        shadow.right += m_style.shadowOffsetX;
        shadow.top += m_style.shadowOffsetY;
        shadow.bottom += m_style.shadowOffsetY;
        const plat::D3DXCOLOR color(m_style.shadowRed, m_style.shadowGreen, m_style.shadowBlue,
                                    m_style.shadowAlpha);
        font->DrawTextW(batch, m_wideText.c_str(), -1, &shadow, flags, PackColor(color));
    }
    plat::RECT rect = m_textRect;
    const plat::D3DXCOLOR color(GetRed(), GetGreen(), GetBlue(), GetAlpha());
    font->DrawTextW(batch, m_wideText.c_str(), -1, &rect, flags, PackColor(color));
}
} // namespace gfx
} // namespace dorvo
