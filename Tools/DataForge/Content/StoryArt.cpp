// The story's illustrations: the nine slides of the intro story, the win slide and the logo. Each
// slide is a small painting in ink-outlined, softly shaded shapes: the pterosaurs' world of Drellin,
// their nest and eggs, the wormholes tearing the sky, the hunters, Quorvel on the jet pack, the
// forest, the desert and the swamp. Every slide's edges darken to black, since the slides drift and
// turn over a black screen.
#include "DataForge/Content/StoryArt.h"

#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Palette;

namespace {

constexpr int kSlideSize = 512;
constexpr float kPi = 3.14159265f;

// --- Painting in a box: only the pixels a shape can touch are visited ---

struct Shape
{
    DistanceFn distance;
    float x0, y0, x1, y1; // the box it stays inside
};

void Paint(Canvas& c, const Shape& s, const PaintFn& paint, float grow = 0, float feather = 1.2f)
{
    int x0 = std::max(0, int(s.x0 - grow - 2)), y0 = std::max(0, int(s.y0 - grow - 2));
    int x1 = std::min(c.width, int(s.x1 + grow + 3)), y1 = std::min(c.height, int(s.y1 + grow + 3));
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            float px = x + 0.5f, py = y + 0.5f;
            float coverage = std::clamp(0.5f - (s.distance(px, py) - grow) / feather, 0.0f, 1.0f);
            if (coverage > 0)
                BlendPixel(c, x, y, paint(px, py), coverage);
        }
    }
}

void Paint(Canvas& c, const Shape& s, CanvasColor color, float grow = 0, float feather = 1.2f)
{
    Paint(
        c, s, [color](float, float) { return color; }, grow, feather);
}

// Ink outlines first, then the colours: parts drawn together share one outline.
void Inked(Canvas& c, const std::vector<std::pair<Shape, PaintFn>>& parts, float outline)
{
    for (const auto& part : parts)
        Paint(c, part.first, kInk, outline);
    for (const auto& part : parts)
        Paint(c, part.first, part.second);
}

Shape Polygon(const std::vector<float>& points)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        x0 = std::min(x0, points[i]);
        x1 = std::max(x1, points[i]);
        y0 = std::min(y0, points[i + 1]);
        y1 = std::max(y1, points[i + 1]);
    }
    return {[points](float x, float y) { return PolygonDistance(x, y, points); }, x0, y0, x1, y1};
}

Shape Circle(float cx, float cy, float r)
{
    return {[=](float x, float y) { return CircleDistance(x, y, cx, cy, r); }, cx - r, cy - r, cx + r,
            cy + r};
}

Shape Ellipse(float cx, float cy, float rx, float ry, float turn = 0)
{
    float cs = std::cos(turn), sn = std::sin(turn), r = std::max(rx, ry);
    return {[=](float x, float y) {
                float dx = x - cx, dy = y - cy;
                float u = (dx * cs + dy * sn) / rx, v = (-dx * sn + dy * cs) / ry;
                return (std::hypot(u, v) - 1) * std::min(rx, ry);
            },
            cx - r, cy - r, cx + r, cy + r};
}

Shape Capsule(float ax, float ay, float bx, float by, float w)
{
    return {[=](float x, float y) { return CapsuleDistance(x, y, ax, ay, bx, by, w); }, std::min(ax, bx) - w,
            std::min(ay, by) - w, std::max(ax, bx) + w, std::max(ay, by) + w};
}

// Points given around (0, 0) in units of `unit`, mirrored when facing left.
std::vector<float> Place(const std::vector<float>& local, float cx, float cy, float unit, float facing)
{
    std::vector<float> out(local.size());
    for (size_t i = 0; i + 1 < local.size(); i += 2) {
        out[i] = cx + local[i] * unit * facing;
        out[i + 1] = cy + local[i + 1] * unit;
    }
    return out;
}

// --- Skies and land ---

struct Sky
{
    CanvasColor top, horizon;
    float horizonY;
};

void PaintSky(Canvas& c, const Sky& sky, uint32_t seed, float cloudCover)
{
    MapPixels(c, [&](int x, int y, CanvasColor) {
        float t = std::clamp(float(y) / sky.horizonY, 0.0f, 1.0f);
        CanvasColor base = MixColor(sky.top, sky.horizon, std::pow(t, 1.4f));
        float cloud = Fbm(x / 120.0f, y / 40.0f, 5, 64, 64, seed);
        float amount = std::clamp((cloud - (1 - cloudCover)) * 3, 0.0f, 1.0f) * (1 - t * 0.3f);
        return MixColor(base, MixColor(sky.horizon, kWhite, 0.35f), amount * 0.55f);
    });
}

