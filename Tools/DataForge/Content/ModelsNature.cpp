#include "DataForge/Content/ModelsNature.h"

#include "3D/MetaObjects.h"

#include <algorithm>
#include <cmath>

// A random number in [low, high) that depends only on (seed, a, b).
static float RandomIn(uint32_t seed, int a, int b, float low, float high)
{
    return low + (high - low) * Hash01(a, b, 77, seed);
}

// Two-sided: appends a mirrored copy so back faces show without the renderer's help.
static void MakeTwoSided(Mesh& mesh)
{
    Mesh back = mesh;
    FlipWinding(back);
    Append(mesh, back);
}

static Color8 ColorFrom(Rgb c)
{
    auto byte = [](float f) { return uint8_t(std::clamp(f, 0.0f, 1.0f) * 255 + 0.5f); };
    return {byte(c.r), byte(c.g), byte(c.b), 255};
}

Mesh SkyDomeMesh(float radius)
{
    std::vector<Vec2> profile;
    const int rings = 8;
    profile.push_back({radius, -0.15f * radius});
    for (int k = 0; k <= rings; k++) {
        float angle = kPi / 2 * float(k) / float(rings);
        profile.push_back({radius * DetCos(angle), radius * DetSin(angle)});
    }
    profile.back().x = 0;
    Mesh dome = Lathe(profile, 16);
    for (size_t i = 0; i < dome.points.size(); i++)
        dome.uvs[i].y = std::clamp(1 - dome.points[i].y / radius, 0.0f, 1.0f);
    FlipWinding(dome); // seen from the centre
    SmoothNormals(dome);
    return dome;
}

Mesh CloudLayerMesh(float uvRepeat)
{
    // Two-sided: the game shows it from below, tools from above.
    Mesh sheet = QuadXZ(1, 1, uvRepeat, true);
    MakeTwoSided(sheet);
    SmoothNormals(sheet);
    return sheet;
}

void AddSkyModels(ModelFileBuilder& file, const std::vector<Rgb>& skyStops, Rgb cloudTint, float cloudCover,
                  uint32_t seed)
{
    // The dome sits inside the far clip (scaled by the game to about 144 times its size).
    uint32_t sky = file.TexturedJpeg(
        "sky", [&] { return SkyTexture(32, 128, skyStops, seed); }, false);
    file.Add(0, {{SkyDomeMesh(95), sky}});
    uint32_t clouds = file.Textured(
        "clouds", [&] { return CloudTexture(256, cloudTint, cloudCover, seed + 1); },
        MO_MATERIAL_FLAG_ALWAYS_BLEND);
    file.Add(1, {{CloudLayerMesh(5), clouds}});
}

Mesh RockMesh(float radius, Vec3 stretch, float roughness, uint32_t seed)
{
    Mesh rock = Sphere(1, 9, 6);
    Deform(rock, [&](Vec3 p) {
        float n = Fbm3(p.x * 1.3f + 5, p.y * 1.3f + 5, p.z * 1.3f + 5, 3, seed);
        Vec3 q = p * (1 + roughness * (n - 0.5f) * 2);
        q = {q.x * stretch.x, q.y * stretch.y, q.z * stretch.z};
        if (q.y < -0.35f)
            q.y = -0.35f + (q.y + 0.35f) * 0.25f;
        return q * radius + Vec3{0, 0.3f * radius, 0};
    });
    Facet(rock);
    return rock;
}

Mesh TrunkMesh(float height, float radius, float lean, uint32_t seed)
{
    std::vector<Vec2> profile = {{radius * 1.7f, 0},      {radius * 1.15f, height * 0.06f},
                                 {radius, height * 0.2f}, {radius * 0.8f, height * 0.6f},
                                 {radius * 0.5f, height}, {0, height * 1.02f}};
    float around = 2 * kPi * radius;
    Mesh trunk = Lathe(profile, 8, std::max(1.0f, std::floor(around / 40)), height / 60);
    float phase = RandomIn(seed, 0, 0, 0, 2 * kPi);
    Deform(trunk, [&](Vec3 p) {
        float t = p.y / height;
        float wobble = 0.08f * radius * DetSin(phase + p.y * 0.05f);
        return Vec3{p.x + lean * t * t + wobble, p.y, p.z + 0.3f * lean * t * t};
    });
    SmoothNormals(trunk);
    return trunk;
}

