#include "DataForge/Content/SpritesParts.h"

#include "DataForge/Content/SpritesKit.h"

#include <cmath>
#include <vector>

using namespace Palette;

// Points given in a unit box (x -1..1 right, y -1..1 down), placed at (cx, cy) with half size s.
static std::vector<float> Place(const std::vector<float>& unit, float cx, float cy, float s)
{
    std::vector<float> p(unit.size());
    for (size_t i = 0; i < unit.size(); i += 2) {
        p[i] = cx + unit[i] * s;
        p[i + 1] = cy + unit[i + 1] * s;
    }
    return p;
}

void DrawWingedEmblem(Canvas& canvas, float cx, float cy, float span, CanvasColor color)
{
    float s = span / 2;
    const std::vector<float> leftWing = {-0.1f,  -0.15f, -0.55f, -0.45f, -1.0f,  -0.3f, -0.75f, -0.1f,
                                         -0.85f, 0.05f,  -0.5f,  0.0f,   -0.35f, 0.15f, -0.1f,  0.1f};
    std::vector<float> rightWing = leftWing; // mirrored below
    for (size_t i = 0; i < rightWing.size(); i += 2)
        rightWing[i] = -rightWing[i];
    const std::vector<float> body = {0.0f, -0.62f, 0.09f,  -0.35f, 0.12f,  0.1f, 0.05f,  0.5f,
                                     0.0f, 0.62f,  -0.05f, 0.5f,   -0.12f, 0.1f, -0.09f, -0.35f};
    for (const std::vector<float>* part : {&leftWing, (const std::vector<float>*)&rightWing, &body}) {
        std::vector<float> p = Place(*part, cx, cy, s);
        FillShape(
            canvas, [p](float x, float y) { return PolygonDistance(x, y, p); }, color);
    }
    // The crest behind the head.
    std::vector<float> crest = Place({0.0f, -0.5f, 0.05f, -0.85f, -0.05f, -0.55f}, cx, cy, s);
    FillShape(
        canvas, [crest](float x, float y) { return PolygonDistance(x, y, crest); }, color);
}

void DrawPterosaurProfile(Canvas& canvas, float cx, float cy, float span, float wingLift, CanvasColor color)
{
    float s = span / 2, lift = -0.5f * wingLift;
    const std::vector<float> body = {-0.55f, -0.05f, -0.25f, -0.12f, 0.25f, -0.08f, 0.45f, -0.2f, 0.75f,
                                     -0.12f, 0.45f,  -0.05f, 0.3f,   0.05f, -0.2f,  0.06f, -0.6f, 0.02f};
    const std::vector<float> crest = {0.42f, -0.17f, 0.3f, -0.38f, 0.48f, -0.21f};
    const std::vector<float> wing = {-0.15f, -0.08f,       0.15f,  -0.08f,
                                     -0.1f,  -0.6f + lift, -0.75f, -0.75f + lift};
    for (const std::vector<float>* part : {&body, &crest, &wing}) {
        std::vector<float> p = Place(*part, cx, cy, s);
        FillShape(
            canvas, [p](float x, float y) { return PolygonDistance(x, y, p); }, color);
    }
}

void DrawGaugeSymbol(Canvas& canvas, int symbol, float cx, float cy, float size, CanvasColor color)
{
    if (symbol == 0) {
        FillShape(
            canvas,
            [=](float x, float y) {
                return std::min(
                    RoundRectDistance(x, y, cx - size, cy - size * 0.35f, cx + size, cy + size * 0.35f, 1),
                    RoundRectDistance(x, y, cx - size * 0.35f, cy - size, cx + size * 0.35f, cy + size, 1));
            },
            color);
    } else if (symbol == 1) {
        std::vector<float> flame = Place({0.0f, -1.1f, 0.55f, -0.2f, 0.7f, 0.35f, 0.35f, 0.95f, -0.35f, 0.95f,
                                          -0.7f, 0.35f, -0.45f, -0.25f, -0.15f, 0.1f},
                                         cx, cy, size);
        FillShape(
            canvas, [flame](float x, float y) { return PolygonDistance(x, y, flame); }, color);
    } else {
        std::vector<float> shield =
            Place({-0.85f, -0.9f, 0.85f, -0.9f, 0.8f, 0.1f, 0.0f, 1.0f, -0.8f, 0.1f}, cx, cy, size);
        FillShape(
            canvas, [shield](float x, float y) { return PolygonDistance(x, y, shield) + 0.5f; }, color);
    }
}

