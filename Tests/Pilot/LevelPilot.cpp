// LevelPilot: flies an adventure level from its start to its exit and writes what it did as a play
// script, the fixture of the tests that play a whole level. The pilot runs inside the game's own
// scripted play (the same start, frame step and frame order as a replay of its script): each frame it
// picks a goal (the nearest egg, then an egg wormhole's open side, at last the exit wormhole),
// steers and pitches toward it and boosts over long legs. Its needs are rounded to hundredths before
// they are used, so that the script written holds exactly what was flown.
//
//   LevelPilot OUT.txt [LEVEL] [FRAMES]      (from the build folder, under a display)
//   Quorvel2 --level level1 --script OUT.txt --step 0.05 --frames FRAMES   replays it

#include "Gameplay/Eggs.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/GameShell.h"
#include "System/Input.h"
#include "System/InputHook.h"
#include "System/LevelGlobals.h"
#include "System/ScriptedPlay.h"
#include "Terrain/Terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

static constexpr float kStep = 0.05f;
static constexpr float kCruiseClearance = 650;  // above the highest ground ahead
static constexpr float kClawBelowBody = 70;     // flying this high over an egg puts the claw on it
static constexpr float kDescentDistance = 2200; // the glide down to an egg starts this far out
static constexpr float kBoostDistance = 6000;   // legs longer than this are boosted
static constexpr float kWormholeLead = 700;     // aim this far in front of an egg wormhole's mouth
static constexpr float kUnderExit = 450;        // the exit wormhole draws in a player below its mouth
static constexpr uint16_t kNestItem = 3;
static constexpr uint16_t kWormholeItem = 4;

static std::FILE* gScript;
static int gFrame;
static float gWritten[NUM_CONTROL_NEEDS];

struct Goal
{
    Point3D at;     // where to fly
    float altitude; // the height to hold on the way
};

static float Distance2D(float ax, float az, float bx, float bz)
{
    return std::hypot(ax - bx, az - bz);
}

// The highest ground along the next `reach` units toward (x, z).
static float HighestGroundToward(const Point3D& from, float x, float z, float reach)
{
    float dx = x - from.x, dz = z - from.z, length = std::max(1.0f, std::hypot(dx, dz));
    float highest = TerrainHeightAt(from.x, from.z);
    for (float along = 200; along <= std::min(reach, length); along += 200)
        highest =
            std::max(highest, TerrainHeightAt(from.x + dx / length * along, from.z + dz / length * along));
    return highest;
}

// The nearest egg the player may pick up: one in the object list (in its nest or dropped), else the
// nearest nest not yet emptied whose objects are still out of range.
static bool FindEggGoal(const Point3D& me, Goal* goal)
{
    float best = 1e30f;
    bool found = false;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->ItemTag != ITEM_TAG_EGG || node->CType == INVALID_NODE_FLAG || !node->ChainRoot)
            continue;
        float distance = Distance2D(me.x, me.z, node->Position.x, node->Position.z);
        if (distance < best) {
            best = distance;
            goal->at = node->Position;
            found = true;
        }
    }
    if (found)
        return true;
    for (int32_t i = 0; i < gNumMapItems; i++) {
        const MapItemType& item = gMapItems[i];
        if (item.type != kNestItem || (item.flags & (ITEM_FLAG_SPENT | ITEM_FLAG_ADDED)))
            continue;
        float distance = Distance2D(me.x, me.z, float(item.x), float(item.z));
        if (distance < best) {
            best = distance;
            goal->at = {float(item.x), item.terrainY, float(item.z)};
            found = true;
        }
    }
    return found;
}

// The open side of the nearest egg wormhole: in front of its mouth once its object exists, else over
// the item's place.
static bool FindWormholeGoal(const Point3D& me, Goal* goal)
{
    float best = 1e30f;
    bool found = false;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->ItemTag != ITEM_TAG_EGG_WORMHOLE || node->CType == INVALID_NODE_FLAG || !node->Skeleton)
            continue;
        Point3D mouth, deeper;
        FindJointPosition(node, 0, &mouth);
        FindJointPosition(node, 1, &deeper);
        float dx = deeper.x - mouth.x, dy = deeper.y - mouth.y, dz = deeper.z - mouth.z;
        float length = std::max(1.0f, std::sqrt(dx * dx + dy * dy + dz * dz));
        Point3D front = {mouth.x - dx / length * kWormholeLead, mouth.y - dy / length * kWormholeLead,
                         mouth.z - dz / length * kWormholeLead};
        float distance = Distance2D(me.x, me.z, front.x, front.z);
        if (distance < best) {
            best = distance;
            goal->at = front;
            goal->altitude = front.y;
            found = true;
        }
    }
    if (found)
        return true;
    for (int32_t i = 0; i < gNumMapItems; i++) {
        const MapItemType& item = gMapItems[i];
        if (item.type != kWormholeItem)
            continue;
        float distance = Distance2D(me.x, me.z, float(item.x), float(item.z));
        if (distance < best) {
            best = distance;
            goal->at = {float(item.x), item.terrainY, float(item.z)};
            goal->altitude = -1;
            found = true;
        }
    }
    return found;
}

