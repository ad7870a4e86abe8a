// Nests and eggs: an egg lies in its nest until a player's claw takes it, is carried, dropped (and sent
// home when nobody is near) or flown into an egg wormhole, where it is delivered.
//
// Node use: the nest keeps its egg-home flag in GameWords[0] and its glow phase in FloatSlots[0]; the egg
// keeps its carrier in PaneIndex, its colour in Variant and its other state in the GeneralBlock.

#include "Gameplay/Eggs.h"

#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Interface/Infobar.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Objects/Shadows.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"
#include "System/Random.h"
#include "Terrain/Terrain.h"

#include <algorithm>
#include <cmath>

uint8_t gEggsInLevel[NUM_EGG_COLORS];
uint8_t gEggsDelivered[NUM_EGG_COLORS];

static constexpr int kNestModel = 7;
static constexpr int kFirstEggModel = 2;
static constexpr int kGlowModel = 8;
static constexpr uint16_t kNestSlot = 3000;
static constexpr uint16_t kEggSlot = 3001;
static constexpr uint16_t kGlowSlot = 3050;
static constexpr float kNestScale = 6;
static constexpr uint32_t kEggCType = 0x100000;
static constexpr uint32_t kGlowStatus =
    NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF | NODEBIT_LIGHTING_OFF;
static constexpr NodeTint kGlowTints[NUM_EGG_COLORS] = {{1, 0.5f, 0.5f, 0.4f},
                                                        {0.5f, 1, 0.5f, 0.4f},
                                                        {0.5f, 0.5f, 1, 0.4f},
                                                        {1, 1, 0.5f, 0.4f},
                                                        {1, 0.5f, 1, 0.4f}};

static constexpr int kClawJoint = 27;
static constexpr float kPickupReach = 150;
static constexpr float kReturnDelay = 15;       // seconds after a pickup before a lost egg may go home
static constexpr float kForcedReturnTime = -25; // ... and 40 s after it, it goes home regardless
static constexpr float kNobodyNear = 1500;
static constexpr float kSwallowReach = 1600;
static constexpr float kTunnelJointReach = 40;
static constexpr uint32_t kEggCollideMask = 0x3040; // terrain, fences and solid objects

struct EggState
{
    ObjNode* wormhole;      // the wormhole swallowing it
    uint32_t wormholeStamp; // that wormhole's Stamp
    int32_t jointIndex;     // the tunnel joint it flies to
    bool wasCarried;        // picked up at least once since it was last home
    float pickupDelay;      // seconds before a player may take it again
    float returnTimer;      // seconds since the pickup, counted down from 15
};
static_assert(sizeof(EggState) <= sizeof(ObjNode::GeneralBlock), "EggState must fit the GeneralBlock");

static EggState* EggStateOf(ObjNode* egg)
{
    return reinterpret_cast<EggState*>(egg->GeneralBlock);
}

static void MoveFreeEgg(ObjNode* egg);
static void MoveCarriedEgg(ObjNode* egg);
static void MoveEggIntoWormhole(ObjNode* egg);

// ---------------------------------------------------------------------------------------------------------
// Counting
// ---------------------------------------------------------------------------------------------------------

