// What the sprite content modules share: the palette of the 2D art, lettering with an outline, the egg
// shape, and writing a canvas as a sprite file of the data folder.
#pragma once

#include "DataForge/Content/Canvas2D.h"

#include <filesystem>
#include <string>

namespace Palette {
constexpr CanvasColor kInk = {0.05f, 0.07f, 0.16f, 1};   // outlines, panels
constexpr CanvasColor kPanel = {0.09f, 0.14f, 0.27f, 1}; // panel fill
constexpr CanvasColor kTeal = {0.25f, 0.85f, 0.95f, 1};  // rims, reticles, highlights
constexpr CanvasColor kGold = {1.0f, 0.78f, 0.25f, 1};   // lettering, trophies
constexpr CanvasColor kWhite = {1, 1, 1, 1};
constexpr CanvasColor kBlack = {0, 0, 0, 1};
constexpr CanvasColor kHealth = {0.95f, 0.27f, 0.25f, 1};
constexpr CanvasColor kFuel = {1.0f, 0.62f, 0.14f, 1};
constexpr CanvasColor kShield = {0.30f, 0.60f, 1.0f, 1};
constexpr CanvasColor kLeaf = {0.40f, 0.80f, 0.30f, 1};
// Egg colours 0..4.
constexpr CanvasColor kEggs[5] = {{0.30f, 0.55f, 1.0f, 1},
                                  {0.95f, 0.30f, 0.30f, 1},
                                  {0.40f, 0.85f, 0.35f, 1},
                                  {1.0f, 0.85f, 0.25f, 1},
                                  {0.75f, 0.40f, 0.95f, 1}};
} // namespace Palette

// An egg standing upright, narrower at the top, centred on (cx, cy).
float EggDistance(float x, float y, float cx, float cy, float rx, float ry);

// Bold lettering centred on (cx, cy): an ink outline `outline` pixels wide, then the fill.
void DrawOutlinedText(Canvas& canvas, const std::string& text, float cx, float cy, float emPixels,
                      const PaintFn& fill, CanvasColor outlineColor, float outline);
// The largest em size at which text fits maxWidth, at most emPixels.
float FitTextEm(const std::string& text, float maxWidth, float emPixels);

// Writes canvas as <folder>/<name>.png (with alpha) or <folder>/<name>.jpg (opaque art), creating the
// folder.
void SaveSpritePng(const std::filesystem::path& folder, const std::string& name, const Canvas& canvas);
void SaveSpriteJpeg(const std::filesystem::path& folder, const std::string& name, const Canvas& canvas);
// "<series><index, three digits>", the file name of a series sprite.
std::string SeriesName(const std::string& series, int index);
