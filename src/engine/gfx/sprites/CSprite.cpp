#include "engine/gfx/sprites/CSprite.h"

#include "common/Assert.h"
#include "common/InterpolationMgr.h"
#include "common/math/Matrix4.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/gfx/sprites/SpriteBatch.h"

#include <tinyxml.h>

#include <climits>

namespace dorvo
{
namespace gfx
{
namespace
{
// The name that clears the current animation.
constexpr char kNullAnimation[] = "null";

// Toward zero, as a cast would, but a value past the int range (or NaN) cannot reach the cast.
int TruncateToInt(float value)
{
    if (!(value > static_cast<float>(INT_MIN)))
        return value != value ? 0 : INT_MIN;
    if (!(value < static_cast<float>(INT_MAX)))
        return INT_MAX;
    return static_cast<int>(value);
}

math::Matrix4 Translation(float x, float y)
{
    math::Matrix4 m;
    m.SetTranslation(math::Vector3(x, y, 0.0f));
    return m;
}
} // namespace

CSprite::CSprite() : m_pTexture(std::make_unique<CTextureHandle>()) {}

CSprite::CSprite(const std::string& textureFile) : CSprite()
{
    SetTexture(textureFile);
}

CSprite::~CSprite()
{
    m_pTexture->Release();
}

// ---- IScreenUnit ------------------------------------------------------------------------------------

bool CSprite::Save(TiXmlNode* node)
{
    if (!node || !node->ToElement())
        return false;
    node->LinkEndChild(new TiXmlElement("Sprite"));
    return true;
}

bool CSprite::Load(const TiXmlNode* node)
{
    return node && node->ToElement();
}

void CSprite::Update(int ms)
{
    IScreenUnit::Update(ms);
    UpdateInterpolations();
    StepFrames(ms);
}

void CSprite::UpdateInterpolations()
{
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    for (unsigned which = 0; which < IP_Count; ++which)
    {
        int& id = m_interpolations[which];
        if (id == kNoInterpolation)
            continue;
        bool done = false;
        bool known = false;
        if (which == IP_Position || which == IP_Scale)
        {
            math::Vector3 value;
            known = manager.GetVector3(id, done, value);
            if (known && which == IP_Position)
                SetPosition(TruncateToInt(value.x), TruncateToInt(value.y));
            else if (known)
                SetScale(value.x, value.y, value.z);
        }
        else
        {
            float value = 0.0f;
            known = manager.GetFloat(id, done, value);
            if (known && which == IP_Alpha)
                SetAlpha(value, true);
            else if (known && which == IP_Red)
                m_red = value;
            else if (known && which == IP_Green)
                m_green = value;
            else if (known && which == IP_Blue)
                m_blue = value;
        }
        if (!known || done)
            id = kNoInterpolation;
    }
}

void CSprite::StepFrames(int ms)
{
    SpriteAnimation* animation = m_pCurrentAnimation;
    // Without a frame time or a frame count there is no next frame to step to.
    if (!animation || animation->paused || animation->frameTime <= 0 || animation->frameCount <= 0)
        return;
    animation->accumulatedTime += ms;
    if (animation->accumulatedTime < animation->frameTime)
        return;
    const int steps = animation->accumulatedTime / animation->frameTime;
    animation->accumulatedTime -= steps * animation->frameTime;
    // Long pauses can add up to many frames; only the position in the strip counts.
    long long frame = static_cast<long long>(animation->currentFrame) + steps;
    if (!animation->loop && frame >= animation->frameCount)
        frame = animation->frameCount - 1;
    animation->currentFrame = static_cast<int>(frame % animation->frameCount);
}

bool CSprite::FrameRect(plat::RECT& rect) const
{
    const SpriteAnimation* animation = m_pCurrentAnimation;
    if (!animation || animation->frameWidth <= 0 || animation->frameHeight <= 0)
        return false;
    GetSourceRect(rect);
    // Frames run left to right from the source point and wrap into the rows below it, as many
    // whole frames a row as fit between the source point and the texture's right edge. When not
    // even one fits (or there is no texture), frame 0 stands.
    const int frame = animation->currentFrame > 0 ? animation->currentFrame : 0;
    const int room = m_textureWidth - animation->sourceX;
    const int perRow = room > 0 ? room / animation->frameWidth : 0;
    if (frame == 0 || perRow == 0)
        return true;
    const int column = frame % perRow;
    const int row = frame / perRow;
    rect.left += column * animation->frameWidth;
    rect.right += column * animation->frameWidth;
    rect.top += row * animation->frameHeight;
    rect.bottom += row * animation->frameHeight;
    return true;
}

void CSprite::Render(double, float)
{
    if (!m_visible)
        return;
    plat::RECT rect;
    if (!FrameRect(rect))
        return;
    plat::IDirect3DTexture9* texture = m_pTexture->GetTexture();
    plat::ID3DXSprite* batch = texture ? GetSpriteBatch() : nullptr;
    if (!batch)
        return;
    ApplyTransform();
    plat::D3DXCOLOR color;
    GetColor(color);
    // The batch's right and bottom lie one past the frame's last pixel.
    rect.right += 1;
    rect.bottom += 1;
    // Half a pixel back, so each texel lands on one pixel's centre.
    plat::D3DXVECTOR3 center;
    center.x = 0.5f;
    center.y = 0.5f;
    batch->Draw(texture, &rect, &center, nullptr, PackColor(color));
}

void CSprite::SetDepth(int depth)
{
    m_depth = depth;
    for (auto& child : m_children)
        child.second->SetDepth(depth + 1);
}

void CSprite::SetVisible(bool visible, bool recursive)
{
    m_visible = visible;
    if (!recursive)
        return;
    for (auto& child : m_children)
        child.second->SetVisible(visible, true);
}

void CSprite::SetParent(IScreenUnit* parent)
{
    IScreenUnit::SetParent(parent);
    // Through SetOffset, so that children this sprite already has move with it: a tree built
    // from the leaves up draws where it is placed.
    if (const auto* sprite = dynamic_cast<const CSprite*>(parent))
        SetOffset(sprite->GetAbsoluteX(), sprite->GetAbsoluteY());
}

// ---- Further operations ----------------------------------------------------------------------------

void CSprite::ApplyTransform()
{
    plat::ID3DXSprite* batch = GetSpriteBatch();
    if (!batch)
        return;
    const float cx = static_cast<float>(m_centerX);
    const float cy = static_cast<float>(m_centerY);
    math::Matrix4 scale;
    scale.SetScale(math::Vector3(m_scaleX, m_scaleY, m_scaleZ));
    const math::Matrix4 turn = math::Matrix4::RotationYawPitchRoll(m_yaw, m_pitch, m_roll);
    // About the pivot, then the pivot onto the absolute position (right operands act first).
    const math::Matrix4 transform =
        Translation(static_cast<float>(GetAbsoluteX()) - cx, static_cast<float>(GetAbsoluteY()) - cy) *
        Translation(cx, cy) * turn * scale * Translation(-cx, -cy);
    const plat::D3DXMATRIX matrix = ToD3DXMatrix(transform);
    batch->SetTransform(&matrix);
}

void CSprite::SetOffset(const plat::POINT& offset)
{
    SetOffset(offset.x, offset.y);
}

void CSprite::SetOffset(int x, int y)
{
    m_offsetX = x;
    m_offsetY = y;
    for (auto& child : m_children)
        if (auto* sprite = dynamic_cast<CSprite*>(child.second.get()))
            sprite->SetOffset(GetAbsoluteX(), GetAbsoluteY());
}

void CSprite::GetColor(plat::D3DXCOLOR& color) const
{
    if (m_useSkinColor && g_GuiSkinColors)
    {
        color = g_GuiSkinColors[SKIN_Sprite];
        color.a = m_alpha;
        return;
    }
    color = plat::D3DXCOLOR(m_red, m_green, m_blue, m_alpha);
}

float CSprite::GetWidth() const
{
    return m_pCurrentAnimation ? static_cast<float>(m_pCurrentAnimation->frameWidth) * m_scaleX : 0.0f;
}

float CSprite::GetHeight() const
{
    return m_pCurrentAnimation ? static_cast<float>(m_pCurrentAnimation->frameHeight) * m_scaleY : 0.0f;
}

void CSprite::SetPosition(const plat::POINT& position)
{
    SetPosition(position.x, position.y);
}

void CSprite::SetPosition(int x, int y)
{
    m_positionX = x;
    m_positionY = y;
    for (auto& child : m_children)
        if (auto* sprite = dynamic_cast<CSprite*>(child.second.get()))
            sprite->SetOffset(GetAbsoluteX(), GetAbsoluteY());
}

// ---- Texture and animations ------------------------------------------------------------------------

void CSprite::SetTexture(const std::string& textureFile)
{
    m_pTexture->Load(textureFile);
    m_textureWidth = static_cast<int>(m_pTexture->GetWidth());
    m_textureHeight = static_cast<int>(m_pTexture->GetHeight());
}

bool CSprite::AddAnimation(const std::string& name, const SpriteAnimation& record, bool makeCurrent)
{
    const bool added = m_animations.emplace(name, record).second;
    if (makeCurrent)
        SetAnimation(name);
    return added;
}

void CSprite::AddGridAnimation(const std::string& name, int frameWidth, int frameHeight, int frameCount,
                               int sourceX, int sourceY, int frameTimeMs, const int center[2], bool loop)
{
    SpriteAnimation record;
    if (center)
    {
        record.centerX = center[0];
        record.centerY = center[1];
    }
    record.frameWidth = frameWidth;
    record.frameHeight = frameHeight;
    record.frameCount = frameCount;
    record.sourceX = sourceX;
    record.sourceY = sourceY;
    record.frameTime = frameTimeMs;
    record.paused = true;
    record.loop = loop;
    record.name = name;
    AddAnimation(name, record, true);
}

void CSprite::SetAnimation(const std::string& name)
{
    if (IsCurrentAnimation(name))
        return;
    auto found = m_animations.find(name);
    if (found == m_animations.end())
    {
        if (name == kNullAnimation)
            m_pCurrentAnimation = nullptr;
        else if (m_renameCurrent && m_pCurrentAnimation)
            m_pCurrentAnimation->name = name;
        return;
    }
    if (m_pCurrentAnimation)
    {
        m_pCurrentAnimation->currentFrame = 0;
        m_pCurrentAnimation->accumulatedTime = 0;
    }
    m_pCurrentAnimation = &found->second;
    m_centerX = m_pCurrentAnimation->centerX;
    m_centerY = m_pCurrentAnimation->centerY;
    if (m_renameCurrent && m_pCurrentAnimation->name != name)
        m_pCurrentAnimation->name = name;
}

bool CSprite::IsCurrentAnimation(const std::string& name) const
{
    return m_pCurrentAnimation && !m_pCurrentAnimation->name.empty() && m_pCurrentAnimation->name == name;
}

void CSprite::GetSourceRect(plat::RECT& rect) const
{
    rect = plat::RECT();
    if (!m_pCurrentAnimation)
        return;
    rect.left = m_pCurrentAnimation->sourceX;
    rect.top = m_pCurrentAnimation->sourceY;
    rect.right = m_pCurrentAnimation->sourceX + m_pCurrentAnimation->frameWidth - 1;
    rect.bottom = m_pCurrentAnimation->sourceY + m_pCurrentAnimation->frameHeight - 1;
}

// ---- Placement and look ---------------------------------------------------------------------------

void CSprite::SetScale(float x, float y, float z)
{
    m_scaleX = x;
    m_scaleY = y;
    m_scaleZ = z;
}

void CSprite::SetRotation(float pitch, float yaw, float roll)
{
    m_pitch = pitch;
    m_yaw = yaw;
    m_roll = roll;
}

void CSprite::SetColor(float red, float green, float blue)
{
    m_red = red;
    m_green = green;
    m_blue = blue;
}

void CSprite::SetAlpha(float alpha, bool recursive)
{
    m_alpha = alpha;
    if (!recursive)
        return;
    for (auto& child : m_children)
        if (auto* sprite = dynamic_cast<CSprite*>(child.second.get()))
            sprite->SetAlpha(alpha, true);
}

void CSprite::SetInterpolation(EInterpolation which, int id)
{
    if (DORVO_ASSERT(which < IP_Count, "CSprite::SetInterpolation - no such interpolation."))
        m_interpolations[which] = id;
}

int CSprite::GetInterpolation(EInterpolation which) const
{
    return which < IP_Count ? m_interpolations[which] : kNoInterpolation;
}

plat::D3DCOLOR CSprite::PackColor(const plat::D3DXCOLOR& color)
{
    return static_cast<plat::D3DCOLOR>(color);
}
} // namespace gfx
} // namespace dorvo
