// Air mines: a mine floating on a chain from an anchor on the ground, swinging slowly. Touched or
// shot, it explodes in fire and fireballs; the anchor stays, and the mine never returns.
//
// Node fields used:
//  - anchor: FloatSlots[0] swing phase; ChainNext the chain, then the mine;
//  - chain: InitPosition its rest position (the swing turns it about the anchor's pivot);
//  - mine: Damage;
//  - fireball: Health lifetime left, GeneralBlock its smoke trail emitter, SparkleSlots its glow.

#include "Gameplay/HazardsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/ItemsLocal.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Prefs.h"
#include "System/Random.h"

#include <cmath>

static constexpr float kMineScale = 1.2f;
static constexpr int kAnchorSlot = 2800;
static constexpr uint32_t kAnchorCType = 0x40;
static constexpr uint32_t kMineCType = 0x10050;
static constexpr float kPivotHeight = 48;
static constexpr int kFireballSlot = 3020;
static constexpr int kFireballs = 10;

struct MineArt
{
    int firstModel; // anchor, chain, mine
    float dropStep;
    float maxDrop;
    float chainLength; // chain-local height of the mine
};

static MineArt MineArtOfLevel()
{
    switch (gItemLevel.levelIndex) {
    case 1:
        return {2, 230, 1680.0001f, 2000};
    case 2:
    case 3:
    case 7:
        return {29, 230, 1680.0001f, 2000};
    default: // the forest levels; the others were refused by the art check
        return {43, 80, 720, 1000};
    }
}

// The chain's place for this swing: its rest position turned by (pitch, heading) about the pivot.
static void SwingChain(ObjNode* anchor, ObjNode* chain, float pitch)
{
    Point3D pivot = {anchor->Position.x, anchor->Position.y + kPivotHeight, anchor->Position.z};
    MatrixRotateXYZ(&chain->RotMatrix, pitch, chain->Rotation.y, 0);
    Point3D rest = {chain->InitPosition.x - pivot.x, chain->InitPosition.y - pivot.y,
                    chain->InitPosition.z - pivot.z};
    Point3D turned;
    TransformPoint(&rest, &chain->RotMatrix, &turned);
    chain->Rotation.x = pitch;
    chain->Position = {turned.x + pivot.x, turned.y + pivot.y, turned.z + pivot.z};
    RebuildNodeTransform(chain);
}

static void PlaceMineOnChain(ObjNode* chain, ObjNode* mine, float chainLength)
{
    Point3D local = {0, chainLength, 0};
    StoreOldBoxes(mine);
    TransformPoint(&local, &chain->Transform, &mine->Position);
    mine->Rotation.x = chain->Rotation.x;
    RebuildNodeTransform(mine);
    RefreshBoxFromPosition(mine);
}

static void MoveMineAnchor(ObjNode* anchor)
{
    // 1. Gone with its window, chain and mine with it.
    if (IsObjectOutOfRange(anchor)) {
        DisposeObject(anchor);
        return;
    }
    ObjNode* chain = anchor->ChainNext;
    ObjNode* mine = chain ? chain->ChainNext : nullptr;
    if (!mine)
        return;

    // 2. The chain swings about the anchor, and the mine rides its top.
    anchor->FloatSlots[0] += 1.1f * gFrameSeconds;
    SwingChain(anchor, chain, 0.15f * std::sin(anchor->FloatSlots[0]));
    PlaceMineOnChain(chain, mine, MineArtOfLevel().chainLength);
}

// ---------------------------------------------------------------------------------------------------------
// The explosion
// ---------------------------------------------------------------------------------------------------------

static void MoveFireball(ObjNode* ball)
{
    float dt = gFrameSeconds;
    ball->Health -= dt;
    if (ball->Health <= 0) {
        DisposeObject(ball);
        return;
    }
    ball->Velocity.y -= 500 * dt;
    ball->Position.x += ball->Velocity.x * dt;
    ball->Position.y += ball->Velocity.y * dt;
    ball->Position.z += ball->Velocity.z * dt;
    RebuildNodeTransform(ball);
    if (ball->SparkleSlots[0] >= 0)
        gSparkleTable[ball->SparkleSlots[0]].position = ball->Position;
    EmitSmokeTrail(&ball->Position, NodeEffectEmitter(ball));
}