Canvas WeaponIcon(int weapon)
{
    Canvas c(128, 128);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 64, 64, 58); },
        RadialGradient(50, 44, 80, {0.2f, 0.3f, 0.5f, 0.95f}, WithAlpha(kInk, 0.95f)));
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 64, 64, 57, 2.5f); }, kTeal);
    switch (weapon) {
    case 0: // stun gun: a crackling bolt
        SoftGlow(c, 64, 64, 44, WithAlpha(kTeal, 0.6f), 1.5f);
        FillShape(
            c,
            [](float x, float y) {
                return PolygonDistance(x, y, {70, 22, 40, 70, 60, 70, 52, 106, 88, 54, 67, 54, 80, 22});
            },
            LinearGradient(0, 22, kWhite, 0, 106, kTeal));
        break;
    case 1: // flare: a burning star
        SoftGlow(c, 64, 64, 50, WithAlpha(kFuel, 0.8f), 1.2f);
        FillShape(
            c, [](float x, float y) { return PolygonDistance(x, y, StarPoints(64, 64, 8, 36, 14)); },
            RadialGradient(64, 64, 36, kWhite, kFuel));
        break;
    case 2: // missile
        FillShape(
            c, [](float x, float y) { return CapsuleDistance(x, y, 34, 94, 86, 42, 10); },
            LinearGradient(30, 60, {0.85f, 0.88f, 0.92f, 1}, 60, 90, {0.45f, 0.5f, 0.6f, 1}));
        FillShape(
            c,
            [](float x, float y) {
                return PolygonDistance(x, y, {80, 32, 100, 28, 96, 48});
            },
            kHealth);
        FillShape(
            c,
            [](float x, float y) {
                return PolygonDistance(x, y, {30, 82, 22, 106, 46, 98});
            },
            kHealth);
        SoftGlow(c, 28, 100, 18, WithAlpha(kFuel, 0.9f), 1.5f);
        break;
    case 3: // sonic scream: arcs spreading from a point
        for (int i = 0; i < 3; i++) {
            float r = 20.0f + i * 14;
            FillShape(
                c,
                [r](float x, float y) {
                    float angle = std::atan2(y - 64, x - 34);
                    float ring = RingDistance(x, y, 34, 64, r, 4);
                    return std::fabs(angle) < 0.8f ? ring : 10.0f;
                },
                MixColor(kTeal, kWhite, 0.3f * i));
        }
        FillShape(
            c, [](float x, float y) { return CircleDistance(x, y, 34, 64, 7); }, kWhite);
        break;
    default: // bomb
        FillShape(
            c, [](float x, float y) { return CircleDistance(x, y, 60, 70, 30); },
            RadialGradient(50, 58, 42, {0.45f, 0.45f, 0.55f, 1}, {0.05f, 0.05f, 0.08f, 1}));
        FillShape(c, [](float x, float y) { return RoundRectDistance(x, y, 68, 32, 86, 46, 3); },
                  {0.4f, 0.4f, 0.45f, 1});
        FillShape(
            c, [](float x, float y) { return CapsuleDistance(x, y, 78, 34, 92, 20, 2); }, kGold);
        SoftGlow(c, 94, 18, 14, WithAlpha(kFuel, 1), 1.5f);
        break;
    }
    return c;
}

void DrawPine(Canvas& canvas, float cx, float baseY, float height, CanvasColor color)
{
    float w = height * 0.22f;
    FillShape(
        canvas,
        [=](float x, float y) {
            return RoundRectDistance(x, y, cx - w * 0.12f, baseY - height * 0.2f, cx + w * 0.12f, baseY, 1);
        },
        MixColor(color, kBlack, 0.3f));
    for (int tier = 0; tier < 3; tier++) {
        float top = baseY - height * (1.0f - tier * 0.22f), bottom = baseY - height * (0.45f - tier * 0.18f);
        float half = w * (0.55f + tier * 0.3f);
        std::vector<float> p = {cx, top, cx + half, bottom, cx - half, bottom};
        FillShape(
            canvas, [p](float x, float y) { return PolygonDistance(x, y, p); }, color);
    }
}
