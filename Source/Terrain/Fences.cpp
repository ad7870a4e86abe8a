// Fences.cpp: building, fading and drawing the level's fences.
//
// Each fence is a strip of quads, one per section between two nubs: a bottom point sunk below the
// ground and a top point the type's height above it. The texture runs along the strip at the sprite's
// aspect ratio, so fence boards keep their shape however long a section is. Two identical copies of the
// geometry exist so that each of two panes fades its own.
#include <algorithm>
#include <cmath>

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/Memory.h"
#include "Terrain/Fences.h"
#include "Terrain/TerrainLocal.h"

struct FenceTypeInfo
{
    int spriteGroup; // 0: no material
    int sprite;
    float height;
    float sink; // the nubs sit this far below the ground
    bool lit;
};

static const FenceTypeInfo kFenceTypes[NUM_FENCE_TYPES] = {
    {SPRITE_GROUP_LEVELSPECIFIC, 1, 1500.0f, 30.0f, true}, // the scene's fence
    {SPRITE_GROUP_LEVELSPECIFIC, 0, 300.0f, 30.0f, false}, // enemy barrier
};

constexpr float kBottomBelowFraction = 1.0f / 8.0f; // the strip reaches this share of its height underground
constexpr float kBottomV = 1.125f;                  // so the texture's foot stays at ground level
constexpr uint32_t kFenceDrawFlags =
    NODEBIT_NO_CULLING | NODEBIT_SHOW_BACKFACES | NODEBIT_ALPHA_TEST | NODEBIT_LIGHTING_OFF;

struct FenceDrawData
{
    VertexArrayGeometry copies[2]; // identical; pane p draws and fades copy p & 1
    MetaObject* material;          // holds a reference; null for a type without a sprite group
};

static FenceDrawData gFenceDraw[MAX_FENCES];
static int gNumBuiltFences = 0;
int32_t gFencesDrawn = 0;

const VertexArrayGeometry* GetFenceGeometry(int fence)
{
    if (fence < 0 || fence >= gNumBuiltFences)
        return nullptr;
    return &gFenceDraw[fence].copies[0];
}

static bool IsFenceShown(const FenceRecordType* fence)
{
    return fence->type != FENCE_TYPE_ENEMY_BARRIER || gDebugMode == 2;
}

// Limits a fence must keep before anything is built from it.
static void CheckFence(int index, const FenceRecordType* fence)
{
    if (fence->type >= NUM_FENCE_TYPES)
        ShowFatalAlert("PrimeFences: illegal fence type (%s: fence %d has type %d)", gPlayfieldName, index,
                       fence->type);
    const FenceTypeInfo* info = &kFenceTypes[fence->type];
    if (info->spriteGroup != 0 && info->sprite >= gNumSpritesInGroupList[info->spriteGroup])
        ShowFatalAlert("PrimeFences: illegal fence sprite (%s: fence %d wants sprite %d of group %d, which "
                       "holds %d)",
                       gPlayfieldName, index, info->sprite, info->spriteGroup,
                       gNumSpritesInGroupList[info->spriteGroup]);
    if (fence->numNubs == 1)
        ShowFatalAlert("PrimeFences: numNubs == 1 (%s: fence %d)", gPlayfieldName, index);
    if (fence->numNubs > MAX_NUBS_IN_FENCE)
        ShowFatalAlert("PrimeFences: numNubs > MAX_NUBS_IN_FENCE (%s: fence %d has %d)", gPlayfieldName,
                       index, fence->numNubs);
    if (fence->numNubs < 1)
        ShowFatalAlert("PrimeFences: numNubs < 2 (%s: fence %d has %d)", gPlayfieldName, index,
                       fence->numNubs);
}

// Nubs onto the ground in world units; the sections' directions and normals.
static void PlaceFenceNubs(FenceRecordType* fence, const FenceTypeInfo* info)
{
    for (int j = 0; j < fence->numNubs; j++) {
        Point3D* nub = &fence->nubs[j];
        nub->x *= gMapToWorld;
        nub->z *= gMapToWorld;
        nub->y = TerrainHeightAt(nub->x, nub->z) - info->sink;
    }
    int sections = fence->numNubs - 1;
    fence->sectionVectors = (Vector2D*)AllocPtr(int32_t(sizeof(Vector2D)) * std::max(sections, 1));
    fence->sectionNormals = (Vector2D*)AllocPtr(int32_t(sizeof(Vector2D)) * std::max(sections, 1));
    if (!fence->sectionVectors || !fence->sectionNormals)
        ShowFatalAlert("PrimeFences: AllocPtr failed!");
    for (int j = 0; j < sections; j++) {
        Vector2D delta = {fence->nubs[j + 1].x - fence->nubs[j].x, fence->nubs[j + 1].z - fence->nubs[j].z};
        Normalize2(&delta, &fence->sectionVectors[j]);
        Vector2D perpendicular = {-fence->sectionVectors[j].y, fence->sectionVectors[j].x};
        Normalize2(&perpendicular, &fence->sectionNormals[j]);
    }
}

