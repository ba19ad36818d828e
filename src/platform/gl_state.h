// What the OpenGL context is known to hold, so the device skips calls that would change
// nothing. Values start unknown; anything deleted is forgotten so a reused name is bound anew.
// Only the OpenGL device uses it, inside its context.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>

namespace plat::detail::gl
{
constexpr unsigned kTextureUnits = 16;
constexpr unsigned kAttributeSlots = 8;
constexpr unsigned kClipDistances = 6;

struct AttributePointer
{
    GLuint buffer = 0;
    GLint size = 0;
    GLenum type = 0;
    GLboolean normalized = GL_FALSE;
    GLsizei stride = 0;
    std::uintptr_t offset = 0;

    bool operator==(const AttributePointer& o) const
    {
        return buffer == o.buffer && size == o.size && type == o.type && normalized == o.normalized &&
               stride == o.stride && offset == o.offset;
    }
};

class StateCache
{
public:
    // Everything unknown again (a new context, or after code that changed state behind us).
    void Invalidate();

    void DrawFramebuffer(GLuint fbo);
    void ReadFramebuffer(GLuint fbo);
    void UseProgram(GLuint program);
    void BindTexture(unsigned unit, GLuint texture);
    void BindSampler(unsigned unit, GLuint sampler);
    void ArrayBuffer(GLuint buffer);
    void ElementBuffer(GLuint buffer);

    void Enable(GLenum cap, bool on); // GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST
    void ClipDistances(unsigned mask);
    void DepthMask(bool on);
    void BlendFunc(GLenum source, GLenum dest);
    void CullFace(GLenum face);
    void PolygonMode(GLenum mode);
    void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void DepthRange(float nearValue, float farValue);
    void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);

    // The attributes a draw reads: enabled with their pointers; the others disabled.
    void AttributeArray(unsigned location, const AttributePointer& pointer);
    void DisableAttributeArray(unsigned location);

    // A deleted object's name may come back for another object.
    void ForgetTexture(GLuint texture);
    void ForgetBuffer(GLuint buffer);
    void ForgetFramebuffer(GLuint fbo);
    void ForgetProgram(GLuint program);

    unsigned Skipped() const { return m_skipped; }

private:
    static constexpr GLuint kUnknown = 0xFFFFFFFFu;
    bool Same(bool equal);

    GLuint m_drawFbo = kUnknown;
    GLuint m_readFbo = kUnknown;
    GLuint m_program = kUnknown;
    unsigned m_activeUnit = kUnknown;
    std::array<GLuint, kTextureUnits> m_textures{};
    std::array<GLuint, kTextureUnits> m_samplers{};
    GLuint m_arrayBuffer = kUnknown;
    GLuint m_elementBuffer = kUnknown;
    std::array<int, 5> m_caps{}; // -1 unknown, 0 off, 1 on
    int m_clipMask = -1;
    int m_depthMask = -1;
    GLenum m_blendSource = 0, m_blendDest = 0;
    GLenum m_cullFace = 0;
    GLenum m_polygonMode = 0;
    std::array<GLint, 4> m_viewport{};
    bool m_viewportKnown = false;
    float m_depthNear = -1.0f, m_depthFar = -1.0f;
    std::array<GLint, 4> m_scissor{};
    bool m_scissorKnown = false;
    std::array<int, kAttributeSlots> m_attribEnabled{};
    std::array<AttributePointer, kAttributeSlots> m_attribPointers{};
    unsigned m_skipped = 0;
};
} // namespace plat::detail::gl
