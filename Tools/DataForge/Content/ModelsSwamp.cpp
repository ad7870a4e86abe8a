// swamp.tq3d, the swamp scene's models:
//   0 sky  1 clouds  2-4 SceneryE: rotten stump, root arch, mossy log  5-8 thorn bushes
//   9-11 gecko plants  12 grass  13-15 sting plants  16 reeds  17-19 cypress trunks  20-22 their
//   crowns  23-25 reeds  26-28 big rocks  29-31 air mine  32 door frame  33-36 turret
//   37-38 spiky plants  39-40 SceneryF: giant glowing mushrooms
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsHazards.h"
#include "DataForge/Content/ModelsKit.h"

#include "DataForge/Content/ModelsNature.h"
#include <cmath>

namespace {

const Rgb kWetBarkDark = {0.12f, 0.1f, 0.07f}, kWetBarkLight = {0.35f, 0.3f, 0.22f};

uint32_t SwampBark(ModelFileBuilder& file)
{
    return file.Textured("swamp bark", [] { return BarkTexture(128, kWetBarkDark, kWetBarkLight, 401); });
}

void AddDeadwood(ModelFileBuilder& file)
{
    uint32_t bark = SwampBark(file);
    Mesh stump = Lathe({{70, 0}, {50, 15}, {42, 60}, {40, 120}, {30, 150}, {0, 140}}, 10, 2, 2);
    Deform(stump, [](Vec3 p) {
        float jag = p.y > 110 ? 30 * Hash01(int(DetAtan2(p.z, p.x) * 3 + 10), 0, 0, 402) : 0;
        return Vec3{p.x, p.y + jag, p.z};
    });
    SmoothNormals(stump, 50);
    file.Add(2, {{stump, bark}});

    Mesh roots;
    for (int k = 0; k < 5; k++) {
        float a = 2 * kPi * float(k) / 5;
        Vec3 dir = {DetCos(a), 0, DetSin(a)};
        Append(roots, Tube({{0, 150, 0},
                            dir * 60 + Vec3{0, 120, 0},
                            dir * 130 + Vec3{0, 40, 0},
                            dir * 160 + Vec3{0, -10, 0}},
                           {22, 16, 10, 8}, 6));
    }
    Mesh core = TrunkMesh(260, 26, 0, 403);
    Translate(core, {0, 120, 0});
    SmoothNormals(roots);
    Append(roots, core);
    file.Add(3, {{roots, bark}});

    uint32_t moss = file.Textured("swamp moss", [] {
        return FoliageTexture(64, {0.12f, 0.22f, 0.08f}, {0.35f, 0.45f, 0.18f}, 404);
    });
    Mesh log = Lathe({{30, 0}, {38, 10}, {38, 280}, {26, 300}}, 9, 2, 3);
    SmoothNormals(log, 40);
    RotateZ(log, kPi / 2);
    Translate(log, {150, 34, 0});
    Mesh mossTop = LumpyCrownMesh({0, 68, 0}, {140, 12, 32}, 5, 405);
    file.Add(4, {{log, bark}, {mossTop, moss}});
}

void AddBushesAndPlants(ModelFileBuilder& file)
{
    uint32_t plant = file.Colored("plant", {1, 1, 1});
    for (int p = 0; p < 4; p++) {
        float h = 80 + 15 * float(p);
        Mesh thorns =
            TwigsMesh(8 + 2 * p, h, h * 0.9f, {0.2f, 0.14f, 0.1f}, {0.7f, 0.15f, 0.12f}, 410 + uint32_t(p));
        Append(thorns, SpikeClusterMesh(10, h * 0.6f, h * 0.8f, 3, {0.25f, 0.2f, 0.12f}, {0.8f, 0.2f, 0.15f},
                                        415 + uint32_t(p)));
        file.Add(5 + p, {{thorns, plant}});
    }
    for (int p = 0; p < 3; p++) {
        Rgb tip = p == 1 ? Rgb{1, 0.6f, 0.1f} : Rgb{0.75f, 0.85f, 0.4f};
        file.Add(9 + p, {{SpikeClusterMesh(12 + 2 * p, 70 + 10 * float(p), 40, 10, {0.25f, 0.4f, 0.3f}, tip,
                                           420 + uint32_t(p)),
                          plant}});
    }
    uint32_t grass = file.Textured("swamp grass", [] {
        return GrassTexture(64, {0.15f, 0.25f, 0.08f}, {0.55f, 0.65f, 0.3f}, 425);
    });
    file.Add(12, {{GrassTuftMesh(4, 50, 35, 426), grass}});
    for (int p = 0; p < 3; p++)
        file.Add(13 + p, {{SpikeClusterMesh(16, 80 + 10 * float(p), 60, 4, {0.3f, 0.2f, 0.35f},
                                            {0.85f, 0.4f, 0.95f}, 430 + uint32_t(p)),
                           plant}});
    file.Add(16, {{ReedsMesh(14, 160, 45, 435), plant}});
}

void AddCypresses(ModelFileBuilder& file)
{
    uint32_t bark = SwampBark(file);
    uint32_t leaves = file.Textured("cypress leaves", [] {
        return FoliageTexture(128, {0.06f, 0.16f, 0.06f}, {0.22f, 0.38f, 0.15f}, 440);
    });
    uint32_t hangingMoss = file.Textured("hanging moss", [] {
        return FoliageTexture(64, {0.3f, 0.34f, 0.25f}, {0.55f, 0.6f, 0.45f}, 441);
    });
    for (int p = 0; p < 3; p++) {
        float height = 420 + 40 * float(p);
        Mesh trunk = Lathe({{90, 0}, {55, 30}, {36, 90}, {28, height * 0.6f}, {18, height}, {0, height + 5}},
                           10, 2, 5);
        Deform(trunk, [&](Vec3 p3) {
            float buttress = p3.y < 90 ? 1 + 0.35f * (1 - p3.y / 90) * DetCos(DetAtan2(p3.z, p3.x) * 5) : 1;
            return Vec3{p3.x * buttress, p3.y, p3.z * buttress};
        });
        SmoothNormals(trunk);
        for (int k = 0; k < 3; k++) { // knees poking out of the water
            Mesh knee = Cylinder(9, 3, 30 + 8 * float(k), 6);
            float a = 2.3f * float(k) + float(p);
            Translate(knee, {120 * DetCos(a), 0, 120 * DetSin(a)});
            SmoothNormals(knee, 40);
            Append(trunk, knee);
        }
        file.Add(17 + p, {{trunk, bark}});
    }
    for (int p = 0; p < 3; p++) {
        float height = 420 + 40 * float(p);
        Mesh crown = LumpyCrownMesh({0, height - 20, 0}, {220, 110, 220}, 6, 445 + uint32_t(p));
        Mesh moss = FrondsMesh(10, height - 40, 140, 14, 2.2f, 450 + uint32_t(p));
        file.Add(20 + p, {{crown, leaves}, {moss, hangingMoss}});
    }
    uint32_t plant = file.Colored("plant", {1, 1, 1});
    for (int p = 0; p < 3; p++)
        file.Add(23 + p,
                 {{ReedsMesh(10 + 3 * p, 130 + 25 * float(p), 35 + 5 * float(p), 455 + uint32_t(p)), plant}});
}

void AddRocks(ModelFileBuilder& file)
{
    uint32_t stone = file.Textured("dark stone", [] { return StoneTexture(128, {0.38f, 0.4f, 0.36f}, 460); });
    for (int p = 0; p < 3; p++)
        file.Add(26 + p, {{RockMesh(90 + 15 * float(p), {1.3f, 0.7f + 0.1f * float(p), 1.1f}, 0.4f,
                                    461 + uint32_t(p)),
                           stone}});
}

void AddSpikyPlantsAndMushrooms(ModelFileBuilder& file)
{
    uint32_t plant = file.Colored("plant", {1, 1, 1});
    file.Add(37, {{SpikeClusterMesh(18, 110, 60, 6, {0.15f, 0.3f, 0.15f}, {0.95f, 0.9f, 0.5f}, 470), plant}});
    file.Add(38, {{SpikeClusterMesh(26, 90, 90, 4, {0.2f, 0.3f, 0.1f}, {0.6f, 0.9f, 0.3f}, 471), plant}});

    const Rgb capColors[2] = {{0.3f, 0.45f, 0.95f}, {0.7f, 0.3f, 0.85f}};
    uint32_t stem = file.Colored("mushroom stem", {0.85f, 0.85f, 0.75f});
    for (int p = 0; p < 2; p++) {
        uint32_t cap = file.Textured("glow cap " + std::to_string(p), [=] {
            return SpeckleTexture(64, capColors[p], Mix(capColors[p], {1, 1, 1}, 0.7f), 0.4f,
                                  475 + uint32_t(p));
        });
        Mesh caps = MushroomCapMesh(110, 200, 0.1f);
        Mesh stems = MushroomStemMesh(22, 205);
        Mesh small = MushroomCapMesh(55, 90, -0.2f);
        Translate(small, {120, 0, 40});
        Append(caps, small);
        Mesh smallStem = MushroomStemMesh(12, 92);
        Translate(smallStem, {120, 0, 40});
        Append(stems, smallStem);
        file.Add(39 + p, {{caps, cap}, {stems, stem}});
    }
}

} // namespace

TQ3DFile BuildSwampModels()
{
    ModelFileBuilder file("swamp.tq3d");
    AddSkyModels(file, {{0.22f, 0.3f, 0.28f}, {0.42f, 0.52f, 0.42f}, {0.68f, 0.74f, 0.58f}},
                 {0.75f, 0.8f, 0.72f}, 0.65f, 400);
    AddDeadwood(file);
    AddBushesAndPlants(file);
    AddCypresses(file);
    AddRocks(file);
    AddAirMineModels(file, 29, 2000);
    AddDoorFrameModel(file, 32, {0.42f, 0.45f, 0.38f});
    AddTurretModels(file, 33, {0.3f, 0.35f, 0.25f});
    AddSpikyPlantsAndMushrooms(file);
    return file.Finish();
}
