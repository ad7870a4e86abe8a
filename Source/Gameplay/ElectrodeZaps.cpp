// Zaps: crackling ribbons of light between two electrodes, held in a table of 30 records. One node
// moves and draws them all. Each record has two ribbons, one per frame parity in the vertex-array
// pools 8 and 9, so the frame being written never touches the arrays the previous one submitted.
// Whatever a zap's line passes through is hit with the zap node's Damage every frame.

#include "Gameplay/HazardsLocal.h"

#include "3D/OGL_Support.h"
#include "3D/Picking.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Prefs.h"
#include "System/Random.h"

#include <algorithm>
#include <cmath>

ZapRecord gZaps[MAX_ZAPS];

static constexpr int kZapSlot = 3080;
static constexpr uint32_t kZapStatus = NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF |
                                       NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES | NODEBIT_NO_CULLING;
static constexpr uint32_t kZapHitMask = 0x8007; // players, enemies and what stands on the ground
static constexpr float kZapDamage = 1.0f;       // per frame: a zap through an unshielded player kills
static constexpr float kRibbonHalfHeight = 20;
static constexpr float kEndInset = 70; // the zap leaves the electrode's surface, not its axis
static constexpr float kReachUp = 2400;
static constexpr int kBeamSprite = 8; // of the global sprite group

static MetaObject* ZapMaterial()
{
    if (gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL] <= kBeamSprite || !gSpriteGroupList[SPRITE_GROUP_GLOBAL])
        return nullptr;
    return gSpriteGroupList[SPRITE_GROUP_GLOBAL][kBeamSprite].materialObject;
}

static void AllocRibbon(VertexArrayGeometry* ribbon, int count, int pool)
{
    *ribbon = {};
    ribbon->varPool = int16_t(pool);
    ribbon->numMaterials = -1; // drawn with the zap material applied just before
    ribbon->numPoints = 2 * count;
    ribbon->numTriangles = 2 * (count - 1);
    ribbon->points =
        static_cast<Point3D*>(OGL_AllocVertexArrayMemory(int32_t(sizeof(Point3D)) * 2 * count, pool));
    ribbon->uvs[0] =
        static_cast<float*>(OGL_AllocVertexArrayMemory(int32_t(sizeof(float)) * 4 * count, pool));
    ribbon->triangles = static_cast<uint32_t*>(
        OGL_AllocVertexArrayMemory(int32_t(sizeof(uint32_t)) * 3 * ribbon->numTriangles, pool));
}

static void FreeRibbon(VertexArrayGeometry* ribbon)
{
    OGL_FreeVertexArrayMemory(ribbon->points, ribbon->varPool);
    OGL_FreeVertexArrayMemory(ribbon->uvs[0], ribbon->varPool);
    OGL_FreeVertexArrayMemory(ribbon->triangles, ribbon->varPool);
    *ribbon = {};
}

// Two vertices per point (above and below it), two triangles per segment.
static void FillRibbon(VertexArrayGeometry* ribbon, const ZapRecord& zap)
{
    for (int i = 0; i < zap.numPoints; i++) {
        const Point3D& p = zap.points[i];
        ribbon->points[2 * i] = {p.x, p.y + kRibbonHalfHeight, p.z};
        ribbon->points[2 * i + 1] = {p.x, p.y - kRibbonHalfHeight, p.z};
        float u = 0.4f * float(i);
        float* uv = &ribbon->uvs[0][4 * i];
        uv[0] = u, uv[1] = 1, uv[2] = u, uv[3] = 0;
    }
    for (int i = 0; i + 1 < zap.numPoints; i++) {
        uint32_t* t = &ribbon->triangles[6 * i];
        uint32_t top = uint32_t(2 * i);
        t[0] = top, t[1] = top + 1, t[2] = top + 2;
        t[3] = top + 1, t[4] = top + 3, t[5] = top + 2;
    }
}

static int16_t EndSparkle(const Point3D& where)
{
    int16_t index = AllocSparkle(nullptr);
    if (index < 0)
        return -1;
    SparkleRecord& sparkle = gSparkleTable[index];
    sparkle.flags = GLINT_ALL_DIRECTIONS | GLINT_FLICKER;
    sparkle.position = where;
    sparkle.halfSize = 80;
    sparkle.spriteIndex = PARTICLE_SObjType_WhiteGlow;
    return index;
}

