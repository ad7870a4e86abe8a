// Sprite group 2, series "infobar" (64 images): the heads-up display. Gauge fills are shown through a
// sliding window, so their upper half is the empty gauge and their lower half the full one; the round
// mask (48) cuts gauges and the mini-map to a circle.
#include "DataForge/Content/SpritesKit.h"
#include "DataForge/Content/SpritesParts.h"

#include <cmath>
#include <vector>

using namespace Palette;

namespace {

const PaintFn kGoldLettering = LinearGradient(0, 20, {1.0f, 0.95f, 0.6f, 1}, 0, 110, {1.0f, 0.6f, 0.1f, 1});

// A word or two on a transparent strip, gold on an ink outline.
Canvas Message(const std::string& text, int width = 512, int height = 128,
               const PaintFn& fill = kGoldLettering)
{
    Canvas c(width, height);
    float em = FitTextEm(text, width - 24.0f, height * 0.62f);
    DrawOutlinedText(c, text, width / 2.0f, height / 2.0f, em, fill, kInk, 5);
    return c;
}

Canvas Digit(int digit)
{
    Canvas c(64, 64);
    DrawOutlinedText(c, std::to_string(digit), 32, 32, 54, LinearGradient(0, 8, kWhite, 0, 56, kGold), kInk,
                     3);
    return c;
}

Canvas ChargeMark()
{
    Canvas c(32, 64);
    SoftGlow(c, 16, 32, 16, WithAlpha(kTeal, 0.7f), 1.5f);
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, 16, 14, 16, 50, 6); },
        LinearGradient(0, 8, kWhite, 0, 56, kTeal));
    return c;
}

Canvas LifeIcon()
{
    Canvas c(64, 64);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 32, 32, 29); }, WithAlpha(kInk, 0.85f));
    DrawWingedEmblem(c, 32, 33, 24, kGold);
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 32, 32, 28, 1.5f); }, kGold);
    return c;
}

Canvas EggSlot(bool filled, CanvasColor color)
{
    Canvas c(64, 64);
    if (filled) {
        FillShape(
            c, [](float x, float y) { return EggDistance(x, y, 32, 34, 20, 26); },
            RadialGradient(25, 22, 34, MixColor(color, kWhite, 0.55f), MixColor(color, kInk, 0.45f)));
        SoftGlow(c, 25, 22, 9, WithAlpha(kWhite, 0.8f), 1.5f);
    } else {
        FillShape(
            c, [](float x, float y) { return EggDistance(x, y, 32, 34, 20, 26); }, WithAlpha(color, 0.25f));
    }
    FillShape(
        c, [](float x, float y) { return std::fabs(EggDistance(x, y, 32, 34, 20, 26)) - 1.5f; }, kInk);
    return c;
}

Canvas Panel(int width, int height, float alpha, bool rim)
{
    Canvas c(width, height);
    float inset = 6;
    auto shape = [=](float x, float y) {
        return RoundRectDistance(x, y, inset, inset, width - inset, height - inset, height * 0.28f);
    };
    FillShape(c, shape,
              LinearGradient(0, 0, WithAlpha(kPanel, alpha), 0, float(height), WithAlpha(kInk, alpha)));
    if (rim) {
        FillShape(
            c, [=](float x, float y) { return std::fabs(shape(x, y) + 3) - 1.8f; }, kTeal);
        FillShape(
            c, [=](float x, float y) { return std::fabs(shape(x, y)) - 1.2f; }, kInk);
    }
    return c;
}

Canvas ReticleDot()
{
    Canvas c(32, 32);
    SoftGlow(c, 16, 16, 15, WithAlpha(kTeal, 0.9f), 2);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 16, 16, 3.5f); }, kWhite);
    return c;
}

