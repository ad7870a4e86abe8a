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

// A word or two, gold on an ink outline, over a translucent banner of the panels' ink with the teal
// rim, so that it reads over sky and ground alike.
Canvas Message(const std::string& text, int width = 512, int height = 128,
               const PaintFn& fill = kGoldLettering)
{
    Canvas c(width, height);
    float inset = height * 0.12f;
    auto banner = [=](float x, float y) {
        return RoundRectDistance(x, y, inset, inset, width - inset, height - inset, height * 0.3f);
    };
    FillShape(c, banner,
              LinearGradient(0, 0, WithAlpha(kPanel, 0.78f), 0, float(height), WithAlpha(kInk, 0.85f)));
    FillShape(
        c, [=](float x, float y) { return std::fabs(banner(x, y) + 2.5f) - 1.5f; }, WithAlpha(kTeal, 0.9f));
    float em = FitTextEm(text, width - 3 * height * 0.3f, height * 0.55f);
    DrawOutlinedText(c, text, width / 2.0f, height / 2.0f, em, fill, kInk, 5);
    return c;
}

// A small plate for the corner read-outs (lap, place): bigger lettering, a thinner rim.
Canvas Badge(const std::string& text, int width, int height)
{
    Canvas c(width, height);
    auto plate = [=](float x, float y) {
        return RoundRectDistance(x, y, 4, 4, width - 4, height - 4, height * 0.35f);
    };
    FillShape(c, plate,
              LinearGradient(0, 0, WithAlpha(kPanel, 0.85f), 0, float(height), WithAlpha(kInk, 0.9f)));
    FillShape(
        c, [=](float x, float y) { return std::fabs(plate(x, y) + 2) - 1.2f; }, kTeal);
    float em = FitTextEm(text, width - height * 0.5f, height * 0.7f);
    DrawOutlinedText(c, text, width / 2.0f, height / 2.0f, em, kGoldLettering, kInk, 4);
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

// The weapon panel (256 x 128, drawn 85 wide): the icon sits in the round well on the left, the
// three digits or the charge marks in the read-out on the right.
Canvas WeaponPanel()
{
    const int width = 256, height = 128;
    Canvas c(width, height);
    auto shape = [=](float x, float y) { return RoundRectDistance(x, y, 6, 6, width - 6, height - 6, 36); };
    FillShape(c, shape,
              LinearGradient(0, 0, WithAlpha(kPanel, 0.92f), 0, float(height), WithAlpha(kInk, 0.92f)));
    FillShape(
        c, [=](float x, float y) { return std::fabs(shape(x, y) + 3) - 1.8f; }, kTeal);
    FillShape(
        c, [=](float x, float y) { return std::fabs(shape(x, y)) - 1.2f; }, kInk);
    // The icon's well.
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 64, 64, 52); },
        RadialGradient(56, 52, 60, {0.16f, 0.26f, 0.42f, 1}, {0.03f, 0.05f, 0.12f, 1}));
    FillShape(
        c, [](float x, float y) { return RingDistance(x, y, 64, 64, 52, 2); }, WithAlpha(kGold, 0.9f));
    // The read-out behind the digits (drawn at x 115..226, y 57..108 of the image).
    FillShape(
        c, [](float x, float y) { return RoundRectDistance(x, y, 120, 50, 236, 114, 12); },
        WithAlpha({0.01f, 0.02f, 0.06f, 1}, 0.85f));
    FillShape(
        c, [](float x, float y) { return std::fabs(RoundRectDistance(x, y, 120, 50, 236, 114, 12)) - 1; },
        WithAlpha(kTeal, 0.5f));
    // A short gold rule over the read-out.
    FillShape(
        c, [](float x, float y) { return CapsuleDistance(x, y, 132, 32, 224, 32, 2.5f); },
        WithAlpha(kGold, 0.8f));
    return c;
}

// The bracket the weapon panel hangs from (drawn 119 wide from 5 above the top edge): wider at the
// top, closing in under the panel.
Canvas WeaponPlate()
{
    const int width = 256, height = 128;
    Canvas c(width, height);
    std::vector<float> outline = {4, 0, 252, 0, 236, 96, 210, 122, 46, 122, 20, 96};
    auto shape = [=](float x, float y) { return PolygonDistance(x, y, outline); };
    FillShape(c, shape,
              LinearGradient(0, 0, WithAlpha(kInk, 0.8f), 0, float(height), WithAlpha(kPanel, 0.55f)));
    FillShape(
        c, [=](float x, float y) { return std::fabs(shape(x, y) + 2) - 1.2f; }, WithAlpha(kGold, 0.7f));
    return c;
}

Canvas ReticleDot()
{
    Canvas c(32, 32);
    SoftGlow(c, 16, 16, 15, WithAlpha(kTeal, 1), 1.4f);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 16, 16, 5.5f); }, kInk);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 16, 16, 4); }, kWhite);
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

// A bold gold arc over the top, outlined in ink so it reads against the sky.
Canvas ReticleArc()
{
    Canvas c(128, 128);
    auto arc = [](float x, float y) {
        float angle = std::atan2(x - 64, 64 - y); // 0 at the top
        float ring = RingDistance(x, y, 64, 64, 52, 5);
        float ends = std::fabs(angle) - 1.05f; // radians either side of the top
        return std::max(ring, ends * 52);
    };
    FillShape(
        c, [=](float x, float y) { return arc(x, y) - 3; }, WithAlpha(kInk, 0.9f));
    FillShape(c, arc, LinearGradient(0, 8, MixColor(kGold, kWhite, 0.4f), 0, 64, kGold));
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

// The rival on the mini-map: a red dot ringed in white.
Canvas MapRivalDot()
{
    Canvas c(64, 64);
    SoftGlow(c, 32, 32, 31, WithAlpha(kHealth, 0.6f), 1.5f);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 32, 32, 17); }, kWhite);
    FillShape(
        c, [](float x, float y) { return CircleDistance(x, y, 32, 32, 12); },
        RadialGradient(28, 27, 14, {1, 0.6f, 0.5f, 1}, kHealth));
    return c;
}

