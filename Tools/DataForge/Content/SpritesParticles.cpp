// Sprite group 4, series "particle" (exactly 43 images, all blended): sparks, smoke, fire, leaves, the
// lens-flare elements, the 11 frames of the flying sprite (31-41) and the shock ring (42). Particles are
// mostly drawn additively, so their colour fades to black as well as to transparency at the edges.
#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Palette;

namespace {

constexpr int kSize = 128;
constexpr float kMid = kSize / 2.0f;

Canvas Glow(CanvasColor core, CanvasColor edge, float power)
{
    Canvas c(kSize, kSize, WithAlpha(edge, 0));
    SoftGlow(c, kMid, kMid, kMid - 2, edge, power);
    SoftGlow(c, kMid, kMid, kMid * 0.45f, core, power * 1.5f);
    return c;
}

// A billowing puff: noise-edged disc, alpha from the noise.
Canvas Puff(CanvasColor light, CanvasColor dark, float opacity, uint32_t seed)
{
    Canvas c(kSize, kSize);
    MapPixels(c, [&](int x, int y, CanvasColor) {
        float u = x / float(kSize), v = y / float(kSize);
        float d = std::hypot(u - 0.5f, v - 0.5f) * 2;
        float n = Fbm(u * 4, v * 4, 4, 64, 64, seed);
        float alpha = std::clamp((1 - d) * 1.6f + (n - 0.5f) * 1.2f - 0.2f, 0.0f, 1.0f) * opacity;
        return WithAlpha(MixColor(dark, light, n * 1.2f - (v - 0.5f) * 0.6f), alpha);
    });
    return c;
}

Canvas Sparkle(int points, CanvasColor color)
{
    Canvas c(kSize, kSize, WithAlpha(color, 0));
    SoftGlow(c, kMid, kMid, 40, WithAlpha(color, 0.7f), 2);
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, StarPoints(kMid, kMid, points, 60, 6)); },
        RadialGradient(kMid, kMid, 60, kWhite, WithAlpha(color, 0)), 2);
    return c;
}

// A flame: a round base that licks up into tongues bent by noise, soft at every edge, a pale yellow heart
// going orange and then red toward the rim.
Canvas Flame()
{
    Canvas c(kSize, kSize);
    MapPixels(c, [](int x, int y, CanvasColor) {
        float u = x / float(kSize) - 0.5f, v = y / float(kSize); // v runs from the tip (0) to the base (1)
        float n = Fbm(u * 4 + 3, v * 3, 4, 64, 64, 77);
        float across = u - (n - 0.5f) * 0.35f * (1 - v); // the tongues sway more toward the tip
        constexpr float kBase = 0.74f, kRound = 0.2f;
        float width;
        if (v < kBase) {
            width = 0.3f * std::pow(std::max(v - 0.04f, 0.0f) / (kBase - 0.04f), 0.9f);
        } else {
            float t = (v - kBase) / kRound;
            width = 0.3f * std::sqrt(std::max(0.0f, 1 - t * t));
        }
        float d = std::fabs(across) / std::max(width, 0.001f); // 0 on the axis, 1 at the rim
        float body = std::clamp((1 - d) * 2.2f, 0.0f, 1.0f) * (0.55f + 0.45f * n);
        float heat = std::clamp((1 - d) * 1.4f, 0.0f, 1.0f) * std::clamp((v - 0.25f) * 2.0f, 0.0f, 1.0f);
        CanvasColor color = MixColor({0.85f, 0.12f, 0.02f, 1}, kFuel, std::min(heat * 2, 1.0f));
        color = MixColor(color, {1, 0.97f, 0.75f, 1}, std::max(heat * 2 - 1, 0.0f));
        return WithAlpha(color, std::clamp(body, 0.0f, 1.0f));
    });
    return c;
}

// A hot spark: a white core with four thin rays in an orange halo; round, so it needs no turning.
Canvas Spark()
{
    Canvas c(kSize, kSize, WithAlpha({1, 0.6f, 0.15f, 1}, 0));
    SoftGlow(c, kMid, kMid, 40, WithAlpha({1, 0.5f, 0.1f, 1}, 0.8f), 2.4f);
    FillShape(
        c, [](float x, float y) { return PolygonDistance(x, y, StarPoints(kMid, kMid, 4, 58, 4)); },
        RadialGradient(kMid, kMid, 58, {1, 1, 0.85f, 1}, WithAlpha({1, 0.7f, 0.2f, 1}, 0)), 1.5f);
    SoftGlow(c, kMid, kMid, 16, kWhite, 1.0f);
    return c;
}

