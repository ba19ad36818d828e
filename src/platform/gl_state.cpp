#include "platform/gl_state.h"

namespace plat::detail::gl
{
namespace
{
int CapIndex(GLenum cap)
{
    switch (cap)
    {
    case GL_DEPTH_TEST:
        return 0;
    case GL_BLEND:
        return 1;
    case GL_CULL_FACE:
        return 2;
    case GL_SCISSOR_TEST:
        return 3;
    default:
        return 4;
    }
}
} // namespace

bool StateCache::Same(bool equal)
{
    if (equal)
        ++m_skipped;
    return equal;
}

void StateCache::Invalidate()
{
    *this = StateCache();
    m_textures.fill(kUnknown);
    m_samplers.fill(kUnknown);
    m_caps.fill(-1);
    m_attribEnabled.fill(-1);
}

void StateCache::DrawFramebuffer(GLuint fbo)
{
    if (Same(m_drawFbo == fbo))
        return;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    m_drawFbo = fbo;
}

void StateCache::ReadFramebuffer(GLuint fbo)
{
    if (Same(m_readFbo == fbo))
        return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    m_readFbo = fbo;
}

void StateCache::UseProgram(GLuint program)
{
    if (Same(m_program == program))
        return;
    glUseProgram(program);
    m_program = program;
}

void StateCache::BindTexture(unsigned unit, GLuint texture)
{
    if (Same(m_textures[unit] == texture))
        return;
    if (m_activeUnit != unit)
    {
        glActiveTexture(GL_TEXTURE0 + unit);
        m_activeUnit = unit;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    m_textures[unit] = texture;
}

void StateCache::BindSampler(unsigned unit, GLuint sampler)
{
    if (Same(m_samplers[unit] == sampler))
        return;
    glBindSampler(unit, sampler);
    m_samplers[unit] = sampler;
}

void StateCache::ArrayBuffer(GLuint buffer)
{
    if (Same(m_arrayBuffer == buffer))
        return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    m_arrayBuffer = buffer;
}

void StateCache::ElementBuffer(GLuint buffer)
{
    if (Same(m_elementBuffer == buffer))
        return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    m_elementBuffer = buffer;
}

void StateCache::Enable(GLenum cap, bool on)
{
    const int i = CapIndex(cap);
    if (Same(m_caps[i] == (on ? 1 : 0)))
        return;
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
    if (i < 4)
        m_caps[i] = on ? 1 : 0;
}

void StateCache::ClipDistances(unsigned mask)
{
    if (Same(m_clipMask == static_cast<int>(mask)))
        return;
    for (unsigned i = 0; i < kClipDistances; ++i)
    {
        const bool on = (mask >> i) & 1u;
        if (m_clipMask >= 0 && (((static_cast<unsigned>(m_clipMask) >> i) & 1u) == (on ? 1u : 0u)))
            continue;
        if (on)
            glEnable(GL_CLIP_DISTANCE0 + i);
        else
            glDisable(GL_CLIP_DISTANCE0 + i);
    }
    m_clipMask = static_cast<int>(mask);
}

void StateCache::DepthMask(bool on)
{
    if (Same(m_depthMask == (on ? 1 : 0)))
        return;
    glDepthMask(on ? GL_TRUE : GL_FALSE);
    m_depthMask = on ? 1 : 0;
}

void StateCache::BlendFunc(GLenum source, GLenum dest)
{
    if (Same(m_blendSource == source && m_blendDest == dest))
        return;
    glBlendFunc(source, dest);
    m_blendSource = source;
    m_blendDest = dest;
}

void StateCache::CullFace(GLenum face)
{
    if (Same(m_cullFace == face))
        return;
    glCullFace(face);
    m_cullFace = face;
}

void StateCache::PolygonMode(GLenum mode)
{
    if (Same(m_polygonMode == mode))
        return;
    glPolygonMode(GL_FRONT_AND_BACK, mode);
    m_polygonMode = mode;
}

void StateCache::Viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    const std::array<GLint, 4> v = {x, y, width, height};
    if (Same(m_viewportKnown && m_viewport == v))
        return;
    glViewport(x, y, width, height);
    m_viewport = v;
    m_viewportKnown = true;
}

void StateCache::DepthRange(float nearValue, float farValue)
{
    if (Same(m_depthNear == nearValue && m_depthFar == farValue))
        return;
    glDepthRange(nearValue, farValue);
    m_depthNear = nearValue;
    m_depthFar = farValue;
}

void StateCache::Scissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    const std::array<GLint, 4> s = {x, y, width, height};
    if (Same(m_scissorKnown && m_scissor == s))
        return;
    glScissor(x, y, width, height);
    m_scissor = s;
    m_scissorKnown = true;
}

void StateCache::AttributeArray(unsigned location, const AttributePointer& pointer)
{
    if (m_attribEnabled[location] != 1)
    {
        glEnableVertexAttribArray(location);
        m_attribEnabled[location] = 1;
    }
    if (Same(m_attribPointers[location] == pointer))
        return;
    ArrayBuffer(pointer.buffer);
    glVertexAttribPointer(location, pointer.size, pointer.type, pointer.normalized, pointer.stride,
                          reinterpret_cast<const void*>(pointer.offset));
    m_attribPointers[location] = pointer;
}

void StateCache::DisableAttributeArray(unsigned location)
{
    if (Same(m_attribEnabled[location] == 0))
        return;
    glDisableVertexAttribArray(location);
    m_attribEnabled[location] = 0;
}

void StateCache::ForgetTexture(GLuint texture)
{
    for (GLuint& t : m_textures)
        if (t == texture)
            t = kUnknown;
}

void StateCache::ForgetBuffer(GLuint buffer)
{
    if (m_arrayBuffer == buffer)
        m_arrayBuffer = kUnknown;
    if (m_elementBuffer == buffer)
        m_elementBuffer = kUnknown;
    for (AttributePointer& p : m_attribPointers)
        if (p.buffer == buffer)
            p = AttributePointer();
}

void StateCache::ForgetFramebuffer(GLuint fbo)
{
    if (m_drawFbo == fbo)
        m_drawFbo = kUnknown;
    if (m_readFbo == fbo)
        m_readFbo = kUnknown;
}

void StateCache::ForgetProgram(GLuint program)
{
    if (m_program == program)
        m_program = kUnknown;
}
} // namespace plat::detail::gl
