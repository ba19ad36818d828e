// A textured, animated, tinted, scaled and turned rectangle of the 2D layer, at an integer
// position in back-buffer pixels (origin top left, y down) relative to its parent: its absolute
// position is its position plus the parent offset (the parent's absolute position). It draws
// the current frame of its current animation through the shared sprite batch, scaled and
// turned about the animation's pivot, which lands on the absolute position. Menus animate it by
// handing it interpolation ids, which it polls each update. Every child of a sprite is a
// sprite. The sprite owns its texture handle and its animations.
#pragma once

#include "engine/gfx/sprites/IScreenUnit.h"
#include "engine/gfx/sprites/SpriteAnimation.h"
#include "platform/d3dx9.h"

#include <array>
#include <map>
#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CTextureHandle;

class CSprite : public IScreenUnit
{
public:
    // The interpolations a sprite polls, in the order it applies them.
    enum EInterpolation : unsigned
    {
        IP_Position, // a Vector3 whose x and y, truncated, become the position
        IP_Alpha,    // a float for the alpha of the sprite and its descendants
        IP_Red,
        IP_Green,
        IP_Blue,
        IP_Scale, // a Vector3 for the three scale factors
        IP_Count
    };
    static constexpr int kNoInterpolation = -1;
    static constexpr int kDefaultDepth = 3;

    // No texture, no animation.
    CSprite();
    // The texture loaded through the cache (the name relative to the texture folder).
    explicit CSprite(const std::string& textureFile);
    // Gives the texture back, then the animations and (through the base) the children go.
    ~CSprite() override;

    // ---- IScreenUnit ----
    // "Sprite" appended to the node; false for a null node or one that is not an element.
    bool Save(TiXmlNode* node) override;
    // True for an element; reads nothing.
    bool Load(const TiXmlNode* node) override;
    // The children, then the interpolations, then the current animation's frame.
    void Update(int ms) override;
    // The current frame, unless invisible, without a current animation, with an empty frame,
    // without a texture or without the sprite batch.
    void Render(double time, float dt) override;
    int GetDepth() const override { return m_depth; }
    // The children take depth + 1, their children depth + 2, and so on.
    void SetDepth(int depth) override;
    bool IsVisible() const override { return m_visible; }
    void SetVisible(bool visible, bool recursive) override;
    // A sprite parent gives this sprite (and its descendants) their offsets.
    void SetParent(IScreenUnit* parent) override;

    // ---- Further operations that sprite kinds change ----
    // The batch's transform: scaled and turned about the pivot, the pivot on the absolute
    // position.
    virtual void ApplyTransform();
    // The parent offset, pixels; every child gets position + offset as its own.
    virtual void SetOffset(const plat::POINT& offset);
    virtual void SetOffset(int x, int y);
    // The skin's sprite colour with this sprite's alpha while it takes skin colours and a skin
    // is chosen, else its own colour.
    virtual void GetColor(plat::D3DXCOLOR& color) const;
    // The current frame's size times the scale, pixels; 0 without a current animation.
    virtual float GetWidth() const;
    virtual float GetHeight() const;
    // Pixels from the parent; every child gets position + offset as its offset.
    virtual void SetPosition(const plat::POINT& position);
    virtual void SetPosition(int x, int y);

    // ---- Texture and animations ----
    void SetTexture(const std::string& textureFile);
    const CTextureHandle& GetTexture() const { return *m_pTexture; }
    int GetTextureWidth() const { return m_textureWidth; } // pixels, 0 without a texture
    int GetTextureHeight() const { return m_textureHeight; }

    // Files the record under the name (a name in use keeps its old record); with makeCurrent the
    // name becomes the current animation. False when the name was in use.
    bool AddAnimation(const std::string& name, const SpriteAnimation& record, bool makeCurrent);
    // A paused strip record (frame 0, no own colour) filed and made current. centre: pixels.
    void AddGridAnimation(const std::string& name, int frameWidth, int frameHeight, int frameCount,
                          int sourceX, int sourceY, int frameTimeMs, const int center[2], bool loop);
    // Makes the named animation current (the old one restarts at frame 0 when chosen again) and
    // takes its pivot. The running one's name changes nothing; an unknown name changes nothing
    // except that "null" clears the current animation and, with rename-current set, the
    // current animation takes the name.
    void SetAnimation(const std::string& name);
    bool IsCurrentAnimation(const std::string& name) const;
    const SpriteAnimation* GetCurrentAnimation() const { return m_pCurrentAnimation; }
    SpriteAnimation* GetCurrentAnimation() { return m_pCurrentAnimation; }
    const std::map<std::string, SpriteAnimation>& GetAnimations() const { return m_animations; }
    // Frame 0 of the current animation, right and bottom on its last pixel (x + w - 1,
    // y + h - 1); all 0 without a current animation.
    void GetSourceRect(plat::RECT& rect) const;

