#include "DataForge/Content/TextureSynth.h"

#include "DataForge/Content/MeshBuilder.h"

#include <algorithm>
#include <cmath>

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb c, float factor)
{
    return {std::clamp(c.r * factor, 0.0f, 1.0f), std::clamp(c.g * factor, 0.0f, 1.0f),
            std::clamp(c.b * factor, 0.0f, 1.0f)};
}

static float Smooth(float t)
{
    return t * t * (3 - 2 * t);
}

static float SmoothStep(float edge0, float edge1, float x)
{
    return Smooth(std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f));
}

static int Wrap(int value, int period)
{
    if (period <= 0)
        return value;
    int m = value % period;
    return m < 0 ? m + period : m;
}

float Hash01(int x, int y, int z, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u;
    for (uint32_t part : {uint32_t(x), uint32_t(y), uint32_t(z)}) {
        h ^= part + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
    }
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return float(h >> 8) / float(1u << 24);
}

float ValueNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = Smooth(x - fx), ty = Smooth(y - fy);
    auto at = [&](int dx, int dy) { return Hash01(Wrap(ix + dx, periodX), Wrap(iy + dy, periodY), 0, seed); };
    float top = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
    float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
    return top + (bottom - top) * ty;
}

float ValueNoise3(float x, float y, float z, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    int ix = int(fx), iy = int(fy), iz = int(fz);
    float tx = Smooth(x - fx), ty = Smooth(y - fy), tz = Smooth(z - fz);
    float layer[2];
    for (int dz = 0; dz < 2; dz++) {
        auto at = [&](int dx, int dy) { return Hash01(ix + dx, iy + dy, iz + dz, seed); };
        float top = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
        float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
        layer[dz] = top + (bottom - top) * ty;
    }
    return layer[0] + (layer[1] - layer[0]) * tz;
}

float Fbm(float x, float y, int octaves, int periodX, int periodY, uint32_t seed)
{
    float sum = 0, weight = 1, total = 0, scale = 1;
    for (int o = 0; o < octaves; o++) {
        sum += weight * ValueNoise(x * scale, y * scale, periodX * int(scale), periodY * int(scale),
                                   seed + uint32_t(o));
        total += weight;
        weight *= 0.5f;
        scale *= 2;
    }
    return sum / total;
}

float Fbm3(float x, float y, float z, int octaves, uint32_t seed)
{
    float sum = 0, weight = 1, total = 0, scale = 1;
    for (int o = 0; o < octaves; o++) {
        sum += weight * ValueNoise3(x * scale, y * scale, z * scale, seed + uint32_t(o));
        total += weight;
        weight *= 0.5f;
        scale *= 2;
    }
    return sum / total;
}

static uint8_t ToByte(float value)
{
    return uint8_t(std::clamp(value, 0.0f, 1.0f) * 255 + 0.5f);
}

Image Synthesize(int width, int height, const std::function<void(float u, float v, Rgb& c, float& a)>& pixel)
{
    Image image{width, height, 4, std::vector<uint8_t>(size_t(width) * size_t(height) * 4)};
    uint8_t* out = image.pixels.data();
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            Rgb c;
            float a = 1;
            pixel((float(x) + 0.5f) / float(width), (float(y) + 0.5f) / float(height), c, a);
            *out++ = ToByte(c.r);
            *out++ = ToByte(c.g);
            *out++ = ToByte(c.b);
            *out++ = ToByte(a);
        }
    return image;
}

// Distances to the nearest and second-nearest jittered cell centre of a cells x cells grid that
// repeats over the unit square; `id` gets a random value of the nearest cell.
struct CellHit
{
    float nearest = 10, second = 10, id = 0;
    float dx = 0, dy = 0; // from the nearest centre, in cell units
};

static CellHit NearestCells(float u, float v, int cells, uint32_t seed)
{
    CellHit hit;
    float x = u * float(cells), y = v * float(cells);
    int cx = int(std::floor(x)), cy = int(std::floor(y));
    for (int j = cy - 1; j <= cy + 1; j++)
        for (int i = cx - 1; i <= cx + 1; i++) {
            int wi = Wrap(i, cells), wj = Wrap(j, cells);
            float px = float(i) + Hash01(wi, wj, 1, seed), py = float(j) + Hash01(wi, wj, 2, seed);
            float d = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
            if (d < hit.nearest) {
                hit.second = hit.nearest;
                hit = {d, hit.second, Hash01(wi, wj, 3, seed), x - px, y - py};
            } else if (d < hit.second) {
                hit.second = d;
            }
        }
    return hit;
}

