// The wormholes: egg wormholes that swallow eggs and shrink away once every egg is in, the start
// wormhole a player arrives through, and the exit wormhole that draws player 0 in at the end of the
// level. Also the two-player result pictures.
//
// Node use: a wormhole's second texture layer scrolls by ExtraFloats[0] and [1]; an egg wormhole keeps
// its owner in PaneIndex and whether its loop sound was started in GameWords[0]; the start wormhole
// counts down in Health.

#include "Gameplay/Eggs.h"

#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Player.h"
#include "Objects/DisplayGroups.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"

#include <algorithm>
#include <cmath>

bool gAllEggsDelivered;
ObjNode* gExitWormhole;

static ObjNode* gStartWormholes[MAX_PLAYERS];

static constexpr int kWormholeModel = 20; // of the global models: the start and exit wormholes
static constexpr uint16_t kWormholeSlot = 3000;
static constexpr uint32_t kWormholeStatus =
    NODEBIT_TEXTURE_SCROLL | NODEBIT_ADDITIVE | NODEBIT_DEPTH_WRITE_OFF | NODEBIT_SHOW_BACKFACES;
static constexpr float kWormholeScale = 4;
static constexpr float kEggWormholeHeight = 1300;
static constexpr float kEggWormholePitch = 0.8f;
static constexpr float kStartExitHeight = 1400;
static constexpr float kStartPitch = 0.62831855f;
static constexpr float kExitPitch = 0.3926991f;
static constexpr float kExitCaptureReach = 1000;
static constexpr int kVanishAnim = 1;
static constexpr uint16_t kWinLoseSlot = 3100;
static constexpr int kFirstWinLoseSprite = 32;

// ---------------------------------------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------------------------------------

static void GiveSecondLayer(MetaObject* material)
{
    MaterialRecord* data = MO_GetMaterialData(material);
    data->flags |= MO_MATERIAL_FLAG_MULTITEXTURE;
    data->layerMode = 0;
    data->layerCombine = MO_LAYER_COMBINE_ADD_COLOR;
}

void ModifyWormholeTextures()
{
    gAllEggsDelivered = false;
    gExitWormhole = nullptr;
    std::fill(std::begin(gStartWormholes), std::end(gStartWormholes), nullptr);

    SkeletonInfoType* skeleton = gLoadedSkeletons[SKELETON_TYPE_WORMHOLE];
    if (skeleton && skeleton->meshCount > 0 && skeleton->meshes[0].numMaterials > 0)
        GiveSecondLayer(skeleton->meshes[0].materials[0]);

    if (gNumObjectsInGroupList[MODEL_GROUP_GLOBAL] <= kWormholeModel)
        return;
    MetaObject* model = gTQ3DModelList[MODEL_GROUP_GLOBAL][kWormholeModel];
    if (model->type == MO_TYPE_GROUP)
        ShowFatalAlert("ModifyWormholeTextures: object is group");
    const VertexArrayGeometry* mesh = MO_GetGeometryData(model);
    if (mesh->numMaterials > 0)
        GiveSecondLayer(mesh->materials[0]);
}

static void ScrollTextures(ObjNode* node, float du, float dv, float du2, float dv2)
{
    float dt = gFrameSeconds;
    node->TextureOffset.u += du * dt;
    node->TextureOffset.v += dv * dt;
    node->ExtraFloats[0] += du2 * dt;
    node->ExtraFloats[1] += dv2 * dt;
}