static bool ChooseGoal(const Point3D& me, Goal* goal)
{
    goal->altitude = -1;
    if (gExitWormhole) {
        goal->at = gExitWormhole->Position;
        goal->altitude = gExitWormhole->Position.y - kUnderExit;
        return true;
    }
    if (gPlayers[0].carriedEgg)
        return FindWormholeGoal(me, goal);
    if (!FindEggGoal(me, goal))
        return false;
    if (Distance2D(me.x, me.z, goal->at.x, goal->at.z) < kDescentDistance)
        goal->altitude = goal->at.y + kClawBelowBody;
    return true;
}

static float WrapAngle(float angle)
{
    while (angle > PI)
        angle -= 2 * PI;
    while (angle < -PI)
        angle += 2 * PI;
    return angle;
}

static float Hundredths(float value)
{
    return std::round(std::clamp(value, 0.0f, 1.0f) * 100) / 100;
}

static void SetNeed(int need, float value)
{
    value = Hundredths(value);
    SetScriptedNeedValue(0, need, value);
    if (value != gWritten[need]) {
        std::fprintf(gScript, "%d %s %g\n", gFrame, NeedName(need), double(value));
        gWritten[need] = value;
    }
}

// Each frame, before the needs are read: this frame's controls.
static void PilotPoll()
{
    const PlayerRecord& record = gPlayers[0];
    ObjNode* node = record.objNode;
    Goal goal;
    if (!node || gPlayerDead[0] || !ChooseGoal(node->Position, &goal)) {
        for (int need : {kNeedLeft, kNeedRight, kNeedUp, kNeedDown, kNeedBoost})
            SetNeed(need, 0);
        gFrame++;
        return;
    }
    const Point3D& me = node->Position;
    float distance = Distance2D(me.x, me.z, goal.at.x, goal.at.z);
    if (goal.altitude < 0)
        goal.altitude = HighestGroundToward(me, goal.at.x, goal.at.z, 2500) + kCruiseClearance;

    // Heading: bank toward the goal; the bank turns the heading.
    float wanted = std::atan2(-(goal.at.x - me.x), -(goal.at.z - me.z));
    float turn = WrapAngle(wanted - node->Rotation.y);
    float bank = std::clamp(turn * 1.6f, -PLAYER_MAX_ROLL, PLAYER_MAX_ROLL);
    float steer = std::clamp((node->Rotation.z - bank) * 3.0f, -1.0f, 1.0f);
    SetNeed(kNeedRight, steer);
    SetNeed(kNeedLeft, -steer);

    // Height: a pitch that closes the gap, then the pitch need that reaches it.
    float wantedPitch = std::clamp((goal.altitude - me.y) * 0.004f, -0.9f, 0.8f);
    float pitch = std::clamp((wantedPitch - node->Rotation.x) * 3.0f, -1.0f, 1.0f);
    SetNeed(kNeedDown, pitch); // pulls up
    SetNeed(kNeedUp, -pitch);

    SetNeed(kNeedBoost, distance > kBoostDistance && record.jetFuel > 0.2f ? 1 : 0);
    gFrame++;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: LevelPilot OUT.txt [LEVEL] [FRAMES]\n");
        return 2;
    }
    gScript = std::fopen(argv[1], "w");
    if (!gScript) {
        std::fprintf(stderr, "LevelPilot: cannot write \"%s\"\n", argv[1]);
        return 1;
    }
    std::string level = argc > 2 ? argv[2] : "level1";
    std::string frames = argc > 3 ? argv[3] : "12000";
    std::fprintf(gScript, "# flown by LevelPilot: --level %s --step %g\n", level.c_str(), double(kStep));
    std::setvbuf(gScript, nullptr, _IOLBF, 0);

    // An empty script makes the run scripted; the pilot's needs fill it frame by frame.
    const char* emptyScript = "LevelPilot-empty.txt";
    std::fclose(std::fopen(emptyScript, "w"));
    std::string step = std::to_string(kStep);
    std::vector<std::string> arguments = {"Quorvel2", "--level", level,      "--script", emptyScript,
                                          "--step",   step,      "--frames", frames};
    std::vector<char*> argvGame;
    for (std::string& argument : arguments)
        argvGame.push_back(argument.data());
    argvGame.push_back(nullptr);
    SetPollHook(PilotPoll);
    return RunProgram(int(argvGame.size()) - 1, argvGame.data());
}
