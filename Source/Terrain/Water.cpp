// Water.cpp: building, scrolling and drawing the water patches, and the questions objects ask them.
//
// A patch is a fan around the mean of its nubs, flat at the patch's height. Both texture layers use the
// water type's sprite; they are stretched differently and scroll at different rates, so the surface
// seems to move without repeating. The playfield records stay as read; the built patches keep world
// units of their own.
#include <algorithm>
#include <cmath>

#include "3D/OGL_Support.h"
#include "Objects/Collision.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Memory.h"
#include "Terrain/TerrainLocal.h"
#include "Terrain/Water.h"

struct WaterTypeInfo
{
    int sprite; // in the global sprite group
    float alpha;
    bool additive;
    float scroll[4]; // layer 0 u, v, layer 1 u, v per second
};

static const WaterTypeInfo kWaterTypes[NUM_WATER_TYPES] = {
    {5, 0.8f, false, {0.02f, 0.02f, -0.015f, 0.025f}},  // clear water
    {6, 0.6f, false, {0.02f, 0.02f, -0.015f, 0.025f}},  // murky water
    {7, 1.0f, false, {0.08f, 0.03f, -0.06f, 0.05f}},    // churning ooze
    {7, 1.0f, false, {0.0f, 0.02f, 0.0f, 0.03f}},       // flowing ooze, eight directions
    {7, 1.0f, false, {-0.02f, 0.02f, -0.03f, 0.03f}},   //
    {7, 1.0f, false, {-0.02f, 0.0f, -0.03f, 0.0f}},     //
    {7, 1.0f, false, {-0.02f, -0.02f, -0.03f, -0.03f}}, //
    {7, 1.0f, false, {0.0f, -0.02f, 0.0f, -0.03f}},     //
    {7, 1.0f, false, {0.02f, -0.02f, 0.03f, -0.03f}},   //
    {7, 1.0f, false, {0.02f, 0.0f, 0.03f, 0.0f}},       //
    {7, 1.0f, false, {0.02f, 0.02f, 0.03f, 0.03f}},     //
};

static const float kFixedWaterHeights[] = {400.0f}; // height index 1
constexpr int kNumFixedWaterHeights = 1;
constexpr float kLayer0Stretch = 0.0005f; // texture repeats per world unit
constexpr float kLayer1Stretch = 0.0004f;
constexpr float kOnEdgeTolerance = 0.01f;
constexpr uint32_t kWaterDrawFlags = NODEBIT_NO_CULLING | NODEBIT_SHOW_BACKFACES | NODEBIT_LIGHTING_OFF;

struct BuiltWaterPatch
{
    uint16_t type;
    int numNubs; // after a closing nub that repeats the first is dropped
    float height;
    VertexArrayGeometry mesh; // numNubs + 1 points, the centre last
    BoundingBox bounds;
};

static BuiltWaterPatch gBuiltWater[MAX_WATER];
static int gNumBuiltWater = 0;
static float gWaterScroll[NUM_WATER_TYPES][4];
int32_t gWaterPatchesDrawn = 0;

int GetWaterPatchCount()
{
    return gNumBuiltWater;
}

const VertexArrayGeometry* GetWaterPatchGeometry(int patch, BoundingBox* bounds)
{
    if (patch < 0 || patch >= gNumBuiltWater)
        return nullptr;
    if (bounds)
        *bounds = gBuiltWater[patch].bounds;
    return &gBuiltWater[patch].mesh;
}

// ---------------------------------------------------------------------------------------------------------
// Building
// ---------------------------------------------------------------------------------------------------------

