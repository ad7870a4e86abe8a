// LevelPilot: flies an adventure level from its start to its exit and writes what it did as a play
// script, the fixture of the tests that play a whole level. The pilot runs inside the game's own
// scripted play (the same start, frame step and frame order as a replay of its script): each frame it
// picks a goal (the nearest egg down a corridor free of trees, then the run in to an egg wormhole's
// open side, at last the exit wormhole), steers round or climbs over what lies ahead, and boosts over
// long legs. Its needs are rounded to hundredths before they are used, so that the script written
// holds exactly what was flown; pickups, deliveries and deaths are reported on standard error.
//
//   LevelPilot OUT.txt [LEVEL] [FRAMES] [GAME SWITCHES...]   (from the build folder, under a display)
//   Quorvel2 --level level1 --script OUT.txt --step 0.05 --frames FRAMES   replays it
//
// The release build's Tests/LevelPilot Tests/Scripts/level1-complete.txt level1 7000 wrote the
// fixture of that name.

#include "Gameplay/Eggs.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/GameShell.h"
#include "System/Input.h"
#include "System/InputHook.h"
#include "System/LevelGlobals.h"
#include "System/ScriptedPlay.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

static constexpr float kStep = 0.05f;
static constexpr float kCruiseClearance = 1400; // above the highest ground ahead, over the tree tops
static constexpr float kClawBelowBody = 130;    // flying this high over an egg puts the claw on it
static constexpr float kGlideSlope = 0.85f;     // height lost per unit flown on the way down to an egg
static constexpr float kLevelOut = 250;         // the last stretch before an egg is flown level
static constexpr float kGroundClearance = 90;   // never lower than this over the ground below
static constexpr float kBoostDistance = 6000;   // legs longer than this are boosted
static constexpr float kWormholeLead = 700;     // this far in front of a wormhole's mouth, head straight in
static constexpr float kWormholeRunIn = 2200;   // where the run in to a wormhole's mouth starts
static constexpr float kWormholeBody = 1250;    // a wormhole's reach across the ground from its middle
static constexpr float kUnderExit = 450;        // the exit wormhole draws in a player below its mouth
static constexpr float kObstacleMargin = 110;
static constexpr float kUnderCeiling = 80; // the player is held below the flight ceiling
static constexpr float kLookAhead = 1500;  // obstacles this far ahead are climbed over or flown round
static constexpr float kPathStep = 50;
static constexpr float kTurnPerStep = 0.1f; // a full bank turns the heading about this much in 50 units
static constexpr uint16_t kNestItem = 3;
static constexpr uint16_t kWormholeItem = 4;

static std::FILE* gScript;
static int gFrame = -1;
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

// The cruise height on the way toward (x, z): over the highest ground ahead, under the flight ceiling.
static float CruiseAltitude(const Point3D& from, float x, float z)
{
    return HighestGroundToward(from, x, z, 2500) + kCruiseClearance;
}

// The map item of `type` nearest to `me` across the ground, leaving out those with any of `skipFlags`.
static const MapItemType* NearestMapItem(const Point3D& me, uint16_t type, uint16_t skipFlags)
{
    const MapItemType* nearest = nullptr;
    float best = 1e30f;
    for (int32_t i = 0; i < gNumMapItems; i++) {
        const MapItemType& item = gMapItems[i];
        if (item.type != type || (item.flags & skipFlags))
            continue;
        float distance = Distance2D(me.x, me.z, float(item.x), float(item.z));
        if (distance < best) {
            best = distance;
            nearest = &item;
        }
    }
    return nearest;
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
    const MapItemType* nest = NearestMapItem(me, kNestItem, ITEM_FLAG_SPENT | ITEM_FLAG_ADDED);
    if (!nest)
        return false;
    goal->at = {float(nest->x), nest->terrainY, float(nest->z)};
    return true;
}

