#include "platform/gl_device.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace plat::detail
{
namespace
{
class GLDevice : public IDirect3DDevice9
{
public:
    GLDevice(const D3DPRESENT_PARAMETERS& params, std::function<void()> swap) : m_swap(std::move(swap))
    {
        // A core context draws nothing without a vertex array bound.
        glGenVertexArrays(1, &m_vao);
        glBindVertexArray(m_vao);
        Resize(params);
    }

    ~GLDevice() override { glDeleteVertexArrays(1, &m_vao); }

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override
    {
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET)
        {
            glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                         (color & 0xFF) / 255.0f, ((color >> 24) & 0xFF) / 255.0f);
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_ZBUFFER)
        {
            glClearDepth(z);
            glDepthMask(GL_TRUE);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_STENCIL)
        {
            glClearStencil(static_cast<GLint>(stencil));
            glStencilMask(0xFFFFFFFFu);
            mask |= GL_STENCIL_BUFFER_BIT;
        }
        if (mask == 0)
            return S_OK;
        if (count == 0 || !rects)
        {
            glDisable(GL_SCISSOR_TEST);
            glClear(mask);
            return S_OK;
        }
        // Rectangles are top-down; the default framebuffer is bottom-up.
        glEnable(GL_SCISSOR_TEST);
        const auto h = static_cast<GLint>(m_desc.Height);
        for (DWORD i = 0; i < count; ++i)
        {
            const D3DRECT& r = rects[i];
            glScissor(r.x1, h - r.y2, std::max(0, r.x2 - r.x1), std::max(0, r.y2 - r.y1));
            glClear(mask);
        }
        glDisable(GL_SCISSOR_TEST);
        return S_OK;
    }

    HRESULT BeginScene() override { return S_OK; }
    HRESULT EndScene() override { return S_OK; }

    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override
    {
        if (m_swap)
            m_swap();
        return S_OK;
    }

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override
    {
        if (!params)
            return D3DERR_INVALIDCALL;
        Resize(*params);
        return S_OK;
    }

    HRESULT GetDeviceCaps(D3DCAPS9* caps) override
    {
        if (!caps)
            return D3DERR_INVALIDCALL;
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        caps->VertexShaderVersion = D3DVS_VERSION(3, 0);
        caps->PixelShaderVersion = D3DPS_VERSION(3, 0);
        caps->MaxTextureWidth = static_cast<DWORD>(maxSize);
        caps->MaxTextureHeight = static_cast<DWORD>(maxSize);
        return S_OK;
    }

    D3DSURFACE_DESC GetBackBufferDesc() const override { return m_desc; }

    bool ReadBackBuffer(std::vector<D3DCOLOR>& pixels) override
    {
        const size_t w = m_desc.Width, h = m_desc.Height;
        std::vector<D3DCOLOR> bottomUp(w * h);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        // BGRA bytes read as one 32-bit word each are A8R8G8B8 on a little-endian machine.
        glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, bottomUp.data());
        if (glGetError() != GL_NO_ERROR)
            return false;
        pixels.resize(w * h);
        for (size_t y = 0; y < h; ++y)
            std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>((h - 1 - y) * w), w,
                        pixels.begin() + static_cast<std::ptrdiff_t>(y * w));
        return true;
    }

private:
    void Resize(const D3DPRESENT_PARAMETERS& params)
    {
        m_desc.Format = params.BackBufferFormat;
        m_desc.Width = params.BackBufferWidth;
        m_desc.Height = params.BackBufferHeight;
        glViewport(0, 0, static_cast<GLsizei>(m_desc.Width), static_cast<GLsizei>(m_desc.Height));
    }

    std::function<void()> m_swap;
    GLuint m_vao = 0;
    D3DSURFACE_DESC m_desc;
};
} // namespace

std::unique_ptr<IDirect3DDevice9> MakeGLDevice(const D3DPRESENT_PARAMETERS& params,
                                               std::function<void()> swap, std::string& error)
{
    const int version = epoxy_gl_version();
    if (version < 33 || !epoxy_is_desktop_gl())
    {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        error = "OpenGL 3.3 core is not available (the context offers version " +
                std::to_string(version / 10) + "." + std::to_string(version % 10) + " on " +
                (renderer ? renderer : "an unknown renderer") + ")";
        return nullptr;
    }
    return std::make_unique<GLDevice>(params, std::move(swap));
}
} // namespace plat::detail
