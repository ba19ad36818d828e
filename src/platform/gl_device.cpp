#include "platform/gl_device.h"

#include "platform/gl_effect.h"
#include "platform/gl_programs.h"
#include "platform/gl_state.h"
#include "platform/log.h"
#include "platform/presentation.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace plat::detail
{
namespace
{
GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    case D3DPT_TRIANGLELIST:
    default:
        return GL_TRIANGLES;
    }
}

GLenum BlendFactor(DWORD blend)
{
    switch (blend)
    {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_ONE:
    default:
        return GL_ONE;
    }
}

gl::AttributePointer PointerFor(const D3DVERTEXELEMENT9& e, GLuint buffer, std::uintptr_t base, UINT stride)
{
    gl::AttributePointer p;
    p.buffer = buffer;
    p.stride = static_cast<GLsizei>(stride);
    p.offset = base + e.Offset;
    if (e.Type == D3DDECLTYPE_D3DCOLOR)
    {
        // Bytes B, G, R, A read as r, g, b, a.
        p.size = GL_BGRA;
        p.type = GL_UNSIGNED_BYTE;
        p.normalized = GL_TRUE;
    }
    else
    {
        p.size = static_cast<GLint>(e.Type) + 1; // FLOAT1 .. FLOAT4
        p.type = GL_FLOAT;
        p.normalized = GL_FALSE;
    }
    return p;
}

GLint FilterOf(FxFilter filter)
{
    return filter == FxFilter::Linear ? GL_LINEAR : GL_NEAREST;
}

GLint MinFilterOf(FxFilter min, FxFilter mip)
{
    const bool linear = min == FxFilter::Linear;
    switch (mip)
    {
    case FxFilter::Point:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case FxFilter::Linear:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    case FxFilter::None:
    default:
        return linear ? GL_LINEAR : GL_NEAREST;
    }
}

GLint WrapOf(FxAddress address)
{
    switch (address)
    {
    case FxAddress::Mirror:
        return GL_MIRRORED_REPEAT;
    case FxAddress::Clamp:
        return GL_CLAMP_TO_EDGE;
    case FxAddress::Wrap:
    default:
        return GL_REPEAT;
    }
}

class GLDevice final : public DeviceBase, private gl::ProgramHost
{
public:
    GLDevice(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps, ComPtr<Direct3DObject> d3d,
             std::function<void()> swap, std::function<void(int&, int&)> drawableSize)
        : DeviceBase(params, caps, std::move(d3d)), m_swap(std::move(swap)),
          m_drawableSize(std::move(drawableSize))
    {
    }

    ~GLDevice() override { Shutdown(); }