void Stars(Canvas& c, int count, uint32_t seed, float maxY)
{
    for (int i = 0; i < count; i++) {
        float x = float(Hash01(i, 0, 0, seed)) * float(c.width);
        float y = float(Hash01(i, 1, 0, seed)) * maxY;
        float bright = float(Hash01(i, 2, 0, seed));
        float r = 0.6f + bright * bright * 1.8f;
        Paint(c, Circle(x, y, r), WithAlpha({0.95f, 0.95f, 1, 1}, 0.5f + bright * 0.5f), 0, 1.0f);
        if (bright > 0.92f)
            SoftGlow(c, x, y, 9, WithAlpha({0.8f, 0.85f, 1, 1}, 0.5f), 2);
    }
}

// A ridge of hills from baseY up by at most `height`, in one colour darkening toward the bottom.
void Hills(Canvas& c, float baseY, float height, float wavelength, CanvasColor top, CanvasColor bottom,
           uint32_t seed)
{
    Shape land = {
        [=](float x, float y) { return baseY - height * Fbm(x / wavelength, 0.5f, 4, 64, 1, seed) - y; }, 0,
        baseY - height, float(c.width), float(c.height)};
    Paint(c, land, LinearGradient(0, baseY - height, top, 0, float(c.height), bottom), 0, 1.5f);
}

// The picture fades to black in a circle, so a slide has no border on the black screen however
// it turns.
void Vignette(Canvas& c, float strength)
{
    MapPixels(c, [&](int x, int y, CanvasColor old) {
        float u = (x + 0.5f) / c.width * 2 - 1, v = (y + 0.5f) / c.height * 2 - 1;
        float dark = std::clamp((std::hypot(u, v) - 0.72f) / 0.3f, 0.0f, 1.0f);
        return MixColor(old, {0, 0, 0, 1}, dark * dark * (3 - 2 * dark) * strength);
    });
}

// --- Things of the story ---

void Egg(Canvas& c, float cx, float cy, float size, CanvasColor color, uint32_t seed)
{
    float rx = size * 0.72f, ry = size;
    Shape shell = {[=](float x, float y) { return EggDistance(x, y, cx, cy, rx, ry); }, cx - rx,
                   cy - ry * 1.2f, cx + rx, cy + ry};
    Paint(c, shell, kInk, 2);
    Paint(c, shell, [=](float x, float y) {
        float light =
            std::clamp(1 - std::hypot(x - (cx - rx * 0.35f), y - (cy - ry * 0.4f)) / (ry * 1.6f), 0.0f, 1.0f);
        CanvasColor base = MixColor(MixColor(color, kInk, 0.45f), MixColor(color, kWhite, 0.35f), light);
        float spot = Fbm((x - cx) / size * 3, (y - cy) / size * 3, 3, 64, 64, seed);
        return MixColor(base, MixColor(color, kInk, 0.6f), std::clamp((spot - 0.62f) * 6, 0.0f, 0.7f));
    });
    Paint(c, Ellipse(cx - rx * 0.35f, cy - ry * 0.45f, rx * 0.18f, ry * 0.25f, -0.4f),
          WithAlpha(kWhite, 0.7f), 0, 2.5f);
}

void Nest(Canvas& c, float cx, float cy, float width)
{
    Shape bowl = Ellipse(cx, cy, width / 2, width * 0.16f);
    Paint(c, bowl, kInk, 2);
    Paint(c, bowl, [=](float x, float y) {
        float twig = std::fabs(std::sin((x * 0.35f + y * 0.9f) + 6 * Fbm(x / 30, y / 10, 3, 64, 64, 17)));
        CanvasColor straw = MixColor({0.42f, 0.28f, 0.14f, 1}, {0.78f, 0.6f, 0.35f, 1}, twig);
        return MixColor(straw, {0.2f, 0.12f, 0.05f, 1},
                        std::clamp((y - cy) / (width * 0.16f), 0.0f, 1.0f) * 0.6f);
    });
}

// A rip in the sky: a spiral of light around a dark eye, with a halo.
void Wormhole(Canvas& c, float cx, float cy, float radius, CanvasColor inner, CanvasColor outer, float turn)
{
    SoftGlow(c, cx, cy, radius * 1.9f, WithAlpha(outer, 0.55f), 1.6f);
    Shape disc = Circle(cx, cy, radius);
    Paint(
        c, disc,
        [=](float x, float y) {
            float dx = x - cx, dy = y - cy, r = std::hypot(dx, dy) / radius;
            float arms = 0.5f + 0.5f * std::sin(std::atan2(dy, dx) * 4 + std::log(r + 0.05f) * 7 + turn);
            CanvasColor swirl = MixColor(outer, inner, std::pow(arms, 2.0f) * (1 - r * 0.6f));
            swirl = MixColor(swirl, kWhite, std::pow(std::max(0.0f, 1 - r * 3.5f), 2.0f));
            return WithAlpha(swirl, std::clamp((1 - r) * 4, 0.0f, 1.0f));
        },
        0, 2);
    Paint(c, Circle(cx, cy, radius * 0.14f), WithAlpha({0.02f, 0.0f, 0.06f, 1}, 0.9f), 0, 4);
}