Image BarkTexture(int size, Rgb dark, Rgb light, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float fibre = ValueNoise(u * 24, v * 3, 24, 3, seed);
        float body = Fbm(u * 4, v * 4, 4, 4, 4, seed + 10);
        float crack = std::fabs(ValueNoise(u * 10, v * 2, 10, 2, seed + 20) - 0.5f);
        float t = 0.25f + 0.5f * fibre + 0.35f * (body - 0.5f);
        c = Mix(dark, light, std::clamp(t, 0.0f, 1.0f));
        if (crack < 0.05f)
            c = Shade(c, 0.45f + 8 * crack);
    });
}

// Leaves: several jittered ellipses per cell, each tilted at random, with a darker midrib.
static bool LeafAt(float u, float v, uint32_t seed, Rgb dark, Rgb light, Rgb& c)
{
    const int cells = 6;
    float x = u * cells, y = v * cells;
    int cx = int(std::floor(x)), cy = int(std::floor(y));
    bool found = false;
    float bestDepth = -1;
    for (int j = cy - 1; j <= cy + 1; j++)
        for (int i = cx - 1; i <= cx + 1; i++)
            for (int k = 0; k < 3; k++) {
                int wi = Wrap(i, cells), wj = Wrap(j, cells);
                float px = float(i) + Hash01(wi, wj, 10 + k, seed),
                      py = float(j) + Hash01(wi, wj, 20 + k, seed);
                float angle = Hash01(wi, wj, 30 + k, seed) * 2 * kPi;
                float ca = DetCos(angle), sa = DetSin(angle);
                float lx = (x - px) * ca + (y - py) * sa, ly = -(x - px) * sa + (y - py) * ca;
                float e = (lx * lx) / (0.42f * 0.42f) + (ly * ly) / (0.2f * 0.2f);
                float depth = Hash01(wi, wj, 40 + k, seed);
                if (e < 1 && depth > bestDepth) {
                    bestDepth = depth;
                    found = true;
                    float shade = 0.55f + 0.45f * depth + 0.15f * (lx / 0.42f);
                    c = Mix(dark, light, std::clamp(shade, 0.0f, 1.0f));
                    if (std::fabs(ly) < 0.015f)
                        c = Shade(c, 0.7f);
                }
            }
    return found;
}

Image LeafTexture(int size, Rgb dark, Rgb light, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float& a) {
        a = LeafAt(u, v, seed, dark, light, c) ? 1.0f : 0.0f;
        if (a == 0)
            c = dark;
    });
}

Image FoliageTexture(int size, Rgb dark, Rgb light, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        if (!LeafAt(u, v, seed, dark, light, c))
            c = Shade(dark, 0.55f + 0.3f * Fbm(u * 8, v * 8, 2, 8, 8, seed + 5));
    });
}

Image StoneTexture(int size, Rgb base, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float f = Fbm(u * 4, v * 4, 5, 4, 4, seed);
        CellHit cell = NearestCells(u, v, 5, seed + 7);
        c = Shade(base, 0.65f + 0.7f * (f - 0.5f) + 0.12f * (cell.id - 0.5f));
        if (cell.second - cell.nearest < 0.06f)
            c = Shade(c, 0.6f);
        float grain = Hash01(int(u * 4096), int(v * 4096), 0, seed + 3);
        if (grain > 0.96f)
            c = Shade(c, 1.25f);
        else if (grain < 0.04f)
            c = Shade(c, 0.8f);
    });
}

Image SandTexture(int size, Rgb base, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float wobble = Fbm(u * 3, v * 3, 3, 3, 3, seed);
        float ripple = DetSin((v * 12 + wobble * 2) * 2 * kPi);
        float grain = Hash01(int(u * 4096), int(v * 4096), 0, seed + 1);
        c = Shade(base, 0.9f + 0.06f * ripple + 0.12f * (grain - 0.5f) + 0.15f * (wobble - 0.5f));
    });
}