Mesh BranchMesh(Vec3 from, Vec3 to, float radiusFrom, float radiusTo)
{
    Vec3 middle = (from + to) * 0.5f + Vec3{0, 0.12f * Length(to - from), 0};
    Mesh branch = Tube({from, middle, to}, {radiusFrom, (radiusFrom + radiusTo) / 2, radiusTo}, 5);
    for (Vec2& uv : branch.uvs)
        uv.y *= Length(to - from) / 60;
    SmoothNormals(branch);
    return branch;
}

Mesh ConeTiersMesh(float baseY, float topY, float radius, int tiers, uint32_t seed)
{
    Mesh crown;
    float step = (topY - baseY) / float(tiers + 1);
    for (int t = 0; t < tiers; t++) {
        float shrink = 1 - 0.55f * float(t) / float(tiers);
        float r = radius * shrink;
        float bottom = baseY + step * float(t);
        float top = bottom + step * 2.2f;
        Mesh tier = Lathe({{0, bottom + step * 0.5f},
                           {r * 0.85f, bottom + step * 0.05f},
                           {r, bottom},
                           {r * 0.55f, bottom + (top - bottom) * 0.45f},
                           {0, top}},
                          10, 3, 2);
        float twist = RandomIn(seed, t, 1, 0, 1);
        Deform(tier, [&](Vec3 p) {
            float jag = 1 + 0.12f * DetSin(DetAtan2(p.z, p.x) * 5 + twist * 6);
            return Vec3{p.x * jag, p.y, p.z * jag};
        });
        Append(crown, tier);
    }
    SmoothNormals(crown, 35);
    return crown;
}

Mesh LumpyCrownMesh(Vec3 centre, Vec3 radii, int lumps, uint32_t seed)
{
    Mesh crown;
    for (int i = 0; i < lumps; i++) {
        float angle = RandomIn(seed, i, 0, 0, 2 * kPi);
        float out = i == 0 ? 0 : RandomIn(seed, i, 1, 0.35f, 0.6f);
        float up = i == 0 ? 0.1f : RandomIn(seed, i, 2, -0.35f, 0.35f);
        float size = i == 0 ? 0.7f : RandomIn(seed, i, 3, 0.45f, 0.62f);
        Vec3 at = centre + Vec3{radii.x * out * DetCos(angle), radii.y * up, radii.z * out * DetSin(angle)};
        Mesh lump = Sphere(1, 9, 6);
        uint32_t lumpSeed = seed + uint32_t(i) * 31;
        Deform(lump, [&](Vec3 p) {
            float n = Fbm3(p.x * 1.6f + 3, p.y * 1.6f, p.z * 1.6f, 2, lumpSeed);
            Vec3 q = p * (0.85f + 0.35f * n);
            return at + Vec3{q.x * radii.x * size, q.y * radii.y * size, q.z * radii.z * size};
        });
        MapSpherical(lump, at, 2, 2);
        Append(crown, lump);
    }
    SmoothNormals(crown);
    return crown;
}

