// Weapons.tq3d: 0 stun-gun shot, 1 flare, 2 missile (nose along -Z), 3 bomb, 4 blast ring (radius 10
// at scale 1, the damage radius), 5 shield bubble (radius 1, second layer for its scrolling sheen).
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsKit.h"

#include <cmath>

namespace {

// A glowing ball: a bright core and two crossed halo cards.
std::vector<ModelPart> GlowBall(ModelFileBuilder& file, const std::string& key, Rgb color, float core,
                                float halo)
{
    uint32_t light = file.Textured(
        key, [=] { return GlowTexture(64, color); }, MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V);
    uint32_t hot = file.Colored(key + " core", Mix(color, {1, 1, 1}, 0.6f));
    Mesh ball = Sphere(core, 10, 7);
    Mesh cards;
    for (int k = 0; k < 3; k++) {
        Mesh card = QuadXY(halo, 2 * halo);
        Translate(card, {0, -halo, 0});
        if (k == 1)
            RotateY(card, kPi / 2);
        if (k == 2)
            RotateX(card, kPi / 2);
        Append(cards, card);
    }
    Mesh back = cards;
    FlipWinding(back);
    Append(cards, back);
    return {{ball, hot}, {cards, light}};
}

} // namespace

TQ3DFile BuildWeaponModels()
{
    ModelFileBuilder file("Weapons.tq3d");
    file.Add(0, GlowBall(file, "stun glow", {0.35f, 0.85f, 1}, 3, 9));
    file.Add(1, GlowBall(file, "flare glow", {1, 0.55f, 0.15f}, 8, 22));

    uint32_t hull = file.Textured("missile hull", [] {
        return MetalTexture(128, {0.85f, 0.86f, 0.88f}, 71);
    });
    uint32_t red = file.Colored("missile red", {0.85f, 0.12f, 0.1f});
    uint32_t dark = file.Textured("dark steel", [] { return MetalTexture(64, {0.25f, 0.26f, 0.28f}, 72); });
    Mesh body = Cylinder(6, 6, 60, 10);
    Mesh nose = Cylinder(6, 0, 16, 10, false);
    Translate(nose, {0, 60, 0});
    SmoothNormals(body, 40);
    SmoothNormals(nose);
    Mesh fins;
    for (int k = 0; k < 4; k++) {
        Mesh fin = Extrude({{5, 0}, {16, -4}, {16, 6}, {5, 16}}, 1.5f);
        RotateY(fin, kPi / 4 + kPi / 2 * float(k));
        Append(fins, fin);
    }
    SmoothNormals(fins, 30);
    Mesh nozzle = Cylinder(4.5f, 5.5f, 6, 8);
    Translate(nozzle, {0, -6, 0});
    SmoothNormals(nozzle, 40);
    Append(fins, nozzle);
    for (Mesh* part : {&body, &nose, &fins}) {
        RotateX(*part, -kPi / 2); // +Y becomes -Z: the nose leads
        Translate(*part, {0, 0, 30});
    }
    file.Add(2, {{body, hull}, {nose, red}, {fins, dark}});

    uint32_t casing = file.Textured("bomb casing", [] { return MetalTexture(128, {0.3f, 0.32f, 0.3f}, 73); });
    uint32_t stripe = file.Colored("bomb stripe", {0.95f, 0.8f, 0.15f});
    Mesh shell =
        Lathe({{0, -40}, {22, -36}, {38, -14}, {40, 4}, {32, 26}, {16, 40}, {10, 52}, {0, 52}}, 14, 2, 1);
    SmoothNormals(shell);
    Mesh tail;
    for (int k = 0; k < 4; k++) {
        Mesh fin = Extrude({{6, 44}, {26, 56}, {26, 76}, {8, 70}}, 3);
        RotateY(fin, kPi / 2 * float(k));
        Append(tail, fin);
    }
    SmoothNormals(tail, 30);
    Mesh band = Torus(39, 3, 18, 5);
    SmoothNormals(band);
    Append(tail, band);
    file.Add(3, {{shell, casing}, {tail, stripe}});

    uint32_t blast = file.Textured("blast", [] {
        return Synthesize(64, 64, [](float u, float v, Rgb& c, float& a) {
            float across = 1 - std::abs(v - 0.5f) * 2;
            float flicker = Fbm(u * 8, v * 2, 3, 8, 2, 74);
            a = across * across * (0.6f + 0.4f * flicker);
            c = Mix({1, 0.35f, 0.05f}, {1, 0.95f, 0.6f}, a);
        });
    });
    Mesh ring = Lathe({{8, 0}, {10, 0.8f}, {12, 0}, {10, -0.8f}, {8, 0}}, 32, 8, 1);
    SmoothNormals(ring, 80);
    file.Add(4, {{ring, blast}});

    uint32_t sheen = file.Textured(
        "shield",
        [] {
            return HexTexture(128, {0.3f, 0.75f, 1});
        },
        MO_MATERIAL_FLAG_MULTITEXTURE);
    Mesh bubble = Sphere(1, 18, 12);
    for (Vec2& uv : bubble.uvs)
        uv = {uv.x * 3, uv.y * 2};
    file.Add(5, {{bubble, sheen}});
    return file.Finish();
}
