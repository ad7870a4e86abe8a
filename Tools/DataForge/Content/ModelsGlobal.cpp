// Global.tq3d: the models every level uses. Numbers are fixed by the game:
//   0-1 spare (a cairn, a bone)       2-6 eggs of colours 0-4 (sphere-mapped)   7 nest   8 nest glow
//   9-10 power-up bases (fuel: 10)    11-14 fuel, health, shield, life icons    15-19 weapon icons
//   20 wormhole (one mesh)            21 turret glow (sphere-mapped)            22 turret shot
//   23-25 electrode base and turning parts   26 door leaf   27-28 pylon base and top   29 door glow
//   30-31 laser orb and its top
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsKit.h"
#include "DataForge/Content/ModelsNature.h"

#include <cmath>

namespace {

// Egg colours 0-4: the team colours the nest glows are tinted with.
const Rgb kEggColors[5] = {{0.9f, 0.22f, 0.18f},
                           {0.3f, 0.8f, 0.22f},
                           {0.22f, 0.42f, 0.95f},
                           {0.98f, 0.85f, 0.2f},
                           {0.85f, 0.28f, 0.85f}};

constexpr float kIconY = 9; // icons float this far above their base's origin

// Icons are drawn additively without lighting, so their shape reads from vertex colours: full
// colour facing the viewer, darker on the sides.
void PaintIcon(Mesh& mesh, Rgb color)
{
    if (mesh.normals.empty())
        SmoothNormals(mesh, 30);
    mesh.colors.resize(mesh.points.size());
    for (size_t i = 0; i < mesh.points.size(); i++) {
        float facing = std::fabs(mesh.normals[i].z);
        mesh.colors[i] = ToColor8(Shade(color, 0.55f + 0.45f * facing));
    }
}

Mesh IconFromOutline(const std::vector<Vec2>& outline, float depth, Rgb color)
{
    Mesh icon = Extrude(outline, depth);
    SmoothNormals(icon, 30);
    PaintIcon(icon, color);
    Translate(icon, {0, kIconY, 0});
    return icon;
}

std::vector<Vec2> StarOutline(int points, float outer, float inner)
{
    std::vector<Vec2> star;
    for (int k = 0; k < points * 2; k++) {
        float a = kPi / 2 + kPi * float(k) / float(points);
        float r = k % 2 == 0 ? outer : inner;
        star.push_back({r * DetCos(a), r * DetSin(a)});
    }
    return star;
}

std::vector<Vec2> ArcOutline(float inner, float outer, float halfAngle, int steps)
{
    std::vector<Vec2> arc;
    for (int k = 0; k <= steps; k++) {
        float a = -halfAngle + 2 * halfAngle * float(k) / float(steps);
        arc.push_back({outer * DetCos(a), outer * DetSin(a)});
    }
    for (int k = steps; k >= 0; k--) {
        float a = -halfAngle + 2 * halfAngle * float(k) / float(steps);
        arc.push_back({inner * DetCos(a), inner * DetSin(a)});
    }
    return arc;
}

Mesh EggMesh()
{
    // An egg: the blunt end down, the narrow end up, 60 tall.
    std::vector<Vec2> profile;
    const int steps = 12;
    for (int k = 0; k <= steps; k++) {
        float t = kPi * float(k) / steps;
        float y = 30 * (1 - DetCos(t));
        float r = 21 * DetSin(t) * (1.08f - 0.16f * y / 60);
        profile.push_back({r, y});
    }
    profile.front().x = profile.back().x = 0;
    Mesh egg = Lathe(profile, 16, 2, 1);
    SmoothNormals(egg);
    return egg;
}

void AddSpares(ModelFileBuilder& file)
{
    uint32_t stone = file.Textured("stone", [] { return StoneTexture(128, {0.55f, 0.53f, 0.5f}, 1); });
    Mesh cairn = RockMesh(14, {1.2f, 0.6f, 1.1f}, 0.3f, 3);
    Mesh middle = RockMesh(10, {1.1f, 0.6f, 1}, 0.3f, 4);
    Translate(middle, {1, 11, 0});
    Mesh top = RockMesh(6, {1, 0.8f, 1}, 0.3f, 5);
    Translate(top, {-1, 19, 1});
    Append(cairn, middle);
    Append(cairn, top);
    file.Add(0, {{cairn, stone}});

    uint32_t ivory = file.Colored("ivory", {0.92f, 0.88f, 0.76f});
    Mesh bone = Tube({{-12, 3, 0}, {0, 2.5f, 0}, {12, 3, 0}}, {2, 1.5f, 2}, 6);
    SmoothNormals(bone);
    for (float end : {-13.0f, 13.0f})
        for (float side : {-2.0f, 2.0f}) {
            Mesh knob = Sphere(2.6f, 6, 4);
            Translate(knob, {end, 3, side});
            SmoothNormals(knob);
            Append(bone, knob);
        }
    file.Add(1, {{bone, ivory}});
}

void AddEggsAndNest(ModelFileBuilder& file)
{
    for (int colour = 0; colour < 5; colour++) {
        Rgb base = kEggColors[colour];
        uint32_t shell = file.Textured("egg " + std::to_string(colour), [=] {
            return SpeckleTexture(128, base, Shade(base, 0.45f), 0.6f, 100 + uint32_t(colour));
        });
        file.Add(2 + colour, {{EggMesh(), shell}});
        file.RequireSphereMapped(2 + colour);
    }

    uint32_t straw = file.Textured("straw", [] { return StrawTexture(128, {0.66f, 0.5f, 0.27f}, 7); });
    Mesh bowl = Lathe({{0, 1.2f},
                       {7, 0.4f},
                       {11, 1.8f},
                       {13, 4.2f},
                       {12.5f, 5.6f},
                       {10.5f, 5.8f},
                       {9.5f, 4.6f},
                       {6, 2.4f},
                       {0, 2.1f}},
                      14, 4, 2);
    Deform(bowl, [](Vec3 p) {
        float ruffle = 1 + 0.05f * DetSin(DetAtan2(p.z, p.x) * 7);
        return Vec3{p.x * ruffle, p.y, p.z * ruffle};
    });
    SmoothNormals(bowl, 70);
    Mesh sticks;
    for (int k = 0; k < 9; k++) {
        float a = 2 * kPi * float(k) / 9;
        Vec3 dir = {DetCos(a), 0, DetSin(a)}, side = {-dir.z, 0, dir.x};
        Vec3 from = dir * 10.5f + side * 4 + Vec3{0, 4.5f, 0}, to = dir * 12.5f - side * 5 + Vec3{0, 3, 0};
        Append(sticks, Tube({from, (from + to) * 0.5f + dir * 1.2f, to}, {0.45f, 0.4f, 0.3f}, 4));
    }
    SmoothNormals(sticks);
    file.Add(7, {{bowl, straw}, {sticks, straw}});

    // The glow: a beam of light rising from a bright pool, white so the game's tint shows.
    uint32_t beamLight = file.Textured("nest beam", [] {
        return Synthesize(16, 64, [](float, float v, Rgb& c, float& a) {
            a = v * v;
            c = Shade({1, 1, 1}, a);
        });
    });
    uint32_t poolLight = file.Textured(
        "glow white",
        [] {
            return GlowTexture(64, {1, 1, 1});
        },
        MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V);
    Mesh beam = Cylinder(26, 34, 90, 16, false);
    for (size_t i = 0; i < beam.points.size(); i++)
        beam.uvs[i].y = 1 - beam.points[i].y / 90;
    Mesh pool = QuadXZ(40, 40, 1);
    Translate(pool, {0, 1, 0});
    file.Add(8, {{beam, beamLight}, {pool, poolLight}});
}

void AddPowerUps(ModelFileBuilder& file)
{
    for (int fuel = 0; fuel < 2; fuel++) {
        Rgb trim = fuel ? Rgb{1, 0.55f, 0.1f} : Rgb{0.2f, 0.85f, 1};
        uint32_t plate = file.Textured(fuel ? "pad orange" : "pad blue", [=] {
            return MetalTexture(128, Mix({0.6f, 0.62f, 0.66f}, trim, 0.25f), 11 + uint32_t(fuel));
        });
        uint32_t light = file.Colored(fuel ? "pad light orange" : "pad light blue", trim);
        Mesh pad = Lathe({{0, 0}, {5.5f, 0}, {7, 1}, {7, 2}, {6, 2.7f}, {0, 2.7f}}, 6, 3, 1);
        SmoothNormals(pad, 35);
        Mesh ring = Torus(6.2f, 0.45f, 18, 5);
        Translate(ring, {0, 2.8f, 0});
        file.Add(9 + fuel, {{pad, plate}, {ring, light}});
    }

    uint32_t iconColours = file.Colored("icon", {1, 1, 1});

    // Fuel: a jerry can with its handle and spout.
    Mesh can = Box({-2.4f, -3, -1}, {2.4f, 3, 1});
    SmoothNormals(can, 30);
    Mesh handle = Box({-1.4f, 3, -0.4f}, {1.4f, 3.8f, 0.4f});
    SmoothNormals(handle, 30);
    Append(can, handle);
    Mesh spout = Cylinder(0.6f, 0.5f, 1.8f, 6);
    RotateZ(spout, -0.6f);
    Translate(spout, {1.6f, 2.8f, 0});
    SmoothNormals(spout, 40);
    Append(can, spout);
    PaintIcon(can, {1, 0.55f, 0.1f});
    Translate(can, {0, kIconY, 0});
    file.Add(11, {{can, iconColours}});

    const float a = 1.1f, l = 3.2f;
    file.Add(12, {{IconFromOutline({{-a, -l},
                                    {a, -l},
                                    {a, -a},
                                    {l, -a},
                                    {l, a},
                                    {a, a},
                                    {a, l},
                                    {-a, l},
                                    {-a, a},
                                    {-l, a},
                                    {-l, -a},
                                    {-a, -a}},
                                   1.6f, {1, 0.15f, 0.12f}),
                   iconColours}});
    file.Add(13, {{IconFromOutline({{-3, 3.2f},
                                    {-3.1f, 1},
                                    {-2.6f, -1},
                                    {-1.5f, -2.6f},
                                    {0, -3.6f},
                                    {1.5f, -2.6f},
                                    {2.6f, -1},
                                    {3.1f, 1},
                                    {3, 3.2f},
                                    {1.5f, 2.7f},
                                    {0, 3.3f},
                                    {-1.5f, 2.7f}},
                                   1.4f, {0.25f, 0.55f, 1}),
                   iconColours}});
    std::vector<Vec2> heart;
    for (int k = 0; k < 28; k++) {
        float t = 2 * kPi * float(k) / 28;
        float s = DetSin(t);
        heart.push_back(
            {-0.2f * 16 * s * s * s,
             0.2f * (13 * DetCos(t) - 5 * DetCos(2 * t) - 2 * DetCos(3 * t) - DetCos(4 * t)) + 0.5f});
    }
    file.Add(14, {{IconFromOutline(heart, 1.6f, {1, 0.35f, 0.6f}), iconColours}});

    // Weapon icons 15-19: stun gun, flare gun, missile, sonic scream, bomb.
    file.Add(15, {{IconFromOutline({{0.8f, 3.6f},
                                    {-1.8f, 0.1f},
                                    {-0.1f, 0.1f},
                                    {-1.1f, -3.6f},
                                    {2, 0.9f},
                                    {0.3f, 0.9f},
                                    {1.8f, 3.6f}},
                                   1.2f, {0.4f, 0.95f, 1}),
                   iconColours}});
    file.Add(16, {{IconFromOutline(StarOutline(8, 3.6f, 1.5f), 1.2f, {1, 0.6f, 0.15f}), iconColours}});

    Mesh missile = Cylinder(0.7f, 0.7f, 4.5f, 8);
    Mesh nose = Cylinder(0.7f, 0, 1.6f, 8, false);
    Translate(nose, {0, 4.5f, 0});
    SmoothNormals(missile, 40);
    SmoothNormals(nose);
    PaintIcon(missile, {0.85f, 0.88f, 0.95f});
    PaintIcon(nose, {1, 0.2f, 0.15f});
    Append(missile, nose);
    for (int k = 0; k < 4; k++) {
        Mesh fin = Extrude({{0.6f, 0}, {2, -0.6f}, {2, 0.6f}, {0.6f, 1.6f}}, 0.2f);
        RotateY(fin, kPi / 2 * float(k));
        SmoothNormals(fin, 30);
        PaintIcon(fin, {1, 0.2f, 0.15f});
        Append(missile, fin);
    }
    Translate(missile, {0, -2.6f, 0});
    RotateZ(missile, -kPi / 4);
    Translate(missile, {0, kIconY, 0});
    file.Add(17, {{missile, iconColours}});

    Mesh waves = IconFromOutline(ArcOutline(1.2f, 1.8f, 0.8f, 8), 1, {0.75f, 0.45f, 1});
    for (float r : {2.4f, 3.6f})
        Append(waves, IconFromOutline(ArcOutline(r, r + 0.6f, 0.8f, 10), 1, {0.75f, 0.45f, 1}));
    Mesh mouth = Sphere(0.8f, 8, 5);
    Translate(mouth, {-0.6f, kIconY, 0});
    SmoothNormals(mouth);
    PaintIcon(mouth, {1, 0.8f, 1});
    Append(waves, mouth);
    file.Add(18, {{waves, iconColours}});

    Mesh bomb = Sphere(2.6f, 12, 8);
    SmoothNormals(bomb);
    PaintIcon(bomb, {0.45f, 0.5f, 0.7f});
    Mesh cap = Cylinder(0.9f, 0.9f, 0.8f, 8);
    Translate(cap, {0, 2.3f, 0});
    SmoothNormals(cap, 40);
    PaintIcon(cap, {0.7f, 0.7f, 0.75f});
    Append(bomb, cap);
    Mesh fuse = Tube({{0, 3, 0}, {0.6f, 3.8f, 0}, {1.4f, 4, 0}}, {0.2f, 0.2f, 0.2f}, 4);
    SmoothNormals(fuse);
    PaintIcon(fuse, {0.9f, 0.8f, 0.4f});
    Append(bomb, fuse);
    Mesh spark = Extrude(StarOutline(5, 1.1f, 0.45f), 0.3f);
    Translate(spark, {1.6f, 4.1f, 0});
    SmoothNormals(spark, 30);
    PaintIcon(spark, {1, 0.95f, 0.4f});
    Append(bomb, spark);
    Translate(bomb, {0, kIconY - 0.6f, 0});
    file.Add(19, {{bomb, iconColours}});
}

void AddWormholeAndTurretParts(ModelFileBuilder& file)
{
    // Wormhole: a funnel whose wide mouth faces -Y, rimmed by a lip; one mesh, one textured material.
    uint32_t vortex = file.Textured("vortex", [] {
        return SwirlTexture(128, {0.85f, 0.6f, 1}, {0.15f, 0.1f, 0.45f}, 21);
    });
    Mesh funnel = Lathe({{6, 140},
                         {14, 95},
                         {30, 55},
                         {55, 22},
                         {78, 5},
                         {88, 0},
                         {96, -4},
                         {102, 2},
                         {98, 10},
                         {86, 12},
                         {70, 20},
                         {48, 45},
                         {26, 90},
                         {12, 140}},
                        20, 2, 2);
    SmoothNormals(funnel, 60);
    file.Add(20, {{funnel, vortex}});
    file.RequireSingleMesh(20);

    uint32_t glow = file.Textured("energy red", [] { return EnergyTexture(64, {1, 0.35f, 0.15f}, 22); });
    Mesh halo = Lathe({{56, 195}, {62, 215}, {62, 245}, {56, 265}}, 16, 3, 1);
    SmoothNormals(halo);
    file.Add(21, {{halo, glow}});
    file.RequireSphereMapped(21);

    uint32_t bolt = file.Textured("glow orange", [] { return GlowTexture(64, {1, 0.5f, 0.15f}); });
    Mesh shot = Ellipsoid({4, 4, 16}, 8, 6);
    for (size_t i = 0; i < shot.points.size(); i++)
        shot.uvs[i] = {0.5f + shot.points[i].x / 9, 0.5f + shot.points[i].y / 9};
    file.Add(22, {{shot, bolt}});
}

void AddElectrodeAndDoor(ModelFileBuilder& file)
{
    uint32_t steel = file.Textured("steel", [] { return MetalTexture(128, {0.55f, 0.57f, 0.6f}, 31); });
    uint32_t copper = file.Textured("copper", [] { return MetalTexture(64, {0.85f, 0.5f, 0.25f}, 32); });
    uint32_t ceramic = file.Colored("ceramic", {0.85f, 0.9f, 0.95f});

    Mesh pedestal = Lathe({{0, 0}, {22, 0}, {22, 8}, {14, 14}, {10, 40}, {0, 40}}, 8, 2, 1);
    SmoothNormals(pedestal, 40);
    std::vector<Vec2> insulatorProfile = {{0, 40}};
    for (int k = 0; k < 4; k++) {
        float y = 42 + float(k) * 11;
        insulatorProfile.insert(insulatorProfile.end(), {{6, y}, {14, y + 3}, {14, y + 5}, {6, y + 9}});
    }
    insulatorProfile.push_back({0, 86});
    Mesh insulators = Lathe(insulatorProfile, 12, 1, 1);
    SmoothNormals(insulators, 50);
    Mesh contact = Sphere(8, 10, 6);
    Translate(contact, {0, 92, 0});
    file.Add(23, {{pedestal, steel}, {insulators, ceramic}, {contact, copper}});

    Mesh arms;
    for (int k = 0; k < 3; k++) {
        Mesh arm = Box({0, -2, -2}, {26, 2, 2});
        SmoothNormals(arm, 30);
        Mesh ball = Sphere(5, 8, 5);
        Translate(ball, {28, 0, 0});
        SmoothNormals(ball);
        Append(arm, ball);
        RotateY(arm, 2 * kPi * float(k) / 3);
        Append(arms, arm);
    }
    Mesh hub = Cylinder(6, 6, 8, 8);
    Translate(hub, {0, -4, 0});
    SmoothNormals(hub, 40);
    Append(arms, hub);
    Translate(arms, {0, 106, 0});
    file.Add(24, {{arms, copper}});

    Mesh coil = Torus(22, 3, 16, 6);
    Translate(coil, {0, 128, 0});
    Mesh spike = Cylinder(4, 0, 24, 6);
    Translate(spike, {0, 128, 0});
    Mesh tip = Sphere(4, 8, 5);
    Translate(tip, {0, 152, 0});
    SmoothNormals(spike, 40);
    SmoothNormals(tip);
    Append(spike, tip);
    file.Add(25, {{coil, copper}, {spike, steel}});

    // Door leaf: the upper half of the gate's disc, pivoting about its centre (the origin).
    uint32_t plate = file.Textured("door plate", [] { return MetalTexture(128, {0.5f, 0.42f, 0.32f}, 33); });
    std::vector<Vec2> half;
    for (int k = 0; k <= 16; k++) {
        float a = kPi * float(k) / 16;
        half.push_back({128 * DetCos(a), 128 * DetSin(a)});
    }
    Mesh leaf = Extrude(half, 10);
    MapPlanarXY(leaf, 128);
    SmoothNormals(leaf, 30);
    Mesh bands;
    for (float angle : {kPi / 4, kPi / 2, 3 * kPi / 4}) {
        Mesh band = Box({0, -4, -7}, {124, 4, 7});
        RotateZ(band, angle);
        SmoothNormals(band, 30);
        Append(bands, band);
    }
    file.Add(26, {{leaf, plate}, {bands, steel}});
}

void AddPylonOrbAndGlows(ModelFileBuilder& file)
{
    uint32_t steel = file.Textured("steel", [] { return MetalTexture(128, {0.55f, 0.57f, 0.6f}, 31); });
    uint32_t copper = file.Textured("copper", [] { return MetalTexture(64, {0.85f, 0.5f, 0.25f}, 32); });
    uint32_t energy = file.Textured("energy blue", [] { return EnergyTexture(64, {0.35f, 0.7f, 1}, 34); });

    // Pylon base: a four-legged lattice tower with cross braces and a platform.
    Mesh tower;
    Vec3 feet[4] = {{40, 0, 40}, {-40, 0, 40}, {-40, 0, -40}, {40, 0, -40}};
    for (int k = 0; k < 4; k++) {
        Vec3 top = feet[k] * 0.25f + Vec3{0, 170, 0};
        Append(tower, Tube({feet[k], (feet[k] + top) * 0.5f, top}, {4, 3.2f, 2.5f}, 5));
        Vec3 next = feet[(k + 1) % 4];
        for (float h : {0.25f, 0.6f}) {
            Vec3 a = feet[k] + (feet[k] * 0.25f + Vec3{0, 170, 0} - feet[k]) * h;
            Vec3 b = next + (next * 0.25f + Vec3{0, 170, 0} - next) * (h + 0.2f);
            Append(tower, Tube({a, (a + b) * 0.5f, b}, {1.6f, 1.6f, 1.6f}, 4));
        }
    }
    Mesh platform = Cylinder(16, 16, 6, 8);
    Translate(platform, {0, 168, 0});
    SmoothNormals(tower);
    SmoothNormals(platform, 40);
    Append(tower, platform);
    file.Add(27, {{tower, steel}});

    // Pylon top: a core with three prongs whose tips sit 20 out at y 190, where the sparks play.
    Mesh core = Sphere(9, 10, 7);
    Translate(core, {0, 186, 0});
    Mesh collar = Cylinder(10, 6, 12, 8);
    Translate(collar, {0, 172, 0});
    SmoothNormals(collar, 40);
    Mesh prongs;
    for (int k = 0; k < 3; k++) {
        float a = 2.092301f * float(k);
        Vec3 tip = {20 * DetSin(a), 190, 20 * DetCos(a)};
        Append(prongs, Tube({{0, 178, 0}, tip * 0.6f + Vec3{0, 178 * 0.4f, 0}, tip}, {2.5f, 2, 1.5f}, 5));
        Mesh ball = Sphere(3, 6, 4);
        Translate(ball, tip);
        Append(prongs, ball);
    }
    SmoothNormals(prongs);
    Append(collar, prongs);
    file.Add(28, {{core, energy}, {collar, copper}});

    // Door glow: an energy band along the leaf's rim, in front of and behind it.
    Mesh rim;
    for (float z : {7.0f, -7.0f}) {
        Mesh band = Extrude(
            [] {
                std::vector<Vec2> arc;
                for (int k = 0; k <= 16; k++) {
                    float a = kPi * float(k) / 16;
                    arc.push_back({126 * DetCos(a), 126 * DetSin(a)});
                }
                for (int k = 16; k >= 0; k--) {
                    float a = kPi * float(k) / 16;
                    arc.push_back({104 * DetCos(a), 104 * DetSin(a)});
                }
                return arc;
            }(),
            1);
        for (size_t i = 0; i < band.points.size(); i++) {
            Vec3 p = band.points[i];
            band.uvs[i] = {DetAtan2(p.y, p.x) / kPi * 6, (Length({p.x, p.y, 0}) - 104) / 22};
        }
        Translate(band, {0, 0, z});
        Append(rim, band);
    }
    SmoothNormals(rim, 30);
    file.Add(29, {{rim, energy}});

    // Laser orb: a chrome ball on a tripod, and its turning emitter crown.
    Mesh tripod;
    for (int k = 0; k < 3; k++) {
        float a = 2 * kPi * float(k) / 3;
        Vec3 foot = {16 * DetCos(a), 0, 16 * DetSin(a)};
        Append(tripod, Tube({foot, foot * 0.5f + Vec3{0, 14, 0}, {0, 22, 0}}, {2.2f, 2, 1.8f}, 5));
    }
    SmoothNormals(tripod);
    Mesh orb = Sphere(12, 14, 9);
    Translate(orb, {0, 32, 0});
    uint32_t chrome = file.Textured("chrome", [] { return MetalTexture(64, {0.8f, 0.82f, 0.86f}, 35); });
    file.Add(30, {{tripod, steel}, {orb, chrome}});

    Mesh crown = Torus(15, 2, 16, 5);
    Translate(crown, {0, 32, 0});
    SmoothNormals(crown);
    Mesh emitter = Cylinder(4, 1, 18, 8);
    Translate(emitter, {0, 42, 0});
    SmoothNormals(emitter, 40);
    Append(crown, emitter);
    file.Add(31, {{crown, energy}});
}

} // namespace

TQ3DFile BuildGlobalModels()
{
    ModelFileBuilder file("Global.tq3d");
    AddSpares(file);
    AddEggsAndNest(file);
    AddPowerUps(file);
    AddWormholeAndTurretParts(file);
    AddElectrodeAndDoor(file);
    AddPylonOrbAndGlows(file);
    return file.Finish();
}
