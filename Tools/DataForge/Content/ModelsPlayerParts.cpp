// playerparts.tq3d: 0 the jet pack (sphere-mapped: every mesh textured), 1 its two flames (drawn
// additively), hanging from the nozzles at (+-9, -6, 0).
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsKit.h"

#include <cmath>

constexpr float kNozzleX = 9, kNozzleY = -6;

TQ3DFile BuildPlayerPartModels()
{
    ModelFileBuilder file("playerparts.tq3d");
    uint32_t tanks = file.Textured("tank paint", [] { return MetalTexture(128, {0.75f, 0.2f, 0.15f}, 81); });
    uint32_t steel = file.Textured("steel", [] { return MetalTexture(128, {0.6f, 0.62f, 0.66f}, 82); });
    uint32_t strap = file.Textured("strap", [] { return StrawTexture(64, {0.35f, 0.25f, 0.15f}, 83); });

    Mesh pair;
    for (float side : {-1.0f, 1.0f}) {
        Mesh tank = Lathe({{0, 0}, {4, 0.3f}, {6, 2.5f}, {6, 26}, {4.5f, 30}, {0, 31}}, 12, 1, 1);
        Translate(tank, {side * kNozzleX, 0, 0});
        Append(pair, tank);
    }
    SmoothNormals(pair, 50);
    Mesh plate = Box({-9, 4, -4.5f}, {9, 26, -3});
    SmoothNormals(plate, 30);
    Mesh nozzles;
    for (float side : {-1.0f, 1.0f}) {
        Mesh nozzle = Lathe({{2.5f, 0}, {4.5f, -6}, {3.8f, -6}, {2, -1}}, 10, 1, 1);
        Translate(nozzle, {side * kNozzleX, 0, 0});
        Append(nozzles, nozzle);
    }
    SmoothNormals(nozzles, 40);
    Mesh straps;
    for (float side : {-1.0f, 1.0f})
        for (float y : {8.0f, 22.0f}) {
            Mesh band = Torus(6.1f, 1, 14, 4);
            Translate(band, {side * kNozzleX, y, 0});
            Append(straps, band);
        }
    file.Add(0, {{pair, tanks}, {plate, steel}, {nozzles, steel}, {straps, strap}});
    file.RequireSphereMapped(0);

    uint32_t flame = file.Textured("flame", [] {
        return Synthesize(32, 64, [](float u, float v, Rgb& c, float& a) {
            float flicker = ValueNoise(u * 4, v * 8, 4, 8, 84);
            a = (1 - v) * (0.7f + 0.3f * flicker);
            c = Mix({1, 0.3f, 0.05f}, {1, 0.95f, 0.7f}, (1 - v) * (1 - v));
        });
    });
    Mesh flames;
    for (float side : {-1.0f, 1.0f}) {
        Mesh cone = Cylinder(4, 0, 28, 10, false);
        for (size_t i = 0; i < cone.points.size(); i++)
            cone.uvs[i].y = cone.points[i].y / 28;
        RotateX(cone, kPi); // point down
        Translate(cone, {side * kNozzleX, kNozzleY, 0});
        Append(flames, cone);
    }
    file.Add(1, {{flames, flame}});
    return file.Finish();
}
