// The player records across a game, the player objects of a level, and death and respawn.

#include "Gameplay/Player.h"

#include "3D/MetaObjects.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Weapons.h"
#include "Interface/Infobar.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Skeleton/Skeleton.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"

#include <algorithm>
#include <cmath>
#include <iterator>

PlayerRecord gPlayers[MAX_PLAYERS];
float gSpeedCap[MAX_PLAYERS];
float gSpeedCapTarget[MAX_PLAYERS];
bool gPlayerDead[MAX_PLAYERS];
float gRespawnTimer[MAX_PLAYERS];
Point3D gRespawnPoint[MAX_PLAYERS];
float gRespawnRotY[MAX_PLAYERS];

static constexpr int kPlayerSlot = 50;
static constexpr int kJetPackModel = 0;
static constexpr int kJetGlowModel = 1;
static constexpr int kPlayerTwoSkinGroup = 8;
static constexpr float kStartHeightAboveSurface = 500;
static constexpr uint32_t kPlayerTouchBit = 0x10;   // the other player touches through the trigger bit
static constexpr uint32_t kSolidSurfaceBits = 0x40; // objects a player may stand above
static constexpr float kStartContrailDistance = 10000000;
static constexpr float kArrivalSpeed = 2500;
static constexpr float kMuzzleFadeRate = 5; // opacity lost per second by a muzzle flash

// Pane i plays player i: in one-player games only player 0 exists.
static int NumPlayers()
{
    return std::min(gNumPanes, MAX_PLAYERS);
}

void InitPlayerRecords(bool restoredGame)
{
    for (int player = 0; player < MAX_PLAYERS; player++) {
        PlayerRecord& record = gPlayers[player];
        if (!restoredGame) {
            record.lives = gPlayMode == kPlayMode_Battle ? 5 : 3;
            record.health = 1.0f;
            record.jetFuel = gPlayMode == kPlayMode_Race ? 0.25f : 1.0f;
            record.shieldTimer = 3.0f;
            for (int16_t& rounds : record.ammo)
                rounds = 0;
        } else {
            const PlayerStock& stock = gPlayerStock[player];
            record.lives = stock.lives;
            record.health = stock.health;
            record.jetFuel = stock.jetFuel;
            record.shieldTimer = stock.shieldTimer;
            std::copy(std::begin(stock.ammo), std::end(stock.ammo), record.ammo);
        }
        record.startX = 0;
        record.startZ = 0;
        record.startHeading = 0;
        record.currentWeapon = 3; // the sonic scream, which never runs out
        record.ammo[3] = 999;
        gRespawnTimer[player] = 0;
    }
    StorePlayerStock();
}

void StorePlayerStock()
{
    for (int player = 0; player < MAX_PLAYERS; player++) {
        const PlayerRecord& record = gPlayers[player];
        PlayerStock& stock = gPlayerStock[player];
        stock.lives = record.lives;
        stock.health = record.health;
        stock.jetFuel = record.jetFuel;
        stock.shieldTimer = record.shieldTimer;
        std::copy(std::begin(record.ammo), std::end(record.ammo), stock.ammo);
    }
}

void ClearPlayerObjects()
{
    for (PlayerRecord& record : gPlayers) {
        record.objNode = nullptr;
        record.shieldObj = nullptr;
        record.carriedEgg = nullptr;
        record.chargeChannel = -1;
    }
}

void DisposePlayerArt()
{
    DisposeSpriteGroup(kPlayerTwoSkinGroup);
    ClearPlayerObjects();
}

float MaxFlightAltitude(float x, float z)
{
    if (gLevelIndex == 0)
        return std::min(TerrainHeightAt(x, z) + 1400.0f, PLAYER_CEILING);
    return PLAYER_CEILING;
}