void FindAllEggItems()
{
    std::fill(std::begin(gEggsInLevel), std::end(gEggsInLevel), 0);
    std::fill(std::begin(gEggsDelivered), std::end(gEggsDelivered), 0);
    for (int i = 0; i < gNumMapItems; i++) {
        const MapItemType& item = gMapItems[i];
        if (item.type != 3)
            continue;
        int colour = item.parm[0];
        if (colour >= NUM_EGG_COLORS)
            ShowFatalAlert("FindAllEggItems: bad egg color!");
        if (gEggsInLevel[colour] < 255)
            gEggsInLevel[colour]++;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Nest
// ---------------------------------------------------------------------------------------------------------

static ObjNode* MakeGlobalModel(int model, const Point3D& at, uint16_t slot, float scale, float heading,
                                uint32_t status, ObjNodeProc move)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_GLOBAL;
    def.artIndex = uint8_t(model);
    def.position = at;
    def.statusFlags = gDistanceFadeBits | status;
    def.slot = int16_t(slot);
    def.moveProc = move;
    def.rotationY = heading;
    def.scale = scale;
    return MakeNewDisplayGroupObject(&def);
}

static ObjNode* EggOfNest(ObjNode* nest)
{
    ObjNode* next = nest->ChainNext;
    return next && next->ItemTag == ITEM_TAG_EGG ? next : nullptr;
}

static ObjNode* GlowOfNest(ObjNode* nest)
{
    for (ObjNode* part = nest->ChainNext; part; part = part->ChainNext)
        if (part->Slot == kGlowSlot)
            return part;
    return nullptr;
}

static void SetEggHome(ObjNode* egg, bool home)
{
    if (egg->ChainRoot)
        egg->ChainRoot->GameWords[0].i = home ? 1 : 0;
}

static bool IsEggHome(ObjNode* egg)
{
    return egg->ChainRoot && egg->ChainRoot->GameWords[0].i != 0;
}

static void MoveNest(ObjNode* nest)
{
    float dt = gFrameSeconds;
    ObjNode* egg = EggOfNest(nest);
    bool eggHome = egg && nest->GameWords[0].i != 0;

    // 1. A nest whose egg is away stays, so the egg keeps its home.
    if ((eggHome || !egg) && IsObjectOutOfRange(nest)) {
        DisposeObject(nest);
        return;
    }

    // 2. The glow pulses over a full nest and fades over an empty one.
    ObjNode* glow = GlowOfNest(nest);
    if (!glow)
        return;
    if (eggHome) {
        nest->FloatSlots[0] += PI * dt;
        glow->Tint.a = 0.4f + 0.1f * std::sin(nest->FloatSlots[0]);
    } else {
        glow->Tint.a = std::max(0.0f, glow->Tint.a - 0.3f * dt);
    }
}

bool AddEgg(MapItemType* item, float x, float z)
{
    int colour = std::min<int>(item->parm[0], NUM_EGG_COLORS - 1);
    Point3D at = {x, item->terrainY, z};
    ObjNode* nest = MakeGlobalModel(kNestModel, at, kNestSlot, kNestScale, RandomUnit() * PI2, 0, MoveNest);
    nest->TerrainItem = item;
    nest->GameWords[0].i = 0;
    if (item->flags & ITEM_FLAG_SPENT)
        return true; // the egg went into a wormhole: the nest stays empty

    // The egg, sitting on its blunt end.
    float bottom = gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][kFirstEggModel + colour].minY;
    Point3D eggAt = {x, item->terrainY - bottom, z};
    ObjNode* egg = MakeGlobalModel(kFirstEggModel + colour, eggAt, kEggSlot, 1, 0, 0, MoveFreeEgg);
    egg->ItemTag = ITEM_TAG_EGG;
    egg->Variant = colour;
    egg->InitPosition = egg->Position;
    egg->CType = kEggCType;
    egg->SolidSides = ALL_SOLID_SIDES;
    BoxFromModelBounds(egg, 1, 1);
    *EggStateOf(egg) = {};
    AppendNodeToChain(nest, egg);
    nest->GameWords[0].i = 1;

    // The glow over the nest, in the egg's colour.
    ObjNode* glow = MakeGlobalModel(kGlowModel, at, kGlowSlot, kNestScale, 0, kGlowStatus, nullptr);
    glow->Tint = kGlowTints[colour];
    AppendNodeToChain(egg, glow);
    MakeShadowNode(egg, 0, 3, 3, true);
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Free egg: lying, falling, going home, picked up
// ---------------------------------------------------------------------------------------------------------

static float NearestPlayerDistance(const Point3D* point)
{
    float nearest = 1e30f;
    for (int player = 0; player < std::min(gNumPanes, MAX_PLAYERS); player++)
        if (gPlayers[player].objNode)
            nearest = std::min(nearest, Distance3D(&gPlayers[player].objNode->Position, point));
    return nearest;
}

// Nobody near, nobody sees the egg, and nobody would see it appear at home.
static bool MayGoHomeUnseen(ObjNode* egg)
{
    if (NearestPlayerDistance(&egg->Position) <= kNobodyNear || !IsNodeCulledInAllPanes(egg))
        return false;
    Matrix4x4 atHome;
    MatrixTranslate(&atHome, egg->InitPosition.x, egg->InitPosition.y, egg->InitPosition.z);
    return !IsBoxVisible(&egg->ModelBounds, &atHome);
}

static void SendEggHome(ObjNode* egg)
{
    egg->Position = egg->InitPosition;
    egg->Velocity = {0, 0, 0};
    egg->Rotation = {0, egg->Rotation.y, 0};
    EggStateOf(egg)->wasCarried = false;
    SetEggHome(egg, true);
    RebuildNodeTransform(egg);
    StoreOldBoxes(egg);
    RefreshBoxFromPosition(egg);
    MoveShadowNode(egg);
}

static void TryPickup(ObjNode* egg)
{
    EggState* state = EggStateOf(egg);
    state->pickupDelay -= gFrameSeconds;
    if (state->pickupDelay > 0)
        return;
    for (int player = 0; player < std::min(gNumPanes, MAX_PLAYERS); player++) {
        PlayerRecord& record = gPlayers[player];
        if (!record.objNode || gPlayerDead[player] || record.carriedEgg || !record.objNode->Skeleton)
            continue;
        Point3D claw;
        FindJointPosition(record.objNode, kClawJoint, &claw);
        if (Distance3D(&claw, &egg->Position) >= kPickupReach)
            continue;
        SetEggHome(egg, false);
        record.carriedEgg = egg;
        egg->MoveProc = MoveCarriedEgg;
        egg->PaneIndex = uint8_t(player);
        state->wasCarried = true;
        state->returnTimer = kReturnDelay;
        PlayEffectAtRate(EFFECT_GRABEGG, &egg->Position, kNormalRate, 0.6f);
        RumbleForEffect(EFFECT_GRABEGG, player);
        return;
    }
}

static void MoveFreeEgg(ObjNode* egg)
{
    float dt = gFrameSeconds;
    EggState* state = EggStateOf(egg);

    // 1. Fall, roll to a stop and settle.
    BeginNodeUpdate(egg);
    gWorkVel.y -= 3000 * dt;
    if (egg->StatusFlags & NODEBIT_ON_GROUND) {
        DampVectorXZ(&gWorkVel, 300);
        egg->Rotation.x = IsEggHome(egg) ? 0 : PI / 2; // a lost egg lies on its side
    } else {
        DampVectorXZ(&gWorkVel, 100);
        egg->Rotation.x += 1.5f * dt;
    }
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;
    ResolveCollisions(egg, kEggCollideMask, 0.1f);
    CommitNodeUpdate(egg);

    // 2. A lost egg goes home after a while, unseen.
    if (state->wasCarried) {
        state->returnTimer -= dt;
        if (state->returnTimer <= 0 && (state->returnTimer < kForcedReturnTime || MayGoHomeUnseen(egg)))
            SendEggHome(egg);
    }

    // 3. A claw near it takes it.
    TryPickup(egg);
}

// ---------------------------------------------------------------------------------------------------------
// Carried egg
// ---------------------------------------------------------------------------------------------------------

// The egg leaves its nest's chain for good; the nest comes back empty.
static void LeaveNest(ObjNode* egg)
{
    ObjNode* nest = egg->ChainRoot;
    if (!nest)
        return;
    nest->GameWords[0].i = 0;
    if (nest->TerrainItem)
        nest->TerrainItem->flags |= ITEM_FLAG_SPENT;
    DetachFromChain(egg);
    egg->ChainNext = nullptr; // the glow stays with the nest and fades there
    egg->ChainRoot = nullptr;
}

static void HoldInClaw(ObjNode* egg, ObjNode* player)
{
    Matrix4x4 claw;
    FindJointFullMatrix(player, kClawJoint, &claw);
    BeginNodeUpdate(egg);
    gWorkPos = {claw.value[12], claw.value[13], claw.value[14]};
    gWorkVel = player->Velocity;
    claw.value[12] = claw.value[13] = claw.value[14] = 0;
    egg->RotMatrix = claw;
    egg->StatusFlags |= NODEBIT_USE_ROT_MATRIX;
    egg->Rotation.y = player->Rotation.y;
    CommitNodeUpdate(egg);
}

static void MoveCarriedEgg(ObjNode* egg)
{
    int player = egg->PaneIndex;
    PlayerRecord& record = gPlayers[player];
    if (!record.objNode || record.carriedEgg != egg) {
        egg->MoveProc = MoveFreeEgg; // the carrier is gone
        egg->StatusFlags &= ~NODEBIT_USE_ROT_MATRIX;
        return;
    }
    HoldInClaw(egg, record.objNode);

    // 1. At a wormhole's open side it is swallowed.
    ObjNode* wormhole = FindEggWormhole(egg->Variant, &egg->Position);
    if (wormhole) {
        LeaveNest(egg);
        EggState* state = EggStateOf(egg);
        state->wormhole = wormhole;
        state->wormholeStamp = wormhole->Stamp;
        state->jointIndex = 0;
        egg->Velocity = {0, 0, 0};
        egg->Speed = record.objNode->Speed;
        egg->StatusFlags &= ~NODEBIT_USE_ROT_MATRIX;
        egg->Rotation = {0, record.objNode->Rotation.y, 0};
        egg->MoveProc = MoveEggIntoWormhole;
        record.carriedEgg = nullptr;
        return;
    }

    // 2. Otherwise the drop need lets it go.
    if (GetNeedState(kNeedDropEgg, player) == KEYSTATE_PRESSED)
        DropEgg(player);
}

void DropEgg(int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* egg = record.carriedEgg;
    if (!egg)
        return;
    record.carriedEgg = nullptr;
    if (egg->CType == INVALID_NODE_FLAG)
        return;
    egg->MoveProc = MoveFreeEgg;
    egg->StatusFlags &= ~NODEBIT_USE_ROT_MATRIX;
    egg->StatusFlags &= ~NODEBIT_ON_GROUND;
    egg->Rotation = {0, egg->Rotation.y, 0};
    EggStateOf(egg)->pickupDelay = 1;
    if (record.objNode) {
        const Vector3D& v = record.objNode->Velocity;
        egg->Velocity = {v.x * 0.8f, v.y * 0.8f, v.z * 0.8f};
    }
    RebuildNodeTransform(egg);
}

// ---------------------------------------------------------------------------------------------------------
// Into the wormhole, and delivery
// ---------------------------------------------------------------------------------------------------------

ObjNode* FindEggWormhole(int colour, const Point3D* point)
{
    ObjNode* best = nullptr;
    float nearest = 0;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->ItemTag != ITEM_TAG_EGG_WORMHOLE || node->CType == INVALID_NODE_FLAG || !node->Skeleton)
            continue;
        if (gPlayMode == kPlayMode_CaptureTheFlag && node->PaneIndex == colour)
            continue; // a team's own eggs never go into its own wormhole
        Point3D mouth, deeper;
        FindJointPosition(node, 0, &mouth);
        FindJointPosition(node, 1, &deeper);
        Vector3D axis, toEgg;
        Normalize3XYZ(deeper.x - mouth.x, deeper.y - mouth.y, deeper.z - mouth.z, &axis);
        Normalize3XYZ(point->x - mouth.x, point->y - mouth.y, point->z - mouth.z, &toEgg);
        if (axis.x * toEgg.x + axis.y * toEgg.y + axis.z * toEgg.z >= 0)
            continue; // behind the wormhole: the closed side
        float distance = Distance3D(&mouth, point);
        if (!best || distance < nearest) {
            best = node;
            nearest = distance;
        }
    }
    return best && nearest < kSwallowReach ? best : nullptr;
}