// The nearest egg wormhole: the way in to its mouth once its object exists, else over the item's place.
// A wormhole takes an egg only from its open side, so the pilot first comes round to a point well
// out in front of the mouth and then flies straight at the mouth.
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
        float distance = Distance2D(me.x, me.z, mouth.x, mouth.z);
        if (distance >= best)
            continue;
        best = distance;
        found = true;
        float ax = deeper.x - mouth.x, az = deeper.z - mouth.z, across = std::max(1.0f, std::hypot(ax, az));
        ax /= across;
        az /= across;
        float inFront = -((me.x - mouth.x) * ax + (me.z - mouth.z) * az);
        float offAxis = std::fabs((me.x - mouth.x) * az - (me.z - mouth.z) * ax);
        if (inFront > kWormholeLead && offAxis < inFront * 0.5f)
            goal->at = mouth; // lined up: straight in
        else
            goal->at = {mouth.x - ax * kWormholeRunIn, mouth.y, mouth.z - az * kWormholeRunIn};
        goal->altitude = std::min(mouth.y, MaxFlightAltitude(me.x, me.z) - kUnderCeiling);
    }
    if (found)
        return true;
    const MapItemType* wormhole = NearestMapItem(me, kWormholeItem, 0);
    if (!wormhole)
        return false;
    goal->at = {float(wormhole->x), wormhole->terrainY, float(wormhole->z)};
    goal->altitude = -1;
    return true;
}

// --- The approach to an egg ---
// An egg among trees is reached along a straight corridor that is free of solid objects: the pilot
// flies to the corridor's outer end at cruise height, then glides down it to the egg and climbs out
// along the same line beyond.

static constexpr int kHeadings = 24;
static constexpr float kCorridorLength = 1700; // from the outer end to the egg
static constexpr float kClimbOut = 1400;       // the corridor goes on beyond the egg
static constexpr float kCorridorMargin = 70;

// What the player must not fly into (the touch and body-struck collision types), within `reach` of
// `where` across the ground; eggs are not obstacles.
static std::vector<ObjNode*> ObstaclesNear(const Point3D& where, float reach)
{
    std::vector<ObjNode*> obstacles;
    for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;
         node = node->NextInList) {
        if (node->CType == INVALID_NODE_FLAG || node->HitBoxCount == 0 || node->ItemTag == ITEM_TAG_EGG ||
            !(node->CType & (0x10 | 0x20000)) || node == gPlayers[0].objNode)
            continue;
        if (Distance2D(node->Position.x, node->Position.z, where.x, where.z) < reach)
            obstacles.push_back(node);
    }
    return obstacles;
}

// The top of the highest fence passing within the obstacle margin of (x, z); far below the ground
// when there is none. Enemy barriers stop only enemies.
static float FenceTopNear(float x, float z)
{
    float top = -1e30f;
    for (int i = 0; i < gNumFences; i++) {
        const FenceRecordType& fence = gFences[i];
        if (fence.type == FENCE_TYPE_ENEMY_BARRIER || !fence.sectionVectors || fence.bounds.maxY <= top)
            continue;
        for (int j = 0; j + 1 < fence.numNubs; j++) {
            const Point3D& a = fence.nubs[j];
            const Vector2D& along = fence.sectionVectors[j];
            float length = Distance2D(a.x, a.z, fence.nubs[j + 1].x, fence.nubs[j + 1].z);
            float t = std::clamp((x - a.x) * along.x + (z - a.z) * along.y, 0.0f, length);
            if (Distance2D(x, z, a.x + along.x * t, a.z + along.y * t) < kObstacleMargin * 2) {
                top = fence.bounds.maxY;
                break;
            }
        }
    }
    return top;
}

// The egg wormholes: their bodies let only eggs in.
static std::vector<Point3D> EggWormholePlaces()
{
    std::vector<Point3D> places;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->ItemTag == ITEM_TAG_EGG_WORMHOLE && node->CType != INVALID_NODE_FLAG)
            places.push_back(node->Position);
    }
    return places;
}

static float WrapAngle(float angle)
{
    while (angle > PI)
        angle -= 2 * PI;
    while (angle < -PI)
        angle += 2 * PI;
    return angle;
}

// What the headings tried in one frame must clear, gathered once for all of them.
struct Surroundings
{
    std::vector<ObjNode*> obstacles;
    std::vector<Point3D> wormholes; // empty while an egg is carried: it may fly in then
};

static Surroundings GatherSurroundings(const Point3D& me, float reach)
{
    Surroundings around;
    around.obstacles = ObstaclesNear(me, reach + 500);
    if (!gPlayers[0].carriedEgg)
        around.wormholes = EggWormholePlaces();
    return around;
}

