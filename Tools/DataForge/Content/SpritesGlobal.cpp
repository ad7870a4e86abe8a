// Sprite group 5, series "global" (9): shadows 0-3, the ripple ring 4, the water textures 5-7 and the
// beam 8; sprite group 1, series "spheremap" (9): reflection images; sprite group 3: the menu cursor.
#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Palette;

namespace {

Canvas Shadow(float rx, float ry, float squareness)
{
    Canvas c(128, 128, WithAlpha(kBlack, 0));
    FillShape(
        c,
        [=](float x, float y) {
            float round = (std::hypot((x - 64) / rx, (y - 64) / ry) - 1) * std::min(rx, ry);
            float box = RoundRectDistance(x, y, 64 - rx, 64 - ry, 64 + rx, 64 + ry, std::min(rx, ry) * 0.5f);
            return round + (box - round) * squareness;
        },
        WithAlpha(kBlack, 0.8f), 22);
    return c;
}

Canvas WingShadow()
{
    Canvas c(128, 128, WithAlpha(kBlack, 0));
    Canvas wings(128, 128);
    DrawWingedEmblem(wings, 64, 64, 120, WithAlpha(kBlack, 0.75f));
    // Softened by averaging a small neighbourhood.
    MapPixels(c, [&](int x, int y, CanvasColor) {
        float sum = 0;
        int n = 0;
        for (int dy = -3; dy <= 3; dy++) {
            for (int dx = -3; dx <= 3; dx++) {
                int sx = x + dx, sy = y + dy;
                if (sx >= 0 && sy >= 0 && sx < 128 && sy < 128)
                    sum += wings.At(sx, sy).a;
                n++;
            }
        }
        return WithAlpha(kBlack, sum / n);
    });
    return c;
}

// Tileable water: soft caustic bands over a base colour.
Canvas Water(CanvasColor deep, CanvasColor light, uint32_t seed)
{
    Canvas c(256, 256);
    MapPixels(c, [&](int x, int y, CanvasColor) {
        float u = x / 256.0f * 4, v = y / 256.0f * 4;
        float n = Fbm(u, v, 4, 4, 4, seed);
        float bands = std::fabs(std::sin((n * 3.0f) * 6.2831853f * 0.5f));
        float caustic = std::pow(1 - bands, 6.0f);
        return MixColor(MixColor(deep, light, n), kWhite, caustic * 0.5f);
    });
    return c;
}

Canvas Ripple()
{
    Canvas c(128, 128, WithAlpha(kWhite, 0));
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 64, 64, 52, 4); }, WithAlpha(kWhite, 0.9f), 6);
    return c;
}

Canvas Beam()
{
    Canvas c(64, 64);
    MapPixels(c, [](int, int y, CanvasColor) {
        float d = std::fabs(y + 0.5f - 32) / 32;
        float core = std::pow(std::max(0.0f, 1 - d * 3), 2.0f);
        float halo = std::pow(std::max(0.0f, 1 - d), 2.0f);
        return WithAlpha(MixColor({1, 0.3f, 0.25f, 1}, kWhite, core), std::min(1.0f, halo + core));
    });
    return c;
}

// A chrome-ball view of a world: sky above, ground below, a bright horizon ring.
Canvas SphereMap(CanvasColor skyTop, CanvasColor horizon, CanvasColor ground, uint32_t seed)
{
    Canvas c(256, 256, kBlack);
    MapPixels(c, [&](int x, int y, CanvasColor) {
        float nx = (x + 0.5f) / 128 - 1, ny = (y + 0.5f) / 128 - 1;
        float r = std::hypot(nx, ny);
        float elevation = -ny; // up on the ball looks up
        float n = Fbm(x / 64.0f, y / 64.0f, 3, 4, 4, seed);
        CanvasColor world = elevation > 0
                                ? MixColor(horizon, skyTop, std::pow(elevation, 0.6f) + (n - 0.5f) * 0.2f)
                                : MixColor(horizon, ground, std::pow(-elevation, 0.4f) + (n - 0.5f) * 0.3f);
        world = MixColor(world, kWhite, std::pow(std::max(0.0f, 1 - std::fabs(elevation) * 8), 3.0f) * 0.6f);
        return MixColor(world, MixColor(horizon, kBlack, 0.5f), std::clamp((r - 0.92f) * 12, 0.0f, 1.0f));
    });
    SoftGlow(c, 88, 70, 40, WithAlpha(kWhite, 0.7f), 2.5f); // the sun's highlight
    return c;
}

