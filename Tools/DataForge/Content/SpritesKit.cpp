#include "DataForge/Content/SpritesKit.h"

#include "DataForge/Content/FontsRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

float EggDistance(float x, float y, float cx, float cy, float rx, float ry)
{
    float px = x - cx, py = y - cy;
    float width = py < 0 ? rx * std::max(0.7f, 1.0f + 0.18f * py / ry) : rx; // narrows toward the top
    return (std::hypot(px / width, py / ry) - 1.0f) * std::min(width, ry);
}

void DrawOutlinedText(Canvas& canvas, const std::string& text, float cx, float cy, float emPixels,
                      const PaintFn& fill, CanvasColor outlineColor, float outline)
{
    Canvas mask(canvas.width, canvas.height);
    DrawFontTextCentred(mask, DejaVuSansBold(), text, cx, cy, emPixels,
                        [](float, float) { return Palette::kWhite; });
    int r = int(std::ceil(outline)) + 1;
    // Only the lettering's box (grown by the outline) can change.
    int x0 = canvas.width, y0 = canvas.height, x1 = 0, y1 = 0;
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            if (mask.At(x, y).a > 0) {
                x0 = std::min(x0, x - r), y0 = std::min(y0, y - r);
                x1 = std::max(x1, x + r + 1), y1 = std::max(y1, y + r + 1);
            }
        }
    }
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, canvas.width),
    y1 = std::min(y1, canvas.height);
    Canvas spread(canvas.width, canvas.height);
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            float best = 0;
            for (int dy = -r; dy <= r && best < 1; dy++) {
                for (int dx = -r; dx <= r; dx++) {
                    int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= canvas.width || sy >= canvas.height)
                        continue;
                    float falloff = std::clamp(outline + 1 - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
                    best = std::max(best, mask.At(sx, sy).a * falloff);
                }
            }
            spread.At(x, y).a = best;
        }
    }
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            BlendPixel(canvas, x, y, outlineColor, spread.At(x, y).a);
            BlendPixel(canvas, x, y, fill(x + 0.5f, y + 0.5f), mask.At(x, y).a);
        }
    }
}

float FitTextEm(const std::string& text, float maxWidth, float emPixels)
{
    float width = MeasureFontText(DejaVuSansBold(), text, emPixels);
    return width > maxWidth ? emPixels * maxWidth / width : emPixels;
}

void SaveSpritePng(const std::filesystem::path& folder, const std::string& name, const Canvas& canvas)
{
    std::filesystem::create_directories(folder);
    WritePngFile(folder / (name + ".png"), CanvasToImage(canvas, 4));
}

void SaveSpriteJpeg(const std::filesystem::path& folder, const std::string& name, const Canvas& canvas)
{
    std::filesystem::create_directories(folder);
    WriteJpegFile(folder / (name + ".jpg"), CanvasToImage(canvas, 3), 90);
}

std::string SeriesName(const std::string& series, int index)
{
    char number[8];
    std::snprintf(number, sizeof(number), "%03d", index);
    return series + number;
}
