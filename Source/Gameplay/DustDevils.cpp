// Dust devils: whirling funnels of sand that wander the desert, standing or along splines. A player
// who flies over the funnel's mouth is caught and spun round it (the player's spin state) before it
// flings them out. At most 20 exist at once; one node draws them all with one funnel mesh whose
// texture swirls faster near the ground.
//
// Node fields used (on each devil): Phase its slot in gDustDevils, GeneralBlock its dust emitter,
// LoopChannel its roar. The draw node has no fields of its own.

#include "Gameplay/HazardsLocal.h"

#include "3D/OGL_Support.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Player.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Prefs.h"
#include "System/Random.h"
#include "Terrain/SplineObjects.h"

#include <GL/gl.h>

#include <cmath>

DustDevilSlot gDustDevils[MAX_DUST_DEVILS];
int gNumDustDevils = 0;

static constexpr int kRings = 15;
static constexpr int kRingPoints = 20;
static constexpr int kFunnelPoints = kRings * kRingPoints;
static constexpr int kFunnelTriangles = (kRings - 1) * (kRingPoints - 1) * 2;
static constexpr float kRingAngleStep = 0.33069396f; // the last point closes the ring
static constexpr float kBottomRadius = 200;
static constexpr float kRingGrowth = 1.23f;
static constexpr float kRingHeight = 250;
static constexpr float kCatchMargin = 50;
static constexpr int kDevilSlot = 3097;
static constexpr int kDevilTexture = 1; // of the level's sprite group, loaded for the desert
static constexpr float kSplineSpeed = 65;

// The funnel mesh: one set of points, normals and triangles, and texture coordinates per frame parity.
static Point3D gFunnelPoints[kFunnelPoints];
static Vector3D gFunnelNormals[kFunnelPoints];
static float gFunnelUVs[2][kFunnelPoints * 2];
static uint32_t gFunnelTriangles[kFunnelTriangles * 3];
static VertexArrayGeometry gFunnelMesh[2];

static float RingRadius(int ring)
{
    return kBottomRadius * std::pow(kRingGrowth, float(ring));
}

static void BuildFunnelMesh()
{
    for (int k = 0; k < kRings; k++) {
        float radius = RingRadius(k);
        for (int p = 0; p < kRingPoints; p++) {
            int i = k * kRingPoints + p;
            float a = float(p) * kRingAngleStep;
            gFunnelPoints[i] = {std::sin(a) * radius, kRingHeight * float(k), std::cos(a) * radius};
            gFunnelNormals[i] = {-std::sin(a), 0, std::cos(a)};
            for (float* uvs : gFunnelUVs) {
                uvs[2 * i] = float(p) / float(kRingPoints - 1);
                uvs[2 * i + 1] = 1 - float(k) / float(kRings - 1);
            }
        }
    }
    uint32_t* t = gFunnelTriangles;
    for (int k = 0; k + 1 < kRings; k++) {
        for (int p = 0; p + 1 < kRingPoints; p++) {
            uint32_t a = uint32_t(k * kRingPoints + p), b = a + 1;
            uint32_t c = a + kRingPoints, d = b + kRingPoints;
            t[0] = a, t[1] = c, t[2] = b;
            t[3] = b, t[4] = c, t[5] = d;
            t += 6;
        }
    }
    for (int parity = 0; parity < 2; parity++) {
        VertexArrayGeometry& mesh = gFunnelMesh[parity];
        mesh = {};
        mesh.varPool = -1;
        mesh.numMaterials = -1; // drawn with the devil texture applied just before
        mesh.numPoints = kFunnelPoints;
        mesh.numTriangles = kFunnelTriangles;
        mesh.points = gFunnelPoints;
        mesh.normals = gFunnelNormals;
        mesh.uvs[0] = gFunnelUVs[parity];
        mesh.triangles = gFunnelTriangles;
    }
}