struct Flyer
{
    CanvasColor body, belly, wing, crest;
};
constexpr Flyer kQuorvel = {
    {0.2f, 0.55f, 0.5f, 1}, {0.85f, 0.8f, 0.55f, 1}, {0.9f, 0.45f, 0.2f, 1}, {0.95f, 0.2f, 0.15f, 1}};
constexpr Flyer kElder = {
    {0.45f, 0.42f, 0.38f, 1}, {0.8f, 0.72f, 0.6f, 1}, {0.6f, 0.4f, 0.3f, 1}, {0.75f, 0.55f, 0.3f, 1}};

// A pterosaur in flight seen from the side, `span` pixels from wing tip to beak, facing right
// (facing 1) or left (-1); wingLift from -1 (wings down) to 1 (raised). With a jet pack it flies
// on a flame.
void Pterosaur(Canvas& c, float cx, float cy, float span, float facing, float wingLift, const Flyer& look,
               bool jetPack, bool flame = true)
{
    float u = span / 1.4f, w = wingLift;
    auto place = [&](std::vector<float> p) { return Polygon(Place(p, cx, cy, u, facing)); };
    auto at = [&](float x, float y) { return std::pair<float, float>{cx + x * u * facing, cy + y * u}; };
    float outline = std::max(1.5f, span / 160);

    // The wings: a membrane from the arm along the long wing finger to its tip, its trailing edge
    // curving back in to the flank.
    auto wingShape = [&](float lift, float reach) {
        std::vector<float> p = {0.12f,          -0.07f,
                                0.04f,          -0.42f * lift - 0.1f,
                                -0.08f * reach, -0.55f * lift - 0.12f,
                                -0.72f * reach, -0.78f * lift - 0.1f};
        for (int k = 1; k <= 6; k++) { // the trailing edge, from the tip back to the flank
            float t = float(k) / 7;
            float x = -0.72f * reach + (0.72f * reach - 0.02f) * t,
                  y = (-0.78f * lift - 0.1f) * (1 - t) - 0.03f * t;
            float bow = std::sin(t * kPi) * 0.16f;
            p.push_back(x - bow * 0.4f);
            p.push_back(y - bow * lift);
        }
        p.push_back(-0.02f);
        p.push_back(-0.02f);
        return p;
    };
    const std::pair<float, float> sxsy = at(0.12f, -0.07f);
    const float sx = sxsy.first, sy = sxsy.second;
    auto paintWing = [&](float lift, float reach, float shade) {
        const std::pair<float, float> txty = at(-0.72f * reach, -0.78f * lift - 0.1f);
        const float tx = txty.first, ty = txty.second;
        const std::pair<float, float> wxwy = at(-0.08f * reach, -0.55f * lift - 0.12f);
        const float wx = wxwy.first, wy = wxwy.second;
        Shape wing = place(wingShape(lift, reach));
        Paint(c, wing, kInk, outline);
        Paint(c, wing, [=](float x, float y) {
            float t = std::clamp(std::hypot(x - sx, y - sy) / std::hypot(tx - sx, ty - sy), 0.0f, 1.0f);
            CanvasColor membrane =
                MixColor(MixColor(look.wing, kInk, 0.2f), MixColor(look.wing, kWhite, 0.3f), t);
            float vein = std::pow(std::fabs(std::sin(std::atan2(y - wy, (x - wx) * facing) * 7)), 24.0f);
            membrane = MixColor(membrane, MixColor(look.wing, kInk, 0.4f), vein * 0.4f * t);
            return MixColor(membrane, kInk, shade);
        });
        CanvasColor bone = MixColor(look.body, kInk, 0.25f + shade);
        const std::pair<float, float> ex0ey0 = at(0.04f, -0.42f * lift - 0.1f);
        const float ex0 = ex0ey0.first, ey0 = ex0ey0.second;
        Paint(c, Capsule(sx, sy, ex0, ey0, 0.024f * u), bone);
        Paint(c, Capsule(ex0, ey0, wx, wy, 0.02f * u), bone);
        Paint(c, Capsule(wx, wy, tx, ty, 0.012f * u), bone);
    };
    paintWing(w * 0.75f - 0.1f, 0.8f, 0.45f); // the far wing, behind everything

    // The flame behind the jet pack's nozzle.
    if (jetPack && flame) {
        const std::pair<float, float> nxny = at(-0.3f, -0.09f);
        const float nx = nxny.first, ny = nxny.second;
        SoftGlow(c, nx - 0.2f * u * facing, ny, u * 0.4f, WithAlpha({1, 0.6f, 0.2f, 1}, 0.6f), 1.5f);
        Shape fire = place({-0.29f, -0.13f, -0.72f, -0.06f, -0.29f, -0.05f});
        Paint(
            c, fire,
            [=](float x, float) {
                float t = std::clamp((nx - x) * facing / (0.43f * u), 0.0f, 1.0f);
                return WithAlpha(MixColor({1, 0.97f, 0.7f, 1}, {1, 0.35f, 0.05f, 1}, t), 1 - t * 0.7f);
            },
            0, 2);
    }

    const std::pair<float, float> bxby = at(0, 0);
    const float bx = bxby.first, by = bxby.second;
    PaintFn skin = [=](float, float y) {
        float t = std::clamp((y - (by - 0.12f * u)) / (0.24f * u), 0.0f, 1.0f);
        return MixColor(MixColor(look.body, kWhite, 0.15f), look.belly, t);
    };
    const std::pair<float, float> hxhy = at(0.5f, -0.16f);
    const float hx = hxhy.first, hy = hxhy.second;
    PaintFn head = [=](float x, float y) {
        float light = std::clamp(1 - std::hypot(x - hx, y - (hy - 0.05f * u)) / (0.35f * u), 0.0f, 1.0f);
        return MixColor(MixColor(look.body, kInk, 0.2f), MixColor(look.body, kWhite, 0.35f), light);
    };
    const std::pair<float, float> exey = at(0.47f, -0.175f);
    const float ex = exey.first, ey = exey.second;

    std::vector<std::pair<Shape, PaintFn>> parts = {
        {place({-0.27f, 0.0f, -0.46f, 0.03f, -0.26f, 0.05f}), skin}, // tail
        {Capsule(at(-0.12f, 0.06f).first, at(-0.12f, 0.06f).second, at(-0.3f, 0.13f).first,
                 at(-0.3f, 0.13f).second, 0.025f * u),
         skin},                                                          // legs
        {Ellipse(bx, by, 0.29f * u, 0.095f * u, -0.12f * facing), skin}, // body
        {Capsule(at(0.2f, -0.04f).first, at(0.2f, -0.04f).second, at(0.43f, -0.15f).first,
                 at(0.43f, -0.15f).second, 0.045f * u),
         skin}, // neck
        {place({0.42f, -0.18f, 0.2f, -0.36f, 0.33f, -0.2f}),
         [=](float, float) { return look.crest; }},                                                 // crest
        {place({0.37f, -0.2f, 0.47f, -0.225f, 0.8f, -0.12f, 0.48f, -0.115f, 0.39f, -0.12f}), head}, // head
    };
    if (jetPack) {
        const std::pair<float, float> jxjy = at(-0.16f, -0.11f);
        const float jx = jxjy.first, jy = jxjy.second;
        parts.push_back({Ellipse(jx, jy, 0.13f * u, 0.065f * u, -0.05f * facing), [=](float, float y) {
                             float t = std::clamp((y - (jy - 0.065f * u)) / (0.13f * u), 0.0f, 1.0f);
                             return MixColor({0.85f, 0.88f, 0.95f, 1}, {0.25f, 0.28f, 0.38f, 1}, t);
                         }});
        parts.push_back(
            {place({-0.26f, -0.14f, -0.31f, -0.15f, -0.31f, -0.04f, -0.26f, -0.07f}), [](float, float) {
                 return CanvasColor{0.3f, 0.3f, 0.35f, 1};
             }});
    }
    Inked(c, parts, outline);
    Paint(c, Circle(ex, ey, 0.02f * u), kInk);
    Paint(c, Circle(ex + 0.006f * u * facing, ey - 0.006f * u, 0.007f * u), kWhite);

    paintWing(w, 1, 0); // the near wing, over the body
}

