// levelintro.tq3d: scenery for the level-intro screen, which the game loads but does not place by
// number: 0 a ringed planet, 1 a floating rock.
#include "DataForge/Content/ModelsFiles.h"

#include "3D/MetaObjects.h"
#include "DataForge/Content/ModelsKit.h"

#include "DataForge/Content/ModelsNature.h"
#include <cmath>

TQ3DFile BuildLevelIntroModels()
{
    ModelFileBuilder file("levelintro.tq3d");
    uint32_t surface = file.Textured("planet", [] {
        return Synthesize(128, 64, [](float u, float v, Rgb& c, float&) {
            float bands = Fbm(u * 2, v * 10, 4, 2, 0, 91);
            c = Mix({0.75f, 0.45f, 0.25f}, {0.95f, 0.85f, 0.6f}, bands);
        });
    });
    uint32_t rings = file.Textured(
        "planet rings",
        [] {
            return Synthesize(8, 64, [](float, float v, Rgb& c, float& a) {
                float stripes = ValueNoise(0, v * 24, 0, 0, 92);
                a = 0.3f + 0.7f * stripes;
                c = Mix({0.55f, 0.5f, 0.45f}, {0.95f, 0.9f, 0.8f}, stripes);
            });
        },
        MO_MATERIAL_FLAG_ALWAYS_BLEND);
    Mesh planet = Sphere(400, 20, 12);
    Mesh disc = Lathe({{520, 0}, {820, 0}}, 32, 1, 1);
    for (size_t i = 0; i < disc.points.size(); i++)
        disc.uvs[i] = {0.5f, (Length(disc.points[i]) - 520) / 300};
    Mesh under = disc;
    FlipWinding(under);
    Append(disc, under);
    RotateZ(disc, 0.35f);
    SmoothNormals(disc);
    file.Add(0, {{planet, surface}, {disc, rings}});

    uint32_t stone = file.Textured("stone", [] { return StoneTexture(128, {0.5f, 0.45f, 0.42f}, 93); });
    Mesh rock = RockMesh(200, {1.3f, 0.7f, 1.1f}, 0.5f, 94);
    file.Add(1, {{rock, stone}});
    return file.Finish();
}