void SwirlDustDevils()
{
    if (gNumDustDevils <= 0)
        return;
    int parity = EffectFrameParity();
    const float* before = gFunnelUVs[parity ^ 1];
    float* now = gFunnelUVs[parity];
    for (int k = 0; k < kRings; k++) {
        float shift = 4 * std::pow(0.7f, float(k)) * gFrameSeconds;
        for (int p = 0; p < kRingPoints; p++) {
            int i = k * kRingPoints + p;
            now[2 * i] = before[2 * i] + shift;
        }
    }
}

static MetaObject* DevilTexture()
{
    if (!gSpriteGroupList[SPRITE_GROUP_LEVELSPECIFIC] ||
        gNumSpritesInGroupList[SPRITE_GROUP_LEVELSPECIFIC] <= kDevilTexture)
        return nullptr;
    return gSpriteGroupList[SPRITE_GROUP_LEVELSPECIFIC][kDevilTexture].materialObject;
}

static void DrawDustDevils(ObjNode*)
{
    MetaObject* texture = DevilTexture();
    if (!texture || gNumDustDevils <= 0)
        return;
    VertexArrayGeometry* mesh = &gFunnelMesh[EffectFrameParity()];
    gMaterialFlagsOverride = MO_MATERIAL_FLAG_CLAMP_V;
    for (const DustDevilSlot& slot : gDustDevils) {
        if (!slot.inUse || (slot.node->StatusFlags & (NODEBIT_UNLINKED | NODEBIT_INVISIBLE)))
            continue;
        const Point3D& at = slot.node->Position;
        glPushMatrix();
        glTranslatef(at.x, at.y, at.z);
        if (!gPrefs.reducedDetail) {
            // A fainter, narrower funnel inside, turned half a turn, gives the whirl depth.
            glPushMatrix();
            glScalef(0.8f, 1, 0.8f);
            glRotatef(180, 0, 1, 0);
            gDrawTint[0] = gDrawTint[1] = gDrawTint[2] = 1;
            gDrawOpacity = 0.5f;
            MO_DrawMaterial(texture);
            MO_DrawGeometry_VertexArray(mesh);
            gDrawOpacity = 1;
            glPopMatrix();
        }
        MO_DrawMaterial(texture);
        MO_DrawGeometry_VertexArray(mesh);
        glPopMatrix();
    }
    gMaterialFlagsOverride = 0;
}

void InitDustDevils()
{
    for (DustDevilSlot& slot : gDustDevils)
        slot = {false, nullptr};
    gNumDustDevils = 0;
    BuildFunnelMesh();
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kDevilSlot;
    def.statusFlags = NODEBIT_DEPTH_WRITE_OFF | NODEBIT_NO_CULLING | NODEBIT_ALWAYS_IN_RANGE;
    def.drawProc = DrawDustDevils;
    def.scale = 1;
    MakeNewObject(&def);
}

// ---------------------------------------------------------------------------------------------------------
// A devil
// ---------------------------------------------------------------------------------------------------------

static void FreeDevilSlot(ObjNode* devil)
{
    int slot = devil->Phase;
    if (slot < 0 || slot >= MAX_DUST_DEVILS || gDustDevils[slot].node != devil)
        return;
    gDustDevils[slot] = {false, nullptr};
    gNumDustDevils--;
}

static bool IsCatchable(int player)
{
    if (!IsPlayerLive(player))
        return false;
    const ObjNode* node = gPlayers[player].objNode;
    if (!node->Skeleton)
        return false;
    switch (node->Skeleton->animNum) {
    case PLAYER_ANIM_FALL:
    case PLAYER_ANIM_ARRIVE:
    case PLAYER_ANIM_EXIT:
    case PLAYER_ANIM_SPIN:
        return false;
    default:
        return true;
    }
}

