// The creatures that walk: the raptor (a fast biped with a sickle claw) and the brach (a long-necked
// quadruped). Both stand with their feet at y = 0 and face -Z.
//
// Raptor joints: 0 pelvis, 1 chest, 2 neck, 3 head (its bite and the sickle claw 22 make the pounce
// segment), 4 jaw, 5-9 tail, 10-13 right leg, 14-17 left leg, 18-19 right arm, 20-21 left arm, 22 the right
// foot's sickle claw.
#include "DataForge/Content/SkeletonKit.h"

#include <algorithm>

namespace {

struct Leg
{
    int thigh, shin, foot, toe;
};

// A stride: the leg swings through `swing` radians at the hip with the knee and ankle folding against it.
void Stride(CreaturePose& pose, const Leg& leg, float phase, float swing, float lift)
{
    float s = Wave(phase);
    float up = std::max(0.0f, Wave(phase, 0.25f)); // the foot lifts while it swings forward
    pose.rotation[size_t(leg.thigh)].x = swing * s;
    pose.rotation[size_t(leg.shin)].x = -lift * up - 0.1f;
    pose.rotation[size_t(leg.foot)].x = lift * 0.8f * up;
    pose.rotation[size_t(leg.toe)].x = -0.3f * swing * s;
}

struct RaptorJoints
{
    int pelvis, chest, neck, head, jaw;
    int tail[5];
    Leg legs[2];
    int arms[2][2];
    int claw;
};

struct RaptorStyle
{
    float swing = 0.7f;
    float lift = 0.9f;
    float lean = 0.12f; // body pitched forward
    float turn = 0;     // positive: turning left
    float headDown = 0;
};

void RaptorRun(const RaptorJoints& j, const RaptorStyle& s, float p, CreaturePose& pose)
{
    Stride(pose, j.legs[0], p, s.swing, s.lift);
    Stride(pose, j.legs[1], p + 0.5f, s.swing, s.lift);
    pose.rotation[size_t(j.pelvis)] = {s.lean + 0.04f * Wave(p * 2), 0.3f * s.turn, -0.25f * s.turn};
    pose.offset[size_t(j.pelvis)] = {0, 2.5f * Wave(p * 2, 0.25f), 0};
    for (int k = 0; k < 5; k++)
        pose.rotation[size_t(j.tail[k])] = {-0.04f * Wave(p * 2, -0.1f * k),
                                            0.08f * Wave(p, -0.1f * k) - 0.12f * s.turn, 0};
    pose.rotation[size_t(j.neck)] = {-s.lean + s.headDown - 0.05f * Wave(p * 2), 0.2f * s.turn, 0};
    pose.rotation[size_t(j.head)] = {-0.05f * Wave(p * 2, 0.2f), 0.15f * s.turn, 0};
    pose.rotation[size_t(j.jaw)] = {0.15f + 0.1f * Wave(p * 2), 0, 0};
    for (int a = 0; a < 2; a++) {
        pose.rotation[size_t(j.arms[a][0])] = {0.3f * Wave(p + 0.5f * a), 0, 0};
        pose.rotation[size_t(j.arms[a][1])] = {-0.6f, 0, 0};
    }
}

} // namespace

