// The flying creatures: the player's jet-pack pterosaur (quor) and the swamp's ramphor. Both face -Z with
// wings along X; a wing is a thin membrane from the arm bones back to the body, each vertex following the
// nearest arm bone, so a wing beat bends the membrane with the arm.
//
// Player joints: 0 pelvis, 1 chest, 2-5 tail, 6-8 right leg, 9-11 left leg, 12-16 right wing (16 its tip),
// 17-21 left wing (21 its tip), 22 neck, 23 head, 24 jaw, 25 crest, 26 left talon, 27 right talon (holds
// the egg). The body's line segments for collisions run from the head (23) to the tail tip (5) and from
// wing tip to wing tip (16 to 21).
#include "DataForge/Content/SkeletonKit.h"

#include <cmath>

namespace {

// Joint numbers of one flyer; the wing and leg chains run from the body outward.
struct FlyerJoints
{
    int pelvis, chest, neck, head, jaw, crest;
    std::vector<int> tail;
    int wing[2][5]; // shoulder, upper arm, forearm, hand, tip; [0] on +X
    int leg[2][4];  // thigh, shin, foot, talon; [0] on +X
};

struct FlyerLook
{
    uint32_t skin, membrane, beak, eye;
    float wingReach; // how far the membrane runs past the tip joint
};

// A thin two-sided sheet between a leading edge and a trailing edge, `rows` strips deep.
Mesh Membrane(const std::vector<Vec3>& leading, const std::vector<Vec3>& trailing, int rows, float thickness)
{
    Mesh mesh;
    uint32_t columns = uint32_t(leading.size());
    for (int side = 0; side < 2; side++) {
        uint32_t base = uint32_t(mesh.points.size());
        float y = side == 0 ? thickness : -thickness;
        for (int r = 0; r <= rows; r++) {
            float t = float(r) / float(rows);
            for (uint32_t c = 0; c < columns; c++) {
                Vec3 p = leading[c] + (trailing[c] - leading[c]) * t;
                p.y += y * (1 - t * 0.7f);
                mesh.points.push_back(p);
                mesh.normals.push_back({0, side == 0 ? 1.0f : -1.0f, 0});
                mesh.uvs.push_back({p.x / 40.0f + p.z / 80.0f, side == 0 ? 0.2f + 0.1f * t : 0.9f});
            }
        }
        for (int r = 0; r < rows; r++)
            for (uint32_t c = 0; c + 1 < columns; c++) {
                uint32_t p = base + uint32_t(r) * columns + c;
                uint32_t q = p + columns;
                if (side == 0) {
                    mesh.triangles.insert(mesh.triangles.end(), {p, p + 1, q, p + 1, q + 1, q});
                } else {
                    mesh.triangles.insert(mesh.triangles.end(), {p, q, p + 1, p + 1, q, q + 1});
                }
            }
    }
    // Wound for +Y on the top sheet: flip if the leading edge runs the other way along X.
    Vec3 a = leading.front(), b = leading.back(), c = trailing.front();
    if (Cross(b - a, c - a).y < 0)
        FlipWinding(mesh);
    return mesh;
}

void BuildFlyerBody(CreatureBuilder& c, const FlyerJoints& j, const FlyerLook& look, float size)
{
    // Body and tail.
    Vec3 pelvis = c.Rest(j.pelvis), chest = c.Rest(j.chest);
    Mesh body = Ellipsoid({7.5f * size, 7 * size, Length(chest - pelvis) * 0.75f + 6 * size}, 14, 9);
    Translate(body, (pelvis + chest) * 0.5f + Vec3{0, 0.5f * size, 0});
    c.Part(look.skin, body, {j.pelvis, j.chest}, true);

    std::vector<int> tailChain = {j.pelvis};
    tailChain.insert(tailChain.end(), j.tail.begin(), j.tail.end());
    std::vector<float> tailRadii;
    for (size_t k = 0; k < tailChain.size(); k++)
        tailRadii.push_back(size * (4.0f - 3.6f * float(k) / float(tailChain.size() - 1)));
    c.Part(look.skin, c.ChainTube(tailChain, tailRadii, 8, 2), tailChain, true);
    Mesh vane = Ellipsoid({4 * size, 0.6f * size, 5 * size}, 8, 4); // the tail's steering vane
    Translate(vane, c.Rest(j.tail.back()));
    c.Part(look.membrane, vane, {j.tail.back()});

    // Neck and head: a long beak, a lower jaw and a crest swept back.
    c.Part(look.skin, c.ChainTube({j.chest, j.neck, j.head}, {5 * size, 3.6f * size, 3.4f * size}, 8, 3),
           {j.chest, j.neck, j.head}, true);
    Vec3 head = c.Rest(j.head);
    Mesh skull = Ellipsoid({3.8f * size, 4 * size, 6 * size}, 10, 7);
    Translate(skull, head);
    c.Part(look.skin, skull, {j.head}, true);
    Mesh beak = Cylinder(2.6f * size, 0.3f * size, 17 * size, 8, false);
    RotateX(beak, -kPi / 2); // along -Z
    Translate(beak, head + Vec3{0, 0.6f * size, -3 * size});
    c.Part(look.beak, beak, {j.head});
    Mesh jaw = Cylinder(2 * size, 0.25f * size, 13 * size, 8, false);
    Scale(jaw, {1, 1, 0.6f});
    RotateX(jaw, -kPi / 2);
    Translate(jaw, c.Rest(j.jaw) + Vec3{0, 0, -1 * size});
    c.Part(look.beak, jaw, {j.jaw});
    Mesh crest = Cylinder(2.6f * size, 0.2f * size, 13 * size, 6, false);
    Scale(crest, {0.35f, 1, 1});
    RotateX(crest, -2.2f); // up and back
    Translate(crest, c.Rest(j.crest));
    c.Part(look.membrane, crest, {j.crest});
    for (float side : {-1.0f, 1.0f}) {
        Mesh eye = Sphere(1.1f * size, 8, 5);
        Translate(eye, head + Vec3{side * 3.2f * size, 1.3f * size, -1.5f * size});
        c.Part(look.eye, eye, {j.head});
    }

    for (int s = 0; s < 2; s++) {
        float side = s == 0 ? 1.0f : -1.0f;
        // Arm bones: the membrane's leading edge.
        std::vector<int> arm(j.wing[s], j.wing[s] + 5);
        c.Part(look.skin,
               c.ChainTube(arm, {2.6f * size, 2.2f * size, 1.7f * size, 1.2f * size, 0.8f * size}, 6, 2), arm,
               true);
        Vec3 tip = c.Rest(arm[4]);
        Vec3 reach = tip + Vec3{side * look.wingReach, 0, 3};
        Mesh finger = Tube({tip, reach}, {0.8f * size, 0.2f * size}, 5);
        c.Part(look.skin, finger, {arm[4]}, true);

        std::vector<Vec3> leading, trailing;
        for (int k = 0; k < 5; k++)
            leading.push_back(c.Rest(arm[k]));
        leading.push_back(reach);
        Vec3 hip = c.Rest(j.leg[s][0]);
        for (size_t k = 0; k < leading.size(); k++) {
            float t = float(k) / float(leading.size() - 1);
            Vec3 back = hip + (reach - hip) * t;
            back.z += 14 * size * DetSin(kPi * t); // the trailing edge bows back between body and tip
            trailing.push_back(back);
        }
        std::vector<int> wingBones = arm;
        wingBones.push_back(j.pelvis);
        c.Part(look.membrane, Membrane(leading, trailing, 4, 0.5f * size), wingBones);

        // Legs with a three-toed foot.
        std::vector<int> leg(j.leg[s], j.leg[s] + 4);
        c.Part(look.skin, c.ChainTube(leg, {2.6f * size, 1.8f * size, 1.2f * size, 0.8f * size}, 6, 2), leg,
               true);
        for (float toe : {-0.5f, 0.0f, 0.5f}) {
            Vec3 from = c.Rest(leg[3]);
            Mesh claw = Tube({from, from + Vec3{toe * 3 * size, -1.5f * size, -4 * size}},
                             {0.7f * size, 0.15f * size}, 4);
            c.Part(look.beak, claw, {leg[3]});
        }
    }
}

// Flight poses shared by both flyers. `flap` is the wing-beat amplitude (radians at the shoulder), `bank`
// the roll (positive: right wing down), `legsForward` swings the legs ahead, `headUp` pitches the head.
struct FlightStyle
{
    float flap = 0.55f;
    float bank = 0;
    float pitch = 0;
    float legsForward = 0;
    float headUp = 0;
    float tuck = 0;  // folds the wings in (0..1)
    float spin = 0;  // whole turns of the body about Z over the animation
    float flail = 0; // adds fast irregular beats
};

void FlightPose(const FlyerJoints& j, const FlightStyle& s, float p, CreaturePose& pose)
{
    float beat = Wave(p);
    float lag = Wave(p, -0.12f);
    float jitter = s.flail * Wave(p * 3, 0.3f);
    pose.rotation[size_t(j.pelvis)] = {s.pitch + 0.05f * Wave(p, 0.25f), 0, -s.bank + 2 * kPi * s.spin * p};
    pose.offset[size_t(j.pelvis)] = {0, -2.0f * beat * (s.flap + 0.1f), 0};
    for (int w = 0; w < 2; w++) {
        float side = w == 0 ? 1.0f : -1.0f;
        float shoulder = s.flap * beat + jitter;
        pose.rotation[size_t(j.wing[w][0])] = {0, side * s.tuck * 0.9f, side * (shoulder + 0.08f)};
        pose.rotation[size_t(j.wing[w][1])] = {0, side * s.tuck * 0.6f, side * 0.3f * s.flap * lag};
        pose.rotation[size_t(j.wing[w][2])] = {0, -side * s.tuck * 1.4f, side * 0.4f * s.flap * lag};
        pose.rotation[size_t(j.wing[w][3])] = {0, side * s.tuck * 0.8f,
                                               side * 0.35f * s.flap * Wave(p, -0.2f)};
        for (int k = 0; k < 3; k++)
            pose.rotation[size_t(j.leg[w][k])] = {(k == 0 ? 0.4f + s.legsForward : -0.2f) + 0.05f * lag, 0,
                                                  0};
    }
    for (size_t k = 0; k < j.tail.size(); k++)
        pose.rotation[size_t(j.tail[k])] = {0.08f * Wave(p, -0.1f * float(k + 1)), 0.05f * s.bank * float(k),
                                            0};
    pose.rotation[size_t(j.neck)] = {-0.1f * beat - s.pitch * 0.5f, 0, 0.3f * s.bank};
    pose.rotation[size_t(j.head)] = {s.headUp + 0.06f * lag, 0, 0};
    pose.rotation[size_t(j.jaw)] = {0.05f + 0.05f * Wave(p, 0.4f), 0, 0};
}

void Flight(CreatureBuilder& c, const FlyerJoints& j, const char* name, int ticks, const FlightStyle& s,
            AnimEnd end = AnimEnd::Loop)
{
    c.Animation(name, ticks, 16, end, [&j, s](float p, CreaturePose& pose) { FlightPose(j, s, p, pose); });
}

// Adds one mirrored arm (shoulder to tip) and one leg (thigh to talon) per side.
void AddFlyerLimbs(CreatureBuilder& c, FlyerJoints& j, int s, float size, float span)
{
    float x = s == 0 ? 1.0f : -1.0f;
    const char* names[2][5] = {{"r shoulder", "r upper arm", "r forearm", "r hand", "r wing tip"},
                               {"l shoulder", "l upper arm", "l forearm", "l hand", "l wing tip"}};
    Vec3 chest = c.Rest(j.chest);
    Vec3 places[5] = {{6 * size, 4 * size, chest.z},
                      {14 * size, 4.5f * size, chest.z},
                      {span * 0.45f, 4 * size, chest.z + 2 * size},
                      {span * 0.72f, 3.5f * size, chest.z + 4 * size},
                      {span, 3 * size, chest.z + 6 * size}};
    int parent = j.chest;
    for (int k = 0; k < 5; k++) {
        parent = c.Joint(names[s][k], parent, {x * places[k].x, places[k].y, places[k].z});
        j.wing[s][k] = parent;
    }
}

void AddFlyerLeg(CreatureBuilder& c, FlyerJoints& j, int s, float size)
{
    float x = s == 0 ? 1.0f : -1.0f;
    Vec3 pelvis = c.Rest(j.pelvis);
    j.leg[s][0] =
        c.Joint(s == 0 ? "r thigh" : "l thigh", j.pelvis, pelvis + Vec3{x * 5 * size, -3 * size, -1 * size});
    j.leg[s][1] =
        c.Joint(s == 0 ? "r shin" : "l shin", j.leg[s][0], pelvis + Vec3{x * 6 * size, -10 * size, 2 * size});
    j.leg[s][2] =
        c.Joint(s == 0 ? "r foot" : "l foot", j.leg[s][1], pelvis + Vec3{x * 6 * size, -16 * size, 5 * size});
}

} // namespace