    // ---- Placement and look ----
    int GetPositionX() const { return m_positionX; }
    int GetPositionY() const { return m_positionY; }
    int GetOffsetX() const { return m_offsetX; }
    int GetOffsetY() const { return m_offsetY; }
    int GetAbsoluteX() const { return m_positionX + m_offsetX; }
    int GetAbsoluteY() const { return m_positionY + m_offsetY; }
    int GetCenterX() const { return m_centerX; } // the pivot, pixels from the frame's top left
    int GetCenterY() const { return m_centerY; }

    void SetScale(float x, float y, float z);
    float GetScaleX() const { return m_scaleX; }
    float GetScaleY() const { return m_scaleY; }
    float GetScaleZ() const { return m_scaleZ; }
    // Radians.
    void SetRotation(float pitch, float yaw, float roll);
    float GetPitch() const { return m_pitch; }
    float GetYaw() const { return m_yaw; }
    float GetRoll() const { return m_roll; }

    // Channels in 0..1 (values outside draw as 0 or 255).
    void SetColor(float red, float green, float blue);
    void SetRed(float red) { m_red = red; }
    void SetGreen(float green) { m_green = green; }
    void SetBlue(float blue) { m_blue = blue; }
    float GetRed() const { return m_red; }
    float GetGreen() const { return m_green; }
    float GetBlue() const { return m_blue; }
    // With recursive, every descendant sprite takes the alpha too.
    void SetAlpha(float alpha, bool recursive);
    float GetAlpha() const { return m_alpha; }

    void SetUseSkinColor(bool use) { m_useSkinColor = use; }
    bool GetUseSkinColor() const { return m_useSkinColor; }
    void SetRenameCurrent(bool rename) { m_renameCurrent = rename; }
    bool GetRenameCurrent() const { return m_renameCurrent; }
    // Shown by the menus' tool tip; the sprite never reads it.
    void SetTipText(const std::string& text) { m_tipText = text; }
    const std::string& GetTipText() const { return m_tipText; }

    // An id of the interpolation manager to poll, or kNoInterpolation.
    void SetInterpolation(EInterpolation which, int id);
    int GetInterpolation(EInterpolation which) const;

protected:
    // The drawn colour as packed bytes.
    static plat::D3DCOLOR PackColor(const plat::D3DXCOLOR& color);

private:
    void UpdateInterpolations();
    void StepFrames(int ms);
    // The current frame's rectangle in the texture, right and bottom on the last pixel; false
    // when there is nothing to draw (no animation, an empty frame).
    bool FrameRect(plat::RECT& rect) const;

    std::unique_ptr<CTextureHandle> m_pTexture;
    std::map<std::string, SpriteAnimation> m_animations;
    SpriteAnimation* m_pCurrentAnimation = nullptr;
    int m_textureWidth = 0; // pixels
    int m_textureHeight = 0;
    int m_centerX = 0; // pixels
    int m_centerY = 0;

protected:
    int m_positionX = 0; // pixels
    int m_positionY = 0;
    int m_offsetX = 0; // the parent's absolute position
    int m_offsetY = 0;

private:
    int m_depth = kDefaultDepth;
    bool m_visible = true;
    float m_alpha = 1.0f;
    float m_red = 1.0f;
    float m_blue = 1.0f;
    float m_green = 1.0f;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    float m_scaleZ = 1.0f;
    float m_pitch = 0.0f; // radians
    float m_yaw = 0.0f;
    float m_roll = 0.0f;
    bool m_useSkinColor = true;
    bool m_renameCurrent = false;
    std::string m_tipText;
    std::array<int, IP_Count> m_interpolations{kNoInterpolation, kNoInterpolation, kNoInterpolation,
                                               kNoInterpolation, kNoInterpolation, kNoInterpolation};
};
} // namespace gfx
} // namespace dorvo