// Horizontal normal of a nub: the mean of its sections' normals, so lit fences shade smoothly.
static Vector3D NubNormal(const FenceRecordType* fence, int j)
{
    int sections = fence->numNubs - 1;
    Vector2D sum = {0, 0};
    if (j > 0)
        sum.x += fence->sectionNormals[j - 1].x, sum.y += fence->sectionNormals[j - 1].y;
    if (j < sections)
        sum.x += fence->sectionNormals[j].x, sum.y += fence->sectionNormals[j].y;
    Vector2D unit;
    Normalize2(&sum, &unit);
    return {unit.x, 0, unit.y};
}

static void BuildFenceGeometry(const FenceRecordType* fence, const FenceTypeInfo* info, float aspect,
                               VertexArrayGeometry* mesh, BoundingBox* bounds)
{
    int n = fence->numNubs;
    *mesh = {};
    mesh->varPool = -1;
    mesh->numMaterials = -1; // drawn with the fence's material applied just before
    mesh->numPoints = 2 * n;
    mesh->numTriangles = 2 * n - 2;
    mesh->points = (Point3D*)AllocPtr(int32_t(sizeof(Point3D)) * mesh->numPoints);
    mesh->normals = (Vector3D*)AllocPtr(int32_t(sizeof(Vector3D)) * mesh->numPoints);
    mesh->uvs[0] = (float*)AllocPtr(int32_t(sizeof(float)) * 2 * mesh->numPoints);
    mesh->colors = (float*)AllocPtr(int32_t(sizeof(float)) * 4 * mesh->numPoints);
    mesh->triangles = (uint32_t*)AllocPtr(int32_t(sizeof(uint32_t)) * 3 * std::max(mesh->numTriangles, 1));

    float u = 0;
    for (int j = 0; j < n; j++) {
        const Point3D& nub = fence->nubs[j];
        Point3D bottom = {nub.x, nub.y - info->height * kBottomBelowFraction, nub.z};
        Point3D top = {nub.x, nub.y + info->height, nub.z};
        if (j > 0)
            u += aspect * Distance3D(&bottom, &mesh->points[2 * j - 2]) / info->height;
        mesh->points[2 * j] = bottom;
        mesh->points[2 * j + 1] = top;
        mesh->normals[2 * j] = mesh->normals[2 * j + 1] = NubNormal(fence, j);
        float* uv = &mesh->uvs[0][4 * j];
        uv[0] = u, uv[1] = kBottomV, uv[2] = u, uv[3] = 0;
        for (int k = 0; k < 8; k++)
            mesh->colors[8 * j + k] = 1.0f;
    }
    for (int s = 0; s < n - 1; s++) {
        uint32_t* t = &mesh->triangles[6 * s];
        uint32_t b = uint32_t(2 * s);
        t[0] = b + 1, t[1] = b, t[2] = b + 3;
        t[3] = b + 3, t[4] = b, t[5] = b + 2;
    }

    *bounds = {mesh->points[0].x,
               mesh->points[0].y,
               mesh->points[0].z,
               mesh->points[0].x,
               mesh->points[0].y,
               mesh->points[0].z,
               false};
    for (int i = 1; i < mesh->numPoints; i++) {
        const Point3D& p = mesh->points[i];
        bounds->minX = std::min(bounds->minX, p.x), bounds->maxX = std::max(bounds->maxX, p.x);
        bounds->minY = std::min(bounds->minY, p.y), bounds->maxY = std::max(bounds->maxY, p.y);
        bounds->minZ = std::min(bounds->minZ, p.z), bounds->maxZ = std::max(bounds->maxZ, p.z);
    }
    mesh->bounds = *bounds;
}