static void LaunchFireball(const Point3D& centre)
{
    Vector3D dir;
    float x = RandomSigned(), y = RandomUnit() * 2 - 0.5f, z = RandomSigned();
    Normalize3XYZ(x, y, z, &dir);
    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.slot = kFireballSlot;
    def.position = {centre.x + dir.x * 50, centre.y + dir.y * 50, centre.z + dir.z * 50};
    def.moveProc = MoveFireball;
    def.scale = 1;
    ObjNode* ball = MakeNewObject(&def);
    ball->Velocity = {dir.x * 800, dir.y * 800, dir.z * 800};
    ball->Health = 1.2f + RandomUnit() * 0.3f;
    InitEffectEmitter(NodeEffectEmitter(ball));
    AddHazardSparkle(ball, GLINT_ALL_DIRECTIONS | GLINT_ALWAYS, 120, ball->Position,
                     PARTICLE_SObjType_Fireball);
}

static void ExplodeMine(ObjNode* mine)
{
    ObjNode* anchor = mine->ChainRoot;
    Point3D where = mine->Position;
    MakeFireExplosion(&where, 70, 800);
    for (int i = 0; i < kFireballs; i++)
        LaunchFireball(where);
    ShatterObject(mine, 600, SHATTER_RADIAL, 1, 1);
    PlayEffectAt(EFFECT_MINEEXPLODE, &gWorkPos);
    if (!anchor) {
        DisposeObject(mine);
        return;
    }
    ForgetMapItem(anchor);
    ObjNode* chain = anchor->ChainNext;
    anchor->ChainNext = nullptr;
    DisposeObject(chain); // and the mine after it
    anchor->MoveProc = MoveStaticItem;
}

static bool MineHitByWeapon(ObjNode*, ObjNode* mine, const Point3D*, const Vector3D*)
{
    ExplodeMine(mine);
    return true;
}

static bool TouchMine(ObjNode* mine, ObjNode* playerObj)
{
    int player = PlayerIndexOf(playerObj);
    if (gPlayers[player].shieldTimer > 0)
        ShieldHit(player, 3, 2.5f, true);
    else if (!gPrefs.easyMode)
        CrashPlayer(playerObj, mine, PLAYER_DEATH_FALL);
    ExplodeMine(mine);
    return false;
}

bool AddAirMine(MapItemType* item, float x, float z)
{
    MineArt art = MineArtOfLevel();
    for (int part = 0; part < 3; part++)
        RequireLevelModel("AddAirMine", art.firstModel + part);
    float drop = item->parm[0] == 0 ? RandomUnit() * art.maxDrop * 0.9999f
                                    : art.dropStep * std::max(0, 10 - int(item->parm[0]));

    // 1. The anchor on the lowest ground under it.
    float y = LowestTerrainUnderModel(x, z, MODEL_GROUP_LEVELSPECIFIC, art.firstModel, kMineScale);
    Point3D where = {x, y, z};
    ObjNode* anchor = MakeHazardPart(MODEL_GROUP_LEVELSPECIFIC, art.firstModel, where, kAnchorSlot, 0,
                                     kMineScale, 0, MoveMineAnchor);
    anchor->TerrainItem = item;
    anchor->CType = kAnchorCType;
    anchor->SolidSides = ALL_SOLID_SIDES;
    BoxFromModelBounds(anchor, 1, 1);
    anchor->FloatSlots[0] = RandomUnit() * PI2;

    // 2. The chain, sunk by the drop, swinging about a pivot just above the anchor.
    Point3D chainAt = {x, y - drop, z};
    ObjNode* chain = AppendHazardPart(anchor, MODEL_GROUP_LEVELSPECIFIC, art.firstModel + 1, chainAt,
                                      kAnchorSlot + 1, RandomUnit() * PI2, kMineScale,
                                      NODEBIT_ALPHA_TEST | NODEBIT_SHOW_BACKFACES | NODEBIT_USE_ROT_MATRIX);
    chain->InitPosition = chainAt;
    AddHazardSparkle(chain, GLINT_ALL_DIRECTIONS | GLINT_OWNER_SPACE, 100, {0, art.chainLength + 100, 0},
                     PARTICLE_SObjType_WhiteGlow);

    // 3. The mine at the chain's top.
    ObjNode* mine = AppendHazardPart(anchor, MODEL_GROUP_LEVELSPECIFIC, art.firstModel + 2, where,
                                     kAnchorSlot + 2, 0, kMineScale, 0);
    mine->Damage = 1.0f;
    mine->CType = kMineCType;
    mine->SolidSides = ALL_SOLID_SIDES;
    mine->TriggerProc = TouchMine;
    mine->WeaponHitProc = MineHitByWeapon;
    BoxFromModelBounds(mine, 0.5f, 0.9f);
    SwingChain(anchor, chain, 0.15f * std::sin(anchor->FloatSlots[0]));
    PlaceMineOnChain(chain, mine, art.chainLength);
    StoreOldBoxes(mine);
    return true;
}
