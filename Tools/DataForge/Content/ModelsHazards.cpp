#include "DataForge/Content/ModelsHazards.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsNature.h"

#include <cmath>

constexpr float kDoorCentreY = 129.5f;

static uint32_t MetalMaterial(ModelFileBuilder& file, const std::string& key, Rgb color, uint32_t seed)
{
    return file.Textured(key, [=] { return MetalTexture(128, color, seed); });
}

void AddTurretModels(ModelFileBuilder& file, int first, Rgb paint)
{
    uint32_t body = MetalMaterial(file, "turret paint", paint, 41);
    uint32_t steel = MetalMaterial(file, "steel", {0.55f, 0.57f, 0.6f}, 42);
    uint32_t dark = MetalMaterial(file, "dark steel", {0.25f, 0.26f, 0.28f}, 43);

    // Base: a stepped, tapering tower with four buttresses.
    Mesh tower =
        Lathe({{0, 0}, {70, 0}, {70, 20}, {55, 30}, {42, 150}, {48, 165}, {48, 185}, {0, 185}}, 8, 2, 2);
    SmoothNormals(tower, 40);
    Mesh buttresses;
    for (int k = 0; k < 4; k++) {
        Mesh fin = Extrude({{0, 0}, {40, 0}, {0, 120}}, 10);
        Translate(fin, {40, 0, 0});
        RotateY(fin, kPi / 4 + kPi / 2 * float(k));
        Append(buttresses, fin);
    }
    SmoothNormals(buttresses, 30);
    file.Add(first, {{tower, body}, {buttresses, dark}});

    // Head: a turning collar and a drum that carries the gun.
    Mesh collar = Cylinder(52, 52, 20, 12);
    Translate(collar, {0, 185, 0});
    Mesh drum = Lathe({{0, 205}, {44, 205}, {50, 225}, {50, 255}, {38, 268}, {0, 268}}, 12, 2, 1);
    SmoothNormals(drum, 40);
    file.Add(first + 1, {{collar, dark}, {drum, body}});

    // Wheel: a spoked ring turning about Z, the radar of the gun.
    Mesh wheel = Torus(24, 4, 12, 5);
    Mesh spokes = Box({-22, -2, -2}, {22, 2, 2});
    Mesh cross = Box({-2, -22, -2}, {2, 22, 2});
    SmoothNormals(spokes, 30);
    SmoothNormals(cross, 30);
    RotateX(wheel, kPi / 2);
    SmoothNormals(wheel);
    Append(wheel, spokes);
    Append(wheel, cross);
    Translate(wheel, {8, 0, 0});
    file.Add(first + 2, {{wheel, steel}});

    // Gun: a housing beside the pivot and a barrel along -Z ending at the muzzle (-61, 0, -115).
    Mesh housing = Box({-85, -18, -40}, {-10, 18, 30});
    SmoothNormals(housing, 30);
    Mesh barrel = Cylinder(8, 7, 80, 8);
    RotateX(barrel, -kPi / 2);
    Translate(barrel, {-61, 0, -35});
    Mesh muzzle = Cylinder(11, 11, 12, 8);
    RotateX(muzzle, -kPi / 2);
    Translate(muzzle, {-61, 0, -103});
    Append(barrel, muzzle);
    SmoothNormals(barrel, 40);
    file.Add(first + 3, {{housing, body}, {barrel, dark}});
}