// A hunter: a raptor standing on `groundY`, its eye glowing.
void Raptor(Canvas& c, float x, float groundY, float height, float facing, CanvasColor color, CanvasColor rim)
{
    float u = height;
    std::vector<float> body = {-0.55f, -0.52f, -0.15f, -0.62f, 0.12f,  -0.66f, 0.22f,  -0.9f,  0.3f,   -1.0f,
                               0.52f,  -0.96f, 0.56f,  -0.9f,  0.36f,  -0.86f, 0.3f,   -0.78f, 0.26f,  -0.58f,
                               0.16f,  -0.42f, 0.1f,   -0.3f,  0.2f,   -0.02f, 0.28f,  0.0f,   0.04f,  0.0f,
                               -0.02f, -0.3f,  -0.1f,  -0.34f, -0.16f, -0.04f, -0.06f, 0.0f,   -0.26f, 0.0f,
                               -0.24f, -0.38f, -0.6f,  -0.48f, -0.95f, -0.42f};
    std::vector<float> p = Place(body, x, groundY, u, facing);
    Shape shape = Polygon(p);
    Paint(c, shape, rim, 1.5f);
    Paint(c, shape, LinearGradient(0, groundY - u, MixColor(color, kWhite, 0.1f), 0, groundY, color));
    float ex = x + 0.4f * u * facing, ey = groundY - 0.93f * u;
    SoftGlow(c, ex, ey, u * 0.12f, WithAlpha({1, 0.2f, 0.1f, 1}, 0.8f), 1.5f);
    Paint(c, Circle(ex, ey, u * 0.022f), {1, 0.85f, 0.4f, 1});
}