void ChangePlayerOpacity(int player, float delta)
{
    ObjNode* node = gPlayers[player].objNode;
    if (!node)
        return;
    for (ObjNode* part = node; part; part = part->ChainNext)
        part->Tint.a = std::clamp(part->Tint.a + delta, 0.0f, 1.0f);
    if (node->Tint.a <= 0) {
        HideChain(node);
        for (ObjNode* part = node; part; part = part->ChainNext)
            part->StatusFlags |= NODEBIT_FROZEN;
        node->CType = 0;
    }
}

// The jet pack and its glow ride on the player's chain; their move routine keeps them on its back.
static void MoveJetPackPart(ObjNode* part)
{
    ObjNode* player = part->ChainRoot;
    if (!player || player->CType == INVALID_NODE_FLAG)
        return;
    part->Position = player->Position;
    part->Rotation = player->Rotation;
    part->Scale = player->Scale;
    RebuildNodeTransform(part);

    // A muzzle flash lit by a shot dies away within a fifth of a second.
    for (int16_t index : part->SparkleSlots) {
        if (index >= 0 && gSparkleTable[index].isActive)
            gSparkleTable[index].color[3] =
                std::max(0.0f, gSparkleTable[index].color[3] - kMuzzleFadeRate * gFrameSeconds);
    }
}

// The muzzle sparkles on the jet pack, in the order of the muzzles: dark until a shot lights one.
static void AddMuzzleSparkles(ObjNode* jetPack)
{
    for (const Point3D& muzzle : PLAYER_MUZZLE_POINTS) {
        int16_t index = AttachSparkleToObject(jetPack);
        if (index < 0)
            return; // a full sparkle table only drops the flashes
        SparkleRecord& sparkle = gSparkleTable[index];
        sparkle.flags = GLINT_OWNER_SPACE | GLINT_ALL_DIRECTIONS;
        sparkle.position = muzzle;
        sparkle.facing = {0, 0, -1};
        sparkle.color[3] = 0;
        sparkle.halfSize = 0;
        sparkle.pullToCamera = 20;
        sparkle.spriteIndex = PARTICLE_SObjType_WhiteGlow;
    }
}

static void AppendJetPackPart(ObjNode* player, int model, int slot, uint32_t extraFlags, float opacity)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_PLAYERPARTS;
    def.artIndex = uint8_t(model);
    def.position = player->Position;
    def.statusFlags = gDistanceFadeBits | NODEBIT_ROT_XZY | extraFlags;
    def.slot = int16_t(slot);
    def.moveProc = MoveJetPackPart;
    def.rotationY = player->Rotation.y;
    def.scale = player->Scale.x;
    ObjNode* part = MakeNewDisplayGroupObject(&def);
    part->Tint.a = opacity;
    AppendNodeToChain(player, part);
}

static void UsePlayerTwoSkin(ObjNode* node)
{
    if (gNumSpritesInGroupList[kPlayerTwoSkinGroup] == 0)
        LoadSpriteGroupFromFile(kPlayerTwoSkinGroup, ":sprites:textures:player2");
    for (MetaObject*& material : node->Skeleton->materialOverride)
        material = gSpriteGroupList[kPlayerTwoSkinGroup][0].materialObject;
}