Image SpeckleTexture(int size, Rgb base, Rgb spot, float density, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float f = Fbm(u * 3, v * 3, 3, 3, 3, seed);
        c = Shade(base, 0.88f + 0.25f * f);
        CellHit cell = NearestCells(u, v, 10, seed + 1);
        float radius = 0.12f + 0.3f * density * cell.id;
        if (cell.nearest < radius)
            c = Mix(c, spot, SmoothStep(radius, radius * 0.6f, cell.nearest));
        CellHit fine = NearestCells(u, v, 24, seed + 2);
        if (fine.nearest < 0.13f * density)
            c = Mix(c, spot, 0.7f);
    });
}

Image MetalTexture(int size, Rgb base, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float brushed = ValueNoise(u * 2, v * 96, 2, 96, seed);
        float stain = Fbm(u * 3, v * 3, 3, 3, 3, seed + 4);
        c = Shade(base, 0.8f + 0.25f * brushed + 0.2f * (stain - 0.5f));
        float pu = u * 2 - std::floor(u * 2), pv = v * 2 - std::floor(v * 2);
        if (pu < 0.02f || pv < 0.02f)
            c = Shade(c, 0.55f);
        else if (pu > 0.98f || pv > 0.98f)
            c = Shade(c, 1.25f);
        for (float rx : {0.08f, 0.92f})
            for (float ry : {0.08f, 0.92f}) {
                float d = std::sqrt((pu - rx) * (pu - rx) + (pv - ry) * (pv - ry));
                if (d < 0.035f)
                    c = Shade(base, 1.3f - 6 * d);
            }
    });
}

Image StrawTexture(int size, Rgb base, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float n = Fbm(u * 4, v * 4, 3, 4, 4, seed);
        float a = DetSin((u * 10 + v * 4 + n * 1.5f) * 2 * kPi);
        float b = DetSin((u * 6 - v * 9 + n) * 2 * kPi);
        float strand = std::max(a, b);
        c = Shade(base, 0.45f + 0.6f * SmoothStep(-0.2f, 0.9f, strand) + 0.2f * (n - 0.5f));
    });
}

Image GrassTexture(int size, Rgb dark, Rgb light, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float& a) {
        a = 0;
        c = dark;
        for (int blade = 0; blade < 28; blade++) {
            float x = Hash01(blade, 0, 0, seed);
            float top = 0.05f + 0.45f * Hash01(blade, 1, 0, seed);
            float lean = (Hash01(blade, 2, 0, seed) - 0.5f) * 0.3f;
            float width = 0.012f + 0.02f * Hash01(blade, 3, 0, seed);
            if (v < top)
                continue;
            float t = (v - top) / (1 - top); // 0 at the tip, 1 at the root
            float centre = x + lean * (1 - t) * (1 - t);
            float du = std::fabs(u - centre);
            du = std::min(du, 1 - du);
            if (du < width * t) {
                a = 1;
                c = Mix(light, dark, t * 0.8f + 0.2f * Hash01(blade, 4, 0, seed));
            }
        }
    });
}

Image CactusTexture(int size, Rgb base, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float rib = DetCos(u * 12 * 2 * kPi);
        float n = Fbm(u * 4, v * 4, 3, 4, 4, seed);
        c = Shade(base, 0.75f + 0.25f * rib + 0.2f * (n - 0.5f));
        float ribU = u * 12 - std::floor(u * 12), spineV = v * 16 - std::floor(v * 16);
        float d = std::sqrt((ribU - 0.5f) * (ribU - 0.5f) * 4 + (spineV - 0.5f) * (spineV - 0.5f));
        if (d < 0.12f)
            c = Rgb{0.95f, 0.92f, 0.7f};
    });
}

Image CrystalTexture(int size, Rgb base, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        CellHit cell = NearestCells(u, v, 4, seed);
        float streak = ValueNoise(u * 3 + v * 6, v * 2, 0, 0, seed + 3);
        c = Shade(base, 0.7f + 0.5f * cell.id + 0.3f * streak);
        if (cell.second - cell.nearest < 0.05f)
            c = Mix(c, Rgb{1, 1, 1}, 0.6f);
    });
}