Mesh LeafCardsMesh(Vec3 centre, Vec3 radii, int cards, float cardSize, uint32_t seed)
{
    Mesh crown;
    for (int i = 0; i < cards; i++) {
        Mesh card = QuadXY(cardSize / 2, cardSize);
        Translate(card, {0, -cardSize / 2, 0});
        RotateX(card, RandomIn(seed, i, 0, -0.9f, 0.9f));
        RotateY(card, RandomIn(seed, i, 1, 0, 2 * kPi));
        float angle = RandomIn(seed, i, 2, 0, 2 * kPi);
        float up = RandomIn(seed, i, 3, -0.8f, 0.9f);
        float out = std::sqrt(std::max(0.0f, 1 - up * up)) * RandomIn(seed, i, 4, 0.5f, 1.0f);
        Translate(card,
                  centre + Vec3{radii.x * out * DetCos(angle), radii.y * up, radii.z * out * DetSin(angle)});
        Append(crown, card);
    }
    SmoothNormals(crown);
    // Leaves lit as a mass: normals point out of the crown rather than off each card.
    for (size_t i = 0; i < crown.points.size(); i++) {
        Vec3 d = crown.points[i] - centre;
        crown.normals[i] = Normalize({d.x / radii.x, d.y / radii.y, d.z / radii.z});
    }
    MakeTwoSided(crown);
    for (size_t i = crown.points.size() / 2; i < crown.points.size(); i++)
        crown.normals[i] = crown.normals[i - crown.points.size() / 2];
    return crown;
}

Mesh FrondsMesh(int fronds, float height, float length, float width, float droop, uint32_t seed)
{
    Mesh all;
    const int steps = 5;
    for (int f = 0; f < fronds; f++) {
        float angle = 2 * kPi * float(f) / float(fronds) + RandomIn(seed, f, 0, -0.2f, 0.2f);
        float rise = RandomIn(seed, f, 1, 0.5f, 1.1f);
        float len = length * RandomIn(seed, f, 2, 0.8f, 1.15f);
        Mesh frond;
        for (int s = 0; s <= steps; s++) {
            float t = float(s) / steps;
            float x = len * t;
            float y = height + len * (rise * t - droop * t * t);
            float w = width * (0.25f + 0.75f * DetSin(kPi * std::min(1.0f, t * 1.1f + 0.05f)));
            frond.points.push_back({x, y, -w});
            frond.points.push_back({x, y - w * 0.3f, 0});
            frond.points.push_back({x, y, w});
            frond.uvs.insert(frond.uvs.end(), {{0, t}, {0.5f, t}, {1, t}});
            if (s < steps) {
                uint32_t b = uint32_t(s) * 3;
                frond.triangles.insert(frond.triangles.end(), {b, b + 1, b + 3, b + 3, b + 1, b + 4, b + 1,
                                                               b + 2, b + 4, b + 4, b + 2, b + 5});
            }
        }
        RotateY(frond, angle);
        Append(all, frond);
    }
    SmoothNormals(all);
    Mesh back = all;
    FlipWinding(back);
    Append(all, back);
    return all;
}

Mesh SpikeClusterMesh(int spikes, float height, float spread, float thickness, Rgb base, Rgb tip,
                      uint32_t seed)
{
    Mesh cluster = Ellipsoid({spread * 0.35f, height * 0.15f, spread * 0.35f}, 8, 5);
    for (int i = 0; i < spikes; i++) {
        float angle = RandomIn(seed, i, 0, 0, 2 * kPi);
        float lean = RandomIn(seed, i, 1, 0.1f, 0.75f);
        float len = height * RandomIn(seed, i, 2, 0.6f, 1.0f);
        Mesh spike = Cylinder(thickness * RandomIn(seed, i, 3, 0.7f, 1.2f), 0, len, 5, false);
        RotateZ(spike, -lean);
        RotateY(spike, angle);
        Translate(spike, {spread * 0.2f * DetCos(angle), 0, spread * 0.2f * DetSin(angle)});
        Append(cluster, spike);
    }
    SmoothNormals(cluster, 40);
    PaintByHeight(cluster, 0, ColorFrom(base), height * 0.9f, ColorFrom(tip));
    return cluster;
}