static void CheckWaterPatch(int index, const WaterPatchType* water)
{
    if (water->type >= NUM_WATER_TYPES)
        ShowFatalAlert("PrimeTerrainWater: illegal water type (%s: patch %d has type %d)", gPlayfieldName,
                       index, water->type);
    int sprite = kWaterTypes[water->type].sprite;
    if (sprite >= gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL])
        ShowFatalAlert("PrimeTerrainWater: illegal water sprite (%s: patch %d wants global sprite %d)",
                       gPlayfieldName, index, sprite);
    if (water->numNubs == 1)
        ShowFatalAlert("PrimeTerrainWater: numNubs == 1 (%s: patch %d)", gPlayfieldName, index);
    if (water->numNubs > MAX_NUBS_IN_WATER)
        ShowFatalAlert("PrimeTerrainWater: numNubs > MAX_NUBS_IN_WATER (%s: patch %d has %d)", gPlayfieldName,
                       index, water->numNubs);
    if ((water->flags & WATER_FLAG_FIXED_HEIGHT) &&
        (water->height < 1 || water->height > kNumFixedWaterHeights))
        ShowFatalAlert("PrimeTerrainWater: illegal water height (%s: patch %d asks for height %d)",
                       gPlayfieldName, index, water->height);
}

// The fan: one triangle from the centre to each edge of the polygon, the last edge closing it.
static void MakeWaterGeometry(BuiltWaterPatch* patch, const WaterPatchType* water)
{
    int n = patch->numNubs;
    if (n < 3)
        ShowFatalAlert("MakeWaterGeometry: numNubs < 3 (%s)", gPlayfieldName);

    VertexArrayGeometry* mesh = &patch->mesh;
    *mesh = {};
    mesh->varPool = -1;
    mesh->numPoints = n + 1;
    mesh->numTriangles = n;
    mesh->points = (Point3D*)AllocPtr(int32_t(sizeof(Point3D)) * mesh->numPoints);
    mesh->uvs[0] = (float*)AllocPtr(int32_t(sizeof(float)) * 2 * mesh->numPoints);
    mesh->uvs[1] = (float*)AllocPtr(int32_t(sizeof(float)) * 2 * mesh->numPoints);
    mesh->triangles = (uint32_t*)AllocPtr(int32_t(sizeof(uint32_t)) * 3 * n);

    float sumX = 0, sumZ = 0;
    for (int j = 0; j < n; j++) {
        float x = water->nubs[j][0] * gMapToWorld, z = water->nubs[j][1] * gMapToWorld;
        mesh->points[j] = {x, patch->height, z};
        sumX += x, sumZ += z;
    }
    mesh->points[n] = {sumX / float(n), patch->height, sumZ / float(n)};
    for (int j = 0; j < n; j++) {
        uint32_t* t = &mesh->triangles[3 * j];
        t[0] = uint32_t(n), t[1] = uint32_t(j), t[2] = uint32_t((j + 1) % n);
    }

    // Both layers show the type's own sprite material, the second modulating the first.
    MetaObject* material =
        gSpriteGroupList[SPRITE_GROUP_GLOBAL][kWaterTypes[water->type].sprite].materialObject;
    MaterialRecord* record = MO_GetMaterialData(material);
    record->flags |= MO_MATERIAL_FLAG_MULTITEXTURE;
    record->layerCombine = MO_LAYER_COMBINE_MODULATE;
    mesh->numMaterials = 2;
    mesh->materials[0] = MO_AddReference(material);
    mesh->materials[1] = MO_AddReference(material);

    BoundingBox* b = &patch->bounds;
    *b = {mesh->points[0].x, patch->height, mesh->points[0].z, mesh->points[0].x, patch->height,
          mesh->points[0].z, false};
    for (int i = 0; i < mesh->numPoints; i++) {
        const Point3D& p = mesh->points[i];
        b->minX = std::min(b->minX, p.x), b->maxX = std::max(b->maxX, p.x);
        b->minZ = std::min(b->minZ, p.z), b->maxZ = std::max(b->maxZ, p.z);
        mesh->uvs[0][2 * i] = p.x * kLayer0Stretch, mesh->uvs[0][2 * i + 1] = p.z * kLayer0Stretch;
        mesh->uvs[1][2 * i] = p.x * kLayer1Stretch, mesh->uvs[1][2 * i + 1] = p.z * kLayer1Stretch;
    }
    mesh->bounds = *b;
}

