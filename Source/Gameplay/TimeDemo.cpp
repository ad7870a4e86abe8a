// The time demo's camera path and its frame-time report.
//
// Node fields used by the path node: SplinePos, SplineIndex, SplineItem (its place on the path);
// Position (the camera's point this frame); Rotation.y (the direction of travel).

#include "Gameplay/TimeDemo.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Gameplay/Player.h"
#include "Gameplay/Weapons.h"
#include "Objects/ObjNode.h"
#include "System/Memory.h"
#include "System/ProgramState.h"
#include "System/Random.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/SplineObjects.h"

#include <algorithm>
#include <vector>

bool gTimeDemoRequested = false;
int32_t gTimeDemoEvents = 0;
int32_t gTimeDemoFrameLimit = 0;
int32_t gTimeDemoSoakMinutes = 0;

static constexpr int kPathNodeSlot = 10;
static constexpr uint32_t kWeaponEventChance = 14; // low byte at most this: 15 frames in 256
static constexpr int kNumDemoWeapons = 5;

static void (*gTimeDemoEndRoutine)() = nullptr;

void SetTimeDemoEndRoutine(void (*routine)())
{
    gTimeDemoEndRoutine = routine;
}

// Now and then the player grabs a random weapon and fires it, so the demo shows shots and their hits.
static void MaybeFireRandomWeapon()
{
    if ((RandomU32() & 0xff) > kWeaponEventChance)
        return;
    int weapon = RandomInt(0, kNumDemoWeapons - 1);
    gTimeDemoEvents++;
    PlayerRecord& record = gPlayers[0];
    record.currentWeapon = int16_t(weapon);
    record.ammo[weapon] = MAX_WEAPON_AMMO;
    if (weapon == WEAPON_SONIC_SCREAM) {
        record.weaponCharge = 1; // a full scream at once
        ReleaseWeapon(0);
    } else {
        FireWeapon(0, true);
    }
}

static void MoveTimeDemoPath(ObjNode* path)
{
    // 1. Along the path; its end ends the demo.
    Point3D previous = path->Position;
    if (IncreaseSplinePlacement(path, TIME_DEMO_SPEED)) {
        if (gTimeDemoEndRoutine)
            gTimeDemoEndRoutine();
        return;
    }
    SetPositionFromSpline(path);
    path->Position.y = TerrainHeightAt(path->Position.x, path->Position.z) + TIME_DEMO_CAMERA_HEIGHT;

    // 2. Camera 0 looks from where the path was to where it is, so it always faces the way it flies.
    path->Rotation.y =
        HeadingFromTo(path->Rotation.y, previous.x, previous.z, path->Position.x, path->Position.z);
    if (previous.x != path->Position.x || previous.z != path->Position.z) {
        Vector3D up = {0, 1, 0};
        OGL_UpdateCameraFromToUp(&previous, &path->Position, &up, 0);
    }

    // 3. The player rides along, facing the way the path goes, so its shots fly ahead of the camera.
    if (ObjNode* player = gPlayers[0].objNode) {
        player->Position = path->Position;
        player->Rotation = {0, path->Rotation.y, 0};
        gPlayers[0].coord = player->Position;
        RebuildNodeTransform(player);
    }

    // 4. The random weapon events.
    MaybeFireRandomWeapon();
}