Mesh FlowerPatchMesh(int flowers, float spread, float height, Rgb petal, Rgb centre, uint32_t seed)
{
    Mesh patch;
    Rgb stemColor = {0.25f, 0.5f, 0.15f};
    for (int i = 0; i < flowers; i++) {
        float angle = RandomIn(seed, i, 0, 0, 2 * kPi), out = spread * std::sqrt(RandomIn(seed, i, 1, 0, 1));
        float h = height * RandomIn(seed, i, 2, 0.6f, 1.0f);
        Vec3 at = {out * DetCos(angle), 0, out * DetSin(angle)};
        Mesh stem = Cylinder(height * 0.03f, height * 0.02f, h, 4, false);
        Translate(stem, at);
        SmoothNormals(stem);
        Paint(stem, ColorFrom(stemColor));
        Append(patch, stem);

        // Five petals as a flat star, and a raised centre.
        std::vector<Vec2> star;
        for (int k = 0; k < 10; k++) {
            float a = 2 * kPi * float(k) / 10;
            float r = (k % 2 == 0 ? 1.0f : 0.45f) * height * 0.28f;
            star.push_back({r * DetCos(a), r * DetSin(a)});
        }
        Mesh bloom = Extrude(star, height * 0.03f);
        RotateX(bloom, -kPi / 2 + RandomIn(seed, i, 3, -0.3f, 0.3f));
        Translate(bloom, at + Vec3{0, h, 0});
        SmoothNormals(bloom, 30);
        Paint(bloom, ColorFrom(Shade(petal, RandomIn(seed, i, 4, 0.85f, 1.1f))));
        Append(patch, bloom);

        Mesh heart = Sphere(height * 0.08f, 6, 4);
        Translate(heart, at + Vec3{0, h + height * 0.02f, 0});
        SmoothNormals(heart);
        Paint(heart, ColorFrom(centre));
        Append(patch, heart);
    }
    return patch;
}

Mesh ReedsMesh(int stalks, float height, float spread, uint32_t seed)
{
    Mesh reeds;
    for (int i = 0; i < stalks; i++) {
        float angle = RandomIn(seed, i, 0, 0, 2 * kPi), out = spread * std::sqrt(RandomIn(seed, i, 1, 0, 1));
        float h = height * RandomIn(seed, i, 2, 0.65f, 1.0f);
        float lean = RandomIn(seed, i, 3, -0.12f, 0.12f) * h;
        Vec3 root = {out * DetCos(angle), 0, out * DetSin(angle)};
        Vec3 top = root + Vec3{lean, h, lean * 0.5f};
        Mesh stalk = Tube({root, (root + top) * 0.5f + Vec3{lean * 0.2f, 0, 0}, top},
                          {h * 0.02f, h * 0.015f, h * 0.008f}, 4);
        SmoothNormals(stalk);
        PaintByHeight(stalk, 0, ColorFrom({0.3f, 0.42f, 0.15f}), h, ColorFrom({0.55f, 0.6f, 0.3f}));
        Append(reeds, stalk);
        if (i % 3 != 2) { // a cattail head on most stalks
            Mesh head = Ellipsoid({h * 0.04f, h * 0.11f, h * 0.04f}, 6, 4);
            Translate(head, root + (top - root) * 0.8f);
            SmoothNormals(head);
            Paint(head, ColorFrom({0.38f, 0.22f, 0.1f}));
            Append(reeds, head);
        }
    }
    return reeds;
}

Mesh GrassTuftMesh(int cards, float height, float radius, uint32_t seed)
{
    Mesh tuft;
    for (int i = 0; i < cards; i++) {
        Mesh card = QuadXY(radius, height * RandomIn(seed, i, 0, 0.75f, 1.0f));
        RotateX(card, RandomIn(seed, i, 1, -0.25f, 0.25f));
        RotateY(card, kPi * float(i) / float(cards) + RandomIn(seed, i, 2, -0.2f, 0.2f));
        Translate(card, {RandomIn(seed, i, 3, -0.3f, 0.3f) * radius, 0,
                         RandomIn(seed, i, 4, -0.3f, 0.3f) * radius});
        Append(tuft, card);
    }
    SmoothNormals(tuft);
    for (Vec3& n : tuft.normals)
        n = Normalize(n + Vec3{0, 1.5f, 0});
    MakeTwoSided(tuft);
    return tuft;
}