// The height that clears every obstacle on the next `reach` units of the path that turns from the
// player's heading to `heading` as fast as a banked turn can, at least `altitude`. Obstacles within
// `spare` of `keep` (the egg being approached and its nest) do not count.
static float ClearAhead(const ObjNode* player, const Surroundings& around, float heading, float altitude,
                        float reach, const Point3D& keep, float spare)
{
    float pathHeading = player->Rotation.y;
    float x = player->Position.x, z = player->Position.z;
    float y = player->Position.y;
    for (float along = 0; along <= reach; along += kPathStep) {
        float turn = WrapAngle(heading - pathHeading);
        pathHeading += std::clamp(turn, -kTurnPerStep, kTurnPerStep);
        x -= std::sin(pathHeading) * kPathStep;
        z -= std::cos(pathHeading) * kPathStep;
        float fenceTop = FenceTopNear(x, z);
        if (std::min(y, altitude) < fenceTop + kObstacleMargin)
            altitude = std::max(altitude, fenceTop + 2 * kObstacleMargin);
        // Wormholes are flown round, never over; a deeper point costs more, so that a player
        // already inside a body's reach (just after a delivery) takes the way out.
        for (const Point3D& wormhole : around.wormholes) {
            float distance = Distance2D(x, z, wormhole.x, wormhole.z);
            if (distance < kWormholeBody)
                altitude = std::max(altitude, PLAYER_CEILING + 1000 + kWormholeBody - distance);
        }
        for (const ObjNode* node : around.obstacles) {
            if (Distance2D(node->Position.x, node->Position.z, keep.x, keep.z) < spare)
                continue;
            for (int b = 0; b < node->HitBoxCount; b++) {
                const CollisionBox& box = node->HitBoxes[b];
                if (x > box.left - kObstacleMargin && x < box.right + kObstacleMargin &&
                    z > box.back - kObstacleMargin && z < box.front + kObstacleMargin &&
                    std::min(y, altitude) < box.top + kObstacleMargin)
                    altitude = std::max(altitude, box.top + 2 * kObstacleMargin);
            }
        }
    }
    return altitude;
}

struct Approach
{
    Point3D egg;   // the egg it was planned for
    Point3D outer; // the corridor's outer end
    bool gliding;  // past the outer end, on the way down or climbing out beyond the egg
    bool planned;
};
static Approach gApproach;

// The height of the glide `distance` from the egg (on either side of it).
static float GlideAltitude(const Point3D& egg, float distance)
{
    return egg.y + kClawBelowBody + std::max(0.0f, distance - kLevelOut) * kGlideSlope;
}

// How many samples of the corridor from `egg` along (dx, dz) touch the ground or a solid object.
static int CorridorBlockage(const Point3D& egg, float dx, float dz, const std::vector<ObjNode*>& obstacles)
{
    int blocked = 0;
    for (float along = -kClimbOut; along <= kCorridorLength; along += 40) {
        float x = egg.x + dx * along, z = egg.z + dz * along;
        float y = std::min(GlideAltitude(egg, std::fabs(along)),
                           HighestGroundToward(egg, x, z, kCorridorLength) + kCruiseClearance);
        if (y < TerrainHeightAt(x, z) + 60) {
            blocked++;
            continue;
        }
        for (const ObjNode* node : obstacles) {
            for (int b = 0; b < node->HitBoxCount; b++) {
                const CollisionBox& box = node->HitBoxes[b];
                if (x > box.left - kCorridorMargin && x < box.right + kCorridorMargin &&
                    z > box.back - kCorridorMargin && z < box.front + kCorridorMargin &&
                    y > box.bottom - kCorridorMargin && y < box.top + kCorridorMargin) {
                    blocked++;
                    b = node->HitBoxCount;
                }
            }
        }
    }
    return blocked;
}