bool AddTimeDemoPath(int splineIndex, SplineItemType* item)
{
    if (!gTimeDemoMode)
        return false;

    float x, z;
    SplinePoint(splineIndex, item->placement, &x, &z);
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.position = {x, TerrainHeightAt(x, z) + TIME_DEMO_CAMERA_HEIGHT, z};
    def.statusFlags = NODEBIT_INVISIBLE | NODEBIT_ALWAYS_IN_RANGE | NODEBIT_NO_COLLISION;
    def.slot = kPathNodeSlot;
    def.scale = 1;
    ObjNode* path = MakeNewObject(&def);

    path->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
    path->SplinePos = item->placement;
    path->SplineItem = item;
    path->SplineIndex = uint8_t(splineIndex);
    path->SplineMoveProc = MoveTimeDemoPath;
    UnlinkObject(path, true);
    AddToSplineObjectList(path, true);
    gTimeDemoEvents = 0;
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// The frame-time report
// ---------------------------------------------------------------------------------------------------------

static std::vector<float> gFrameMilliseconds;
static std::vector<float> gLogicMilliseconds;
static uint64_t gLastFrameMicroseconds = 0;
static int32_t gPeakTriangles = 0;
static uint32_t gObjectCountDigest = 0;

static constexpr uint32_t kDigestStart = 2166136261u; // FNV-1a
static constexpr uint32_t kDigestPrime = 16777619u;

void BeginTimeDemoReport()
{
    gFrameMilliseconds.clear();
    gFrameMilliseconds.reserve(4096);
    gLogicMilliseconds.clear();
    gLogicMilliseconds.reserve(4096);
    gPeakTriangles = 0;
    gObjectCountDigest = kDigestStart;
    gLastFrameMicroseconds = Tarnet::MicrosecondsNow();
}

void RecordTimeDemoFrame()
{
    uint64_t now = Tarnet::MicrosecondsNow();
    gFrameMilliseconds.push_back(float(now - gLastFrameMicroseconds) * 0.001f);
    gLastFrameMicroseconds = now;
    gPeakTriangles = std::max(gPeakTriangles, gTrianglesDrawn);
    uint32_t count = uint32_t(gLiveNodeCount);
    for (int byte = 0; byte < 4; byte++)
        gObjectCountDigest = (gObjectCountDigest ^ ((count >> (8 * byte)) & 0xff)) * kDigestPrime;
}

void RecordTimeDemoLogic(uint64_t microseconds)
{
    gLogicMilliseconds.push_back(float(microseconds) * 0.001f);
}

// The value below which `fraction` of the sorted times lie (nearest rank).
static float Percentile(const std::vector<float>& sorted, float fraction)
{
    size_t rank = size_t(fraction * float(sorted.size()) + 0.999f);
    rank = std::clamp<size_t>(rank, 1, sorted.size());
    return sorted[rank - 1];
}

void PrintTimeDemoReport(std::FILE* to, int32_t frames, float seconds)
{
    std::vector<float> sorted = gFrameMilliseconds;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty())
        sorted.push_back(0);
    std::vector<float> logic = gLogicMilliseconds;
    std::sort(logic.begin(), logic.end());
    if (logic.empty())
        logic.push_back(0);
    double logicMean = 0;
    for (float milliseconds : logic)
        logicMean += double(milliseconds);
    logicMean /= double(logic.size());

    std::fprintf(to, "Time demo report\n");
    std::fprintf(to, "  frames                %d\n", frames);
    std::fprintf(to, "  wall seconds          %.3f\n", double(seconds));
    std::fprintf(to, "  average fps           %.2f\n", seconds > 0 ? double(frames) / double(seconds) : 0.0);
    std::fprintf(to, "  frame time ms         min %.2f  median %.2f  p95 %.2f  p99 %.2f  max %.2f\n",
                 double(sorted.front()), double(Percentile(sorted, 0.5f)), double(Percentile(sorted, 0.95f)),
                 double(Percentile(sorted, 0.99f)), double(sorted.back()));
    std::fprintf(to, "  logic ms/frame        mean %.3f  p99 %.3f\n", logicMean,
                 double(Percentile(logic, 0.99f)));
    std::fprintf(to, "  peak objects          %d\n", gPeakNodeCount);
    std::fprintf(to, "  peak triangles/frame  %d\n", gPeakTriangles);
    std::fprintf(to, "  weapon events         %d\n", gTimeDemoEvents);
    std::fprintf(to, "  object count digest   %08x\n", gObjectCountDigest);
    std::fflush(to);
}

// ---------------------------------------------------------------------------------------------------------
// The frame limit and the soak
// ---------------------------------------------------------------------------------------------------------

static uint64_t gSoakStartMicroseconds = 0;

bool IsTimeDemoFrameLimitReached(int32_t frames)
{
    return gTimeDemoFrameLimit > 0 && frames >= gTimeDemoFrameLimit;
}

void BeginTimeDemoSoak()
{
    gSoakStartMicroseconds = Tarnet::MicrosecondsNow();
}

bool DoesTimeDemoSoakGoOn()
{
    uint64_t soakMicroseconds = uint64_t(gTimeDemoSoakMinutes) * 60 * 1000000;
    return gTimeDemoSoakMinutes > 0 && Tarnet::MicrosecondsNow() - gSoakStartMicroseconds < soakMicroseconds;
}

void PrintSoakRunLine(std::FILE* to, int run)
{
    double minutes = double(Tarnet::MicrosecondsNow() - gSoakStartMicroseconds) / 60e6;
    std::fprintf(to,
                 "Soak run %d at %.1f min: live blocks %d, block bytes %lld, textures %d, objects %d, "
                 "resident %.1f MB\n",
                 run, minutes, gLiveBlockCount, (long long)gLiveBlockBytes, gLiveTextureCount, gLiveNodeCount,
                 double(Tarnet::ResidentBytes()) / (1024.0 * 1024.0));
    std::fflush(to);
}