// The player at the mini-map's centre: an arrow pointing up, the way the map always faces.
Canvas MapSelfArrow()
{
    Canvas c(64, 64);
    std::vector<float> arrow = {32, 4, 56, 58, 32, 46, 8, 58};
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, arrow) - 3; }, kInk);
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, arrow); },
        LinearGradient(0, 4, kWhite, 0, 58, kGold));
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

// The bezel (drawn 80 wide) covers the rim of the map disc (64 wide): ring from 98 to 124 pixels, with
// tick marks and the gold notch at the top that marks straight ahead.
Canvas MapFrame()
{
    Canvas c(256, 256);
    auto ring = [](float x, float y) { return RingDistance(x, y, 128, 128, 111, 13); };
    FillShape(c, ring,
              LinearGradient(0, 0, MixColor(kTeal, kWhite, 0.25f), 0, 256, MixColor(kPanel, kInk, 0.3f)));
    FillShape(
        c, [=](float x, float y) { return std::fabs(ring(x, y)) - 1.4f; }, kInk);
    for (int i = 1; i < 8; i++) {
        float a = i * 0.7853982f, s = std::sin(a), k = std::cos(a);
        FillShape(
            c,
            [=](float x, float y) {
                return CapsuleDistance(x, y, 128 + s * 103, 128 - k * 103, 128 + s * 117, 128 - k * 117, 2);
            },
            WithAlpha(kInk, 0.8f));
    }
    std::vector<float> notch = {128, 24, 146, 2, 110, 2};
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, notch) - 3; }, kInk);
    FillShape(
        c, [=](float x, float y) { return PolygonDistance(x, y, notch); }, kGold);
    return c;
}

// Added over the map (black adds nothing): faint range rings and a glass sheen on the upper left.
Canvas MapOverlay()
{
    Canvas c(256, 256, kBlack);
    for (int r = 34; r < 100; r += 32)
        FillShape(c, [=](float x, float y) { return RingDistance(x, y, 128, 128, float(r), 0.8f); },
                  {0.12f, 0.3f, 0.34f, 1});
    FillShape(
        c,
        [](float x, float y) {
            return std::max(CircleDistance(x, y, 128, 128, 96), -CircleDistance(x, y, 150, 150, 100));
        },
        LinearGradient(60, 40, {0.35f, 0.38f, 0.4f, 1}, 128, 110, kBlack), 4);
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
        sprites.push_back(EggSlot(true, egg)); // 13-17
    sprites.push_back(EggSlot(false, kGold));  // 18
    sprites.push_back(WeaponPanel());          // 19
    sprites.push_back(WeaponPlate());          // 20
    for (int weapon = 0; weapon < 5; weapon++)
        sprites.push_back(WeaponIcon(weapon)); // 21-25
    sprites.push_back(ReticleDot());           // 26
    sprites.push_back(ReticleRing());          // 27
    sprites.push_back(ReticleArc());           // 28
    sprites.push_back(EggReticle());           // 29
    sprites.push_back(MapRivalDot());          // 30 the rival on the mini-map
    sprites.push_back(MapSelfArrow());         // 31 the player at the mini-map's centre
    sprites.push_back(Message("YOU WIN!"));    // 32
    sprites.push_back(Message("YOU LOSE"));    // 33
    sprites.push_back(Message("DRAW"));        // 34
    for (const char* count : {"READY", "SET", "GO!"})
        sprites.push_back(Message(count, 384, 128)); // 35-37: the last two seconds and the start
    sprites.push_back(Badge("LAP 1/3", 256, 96));    // 38
    sprites.push_back(Badge("LAP 2/3", 256, 96));    // 39
    sprites.push_back(Badge("1ST", 256, 128));       // 40
    sprites.push_back(Badge("2ND", 256, 128));       // 41
    sprites.push_back(Badge("FINAL LAP", 256, 96));  // 42 the third lap
    sprites.push_back(WrongWay());                   // 43
    sprites.push_back(Message("1 LIFE LEFT"));       // 44 a life lost, one more left
    sprites.push_back(Message("LIFE LOST"));         // 45 a life lost, more left
    sprites.push_back(MapFrame());                   // 46
    sprites.push_back(MapOverlay());                 // 47
    sprites.push_back(RoundMask());                  // 48
    sprites.push_back(MapBacking());                 // 49
    sprites.push_back(GaugeFill(kHealth, 1));        // 50
    sprites.push_back(GaugeFill(kFuel, 2));          // 51
    sprites.push_back(GaugeFill(kShield, 3));        // 52
    sprites.push_back(GaugeFrame(kHealth, 0));       // 53
    sprites.push_back(GaugeHighlight());             // 54
    sprites.push_back(DropShadow());                 // 55
    sprites.push_back(GaugeFrame(kFuel, 1));         // 56
    sprites.push_back(GaugeFrame(kShield, 2));       // 57
    sprites.push_back(LoadingPicture());             // 58
    sprites.push_back(Message("GAME OVER"));         // 59
    sprites.push_back(Message("FIND THE EXIT!"));    // 60
    sprites.push_back(RivalArrow(false));            // 61
    sprites.push_back(RivalArrow(true));             // 62
    sprites.push_back(EggFlash());                   // 63

    std::filesystem::path folder = spritesFolder / "infobar";
    for (size_t i = 0; i < sprites.size(); i++)
        SaveSpritePng(folder, SeriesName("infobar", int(i)), sprites[i]);
}