ObjNode* MakePlayer(int player, const PlayerStartType* start, float scale)
{
    float x = float(start->x);
    float z = float(start->z);
    float surface = std::max(TerrainHeightAt(x, z), HighestSurfaceAtXZ(x, z, kSolidSurfaceBits));

    ObjectDefinition def = {};
    def.artIndex = SKELETON_TYPE_PLAYER;
    def.startAnim = PLAYER_ANIM_FLY;
    def.position = {x, surface + kStartHeightAboveSurface, z};
    def.statusFlags = gDistanceFadeBits | NODEBIT_CLAMP_UV | NODEBIT_ROT_XZY;
    def.slot = kPlayerSlot;
    def.moveProc = MovePlayer;
    def.rotationY = start->heading;
    def.scale = scale;
    ObjNode* node = MakeNewSkeletonBaseData(&def);

    node->CType = 1u << player;
    node->SolidSides = ALL_SOLID_SIDES;
    node->PaneIndex = uint8_t(player);
    node->Speed = PLAYER_MIN_SPEED;
    node->Velocity = {-std::sin(start->heading) * PLAYER_MIN_SPEED, 0,
                      -std::cos(start->heading) * PLAYER_MIN_SPEED};
    node->LoopChannel = -1;
    float bottom = node->ModelBounds.isEmpty ? -40.0f : node->ModelBounds.minY;
    SetSingleCollisionBox(node, 40, bottom, -40, 40, 40, -40);
    node->FloatSlots[0] = bottom; // the saved bottom offset
    node->WeaponHitProc = PlayerHitByWeapon;
    node->HomingOffset = {0, 0, -80};
    if (gPlayMode != kPlayMode_Adventure) {
        node->CType |= kPlayerTouchBit;
        node->SolidSides |= SIDE_BITS_REPORT_TOUCH;
        node->TriggerProc = PlayerTouchesPlayer;
    }
    if (player == 1)
        UsePlayerTwoSkin(node);

    AppendJetPackPart(node, kJetPackModel, kPlayerSlot + 1, 0, 1.0f);
    AppendJetPackPart(node, kJetGlowModel, kPlayerSlot + 2, NODEBIT_ADDITIVE | NODEBIT_DEPTH_WRITE_OFF,
                      0.99f);
    AddMuzzleSparkles(node->ChainNext);

    gSpeedCap[player] = PLAYER_NORMAL_SPEED_CAP;
    gSpeedCapTarget[player] = PLAYER_NORMAL_SPEED_CAP;
    gPlayers[player].coord = node->Position;
    gPlayers[player].objNode = node;
    return node;
}

static void ResetLevelFields(int player)
{
    PlayerRecord& record = gPlayers[player];
    record.invincibleTimer = 0;
    record.jetOn = false;
    record.jetHumTimer = 0;
    record.carriedEgg = nullptr;
    record.shieldObj = nullptr;
    record.chargeChannel = -1;
    record.weaponCharge = 0;
    record.lap = 0;
    record.lastLineMarker = int16_t(gNumLineMarkers - 1);
    std::fill(std::begin(record.markerPassed), std::end(record.markerPassed), false);
    record.distanceToNextMarker = 0;
    record.place = int16_t(player);
    record.wrongWay = false;
    record.raceFinished = false;
    record.groundRumbleTimer = 0;
    record.dustDevil = nullptr;
    record.spinReleased = false;
    record.steer = 0;
    record.pitch = 0;
    record.flyAnimTimer = 0;
    record.waterEffectTimer = 0;
    InitEffectEmitter(&record.dustEmitter);
    InitEffectEmitter(&record.sprayEmitter);
    InitEffectEmitter(&record.smokeEmitter);
    for (Point3D& point : record.contrailLastPoint)
        point = {kStartContrailDistance, kStartContrailDistance, kStartContrailDistance};
    gPlayerDead[player] = false;
    gRespawnTimer[player] = 0;
}

// Player 0 flies out of the wormhole's mouth almost transparent, and fades in as it arrives.
static void PlaceAtStartWormhole(ObjNode* wormhole)
{
    ObjNode* node = gPlayers[0].objNode;
    if (!node || !wormhole)
        return;
    Point3D origin = {0, 0, 0};
    TransformPoint(&origin, &wormhole->Transform, &node->Position);
    Vector3D up = {0, 1, 0}, forward;
    TransformVector(&up, &wormhole->Transform, &forward);
    node->Velocity = {forward.x * -kArrivalSpeed, forward.y * -kArrivalSpeed, forward.z * -kArrivalSpeed};
    node->Speed = kArrivalSpeed;
    node->Rotation.y = wormhole->Rotation.y - PI / 2;
    gPlayers[0].coord = node->Position;
    SetSkeletonAnim(node->Skeleton, PLAYER_ANIM_ARRIVE);
    RebuildNodeTransform(node);
    StoreOldBoxes(node);
    RefreshBoxFromPosition(node);
    ChangePlayerOpacity(0, -0.99f);
}

