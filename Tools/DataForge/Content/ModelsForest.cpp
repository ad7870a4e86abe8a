// forest.tq3d, the forest scene's models:
//   0 sky  1 clouds  2-8 pines (TreeA)  9-15 broadleaf trees (TreeB)  16 breakable mushrooms
//   17 tree stump (SceneryA)  18 fallen log (SceneryB)  19-20 leafy-tree trunks  21-22 their crowns
//   23-24 sting plants  25-26 ground cover  27-28 standing stones (SceneryC)  29-30 flowers
//   31-36 rocks  37-38 mossy boulders  39-41 gas pods  42 door frame  43-45 air mine (45 sphere-mapped)
//   46-49 turret
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsHazards.h"
#include "DataForge/Content/ModelsKit.h"

#include "DataForge/Content/ModelsNature.h"
#include <cmath>

namespace {

const Rgb kBarkDark = {0.22f, 0.15f, 0.1f}, kBarkLight = {0.48f, 0.36f, 0.24f};

void AddTrees(ModelFileBuilder& file)
{
    uint32_t bark = file.Textured("bark", [] { return BarkTexture(128, kBarkDark, kBarkLight, 203); });
    uint32_t needles = file.Textured("needles", [] {
        return FoliageTexture(128, {0.05f, 0.2f, 0.1f}, {0.2f, 0.5f, 0.25f}, 204);
    });
    for (int p = 0; p < 7; p++) {
        float height = 560 + 50 * float(p);
        uint32_t seed = 210 + uint32_t(p);
        Mesh trunk = TrunkMesh(height * 0.45f, 22 + 2 * float(p % 3), 8 * float(p % 3) - 8, seed);
        Mesh crown = ConeTiersMesh(height * 0.2f, height, 170 + 12 * float(p % 4), 3 + p % 3, seed);
        file.Add(2 + p, {{trunk, bark}, {crown, needles}});
    }

    const Rgb leafColors[7][2] = {
        {{0.12f, 0.3f, 0.08f}, {0.35f, 0.62f, 0.2f}}, {{0.15f, 0.32f, 0.06f}, {0.5f, 0.7f, 0.2f}},
        {{0.1f, 0.26f, 0.1f}, {0.3f, 0.55f, 0.25f}},  {{0.4f, 0.2f, 0.05f}, {0.9f, 0.55f, 0.15f}},
        {{0.14f, 0.3f, 0.08f}, {0.4f, 0.65f, 0.18f}}, {{0.45f, 0.3f, 0.05f}, {0.85f, 0.75f, 0.2f}},
        {{0.1f, 0.28f, 0.12f}, {0.28f, 0.58f, 0.3f}}};
    for (int p = 0; p < 7; p++) {
        uint32_t seed = 220 + uint32_t(p);
        uint32_t leaves = file.Textured("broadleaf " + std::to_string(p), [=] {
            return FoliageTexture(128, leafColors[p][0], leafColors[p][1], seed);
        });
        float height = 300 + 30 * float(p % 3);
        Mesh wood = TrunkMesh(height, 26, 10 * float(p % 2), seed);
        for (int b = 0; b < 3; b++) {
            float a = 2.1f * float(b) + float(p);
            Vec3 from = {0, height * (0.55f + 0.1f * float(b)), 0};
            Vec3 to = from + Vec3{110 * DetCos(a), 90, 110 * DetSin(a)};
            Append(wood, BranchMesh(from, to, 12, 5));
        }
        Mesh crown = LumpyCrownMesh({0, height + 70, 0}, {230, 170, 230}, 6, seed);
        file.Add(9 + p, {{wood, bark}, {crown, leaves}});
    }
}

void AddUndergrowth(ModelFileBuilder& file)
{
    // 16: a cluster of toadstools the player can smash.
    uint32_t redCap = file.Textured("toadstool cap", [] {
        return SpeckleTexture(64, {0.85f, 0.12f, 0.08f}, {1, 0.95f, 0.85f}, 0.5f, 230);
    });
    uint32_t stemColor = file.Colored("mushroom stem", {0.92f, 0.88f, 0.78f});
    Mesh caps, stems;
    const Vec3 spots[3] = {{0, 0, 0}, {45, 0, 20}, {-30, 0, 35}};
    for (int k = 0; k < 3; k++) {
        float s = k == 0 ? 1.0f : 0.6f;
        Mesh cap = MushroomCapMesh(40 * s, 60 * s, 0.15f * float(k));
        Mesh stem = MushroomStemMesh(9 * s, 62 * s);
        Translate(cap, spots[k]);
        Translate(stem, spots[k]);
        Append(caps, cap);
        Append(stems, stem);
    }
    file.Add(16, {{caps, redCap}, {stems, stemColor}});

    uint32_t bark = file.Textured("bark", [] { return BarkTexture(128, kBarkDark, kBarkLight, 203); });
    uint32_t rings = file.Textured("tree rings", [] {
        return Synthesize(64, 64, [](float u, float v, Rgb& c, float&) {
            float r = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f));
            float ring = DetSin(r * 60 + Fbm(u * 4, v * 4, 2, 4, 4, 231) * 4) * 0.5f + 0.5f;
            c = Mix({0.55f, 0.4f, 0.22f}, {0.78f, 0.62f, 0.4f}, ring);
        });
    });
    // 17: a stump with roots and a sawn top.
    Mesh stump = Lathe({{60, 0}, {44, 12}, {38, 30}, {36, 70}}, 10, 2, 1);
    for (int k = 0; k < 5; k++) {
        float a = 2 * kPi * float(k) / 5 + 0.3f;
        Vec3 dir = {DetCos(a), 0, DetSin(a)};
        Append(stump, Tube({dir * 20 + Vec3{0, 25, 0}, dir * 60 + Vec3{0, 6, 0}, dir * 95 + Vec3{0, -4, 0}},
                           {14, 9, 3}, 5));
    }
    SmoothNormals(stump);
    Mesh top = Cylinder(36, 36, 0.1f, 10);
    Translate(top, {0, 70, 0});
    MapPlanarXZ(top, 72);
    for (Vec2& uv : top.uvs)
        uv = {uv.x + 0.5f, uv.y + 0.5f};
    file.Add(17, {{stump, bark}, {top, rings}});

    // 18: a fallen, hollow log.
    Mesh log = Lathe({{34, 0}, {36, 0}, {36, 260}, {34, 260}, {26, 260}, {26, 0}, {34, 0}}, 10, 2, 3);
    SmoothNormals(log, 40);
    RotateZ(log, kPi / 2);
    Translate(log, {130, 34, 0});
    file.Add(18, {{log, bark}});
}