void BuildPterosaur(const std::filesystem::path& folder)
{
    CreatureBuilder c("quor.tq3d");
    FlyerLook look;
    look.skin = c.Materials().Textured("quor skin", [] {
        return CreatureSkin(256, {0.16f, 0.42f, 0.36f}, {0.93f, 0.82f, 0.58f}, {0.75f, 0.35f, 0.12f}, 20,
                            301);
    });
    look.membrane = c.Materials().Colored("quor membrane", {0.62f, 0.3f, 0.16f});
    look.beak = c.Materials().Colored("quor beak", {0.92f, 0.74f, 0.22f});
    look.eye = c.Materials().Colored("quor eye", {0.05f, 0.05f, 0.08f});
    look.wingReach = 35;

    FlyerJoints j;
    j.pelvis = c.Joint("pelvis", -1, {0, 0, 6});
    j.chest = c.Joint("chest", j.pelvis, {0, 2, -12});
    for (int k = 0; k < 4; k++)
        j.tail.push_back(
            c.Joint("tail", k == 0 ? j.pelvis : j.tail.back(), {0, 0.5f - 0.3f * k, 16 + 10.0f * k}));
    AddFlyerLeg(c, j, 0, 1);
    AddFlyerLeg(c, j, 1, 1);
    AddFlyerLimbs(c, j, 0, 1, 62);
    AddFlyerLimbs(c, j, 1, 1, 62);
    j.neck = c.Joint("neck", j.chest, {0, 6, -22});
    j.head = c.Joint("head", j.neck, {0, 10, -32});
    j.jaw = c.Joint("jaw", j.head, {0, 8, -34});
    j.crest = c.Joint("crest", j.head, {0, 13, -30});
    j.leg[1][3] = c.Joint("l talon", j.leg[1][2], {-6, -18, 5});
    j.leg[0][3] = c.Joint("r talon", j.leg[0][2], {6, -18, 5}); // 27: holds the egg
    BuildFlyerBody(c, j, look, 1);

    FlightStyle level;
    Flight(c, j, "level flight", 24, level);
    FlightStyle right = level;
    right.bank = 0.55f;
    right.flap = 0.35f;
    Flight(c, j, "bank right", 24, right);
    FlightStyle left = right;
    left.bank = -0.55f;
    Flight(c, j, "bank left", 24, left);
    FlightStyle falling;
    falling.flap = 0.9f;
    falling.flail = 0.35f;
    falling.pitch = -0.7f;
    falling.headUp = 0.5f;
    Flight(c, j, "falling", 12, falling);
    FlightStyle arriving;
    arriving.flap = 0.25f;
    arriving.tuck = 0.6f;
    Flight(c, j, "arriving", 30, arriving);
    FlightStyle reaching;
    reaching.legsForward = -1.1f;
    reaching.headUp = -0.2f;
    reaching.flap = 0.45f;
    Flight(c, j, "reach", 20, reaching);
    FlightStyle carrying;
    carrying.flap = 0.7f;
    carrying.legsForward = -0.5f;
    Flight(c, j, "carry level", 20, carrying);
    FlightStyle carryRight = carrying;
    carryRight.bank = 0.5f;
    Flight(c, j, "carry bank right", 20, carryRight);
    FlightStyle carryLeft = carrying;
    carryLeft.bank = -0.5f;
    Flight(c, j, "carry bank left", 20, carryLeft);
    FlightStyle drawnIn;
    drawnIn.flap = 0.15f;
    drawnIn.tuck = 1;
    drawnIn.spin = 1;
    Flight(c, j, "into wormhole", 30, drawnIn);
    c.Animation("flinch", 15, 15, AnimEnd::Stop, [&j](float p, CreaturePose& pose) {
        FlightStyle hurt;
        float jolt = DetSin(kPi * p); // out and back
        hurt.flap = 0;
        hurt.headUp = 0.7f * jolt;
        hurt.pitch = 0.3f * jolt;
        FlightPose(j, hurt, 0, pose);
        for (int w = 0; w < 2; w++)
            pose.rotation[size_t(j.wing[w][0])].z = (w == 0 ? 1.0f : -1.0f) * (0.08f + 0.9f * jolt);
    });
    FlightStyle spinning;
    spinning.flail = 0.5f;
    spinning.spin = 1;
    spinning.flap = 0.6f;
    Flight(c, j, "dust devil", 20, spinning);
    FlightStyle glide;
    glide.flap = 0.2f;
    Flight(c, j, "glide", 40, glide);
    FlightStyle soar;
    soar.flap = 0.4f;
    soar.headUp = 0.1f;
    Flight(c, j, "soar", 30, soar);

    WriteCreature(c, folder, "quor");
}

