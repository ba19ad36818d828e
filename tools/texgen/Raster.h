// The small raster library behind the texture generator: colours, anti-aliased shapes given as
// signed distance functions, paints (solid and gradients), coverage masks with blur and dilation,
// and an RGBA image that composites them. Everything is plain float arithmetic with no hidden
// state, so the same calls give the same pixels on every run.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace texgen
{

// A colour with straight (not premultiplied) alpha, channels 0..1.
struct Color
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

// 0xRRGGBB with an alpha 0..1.
Color Rgb(uint32_t hex, float alpha = 1.0f);
Color Mix(const Color& from, const Color& to, float t);
// Moves the colour toward white (amount > 0) or toward black (amount < 0); alpha is kept.
Color Shade(const Color& c, float amount);
Color WithAlpha(const Color& c, float alpha);

struct Vec2
{
    float x = 0.0f;
    float y = 0.0f;
};

// An axis-aligned box in pixel coordinates; shapes use it to limit the pixels they visit.
struct Box
{
    float x0 = -1e9f;
    float y0 = -1e9f;
    float x1 = 1e9f;
    float y1 = 1e9f;
};

// Signed distance in pixels: negative inside, positive outside. Pixel (i, j) is sampled at its
// centre (i + 0.5, j + 0.5); coverage is a one-pixel ramp across the edge.
using Sdf = std::function<float(float x, float y)>;

struct Shape
{
    Sdf sdf;
    Box bounds;
};

Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape RoundRect(float x0, float y0, float x1, float y1, float radius);
// A thick segment with round ends, radius = half its thickness.
Shape Capsule(float ax, float ay, float bx, float by, float radius);
// A closed polygon, filled by the even-odd rule; corners are sharp.
Shape Polygon(const std::vector<Vec2>& points);
// Polygon points given in a local frame: scaled by s, then moved by (dx, dy).
Shape PolygonAt(const std::vector<Vec2>& points, float s, float dx, float dy);
// Half-plane: inside on the right-hand side of the directed line a -> b as seen on the screen
// (y down), so a -> b pointing right keeps what lies below it.
Shape HalfPlane(float ax, float ay, float bx, float by);

Shape Offset(const Shape& s, float grow);       // grows (grow > 0) or shrinks the shape
Shape Outline(const Shape& s, float thickness); // a band of that thickness centred on the edge
Shape Union(const Shape& a, const Shape& b);
Shape Intersect(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
// The shape turned by `radians` (clockwise on the screen, y down) about (cx, cy).
Shape Rotate(const Shape& s, float cx, float cy, float radians);
// The shape scaled about (cx, cy) by (sx, sy); distances are kept in pixels approximately.
Shape Scale(const Shape& s, float cx, float cy, float sx, float sy);
Shape Translate(const Shape& s, float dx, float dy);

using Paint = std::function<Color(float x, float y)>;

Paint Solid(const Color& c);
Paint Linear(float x0, float y0, const Color& c0, float x1, float y1, const Color& c1);
// Several stops along the line from (x0, y0) (t = 0) to (x1, y1) (t = 1), stops sorted by t.
Paint LinearStops(float x0, float y0, float x1, float y1, const std::vector<std::pair<float, Color>>& stops);
Paint Radial(float cx, float cy, float r, const Color& inner, const Color& outer);

// Coverage values 0..1 on a pixel grid.
class Mask
{
public:
    Mask(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    float At(int x, int y) const; // 0 outside the grid
    float& Ref(int x, int y) { return m_values[static_cast<size_t>(y) * m_width + x]; }
    void Max(const Mask& other);      // union
    void Multiply(const Mask& other); // intersection
    void Cut(const Mask& other);      // this * (1 - other)
    void ScaleBy(float factor);

private:
    int m_width;
    int m_height;
    std::vector<float> m_values;
};

Mask Rasterise(const Shape& s, int width, int height);
// Gaussian-like blur (three box passes) of about the given radius in pixels.
Mask Blur(const Mask& m, float radius);
// Grows the covered area by a disc of the given radius, anti-aliased at the new edge.
Mask Dilate(const Mask& m, float radius);
Mask Shift(const Mask& m, int dx, int dy);

class Image
{
public:
    Image(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Clear(const Color& c);
    void Fill(const Shape& s, const Paint& p, float opacity = 1.0f);
    void Fill(const Shape& s, const Color& c, float opacity = 1.0f) { Fill(s, Solid(c), opacity); }
    void Fill(const Mask& m, const Paint& p, float opacity = 1.0f);
    void Fill(const Mask& m, const Color& c, float opacity = 1.0f) { Fill(m, Solid(c), opacity); }
    // A soft shadow of the shape, moved by (dx, dy) and blurred by `blur` pixels.
    void Shadow(const Shape& s, float dx, float dy, float blur, const Color& c);
    void Shadow(const Mask& m, int dx, int dy, float blur, const Color& c);
    // Composites `layer` over this image with its top-left corner at (dx, dy).
    void Draw(const Image& layer, int dx = 0, int dy = 0, float opacity = 1.0f);
    // Keeps only what lies inside the mask (alpha multiplied by coverage).
    void Clip(const Mask& m);

    Color Get(int x, int y) const; // straight alpha
    void Set(int x, int y, const Color& c);
    Mask Alpha() const;
    bool IsOpaque() const;

    // 8-bit channels, straight alpha, rows top to bottom; `channels` is 1 (grey), 3 or 4.
    std::vector<uint8_t> ToBytes(int channels) const;

private:
    void Blend(size_t index, const Color& c, float coverage);

    int m_width;
    int m_height;
    std::vector<float> m_px; // premultiplied RGBA
};

float Clamp01(float v);
float SmoothStep(float e0, float e1, float v);

} // namespace texgen