    bool Setup(std::string& error)
    {
        m_gl.Invalidate();
        glGenVertexArrays(1, &m_vao); // a core context draws nothing without one
        glBindVertexArray(m_vao);
        glFrontFace(GL_CCW);
        glDepthFunc(GL_LEQUAL);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        // What a draw reads for an input its declaration does not have.
        glVertexAttrib4f(kAttribPosition, 0, 0, 0, 1);
        glVertexAttrib4f(kAttribColor, 1, 1, 1, 1);
        glVertexAttrib4f(kAttribTexCoord0, 0, 0, 0, 0);
        glVertexAttrib4f(kAttribTexCoord1, 0, 0, 0, 0);
        glVertexAttrib4f(gl::kBatchSlotLocation, 0, 0, 0, 0);
        std::string why;
        m_deviceProgram = gl::BuildDeviceProgram(1, false, why);
        // Mesa's llvmpipe runs every branch for every pixel: the batches index their textures
        // (DORVO_GL_SAMPLER_CHAIN=1 keeps the portable chain, for tests).
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        const char* chain = std::getenv("DORVO_GL_SAMPLER_CHAIN");
        const bool keepChain = chain && std::strcmp(chain, "1") == 0;
        if (m_deviceProgram && renderer && std::strstr(renderer, "llvmpipe") && !keepChain)
        {
            std::string ignored;
            m_batchProgram = gl::BuildDeviceProgram(gl::kTextureUnits, true, ignored);
        }
        if (m_deviceProgram && !m_batchProgram)
            m_batchProgram = gl::BuildDeviceProgram(gl::kTextureUnits, false, why);
        if (!m_deviceProgram || !m_batchProgram)
        {
            error = "the device's own shaders do not build: " + why;
            return false;
        }
        glGenTextures(1, &m_white);
        m_gl.BindTexture(0, m_white);
        const std::uint32_t white = 0xFFFFFFFFu;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glGenSamplers(1, &m_batchSampler);
        glSamplerParameteri(m_batchSampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(m_batchSampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(m_batchSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glSamplerParameteri(m_batchSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glGenBuffers(1, &m_stream);
        Check("setting up");
        return true;
    }

    std::unique_ptr<EffectPrograms> BuildEffectPrograms(const FxEffectDesc& effect,
                                                        std::string& error) override
    {
        if (IsShutDown())
        {
            error = effect.file + ": the device is gone";
            return nullptr;
        }
        return gl::BuildEffectPrograms(effect, *this, error);
    }

protected:
    bool KeepsTexturePixels(DWORD usage) const override { return (usage & D3DUSAGE_RENDERTARGET) == 0; }

    void BackendCreate(ResourceCore& resource) override
    {
        if (auto* t = dynamic_cast<Texture*>(&resource))
        {
            glGenTextures(1, &t->handle.name);
            m_gl.BindTexture(0, t->handle.name);
            const UINT levels = t->LevelCount();
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                            levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            if (!t->HasAlpha())
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
            AllocateTexture(*t);
        }
        else if (auto* d = dynamic_cast<DepthSurface*>(&resource))
        {
            glGenRenderbuffers(1, &d->handle.name);
            AllocateDepth(*d);
        }
        else if (auto* b = dynamic_cast<BufferCore*>(&resource))
        {
            glGenBuffers(1, &b->handle.name);
            m_gl.ArrayBuffer(b->handle.name);
            glBufferData(GL_ARRAY_BUFFER, b->Size(), b->Data(),
                         (b->Info().usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        }
        Check("making a resource");
    }

    void BackendDestroy(ResourceCore& resource) override
    {
        if (auto* t = dynamic_cast<Texture*>(&resource))
        {
            ForgetFramebuffers(t->handle.name, true);
            m_gl.ForgetTexture(t->handle.name);
            glDeleteTextures(1, &t->handle.name);
        }
        else if (auto* d = dynamic_cast<DepthSurface*>(&resource))
        {
            ForgetFramebuffers(d->handle.name, false);
            glDeleteRenderbuffers(1, &d->handle.name);
        }
        else if (auto* b = dynamic_cast<BufferCore*>(&resource))
        {
            m_gl.ForgetBuffer(b->handle.name);
            glDeleteBuffers(1, &b->handle.name);
        }
        resource.handle = BackendHandle();
        Check("releasing a resource");
    }

    void BackendTextureWritten(Texture& texture, UINT level, const RECT& r) override
    {
        const TextureLevel& l = texture.Level(level);
        m_gl.BindTexture(0, texture.handle.name);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(l.width));
        glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), r.left, r.top, r.right - r.left,
                        r.bottom - r.top, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                        l.pixels.data() + static_cast<std::size_t>(r.top) * l.width +
                            static_cast<std::size_t>(r.left));
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        Check("filling a texture");
    }

    bool BackendReadTexture(Texture& texture, UINT level, std::vector<std::uint32_t>& pixels) override
    {
        const TextureLevel& l = texture.Level(level);
        m_gl.ReadFramebuffer(Framebuffer(texture.handle.name, level, 0));
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        pixels.resize(static_cast<std::size_t>(l.width) * l.height);
        glReadPixels(0, 0, static_cast<GLsizei>(l.width), static_cast<GLsizei>(l.height), GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
        return Check("reading pixels back");
    }

    void BackendBufferWritten(BufferCore& buffer, UINT offset, UINT size, bool discard) override
    {
        m_gl.ArrayBuffer(buffer.handle.name);
        if (discard)
            glBufferData(GL_ARRAY_BUFFER, buffer.Size(), nullptr,
                         (buffer.Info().usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, offset, size, buffer.Data() + offset);
        Check("filling a buffer");
    }

    void BackendClear(const D3DRECT& r, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override
    {
        m_gl.DrawFramebuffer(TargetFramebuffer());
        m_gl.Enable(GL_SCISSOR_TEST, true);
        m_gl.Scissor(r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1); // targets are top row first
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET)
        {
            glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                         (color & 0xFF) / 255.0f, ((color >> 24) & 0xFF) / 255.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_ZBUFFER)
        {
            glClearDepth(z);
            m_gl.DepthMask(true);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_STENCIL)
        {
            glClearStencil(static_cast<GLint>(stencil & 0xFF));
            mask |= GL_STENCIL_BUFFER_BIT;
        }
        glClear(mask);
        Check("clearing");
    }

    void BackendStretch(TextureSurface& source, const RECT& sr, TextureSurface& dest, const RECT& dr,
                        D3DTEXTUREFILTERTYPE filter) override
    {
        m_gl.ReadFramebuffer(Framebuffer(source.GetTexture().handle.name, source.Level(), 0));
        m_gl.DrawFramebuffer(Framebuffer(dest.GetTexture().handle.name, dest.Level(), 0));
        m_gl.Enable(GL_SCISSOR_TEST, false);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBlitFramebuffer(sr.left, sr.top, sr.right, sr.bottom, dr.left, dr.top, dr.right, dr.bottom,
                          GL_COLOR_BUFFER_BIT, filter == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        Check("stretching a surface");
    }

    void BackendDraw(const DrawCall& draw) override
    {
        ApplyRaster();
        const GLuint program = PassProgram() ? PassProgram() : m_deviceProgram;
        const VertexDeclaration& decl = *Declaration();
        m_gl.UseProgram(program);
        ApplyEpilogue(program, decl.IsPreTransformed());
        if (program == m_deviceProgram)
        {
            Texture* t = BoundTexture(0);
            m_gl.BindTexture(0, t ? t->handle.name : m_white);
            m_gl.BindSampler(0, 0);
        }
        else
        {
            for (unsigned stage = 0; stage < kMaxTextureStages; ++stage)
            {
                Texture* t = BoundTexture(stage);
                m_gl.BindTexture(stage, t ? t->handle.name : 0);
                m_gl.BindSampler(stage, SamplerObject(GetStageSampler(stage)));
            }
        }

        if (draw.userVertices)
        {
            const std::size_t bytes = static_cast<std::size_t>(draw.vertexCount) * draw.userStride;
            m_gl.ArrayBuffer(m_stream);
            m_streamSize = std::max(m_streamSize, bytes);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_streamSize), nullptr, GL_STREAM_DRAW);
            glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), draw.userVertices);
        }
        std::array<bool, gl::kAttributeSlots> used{};
        for (const D3DVERTEXELEMENT9& e : decl.Elements())
        {
            const unsigned location = VertexDeclaration::LocationOf(e);
            const StreamBinding& s = Stream(e.Stream);
            const gl::AttributePointer p = draw.userVertices
                                               ? PointerFor(e, m_stream, 0, draw.userStride)
                                               : PointerFor(e, s.buffer->handle.name, s.offset, s.stride);
            m_gl.AttributeArray(location, p);
            used[location] = true;
        }
        for (unsigned location = 0; location < gl::kAttributeSlots; ++location)
            if (!used[location])
                m_gl.DisableAttributeArray(location);

        const GLenum mode = PrimitiveMode(draw.type);
        if (draw.indexed)
        {
            IndexBuffer& indices = *Indices();
            m_gl.ElementBuffer(indices.handle.name);
            const bool wide = indices.IndexSize() == 4;
            glDrawElementsBaseVertex(
                mode, static_cast<GLsizei>(draw.indexCount), wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                reinterpret_cast<const void*>(std::uintptr_t{draw.startIndex} * indices.IndexSize()),
                draw.baseVertex);
        }
        else
            glDrawArrays(mode, 0, static_cast<GLsizei>(draw.vertexCount));
        Check("drawing");
    }

    void BackendDrawBatch(const BatchDraw& draw) override
    {
        ApplyRaster();
        m_gl.UseProgram(m_batchProgram);
        ApplyEpilogue(m_batchProgram, draw.pixelSpace);
        for (UINT i = 0; i < draw.textureCount; ++i)
        {
            m_gl.BindTexture(i, draw.textures[i]->handle.name);
            m_gl.BindSampler(i, m_batchSampler);
        }
        const GLuint buffer = draw.vertices->handle.name;
        const GLsizei stride = sizeof(BatchVertex);
        m_gl.AttributeArray(kAttribPosition, {buffer, 4, GL_FLOAT, GL_FALSE, stride, 0});
        m_gl.AttributeArray(kAttribTexCoord0, {buffer, 2, GL_FLOAT, GL_FALSE, stride, 16});
        m_gl.AttributeArray(kAttribColor, {buffer, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, 24});
        m_gl.AttributeArray(gl::kBatchSlotLocation, {buffer, 1, GL_FLOAT, GL_FALSE, stride, 28});
        for (unsigned location : {kAttribNormal, kAttribTangent, kAttribBinormal, kAttribTexCoord1})
            m_gl.DisableAttributeArray(location);
        const GLenum mode = PrimitiveMode(draw.type);
        if (draw.indices)
        {
            m_gl.ElementBuffer(draw.indices->handle.name);
            const bool wide = draw.indices->IndexSize() == 4;
            glDrawElementsBaseVertex(
                mode, static_cast<GLsizei>(draw.indexCount), wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                reinterpret_cast<const void*>(std::uintptr_t{draw.firstIndex} * draw.indices->IndexSize()),
                static_cast<GLint>(draw.firstVertex));
        }
        else
            glDrawArrays(mode, static_cast<GLint>(draw.firstVertex), static_cast<GLsizei>(draw.vertexCount));
        Check("drawing a batch");
    }

    void BackendPresent() override
    {
        int dw = 0, dh = 0;
        WindowSize(dw, dh);
        // The window's first row is its bottom one.
        ShowBackBuffer(0, dw, dh, true);
        Check("presenting");
        if (m_swap)
            m_swap();
    }

    bool BackendReadWindowPicture(std::vector<D3DCOLOR>& pixels, UINT& width, UINT& height) override
    {
        if (!m_drawableSize)
            return false;
        int dw = 0, dh = 0;
        WindowSize(dw, dh);
        // The same drawing as Present's, into a picture of the window's size kept top row first.
        GLuint texture = 0, fbo = 0;
        glGenTextures(1, &texture);
        m_gl.BindTexture(0, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, dw, dh, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
        glGenFramebuffers(1, &fbo);
        m_gl.DrawFramebuffer(fbo);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        ShowBackBuffer(fbo, dw, dh, false);
        m_gl.ReadFramebuffer(fbo);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        pixels.resize(static_cast<std::size_t>(dw) * static_cast<std::size_t>(dh));
        glReadPixels(0, 0, dw, dh, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
        m_gl.ReadFramebuffer(0);
        m_gl.DrawFramebuffer(0);
        m_gl.ForgetFramebuffer(fbo);
        glDeleteFramebuffers(1, &fbo);
        m_gl.ForgetTexture(texture);
        glDeleteTextures(1, &texture);
        width = static_cast<UINT>(dw);
        height = static_cast<UINT>(dh);
        return Check("reading the window's picture");
    }

    void BackendReset() override
    {
        AllocateTexture(BackBufferTexture());
        if (AutoDepth())
            AllocateDepth(*AutoDepth());
        Check("resetting");
    }

    void BackendShutdown() override
    {
        for (const auto& entry : m_fbos)
            glDeleteFramebuffers(1, &entry.second);
        m_fbos.clear();
        for (GLuint* name : {&m_deviceProgram, &m_batchProgram})
            if (*name)
                glDeleteProgram(std::exchange(*name, 0));
        if (m_white)
            glDeleteTextures(1, &m_white);
        if (m_batchSampler)
            glDeleteSamplers(1, &m_batchSampler);
        if (m_stream)
            glDeleteBuffers(1, &m_stream);
        for (const auto& entry : m_samplers)
            glDeleteSamplers(1, &entry.second);
        m_samplers.clear();
        if (m_vao)
            glDeleteVertexArrays(1, &m_vao);
        m_white = m_batchSampler = m_stream = m_vao = 0;
        m_programs.clear();
        m_gl.Invalidate();
    }

private:
    struct ProgramState
    {
        gl::EpilogueUniforms uniforms;
        GLint pixelSpaceLocation = -1;
        unsigned clipVersion = 0;
        std::array<float, 4> pixelToClip{};
        int pixelSpace = -1;
    };

    void AllocateTexture(Texture& t)
    {
        m_gl.BindTexture(0, t.handle.name);
        for (UINT i = 0; i < t.LevelCount(); ++i)
        {
            const TextureLevel& l = t.Level(i);
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8, static_cast<GLsizei>(l.width),
                         static_cast<GLsizei>(l.height), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                         l.pixels.empty() ? nullptr : l.pixels.data());
        }
    }

    void AllocateDepth(DepthSurface& d)
    {
        glBindRenderbuffer(GL_RENDERBUFFER, d.handle.name);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(d.Width()),
                              static_cast<GLsizei>(d.Height()));
    }

    // The framebuffer object of a colour texture level and a depth renderbuffer (0: none),
    // made on first use and kept until one of them goes.
    GLuint Framebuffer(GLuint colour, UINT level, GLuint depth)
    {
        const auto key = std::make_tuple(colour, level, depth);
        auto found = m_fbos.find(key);
        if (found != m_fbos.end())
            return found->second;
        GLuint fbo = 0;
        glGenFramebuffers(1, &fbo);
        m_gl.DrawFramebuffer(fbo);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour,
                               static_cast<GLint>(level));
        if (depth)
            glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                      depth);
        const GLenum status = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER);
        if (status != GL_FRAMEBUFFER_COMPLETE)
            DORVO_LOG("GLDevice::Framebuffer: texture %u level %u: the render target is incomplete (status "
                      "0x%X); what is drawn into it is lost",
                      colour, level, status);
        m_fbos.emplace(key, fbo);
        return fbo;
    }

    void ForgetFramebuffers(GLuint name, bool colour)
    {
        for (auto it = m_fbos.begin(); it != m_fbos.end();)
        {
            const bool uses = colour ? std::get<0>(it->first) == name : std::get<2>(it->first) == name;
            if (uses)
            {
                m_gl.ForgetFramebuffer(it->second);
                glDeleteFramebuffers(1, &it->second);
                it = m_fbos.erase(it);
            }
            else
                ++it;
        }
    }

    GLuint TargetFramebuffer()
    {
        const TextureSurface& target = ColourTarget();
        const DepthSurface* depth = DepthTarget();
        return Framebuffer(target.GetTexture().handle.name, target.Level(), depth ? depth->handle.name : 0);
    }

    void ApplyRaster()
    {
        m_gl.DrawFramebuffer(TargetFramebuffer());
        const D3DVIEWPORT9& v = CurrentViewport();
        m_gl.Viewport(static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLsizei>(v.Width),
                      static_cast<GLsizei>(v.Height));
        m_gl.DepthRange(v.MinZ, v.MaxZ);
        m_gl.Enable(GL_SCISSOR_TEST, false);
        m_gl.Enable(GL_DEPTH_TEST, DepthTarget() && RenderState(D3DRS_ZENABLE) != D3DZB_FALSE);
        m_gl.DepthMask(RenderState(D3DRS_ZWRITEENABLE) != 0);
        const bool blend = RenderState(D3DRS_ALPHABLENDENABLE) != 0;
        m_gl.Enable(GL_BLEND, blend);
        if (blend)
            m_gl.BlendFunc(BlendFactor(RenderState(D3DRS_SRCBLEND)),
                           BlendFactor(RenderState(D3DRS_DESTBLEND)));
        // Front faces stay counter-clockwise in OpenGL's upward window: what Direct3D sees as
        // counter-clockwise on the screen is clockwise there, so culling CCW culls back faces.
        const DWORD cull = RenderState(D3DRS_CULLMODE);
        m_gl.Enable(GL_CULL_FACE, cull != D3DCULL_NONE);
        if (cull != D3DCULL_NONE)
            m_gl.CullFace(cull == D3DCULL_CCW ? GL_BACK : GL_FRONT);
        const DWORD fill = RenderState(D3DRS_FILLMODE);
        m_gl.PolygonMode(fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
        m_gl.ClipDistances(RenderState(D3DRS_CLIPPLANEENABLE));
    }

    void ApplyEpilogue(GLuint program, bool pixelSpace)
    {
        ProgramState& ps = m_programs[program];
        if (ps.clipVersion == 0)
        {
            ps.uniforms = gl::FindEpilogueUniforms(program);
            ps.pixelSpaceLocation = glGetUniformLocation(program, "u_PixelSpace");
        }
        if (ps.clipVersion != ClipPlaneVersion())
        {
            // A plane that is not enabled goes up as (0, 0, 0, 1), which keeps everything in front
            // of the eye: Mesa's llvmpipe was seen to clip by a written distance whose enable is
            // off, so a plane left from an earlier pass went on cutting the scene.
            const DWORD enabled = RenderState(D3DRS_CLIPPLANEENABLE);
            std::array<float, 4 * kMaxClipPlanes> planes{};
            for (DWORD i = 0; i < kMaxClipPlanes; ++i)
            {
                if ((enabled >> i) & 1u)
                    std::copy_n(ClipPlane(i), 4, planes.begin() + 4 * i);
                else
                    planes[4 * i + 3] = 1.0f;
            }
            if (ps.uniforms.clipPlanes >= 0)
                glUniform4fv(ps.uniforms.clipPlanes, kMaxClipPlanes, planes.data());
            ps.clipVersion = ClipPlaneVersion();
        }
        const D3DVIEWPORT9& v = CurrentViewport();
        const float w = static_cast<float>(v.Width), h = static_cast<float>(v.Height);
        const std::array<float, 4> toClip = {2.0f / w, -2.0f / h, -1.0f - 2.0f * static_cast<float>(v.X) / w,
                                             1.0f + 2.0f * static_cast<float>(v.Y) / h};
        if (toClip != ps.pixelToClip)
        {
            if (ps.uniforms.pixelToClip >= 0)
                glUniform4fv(ps.uniforms.pixelToClip, 1, toClip.data());
            ps.pixelToClip = toClip;
        }
        if (ps.pixelSpaceLocation >= 0 && ps.pixelSpace != (pixelSpace ? 1 : 0))
        {
            glUniform1i(ps.pixelSpaceLocation, pixelSpace ? 1 : 0);
            ps.pixelSpace = pixelSpace ? 1 : 0;
        }
    }

    // ---- gl::ProgramHost, for the effects' programs ----
    bool Alive() const override { return !IsShutDown(); }
    void UseProgram(unsigned program) override { m_gl.UseProgram(program); }
    void DeleteProgram(unsigned program) override
    {
        m_gl.ForgetProgram(program);
        m_programs.erase(program);
        glDeleteProgram(program);
    }
    bool CheckErrors(const char* what) override { return Check(what); }
    void CountPrograms(unsigned count) override { Statistics().effectPrograms += count; }
    void CountUploads(unsigned count) override { Statistics().uniformUploads += count; }

    // A sampler object for an effect's sampler state, made on first use and kept; 0 (the
    // texture's own parameters) when the stage has none.
    GLuint SamplerObject(const StageSampler& s)
    {
        if (!s.set)
            return 0;
        const unsigned key = static_cast<unsigned>(s.minFilter) | static_cast<unsigned>(s.magFilter) << 2 |
                             static_cast<unsigned>(s.mipFilter) << 4 |
                             static_cast<unsigned>(s.addressU) << 6 | static_cast<unsigned>(s.addressV) << 8 |
                             static_cast<unsigned>(s.addressW) << 10;
        const auto found = m_samplers.find(key);
        if (found != m_samplers.end())
            return found->second;
        GLuint sampler = 0;
        glGenSamplers(1, &sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, MinFilterOf(s.minFilter, s.mipFilter));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, FilterOf(s.magFilter));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, WrapOf(s.addressU));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, WrapOf(s.addressV));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, WrapOf(s.addressW));
        m_samplers.emplace(key, sampler);
        return sampler;
    }

    // The window's size in pixels; the back buffer's when the window tells none.
    void WindowSize(int& width, int& height) const
    {
        const D3DPRESENT_PARAMETERS& pp = PresentParameters();
        width = static_cast<int>(pp.BackBufferWidth);
        height = static_cast<int>(pp.BackBufferHeight);
        int w = 0, h = 0;
        if (m_drawableSize)
            m_drawableSize(w, h);
        if (w > 0 && h > 0)
        {
            width = w;
            height = h;
        }
    }

    // The back buffer scaled into a framebuffer of the window's size with its aspect kept, the
    // bars beside it black. bottomUp: the framebuffer's first row is the picture's bottom one.
    void ShowBackBuffer(GLuint framebuffer, int width, int height, bool bottomUp)
    {
        const D3DPRESENT_PARAMETERS& pp = PresentParameters();
        const RECT rect = PresentationRect(pp.BackBufferWidth, pp.BackBufferHeight, width, height);
        // Looked up first: making the back buffer's framebuffer binds it for drawing.
        const GLuint back = Framebuffer(BackBufferTexture().handle.name, 0, 0);
        m_gl.DrawFramebuffer(framebuffer);
        m_gl.Enable(GL_SCISSOR_TEST, false);
        if (rect.left > 0 || rect.top > 0 || rect.right < width || rect.bottom < height)
        {
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        m_gl.ReadFramebuffer(back);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        const auto w = static_cast<GLint>(pp.BackBufferWidth), h = static_cast<GLint>(pp.BackBufferHeight);
        const bool same = rect.right - rect.left == w && rect.bottom - rect.top == h;
        const GLint top = bottomUp ? height - rect.top : rect.top;
        const GLint bottom = bottomUp ? height - rect.bottom : rect.bottom;
        glBlitFramebuffer(0, 0, w, h, rect.left, top, rect.right, bottom, GL_COLOR_BUFFER_BIT,
                          same ? GL_NEAREST : GL_LINEAR);
    }

    // Debug builds (and so the tests) look for OpenGL errors after every step.
    bool Check(const char* what)
    {
#ifndef NDEBUG
        bool ok = true;
        for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        {
            ++Statistics().glErrors;
            DORVO_LOG("GLDevice::Check: OpenGL error 0x%X while %s; the device carries on", e, what);
            ok = false;
        }
        return ok;
#else
        (void)what;
        return true;
#endif
    }

    std::function<void()> m_swap;
    std::function<void(int&, int&)> m_drawableSize;
    gl::StateCache m_gl;
    GLuint m_vao = 0;
    GLuint m_deviceProgram = 0;
    GLuint m_batchProgram = 0;
    GLuint m_white = 0;
    GLuint m_batchSampler = 0;
    GLuint m_stream = 0;
    std::size_t m_streamSize = 0;
    std::map<std::tuple<GLuint, UINT, GLuint>, GLuint> m_fbos;
    std::unordered_map<GLuint, ProgramState> m_programs;
    std::unordered_map<unsigned, GLuint> m_samplers; // by packed sampler state
};
} // namespace

ComPtr<DeviceBase> MakeGLDevice(const D3DPRESENT_PARAMETERS& params, std::function<void()> swap,
                                std::function<void(int&, int&)> drawableSize, std::string& error)
{
    const int version = epoxy_gl_version();
    const char* rendererText = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string renderer = rendererText ? rendererText : "an unknown renderer";
    if (version < 33 || !epoxy_is_desktop_gl())
    {
        error = "OpenGL 3.3 core is not available (the context offers version " +
                std::to_string(version / 10) + "." + std::to_string(version % 10) + " on " + renderer + ")";
        return {};
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const D3DCAPS9 caps = PassingCaps(static_cast<DWORD>(std::clamp(maxSize, 64, 16384)));
    auto d3d = ComPtr<Direct3DObject>::Adopt(new Direct3DObject({renderer}, caps, {}));
    auto* raw = new GLDevice(params, caps, std::move(d3d), std::move(swap), std::move(drawableSize));
    auto device = ComPtr<DeviceBase>::Adopt(raw);
    if (!raw->Setup(error))
        return {};
    device->Initialise();
    return device;
}
} // namespace plat::detail