// The capture match is decided when one colour is all in.
static void CheckCaptureDecided()
{
    if (gLevelEnding)
        return;
    if (gEggsDelivered[1] >= gEggsInLevel[1]) {
        ShowWinLoseSprite(0, WINLOSE_WIN);
        ShowWinLoseSprite(1, WINLOSE_LOSE);
    } else if (gEggsDelivered[0] >= gEggsInLevel[0]) {
        ShowWinLoseSprite(1, WINLOSE_WIN);
        ShowWinLoseSprite(0, WINLOSE_LOSE);
    } else {
        return;
    }
    BeginLevelEnd(5);
}

static void DeliverEgg(ObjNode* egg)
{
    int colour = egg->Variant;
    if (gEggsDelivered[colour] < 255)
        gEggsDelivered[colour]++;
    SetEggFlash(colour);

    if (gPlayMode == kPlayMode_Adventure) {
        bool complete = true;
        for (int c = 0; c < NUM_EGG_COLORS; c++)
            if (gEggsInLevel[c] > 0 && gEggsDelivered[c] < gEggsInLevel[c])
                complete = false;
        if (complete)
            gAllEggsDelivered = true;
    } else if (gPlayMode == kPlayMode_CaptureTheFlag) {
        CheckCaptureDecided();
    }
    DisposeObject(egg);
}