void BuildRaptor(const std::filesystem::path& folder)
{
    CreatureBuilder c("raptor.tq3d");
    uint32_t skin = c.Materials().Textured("raptor skin", [] {
        return CreatureSkin(128, {0.42f, 0.36f, 0.14f}, {0.85f, 0.8f, 0.6f}, {0.2f, 0.12f, 0.05f}, 24, 311);
    });
    uint32_t claws = c.Materials().Colored("raptor claws", {0.9f, 0.88f, 0.8f});
    uint32_t eyes = c.Materials().Colored("raptor eyes", {0.95f, 0.6f, 0.05f});

    RaptorJoints j;
    j.pelvis = c.Joint("pelvis", -1, {0, 40, 0});
    j.chest = c.Joint("chest", j.pelvis, {0, 44, -18});
    j.neck = c.Joint("neck", j.chest, {0, 50, -27});
    j.head = c.Joint("head", j.neck, {0, 58, -35});
    j.jaw = c.Joint("jaw", j.head, {0, 55, -39});
    for (int k = 0; k < 5; k++)
        j.tail[k] = c.Joint("tail", k == 0 ? j.pelvis : j.tail[k - 1], {0, 42 - 0.8f * k, 13 + 13.0f * k});
    for (int s = 0; s < 2; s++) {
        float x = s == 0 ? 7.0f : -7.0f;
        Leg& leg = j.legs[s];
        leg.thigh = c.Joint("thigh", j.pelvis, {x, 38, 0});
        leg.shin = c.Joint("shin", leg.thigh, {x, 24, -6});
        leg.foot = c.Joint("foot", leg.shin, {x, 10, 5});
        leg.toe = c.Joint("toe", leg.foot, {x, 1.5f, -2});
    }
    for (int s = 0; s < 2; s++) {
        float x = s == 0 ? 6.0f : -6.0f;
        j.arms[s][0] = c.Joint("upper arm", j.chest, {x, 43, -21});
        j.arms[s][1] = c.Joint("forearm", j.arms[s][0], {x * 1.2f, 36, -25});
    }
    j.claw = c.Joint("sickle claw", j.legs[0].foot, {7, 4, -3});

    // Body, neck and head as one tube from the tail tip to the snout.
    std::vector<int> spine = {j.tail[4], j.tail[3], j.tail[2], j.tail[1], j.tail[0],
                              j.pelvis,  j.chest,   j.neck,    j.head};
    c.Part(skin, c.ChainTube(spine, {0.6f, 1.8f, 3.2f, 4.6f, 6.5f, 9, 8, 4.2f, 4.5f}, 10, 2), spine, true);
    Mesh belly = Ellipsoid({8.5f, 9.5f, 16}, 12, 8);
    Translate(belly, {0, 41, -9});
    c.Part(skin, belly, {j.pelvis, j.chest}, true);
    Mesh snout = Cylinder(4.3f, 1.5f, 13, 10, false);
    RotateX(snout, -kPi / 2);
    Translate(snout, {0, 59, -36});
    c.Part(skin, snout, {j.head}, true);
    Mesh jaw = Cylinder(3, 1, 11, 8, false);
    Scale(jaw, {1, 0.6f, 1});
    RotateX(jaw, -kPi / 2);
    Translate(jaw, {0, 55.5f, -37});
    c.Part(skin, jaw, {j.jaw}, true);
    for (float x : {-3.3f, 3.3f}) {
        Mesh eye = Sphere(1.2f, 8, 5);
        Translate(eye, {x, 60.5f, -38});
        c.Part(eyes, eye, {j.head});
        Mesh tooth = Cylinder(0.5f, 0, 2, 4, false);
        RotateX(tooth, kPi);
        Translate(tooth, {x * 0.6f, 57.5f, -45});
        c.Part(claws, tooth, {j.head});
    }
    for (int s = 0; s < 2; s++) {
        const Leg& leg = j.legs[s];
        std::vector<int> chain = {leg.thigh, leg.shin, leg.foot, leg.toe};
        c.Part(skin, c.ChainTube(chain, {5.5f, 3.2f, 1.8f, 1.3f}, 8, 3), chain, true);
        for (float toe : {-1.0f, 0.0f, 1.0f}) {
            Vec3 from = c.Rest(leg.toe);
            Mesh digit = Tube({from, from + Vec3{toe * 2.5f, -1, -7}}, {1.1f, 0.3f}, 5);
            c.Part(claws, digit, {leg.toe});
        }
        std::vector<int> arm = {j.arms[s][0], j.arms[s][1]};
        Vec3 hand = c.Rest(arm[1]) + Vec3{0, -2, -5};
        c.Part(skin, Tube({c.Rest(arm[0]), c.Rest(arm[1]), hand}, {2, 1.3f, 0.6f}, 6), arm, true);
    }
    Mesh sickle = Tube({c.Rest(j.claw), c.Rest(j.claw) + Vec3{0, 2, -3}, c.Rest(j.claw) + Vec3{0, -1, -6}},
                       {1.2f, 0.8f, 0.1f}, 5);
    c.Part(claws, sickle, {j.claw});

    // At animation speed 1 the raptor runs about 1100 units a second: a 10-tick cycle of two strides
    // covers about 150 model units at its scale of 2.5.
    RaptorStyle run;
    c.Animation("run", 10, 10, AnimEnd::Loop,
                [&](float p, CreaturePose& pose) { RaptorRun(j, run, p, pose); });
    c.Animation("wait", 60, 12, AnimEnd::Loop, [&](float p, CreaturePose& pose) {
        RaptorStyle idle;
        RaptorRun(j, idle, 0.25f, pose);
        for (int s = 0; s < 2; s++)
            Stride(pose, j.legs[s], 0.25f, 0, 0);
        pose.offset[size_t(j.pelvis)] = {0, 0.6f * Wave(p * 2), 0};
        pose.rotation[size_t(j.neck)] = {-0.1f, 0.4f * Wave(p), 0};
        pose.rotation[size_t(j.head)] = {0.1f * Wave(p * 2), 0.3f * Wave(p, 0.1f), 0};
        for (int k = 0; k < 5; k++)
            pose.rotation[size_t(j.tail[k])].y = 0.12f * Wave(p, -0.08f * k);
    });
    c.Animation("dead", 20, 10, AnimEnd::Stop, [&](float p, CreaturePose& pose) {
        RaptorStyle fall;
        RaptorRun(j, fall, 0.25f, pose);
        float t = p * p;
        pose.rotation[size_t(j.pelvis)] = {0.1f, 0, 1.45f * t};
        pose.offset[size_t(j.pelvis)] = {0, -31 * t, 0};
        pose.rotation[size_t(j.neck)].x = 0.5f * t;
        pose.rotation[size_t(j.jaw)].x = 0.5f * t;
        for (int s = 0; s < 2; s++)
            pose.rotation[size_t(j.legs[s].thigh)].x = (s == 0 ? 0.6f : -0.3f) * t;
    });
    c.Animation("stunned", 30, 15, AnimEnd::Loop, [&](float p, CreaturePose& pose) {
        RaptorStyle dizzy;
        RaptorRun(j, dizzy, 0.25f, pose);
        for (int s = 0; s < 2; s++)
            Stride(pose, j.legs[s], 0.25f, 0, 0);
        pose.rotation[size_t(j.pelvis)].z = 0.15f * Wave(p);
        pose.rotation[size_t(j.neck)] = {0.3f, 0.5f * Wave(p, 0.2f), 0.3f * Wave(p)};
        pose.rotation[size_t(j.head)].z = 0.4f * Wave(p, 0.3f);
    });
    c.Animation("pounce", 20, 10, AnimEnd::Loop, [&](float p, CreaturePose& pose) {
        RaptorStyle leap;
        RaptorRun(j, leap, 0.25f, pose);
        float crouch = Wave(p, 0.25f) * 0.5f + 0.5f;
        for (int s = 0; s < 2; s++) {
            pose.rotation[size_t(j.legs[s].thigh)].x = -0.9f * crouch;
            pose.rotation[size_t(j.legs[s].shin)].x = -1.2f * crouch;
            pose.rotation[size_t(j.legs[s].foot)].x = 1.1f * crouch;
            pose.rotation[size_t(j.arms[s][0])].x = -1.1f * crouch;
        }
        pose.rotation[size_t(j.claw)].x = 0.8f * crouch;
        pose.rotation[size_t(j.jaw)].x = 0.6f * crouch;
        pose.rotation[size_t(j.pelvis)].x = 0.3f * crouch;
    });
    RaptorStyle sprint;
    sprint.swing = 0.85f;
    sprint.lean = 0.22f;
    sprint.headDown = 0.1f;
    c.Animation("run fast", 10, 10, AnimEnd::Loop,
                [&](float p, CreaturePose& pose) { RaptorRun(j, sprint, p, pose); });
    RaptorStyle lope;
    lope.swing = 0.6f;
    lope.lift = 1.1f;
    c.Animation("run high", 10, 10, AnimEnd::Loop,
                [&](float p, CreaturePose& pose) { RaptorRun(j, lope, p, pose); });
    RaptorStyle left;
    left.turn = 1;
    c.Animation("run left", 10, 10, AnimEnd::Loop,
                [&](float p, CreaturePose& pose) { RaptorRun(j, left, p, pose); });
    RaptorStyle right;
    right.turn = -1;
    c.Animation("run right", 10, 10, AnimEnd::Loop,
                [&](float p, CreaturePose& pose) { RaptorRun(j, right, p, pose); });

    WriteCreature(c, folder, "raptor");
}