Canvas ReticleRing()
{
    Canvas c(128, 128);
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 64, 64, 50, 2.5f); }, WithAlpha(kTeal, 0.9f));
    for (int i = 0; i < 4; i++) {
        float a = i * 1.5707963f, s = std::sin(a), k = std::cos(a);
        FillShape(
            c,
            [=](float x, float y) {
                return CapsuleDistance(x, y, 64 + s * 42, 64 - k * 42, 64 + s * 60, 64 - k * 60, 3);
            },
            kWhite);
    }
    return c;
}

Canvas ReticleArc()
{
    Canvas c(128, 128);
    FillShape(
        c,
        [](float x, float y) {
            float angle = std::atan2(x - 64, 64 - y); // 0 at the top
            float ring = RingDistance(x, y, 64, 64, 56, 3);
            return std::fabs(angle) < 0.9f ? ring : std::max(ring, 2.0f);
        },
        kGold);
    return c;
}

Canvas EggReticle()
{
    Canvas c(128, 128);
    for (int i = 0; i < 3; i++) {
        float a = i * 2.0943951f;
        FillShape(
            c,
            [=](float x, float y) {
                float angle = std::remainder(std::atan2(x - 64, 64 - y) - a, 6.2831853f);
                float ring = RingDistance(x, y, 64, 64, 52, 3.5f);
                return std::fabs(angle) < 0.75f ? ring : 10.0f;
            },
            kGold);
        float ex = 64 + std::sin(a + 1.047f) * 52, ey = 64 - std::cos(a + 1.047f) * 52;
        FillShape(
            c, [=](float x, float y) { return EggDistance(x, y, ex, ey, 7, 9); }, kWhite);
    }
    return c;
}

Canvas Spare(int kind)
{
    Canvas c(64, 64);
    if (kind == 0)
        FillShape(
            c, [](float x, float y) { return PolygonDistance(x, y, StarPoints(32, 33, 5, 28, 12)); }, kGold);
    else
        FillShape(
            c,
            [](float x, float y) {
                return PolygonDistance(x, y, {14, 14, 50, 32, 14, 50, 24, 32});
            },
            kTeal);
    return c;
}

Canvas WrongWay()
{
    Canvas c(256, 128);
    auto sign = [](float x, float y) { return RoundRectDistance(x, y, 8, 8, 248, 120, 22); };
    FillShape(c, sign, LinearGradient(0, 0, {0.95f, 0.25f, 0.2f, 1}, 0, 128, {0.6f, 0.05f, 0.05f, 1}));
    FillShape(
        c, [=](float x, float y) { return std::fabs(sign(x, y) + 6) - 3; }, kWhite);
    DrawOutlinedText(
        c, "WRONG WAY", 128, 64, FitTextEm("WRONG WAY", 200, 40), [](float, float) { return kWhite; },
        {0.4f, 0.0f, 0.0f, 1}, 2);
    return c;
}

Canvas MapFrame()
{
    Canvas c(256, 256);
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 128, 128, 118, 8); },
        LinearGradient(0, 0, kTeal, 0, 256, kPanel));
    FillShape(
        c, [](float x, float y) { return std::fabs(RingDistance(x, y, 128, 128, 118, 8)) - 1.2f; }, kInk);
    FillShape(
        c,
        [](float x, float y) {
            return PolygonDistance(x, y, {128, 2, 142, 26, 114, 26});
        },
        kGold);
    return c;
}

Canvas MapOverlay()
{
    Canvas c(256, 256, kBlack);
    SoftGlow(c, 128, 128, 120, {0.1f, 0.35f, 0.4f, 1}, 0.6f);
    for (int r = 30; r < 120; r += 30)
        FillShape(c, [=](float x, float y) { return RingDistance(x, y, 128, 128, float(r), 0.8f); },
                  {0.15f, 0.45f, 0.5f, 1});
    SoftGlow(c, 128, 128, 10, {0.6f, 1, 1, 1}, 1);
    return c;
}

Canvas RoundMask()
{
    Canvas c(256, 256, WithAlpha(kWhite, 0));
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 128, 128, 124); }, kWhite, 2);
    return c;
}