// The WORMHOLE loop, started once and then kept at the node.
static void KeepWormholeSound(ObjNode* node, uint32_t rate, float volume)
{
    if (node->GameWords[0].i == 0) {
        node->GameWords[0].i = 1;
        node->LoopChannel = PlayEffectAtRate(EFFECT_WORMHOLE, &node->Position, rate, volume);
    } else if (node->LoopChannel != -1) {
        FollowEffectChannel(EFFECT_WORMHOLE, &node->LoopChannel, &node->Position);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Egg wormholes
// ---------------------------------------------------------------------------------------------------------

static void MoveEggWormhole(ObjNode* node)
{
    float dt = gFrameSeconds;
    if (IsObjectOutOfRange(node)) {
        DisposeObject(node);
        return;
    }
    ScrollTextures(node, 0.5f, -0.3f, -0.1f, -0.4f);
    if (node->LoopChannel != -1) // quieter as it shrinks
        gEffectChannelInfo[node->LoopChannel].volumeAdjust = node->Scale.x * 0.25f;
    KeepWormholeSound(node, kNormalRate * 3 / 2, 1);

    // Every egg is in: shrink away and leave the exit in its place.
    if (gAllEggsDelivered) {
        if (node->Phase == 0) {
            node->Phase = 1;
            MorphToSkeletonAnim(node->Skeleton, kVanishAnim, 2);
            PlayEffectAt(EFFECT_WORMHOLEVANISH, &node->Position);
        }
        node->Rotation.x += dt;
        float scale = node->Scale.x - 6 * dt;
        if (scale <= 0) {
            if (!gExitWormhole)
                MakeExitWormhole(node->Position.x, node->Position.z);
            DisposeObject(node);
            return;
        }
        node->Scale = {scale, scale, scale};
    }
    RebuildNodeTransform(node);
}

bool AddEggWormhole(MapItemType* item, float x, float z)
{
    if (gAllEggsDelivered) {
        if (!gExitWormhole)
            MakeExitWormhole(x, z);
        return false;
    }
    ObjectDefinition def = {};
    def.artIndex = SKELETON_TYPE_WORMHOLE;
    def.startAnim = 0;
    def.position = {x, item->terrainY + kEggWormholeHeight, z};
    def.statusFlags = gDistanceFadeBits | kWormholeStatus;
    def.slot = int16_t(kWormholeSlot);
    def.moveProc = MoveEggWormhole;
    def.drawProc = DrawWithScrolledSecondLayer;
    def.rotationY = float(item->parm[0]) * 0.7853982f;
    def.scale = kWormholeScale;
    ObjNode* node = MakeNewSkeletonBaseData(&def);
    node->Rotation.x = kEggWormholePitch;
    node->ItemTag = ITEM_TAG_EGG_WORMHOLE;
    node->PaneIndex = item->parm[1];
    node->TerrainItem = item;
    node->LoopChannel = -1;
    node->GameWords[0].i = 0;
    RebuildNodeTransform(node);
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Start and exit wormholes
// ---------------------------------------------------------------------------------------------------------

static ObjNode* MakeWormholeModel(float x, float z, float heading, float scale, float pitch, ObjNodeProc move)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_GLOBAL;
    def.artIndex = kWormholeModel;
    def.position = {x, TerrainHeightAt(x, z) + kStartExitHeight, z};
    def.statusFlags = kWormholeStatus;
    def.slot = int16_t(kWormholeSlot);
    def.moveProc = move;
    def.drawProc = DrawWithScrolledSecondLayer;
    def.rotationY = heading;
    def.scale = scale;
    ObjNode* node = MakeNewDisplayGroupObject(&def);
    node->Rotation.x = pitch;
    node->LoopChannel = -1;
    node->GameWords[0].i = 0;
    RebuildNodeTransform(node);
    return node;
}

static void MoveStartWormhole(ObjNode* node)
{
    float dt = gFrameSeconds;
    int owner = node->PaneIndex;

    // 1. After three seconds it closes behind the player.
    bool wasOpen = node->Health >= 0;
    node->Health -= dt;
    if (wasOpen && node->Health < 0) {
        PlayEffectAtRate(EFFECT_WORMHOLEVANISH, &node->Position, kNormalRate, 2);
        RumbleForEffect(EFFECT_WORMHOLEVANISH, owner);
    }
    if (node->Health < 0) {
        float scale = node->Scale.x - 8 * dt;
        if (scale <= 0) {
            if (owner < MAX_PLAYERS && gStartWormholes[owner] == node)
                gStartWormholes[owner] = nullptr;
            DisposeObject(node);
            return;
        }
        node->Scale = {scale, scale, scale};
    }
    ScrollTextures(node, 0.5f, 0.3f, -0.1f, 0.4f);
    KeepWormholeSound(node, kNormalRate, 1);
    RebuildNodeTransform(node);
}

ObjNode* MakeStartWormhole(int player)
{
    const PlayerRecord& record = gPlayers[player];
    float heading = record.objNode ? record.objNode->Rotation.y : record.startHeading;
    ObjNode* node = MakeWormholeModel(float(record.startX), float(record.startZ), heading, kWormholeScale,
                                      kStartPitch, MoveStartWormhole);
    node->Health = 3;
    node->PaneIndex = uint8_t(player);
    gStartWormholes[player] = node;
    return node;
}

ObjNode* StartWormholeOf(int player)
{
    return player >= 0 && player < MAX_PLAYERS ? gStartWormholes[player] : nullptr;
}

// Player 0 in front of the mouth is drawn in: the player's exit state does the rest.
static void CaptureIntoExit(ObjNode* wormhole)
{
    PlayerRecord& record = gPlayers[0];
    ObjNode* player = record.objNode;
    if (!player || gPlayerDead[0] || !player->Skeleton || player->Skeleton->animNum == PLAYER_ANIM_EXIT)
        return;
    if (Distance3D(&player->Position, &wormhole->Position) >= kExitCaptureReach)
        return;
    Vector3D down = {0, -1, 0}, mouth;
    TransformVector(&down, &wormhole->Transform, &mouth);
    Vector3D toWormhole;
    Normalize3XYZ(wormhole->Position.x - player->Position.x, wormhole->Position.y - player->Position.y,
                  wormhole->Position.z - player->Position.z, &toWormhole);
    if (mouth.x * toWormhole.x + mouth.y * toWormhole.y + mouth.z * toWormhole.z > 0)
        return; // behind the wormhole

    DropEgg(0);
    StopEffectChannelIfPlaying(&player->LoopChannel, EFFECT_JETPACKHUM);
    record.jetOn = false;
    gSpeedCapTarget[0] = PLAYER_NORMAL_SPEED_CAP;
    MorphToSkeletonAnim(player->Skeleton, PLAYER_ANIM_EXIT, 2);
    player->MotionDir = toWormhole;
    player->Velocity = {toWormhole.x * player->Speed, toWormhole.y * player->Speed,
                        toWormhole.z * player->Speed};
    gExitWormholePosition = wormhole->Position;
    gCameraWatchExit = true;
}

static void MoveExitWormhole(ObjNode* node)
{
    float scale = std::min(kWormholeScale, node->Scale.x + 5 * gFrameSeconds);
    node->Scale = {scale, scale, scale};
    ScrollTextures(node, 0.5f, 0.3f, 0.1f, 0.4f);
    KeepWormholeSound(node, kNormalRate, 1.4f);
    RebuildNodeTransform(node);
    if (scale >= kWormholeScale)
        CaptureIntoExit(node);
}

ObjNode* MakeExitWormhole(float x, float z)
{
    ObjNode* node = MakeWormholeModel(x, z, 0, 0.001f, kExitPitch, MoveExitWormhole);
    gExitWormhole = node;
    PlayEffectAtRate(EFFECT_WORMHOLEAPPEAR, &node->Position, kNormalRate, 2);
    return node;
}

// ---------------------------------------------------------------------------------------------------------
// Two-player result pictures
// ---------------------------------------------------------------------------------------------------------

void ShowWinLoseSprite(int player, int result)
{
    int sprite = kFirstWinLoseSprite + result;
    if (sprite >= gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR])
        return; // the infobar art is not loaded (tools and tests without the infobar)
    ObjectDefinition def = {};
    def.artGroup = SPRITE_GROUP_INFOBAR;
    def.artIndex = uint8_t(sprite);
    def.position = {320, 480 - 80, 0};
    def.slot = int16_t(kWinLoseSlot);
    def.scale = 230;
    ObjNode* picture = MakeSpriteObject(&def, true);
    if (!picture)
        return;
    picture->StatusFlags |= NODEBIT_PANE_ONLY;
    picture->PaneIndex = uint8_t(player);
}