Canvas Leaf(CanvasColor color)
{
    Canvas c(kSize, kSize);
    auto leaf = [](float x, float y) {
        float u = (x - kMid) / 54, v = (y - kMid) / 54; // a pointed oval, turned 30 degrees
        float ru = u * 0.87f + v * 0.5f, rv = -u * 0.5f + v * 0.87f;
        return (std::fabs(ru) + rv * rv * 0.45f - (1 - rv * rv) * 0.42f) * 54;
    };
    FillShape(c, leaf,
              RadialGradient(50, 45, 80, MixColor(color, kWhite, 0.25f), MixColor(color, kInk, 0.35f)));
    // The midrib follows the leaf's long axis (turned with it) and runs out into a short stem.
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, 80, 36, 40, 106, 1.2f); },
        WithAlpha(MixColor(color, kWhite, 0.5f), 0.8f));
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, 39, 108, 33, 120, 1.8f); },
        MixColor(color, kInk, 0.3f));
    return c;
}

Canvas Ring(float radius, float width, CanvasColor color, float feather)
{
    Canvas c(kSize, kSize, WithAlpha(color, 0));
    FillShape(
        c, [=](float x, float y) { return RingDistance(x, y, kMid, kMid, radius, width); }, color, feather);
    return c;
}

Canvas HexRing()
{
    Canvas c(kSize, kSize, WithAlpha(kTeal, 0));
    std::vector<float> hex = StarPoints(kMid, kMid, 3, 56, 56, 0.5236f);
    FillShape(
        c, [hex](float x, float y) { return std::fabs(PolygonDistance(x, y, hex)) - 3; },
        WithAlpha({0.6f, 1, 0.8f, 1}, 0.5f), 3);
    FillShape(
        c, [hex](float x, float y) { return PolygonDistance(x, y, hex); },
        WithAlpha({0.4f, 0.9f, 0.7f, 1}, 0.12f));
    return c;
}

Canvas Sun()
{
    Canvas c(kSize, kSize, WithAlpha(kWhite, 0));
    for (int i = 0; i < 8; i++) {
        float a = i * 0.7853982f;
        FillShape(
            c,
            [=](float x, float y) {
                return CapsuleDistance(x, y, kMid, kMid, kMid + std::sin(a) * 62, kMid - std::cos(a) * 62,
                                       1.5f);
            },
            WithAlpha({1, 0.95f, 0.8f, 1}, 0.5f), 3);
    }
    SoftGlow(c, kMid, kMid, 62, WithAlpha({1, 0.85f, 0.5f, 1}, 0.9f), 2.2f);
    SoftGlow(c, kMid, kMid, 24, kWhite, 1.2f);
    return c;
}

Canvas Droplets()
{
    Canvas c(kSize, kSize, WithAlpha(kWhite, 0));
    for (int i = 0; i < 14; i++) {
        float a = float(Hash01(i, 1, 0, 5) * 6.2831853), r = 12 + float(Hash01(i, 2, 0, 5)) * 44;
        float size = 3 + float(Hash01(i, 3, 0, 5)) * 6;
        float x0 = kMid + std::cos(a) * r, y0 = kMid + std::sin(a) * r;
        FillShape(
            c, [=](float x, float y) { return CircleDistance(x, y, x0, y0, size); },
            RadialGradient(x0 - size / 3, y0 - size / 3, size * 1.5f, kWhite, {0.5f, 0.8f, 1, 0.7f}), 1.5f);
    }
    return c;
}

Canvas Shard(CanvasColor color)
{
    Canvas c(kSize, kSize);
    FillShape(
        c,
        [](float x, float y) {
            return PolygonDistance(x, y, {30, 40, 84, 18, 104, 70, 60, 108, 26, 84});
        },
        LinearGradient(30, 20, MixColor(color, kWhite, 0.3f), 100, 100, MixColor(color, kInk, 0.4f)));
    return c;
}

Canvas FlyingSpriteFrame(int frame)
{
    Canvas c(kSize, kSize, WithAlpha(kWhite, 0));
    float flap = std::sin(frame / 11.0f * 6.2831853f); // one beat over the 11 frames
    SoftGlow(c, kMid, kMid, 60, WithAlpha({0.6f, 1, 0.8f, 1}, 0.55f), 1.8f);
    for (int side = -1; side <= 1; side += 2) {
        float tipX = kMid + side * 52, tipY = kMid - 30 * flap;
        std::vector<float> wing = {kMid,      kMid - 6, tipX,    tipY - 14, kMid + side * 44,
                                   tipY + 16, kMid,     kMid + 8};
        FillShape(
            c, [wing](float x, float y) { return PolygonDistance(x, y, wing); },
            WithAlpha({0.8f, 1, 0.95f, 1}, 0.75f), 2);
    }
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, kMid, kMid - 12, kMid, kMid + 14, 6); },
        RadialGradient(kMid, kMid - 8, 22, kWhite, {0.5f, 1, 0.7f, 1}));
    SoftGlow(c, kMid, kMid - 14, 14, kWhite, 1.2f);
    return c;
}

} // namespace