void AddAirMineModels(ModelFileBuilder& file, int first, float chainLength)
{
    uint32_t iron = MetalMaterial(file, "mine iron", {0.35f, 0.36f, 0.38f}, 51);
    uint32_t links = file.Textured("chain", [] { return ChainTexture(32, 64); });
    uint32_t shell = file.Textured("mine shell", [] { return MetalTexture(128, {0.55f, 0.12f, 0.1f}, 52); });
    uint32_t studs = file.Textured("mine studs", [] { return MetalTexture(64, {0.85f, 0.8f, 0.55f}, 53); });

    // Anchor: a heavy weighted block with a shackle at the chain's pivot.
    Mesh block = Lathe({{0, 0}, {45, 0}, {45, 18}, {30, 30}, {0, 30}}, 6, 1, 1);
    SmoothNormals(block, 30);
    Mesh shackle = Torus(12, 3.5f, 10, 5);
    RotateX(shackle, kPi / 2);
    Translate(shackle, {0, 42, 0});
    SmoothNormals(shackle);
    Append(block, shackle);
    file.Add(first, {{block, iron}});

    // Chain: two crossed textured strips; the texture shows the links, its gaps are cut out.
    Mesh chain;
    for (int k = 0; k < 2; k++) {
        Mesh strip = QuadXY(6, chainLength);
        for (Vec2& uv : strip.uvs)
            uv.y *= chainLength / 24;
        RotateY(strip, kPi / 2 * float(k));
        Append(chain, strip);
    }
    Mesh back = chain;
    FlipWinding(back);
    Append(chain, back);
    SmoothNormals(chain);
    file.Add(first + 1, {{chain, links}});

    // Mine: a shell with contact horns.
    Mesh ball = Sphere(40, 14, 9);
    MapSpherical(ball, {0, 0, 0}, 2, 1);
    SmoothNormals(ball);
    Mesh horns;
    const Vec3 directions[] = {{1, 0, 0},        {-1, 0, 0},       {0, 1, 0},        {0, -1, 0},
                               {0, 0, 1},        {0, 0, -1},       {0.7f, 0.7f, 0},  {-0.7f, 0.7f, 0},
                               {0, 0.7f, 0.7f},  {0, 0.7f, -0.7f}, {0.7f, -0.7f, 0}, {-0.7f, -0.7f, 0},
                               {0, -0.7f, 0.7f}, {0, -0.7f, -0.7f}};
    for (Vec3 d : directions) {
        Mesh horn = Cylinder(6, 2.5f, 18, 5);
        Mesh tip = Sphere(3.5f, 5, 3);
        SmoothNormals(horn, 40);
        SmoothNormals(tip);
        Translate(tip, {0, 18, 0});
        Append(horn, tip);
        Translate(horn, {0, 36, 0});
        // Turn +Y onto the direction: tilt about Z, then about Y.
        Vec3 n = Normalize(d);
        float tilt = DetAtan2(std::sqrt(n.x * n.x + n.z * n.z), n.y);
        RotateZ(horn, -tilt);
        RotateY(horn, -DetAtan2(n.z, n.x));
        Append(horns, horn);
    }
    file.Add(first + 2, {{ball, shell}, {horns, studs}});
    file.RequireSphereMapped(first + 2);
}

void AddDoorFrameModel(ModelFileBuilder& file, int number, Rgb stone)
{
    uint32_t rock = file.Textured("door stone", [=] { return StoneTexture(128, stone, 61); });
    uint32_t wallStone =
        file.Textured("door wall", [=] { return StoneTexture(128, Shade(stone, 0.75f), 62); });

    // The ring: a square-section band in the XY plane, thick in Z, standing on two footings.
    const float inner = 132, outer = 172, depth = 50;
    std::vector<Vec2> ring;
    const int steps = 24;
    for (int k = 0; k <= steps; k++) {
        float a = -kPi * 0.15f + kPi * 1.3f * float(k) / steps;
        ring.push_back({outer * DetCos(a), kDoorCentreY + outer * DetSin(a)});
    }
    for (int k = steps; k >= 0; k--) {
        float a = -kPi * 0.15f + kPi * 1.3f * float(k) / steps;
        ring.push_back({inner * DetCos(a), kDoorCentreY + inner * DetSin(a)});
    }
    Mesh arch = Extrude(ring, depth);
    for (float side : {-1.0f, 1.0f}) {
        Mesh footing = Box({side > 0 ? 110.0f : -190.0f, -20, -depth * 0.8f},
                           {side > 0 ? 190.0f : -110.0f, 70, depth * 0.8f});
        Append(arch, footing);
    }
    MapPlanarXY(arch, 120);
    SmoothNormals(arch, 30);

    // The wall under the leaf's pivot, set back so the turning leaf passes in front of it.
    std::vector<Vec2> wallOutline;
    for (int k = 0; k <= 12; k++) {
        float a = kPi + kPi * float(k) / 12;
        wallOutline.push_back({(inner + 4) * DetCos(a), kDoorCentreY + (inner + 4) * DetSin(a)});
    }
    Mesh wall = Extrude(wallOutline, 16);
    Translate(wall, {0, 0, -18});
    MapPlanarXY(wall, 80);
    SmoothNormals(wall, 30);
    file.Add(number, {{arch, rock}, {wall, wallStone}});
}