static void ScrollWater(ObjNode*)
{
    for (int type = 0; type < NUM_WATER_TYPES; type++) {
        for (int k = 0; k < 4; k++) {
            // Kept within one repeat of the texture so the offsets never lose precision.
            float offset = gWaterScroll[type][k] + kWaterTypes[type].scroll[k] * gFrameSeconds;
            gWaterScroll[type][k] = offset - std::floor(offset);
        }
    }
}

void PrimeTerrainWater()
{
    ClearRipplePool();
    DisposeWaterGeometry();
    if (gNumWaterPatches > MAX_WATER)
        ShowFatalAlert("PrimeTerrainWater: gNumWaterPatches > MAX_WATER (%s has %d)", gPlayfieldName,
                       gNumWaterPatches);
    for (auto& offsets : gWaterScroll)
        std::fill(std::begin(offsets), std::end(offsets), 0.0f);

    for (int i = 0; i < gNumWaterPatches; i++) {
        const WaterPatchType* water = &gWaterPatches[i];
        CheckWaterPatch(i, water);
        BuiltWaterPatch* patch = &gBuiltWater[i];
        patch->type = water->type;
        patch->numNubs = std::max<int>(water->numNubs, 0);
        int last = patch->numNubs - 1;
        if (last > 0 && water->nubs[last][0] == water->nubs[0][0] &&
            water->nubs[last][1] == water->nubs[0][1])
            patch->numNubs--; // a closed outline repeats its first nub
        if (water->flags & WATER_FLAG_FIXED_HEIGHT)
            patch->height = kFixedWaterHeights[water->height - 1];
        else
            patch->height = TerrainHeightAt(water->hotSpotX * gMapToWorld, water->hotSpotZ * gMapToWorld);
        MakeWaterGeometry(patch, water);
        gNumBuiltWater = i + 1;
    }

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = WATER_DRAW_SLOT;
    def.statusFlags = kWaterDrawFlags;
    def.moveProc = ScrollWater;
    def.drawProc = DrawTerrainWater;
    def.scale = 1;
    MakeNewObject(&def);
}

void DisposeWaterGeometry()
{
    for (int i = 0; i < gNumBuiltWater; i++) {
        VertexArrayGeometry* mesh = &gBuiltWater[i].mesh;
        for (int m = 0; m < 2; m++) {
            if (mesh->materials[m])
                MO_DisposeObjectReference(mesh->materials[m]);
        }
        SafeDisposePtr(mesh->points);
        SafeDisposePtr(mesh->uvs[0]);
        SafeDisposePtr(mesh->uvs[1]);
        SafeDisposePtr(mesh->triangles);
        *mesh = {};
    }
    gNumBuiltWater = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------------------------------------

static float DistanceToEdge(float px, float pz, const Point3D* a, const Point3D* b)
{
    float ex = b->x - a->x, ez = b->z - a->z;
    float lengthSquared = ex * ex + ez * ez;
    float t = lengthSquared > 0 ? ((px - a->x) * ex + (pz - a->z) * ez) / lengthSquared : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    float dx = px - (a->x + ex * t), dz = pz - (a->z + ez * t);
    return std::sqrt(dx * dx + dz * dz);
}

// Even-odd rule over the outline; onEdgeCounts lets points on the outline itself count as inside.
static bool IsInsideOutline(const BuiltWaterPatch* patch, float x, float z, bool onEdgeCounts)
{
    const Point3D* p = patch->mesh.points;
    int n = patch->numNubs;
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        if (onEdgeCounts && DistanceToEdge(x, z, &p[j], &p[i]) <= kOnEdgeTolerance)
            return true;
        if ((p[i].z > z) != (p[j].z > z) && x < (p[j].x - p[i].x) * (z - p[i].z) / (p[j].z - p[i].z) + p[i].x)
            inside = !inside;
    }
    return inside;
}

