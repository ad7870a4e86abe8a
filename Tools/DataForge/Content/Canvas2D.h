// Canvas2D: drawing for the generated 2D art. A canvas holds straight (not premultiplied) RGBA floats;
// shapes are given as signed distances (negative inside) and antialiased over a feather width, so edges
// are soft and clean at any size. Painting is "source over". Everything is deterministic.
#pragma once

#include "DataForge/Writers/ImageWriter.h"

#include <functional>
#include <vector>

struct CanvasColor
{
    float r = 0, g = 0, b = 0, a = 1;
};

CanvasColor MixColor(CanvasColor a, CanvasColor b, float t); // every channel, t clamped to 0..1
CanvasColor WithAlpha(CanvasColor c, float a);

struct Canvas
{
    int width = 0;
    int height = 0;
    std::vector<CanvasColor> pixels; // rows top first

    Canvas(int w, int h, CanvasColor fill = {0, 0, 0, 0});
    CanvasColor& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    const CanvasColor& At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

using DistanceFn = std::function<float(float x, float y)>;
using PaintFn = std::function<CanvasColor(float x, float y)>;

// Paints colour c with the given coverage (0..1) over the pixel.
void BlendPixel(Canvas& canvas, int x, int y, CanvasColor c, float coverage);
// Every pixel whose centre lies inside the shape (feathered over `feather` pixels), painted by paint.
void FillShape(Canvas& canvas, const DistanceFn& distance, const PaintFn& paint, float feather = 1.0f);
void FillShape(Canvas& canvas, const DistanceFn& distance, CanvasColor color, float feather = 1.0f);
// Radial glow: alpha falls from c.a at the centre to 0 at radius as (1 - d / radius)^power.
void SoftGlow(Canvas& canvas, float cx, float cy, float radius, CanvasColor c, float power);

// Signed distances.
float CircleDistance(float x, float y, float cx, float cy, float radius);
float RingDistance(float x, float y, float cx, float cy, float radius, float halfWidth);
float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float radius);
float CapsuleDistance(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
// Closed polygon of (x, y) pairs, either winding.
float PolygonDistance(float x, float y, const std::vector<float>& points);

// Paints.
PaintFn LinearGradient(float x0, float y0, CanvasColor c0, float x1, float y1, CanvasColor c1);
PaintFn RadialGradient(float cx, float cy, float radius, CanvasColor inner, CanvasColor outer);

// A regular star or polygon around (cx, cy): `points` tips, radii alternating outer/inner, first tip up.
std::vector<float> StarPoints(float cx, float cy, int points, float outer, float inner, float turn = 0);

// Every pixel's colour through fn (which may read the pixel).
void MapPixels(Canvas& canvas, const std::function<CanvasColor(int x, int y, CanvasColor c)>& fn);
// Canvas src drawn over dst with its top-left at (x, y).
void DrawCanvas(Canvas& dst, const Canvas& src, int x, int y);

// To 8-bit RGBA (channels 4) or RGB (channels 3, alpha dropped).
Image CanvasToImage(const Canvas& canvas, int channels = 4);