Mesh TwigsMesh(int twigs, float height, float spread, Rgb wood, Rgb tip, uint32_t seed)
{
    Mesh bush;
    for (int i = 0; i < twigs; i++) {
        float angle = 2 * kPi * float(i) / float(twigs) + RandomIn(seed, i, 0, -0.3f, 0.3f);
        float h = height * RandomIn(seed, i, 1, 0.6f, 1.0f);
        float out = spread * RandomIn(seed, i, 2, 0.5f, 1.0f);
        Vec3 dir = {DetCos(angle), 0, DetSin(angle)};
        Vec3 mid = dir * (out * 0.45f) + Vec3{0, h * 0.55f, 0};
        Vec3 end = dir * out + Vec3{0, h, 0};
        Mesh twig = Tube({{0, 0, 0}, mid, end}, {height * 0.04f, height * 0.025f, height * 0.006f}, 4);
        Append(bush, twig);
        // A side shoot from the middle.
        Vec3 side = mid + Vec3{-dir.z, 0, dir.x} * (out * 0.35f) + Vec3{0, h * 0.3f, 0};
        Append(bush,
               Tube({mid, (mid + side) * 0.5f, side}, {height * 0.02f, height * 0.012f, height * 0.004f}, 4));
    }
    SmoothNormals(bush);
    PaintByHeight(bush, 0, ColorFrom(wood), height, ColorFrom(tip));
    return bush;
}

// A capsule-topped column along +Y with u around and v up.
static Mesh Column(float height, float radius, int segments)
{
    std::vector<Vec2> profile = {
        {0, 0}, {radius * 0.9f, 0}, {radius, height * 0.05f}, {radius, height - radius}};
    for (int k = 1; k <= 3; k++) {
        float a = kPi / 2 * float(k) / 3;
        profile.push_back({radius * DetCos(a), height - radius + radius * DetSin(a)});
    }
    profile.back().x = 0;
    return Lathe(profile, segments, 1, height / (radius * 3));
}

Mesh SaguaroMesh(float height, float radius, int arms, uint32_t seed)
{
    Mesh cactus = Column(height, radius, 12);
    for (int a = 0; a < arms; a++) {
        float angle = RandomIn(seed, a, 0, 0, 2 * kPi) + kPi * float(a);
        float y0 = height * RandomIn(seed, a, 1, 0.3f, 0.5f);
        float reach = radius * RandomIn(seed, a, 2, 1.9f, 2.5f);
        float up = height * RandomIn(seed, a, 3, 0.22f, 0.35f);
        float r = radius * 0.62f;
        Mesh arm = Column(up + r, r, 10);
        Translate(arm, {reach, y0 + radius * 0.4f, 0});
        Mesh elbow = Tube({{0, y0, 0},
                           {reach * 0.6f, y0, 0},
                           {reach * 0.95f, y0 + radius * 0.15f, 0},
                           {reach, y0 + radius * 0.5f, 0}},
                          {r, r, r, r}, 10);
        for (Vec2& uv : elbow.uvs)
            uv.y *= 0.5f;
        Append(arm, elbow);
        RotateY(arm, angle);
        Append(cactus, arm);
    }
    SmoothNormals(cactus);
    return cactus;
}

Mesh BarrelCactusMesh(float radius, float height)
{
    std::vector<Vec2> profile = {{0, 0},
                                 {radius * 0.75f, 0},
                                 {radius, height * 0.35f},
                                 {radius * 0.85f, height * 0.8f},
                                 {radius * 0.4f, height},
                                 {0, height * 0.96f}};
    Mesh barrel = Lathe(profile, 16, 1, 1);
    Deform(barrel, [&](Vec3 p) {
        float ribs = 1 + 0.08f * DetCos(DetAtan2(p.z, p.x) * 12);
        return Vec3{p.x * ribs, p.y, p.z * ribs};
    });
    SmoothNormals(barrel);
    return barrel;
}