void AddLeafyTrees(ModelFileBuilder& file)
{
    uint32_t bark = file.Textured("bark", [] { return BarkTexture(128, kBarkDark, kBarkLight, 203); });
    uint32_t leaves = file.Textured("leaf cards", [] {
        return LeafTexture(128, {0.12f, 0.35f, 0.08f}, {0.45f, 0.75f, 0.25f}, 240);
    });
    Vec3 crownCentre[2] = {{0, 480, 0}, {0, 420, 0}};
    for (int p = 0; p < 2; p++) {
        uint32_t seed = 241 + uint32_t(p);
        float height = p == 0 ? 420 : 360;
        Mesh wood = TrunkMesh(height, 24, 0, seed);
        for (int b = 0; b < 4; b++) {
            float a = kPi / 2 * float(b) + 0.4f * float(p);
            Vec3 from = {0, height * 0.6f, 0};
            Vec3 to = crownCentre[p] + Vec3{150 * DetCos(a), -20, 150 * DetSin(a)};
            Append(wood, BranchMesh(from, to, 11, 4));
        }
        file.Add(19 + p, {{wood, bark}});
    }
    for (int p = 0; p < 2; p++) {
        Mesh crown = LeafCardsMesh(crownCentre[p], {240, 160, 240}, 70, 130, 250 + uint32_t(p));
        file.Add(21 + p, {{crown, leaves}});
    }
}