void Pine(Canvas& c, float x, float baseY, float height, CanvasColor color)
{
    DrawPine(c, x, baseY, height, color);
}

void Cactus(Canvas& c, float x, float baseY, float height, CanvasColor color)
{
    float w = height * 0.09f;
    Paint(c, Capsule(x, baseY, x, baseY - height, w), color);
    Paint(c, Capsule(x - w * 2.6f, baseY - height * 0.45f, x - w * 2.6f, baseY - height * 0.75f, w * 0.7f),
          color);
    Paint(c, Capsule(x - w * 2.6f, baseY - height * 0.45f, x, baseY - height * 0.45f, w * 0.7f), color);
    Paint(c, Capsule(x + w * 2.4f, baseY - height * 0.35f, x + w * 2.4f, baseY - height * 0.6f, w * 0.7f),
          color);
    Paint(c, Capsule(x + w * 2.4f, baseY - height * 0.35f, x, baseY - height * 0.35f, w * 0.7f), color);
}

// A swamp tree: a leaning trunk with hanging moss.
void SwampTree(Canvas& c, float x, float baseY, float height, CanvasColor color, uint32_t seed)
{
    float lean = (float(Hash01(int(x), 0, 0, seed)) - 0.5f) * height * 0.3f;
    Paint(c, Capsule(x, baseY, x + lean, baseY - height, height * 0.05f), color);
    for (int i = 0; i < 5; i++) {
        float bx = x + lean + (i - 2) * height * 0.12f, by = baseY - height * (0.85f + 0.05f * (i % 2));
        Paint(c, Capsule(x + lean, baseY - height * 0.92f, bx, by, height * 0.02f), color);
        Paint(c,
              Capsule(bx, by, bx + 2, by + height * (0.2f + 0.1f * float(Hash01(i, 1, 0, seed))),
                      height * 0.012f),
              WithAlpha(MixColor(color, {0.4f, 0.5f, 0.3f, 1}, 0.5f), 0.8f));
    }
}

// --- The slides ---

Canvas NewSlide()
{
    return Canvas(kSlideSize, kSlideSize, {0, 0, 0, 1});
}

// 0: the far world of Drellin, hanging in a starry sky over its moon.
Canvas SlideDrellin()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.01f, 0.01f, 0.05f, 1}, {0.1f, 0.05f, 0.2f, 1}, 512}, 200, 0.15f);
    Stars(c, 260, 201, 512);
    SoftGlow(c, 290, 230, 250, WithAlpha({0.3f, 0.6f, 1, 1}, 0.45f), 1.8f);
    Paint(
        c, Circle(290, 230, 150),
        [](float x, float y) {
            float land = Fbm(x / 60, y / 60, 5, 64, 64, 202);
            CanvasColor ground =
                land > 0.55f ? MixColor({0.2f, 0.5f, 0.25f, 1}, {0.75f, 0.6f, 0.35f, 1}, (land - 0.55f) * 3)
                             : MixColor({0.05f, 0.2f, 0.5f, 1}, {0.15f, 0.4f, 0.7f, 1}, land);
            float cloud = Fbm(x / 40 + 7, y / 25, 4, 64, 64, 203);
            ground = MixColor(ground, kWhite, std::clamp((cloud - 0.55f) * 3, 0.0f, 0.8f));
            float light = std::clamp(1.3f - std::hypot(x - 230, y - 170) / 200, 0.0f, 1.0f);
            return MixColor({0.01f, 0.02f, 0.06f, 1}, ground, light);
        },
        0, 1.5f);
    Paint(c, Circle(120, 400, 46),
          RadialGradient(105, 385, 70, {0.85f, 0.82f, 0.78f, 1}, {0.2f, 0.18f, 0.2f, 1}));
    Pterosaur(c, 380, 420, 90, -1, 0.5f, kElder, false);
    Vignette(c, 1);
    return c;
}

// 1: a pterosaur guarding a nest of eggs on a cliff at sunset.
Canvas SlideNest()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.25f, 0.2f, 0.5f, 1}, {1, 0.62f, 0.35f, 1}, 340}, 210, 0.4f);
    SoftGlow(c, 380, 300, 200, WithAlpha({1, 0.85f, 0.5f, 1}, 0.6f), 1.4f);
    Paint(c, Circle(380, 300, 38), {1, 0.9f, 0.65f, 1}, 0, 2);
    Hills(c, 340, 60, 140, {0.45f, 0.3f, 0.35f, 1}, {0.2f, 0.12f, 0.2f, 1}, 211);
    Shape cliff = Polygon({0, 512, 0, 360, 60, 330, 200, 345, 300, 372, 330, 512});
    Paint(c, cliff, kInk, 2);
    Paint(c, cliff, [](float x, float y) {
        float rock = Fbm(x / 30, y / 18, 4, 64, 64, 212);
        return MixColor({0.42f, 0.3f, 0.25f, 1}, {0.16f, 0.1f, 0.1f, 1}, rock * 0.6f + (y - 340) / 300);
    });
    Nest(c, 150, 352, 190);
    for (int i = 0; i < 5; i++)
        Egg(c, 90 + i * 30.0f, 338 + (i % 2) * 4.0f, 17, kEggs[i], 213 + i);
    Pterosaur(c, 300, 230, 300, -1, 0.85f, kElder, false);
    Vignette(c, 1);
    return c;
}