Mesh PadCactusMesh(int pads, float size, uint32_t seed)
{
    Mesh cactus;
    struct Pad
    {
        Vec3 at;
        float tilt, turn, scale;
    };
    std::vector<Pad> placed = {{{0, size * 0.55f, 0}, 0, 0, 1}};
    for (int i = 1; i < pads; i++) {
        const Pad& parent = placed[size_t(i - 1) / 2];
        float side = (i % 2) ? 1.0f : -1.0f;
        float tilt = parent.tilt + side * RandomIn(seed, i, 0, 0.35f, 0.7f);
        float s = parent.scale * 0.78f;
        Vec3 at = parent.at + Vec3{-DetSin(tilt) * size * 0.9f * s, DetCos(tilt) * size * 0.9f * s, 0};
        placed.push_back({at, tilt, RandomIn(seed, i, 1, -0.5f, 0.5f), s});
    }
    for (const Pad& pad : placed) {
        Mesh p =
            Ellipsoid({size * 0.38f * pad.scale, size * 0.55f * pad.scale, size * 0.1f * pad.scale}, 10, 6);
        RotateZ(p, pad.tilt);
        RotateY(p, pad.turn);
        Translate(p, pad.at);
        Append(cactus, p);
    }
    SmoothNormals(cactus);
    return cactus;
}

Mesh CrystalClusterMesh(int shards, float height, uint32_t seed)
{
    Mesh cluster;
    for (int i = 0; i < shards; i++) {
        float h = height * (i == 0 ? 1.0f : RandomIn(seed, i, 0, 0.4f, 0.75f));
        float r = h * RandomIn(seed, i, 1, 0.13f, 0.18f);
        Mesh shard = Lathe({{0, -h * 0.1f}, {r, -h * 0.1f}, {r, h * 0.72f}, {0, h}}, 6, 1, 1);
        RotateY(shard, RandomIn(seed, i, 2, 0, 1));
        if (i > 0) {
            RotateZ(shard, RandomIn(seed, i, 3, 0.35f, 0.8f));
            RotateY(shard, 2 * kPi * float(i) / float(shards - 1) + RandomIn(seed, i, 4, -0.3f, 0.3f));
        }
        Append(cluster, shard);
    }
    Facet(cluster);
    return cluster;
}

Mesh MushroomCapMesh(float radius, float stemHeight, float tilt)
{
    std::vector<Vec2> profile = {{0, stemHeight - radius * 0.05f},
                                 {radius * 0.85f, stemHeight - radius * 0.1f},
                                 {radius, stemHeight - radius * 0.05f},
                                 {radius * 0.95f, stemHeight + radius * 0.25f},
                                 {radius * 0.65f, stemHeight + radius * 0.55f},
                                 {0, stemHeight + radius * 0.68f}};
    Mesh cap = Lathe(profile, 14, 1, 1);
    MapPlanarXZ(cap, radius * 2);
    RotateZ(cap, tilt);
    SmoothNormals(cap, 60);
    return cap;
}

Mesh MushroomStemMesh(float radius, float height)
{
    Mesh stem =
        Lathe({{radius * 1.4f, 0}, {radius, height * 0.2f}, {radius * 0.85f, height}, {0, height}}, 10, 1, 1);
    SmoothNormals(stem);
    return stem;
}

Mesh PodMesh(float radius, float height, uint32_t seed)
{
    std::vector<Vec2> profile = {{0, 0},
                                 {radius * 0.7f, height * 0.05f},
                                 {radius, height * 0.35f},
                                 {radius * 0.8f, height * 0.62f},
                                 {radius * 0.35f, height * 0.8f},
                                 {radius * 0.45f, height},
                                 {radius * 0.3f, height * 0.97f},
                                 {radius * 0.2f, height * 0.75f}};
    Mesh pod = Lathe(profile, 12, 2, 1);
    float phase = RandomIn(seed, 0, 0, 0, 6);
    Deform(pod, [&](Vec3 p) {
        float lobes = 1 + 0.1f * DetSin(DetAtan2(p.z, p.x) * 6 + phase);
        return Vec3{p.x * lobes, p.y, p.z * lobes};
    });
    SmoothNormals(pod);
    return pod;
}