// The free corridor most in line with the way the player comes; the least blocked one when none is free.
static void PlanApproach(const Point3D& me, const Point3D& egg)
{
    std::vector<ObjNode*> obstacles = ObstaclesNear(egg, kCorridorLength + 1000);
    float toMeX = me.x - egg.x, toMeZ = me.z - egg.z, length = std::max(1.0f, std::hypot(toMeX, toMeZ));
    toMeX /= length;
    toMeZ /= length;
    float bestScore = 1e30f;
    for (int i = 0; i < kHeadings; i++) {
        float angle = float(i) * 2 * PI / kHeadings;
        float dx = std::cos(angle), dz = std::sin(angle);
        float score = float(CorridorBlockage(egg, dx, dz, obstacles)) * 10 + (1 - (dx * toMeX + dz * toMeZ));
        if (score < bestScore) {
            bestScore = score;
            gApproach.outer = {egg.x + dx * kCorridorLength, egg.y, egg.z + dz * kCorridorLength};
        }
    }
    gApproach.egg = egg;
    gApproach.gliding = false;
    gApproach.planned = true;
}

// Whether a point lies more than a right angle off the player's heading.
static bool IsBehind(const Point3D& me, const Point3D& point)
{
    const ObjNode* player = gPlayers[0].objNode;
    float dx = -std::sin(player->Rotation.y), dz = -std::cos(player->Rotation.y);
    return (point.x - me.x) * dx + (point.z - me.z) * dz < 0;
}

static void ApproachEgg(const Point3D& me, Goal* goal)
{
    Point3D egg = goal->at;
    bool sameEgg = gApproach.planned && Distance2D(egg.x, egg.z, gApproach.egg.x, gApproach.egg.z) < 50;
    float toEgg = Distance2D(me.x, me.z, egg.x, egg.z);
    if (!sameEgg || (!gApproach.gliding && toEgg < kCorridorLength + 1500))
        PlanApproach(me, egg); // again as the scenery around the egg comes into range
    float toOuter = Distance2D(me.x, me.z, gApproach.outer.x, gApproach.outer.z);
    if (!gApproach.gliding && (toOuter < 250 || (toOuter < 700 && IsBehind(me, gApproach.outer))))
        gApproach.gliding = true; // at the corridor's end, or passing it
    if (gApproach.gliding && toEgg > kCorridorLength + 400)
        gApproach.planned = false; // missed it: round again
    if (gApproach.gliding && toEgg < kCorridorLength && IsBehind(me, egg))
        gApproach.planned = false; // circling inside its turn: out to the corridor's end again

    if (!gApproach.gliding) {
        goal->at = gApproach.outer;
        goal->altitude = CruiseAltitude(me, goal->at.x, goal->at.z);
        return;
    }
    goal->altitude = GlideAltitude(egg, toEgg);
}

// With the egg in the claw: on along the corridor, climbing, until the cruise height is reached.
static bool ClimbOut(const Point3D& me, Goal* goal)
{
    if (!gApproach.planned || !gApproach.gliding)
        return false;
    float cruise = CruiseAltitude(me, gApproach.egg.x, gApproach.egg.z);
    if (me.y > std::min(cruise, MaxFlightAltitude(me.x, me.z) - kUnderCeiling) - 150 ||
        Distance2D(me.x, me.z, gApproach.egg.x, gApproach.egg.z) > kClimbOut) {
        gApproach.planned = false;
        return false;
    }
    float dx = gApproach.egg.x - gApproach.outer.x, dz = gApproach.egg.z - gApproach.outer.z;
    goal->at = {gApproach.egg.x + dx * 2, me.y, gApproach.egg.z + dz * 2};
    goal->altitude = cruise;
    return true;
}