void AddSmallPlants(ModelFileBuilder& file)
{
    uint32_t plant = file.Colored("plant", {1, 1, 1});
    file.Add(23, {{SpikeClusterMesh(14, 90, 60, 5, {0.2f, 0.45f, 0.12f}, {0.9f, 0.2f, 0.15f}, 260), plant}});
    file.Add(24, {{SpikeClusterMesh(20, 70, 80, 4, {0.25f, 0.4f, 0.1f}, {0.95f, 0.7f, 0.2f}, 261), plant}});

    uint32_t fern = file.Textured("fern", [] {
        return FoliageTexture(64, {0.08f, 0.3f, 0.06f}, {0.35f, 0.65f, 0.2f}, 262);
    });
    file.Add(25, {{FrondsMesh(9, 4, 90, 16, 0.9f, 263), fern}});
    uint32_t clover = file.Textured("clover", [] {
        return LeafTexture(64, {0.1f, 0.35f, 0.1f}, {0.3f, 0.65f, 0.25f}, 264);
    });
    Mesh patch = QuadXZ(60, 60, 1.5f);
    Translate(patch, {0, 2, 0});
    Append(patch, [] {
        Mesh second = QuadXZ(40, 40, 1);
        RotateY(second, 0.7f);
        Translate(second, {20, 5, -10});
        return second;
    }());
    file.Add(26, {{patch, clover}});

    uint32_t granite = file.Textured("granite", [] { return StoneTexture(128, {0.55f, 0.56f, 0.52f}, 265); });
    Mesh menhir = RockMesh(40, {0.9f, 4, 0.6f}, 0.25f, 266);
    file.Add(27, {{menhir, granite}});
    Mesh dolmen = RockMesh(30, {0.7f, 2.4f, 0.6f}, 0.25f, 267);
    Translate(dolmen, {-70, 0, 0});
    Mesh right = RockMesh(30, {0.7f, 2.3f, 0.6f}, 0.25f, 268);
    Translate(right, {70, 0, 0});
    Mesh capstone = RockMesh(50, {2.3f, 0.45f, 1}, 0.2f, 269);
    Translate(capstone, {0, 85, 0});
    Append(dolmen, right);
    Append(dolmen, capstone);
    file.Add(28, {{dolmen, granite}});

    file.Add(29, {{FlowerPatchMesh(9, 50, 45, {1, 0.85f, 0.15f}, {0.6f, 0.3f, 0.05f}, 270), plant}});
    file.Add(30, {{FlowerPatchMesh(9, 50, 40, {0.6f, 0.35f, 0.95f}, {1, 0.9f, 0.3f}, 271), plant}});
}

void AddRocksAndPods(ModelFileBuilder& file)
{
    uint32_t stone = file.Textured("forest stone", [] {
        return StoneTexture(128, {0.5f, 0.49f, 0.46f}, 280);
    });
    for (int p = 0; p < 6; p++) {
        Vec3 stretch = {1.2f + 0.1f * float(p % 3), 0.6f + 0.1f * float(p % 2), 1 - 0.08f * float(p % 4)};
        file.Add(31 + p, {{RockMesh(40 + 8 * float(p), stretch, 0.45f, 281 + uint32_t(p)), stone}});
    }
    uint32_t mossy = file.Textured("mossy stone", [] {
        Image img = StoneTexture(128, {0.45f, 0.47f, 0.42f}, 290);
        Image moss = FoliageTexture(128, {0.12f, 0.3f, 0.08f}, {0.3f, 0.5f, 0.15f}, 291);
        for (size_t i = 0; i < img.pixels.size(); i += 4) {
            int x = int(i / 4) % 128, y = int(i / 4) / 128;
            if (Fbm(float(x) / 32, float(y) / 32, 3, 4, 4, 292) > 0.55f)
                for (int c = 0; c < 3; c++)
                    img.pixels[i + size_t(c)] = moss.pixels[i + size_t(c)];
        }
        return img;
    });
    file.Add(37, {{RockMesh(80, {1.1f, 0.85f, 1}, 0.3f, 293), mossy}});
    file.Add(38, {{RockMesh(95, {1.3f, 0.75f, 1.1f}, 0.35f, 294), mossy}});

    const Rgb podColors[3][2] = {{{0.25f, 0.45f, 0.12f}, {0.6f, 0.85f, 0.3f}},
                                 {{0.35f, 0.15f, 0.4f}, {0.75f, 0.45f, 0.85f}},
                                 {{0.5f, 0.4f, 0.1f}, {0.9f, 0.8f, 0.3f}}};
    for (int p = 0; p < 3; p++) {
        uint32_t skin = file.Textured("pod " + std::to_string(p), [=] {
            return SpeckleTexture(64, podColors[p][1], podColors[p][0], 0.4f, 295 + uint32_t(p));
        });
        Mesh pod = PodMesh(26 + 3 * float(p), 60 + 6 * float(p), 298 + uint32_t(p));
        file.Add(39 + p, {{pod, skin}});
    }
}

} // namespace

TQ3DFile BuildForestModels()
{
    ModelFileBuilder file("forest.tq3d");
    AddSkyModels(file, {{0.22f, 0.42f, 0.85f}, {0.45f, 0.66f, 0.95f}, {0.82f, 0.9f, 0.98f}}, {1, 1, 1}, 0.5f,
                 201);
    AddTrees(file);
    AddUndergrowth(file);
    AddLeafyTrees(file);
    AddSmallPlants(file);
    AddRocksAndPods(file);
    AddDoorFrameModel(file, 42, {0.55f, 0.52f, 0.48f});
    AddAirMineModels(file, 43, 1000);
    AddTurretModels(file, 46, {0.35f, 0.45f, 0.3f});
    return file.Finish();
}