int MakeZap(ObjNode* from, ObjNode* to)
{
    // 1. Nobody would see it, or no record or array memory is free.
    if (IsNodeCulledInAllPanes(from) && IsNodeCulledInAllPanes(to))
        return -1;
    if (!OGL_AreVertexArrayPoolsReady())
        return -1;
    int index = -1;
    for (int i = 0; i < MAX_ZAPS && index < 0; i++) {
        if (!gZaps[i].inUse)
            index = i;
    }
    if (index < 0)
        return -1;

    // 2. Its points, from near the top of one electrode to near the other, at random heights.
    ZapRecord& zap = gZaps[index];
    zap.inUse = true;
    zap.life = ZAP_START_LIFE;
    float dx = to->Position.x - from->Position.x, dz = to->Position.z - from->Position.z;
    float distance = std::sqrt(dx * dx + dz * dz);
    float density = gPrefs.reducedDetail ? 0.01f : 0.015f;
    zap.numPoints = int16_t(std::clamp(int(distance * density), 2, MAX_ZAP_POINTS));
    float ux = distance > 0 ? dx / distance : 0, uz = distance > 0 ? dz / distance : 0;
    Point3D start = {from->Position.x + ux * kEndInset, from->Position.y + RandomUnit() * kReachUp,
                     from->Position.z + uz * kEndInset};
    Point3D end = {to->Position.x - ux * kEndInset, to->Position.y + 30 + RandomUnit() * kReachUp,
                   to->Position.z - uz * kEndInset};
    for (int i = 0; i < zap.numPoints; i++) {
        float t = float(i) / float(zap.numPoints - 1);
        zap.points[i] = {start.x + (end.x - start.x) * t, start.y + (end.y - start.y) * t,
                         start.z + (end.z - start.z) * t};
    }

    // 3. Both ribbons, and a sparkle at each end.
    for (int parity = 0; parity < 2; parity++) {
        AllocRibbon(&zap.ribbons[parity], zap.numPoints, VERTEX_ARRAY_POOL_ZAPS_0 + parity);
        FillRibbon(&zap.ribbons[parity], zap);
    }
    zap.sparkles[0] = EndSparkle(start);
    zap.sparkles[1] = EndSparkle(end);
    return index;
}

void FreeZap(int index)
{
    if (index < 0 || index >= MAX_ZAPS || !gZaps[index].inUse)
        ShowFatalAlert("%s:%d: %s", "FreeZap", __LINE__, "Zap already freed");
    ZapRecord& zap = gZaps[index];
    FreeRibbon(&zap.ribbons[0]);
    FreeRibbon(&zap.ribbons[1]);
    for (int16_t& sparkle : zap.sparkles) {
        if (sparkle >= 0 && gSparkleTable[sparkle].isActive)
            DeleteSparkle(sparkle);
        sparkle = -1;
    }
    zap.inUse = false;
}

void FreeAllZaps()
{
    for (int i = 0; i < MAX_ZAPS; i++) {
        if (gZaps[i].inUse)
            FreeZap(i);
    }
}

int CountLiveZaps()
{
    int count = 0;
    for (const ZapRecord& zap : gZaps)
        count += zap.inUse ? 1 : 0;
    return count;
}

// Each frame: fade, crackle, and hit whatever the zap passes through.
static void UpdateZaps(ObjNode* zapNode)
{
    int parity = EffectFrameParity();
    float dt = gFrameSeconds;
    for (int i = 0; i < MAX_ZAPS; i++) {
        ZapRecord& zap = gZaps[i];
        if (!zap.inUse)
            continue;

        // 1. Fading out.
        zap.life -= 1.2f * dt;
        if (zap.life <= 0) {
            FreeZap(i);
            continue;
        }

        // 2. The ribbon of this frame jitters and flickers in thickness.
        VertexArrayGeometry& ribbon = zap.ribbons[parity];
        for (int p = 0; p < zap.numPoints; p++) {
            const Point3D& point = zap.points[p];
            float jitter = RandomSigned() * 20;
            float half = 6.6666665f + RandomUnit() * 20;
            ribbon.points[2 * p] = {point.x, point.y + jitter + half, point.z};
            ribbon.points[2 * p + 1] = {point.x, point.y + jitter - half, point.z};
        }

        // 3. Whatever it passes through is hit.
        PickSegment segment = {zap.points[0], zap.points[zap.numPoints - 1]};
        ObjNode* hit = OGL_DoLineSegmentCollision(&segment, NODEBIT_INVISIBLE, kZapHitMask, nullptr, nullptr,
                                                  nullptr, false);
        if (hit)
            HitWithWeapon(zapNode, hit, nullptr, nullptr);
    }
}

static void DrawZaps(ObjNode*)
{
    MetaObject* material = ZapMaterial();
    if (!material)
        return;
    int parity = EffectFrameParity();
    gDrawTint[0] = gDrawTint[1] = gDrawTint[2] = 1;
    for (ZapRecord& zap : gZaps) {
        if (!zap.inUse)
            continue;
        gDrawOpacity = std::min(1.0f, zap.life);
        MO_DrawMaterial(material); // the opacity is taken when the material is applied
        MO_DrawGeometry_VertexArray(&zap.ribbons[parity]);
    }
    gDrawOpacity = 1;
}

void InitZaps()
{
    for (ZapRecord& zap : gZaps) {
        zap = {};
        zap.sparkles[0] = zap.sparkles[1] = -1;
    }
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kZapSlot;
    def.statusFlags = kZapStatus | NODEBIT_ALWAYS_IN_RANGE;
    def.moveProc = UpdateZaps;
    def.drawProc = DrawZaps;
    def.scale = 1;
    ObjNode* zapNode = MakeNewObject(&def);
    zapNode->VertexArrayPool = VERTEX_ARRAY_POOL_ZAPS_0;
    zapNode->Damage = kZapDamage;
    zapNode->Variant = 0; // not the scream: a shield stops it
}