static void CatchPlayer(ObjNode* devil, int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    DropEgg(player);
    record.jetOn = false;
    StopEffectChannelIfPlaying(&node->LoopChannel, EFFECT_JETPACKHUM);
    MorphToSkeletonAnim(node->Skeleton, PLAYER_ANIM_SPIN, 3);
    record.dustDevil = devil;
    record.dustDevilTimer = 4;
    record.spinSpeed = 0;
    record.spinAngle =
        HeadingFromTo(0, devil->Position.x, devil->Position.z, node->Position.x, node->Position.z);
    float dx = node->Position.x - devil->Position.x, dz = node->Position.z - devil->Position.z;
    record.spinRadius = std::sqrt(dx * dx + dz * dz);
    record.spinReleased = false;
}

// A player above a ring and within its reach is in the funnel.
static bool IsInFunnel(const ObjNode* devil, const Point3D& p)
{
    float dx = p.x - devil->Position.x, dz = p.z - devil->Position.z;
    float across = std::sqrt(dx * dx + dz * dz);
    for (int k = 0; k < kRings; k++) {
        if (p.y > devil->Position.y + kRingHeight * float(k) && across < RingRadius(k) + kCatchMargin)
            return true;
    }
    return false;
}

static void MoveDustDevil(ObjNode* devil)
{
    // 1. Gone with its window (a devil on a spline is unlinked instead).
    if (!(devil->StatusFlags & NODEBIT_SPLINE_DRIVEN) && IsObjectOutOfRange(devil)) {
        DisposeObject(devil);
        return;
    }

    // 2. Dust and the roar.
    EmitDustDevilDust(&devil->Position, NodeEffectEmitter(devil));
    KeepLoopPlaying(devil, EFFECT_DUSTDEVIL, &devil->Position, 1 + RandomUnit() / 8, 1);

    // 3. Players over the funnel are caught.
    for (int player = 0; player < MAX_PLAYERS; player++) {
        if (IsCatchable(player) && IsInFunnel(devil, gPlayers[player].objNode->Position))
            CatchPlayer(devil, player);
    }
}

static void MoveDustDevilOnSpline(ObjNode* devil)
{
    IncreaseSplinePlacement(devil, kSplineSpeed);
    SetPositionFromSpline(devil);
    devil->Position.y = TerrainHeightAt(devil->Position.x, devil->Position.z);
    AimAlongSpline(devil);
    RebuildNodeTransform(devil);
    if (IsSplineObjectInRange(devil))
        MoveDustDevil(devil);
    else
        StopEffectChannelIfPlaying(&devil->LoopChannel, EFFECT_DUSTDEVIL);
}

ObjNode* MakeDustDevil(float x, float z)
{
    int slot = -1;
    for (int i = 0; i < MAX_DUST_DEVILS && slot < 0; i++) {
        if (!gDustDevils[i].inUse)
            slot = i;
    }
    if (slot < 0)
        return nullptr;
    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.slot = kDevilSlot;
    def.position = {x, TerrainHeightAt(x, z), z};
    def.statusFlags = NODEBIT_NO_CULLING;
    def.moveProc = MoveDustDevil;
    def.scale = 1;
    ObjNode* devil = MakeNewObject(&def);
    devil->Phase = slot;
    devil->DestroyProc = FreeDevilSlot;
    InitEffectEmitter(NodeEffectEmitter(devil));
    gDustDevils[slot] = {true, devil};
    gNumDustDevils++;
    return devil;
}

bool AddDustDevil(MapItemType* item, float x, float z)
{
    ObjNode* devil = MakeDustDevil(x, z);
    if (devil)
        devil->TerrainItem = item;
    return devil != nullptr; // a full table leaves the item to be tried again later
}

bool AddDustDevilOnSpline(int splineIndex, SplineItemType* item)
{
    float x, z;
    SplinePoint(splineIndex, item->placement, &x, &z);
    ObjNode* devil = MakeDustDevil(x, z);
    if (!devil)
        return false;
    devil->MoveProc = nullptr;
    devil->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
    devil->SplinePos = item->placement;
    devil->SplineItem = item;
    devil->SplineIndex = uint8_t(splineIndex);
    devil->SplineMoveProc = MoveDustDevilOnSpline;
    UnlinkObject(devil, true);
    AddToSplineObjectList(devil, true);
    return true;
}