Canvas MapBacking()
{
    Canvas c(256, 256);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 128, 128, 124); },
        RadialGradient(128, 128, 124, {0.12f, 0.2f, 0.3f, 0.9f}, {0.04f, 0.06f, 0.12f, 0.95f}), 2);
    return c;
}

// Upper half: the empty gauge (dim glass); lower half: full (the liquid with a bright surface line).
Canvas GaugeFill(CanvasColor color, uint32_t seed)
{
    Canvas c(128, 256);
    MapPixels(c, [&](int x, int y, CanvasColor) {
        if (y < 128)
            return WithAlpha(MixColor(kInk, color, 0.12f), 0.75f);
        float t = (y - 128) / 128.0f;
        CanvasColor liquid = MixColor(MixColor(color, kWhite, 0.35f), MixColor(color, kInk, 0.35f), t);
        float ripple = 0.06f * std::sin(x * 0.15f + y * 0.05f + float(seed));
        return WithAlpha(MixColor(liquid, kWhite, ripple), 1);
    });
    FillShape(
        c, [](float, float y) { return std::fabs(y - 129.5f) - 1.5f; }, WithAlpha(kWhite, 0.8f));
    for (int i = 0; i < 9; i++) {
        float bx = 14 + float((i * 37 + seed * 11) % 100), by = 150 + float((i * 53 + seed * 7) % 96);
        float br = 2 + float(i % 3);
        FillShape(
            c, [=](float x, float y) { return RingDistance(x, y, bx, by, br, 0.8f); },
            WithAlpha(kWhite, 0.6f));
    }
    return c;
}

// Ring frame with the gauge's symbol at its foot.
Canvas GaugeFrame(CanvasColor accent, int symbol)
{
    Canvas c(128, 128);
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 64, 64, 57, 5.5f); },
        LinearGradient(0, 0, MixColor(accent, kWhite, 0.5f), 0, 128, MixColor(accent, kInk, 0.5f)));
    FillShape(
        c, [](float x, float y) { return std::fabs(RingDistance(x, y, 64, 64, 57, 5.5f)) - 1; }, kInk);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 64, 112, 13); }, kInk);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 64, 112, 11); }, accent);
    DrawGaugeSymbol(c, symbol, 64, 112, 7, kWhite);
    return c;
}

Canvas GaugeHighlight()
{
    Canvas c(128, 128, kBlack);
    FillShape(
        c,
        [](float x, float y) {
            return std::max(CircleDistance(x, y, 64, 64, 50), -CircleDistance(x, y, 64, 84, 56));
        },
        LinearGradient(0, 14, {0.55f, 0.55f, 0.55f, 1}, 0, 40, kBlack), 3);
    return c;
}

Canvas DropShadow()
{
    Canvas c(128, 128);
    SoftGlow(c, 64, 64, 62, WithAlpha(kBlack, 0.75f), 1.2f);
    return c;
}

Canvas LoadingPicture()
{
    Canvas c(256, 256);
    SoftGlow(c, 128, 128, 120, WithAlpha(kTeal, 0.35f), 1.5f);
    FillShape(
        c, [](float x, float y) { return EggDistance(x, y, 128, 140, 52, 68); },
        RadialGradient(110, 105, 90, {1, 0.97f, 0.85f, 1}, {0.85f, 0.65f, 0.35f, 1}));
    FillShape(
        c, [](float x, float y) { return std::fabs(EggDistance(x, y, 128, 140, 52, 68)) - 2.5f; }, kInk);
    DrawWingedEmblem(c, 128, 150, 110, WithAlpha(kInk, 0.85f));
    return c;
}

Canvas RivalArrow(bool right)
{
    Canvas c(128, 128);
    std::vector<float> p = {24, 20, 100, 64, 24, 108, 44, 64};
    if (!right) {
        for (size_t i = 0; i < p.size(); i += 2)
            p[i] = 128 - p[i];
    }
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, p) - 4; }, kInk);
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, p); },
        LinearGradient(0, 20, {1, 0.5f, 0.4f, 1}, 0, 108, kHealth));
    return c;
}