Image ChainTexture(int width, int height)
{
    return Synthesize(width, height, [&](float u, float v, Rgb& c, float& a) {
        a = 0;
        c = {0.3f, 0.3f, 0.32f};
        float x = (u - 0.5f) * 2; // -1..1 across
        if (v < 0.5f) {           // a link seen face on: an oval ring
            float y = (v - 0.25f) * 4;
            float r = std::sqrt(x * x / 0.64f + y * y);
            if (r > 0.62f && r < 0.98f) {
                a = 1;
                c = Shade({0.62f, 0.62f, 0.66f}, 1.2f - std::fabs(r - 0.8f) * 3);
            }
        } else if (std::fabs(x) < 0.18f) { // the next link edge on: a bar
            a = 1;
            c = Shade({0.62f, 0.62f, 0.66f}, 1.15f - std::fabs(x) * 2.5f);
        }
    });
}

Image HexTexture(int size, Rgb line)
{
    const float root3 = 1.7320508f;
    const int columns = 4, rows = 6;
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float& a) {
        float x = u * columns * root3, y = v * rows * 1.5f;
        float nearest = 100, second = 100;
        int jy = int(std::floor(y / 1.5f));
        for (int j = jy - 1; j <= jy + 2; j++)
            for (int i = int(std::floor(x / root3)) - 1; i <= int(std::floor(x / root3)) + 2; i++) {
                float px = float(i) * root3 + ((j & 1) ? root3 / 2 : 0), py = float(j) * 1.5f;
                float d = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
                if (d < nearest) {
                    second = nearest;
                    nearest = d;
                } else if (d < second) {
                    second = d;
                }
            }
        float edge = SmoothStep(0.25f, 0.0f, second - nearest);
        float fill = 0.12f + 0.1f * nearest;
        c = Shade(line, std::max(edge, fill));
        a = std::max(edge, fill);
    });
}

Image CloudTexture(int size, Rgb tint, float cover, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float& a) {
        float f = Fbm(u * 4, v * 4, 6, 4, 4, seed);
        a = SmoothStep(1 - cover, 1 - cover + 0.22f, f);
        c = Shade(tint, 0.78f + 0.35f * SmoothStep(0.4f, 0.8f, f));
    });
}

Image SwirlTexture(int size, Rgb inner, Rgb outer, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float&) {
        float n = Fbm(u * 4, v * 4, 4, 4, 4, seed);
        float band = DetSin((u * 3 + v * 2 + n * 0.8f) * 2 * kPi) * 0.5f + 0.5f;
        float fine = DetSin((u * 9 + v * 5 + n * 2) * 2 * kPi) * 0.5f + 0.5f;
        c = Mix(outer, inner, band);
        c = Shade(c, 0.55f + 0.5f * fine * band + 0.2f * n);
    });
}

Image EnergyTexture(int size, Rgb core, uint32_t seed)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float& a) {
        float streak = ValueNoise(u * 3, v * 24, 3, 24, seed);
        float flicker = Fbm(u * 6, v * 6, 3, 6, 6, seed + 1);
        float t = std::clamp((streak - 0.35f) * 1.6f, 0.0f, 1.0f) * (0.6f + 0.6f * flicker);
        c = Mix(Shade(core, t), Rgb{1, 1, 1}, t * t * 0.6f);
        a = std::clamp(t * 1.3f, 0.0f, 1.0f);
    });
}

Image GlowTexture(int size, Rgb centre)
{
    return Synthesize(size, size, [&](float u, float v, Rgb& c, float& a) {
        float r = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2;
        float t = std::clamp(1 - r, 0.0f, 1.0f);
        t = t * t;
        c = Mix(Shade(centre, t), Rgb{1, 1, 1}, t * t * 0.5f);
        a = t;
    });
}

Image SkyTexture(int width, int height, const std::vector<Rgb>& stops, uint32_t seed)
{
    return Synthesize(width, height, [&](float u, float v, Rgb& c, float&) {
        float position = v * float(stops.size() - 1);
        size_t k = std::min(size_t(position), stops.size() - 2);
        c = Mix(stops[k], stops[k + 1], Smooth(position - float(k)));
        float haze = Fbm(u * 8, v * 4, 4, 8, 0, seed);
        c = Shade(c, 0.94f + 0.12f * haze);
    });
}