Canvas Cursor()
{
    Canvas c(64, 64);
    std::vector<float> arrow = {6, 4, 52, 36, 32, 38, 44, 58, 36, 62, 24, 42, 8, 56};
    FillShape(
        c, [arrow](float x, float y) { return PolygonDistance(x, y, arrow) - 2.5f; }, kInk);
    FillShape(
        c, [arrow](float x, float y) { return PolygonDistance(x, y, arrow); },
        LinearGradient(6, 4, kWhite, 40, 60, kTeal));
    return c;
}

} // namespace

void ForgeGlobalSprites(const std::filesystem::path& spritesFolder)
{
    std::vector<Canvas> global;
    global.push_back(Shadow(54, 54, 0));                                            // 0 round shadow
    global.push_back(Shadow(58, 30, 0));                                            // 1 long shadow
    global.push_back(Shadow(48, 48, 1));                                            // 2 square shadow
    global.push_back(WingShadow());                                                 // 3 wing shadow
    global.push_back(Ripple());                                                     // 4 ripple ring
    global.push_back(Water({0.05f, 0.25f, 0.45f, 1}, {0.2f, 0.55f, 0.75f, 1}, 11)); // 5 water
    global.push_back(Water({0.12f, 0.25f, 0.15f, 1}, {0.3f, 0.45f, 0.25f, 1}, 12)); // 6 swamp water
    global.push_back(Water({0.45f, 0.05f, 0.0f, 1}, {1.0f, 0.55f, 0.1f, 1}, 13));   // 7 damaging liquid
    global.push_back(Beam());                                                       // 8 beam
    for (size_t i = 0; i < global.size(); i++)
        SaveSpritePng(spritesFolder / "global", SeriesName("global", int(i)), global[i]);

    struct World
    {
        CanvasColor sky, horizon, ground;
    };
    const World worlds[9] = {
        {{0.25f, 0.45f, 0.85f, 1}, {0.85f, 0.9f, 0.95f, 1}, {0.3f, 0.25f, 0.2f, 1}}, // chrome
        {{0.6f, 0.4f, 0.1f, 1}, {1, 0.9f, 0.55f, 1}, {0.35f, 0.2f, 0.05f, 1}},       // gold
        {{0.1f, 0.1f, 0.2f, 1}, {0.5f, 0.5f, 0.6f, 1}, {0.05f, 0.05f, 0.08f, 1}},    // dark steel
        {{0.15f, 0.45f, 0.3f, 1}, {0.7f, 0.95f, 0.75f, 1}, {0.1f, 0.2f, 0.1f, 1}},   // forest
        {{0.3f, 0.55f, 0.95f, 1}, {1, 1, 1, 1}, {0.45f, 0.5f, 0.55f, 1}},            // bright sky
        {{0.5f, 0.2f, 0.6f, 1}, {0.95f, 0.7f, 0.9f, 1}, {0.2f, 0.05f, 0.25f, 1}},    // violet
        {{0.7f, 0.3f, 0.15f, 1}, {1, 0.8f, 0.5f, 1}, {0.45f, 0.3f, 0.15f, 1}},       // desert
        {{0.1f, 0.35f, 0.45f, 1}, {0.6f, 0.9f, 0.95f, 1}, {0.05f, 0.15f, 0.2f, 1}},  // water
        {{0.75f, 0.1f, 0.1f, 1}, {1, 0.75f, 0.6f, 1}, {0.3f, 0.02f, 0.02f, 1}}};     // red
    for (int i = 0; i < 9; i++)
        SaveSpriteJpeg(spritesFolder / "spheremap", SeriesName("spheremap", i),
                       SphereMap(worlds[i].sky, worlds[i].horizon, worlds[i].ground, 20 + i));

    SaveSpritePng(spritesFolder / "menu", "cursor", Cursor());
}
