// Worm burrows: holes in the swamp from which a giant worm leaps to another burrow of the same
// group, arcing up through the air (higher when a player flies over) and diving into the other
// hole. Each burrow throws dirt as the worm bursts out of it or dives in. A burrow with no partner
// of its group stays quiet.
//
// Node fields used:
//  - burrow: ItemTag 4; Variant its group; Phase 0 idle, 1 a worm's start, 2 a worm's end;
//    FloatSlots[0] time to the next launch; IntSlots[0] erupted (0/1); FloatSlots[1] time since it
//    erupted; GeneralBlock the dirt emitter;
//  - worm: FloatSlots[0] placement along its path (0..1); IntSlots[1] its trip in gWormTrips (the
//    burrows and the path).

#include "Gameplay/HazardsLocal.h"

#include "3D/CustomSplines.h"
#include "Gameplay/Player.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Random.h"

#include <algorithm>
#include <cmath>

static constexpr int kBurrowSlot = 3050;
static constexpr int kWormSlot = 491;
static constexpr float kWormScale = 6;
static constexpr int kWormAnim = 1;
static constexpr uint32_t kWormCType = 0x30000;
static constexpr float kWormDamage = 0.2f;
static constexpr int kMaxPartners = 11;
static constexpr int kPointsPerSpan = 800;
static constexpr float kWormSpeed = 0.19f; // of the path per second
static constexpr float kEruptionDirtTime = 1;

// A worm's journey: its burrows (checked by stamp, since a burrow could be deleted meanwhile) and
// its path. Kept beside the worm node in a small table the worm indexes by IntSlots[1].
struct WormTrip
{
    bool inUse;
    ObjNode* worm;
    ObjNode* start;
    ObjNode* end;
    uint32_t startStamp, endStamp;
    int16_t spline;
};
static constexpr int kMaxWormTrips = 40;
static WormTrip gWormTrips[kMaxWormTrips];

static bool IsBurrowAlive(ObjNode* burrow, uint32_t stamp)
{
    return burrow && burrow->CType != INVALID_NODE_FLAG && burrow->Stamp == stamp;
}

static void Erupt(ObjNode* burrow)
{
    burrow->IntSlots[0] = 1;
    burrow->FloatSlots[1] = 0;
    uint32_t rate = uint32_t(float(kNormalRate) * (1 - RandomUnit() / 8));
    PlayEffectAtRate(EFFECT_DIRT, &burrow->Position, rate, 2);
}

// Ends the trip: the path is freed and the burrows are idle again.
static void EndWormTrip(WormTrip& trip)
{
    ReleaseCustomSpline(trip.spline);
    if (IsBurrowAlive(trip.start, trip.startStamp))
        trip.start->Phase = 0;
    if (IsBurrowAlive(trip.end, trip.endStamp))
        trip.end->Phase = 0;
    trip = {};
}

static void WormTripDeleted(ObjNode* worm)
{
    int index = worm->IntSlots[1];
    if (index >= 0 && index < kMaxWormTrips && gWormTrips[index].inUse && gWormTrips[index].worm == worm)
        EndWormTrip(gWormTrips[index]);
}

// Joint j lies 6 x scale x (j + 1) points behind the worm's own point, facing the point ahead of it.
static void LayWormAlongPath(ObjNode* worm, const CustomSplineSlot& path, int head)
{
    SkeletonInstance* skeleton = worm->Skeleton;
    if (!skeleton || !skeleton->info)
        return;
    static const Vector3D kUp = {0.99f, 0.01f, 0};
    int step = int(6 * kWormScale);
    Matrix4x4 scale;
    MatrixScale(&scale, kWormScale, kWormScale, kWormScale);
    int ahead = head;
    for (int j = 0; j < skeleton->info->numJoints && j < MAX_JOINTS; j++) {
        int at = std::max(0, head - step * (j + 1));
        Matrix4x4 orient;
        MatrixOrientToward(&orient, &kUp, &path.points[at], &path.points[ahead]);
        MatrixMultiply(&scale, &orient, &skeleton->jointMatrices[j]);
        ahead = at;
    }
}

static void MoveWorm(ObjNode* worm)
{
    int index = worm->IntSlots[1];
    if (index < 0 || index >= kMaxWormTrips || !gWormTrips[index].inUse) {
        DisposeObject(worm);
        return;
    }
    WormTrip& trip = gWormTrips[index];

    // 1. Along the path; at its end the worm is home.
    worm->FloatSlots[0] += kWormSpeed * gFrameSeconds;
    const CustomSplineSlot& path = gCustomSplines[trip.spline];
    if (worm->FloatSlots[0] >= 0.98f || !path.inUse || path.numPoints <= 0) {
        DisposeObject(worm); // its destroy routine ends the trip
        return;
    }
    int head = std::min(path.numPoints - 1, int(worm->FloatSlots[0] * float(path.numPoints)));
    worm->Position = path.points[head];
    RebuildNodeTransform(worm);
    LayWormAlongPath(worm, path, head);

    // 2. The burrows burst open as it passes.
    bool startAlive = IsBurrowAlive(trip.start, trip.startStamp);
    bool endAlive = IsBurrowAlive(trip.end, trip.endStamp);
    if (startAlive && !trip.start->IntSlots[0] && std::fabs(worm->Position.y - trip.start->Position.y) < 300)
        Erupt(trip.start);
    if (startAlive && endAlive && trip.start->IntSlots[0] && trip.start->FloatSlots[1] > 0.5f &&
        !trip.end->IntSlots[0] && std::fabs(worm->Position.y - trip.end->Position.y) < 250)
        Erupt(trip.end);
}

