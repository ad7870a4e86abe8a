// The menu art: the main menu's picture, and the two pictures of the 3D-glasses page (the
// calibration chart shown while a stereo mode is on, and the glasses shown while it is off).
#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Palette;

namespace {

// Dusk over a swamp: a sky gradient with soft clouds, two ridges of hills, pines, a flyer, and a
// darker band in the middle where the menu's rows stand. The title is a sprite of its own, shown
// over the first pages only.
Canvas MainMenuPicture()
{
    const int w = 1024, h = 768;
    Canvas c(w, h);
    MapPixels(c, [](int x, int y, CanvasColor) {
        float v = y / float(h);
        CanvasColor sky =
            MixColor({0.08f, 0.06f, 0.22f, 1}, {0.85f, 0.42f, 0.28f, 1}, std::pow(v / 0.7f, 1.6f));
        float cloud = Fbm(x / 220.0f, y / 90.0f, 5, 8, 8, 211);
        return MixColor(sky, {0.95f, 0.65f, 0.55f, 1},
                        std::clamp((cloud - 0.55f) * 1.6f, 0.0f, 0.5f) * (1 - v));
    });
    SoftGlow(c, 700, 520, 260, WithAlpha({1, 0.75f, 0.4f, 1}, 0.55f), 1.6f);

    // Two ridges, the far one lighter.
    for (int ridge = 0; ridge < 2; ridge++) {
        float base = ridge == 0 ? 560.0f : 620.0f;
        CanvasColor color =
            ridge == 0 ? CanvasColor{0.22f, 0.14f, 0.28f, 1} : CanvasColor{0.08f, 0.06f, 0.12f, 1};
        std::vector<float> outline = {0, float(h)};
        for (int x = 0; x <= w; x += 16) {
            float n = Fbm(x / 300.0f, float(ridge) * 3, 4, 4, 4, 220 + ridge);
            outline.push_back(float(x));
            outline.push_back(base - n * (ridge == 0 ? 140 : 90));
        }
        outline.push_back(float(w));
        outline.push_back(float(h));
        FillShape(
            c, [outline](float x, float y) { return PolygonDistance(x, y, outline); }, color);
    }
    for (int i = 0; i < 14; i++) {
        float x = float(Hash01(i, 0, 0, 230)) * w;
        float height = 90 + float(Hash01(i, 1, 0, 230)) * 110;
        DrawPine(c, x, float(h) + 10, height, {0.03f, 0.03f, 0.06f, 1});
    }
    DrawPterosaurProfile(c, 800, 250, 180, 0.4f, {0.06f, 0.04f, 0.1f, 0.9f});

    // The band behind the rows, then the title.
    MapPixels(c, [](int, int y, CanvasColor color) {
        float d = std::fabs(y - 470.0f) / 170.0f;
        float dark = std::clamp(1.0f - d * d, 0.0f, 1.0f) * 0.55f;
        return MixColor(color, {0, 0, 0, 1}, dark);
    });
    return c;
}

// Three filter panels (red, green, blue) over a grey scale, each with a ring the eye behind the
// matching filter should lose: what the calibration steps talk about.
Canvas CalibrationChart()
{
    const int w = 512, h = 256;
    Canvas c(w, h, kInk);
    FillShape(
        c, [](float x, float y) { return RoundRectDistance(x, y, 8, 8, w - 8, h - 8, 18); }, kPanel);
    const CanvasColor filters[3] = {{0.86f, 0.1f, 0.1f, 1}, {0.1f, 0.7f, 0.2f, 1}, {0.1f, 0.3f, 1.0f, 1}};
    for (int i = 0; i < 3; i++) {
        float cx = 96 + i * 160.0f, cy = 112;
        FillShape(
            c,
            [=](float x, float y) { return RoundRectDistance(x, y, cx - 64, cy - 64, cx + 64, cy + 64, 12); },
            filters[i]);
        CanvasColor ring = MixColor(filters[i], kWhite, 0.45f);
        FillShape(
            c, [=](float x, float y) { return RingDistance(x, y, cx, cy, 38, 7); }, ring);
        FillShape(
            c, [=](float x, float y) { return CircleDistance(x, y, cx, cy, 12); }, kWhite);
    }
    for (int step = 0; step < 8; step++) {
        float x0 = 32 + step * 56.0f;
        float grey = step / 7.0f;
        FillShape(c, [=](float x, float y) { return RoundRectDistance(x, y, x0, 200, x0 + 48, 232, 4); },
                  {grey, grey, grey, 1});
    }
    return c;
}

// A pair of card 3D glasses, red lens left and cyan lens right.
Canvas GlassesPicture()
{
    const int w = 512, h = 256;
    Canvas c(w, h, WithAlpha(kBlack, 0));
    auto frame = [](float x, float y) {
        float left = RoundRectDistance(x, y, 40, 70, 236, 190, 28);
        float right = RoundRectDistance(x, y, 276, 70, 472, 190, 28);
        float bridge = RoundRectDistance(x, y, 220, 96, 292, 124, 10);
        float armLeft = CapsuleDistance(x, y, 44, 90, 6, 60, 8);
        float armRight = CapsuleDistance(x, y, 468, 90, 506, 60, 8);
        return std::min({left, right, bridge, armLeft, armRight});
    };
    FillShape(c, frame, {0.95f, 0.93f, 0.88f, 1});
    FillShape(
        c, [](float x, float y) { return RoundRectDistance(x, y, 60, 88, 216, 172, 18); },
        WithAlpha({0.9f, 0.08f, 0.1f, 1}, 0.9f));
    FillShape(
        c, [](float x, float y) { return RoundRectDistance(x, y, 296, 88, 452, 172, 18); },
        WithAlpha({0.1f, 0.8f, 0.95f, 1}, 0.9f));
    // A glint on each lens.
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, 84, 150, 120, 104, 5); },
        WithAlpha(kWhite, 0.5f));
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, 320, 150, 356, 104, 5); },
        WithAlpha(kWhite, 0.5f));
    return c;
}

} // namespace

void ForgeMenuSprites(const std::filesystem::path& spritesFolder)
{
    SaveSpriteJpeg(spritesFolder / "menu", "mainmenu", MainMenuPicture());
    SaveSpritePng(spritesFolder / "calibration", "calibration000", CalibrationChart());
    SaveSpritePng(spritesFolder / "calibration", "glasses", GlassesPicture());
}