void InitPlayers()
{
    InitSuperTileWindows();
    UpdateSuperTileWindows();

    for (int player = 0; player < NumPlayers(); player++) {
        ResetLevelFields(player);
        PlayerStartType start = gPlayerStarts[player];
        PlayerRecord& record = gPlayers[player];
        record.startX = start.x;
        record.startZ = start.z;
        record.startHeading = start.heading;

        ObjNode* node = MakePlayer(player, &start, 1.0f);
        gRespawnPoint[player] = node->Position;
        gRespawnRotY[player] = node->Rotation.y;
        if (record.shieldTimer > 0)
            MakeShieldBubble(player);
    }

    if (gPlayMode == kPlayMode_Adventure) {
        PlaceAtStartWormhole(MakeStartWormhole(0));
    }
}

void RespawnPlayer(int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    if (!node)
        return;

    // 1. A life, as the mode counts them.
    switch (gPlayMode) {
    case kPlayMode_Battle:
        if (record.lives <= 0)
            return; // out of the match: stays dead
        record.lives--;
        break;
    case kPlayMode_Adventure:
        if (record.lives <= 0) {
            gLevelLost = true;
            return;
        }
        record.lives--;
        break;
    default: // race and capture: unlimited
        break;
    }
    if (gPlayMode == kPlayMode_Adventure || gPlayMode == kPlayMode_Battle)
        ShowLivesMessage(player); // the lives left, while there are any

    // 2. Back at the respawn point, high up, at the respawn speed.
    MorphToSkeletonAnim(node->Skeleton, PLAYER_ANIM_FLY_VARIANT, 4);
    gSpeedCap[player] = gSpeedCapTarget[player] = node->Speed = PLAYER_RESPAWN_SPEED;
    float x = gRespawnPoint[player].x;
    float z = gRespawnPoint[player].z;
    node->Position = {x, MaxFlightAltitude(x, z) - (player == 0 ? 600.0f : 800.0f), z};
    record.coord = node->Position;
    UpdateSuperTileWindows();
    node->OldPosition = node->Position;
    node->CType = 1u << player;
    if (gPlayMode != kPlayMode_Adventure)
        node->CType |= kPlayerTouchBit;
    node->Velocity = {0, 0, 0};
    node->Scale = {1, 1, 1};
    for (ObjNode* part = node; part; part = part->ChainNext)
        part->StatusFlags &= ~(NODEBIT_INVISIBLE | NODEBIT_FROZEN);
    ChangePlayerOpacity(player, 1.0f);

    // 3. Whole again, briefly untouchable, level and facing the respawn heading.
    record.health = 1.0f;
    record.invincibleTimer = 1.0f;
    gPlayerDead[player] = false;
    node->Rotation = {0, gRespawnRotY[player], 0};
    RebuildNodeTransform(node);
    RefreshBoxFromPosition(node);
    ChoosePlayerAnim(node);
    ResetCamera(player);
}

void UpdatePlayerDeathTimers(uint32_t* panesToFadeOut, uint32_t* panesToFadeIn)
{
    *panesToFadeOut = 0;
    *panesToFadeIn = 0;
    for (int player = 0; player < NumPlayers(); player++) {
        if (!gPlayerDead[player])
            continue;
        float old = gRespawnTimer[player];
        float now = old - gFrameSeconds;
        gRespawnTimer[player] = now;
        if (now > 0)
            continue;
        if (old > 0) {
            bool keepsPane = gNumPanes == 1 && gPlayers[player].lives <= 0;
            if (!keepsPane)
                *panesToFadeOut |= 1u << player;
        } else if (now < -0.25f) {
            RespawnPlayer(player);
            if (!gPlayerDead[player])
                *panesToFadeIn |= 1u << player;
        }
    }
}