void BuildBrach(const std::filesystem::path& folder)
{
    CreatureBuilder c("brach.tq3d");
    uint32_t skin = c.Materials().Textured("brach skin", [] {
        return CreatureSkin(128, {0.36f, 0.4f, 0.45f}, {0.7f, 0.68f, 0.6f}, {0.25f, 0.3f, 0.35f}, 14, 321);
    });
    uint32_t nails = c.Materials().Colored("brach nails", {0.25f, 0.22f, 0.2f});
    uint32_t eyes = c.Materials().Colored("brach eyes", {0.05f, 0.05f, 0.05f});

    int body = c.Joint("body", -1, {0, 62, 8});
    int chest = c.Joint("chest", body, {0, 66, -22});
    std::vector<int> neck;
    for (int k = 0; k < 5; k++) {
        float t = float(k + 1) / 5;
        neck.push_back(c.Joint("neck", k == 0 ? chest : neck.back(), {0, 70 + 70 * t, -30 - 42 * t}));
    }
    int head = c.Joint("head", neck.back(), {0, 146, -80});
    std::vector<int> tail;
    for (int k = 0; k < 5; k++)
        tail.push_back(c.Joint("tail", k == 0 ? body : tail.back(), {0, 58 - 5.0f * k, 30 + 18.0f * k}));
    Leg legs[4];
    const Vec3 hips[4] = {{12, 58, 12}, {-12, 58, 12}, {12, 60, -22}, {-12, 60, -22}};
    for (int l = 0; l < 4; l++) {
        Vec3 h = hips[l];
        int parent = l < 2 ? body : chest;
        legs[l].thigh = c.Joint("upper leg", parent, h);
        legs[l].shin = c.Joint("lower leg", legs[l].thigh, {h.x, 32, h.z + (l < 2 ? -2.0f : 2.0f)});
        legs[l].foot = c.Joint("foot", legs[l].shin, {h.x, 6, h.z});
        legs[l].toe = c.Joint("toe", legs[l].foot, {h.x, 1, h.z - 3});
    }

    std::vector<int> spine = {tail[4], tail[3], tail[2], tail[1], tail[0], body, chest};
    spine.insert(spine.end(), neck.begin(), neck.end());
    spine.push_back(head);
    std::vector<float> radii = {1, 3, 6, 10, 15, 22, 20, 11, 8, 6.5f, 5.5f, 5, 5.5f};
    c.Part(skin, c.ChainTube(spine, radii, 12, 2), spine, true);
    Mesh belly = Ellipsoid({20, 19, 32}, 14, 10);
    Translate(belly, {0, 60, -6});
    c.Part(skin, belly, {body, chest}, true);
    Mesh snout = Ellipsoid({5, 4, 8}, 10, 6);
    Translate(snout, {0, 145, -86});
    c.Part(skin, snout, {head}, true);
    for (float x : {-4.5f, 4.5f}) {
        Mesh eye = Sphere(1.2f, 8, 5);
        Translate(eye, {x, 148, -82});
        c.Part(eyes, eye, {head});
    }
    for (const Leg& leg : legs) {
        std::vector<int> chain = {leg.thigh, leg.shin, leg.foot, leg.toe};
        c.Part(skin, c.ChainTube(chain, {9, 7, 6.5f, 6}, 10, 2), chain, true);
        Mesh nail = Cylinder(6.5f, 6, 2, 10, true);
        Translate(nail, c.Rest(leg.toe) + Vec3{0, -1, 0});
        c.Part(nails, nail, {leg.toe});
    }

    // A walk moves the legs in the order back left, front left, back right, front right.
    auto walk = [=](float p, float swing, CreaturePose& pose) {
        const float shift[4] = {0, 0.5f, 0.25f, 0.75f};
        for (int l = 0; l < 4; l++) {
            float s = Wave(p, shift[l]);
            pose.rotation[size_t(legs[l].thigh)].x = swing * s;
            pose.rotation[size_t(legs[l].shin)].x = -0.2f * std::max(0.0f, Wave(p, shift[l] + 0.25f));
        }
        pose.offset[size_t(body)].y = 1.2f * Wave(p * 2);
        for (size_t k = 0; k < tail.size(); k++)
            pose.rotation[size_t(tail[k])].y = 0.1f * Wave(p, -0.1f * float(k));
        for (size_t k = 0; k < neck.size(); k++)
            pose.rotation[size_t(neck[k])].y = 0.04f * Wave(p, 0.1f * float(k));
    };
    c.Animation("graze", 60, 12, AnimEnd::Loop, [=](float p, CreaturePose& pose) {
        walk(0, 0, pose);
        // The neck sweeps down to the ground and the head crops side to side.
        const float bend[5] = {0.45f, 0.35f, 0.3f, 0.25f, 0.2f};
        for (size_t k = 0; k < neck.size(); k++)
            pose.rotation[size_t(neck[k])] = {-bend[k] - 0.05f * Wave(p * 2),
                                              0.15f * Wave(p, 0.1f * float(k)), 0};
        pose.rotation[size_t(head)] = {0.6f, 0.3f * Wave(p * 3), 0};
    });
    c.Animation("walk", 40, 16, AnimEnd::Loop, [=](float p, CreaturePose& pose) { walk(p, 0.3f, pose); });
    c.Animation("dead", 30, 10, AnimEnd::Stop, [=](float p, CreaturePose& pose) {
        walk(0, 0, pose);
        float t = p * p;
        pose.rotation[size_t(body)].z = 1.5f * t;
        pose.offset[size_t(body)].y = -42 * t;
        for (size_t k = 0; k < neck.size(); k++)
            pose.rotation[size_t(neck[k])].x = -0.3f * t;
    });
    c.Animation("look around", 60, 12, AnimEnd::Stop, [=](float p, CreaturePose& pose) {
        walk(0, 0, pose);
        float rise = DetSin(kPi * p);
        for (size_t k = 0; k < neck.size(); k++)
            pose.rotation[size_t(neck[k])] = {0.1f * rise, 0.25f * rise * DetSin(2 * kPi * p), 0};
        pose.rotation[size_t(head)] = {-0.2f * rise, 0.3f * Wave(p), 0};
    });
    c.Animation("tail swish", 45, 15, AnimEnd::Stop, [=](float p, CreaturePose& pose) {
        walk(0, 0, pose);
        float amount = DetSin(kPi * p);
        for (size_t k = 0; k < tail.size(); k++)
            pose.rotation[size_t(tail[k])].y = 0.35f * amount * Wave(p * 2, -0.1f * float(k));
        pose.rotation[size_t(head)].z = 0.2f * amount * Wave(p * 3);
    });

    WriteCreature(c, folder, "brach");
}
