// desert.tq3d, the desert scene's models:
//   0 sky  1 clouds  2-4 air mine (4 sphere-mapped)  5-9 acacia trunks  10-14 acacia crowns
//   15-22 SceneryD: hoodoo, pillar, arch, skull, ribcage, column, dead tree, layered butte
//   23-26 desert bushes  27-29 palm bushes  30-32 cacti (saguaro, barrel, pads)
//   33-35 crystals (33 sphere-mapped)  36-38 crystal bases  39-44 sandstone rocks  45-46 sting plants
//   47 door frame  48-51 turret
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsHazards.h"
#include "DataForge/Content/ModelsKit.h"

#include "DataForge/Content/ModelsNature.h"
#include <cmath>

namespace {

const Rgb kSandstone = {0.78f, 0.5f, 0.32f};
const Rgb kBone = {0.93f, 0.89f, 0.78f};

void AddAcacias(ModelFileBuilder& file)
{
    uint32_t bark = file.Textured("acacia bark", [] {
        return BarkTexture(128, {0.25f, 0.18f, 0.12f}, {0.55f, 0.45f, 0.33f}, 301);
    });
    uint32_t leaves = file.Textured("acacia leaves", [] {
        return FoliageTexture(128, {0.2f, 0.3f, 0.08f}, {0.55f, 0.6f, 0.25f}, 302);
    });
    for (int p = 0; p < 5; p++) {
        uint32_t seed = 303 + uint32_t(p);
        float height = 260 + 25 * float(p);
        float crownY = height + 90;
        Mesh wood = TrunkMesh(height, 22, 30 - 15 * float(p % 3), seed);
        for (int b = 0; b < 3; b++) {
            float a = 2.1f * float(b) + 0.7f * float(p);
            Vec3 from = {0, height * 0.7f, 0};
            Vec3 to = {160 * DetCos(a), crownY - 15, 160 * DetSin(a)};
            Append(wood, BranchMesh(from, to, 12, 5));
        }
        file.Add(5 + p, {{wood, bark}});
    }
    for (int p = 0; p < 5; p++) {
        float height = 260 + 25 * float(p);
        Mesh crown =
            LumpyCrownMesh({0, height + 105, 0}, {300 - 15 * float(p), 60, 280}, 6, 310 + uint32_t(p));
        file.Add(10 + p, {{crown, leaves}});
    }
}

void AddLandmarks(ModelFileBuilder& file)
{
    uint32_t strata = file.Textured("strata", [] {
        return Synthesize(128, 128, [](float u, float v, Rgb& c, float&) {
            float layer = Fbm(u * 2, v * 12 + Fbm(u * 4, v * 4, 2, 4, 4, 321) * 2, 3, 2, 12, 322);
            c = Mix({0.62f, 0.32f, 0.2f}, {0.92f, 0.72f, 0.5f}, layer);
        });
    });
    uint32_t bone = file.Textured("bone", [] {
        return SpeckleTexture(64, kBone, {0.7f, 0.62f, 0.5f}, 0.15f, 323);
    });

    Mesh hoodoo = RockMesh(40, {1.1f, 1.6f, 1}, 0.35f, 324);
    Mesh neck = RockMesh(28, {1, 2.2f, 1}, 0.3f, 325);
    Translate(neck, {0, 80, 0});
    Mesh hat = RockMesh(50, {1.3f, 0.45f, 1.2f}, 0.3f, 326);
    Translate(hat, {5, 170, 0});
    Append(hoodoo, neck);
    Append(hoodoo, hat);
    file.Add(15, {{hoodoo, strata}});

    file.Add(16, {{RockMesh(45, {1, 4.2f, 0.9f}, 0.35f, 327), strata}});

    std::vector<Vec3> arc;
    std::vector<float> radii;
    for (int k = 0; k <= 10; k++) {
        float a = kPi * float(k) / 10;
        arc.push_back({-160 * DetCos(a), 200 * DetSin(a), 0});
        radii.push_back(k == 0 || k == 10 ? 50.0f : 38.0f);
    }
    Mesh arch = Tube(arc, radii, 8);
    Deform(arch, [](Vec3 p) {
        float n = Fbm3(p.x / 60, p.y / 60, p.z / 60, 3, 328) - 0.5f;
        return p + Vec3{n * 20, n * 10, n * 20};
    });
    Translate(arch, {0, -10, 0});
    MapPlanarXY(arch, 120);
    Facet(arch);
    file.Add(17, {{arch, strata}});

    // A horned skull lying on the sand.
    Mesh skull = Ellipsoid({38, 30, 34}, 12, 8);
    Translate(skull, {0, 28, 0});
    Mesh snout = Cylinder(24, 14, 60, 10);
    RotateX(snout, kPi / 2 - 0.25f);
    Translate(snout, {0, 24, 20});
    Append(skull, snout);
    for (float side : {-1.0f, 1.0f})
        Append(skull,
               Tube({{side * 28, 44, -5}, {side * 70, 60, -20}, {side * 95, 95, -10}, {side * 100, 125, 5}},
                    {9, 7, 4, 1}, 6));
    SmoothNormals(skull, 45);
    uint32_t sockets = file.Colored("socket", {0.12f, 0.08f, 0.06f});
    Mesh eyes;
    for (float side : {-1.0f, 1.0f}) {
        Mesh eye = Sphere(7, 8, 5);
        Translate(eye, {side * 20, 38, 26});
        Append(eyes, eye);
    }
    file.Add(18, {{skull, bone}, {eyes, sockets}});

    // A ribcage half buried: a spine and arching ribs.
    Mesh ribs = Tube({{0, 20, -120}, {0, 34, 0}, {0, 26, 120}}, {8, 9, 6}, 6);
    for (int k = 0; k < 7; k++) {
        float z = -90 + 30 * float(k);
        float size = 1 - 0.04f * std::fabs(float(k) - 3);
        for (float side : {-1.0f, 1.0f})
            Append(ribs, Tube({{0, 32, z},
                               {side * 60 * size, 75 * size, z + 10},
                               {side * 95 * size, 30, z + 18},
                               {side * 90 * size, -10, z + 22}},
                              {5, 4.5f, 4, 3}, 5));
    }
    SmoothNormals(ribs);
    file.Add(19, {{ribs, bone}});

    // A fluted column, snapped, with a fallen drum beside it.
    std::vector<Vec2> shaft = {{0, 0}, {48, 0}, {48, 16}, {38, 22}, {36, 190}, {0, 205}};
    Mesh column = Lathe(shaft, 16, 4, 2);
    Deform(column, [](Vec3 p) {
        float flute = p.y > 20 && p.y < 185 ? 1 + 0.06f * DetCos(DetAtan2(p.z, p.x) * 16) : 1;
        float snap = p.y > 185 ? (p.x * 0.3f) : 0;
        return Vec3{p.x * flute, p.y + snap, p.z * flute};
    });
    SmoothNormals(column, 40);
    Mesh drum = Cylinder(36, 36, 70, 16);
    RotateZ(drum, kPi / 2);
    RotateY(drum, 0.5f);
    Translate(drum, {110, 36, 40});
    SmoothNormals(drum, 40);
    Append(column, drum);
    uint32_t marble = file.Textured("pale stone", [] { return StoneTexture(128, {0.85f, 0.8f, 0.7f}, 329); });
    file.Add(20, {{column, marble}});

    uint32_t deadWood = file.Colored("dead wood", {1, 1, 1});
    Mesh dead = TwigsMesh(6, 320, 140, {0.45f, 0.38f, 0.3f}, {0.7f, 0.62f, 0.5f}, 330);
    Mesh deadTrunk = TrunkMesh(200, 20, 15, 331);
    Paint(deadTrunk, ToColor8({0.5f, 0.42f, 0.33f}));
    Append(dead, deadTrunk);
    file.Add(21, {{dead, deadWood}});

    Mesh butte = Lathe({{0, 0}, {150, 0}, {140, 40}, {115, 70}, {110, 150}, {95, 175}, {0, 178}}, 9, 3, 2);
    Deform(butte, [](Vec3 p) {
        float n = Fbm3(p.x / 70 + 3, p.y / 70, p.z / 70, 3, 332);
        float k = 0.8f + 0.4f * n;
        return Vec3{p.x * k, p.y, p.z * k};
    });
    Facet(butte);
    MapPlanarXY(butte, 160);
    file.Add(22, {{butte, strata}});
}

void AddDesertPlants(ModelFileBuilder& file)
{
    uint32_t plant = file.Colored("plant", {1, 1, 1});
    uint32_t sage = file.Textured("sage leaves", [] {
        return FoliageTexture(64, {0.3f, 0.35f, 0.22f}, {0.6f, 0.65f, 0.45f}, 340);
    });
    for (int p = 0; p < 4; p++) {
        float h = 60 + 12 * float(p);
        Mesh twigs =
            TwigsMesh(7 + p, h, h * 0.8f, {0.4f, 0.3f, 0.22f}, {0.6f, 0.5f, 0.35f}, 341 + uint32_t(p));
        if (p % 2 == 0) {
            Mesh tuft =
                LumpyCrownMesh({0, h * 0.75f, 0}, {h * 0.9f, h * 0.45f, h * 0.9f}, 4, 345 + uint32_t(p));
            file.Add(23 + p, {{twigs, plant}, {tuft, sage}});
        } else {
            file.Add(23 + p, {{twigs, plant}});
        }
    }

    uint32_t frond = file.Textured("palm frond", [] {
        return Synthesize(64, 64, [](float u, float v, Rgb& c, float&) {
            float vein = std::fabs(u - 0.5f) < 0.04f ? 0.6f : 1.0f;
            float blades = DetSin((v * 16 + std::fabs(u - 0.5f) * 6) * 2 * kPi) * 0.5f + 0.5f;
            c = Shade(Mix({0.15f, 0.35f, 0.1f}, {0.4f, 0.62f, 0.2f}, blades), vein);
        });
    });
    uint32_t palmBark = file.Textured("palm bark", [] {
        return BarkTexture(64, {0.35f, 0.27f, 0.18f}, {0.6f, 0.5f, 0.35f}, 350);
    });
    for (int p = 0; p < 3; p++) {
        float stemHeight = 20 + 25 * float(p);
        Mesh stem = Lathe({{18, 0}, {14, stemHeight * 0.5f}, {12, stemHeight}, {0, stemHeight + 4}}, 8, 1, 2);
        Mesh fronds = FrondsMesh(8 + p, stemHeight, 110 + 15 * float(p), 22, 1.3f, 351 + uint32_t(p));
        file.Add(27 + p, {{stem, palmBark}, {fronds, frond}});
    }

    uint32_t cactusSkin = file.Textured("cactus", [] {
        return CactusTexture(128, {0.25f, 0.5f, 0.22f}, 360);
    });
    file.Add(30, {{SaguaroMesh(300, 26, 2, 361), cactusSkin}});
    uint32_t flowers = file.Colored("cactus flowers", {1, 0.35f, 0.55f});
    Mesh crown;
    for (int k = 0; k < 6; k++) {
        Mesh bud = Sphere(6, 6, 4);
        float a = 2 * kPi * float(k) / 6;
        Translate(bud, {18 * DetCos(a), 68, 18 * DetSin(a)});
        Append(crown, bud);
    }
    file.Add(31, {{BarrelCactusMesh(45, 70), cactusSkin}, {crown, flowers}});
    file.Add(32, {{PadCactusMesh(7, 60, 362), cactusSkin}});
}

void AddStingPlants(ModelFileBuilder& file)
{
    uint32_t plant = file.Colored("plant", {1, 1, 1});
    file.Add(45, {{SpikeClusterMesh(22, 120, 50, 5, {0.3f, 0.45f, 0.2f}, {0.75f, 0.7f, 0.3f}, 363), plant}});
    file.Add(46, {{SpikeClusterMesh(12, 80, 70, 7, {0.35f, 0.5f, 0.25f}, {0.9f, 0.3f, 0.2f}, 364), plant}});
}

void AddCrystalsAndRocks(ModelFileBuilder& file)
{
    const Rgb crystalColors[3] = {{0.65f, 0.35f, 0.95f}, {0.3f, 0.85f, 0.95f}, {1, 0.45f, 0.65f}};
    uint32_t glass[3];
    for (int p = 0; p < 3; p++) {
        glass[p] = file.Textured("crystal " + std::to_string(p),
                                 [=] { return CrystalTexture(64, crystalColors[p], 370 + uint32_t(p)); });
        file.Add(33 + p, {{CrystalClusterMesh(5 + p, 150 + 20 * float(p), 373 + uint32_t(p)), glass[p]}});
    }
    file.RequireSphereMapped(33);

    uint32_t stone = file.Textured("sandstone", [] { return StoneTexture(128, kSandstone, 320); });
    for (int p = 0; p < 3; p++) {
        Mesh base = RockMesh(60, {1.3f, 0.35f, 1.2f}, 0.3f, 380 + uint32_t(p));
        Mesh stubs = CrystalClusterMesh(4, 45, 383 + uint32_t(p));
        Translate(stubs, {0, 10, 0});
        file.Add(36 + p, {{base, stone}, {stubs, glass[p]}});
    }

    uint32_t red = file.Textured("red rock", [] { return StoneTexture(128, {0.7f, 0.4f, 0.28f}, 390); });
    for (int p = 0; p < 6; p++) {
        Vec3 stretch = {1.25f + 0.1f * float(p % 3), 0.7f + 0.15f * float(p % 2), 1 - 0.08f * float(p % 4)};
        file.Add(39 + p,
                 {{RockMesh(42 + 8 * float(p), stretch, 0.5f, 391 + uint32_t(p)), p % 2 ? red : stone}});
    }
}

} // namespace

TQ3DFile BuildDesertModels()
{
    ModelFileBuilder file("desert.tq3d");
    AddSkyModels(file, {{0.3f, 0.5f, 0.85f}, {0.7f, 0.78f, 0.9f}, {0.98f, 0.85f, 0.65f}}, {1, 0.97f, 0.92f},
                 0.3f, 300);
    AddAirMineModels(file, 2, 2000);
    AddAcacias(file);
    AddLandmarks(file);
    AddDesertPlants(file);
    AddCrystalsAndRocks(file);
    AddStingPlants(file);
    AddDoorFrameModel(file, 47, {0.75f, 0.55f, 0.4f});
    AddTurretModels(file, 48, {0.7f, 0.55f, 0.35f});
    return file.Finish();
}