// 2: the sky tears open; a wormhole swallows the nest and scatters the eggs.
Canvas SlideSkyTears()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.08f, 0.02f, 0.15f, 1}, {0.45f, 0.2f, 0.35f, 1}, 380}, 220, 0.55f);
    Wormhole(c, 256, 190, 130, {0.75f, 0.95f, 1, 1}, {0.45f, 0.1f, 0.75f, 1}, 0);
    // Streaks of the nests' straw and the eggs' glow drawn into the rift.
    for (int i = 0; i < 14; i++) {
        float angle = float(Hash01(i, 0, 0, 223)) * 2 * kPi, r0 = 150 + float(Hash01(i, 1, 0, 223)) * 90;
        float x0 = 256 + std::cos(angle) * r0, y0 = 190 + std::sin(angle) * r0 * 0.8f;
        float x1 = 256 + std::cos(angle + 0.25f) * (r0 - 60),
              y1 = 190 + std::sin(angle + 0.25f) * (r0 - 60) * 0.8f;
        Paint(c, Capsule(x0, y0, x1, y1, 1.2f), WithAlpha({0.85f, 0.8f, 1, 1}, 0.45f));
    }
    Hills(c, 420, 70, 110, {0.22f, 0.15f, 0.25f, 1}, {0.05f, 0.04f, 0.08f, 1}, 221);
    const float eggs[][3] = {{170, 250, 14}, {330, 245, 12}, {215, 320, 16},
                             {300, 330, 13}, {120, 350, 11}, {390, 300, 11}};
    for (int i = 0; i < 6; i++) {
        SoftGlow(c, eggs[i][0], eggs[i][1], eggs[i][2] * 2.5f, WithAlpha({0.8f, 0.9f, 1, 1}, 0.4f), 2);
        Egg(c, eggs[i][0], eggs[i][1], eggs[i][2], kEggs[i % 5], 222 + i);
    }
    Vignette(c, 1);
    return c;
}

// 3: hunters step out of a rift into the dark.
Canvas SlideHunters()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.02f, 0.03f, 0.06f, 1}, {0.12f, 0.08f, 0.1f, 1}, 400}, 230, 0.3f);
    Stars(c, 80, 231, 260);
    Wormhole(c, 256, 230, 170, {1, 0.6f, 0.4f, 1}, {0.55f, 0.05f, 0.15f, 1}, 1.5f);
    Hills(c, 430, 30, 90, {0.12f, 0.08f, 0.1f, 1}, {0.03f, 0.02f, 0.03f, 1}, 232);
    Raptor(c, 150, 440, 150, 1, {0.06f, 0.05f, 0.06f, 1}, {1, 0.45f, 0.3f, 1});
    Raptor(c, 390, 450, 170, -1, {0.06f, 0.05f, 0.06f, 1}, {1, 0.45f, 0.3f, 1});
    Raptor(c, 270, 395, 110, 1, {0.1f, 0.06f, 0.07f, 1}, {1, 0.55f, 0.35f, 1});
    Vignette(c, 1);
    return c;
}

// 4: Quorvel roars into the sky on the jet pack.
Canvas SlideQuorvel()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.1f, 0.3f, 0.65f, 1}, {0.7f, 0.85f, 0.95f, 1}, 420}, 240, 0.5f);
    Hills(c, 430, 80, 150, {0.3f, 0.45f, 0.5f, 1}, {0.15f, 0.25f, 0.3f, 1}, 241);
    // Speed lines behind the flyer.
    for (int i = 0; i < 9; i++) {
        float y = 150 + i * 28.0f + float(Hash01(i, 0, 0, 242)) * 10;
        float x1 = 40 + float(Hash01(i, 1, 0, 242)) * 140;
        Paint(c, Capsule(x1, y, x1 + 90, y - 14, 1.5f), WithAlpha(kWhite, 0.5f));
    }
    Pterosaur(c, 290, 260, 380, 1, 0.7f, kQuorvel, true);
    Vignette(c, 1);
    return c;
}

