// Pictures of the screens and levels: the level textures of sprite group 6 (enemy barrier, pine fence,
// dust-devil funnel), the player-2 skin, the nine story slides, the win slide, the logo and the seamless
// star dome of the level-intro scene.
#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Palette;

namespace {

Canvas EnemyBarrier()
{
    Canvas c(256, 256);
    MapPixels(c, [](int x, int y, CanvasColor) {
        float u = x / 256.0f, v = y / 256.0f;
        float n = Fbm(u * 4, v * 4, 3, 4, 4, 31);
        float streak = std::pow(std::fabs(std::sin((u * 8 + n * 0.5f) * 3.1415927f)), 12.0f);
        float grid = std::max(std::pow(std::fabs(std::cos(v * 16 * 3.1415927f)), 40.0f), streak);
        return WithAlpha(MixColor({0.9f, 0.1f, 0.05f, 1}, {1, 0.8f, 0.5f, 1}, grid), 0.35f + 0.6f * grid);
    });
    return c;
}

Canvas PineFence()
{
    Canvas c(256, 256, WithAlpha(kBlack, 0));
    for (int i = 0; i < 4; i++) {
        float x0 = 4 + i * 64.0f, x1 = x0 + 56, top = 24 + float(Hash01(i, 0, 0, 3)) * 16;
        std::vector<float> log = {x0, 256, x0, top + 20, (x0 + x1) / 2, top, x1, top + 20, x1, 256};
        FillShape(
            c, [log](float x, float y) { return PolygonDistance(x, y, log); },
            [=](float x, float y) {
                float bark = Fbm(x / 10.0f, y / 40.0f, 4, 64, 64, 40 + i);
                float round = std::fabs((x - (x0 + x1) / 2) / 28); // darker toward the log's sides
                return MixColor(MixColor({0.55f, 0.38f, 0.22f, 1}, {0.3f, 0.18f, 0.09f, 1}, bark), kInk,
                                round * round * 0.6f);
            });
    }
    for (float y : {90.0f, 200.0f}) // the cross rails
        FillShape(
            c, [y](float x, float yy) { return RoundRectDistance(x, yy, 0, y - 7, 256, y + 7, 4); },
            LinearGradient(0, y - 7, {0.45f, 0.3f, 0.16f, 1}, 0, y + 7, {0.25f, 0.15f, 0.07f, 1}));
    return c;
}

Canvas DustDevil()
{
    Canvas c(256, 256);
    MapPixels(c, [](int x, int y, CanvasColor) {
        float u = x / 256.0f, v = y / 256.0f;
        float swirl = Fbm(u * 4 + v * 2, v * 6, 4, 4, 6, 50);
        float band = 0.5f + 0.5f * std::sin((u * 2 + v * 3 + swirl) * 6.2831853f);
        CanvasColor sand = MixColor({0.75f, 0.58f, 0.36f, 1}, {0.95f, 0.85f, 0.65f, 1}, band);
        return WithAlpha(sand, std::clamp(0.25f + 0.6f * band * swirl * 1.6f, 0.0f, 0.9f));
    });
    return c;
}

Canvas PlayerTwoSkin()
{
    Canvas c(256, 256);
    MapPixels(c, [](int x, int y, CanvasColor) {
        float u = x / 256.0f, v = y / 256.0f;
        float n = Fbm(u * 8, v * 8, 4, 8, 8, 60);
        float sx = u * 24 + (int(v * 24) % 2) * 0.5f, sy = v * 24; // staggered scales
        float cell = std::hypot(sx - std::floor(sx) - 0.5f, sy - std::floor(sy) - 0.5f);
        CanvasColor base =
            MixColor({0.45f, 0.2f, 0.55f, 1}, {0.85f, 0.5f, 0.25f, 1}, v * 0.8f + (n - 0.5f) * 0.5f);
        return MixColor(base, kInk, std::clamp((cell - 0.35f) * 3, 0.0f, 0.6f));
    });
    return c;
}

struct Scene
{
    CanvasColor skyTop, skyBottom, far, near;
    float sunX, sunY;
    CanvasColor sun;
};

// Sky, sun, two layers of hills; what each slide adds is drawn over it.
Canvas Landscape(const Scene& s, uint32_t seed)
{
    const int size = 512;
    Canvas c(size, size);
    MapPixels(c,
              [&](int, int y, CanvasColor) { return MixColor(s.skyTop, s.skyBottom, y / (size * 0.75f)); });
    SoftGlow(c, s.sunX, s.sunY, 160, WithAlpha(s.sun, 0.5f), 2);
    FillShape(
        c, [&](float x, float y) { return CircleDistance(x, y, s.sunX, s.sunY, 34); }, s.sun, 2);
    for (int layer = 0; layer < 2; layer++) {
        float base = layer == 0 ? 330.0f : 400.0f, height = layer == 0 ? 90.0f : 60.0f;
        CanvasColor color = layer == 0 ? s.far : s.near;
        FillShape(
            c,
            [=](float x, float y) {
                float ridge = base - height * Fbm(x / 160.0f, float(layer), 3, 64, 64, seed + layer);
                return ridge - y;
            },
            color, 1.5f);
    }
    return c;
}

void Eggs(Canvas& c, float cx, float cy, int count)
{
    for (int i = 0; i < count; i++) {
        float x = cx + (i - (count - 1) / 2.0f) * 34, y = cy + (i % 2) * 6;
        CanvasColor color = kEggs[i % 5];
        FillShape(
            c, [=](float px, float py) { return EggDistance(px, py, x, y, 14, 18); },
            RadialGradient(x - 5, y - 8, 24, MixColor(color, kWhite, 0.6f), MixColor(color, kInk, 0.3f)));
    }
}

void Saucer(Canvas& c, float cx, float cy)
{
    SoftGlow(c, cx, cy + 40, 90, WithAlpha({0.6f, 1, 0.7f, 1}, 0.35f), 1.5f);
    FillShape(
        c, [=](float x, float y) { return CircleDistance(x, y, cx, cy - 12, 28); },
        RadialGradient(cx - 8, cy - 24, 40, {0.8f, 1, 0.95f, 1}, {0.2f, 0.5f, 0.5f, 1}));
    FillShape(
        c, [=](float x, float y) { return (std::hypot((x - cx) / 90, (y - cy) / 18) - 1) * 18; },
        LinearGradient(0, cy - 18, {0.75f, 0.78f, 0.85f, 1}, 0, cy + 18, {0.25f, 0.27f, 0.35f, 1}));
    for (int i = -2; i <= 2; i++)
        SoftGlow(c, cx + i * 30, cy + 4, 8, {1, 0.9f, 0.4f, 1}, 1);
}

void Swirl(Canvas& c, float cx, float cy, float radius)
{
    MapPixels(c, [&](int x, int y, CanvasColor old) {
        float dx = x - cx, dy = y - cy, r = std::hypot(dx, dy) / radius;
        if (r >= 1)
            return old;
        float arms = 0.5f + 0.5f * std::sin(std::atan2(dy, dx) * 3 + r * 12);
        CanvasColor swirl = MixColor({0.3f, 0.1f, 0.6f, 1}, {0.6f, 0.95f, 1, 1}, arms * (1 - r));
        return MixColor(swirl, old, std::pow(r, 3.0f));
    });
}

Canvas StorySlide(int index)
{
    const Scene dawn = {{0.2f, 0.3f, 0.6f, 1},
                        {1, 0.7f, 0.45f, 1},
                        {0.2f, 0.35f, 0.3f, 1},
                        {0.08f, 0.18f, 0.12f, 1},
                        360,
                        300,
                        {1, 0.9f, 0.6f, 1}};
    const Scene night = {{0.02f, 0.03f, 0.1f, 1},
                         {0.12f, 0.15f, 0.32f, 1},
                         {0.08f, 0.1f, 0.2f, 1},
                         {0.03f, 0.04f, 0.08f, 1},
                         120,
                         110,
                         {0.9f, 0.92f, 1, 1}};
    const Scene desert = {{0.35f, 0.55f, 0.9f, 1},
                          {0.95f, 0.85f, 0.6f, 1},
                          {0.8f, 0.55f, 0.3f, 1},
                          {0.6f, 0.38f, 0.18f, 1},
                          400,
                          120,
                          {1, 1, 0.85f, 1}};
    const Scene swamp = {{0.3f, 0.4f, 0.35f, 1},
                         {0.7f, 0.75f, 0.6f, 1},
                         {0.25f, 0.35f, 0.25f, 1},
                         {0.1f, 0.18f, 0.12f, 1},
                         140,
                         200,
                         {0.95f, 0.95f, 0.8f, 1}};
    const Scene scenes[9] = {dawn, night, night, dawn, desert, swamp, night, desert, dawn};
    Canvas c = Landscape(scenes[index], 70 + uint32_t(index));
    const CanvasColor silhouette = {0.03f, 0.04f, 0.08f, 1};
    switch (index) {
    case 0:
        DrawPterosaurProfile(c, 220, 190, 200, 0.6f, silhouette);
        break;
    case 1:
        Eggs(c, 256, 430, 5);
        break;
    case 2:
        Saucer(c, 300, 150);
        Eggs(c, 300, 300, 3);
        break;
    case 3:
        Eggs(c, 110, 440, 2);
        Eggs(c, 400, 420, 3);
        DrawPterosaurProfile(c, 260, 180, 160, -0.4f, silhouette);
        break;
    case 4:
        DrawPterosaurProfile(c, 200, 230, 240, 0.2f, silhouette);
        break;
    case 5:
        for (int i = 0; i < 4; i++)
            DrawPine(c, 60 + i * 130.0f, 430, 180 + (i % 2) * 40.0f, {0.05f, 0.1f, 0.07f, 1});
        SoftGlow(c, 256, 400, 300, WithAlpha({0.8f, 0.85f, 0.75f, 1}, 0.35f), 0.8f);
        break;
    case 6:
        Swirl(c, 256, 220, 150);
        DrawPterosaurProfile(c, 256, 220, 90, 0.8f, silhouette);
        break;
    case 7:
        SoftGlow(c, 190, 270, 60, {1, 0.6f, 0.2f, 1}, 1.5f);
        DrawPterosaurProfile(c, 250, 250, 220, 0.4f, silhouette);
        break;
    default:
        DrawPterosaurProfile(c, 256, 200, 220, 0.9f, silhouette);
        Eggs(c, 256, 450, 5);
        break;
    }
    return c;
}

Canvas WinSlide()
{
    Canvas c = Landscape({{0.95f, 0.6f, 0.3f, 1},
                          {1, 0.9f, 0.6f, 1},
                          {0.35f, 0.45f, 0.3f, 1},
                          {0.15f, 0.25f, 0.15f, 1},
                          256,
                          330,
                          {1, 1, 0.85f, 1}},
                         90);
    for (int i = 0; i < 24; i++) {
        float x = float(Hash01(i, 0, 0, 91)) * 512, y = float(Hash01(i, 1, 0, 91)) * 260;
        FillShape(
            c, [=](float px, float py) { return PolygonDistance(px, py, StarPoints(x, y, 5, 9, 4)); },
            WithAlpha(kWhite, 0.8f));
    }
    DrawPterosaurProfile(c, 256, 200, 260, 1.0f, {0.1f, 0.08f, 0.12f, 1});
    Eggs(c, 256, 455, 5);
    return c;
}

Canvas Logo()
{
    Canvas c(1024, 256);
    SoftGlow(c, 512, 128, 420, WithAlpha(kTeal, 0.25f), 1.5f);
    DrawWingedEmblem(c, 512, 128, 700, WithAlpha(kPanel, 0.8f));
    DrawOutlinedText(c, "QUORVEL II", 512, 128, FitTextEm("QUORVEL II", 900, 150),
                     LinearGradient(0, 60, {1, 0.97f, 0.7f, 1}, 0, 190, {1, 0.5f, 0.1f, 1}), kInk, 8);
    return c;
}

// Stars placed on a torus so the image tiles seamlessly both ways.
Canvas StarDome()
{
    const int size = 512;
    Canvas c(size, size);
    MapPixels(c, [](int x, int y, CanvasColor) {
        float n = Fbm(x / 128.0f, y / 128.0f, 5, 4, 4, 100);
        float m = Fbm(x / 64.0f + 3, y / 64.0f, 3, 8, 8, 101);
        CanvasColor space =
            MixColor({0.01f, 0.01f, 0.04f, 1}, {0.12f, 0.05f, 0.22f, 1}, std::pow(n, 2.5f) * 2);
        return MixColor(space, {0.1f, 0.25f, 0.35f, 1}, std::pow(m, 4.0f) * 1.5f);
    });
    for (int i = 0; i < 420; i++) {
        float x = float(Hash01(i, 0, 0, 7)) * size, y = float(Hash01(i, 1, 0, 7)) * size;
        float bright = float(Hash01(i, 2, 0, 7));
        float radius = 0.6f + bright * bright * 2.2f;
        CanvasColor color = MixColor({0.7f, 0.8f, 1, 1}, {1, 0.9f, 0.7f, 1}, float(Hash01(i, 3, 0, 7)));
        for (int wx = -1; wx <= 1; wx++) {
            for (int wy = -1; wy <= 1; wy++) {
                float sx = x + wx * size, sy = y + wy * size;
                if (sx < -8 || sy < -8 || sx > size + 8 || sy > size + 8)
                    continue;
                for (int py = int(sy) - 6; py <= int(sy) + 6; py++) {
                    for (int px = int(sx) - 6; px <= int(sx) + 6; px++) {
                        float d = std::hypot(px + 0.5f - sx, py + 0.5f - sy);
                        BlendPixel(c, px, py, color,
                                   std::clamp(radius - d + 0.5f, 0.0f, 1.0f) * (0.4f + bright * 0.6f));
                    }
                }
            }
        }
    }
    return c;
}

} // namespace

void ForgePictureSprites(const std::filesystem::path& spritesFolder)
{
    std::filesystem::path textures = spritesFolder / "textures";
    SaveSpritePng(textures, "blockenemy", EnemyBarrier());
    SaveSpritePng(textures, "pinefence", PineFence());
    SaveSpritePng(textures, "dustdevil", DustDevil());
    SaveSpriteJpeg(textures, "player2", PlayerTwoSkin());
    SaveSpriteJpeg(textures, "stardome", StarDome());

    for (int i = 0; i < 9; i++)
        SaveSpriteJpeg(spritesFolder / "story", SeriesName("story", i), StorySlide(i));
    SaveSpriteJpeg(spritesFolder / "story", "win", WinSlide());
    SaveSpritePng(spritesFolder / "menu", "quorlogo", Logo());
}
