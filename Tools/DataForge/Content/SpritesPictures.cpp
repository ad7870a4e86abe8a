// Pictures of the screens and levels: the level textures of sprite group 6 (enemy barrier, pine fence,
// dust-devil funnel), the player-2 skin, the nine story slides, the win slide, the logo and the seamless
// star dome of the level-intro scene.
#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"
#include "DataForge/Content/StoryArt.h"
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
    SaveSpritePng(spritesFolder / "menu", "icon", GameIcon()); // installed as the desktop icon
}