// 5: the three lands where the eggs fell: forest, desert and swamp, side by side.
Canvas SlideThreeLands()
{
    Canvas c = NewSlide();
    Canvas forest = NewSlide(), desert = NewSlide(), swamp = NewSlide();
    PaintSky(forest, {{0.3f, 0.55f, 0.85f, 1}, {0.8f, 0.9f, 0.85f, 1}, 330}, 250, 0.4f);
    Hills(forest, 330, 60, 90, {0.2f, 0.4f, 0.3f, 1}, {0.1f, 0.2f, 0.15f, 1}, 251);
    for (int i = 0; i < 6; i++)
        Pine(forest, 20 + i * 36.0f, 420 + (i % 2) * 20.0f, 150 + (i % 3) * 30.0f, {0.06f, 0.22f, 0.12f, 1});
    Egg(forest, 85, 455, 16, kEggs[0], 252);
    PaintSky(desert, {{0.25f, 0.5f, 0.9f, 1}, {1, 0.88f, 0.65f, 1}, 340}, 253, 0.15f);
    Paint(desert, Circle(260, 120, 30), {1, 1, 0.85f, 1}, 0, 2);
    Hills(desert, 360, 90, 70, {0.8f, 0.5f, 0.3f, 1}, {0.55f, 0.3f, 0.15f, 1}, 254);
    Hills(desert, 420, 25, 160, {0.95f, 0.78f, 0.5f, 1}, {0.8f, 0.6f, 0.35f, 1}, 255);
    Cactus(desert, 230, 440, 110, {0.2f, 0.45f, 0.25f, 1});
    Egg(desert, 290, 455, 16, kEggs[2], 256);
    PaintSky(swamp, {{0.25f, 0.35f, 0.3f, 1}, {0.7f, 0.75f, 0.55f, 1}, 360}, 257, 0.6f);
    Hills(swamp, 370, 30, 120, {0.2f, 0.3f, 0.22f, 1}, {0.12f, 0.2f, 0.14f, 1}, 258);
    for (int i = 0; i < 4; i++)
        SwampTree(swamp, 360 + i * 45.0f, 430, 170 + (i % 2) * 40.0f, {0.1f, 0.12f, 0.08f, 1}, 259);
    Paint(swamp, Shape{[](float, float y) { return 410 - y; }, 0, 410, 512, 512},
          LinearGradient(0, 410, {0.3f, 0.38f, 0.25f, 1}, 0, 512, {0.08f, 0.12f, 0.08f, 1}));
    Egg(swamp, 440, 440, 16, kEggs[4], 260);
    // Three tall panels divided by ink.
    MapPixels(c, [&](int x, int y, CanvasColor) {
        float slant = (y - 256) * 0.15f;
        const Canvas& from = x + slant < 171 ? forest : x + slant < 341 ? desert : swamp;
        return from.At(x, y);
    });
    for (float x : {171.0f, 341.0f})
        Paint(c, Capsule(x + 38, 0, x - 38, 512, 3), kInk);
    Vignette(c, 1);
    return c;
}

// 6: Quorvel fights: a blast of the sonic weapon at a diving hunter.
Canvas SlideFight()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.35f, 0.15f, 0.2f, 1}, {0.95f, 0.55f, 0.3f, 1}, 400}, 260, 0.5f);
    Hills(c, 440, 60, 120, {0.3f, 0.15f, 0.15f, 1}, {0.1f, 0.05f, 0.06f, 1}, 261);
    Pterosaur(
        c, 360, 170, 200, -1, -0.6f,
        {{0.3f, 0.1f, 0.12f, 1}, {0.5f, 0.3f, 0.3f, 1}, {0.25f, 0.08f, 0.1f, 1}, {0.1f, 0.05f, 0.05f, 1}},
        false);
    Pterosaur(c, 140, 320, 300, 1, 0.3f, kQuorvel, true);
    // The sonic scream: rings widening from the beak toward the hunter.
    for (int i = 0; i < 5; i++) {
        float t = float(i) / 4, x = 325 + t * 45, y = 285 - t * 85, r = 10 + i * 9.0f;
        Paint(c,
              Shape{[=](float px, float py) { return RingDistance(px, py, x, y, r, 2.5f); }, x - r - 4,
                    y - r - 4, x + r + 4, y + r + 4},
              WithAlpha({0.7f, 0.95f, 1, 1}, 0.9f - t * 0.5f));
    }
    SoftGlow(c, 375, 190, 50, WithAlpha({1, 0.9f, 0.5f, 1}, 0.7f), 1.5f);
    Vignette(c, 1);
    return c;
}

// 7: carrying an egg home through a wormhole.
Canvas SlideHomeward()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.05f, 0.1f, 0.3f, 1}, {0.4f, 0.55f, 0.8f, 1}, 420}, 270, 0.45f);
    Stars(c, 60, 271, 200);
    Wormhole(c, 360, 190, 110, {0.8f, 1, 0.9f, 1}, {0.1f, 0.45f, 0.55f, 1}, 0.7f);
    Hills(c, 440, 60, 130, {0.12f, 0.22f, 0.25f, 1}, {0.04f, 0.08f, 0.1f, 1}, 272);
    Pterosaur(c, 190, 300, 290, 1, 0.5f, kQuorvel, true);
    Egg(c, 205, 345, 15, kEggs[1], 273);
    Vignette(c, 1);
    return c;
}