static void MoveEggIntoWormhole(ObjNode* egg)
{
    float dt = gFrameSeconds;
    EggState* state = EggStateOf(egg);
    ObjNode* wormhole = state->wormhole;
    if (!wormhole || wormhole->Stamp != state->wormholeStamp || !wormhole->Skeleton) {
        DeliverEgg(egg); // the tunnel is gone; the egg was already taken
        return;
    }
    int jointCount = wormhole->Skeleton->info->numJoints;

    // 1. Toward the next tunnel joint.
    BeginNodeUpdate(egg);
    Point3D target;
    FindJointPosition(wormhole, state->jointIndex, &target);
    float before = Distance3D(&gWorkPos, &target);
    Vector3D direction;
    Normalize3XYZ(target.x - gWorkPos.x, target.y - gWorkPos.y, target.z - gWorkPos.z, &direction);
    gWorkVel = {direction.x * egg->Speed, direction.y * egg->Speed, direction.z * egg->Speed};
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;
    float after = Distance3D(&gWorkPos, &target);

    // 2. Passed or reached: on to the next joint; past the last one it is delivered.
    if (before < after || after < kTunnelJointReach) {
        state->jointIndex++;
        if (state->jointIndex == 1) {
            PlayEffectAt(EFFECT_EGGINTOWORMHOLE, &gWorkPos);
            RumbleForEffect(EFFECT_EGGINTOWORMHOLE, egg->PaneIndex);
        }
        if (state->jointIndex >= jointCount) {
            DeliverEgg(egg);
            return;
        }
    }

    // 3. Faster, tumbling, and shrinking once inside.
    egg->Speed = std::min(1500.0f, egg->Speed + 500 * dt);
    egg->Rotation.x += 4.5f * dt;
    egg->Rotation.z += 2.4f * dt;
    if (state->jointIndex > 0) {
        float scale = egg->Scale.x - 0.5f * dt;
        if (scale <= 0) {
            DeliverEgg(egg);
            return;
        }
        egg->Scale = {scale, scale, scale};
    }
    CommitNodeUpdate(egg);
}
