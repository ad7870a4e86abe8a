#include "DataForge/Content/Canvas2D.h"

#include <algorithm>
#include <cmath>

static float Clamp01(float v)
{
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

CanvasColor MixColor(CanvasColor a, CanvasColor b, float t)
{
    t = Clamp01(t);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

CanvasColor WithAlpha(CanvasColor c, float a)
{
    c.a = a;
    return c;
}

Canvas::Canvas(int w, int h, CanvasColor fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}

void BlendPixel(Canvas& canvas, int x, int y, CanvasColor c, float coverage)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height)
        return;
    float sa = Clamp01(c.a * coverage);
    if (sa <= 0)
        return;
    CanvasColor& d = canvas.At(x, y);
    float outA = sa + d.a * (1 - sa);
    if (outA <= 0)
        return;
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / outA;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / outA;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / outA;
    d.a = outA;
}

void FillShape(Canvas& canvas, const DistanceFn& distance, const PaintFn& paint, float feather)
{
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            float px = x + 0.5f, py = y + 0.5f;
            float coverage = Clamp01(0.5f - distance(px, py) / feather);
            if (coverage > 0)
                BlendPixel(canvas, x, y, paint(px, py), coverage);
        }
    }
}

void FillShape(Canvas& canvas, const DistanceFn& distance, CanvasColor color, float feather)
{
    FillShape(
        canvas, distance, [color](float, float) { return color; }, feather);
}

void SoftGlow(Canvas& canvas, float cx, float cy, float radius, CanvasColor c, float power)
{
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            if (d < 1)
                BlendPixel(canvas, x, y, c, std::pow(1 - d, power));
        }
    }
}

float CircleDistance(float x, float y, float cx, float cy, float radius)
{
    return std::hypot(x - cx, y - cy) - radius;
}

float RingDistance(float x, float y, float cx, float cy, float radius, float halfWidth)
{
    return std::fabs(std::hypot(x - cx, y - cy) - radius) - halfWidth;
}

float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float radius)
{
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    float qx = std::fabs(x - (x0 + x1) / 2) - hx, qy = std::fabs(y - (y0 + y1) / 2) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float CapsuleDistance(float x, float y, float ax, float ay, float bx, float by, float halfWidth)
{
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? Clamp01((px * dx + py * dy) / length2) : 0;
    return std::hypot(px - dx * t, py - dy * t) - halfWidth;
}

float PolygonDistance(float x, float y, const std::vector<float>& p)
{
    size_t n = p.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float ax = p[j * 2], ay = p[j * 2 + 1], bx = p[i * 2], by = p[i * 2 + 1];
        best = std::min(best, CapsuleDistance(x, y, ax, ay, bx, by, 0));
        if ((by > y) != (ay > y) && x < (ax - bx) * (y - by) / (ay - by) + bx)
            inside = !inside;
    }
    return inside ? -best : best;
}

PaintFn LinearGradient(float x0, float y0, CanvasColor c0, float x1, float y1, CanvasColor c1)
{
    float dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
    return [=](float x, float y) { return MixColor(c0, c1, ((x - x0) * dx + (y - y0) * dy) / length2); };
}

PaintFn RadialGradient(float cx, float cy, float radius, CanvasColor inner, CanvasColor outer)
{
    return [=](float x, float y) { return MixColor(inner, outer, std::hypot(x - cx, y - cy) / radius); };
}

std::vector<float> StarPoints(float cx, float cy, int points, float outer, float inner, float turn)
{
    std::vector<float> p;
    for (int i = 0; i < points * 2; i++) {
        float angle = turn + float(i) * 3.14159265f / points;
        float r = (i % 2) ? inner : outer;
        p.push_back(cx + r * std::sin(angle));
        p.push_back(cy - r * std::cos(angle));
    }
    return p;
}

void MapPixels(Canvas& canvas, const std::function<CanvasColor(int x, int y, CanvasColor c)>& fn)
{
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++)
            canvas.At(x, y) = fn(x, y, canvas.At(x, y));
    }
}

void DrawCanvas(Canvas& dst, const Canvas& src, int x, int y)
{
    for (int sy = 0; sy < src.height; sy++) {
        for (int sx = 0; sx < src.width; sx++)
            BlendPixel(dst, x + sx, y + sy, src.At(sx, sy), 1);
    }
}

static uint8_t ToByte(float v)
{
    return uint8_t(std::lround(Clamp01(v) * 255.0f));
}

Image CanvasToImage(const Canvas& canvas, int channels)
{
    Image image;
    image.width = canvas.width;
    image.height = canvas.height;
    image.channels = channels;
    image.pixels.reserve(canvas.pixels.size() * channels);
    for (const CanvasColor& c : canvas.pixels) {
        image.pixels.push_back(ToByte(c.r));
        image.pixels.push_back(ToByte(c.g));
        image.pixels.push_back(ToByte(c.b));
        if (channels == 4)
            image.pixels.push_back(ToByte(c.a));
    }
    return image;
}