void ForgeParticleSprites(const std::filesystem::path& spritesFolder)
{
    const CanvasColor fire = {1, 0.55f, 0.12f, 1}, blue = {0.35f, 0.6f, 1, 1}, green = {0.45f, 1, 0.35f, 1};
    std::vector<Canvas> sprites;
    sprites.push_back(Glow({1, 0.95f, 0.7f, 1}, fire, 1.4f));                             // 0 explosion fire
    sprites.push_back(Puff({0.75f, 0.75f, 0.75f, 1}, {0.35f, 0.35f, 0.38f, 1}, 0.9f, 1)); // 1 smoke
    sprites.push_back(Sparkle(4, {0.8f, 0.9f, 1, 1}));                                    // 2 glint
    sprites.push_back(Glow(kWhite, {0.8f, 0.85f, 1, 1}, 2.0f));                           // 3 white glow
    sprites.push_back(Glow({0.9f, 0.95f, 1, 1}, blue, 1.6f));                             // 4 exhaust
    sprites.push_back(Puff({0.55f, 0.42f, 0.28f, 1}, {0.3f, 0.2f, 0.12f, 1}, 1.0f, 2));   // 5 dirt
    sprites.push_back(Ring(44, 4, kWhite, 4));                                            // 6 ring particle
    sprites.push_back(Glow({0.9f, 1, 0.8f, 1}, green, 1.6f));                             // 7 green glow
    sprites.push_back(Glow({0.85f, 0.9f, 1, 1}, {0.5f, 0.3f, 1, 1}, 1.4f));               // 8 plasma
    sprites.push_back(Spark());                                                           // 9 sparks
    sprites.push_back(Glow({1, 0.9f, 0.5f, 1}, {1, 0.35f, 0.05f, 1}, 2.5f));              // 10 ember
    sprites.push_back(Sparkle(6, kGold));                                                 // 11 star sparkle
    sprites.push_back(Puff({0.55f, 0.55f, 0.58f, 1}, {0.18f, 0.18f, 0.2f, 1}, 0.85f, 3)); // 12 smoke
    sprites.push_back(Puff({0.95f, 0.95f, 0.95f, 1}, {0.65f, 0.68f, 0.72f, 1}, 0.8f, 4)); // 13 white puff
    sprites.push_back(Glow({1, 0.9f, 0.6f, 1}, fire, 1.2f));                              // 14 orange glow
    sprites.push_back(Glow({0.8f, 0.9f, 1, 1}, blue, 1.2f));                              // 15 blue glow
    sprites.push_back(Puff({0.85f, 0.75f, 0.58f, 1}, {0.6f, 0.5f, 0.36f, 1}, 0.7f, 5));   // 16 ground dust
    sprites.push_back(Droplets());                                                        // 17 splash
    sprites.push_back(Ring(40, 2.5f, {0.7f, 0.9f, 1, 0.8f}, 2));                          // 18 bubble ring
    sprites.push_back(Flame());                                                           // 19 fire
    sprites.push_back(Shard({0.6f, 0.55f, 0.5f, 1}));                                     // 20 debris
    sprites.push_back(Sparkle(4, blue));                                                  // 21 electric spark
    sprites.push_back(Leaf(kLeaf));                                                       // 22 leaves
    sprites.push_back(Leaf({0.75f, 0.55f, 0.2f, 1}));                                     // 23 dry leaf
    sprites.push_back(Sparkle(8, kWhite));                                                // 24 cross glint
    sprites.push_back(Sun());                                                             // 25 flare sun
    sprites.push_back(HexRing());                                                         // 26 flare ring
    sprites.push_back(Ring(50, 2, WithAlpha({0.9f, 0.7f, 1, 1}, 0.6f), 3));               // 27 flare ring
    sprites.push_back(Glow(WithAlpha({0.6f, 0.8f, 1, 1}, 0.4f), WithAlpha(blue, 0.25f), 1)); // 28 flare disc
    sprites.push_back(Glow({1, 0.7f, 0.9f, 1}, {0.9f, 0.3f, 0.6f, 1}, 1.5f));                // 29 pink glow
    sprites.push_back(Puff({0.75f, 0.95f, 0.35f, 1}, {0.3f, 0.5f, 0.1f, 1}, 0.75f, 6));      // 30 gas
    for (int frame = 0; frame < 11; frame++)
        sprites.push_back(FlyingSpriteFrame(frame));         // 31-41
    sprites.push_back(Ring(50, 7, {0.8f, 0.95f, 1, 1}, 10)); // 42 shock ring

    std::filesystem::path folder = spritesFolder / "particle";
    for (size_t i = 0; i < sprites.size(); i++)
        SaveSpritePng(folder, SeriesName("particle", int(i)), sprites[i]);
}
