#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace texgen
{

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float SmoothStep(float e0, float e1, float v)
{
    const float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

Color Rgb(uint32_t hex, float alpha)
{
    return {((hex >> 16) & 0xFF) / 255.0f, ((hex >> 8) & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f, alpha};
}

Color Mix(const Color& from, const Color& to, float t)
{
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Color Shade(const Color& c, float amount)
{
    const Color target = amount >= 0.0f ? Color{1.0f, 1.0f, 1.0f, c.a} : Color{0.0f, 0.0f, 0.0f, c.a};
    return Mix(c, target, std::fabs(amount));
}

Color WithAlpha(const Color& c, float alpha)
{
    return {c.r, c.g, c.b, alpha};
}

// ---------------------------------------------------------------------------------------------
// Shapes

namespace
{
float Length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

Box Grow(const Box& b, float by)
{
    return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by};
}

Box BoxUnion(const Box& a, const Box& b)
{
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Box BoxIntersect(const Box& a, const Box& b)
{
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}
} // namespace

Shape Circle(float cx, float cy, float r)
{
    return {[=](float x, float y) { return Length(x - cx, y - cy) - r; }, {cx - r, cy - r, cx + r, cy + r}};
}

Shape Ellipse(float cx, float cy, float rx, float ry)
{
    // A close approximation of the true distance, exact on the axes.
    return {[=](float x, float y)
            {
                const float px = (x - cx) / rx;
                const float py = (y - cy) / ry;
                const float k0 = Length(px, py);
                const float k1 = Length(px / rx, py / ry);
                if (k1 <= 1e-6f)
                    return -std::min(rx, ry);
                return k0 * (k0 - 1.0f) / k1;
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape RoundRect(float x0, float y0, float x1, float y1, float radius)
{
    const float cx = (x0 + x1) * 0.5f;
    const float cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f;
    const float hy = (y1 - y0) * 0.5f;
    const float r = std::min(radius, std::min(hx, hy));
    return {[=](float x, float y)
            {
                const float qx = std::fabs(x - cx) - (hx - r);
                const float qy = std::fabs(y - cy) - (hy - r);
                return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
            },
            {x0, y0, x1, y1}};
}

Shape Capsule(float ax, float ay, float bx, float by, float radius)
{
    const float ex = bx - ax;
    const float ey = by - ay;
    const float ee = ex * ex + ey * ey;
    return {[=](float x, float y)
            {
                const float wx = x - ax;
                const float wy = y - ay;
                const float t = ee > 0.0f ? Clamp01((wx * ex + wy * ey) / ee) : 0.0f;
                return Length(wx - ex * t, wy - ey * t) - radius;
            },
            {std::min(ax, bx) - radius, std::min(ay, by) - radius, std::max(ax, bx) + radius,
             std::max(ay, by) + radius}};
}

Shape Polygon(const std::vector<Vec2>& points)
{
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (const Vec2& p : points)
        b = BoxUnion(b, {p.x, p.y, p.x, p.y});
    return {[points](float x, float y)
            {
                const size_t n = points.size();
                float d = (x - points[0].x) * (x - points[0].x) + (y - points[0].y) * (y - points[0].y);
                float sign = 1.0f;
                for (size_t i = 0, j = n - 1; i < n; j = i, ++i)
                {
                    const float ex = points[j].x - points[i].x;
                    const float ey = points[j].y - points[i].y;
                    const float wx = x - points[i].x;
                    const float wy = y - points[i].y;
                    const float ee = ex * ex + ey * ey;
                    const float t = ee > 0.0f ? Clamp01((wx * ex + wy * ey) / ee) : 0.0f;
                    const float bx = wx - ex * t;
                    const float by = wy - ey * t;
                    d = std::min(d, bx * bx + by * by);
                    const bool c1 = y >= points[i].y;
                    const bool c2 = y < points[j].y;
                    const bool c3 = ex * wy > ey * wx;
                    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
                        sign = -sign;
                }
                return sign * std::sqrt(d);
            },
            b};
}

Shape PolygonAt(const std::vector<Vec2>& points, float s, float dx, float dy)
{
    std::vector<Vec2> moved;
    moved.reserve(points.size());
    for (const Vec2& p : points)
        moved.push_back({p.x * s + dx, p.y * s + dy});
    return Polygon(moved);
}

Shape HalfPlane(float ax, float ay, float bx, float by)
{
    const float len = Length(bx - ax, by - ay);
    const float nx = (by - ay) / len;
    const float ny = -(bx - ax) / len;
    return {[=](float x, float y) { return (x - ax) * nx + (y - ay) * ny; }, Box{}};
}

Shape Offset(const Shape& s, float grow)
{
    const Sdf f = s.sdf;
    return {[f, grow](float x, float y) { return f(x, y) - grow; }, Grow(s.bounds, std::max(grow, 0.0f))};
}

Shape Outline(const Shape& s, float thickness)
{
    const Sdf f = s.sdf;
    const float half = thickness * 0.5f;
    return {[f, half](float x, float y) { return std::fabs(f(x, y)) - half; }, Grow(s.bounds, half)};
}

Shape Union(const Shape& a, const Shape& b)
{
    const Sdf fa = a.sdf;
    const Sdf fb = b.sdf;
    return {[fa, fb](float x, float y) { return std::min(fa(x, y), fb(x, y)); },
            BoxUnion(a.bounds, b.bounds)};
}

Shape Intersect(const Shape& a, const Shape& b)
{
    const Sdf fa = a.sdf;
    const Sdf fb = b.sdf;
    return {[fa, fb](float x, float y) { return std::max(fa(x, y), fb(x, y)); },
            BoxIntersect(a.bounds, b.bounds)};
}

Shape Subtract(const Shape& a, const Shape& b)
{
    const Sdf fa = a.sdf;
    const Sdf fb = b.sdf;
    return {[fa, fb](float x, float y) { return std::max(fa(x, y), -fb(x, y)); }, a.bounds};
}

Shape Rotate(const Shape& s, float cx, float cy, float radians)
{
    const float c = std::cos(radians);
    const float sn = std::sin(radians);
    const Sdf f = s.sdf;
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    const float xs[2] = {s.bounds.x0, s.bounds.x1};
    const float ys[2] = {s.bounds.y0, s.bounds.y1};
    for (float bx : xs)
        for (float by : ys)
        {
            const float rx = cx + (bx - cx) * c - (by - cy) * sn;
            const float ry = cy + (bx - cx) * sn + (by - cy) * c;
            b = BoxUnion(b, {rx, ry, rx, ry});
        }
    return {[=](float x, float y)
            {
                const float dx = x - cx;
                const float dy = y - cy;
                return f(cx + dx * c + dy * sn, cy - dx * sn + dy * c);
            },
            b};
}

Shape Scale(const Shape& s, float cx, float cy, float sx, float sy)
{
    const Sdf f = s.sdf;
    const float k = std::min(sx, sy);
    return {[=](float x, float y) { return f(cx + (x - cx) / sx, cy + (y - cy) / sy) * k; },
            {cx + (s.bounds.x0 - cx) * sx, cy + (s.bounds.y0 - cy) * sy, cx + (s.bounds.x1 - cx) * sx,
             cy + (s.bounds.y1 - cy) * sy}};
}

Shape Translate(const Shape& s, float dx, float dy)
{
    const Sdf f = s.sdf;
    return {[=](float x, float y) { return f(x - dx, y - dy); },
            {s.bounds.x0 + dx, s.bounds.y0 + dy, s.bounds.x1 + dx, s.bounds.y1 + dy}};
}

// ---------------------------------------------------------------------------------------------
// Paints

Paint Solid(const Color& c)
{
    return [c](float, float) { return c; };
}

Paint Linear(float x0, float y0, const Color& c0, float x1, float y1, const Color& c1)
{
    return LinearStops(x0, y0, x1, y1, {{0.0f, c0}, {1.0f, c1}});
}

Paint LinearStops(float x0, float y0, float x1, float y1, const std::vector<std::pair<float, Color>>& stops)
{
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float dd = dx * dx + dy * dy;
    return [=](float x, float y)
    {
        const float t = dd > 0.0f ? ((x - x0) * dx + (y - y0) * dy) / dd : 0.0f;
        if (t <= stops.front().first)
            return stops.front().second;
        for (size_t i = 1; i < stops.size(); ++i)
        {
            if (t <= stops[i].first)
            {
                const float span = stops[i].first - stops[i - 1].first;
                const float u = span > 0.0f ? (t - stops[i - 1].first) / span : 1.0f;
                return Mix(stops[i - 1].second, stops[i].second, u);
            }
        }
        return stops.back().second;
    };
}

Paint Radial(float cx, float cy, float r, const Color& inner, const Color& outer)
{
    return [=](float x, float y) { return Mix(inner, outer, Clamp01(Length(x - cx, y - cy) / r)); };
}

// ---------------------------------------------------------------------------------------------
// Masks

Mask::Mask(int width, int height)
    : m_width(width), m_height(height), m_values(static_cast<size_t>(width) * height, 0.0f)
{
}

float Mask::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0.0f;
    return m_values[static_cast<size_t>(y) * m_width + x];
}

void Mask::Max(const Mask& other)
{
    for (size_t i = 0; i < m_values.size(); ++i)
        m_values[i] = std::max(m_values[i], other.m_values[i]);
}

void Mask::Multiply(const Mask& other)
{
    for (size_t i = 0; i < m_values.size(); ++i)
        m_values[i] *= other.m_values[i];
}

void Mask::Cut(const Mask& other)
{
    for (size_t i = 0; i < m_values.size(); ++i)
        m_values[i] *= 1.0f - other.m_values[i];
}

void Mask::ScaleBy(float factor)
{
    for (float& v : m_values)
        v = Clamp01(v * factor);
}

namespace
{
// The pixel rows and columns a box touches, clipped to the grid.
void Span(const Box& b, int width, int height, int& x0, int& y0, int& x1, int& y1)
{
    x0 = std::max(0, static_cast<int>(std::floor(b.x0 - 1.0f)));
    y0 = std::max(0, static_cast<int>(std::floor(b.y0 - 1.0f)));
    x1 = std::min(width, static_cast<int>(std::ceil(b.x1 + 1.0f)));
    y1 = std::min(height, static_cast<int>(std::ceil(b.y1 + 1.0f)));
}

void BoxPass(std::vector<float>& v, int width, int height, int radius, bool horizontal)
{
    std::vector<float> line(static_cast<size_t>(horizontal ? width : height));
    const int count = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int k = 0; k < count; ++k)
    {
        auto at = [&](int i) -> float& {
            return horizontal ? v[static_cast<size_t>(k) * width + i] : v[static_cast<size_t>(i) * width + k];
        };
        for (int i = 0; i < length; ++i)
            line[static_cast<size_t>(i)] = at(i);
        float sum = 0.0f;
        for (int i = -radius; i <= radius; ++i)
            if (i >= 0 && i < length)
                sum += line[static_cast<size_t>(i)];
        for (int i = 0; i < length; ++i)
        {
            at(i) = sum * norm;
            const int out = i - radius;
            const int in = i + radius + 1;
            if (out >= 0)
                sum -= line[static_cast<size_t>(out)];
            if (in < length)
                sum += line[static_cast<size_t>(in)];
        }
    }
}
} // namespace

Mask Rasterise(const Shape& s, int width, int height)
{
    Mask m(width, height);
    int x0, y0, x1, y1;
    Span(s.bounds, width, height, x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            m.Ref(x, y) = Clamp01(0.5f - s.sdf(x + 0.5f, y + 0.5f));
    return m;
}

Mask Blur(const Mask& m, float radius)
{
    Mask out = m;
    const int box = std::max(1, static_cast<int>(std::lround(radius * 0.58f)));
    std::vector<float> v(static_cast<size_t>(m.Width()) * m.Height());
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            v[static_cast<size_t>(y) * m.Width() + x] = m.At(x, y);
    for (int pass = 0; pass < 3; ++pass)
    {
        BoxPass(v, m.Width(), m.Height(), box, true);
        BoxPass(v, m.Width(), m.Height(), box, false);
    }
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            out.Ref(x, y) = v[static_cast<size_t>(y) * m.Width() + x];
    return out;
}

Mask Dilate(const Mask& m, float radius)
{
    Mask out(m.Width(), m.Height());
    const int reach = static_cast<int>(std::ceil(radius + 0.5f));
    std::vector<std::pair<int, int>> offsets;
    std::vector<float> weights;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
        {
            const float w = Clamp01(radius + 0.5f - Length(static_cast<float>(dx), static_cast<float>(dy)));
            if (w > 0.0f)
            {
                offsets.push_back({dx, dy});
                weights.push_back(w);
            }
        }
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
        {
            float best = 0.0f;
            for (size_t i = 0; i < offsets.size() && best < 1.0f; ++i)
                best = std::max(best, m.At(x + offsets[i].first, y + offsets[i].second) * weights[i]);
            out.Ref(x, y) = best;
        }
    return out;
}

Mask Shift(const Mask& m, int dx, int dy)
{
    Mask out(m.Width(), m.Height());
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            out.Ref(x, y) = m.At(x - dx, y - dy);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Images

Image::Image(int width, int height)
    : m_width(width), m_height(height), m_px(static_cast<size_t>(width) * height * 4, 0.0f)
{
}

void Image::Clear(const Color& c)
{
    for (size_t i = 0; i < m_px.size(); i += 4)
    {
        m_px[i] = c.r * c.a;
        m_px[i + 1] = c.g * c.a;
        m_px[i + 2] = c.b * c.a;
        m_px[i + 3] = c.a;
    }
}

void Image::Blend(size_t index, const Color& c, float coverage)
{
    const float a = Clamp01(c.a * coverage);
    if (a <= 0.0f)
        return;
    float* p = &m_px[index * 4];
    const float keep = 1.0f - a;
    p[0] = c.r * a + p[0] * keep;
    p[1] = c.g * a + p[1] * keep;
    p[2] = c.b * a + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void Image::Fill(const Shape& s, const Paint& p, float opacity)
{
    int x0, y0, x1, y1;
    Span(s.bounds, m_width, m_height, x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            const float cover = Clamp01(0.5f - s.sdf(px, py)) * opacity;
            if (cover > 0.0f)
                Blend(static_cast<size_t>(y) * m_width + x, p(px, py), cover);
        }
}

void Image::Fill(const Mask& m, const Paint& p, float opacity)
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
        {
            const float cover = m.At(x, y) * opacity;
            if (cover > 0.0f)
                Blend(static_cast<size_t>(y) * m_width + x, p(x + 0.5f, y + 0.5f), cover);
        }
}

void Image::Shadow(const Shape& s, float dx, float dy, float blur, const Color& c)
{
    Fill(Blur(Rasterise(Translate(s, dx, dy), m_width, m_height), blur), c);
}

void Image::Shadow(const Mask& m, int dx, int dy, float blur, const Color& c)
{
    Fill(Blur(Shift(m, dx, dy), blur), c);
}

void Image::Draw(const Image& layer, int dx, int dy, float opacity)
{
    for (int y = 0; y < layer.m_height; ++y)
        for (int x = 0; x < layer.m_width; ++x)
        {
            const int tx = x + dx;
            const int ty = y + dy;
            if (tx < 0 || ty < 0 || tx >= m_width || ty >= m_height)
                continue;
            const float* s = &layer.m_px[(static_cast<size_t>(y) * layer.m_width + x) * 4];
            float* d = &m_px[(static_cast<size_t>(ty) * m_width + tx) * 4];
            const float keep = 1.0f - s[3] * opacity;
            for (int k = 0; k < 4; ++k)
                d[k] = s[k] * opacity + d[k] * keep;
        }
}

void Image::Clip(const Mask& m)
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
        {
            const float k = m.At(x, y);
            float* p = &m_px[(static_cast<size_t>(y) * m_width + x) * 4];
            for (int c = 0; c < 4; ++c)
                p[c] *= k;
        }
}

Color Image::Get(int x, int y) const
{
    const float* p = &m_px[(static_cast<size_t>(y) * m_width + x) * 4];
    if (p[3] <= 0.0f)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void Image::Set(int x, int y, const Color& c)
{
    float* p = &m_px[(static_cast<size_t>(y) * m_width + x) * 4];
    p[0] = c.r * c.a;
    p[1] = c.g * c.a;
    p[2] = c.b * c.a;
    p[3] = c.a;
}

Mask Image::Alpha() const
{
    Mask m(m_width, m_height);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            m.Ref(x, y) = m_px[(static_cast<size_t>(y) * m_width + x) * 4 + 3];
    return m;
}

bool Image::IsOpaque() const
{
    for (size_t i = 3; i < m_px.size(); i += 4)
        if (m_px[i] < 1.0f - 0.5f / 255.0f)
            return false;
    return true;
}

std::vector<uint8_t> Image::ToBytes(int channels) const
{
    auto byte = [](float v) { return static_cast<uint8_t>(Clamp01(v) * 255.0f + 0.5f); };
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(m_width) * m_height * channels);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
        {
            const Color c = Get(x, y);
            if (channels == 1)
            {
                out.push_back(byte(c.r));
                continue;
            }
            out.push_back(byte(c.r));
            out.push_back(byte(c.g));
            out.push_back(byte(c.b));
            if (channels == 4)
                out.push_back(byte(c.a));
        }
    return out;
}

} // namespace texgen