// The first patch over (x, z); inclusive takes the bounds and outline with their edges.
static const BuiltWaterPatch* FindWaterPatch(float x, float z, bool inclusive)
{
    for (int i = 0; i < gNumBuiltWater; i++) {
        const BuiltWaterPatch* patch = &gBuiltWater[i];
        const BoundingBox& b = patch->bounds;
        bool inBounds = inclusive ? (x >= b.minX && x <= b.maxX && z >= b.minZ && z <= b.maxZ)
                                  : (x > b.minX && x < b.maxX && z > b.minZ && z < b.maxZ);
        if (inBounds && IsInsideOutline(patch, x, z, inclusive))
            return patch;
    }
    return nullptr;
}

bool WaterHeightAt(float x, float z, float* outY)
{
    const BuiltWaterPatch* patch = FindWaterPatch(x, z, true);
    *outY = patch ? patch->height : 0.0f;
    return patch != nullptr;
}

int WaterTypeAt(float x, float z)
{
    const BuiltWaterPatch* patch = FindWaterPatch(x, z, true);
    return patch ? int(patch->type) : -1;
}

bool IsPointOverWater(float x, float z)
{
    return FindWaterPatch(x, z, false) != nullptr;
}

bool IsNodeInWater(ObjNode* node, float x, float z, float* outY)
{
    bool inWater = WaterHeightAt(x, z, outY);
    if (inWater)
        node->StatusFlags |= NODEBIT_IN_WATER;
    else
        node->StatusFlags &= ~NODEBIT_IN_WATER;
    return inWater;
}

uint32_t CollideWithWater(ObjNode* node)
{
    // In the water means touching it: a node high above a lake is not in it.
    float surface;
    float bottom = gWorkPos.y + (node->HitBoxCount > 0 ? node->CollisionOffsets.bottom : 0.0f);
    if (!WaterHeightAt(gWorkPos.x, gWorkPos.z, &surface) || bottom > surface) {
        node->StatusFlags &= ~NODEBIT_IN_WATER;
        return 0;
    }
    node->StatusFlags |= NODEBIT_IN_WATER | NODEBIT_ON_GROUND;
    gWorkPos.y += surface - bottom;
    if (gWorkVel.y < 0)
        gWorkVel.y = 0;
    return SIDE_BITS_BOTTOM;
}

// ---------------------------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------------------------

static void LoadTextureTranslation(int unit, float u, float v)
{
    OGL_SetActiveTextureUnit(unit);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    if (u != 0 || v != 0)
        glTranslatef(u, v, 0);
}

void DrawTerrainWater(ObjNode*)
{
    gWaterPatchesDrawn = 0;
    int lastType = -1;
    for (int i = 0; i < gNumBuiltWater; i++) {
        BuiltWaterPatch* patch = &gBuiltWater[i];
        if (!IsBoxVisible(&patch->bounds, nullptr))
            continue;
        const WaterTypeInfo* info = &kWaterTypes[patch->type];
        gDrawOpacity = info->alpha;
        OGL_BlendFunc(GL_SRC_ALPHA, info->additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        // Patches of one type share their scroll, so the texture matrices change only between types.
        if (patch->type != lastType) {
            const float* scroll = gWaterScroll[patch->type];
            LoadTextureTranslation(0, scroll[0], scroll[1]);
            LoadTextureTranslation(1, scroll[2], scroll[3]);
            glMatrixMode(GL_MODELVIEW);
            OGL_SetActiveTextureUnit(0);
            lastType = patch->type;
        }
        MO_DrawGeometry_VertexArray(&patch->mesh);
        gWaterPatchesDrawn++;
    }

    gDrawOpacity = 1.0f;
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    LoadTextureTranslation(1, 0, 0);
    LoadTextureTranslation(0, 0, 0);
    glMatrixMode(GL_MODELVIEW);
}
