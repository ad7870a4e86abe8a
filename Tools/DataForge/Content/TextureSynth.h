// Procedural textures for the generated models: tileable value noise and fractal noise, and the
// material images built from them (bark, leaves, stone, sand, speckles, metal, gradients, clouds,
// glows...). Every image is a pure function of its arguments and seed, computed with the project's
// own noise and trigonometry, so the bytes are the same on every machine. Images are RGBA, rows top
// first; sizes should be powers of two.
#pragma once

#include "DataForge/Writers/ImageWriter.h"

#include <cstdint>
#include <functional>
#include <vector>

struct Rgb
{
    float r = 0, g = 0, b = 0; // 0..1
};

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Shade(Rgb c, float factor); // multiplies, clamped to 0..1

// ---- Noise (all in 0..1) ----

float Hash01(int x, int y, int z, uint32_t seed);
// Smooth value noise over a lattice of unit cells, repeating every periodX / periodY cells.
float ValueNoise(float x, float y, int periodX, int periodY, uint32_t seed);
float ValueNoise3(float x, float y, float z, uint32_t seed);
// Fractal sum of `octaves` noise layers, each twice the frequency and half the weight; repeats like
// ValueNoise with the first layer's periods.
float Fbm(float x, float y, int octaves, int periodX, int periodY, uint32_t seed);
float Fbm3(float x, float y, float z, int octaves, uint32_t seed);

// Fills a width x height image from a colour-and-alpha function of (u, v) in [0, 1).
Image Synthesize(int width, int height, const std::function<void(float u, float v, Rgb& c, float& a)>& pixel);

// ---- Material images (tileable unless noted) ----

Image BarkTexture(int size, Rgb dark, Rgb light, uint32_t seed);    // vertical fibres and cracks
Image LeafTexture(int size, Rgb dark, Rgb light, uint32_t seed);    // leaf clusters, transparent gaps
Image FoliageTexture(int size, Rgb dark, Rgb light, uint32_t seed); // dense leaves, opaque
Image StoneTexture(int size, Rgb base, uint32_t seed);              // mottled, cracked
Image SandTexture(int size, Rgb base, uint32_t seed);               // grain and wind ripples
Image SpeckleTexture(int size, Rgb base, Rgb spot, float density, uint32_t seed); // egg shells
Image MetalTexture(int size, Rgb base, uint32_t seed);              // brushed panels with rivets
Image StrawTexture(int size, Rgb base, uint32_t seed);              // woven twigs
Image GrassTexture(int size, Rgb dark, Rgb light, uint32_t seed);   // blades, transparent between
Image CactusTexture(int size, Rgb base, uint32_t seed);             // ribs and spine dots
Image CrystalTexture(int size, Rgb base, uint32_t seed);            // facets and inner glints
Image ChainTexture(int width, int height);                          // links, transparent between
Image HexTexture(int size, Rgb line);                               // honeycomb on black
Image CloudTexture(int size, Rgb tint, float cover, uint32_t seed); // white puffs, alpha between
Image SwirlTexture(int size, Rgb inner, Rgb outer, uint32_t seed);  // diagonal streaks: spirals on a lathe
Image EnergyTexture(int size, Rgb core, uint32_t seed);             // bright streaks on black
Image GlowTexture(int size, Rgb centre);                            // radial glow to black, not tileable
// Vertical sky gradient through `stops` (v = 0 at the top) with a faint noise haze.
Image SkyTexture(int width, int height, const std::vector<Rgb>& stops, uint32_t seed);