void BuildRamphor(const std::filesystem::path& folder)
{
    CreatureBuilder c("ramphor.tq3d");
    FlyerLook look;
    look.skin = c.Materials().Colored("ramphor skin", {0.35f, 0.3f, 0.22f});
    look.membrane = c.Materials().Colored("ramphor membrane", {0.45f, 0.12f, 0.1f});
    look.beak = c.Materials().Colored("ramphor teeth", {0.85f, 0.82f, 0.7f});
    look.eye = c.Materials().Colored("ramphor eye", {0.9f, 0.75f, 0.1f});
    look.wingReach = 28;

    // 0 pelvis, 1 chest, 2 neck, 3 head (its bite is the attack segment to the tail tip, 31), 4 jaw, 5 crest,
    // 6-9 and 10-13 the legs, 14-18 and 19-23 the wings, 24-31 a long tail.
    FlyerJoints j;
    j.pelvis = c.Joint("pelvis", -1, {0, 0, 6});
    j.chest = c.Joint("chest", j.pelvis, {0, 2, -10});
    j.neck = c.Joint("neck", j.chest, {0, 5, -18});
    j.head = c.Joint("head", j.neck, {0, 7, -27});
    j.jaw = c.Joint("jaw", j.head, {0, 5, -29});
    j.crest = c.Joint("crest", j.head, {0, 10, -25});
    for (int s = 0; s < 2; s++) {
        AddFlyerLeg(c, j, s, 0.8f);
        j.leg[s][3] = c.Joint("talon", j.leg[s][2], c.Rest(j.leg[s][2]) + Vec3{0, -2, -4});
    }
    AddFlyerLimbs(c, j, 0, 0.8f, 50);
    AddFlyerLimbs(c, j, 1, 0.8f, 50);
    for (int k = 0; k < 8; k++)
        j.tail.push_back(c.Joint("tail", k == 0 ? j.pelvis : j.tail.back(), {0, 0.3f, 14 + 8.0f * k}));
    BuildFlyerBody(c, j, look, 0.8f);

    FlightStyle glide;
    glide.flap = 0.15f;
    Flight(c, j, "glide", 40, glide);
    FlightStyle fly;
    fly.flap = 0.65f;
    Flight(c, j, "fly", 18, fly);
    c.Animation("hurt", 15, 15, AnimEnd::Stop, [&j](float p, CreaturePose& pose) {
        FlightStyle hurt;
        float jolt = DetSin(kPi * p);
        hurt.flap = 0;
        hurt.headUp = 0.6f * jolt;
        hurt.bank = 0.5f * jolt;
        FlightPose(j, hurt, 0, pose);
    });
    FlightStyle dying;
    dying.flap = 0.9f;
    dying.flail = 0.5f;
    dying.pitch = -0.9f;
    dying.spin = 1;
    Flight(c, j, "dying fall", 20, dying);
    c.Animation("attack", 20, 16, AnimEnd::Loop, [&j](float p, CreaturePose& pose) {
        FlightStyle attack;
        attack.flap = 0.5f;
        attack.legsForward = -1.2f * (0.5f + 0.5f * Wave(p, 0.25f));
        attack.headUp = -0.3f;
        FlightPose(j, attack, p, pose);
        pose.rotation[size_t(j.jaw)].x = 0.5f * (0.5f + 0.5f * Wave(p * 2));
    });

    WriteCreature(c, folder, "ramphor");
}
