// The creatures without legs: the wormhole tunnel, the level intro's bonus worm and the swamp worm.
//
// Wormhole joints run from the mouth (0) deeper into the tunnel along -Z, so the open side is +Z of joint 0.
// Swamp-worm joints form a chain along -Z from the tail (0) to the head; the game lays them along a spline.
#include "DataForge/Content/SkeletonKit.h"

#include <cmath>

void BuildWormhole(const std::filesystem::path& folder)
{
    CreatureBuilder c("wormhole.tq3d");
    uint32_t swirl = c.Materials().Textured("wormhole swirl", [] {
        return SwirlTexture(128, {1, 0.9f, 1}, {0.25f, 0.1f, 0.6f}, 331);
    });
    const int rings = 6;
    std::vector<int> chain;
    for (int k = 0; k < rings; k++)
        chain.push_back(c.Joint("ring", k == 0 ? -1 : chain.back(), {0, 0, -32.0f * k}));

    // A horn narrowing into the distance, open at both ends; seen from either side.
    std::vector<Vec2> profile;
    for (int k = 0; k <= 20; k++) {
        float t = float(k) / 20;
        profile.push_back({70 * (1 - t) * (1 - t) + 12, -160 * t});
    }
    Mesh horn = Lathe(profile, 20, 2, 3);
    Mesh inside = horn;
    FlipWinding(inside);
    RotateX(horn, -kPi / 2);
    RotateX(inside, -kPi / 2);
    SmoothNormals(horn, 60);
    SmoothNormals(inside, 60);
    for (Vec3& n : inside.normals)
        n = n * -1;
    Append(horn, inside);
    c.Part(swirl, horn, chain);

    c.Animation("idle", 40, 16, AnimEnd::Loop, [=](float p, CreaturePose& pose) {
        for (int k = 0; k < rings; k++) {
            pose.rotation[size_t(chain[size_t(k)])].z = 0.25f * Wave(p, -0.12f * k);
            pose.rotation[size_t(chain[size_t(k)])].x = 0.04f * Wave(p, 0.25f - 0.1f * k);
        }
    });
    c.Animation("vanish", 30, 10, AnimEnd::Stop, [=](float p, CreaturePose& pose) {
        for (int k = 0; k < rings; k++)
            pose.rotation[size_t(chain[size_t(k)])].z = 1.2f * p;
        pose.scale[size_t(chain[0])] = 1.0f - 0.95f * p * p;
    });
    WriteCreature(c, folder, "wormhole");
}

// A worm as a chain of joints with a head: rings of skin, a darker head with eyes and a mouth.
static std::vector<int> WormBody(CreatureBuilder& c, int joints, Vec3 from, Vec3 step, float radius,
                                 uint32_t skin, uint32_t eyes)
{
    std::vector<int> chain;
    for (int k = 0; k < joints; k++)
        chain.push_back(c.Joint("segment", k == 0 ? -1 : chain.back(), from + step * float(k)));
    std::vector<float> radii;
    for (int k = 0; k < joints; k++) {
        float t = float(k) / float(joints - 1);
        radii.push_back(radius * (0.45f + 0.55f * DetSin(kPi * (0.15f + 0.8f * t))));
    }
    c.Part(skin, c.ChainTube(chain, radii, 10, 3), chain, true);
    Vec3 head = c.Rest(chain.back());
    Mesh cap = Sphere(radii.back() * 1.05f, 10, 6);
    Translate(cap, head);
    c.Part(skin, cap, {chain.back()}, true);
    Mesh tailCap = Sphere(radii.front(), 8, 5);
    Translate(tailCap, c.Rest(chain.front()));
    c.Part(skin, tailCap, {chain.front()}, true);
    Vec3 ahead = Normalize(step);
    Vec3 side = Normalize(Cross(ahead, std::fabs(ahead.y) > 0.9f ? Vec3{0, 0, 1} : Vec3{0, 1, 0}));
    for (float s : {-1.0f, 1.0f}) {
        Mesh eye = Sphere(radii.back() * 0.25f, 8, 5);
        Translate(eye, head + ahead * (radii.back() * 0.7f) + side * (s * radii.back() * 0.55f) +
                           Cross(side, ahead) * (radii.back() * -0.35f));
        c.Part(eyes, eye, {chain.back()});
    }
    return chain;
}

void BuildBonusWorm(const std::filesystem::path& folder)
{
    CreatureBuilder c("bonusworm.tq3d");
    uint32_t skin = c.Materials().Textured("bonusworm skin", [] {
        return CreatureSkin(64, {0.85f, 0.35f, 0.45f}, {1, 0.75f, 0.7f}, {0.6f, 0.15f, 0.3f}, 10, 341);
    });
    uint32_t eyes = c.Materials().Colored("bonusworm eyes", {0.05f, 0.05f, 0.05f});
    // Standing up out of the ground, about 14 units tall (the level intro draws it at scale 26).
    std::vector<int> chain = WormBody(c, 6, {0, 0, 0}, {0, 2.6f, 0}, 1.6f, skin, eyes);
    c.Animation("wiggle", 30, 15, AnimEnd::Loop, [=](float p, CreaturePose& pose) {
        for (size_t k = 1; k < chain.size(); k++) {
            pose.rotation[size_t(chain[k])].z = 0.22f * Wave(p, -0.12f * float(k));
            pose.rotation[size_t(chain[k])].x = 0.12f * Wave(p, 0.25f - 0.1f * float(k));
        }
    });
    WriteCreature(c, folder, "bonusworm");
}

void BuildSwampWorm(const std::filesystem::path& folder)
{
    CreatureBuilder c("worm.tq3d");
    uint32_t skin = c.Materials().Textured("worm skin", [] {
        return CreatureSkin(128, {0.3f, 0.38f, 0.18f}, {0.75f, 0.7f, 0.45f}, {0.12f, 0.15f, 0.05f}, 16, 351);
    });
    uint32_t eyes = c.Materials().Colored("worm eyes", {0.9f, 0.2f, 0.05f});
    std::vector<int> chain = WormBody(c, 12, {0, 0, 0}, {0, 0, -6}, 3.2f, skin, eyes);
    c.Animation("crawl", 30, 15, AnimEnd::Loop, [=](float p, CreaturePose& pose) {
        for (size_t k = 1; k < chain.size(); k++)
            pose.rotation[size_t(chain[k])].y = 0.18f * Wave(p, -0.09f * float(k));
    });
    c.Animation("strike", 20, 10, AnimEnd::Loop, [=](float p, CreaturePose& pose) {
        float rear = DetSin(kPi * p);
        for (size_t k = 1; k < chain.size(); k++) {
            pose.rotation[size_t(chain[k])].x = (k > chain.size() / 2 ? 0.35f : 0.05f) * rear;
            pose.rotation[size_t(chain[k])].y = 0.1f * Wave(p, -0.1f * float(k));
        }
    });
    WriteCreature(c, folder, "worm");
}