// The burrows of the same group that are free, in list order (at most 11).
static int FindPartners(ObjNode* burrow, ObjNode* partners[kMaxPartners])
{
    int count = 0;
    for (ObjNode* node = gObjectListHead; node && count < kMaxPartners; node = node->NextInList) {
        if (node != burrow && node->ItemTag == ITEMTAG_WORM_BURROW && node->Variant == burrow->Variant &&
            node->Phase == 0 && node->CType != INVALID_NODE_FLAG)
            partners[count++] = node;
    }
    return count;
}

static void LaunchWorm(ObjNode* start)
{
    // 1. A partner burrow; none: no worm.
    ObjNode* partners[kMaxPartners];
    int count = FindPartners(start, partners);
    if (count == 0)
        return;
    ObjNode* end = partners[RandomInt(0, uint16_t(count - 1))];
    int tripIndex = -1;
    for (int i = 0; i < kMaxWormTrips && tripIndex < 0; i++) {
        if (!gWormTrips[i].inUse)
            tripIndex = i;
    }
    if (tripIndex < 0)
        return;

    // 2. The arc: out of the ground below one hole, up over the middle, down below the other.
    const Point3D& a = start->Position;
    const Point3D& b = end->Position;
    float f = ApproxDistance2D(b.x - a.x, b.z - a.z);
    float midY = (a.y + b.y) * 0.5f + 0.25f * f;
    float distance;
    int player = NearestPlayerTo(a, &distance);
    if (player >= 0) {
        float playerY = gPlayers[player].objNode->Position.y;
        if (playerY - a.y >= 0.25f * f)
            midY = std::min(a.y + 0.8f * f, 0.95f * playerY);
    }
    const Point3D nubs[5] = {{a.x, a.y - 1.5f * f, a.z},
                             a,
                             {(a.x + b.x) * 0.5f, midY, (a.z + b.z) * 0.5f},
                             b,
                             {b.x, b.y - 1.5f * f, b.z}};
    int16_t spline = GenerateCustomSpline(5, nubs, kPointsPerSpan);
    if (spline < 0)
        return;

    // 3. The worm, and the burrows taken by its trip.
    ObjectDefinition def = {};
    def.artIndex = SKELETON_TYPE_WORM;
    def.startAnim = kWormAnim;
    def.position = a;
    def.slot = kWormSlot;
    def.moveProc = MoveWorm;
    def.scale = kWormScale;
    ObjNode* worm = MakeNewSkeletonBaseData(&def);
    worm->CType = kWormCType;
    worm->Damage = kWormDamage;
    worm->FloatSlots[0] = 0.04f;
    worm->IntSlots[1] = tripIndex;
    worm->DestroyProc = WormTripDeleted;
    worm->StatusFlags |= NODEBIT_ALWAYS_IN_RANGE; // its trip ends it
    if (worm->Skeleton)
        worm->Skeleton->jointsExternal = true;
    gWormTrips[tripIndex] = {true, worm, start, end, start->Stamp, end->Stamp, spline};
    start->Phase = 1;
    end->Phase = 2;
    start->IntSlots[0] = end->IntSlots[0] = 0;
}

static void MoveBurrow(ObjNode* burrow)
{
    float dt = gFrameSeconds;
    if (burrow->Phase == 0) {
        // 1. Idle: gone with its window, else now and then a worm leaps from it.
        if (IsObjectOutOfRange(burrow)) {
            DisposeObject(burrow);
            return;
        }
        burrow->FloatSlots[0] -= dt;
        if (burrow->FloatSlots[0] <= 0) {
            LaunchWorm(burrow);
            burrow->FloatSlots[0] = 1 + RandomUnit();
        }
        return;
    }

    // 2. A worm's start or end: dirt flies for a second after it erupts.
    if (burrow->IntSlots[0]) {
        burrow->FloatSlots[1] += dt;
        if (burrow->FloatSlots[1] < kEruptionDirtTime)
            ThrowDirt(&burrow->Position, NodeEffectEmitter(burrow));
    }
}

bool AddWormBurrow(MapItemType* item, float x, float z)
{
    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.slot = kBurrowSlot;
    def.position = {x, item->terrainY, z};
    def.moveProc = MoveBurrow;
    def.scale = 1;
    ObjNode* burrow = MakeNewObject(&def);
    burrow->TerrainItem = item;
    burrow->ItemTag = ITEMTAG_WORM_BURROW;
    burrow->Variant = item->parm[0];
    burrow->Phase = 0;
    burrow->FloatSlots[0] = RandomUnit() * 1.9999f;
    InitEffectEmitter(NodeEffectEmitter(burrow));
    return true;
}