Canvas EggFlash()
{
    Canvas c(128, 128);
    SoftGlow(c, 64, 66, 62, WithAlpha(kWhite, 0.8f), 1.5f);
    FillShape(
        c, [](float x, float y) { return EggDistance(x, y, 64, 68, 30, 40); }, WithAlpha(kWhite, 0.9f), 6);
    return c;
}

} // namespace

void ForgeInfobarSprites(const std::filesystem::path& spritesFolder)
{
    std::vector<Canvas> sprites;
    for (int digit = 0; digit <= 9; digit++)
        sprites.push_back(Digit(digit));       // 0-9 ammunition digits
    sprites.push_back(ChargeMark());           // 10
    sprites.push_back(LifeIcon());             // 11
    sprites.push_back(EggSlot(false, kWhite)); // 12
    for (const CanvasColor& egg : kEggs)
        sprites.push_back(EggSlot(true, egg));       // 13-17
    sprites.push_back(EggSlot(false, kGold));        // 18
    sprites.push_back(Panel(256, 128, 0.85f, true)); // 19 weapon panel
    sprites.push_back(Panel(256, 128, 0.6f, false)); // 20 back plate
    for (int weapon = 0; weapon < 5; weapon++)
        sprites.push_back(WeaponIcon(weapon)); // 21-25
    sprites.push_back(ReticleDot());           // 26
    sprites.push_back(ReticleRing());          // 27
    sprites.push_back(ReticleArc());           // 28
    sprites.push_back(EggReticle());           // 29
    sprites.push_back(Spare(0));               // 30
    sprites.push_back(Spare(1));               // 31
    sprites.push_back(Message("YOU WIN!"));    // 32
    sprites.push_back(Message("YOU LOSE"));    // 33
    sprites.push_back(Message("DRAW"));        // 34
    for (const char* count : {"3", "2", "1"})
        sprites.push_back(Message(count, 256, 256));  // 35-37
    sprites.push_back(Message("LAP 1", 256, 96));     // 38
    sprites.push_back(Message("LAP 2", 256, 96));     // 39
    sprites.push_back(Message("1ST", 256, 128));      // 40
    sprites.push_back(Message("2ND", 256, 128));      // 41
    sprites.push_back(Message("FINAL LAP", 256, 96)); // 42
    sprites.push_back(WrongWay());                    // 43
    sprites.push_back(Message("ONE LIFE LEFT"));      // 44
    sprites.push_back(Message("LIVES LEFT"));         // 45
    sprites.push_back(MapFrame());                    // 46
    sprites.push_back(MapOverlay());                  // 47
    sprites.push_back(RoundMask());                   // 48
    sprites.push_back(MapBacking());                  // 49
    sprites.push_back(GaugeFill(kHealth, 1));         // 50
    sprites.push_back(GaugeFill(kFuel, 2));           // 51
    sprites.push_back(GaugeFill(kShield, 3));         // 52
    sprites.push_back(GaugeFrame(kHealth, 0));        // 53
    sprites.push_back(GaugeHighlight());              // 54
    sprites.push_back(DropShadow());                  // 55
    sprites.push_back(GaugeFrame(kFuel, 1));          // 56
    sprites.push_back(GaugeFrame(kShield, 2));        // 57
    sprites.push_back(LoadingPicture());              // 58
    sprites.push_back(Message("GAME OVER"));          // 59
    sprites.push_back(Message("FIND THE EXIT!"));     // 60
    sprites.push_back(RivalArrow(false));             // 61
    sprites.push_back(RivalArrow(true));              // 62
    sprites.push_back(EggFlash());                    // 63

    std::filesystem::path folder = spritesFolder / "infobar";
    for (size_t i = 0; i < sprites.size(); i++)
        SaveSpritePng(folder, SeriesName("infobar", int(i)), sprites[i]);
}