static bool ChooseGoal(const Point3D& me, Goal* goal)
{
    goal->altitude = -1;
    if (gExitWormhole) {
        goal->at = gExitWormhole->Position;
        goal->altitude = gExitWormhole->Position.y - kUnderExit;
        return true;
    }
    if (gPlayers[0].carriedEgg) {
        if (ClimbOut(me, goal))
            return true;
        return FindWormholeGoal(me, goal);
    }
    if (!FindEggGoal(me, goal))
        return false;
    ApproachEgg(me, goal);
    return true;
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

static int EggsDelivered()
{
    int delivered = 0;
    for (uint8_t count : gEggsDelivered)
        delivered += count;
    return delivered;
}

// One line on standard error for each event of the flight: pickups, deliveries, deaths.
static void ReportEvents()
{
    static bool carrying = false, dead = false;
    static int delivered = 0;
    const ObjNode* node = gPlayers[0].objNode;
    if (!node)
        return;
    if (bool(gPlayers[0].carriedEgg) != carrying) {
        carrying = !carrying;
        std::fprintf(stderr, "frame %d: %s an egg at %.0f %.0f %.0f\n", gFrame,
                     carrying ? "picked up" : "let go of", double(node->Position.x), double(node->Position.y),
                     double(node->Position.z));
    }
    if (EggsDelivered() != delivered) {
        delivered = EggsDelivered();
        std::fprintf(stderr, "frame %d: %d eggs delivered\n", gFrame, delivered);
    }
    if (gPlayerDead[0] != dead) {
        dead = gPlayerDead[0];
        if (dead) {
            std::fprintf(stderr, "frame %d: died at %.0f %.0f %.0f\n", gFrame, double(node->Position.x),
                         double(node->Position.y), double(node->Position.z));
            for (const ObjNode* near : ObstaclesNear(node->Position, 400))
                std::fprintf(stderr, "  near: slot %d item type %d at %.0f %.0f %.0f top %.0f\n", near->Slot,
                             near->TerrainItem ? near->TerrainItem->type : -1, double(near->Position.x),
                             double(near->Position.y), double(near->Position.z),
                             double(near->HitBoxes[0].top));
        }
    }
}

// Each frame, before the needs are read: this frame's controls. The input is polled more than once
// a frame while a level loads; the pilot flies from the level's first frame, once a frame.
static void PilotPoll()
{
    if (ScriptedPlayFrame() < 0 || ScriptedPlayFrame() == gFrame)
        return;
    gFrame = ScriptedPlayFrame();
    ReportEvents();
    const PlayerRecord& record = gPlayers[0];
    ObjNode* node = record.objNode;
    Goal goal;
    if (!node || gPlayerDead[0] || !ChooseGoal(node->Position, &goal)) {
        for (int need : {kNeedLeft, kNeedRight, kNeedUp, kNeedDown, kNeedBoost})
            SetNeed(need, 0);
        return;
    }
    const Point3D& me = node->Position;
    float distance = Distance2D(me.x, me.z, goal.at.x, goal.at.z);
    if (goal.altitude < 0)
        goal.altitude = CruiseAltitude(me, goal.at.x, goal.at.z);
    goal.altitude =
        std::max(goal.altitude, HighestGroundToward(me, goal.at.x, goal.at.z, 400) + kGroundClearance);
    // Heading: toward the goal, or as little off it as clears what cannot be flown over under the
    // ceiling; the bank turns the heading.
    bool gliding = gApproach.planned && gApproach.gliding && !record.carriedEgg;
    float spare = gliding ? 250.0f : 0.0f;
    float highest = MaxFlightAltitude(me.x, me.z) - kUnderCeiling;
    float toGoal = std::atan2(-(goal.at.x - me.x), -(goal.at.z - me.z)), wanted = toGoal;
    float lowestNeeded = 1e30f;
    Surroundings around = GatherSurroundings(me, kLookAhead);
    for (float offset : {0.0f, 0.35f, -0.35f, 0.7f, -0.7f, 1.05f, -1.05f, 1.5f, -1.5f}) {
        float needed = ClearAhead(node, around, toGoal + offset, std::min(goal.altitude, highest), kLookAhead,
                                  gApproach.egg, spare);
        if (needed < lowestNeeded - 1) {
            lowestNeeded = needed;
            wanted = toGoal + offset;
        }
        if (needed <= highest)
            break;
    }
    goal.altitude = std::min(lowestNeeded, highest);
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
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: LevelPilot OUT.txt [LEVEL] [FRAMES] [GAME SWITCHES...]\n");
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
    for (int i = 4; i < argc; i++) // more switches for the game: --trace, --shot
        arguments.push_back(argv[i]);
    std::vector<char*> argvGame;
    for (std::string& argument : arguments)
        argvGame.push_back(argument.data());
    argvGame.push_back(nullptr);
    SetPollHook(PilotPoll);
    return RunProgram(int(argvGame.size()) - 1, argvGame.data());
}