// 8: off into the morning: the adventure begins.
Canvas SlideSunrise()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.15f, 0.25f, 0.55f, 1}, {1, 0.75f, 0.45f, 1}, 380}, 280, 0.35f);
    SoftGlow(c, 256, 380, 260, WithAlpha({1, 0.85f, 0.5f, 1}, 0.7f), 1.3f);
    Paint(c, Circle(256, 390, 60), {1, 0.93f, 0.7f, 1}, 0, 2);
    Hills(c, 400, 50, 140, {0.35f, 0.3f, 0.4f, 1}, {0.15f, 0.12f, 0.2f, 1}, 281);
    Hills(c, 450, 40, 90, {0.15f, 0.2f, 0.18f, 1}, {0.05f, 0.07f, 0.06f, 1}, 282);
    Pterosaur(c, 250, 230, 260, 1, 0.9f, kQuorvel, true);
    Vignette(c, 1);
    return c;
}

} // namespace

Canvas StorySlide(int index)
{
    switch (index) {
    case 0:
        return SlideDrellin();
    case 1:
        return SlideNest();
    case 2:
        return SlideSkyTears();
    case 3:
        return SlideHunters();
    case 4:
        return SlideQuorvel();
    case 5:
        return SlideThreeLands();
    case 6:
        return SlideFight();
    case 7:
        return SlideHomeward();
    default:
        return SlideSunrise();
    }
}

// The eggs are home: a full nest and two pterosaurs circling over it, under a rainbow.
Canvas WinSlide()
{
    Canvas c = NewSlide();
    PaintSky(c, {{0.25f, 0.5f, 0.9f, 1}, {0.95f, 0.9f, 0.7f, 1}, 360}, 290, 0.35f);
    const CanvasColor bands[] = {{1, 0.3f, 0.3f, 1},     {1, 0.7f, 0.2f, 1}, {1, 1, 0.35f, 1},
                                 {0.35f, 0.9f, 0.4f, 1}, {0.3f, 0.6f, 1, 1}, {0.6f, 0.4f, 0.9f, 1}};
    for (int i = 0; i < 6; i++)
        Paint(c,
              Shape{[=](float x, float y) { return RingDistance(x, y, 256, 420, 300.0f - i * 10, 5); }, 0,
                    100, 512, 420},
              WithAlpha(bands[i], 0.35f), 0, 3);
    Hills(c, 380, 70, 130, {0.35f, 0.6f, 0.35f, 1}, {0.15f, 0.35f, 0.2f, 1}, 291);
    Hills(c, 430, 30, 200, {0.25f, 0.5f, 0.25f, 1}, {0.1f, 0.25f, 0.12f, 1}, 292);
    Nest(c, 256, 440, 260);
    for (int i = 0; i < 7; i++)
        Egg(c, 172 + i * 28.0f, 425 + (i % 2) * 5.0f, 16, kEggs[i % 5], 293 + i);
    Pterosaur(c, 170, 200, 220, 1, 0.8f, kQuorvel, true);
    Pterosaur(c, 370, 150, 170, -1, 0.2f, kElder, false);
    Vignette(c, 0.8f);
    return c;
}

// The title: the name over a winged emblem, with room around it for any background.
Canvas Logo()
{
    Canvas c(1024, 256);
    SoftGlow(c, 512, 128, 420, WithAlpha(kTeal, 0.25f), 1.5f);
    DrawWingedEmblem(c, 512, 128, 700, WithAlpha(kPanel, 0.8f));
    DrawOutlinedText(c, "QUORVEL II", 512, 128, FitTextEm("QUORVEL II", 900, 150),
                     LinearGradient(0, 60, {1, 0.97f, 0.7f, 1}, 0, 190, {1, 0.5f, 0.1f, 1}), kInk, 8);
    return c;
}

// The desktop icon: Quorvel on the jet pack in a round badge of sky.
Canvas GameIcon()
{
    Canvas c(256, 256);
    Shape badge = Circle(128, 128, 118);
    Paint(c, badge, kInk, 6);
    Paint(c, badge, [](float, float y) {
        return MixColor({0.12f, 0.3f, 0.65f, 1}, {1, 0.75f, 0.45f, 1},
                        std::clamp((y - 20) / 220, 0.0f, 1.0f));
    });
    Paint(c, Circle(185, 185, 28), WithAlpha({1, 0.95f, 0.75f, 1}, 0.9f), 0, 2);
    Pterosaur(c, 128, 140, 230, 1, 0.75f, kQuorvel, true);
    return c;
}