void PrimeFences()
{
    DisposeFenceGeometry();
    if (gNumFences > MAX_FENCES)
        ShowFatalAlert("PrimeFences: gNumFences > MAX_FENCES (%s has %d)", gPlayfieldName, gNumFences);

    for (int i = 0; i < gNumFences; i++) {
        FenceRecordType* fence = &gFences[i];
        CheckFence(i, fence);
        const FenceTypeInfo* info = &kFenceTypes[fence->type];
        PlaceFenceNubs(fence, info);

        FenceDrawData* draw = &gFenceDraw[i];
        float aspect = 1.0f;
        draw->material = nullptr;
        if (info->spriteGroup != 0) {
            const SpriteGroupEntry* sprite = &gSpriteGroupList[info->spriteGroup][info->sprite];
            draw->material = MO_AddReference(sprite->materialObject);
            if (sprite->height > 0)
                aspect = float(sprite->width) / float(sprite->height);
        }
        BuildFenceGeometry(fence, info, aspect, &draw->copies[0], &fence->bounds);
        MO_CopyVertexArrayData(&draw->copies[0], &draw->copies[1], -1);
        gNumBuiltFences = i + 1;
    }

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = FENCE_DRAW_SLOT;
    def.statusFlags = kFenceDrawFlags;
    def.drawProc = DrawFences;
    def.scale = 1;
    MakeNewObject(&def);
}

void DisposeFenceGeometry()
{
    for (int i = 0; i < gNumBuiltFences; i++) {
        MO_DisposeVertexArrayCopy(&gFenceDraw[i].copies[0]);
        MO_DisposeVertexArrayCopy(&gFenceDraw[i].copies[1]);
        if (gFenceDraw[i].material)
            MO_DisposeObjectReference(gFenceDraw[i].material);
        gFenceDraw[i].material = nullptr;
    }
    gNumBuiltFences = 0;
}

// The renderer's cheap distance: max of the axes plus 3/8 of the min, never below the true distance
// by more than a few percent.
static float ApproxGroundDistance(float dx, float dz)
{
    dx = std::fabs(dx), dz = std::fabs(dz);
    return std::max(dx, dz) + 0.375f * std::min(dx, dz);
}

void FadeFencesByDistance()
{
    // The level turns distance fading on by giving it a start distance.
    if (gFadeStartDistance == 0 || gNumPanes != 1 || !gGameViewInfoPtr)
        return;
    float rangeInverse = 1.0f / (gFadeEndDistance - gFadeStartDistance);
    const Point3D& eye = gGameViewInfoPtr->cameras[0].eye;
    for (int i = 0; i < gNumBuiltFences; i++) {
        const FenceRecordType* fence = &gFences[i];
        if (!IsFenceShown(fence))
            continue;
        VertexArrayGeometry* mesh = &gFenceDraw[i].copies[0]; // the only pane's copy
        for (int j = 0; j < fence->numNubs; j++) {
            float d = ApproxGroundDistance(fence->nubs[j].x - eye.x, fence->nubs[j].z - eye.z);
            float alpha = 1.0f;
            if (d >= gFadeEndDistance)
                alpha = 0.0f;
            else if (d >= gFadeStartDistance)
                alpha = std::max(0.0f, 1.0f - (d - gFadeStartDistance) * rangeInverse);
            mesh->colors[8 * j + 3] = alpha;
            mesh->colors[8 * j + 7] = alpha;
        }
    }
}

void DrawFences(ObjNode*)
{
    // Boards have soft edges and must not wrap from the foot to the top of the texture.
    uint32_t savedFlags = gMaterialFlagsOverride;
    gMaterialFlagsOverride |= MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_CLAMP_V;
    gFencesDrawn = 0;

    for (int i = 0; i < gNumBuiltFences; i++) {
        const FenceRecordType* fence = &gFences[i];
        if (!IsFenceShown(fence) || !IsBoxVisible(&fence->bounds, nullptr))
            continue;
        if (kFenceTypes[fence->type].lit)
            OGL_EnableLighting();
        else
            OGL_DisableLighting();
        if (gFenceDraw[i].material)
            MO_DrawMaterial(gFenceDraw[i].material);
        else
            OGL_DisableTexture2D();
        MO_DrawGeometry_VertexArray(&gFenceDraw[i].copies[gCurrentPane & 1]);
        gFencesDrawn++;
    }

    OGL_DisableLighting(); // as the fence object asked for; the draw pass tracks it by the node's bits
    gMaterialFlagsOverride = savedFlags;
}
