// ParticlesConfetti.cpp: tumbling flakes (leaves, debris). Unlike particles they turn freely in three
// axes, wait at full opacity before fading, and are drawn from one general-heap mesh per group; a group
// is freed as soon as a pass finds it empty.
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Memory.h"
#include "Terrain/Terrain.h"

ConfettiGroupRecord* gConfettiGroupTable[CONFETTI_GROUP_LIMIT];
int16_t gConfettiGroupCount = 0;

static constexpr uint32_t kConfettiManagerFlags = NODEBIT_NO_CULLING | NODEBIT_SHOW_BACKFACES;
static constexpr int kQuadPoints = 4 * CONFETTI_PER_GROUP;
static constexpr int kQuadTriangles = 2 * CONFETTI_PER_GROUP;
static constexpr float kNoTerrain = -10000;     // the height query's answer with no map
static constexpr int kPointsDrawnUnculled = 17; // four flakes or fewer skip the visibility test

void ResetConfetti()
{
    for (ConfettiGroupRecord*& group : gConfettiGroupTable)
        group = nullptr;
    gConfettiGroupCount = 0;
    MakeEffectManager(CONFETTI_MANAGER_SLOT, kConfettiManagerFlags, UpdateConfetti, RenderConfetti);
}

static MetaObject* MakeConfettiMesh(uint8_t spriteIndex)
{
    VertexArrayGeometry geometry = {};
    geometry.varPool = -1;
    geometry.numMaterials = 1;
    geometry.materials[0] = ParticleTexture(spriteIndex);
    geometry.points = (Point3D*)AllocPtrClear(sizeof(Point3D) * kQuadPoints);
    geometry.uvs[0] = (float*)AllocPtrClear(sizeof(float) * 2 * kQuadPoints);
    geometry.colors = (float*)AllocPtrClear(sizeof(float) * 4 * kQuadPoints);
    geometry.triangles = (uint32_t*)AllocPtrClear(sizeof(uint32_t) * 3 * kQuadTriangles);

    static const float kCornerUVs[8] = {0, 1, 0, 0, 1, 0, 1, 1};
    FillQuadUVsAndTriangles(&geometry, CONFETTI_PER_GROUP, kCornerUVs);
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &geometry);
}

int16_t CreateConfettiGroup(const ConfettiGroupSpec* def)
{
    int slot = 0;
    while (slot < CONFETTI_GROUP_LIMIT && gConfettiGroupTable[slot])
        slot++;
    if (slot == CONFETTI_GROUP_LIMIT)
        return -1;

    auto* group = (ConfettiGroupRecord*)AllocPtrClear(sizeof(ConfettiGroupRecord));
    if (!group)
        return -1;
    group->flags = def->flags;
    group->gravity = def->gravity;
    group->baseSize = def->baseSize;
    group->shrinkRate = def->shrinkRate;
    group->fadeSpeed = def->fadeSpeed;
    group->stamp = def->stamp;
    group->spriteIndex = def->spriteIndex;
    group->geometry = MakeConfettiMesh(def->spriteIndex);

    gConfettiGroupTable[slot] = group;
    gConfettiGroupCount++;
    return int16_t(slot);
}

bool AddConfettiToGroup(const ConfettiSpec* def)
{
    if (uint16_t(def->group) >= CONFETTI_GROUP_LIMIT)
        ShowFatalAlert("AddConfettiToGroup: illegal group #");
    ConfettiGroupRecord* group = gConfettiGroupTable[def->group];
    if (!group)
        return true;
    int i = 0;
    while (i < CONFETTI_PER_GROUP && group->inUse[i])
        i++;
    if (i == CONFETTI_PER_GROUP)
        return true;

    group->holdTime[i] = def->holdTime;
    group->alpha[i] = def->alpha;
    group->scale[i] = def->scale;
    group->position[i] = *def->position;
    group->velocity[i] = *def->velocity;
    group->rotation[i] = def->rotation;
    group->rotationRate[i] = def->rotationRate;
    group->inUse[i] = true;
    return false;
}

static void FreeConfettiGroup(int slot)
{
    ConfettiGroupRecord* group = gConfettiGroupTable[slot];
    MO_DisposeObjectReference(group->geometry);
    SafeDisposePtr(group);
    gConfettiGroupTable[slot] = nullptr;
    gConfettiGroupCount--;
}

void FreeAllConfettiGroups()
{
    for (int slot = 0; slot < CONFETTI_GROUP_LIMIT; slot++)
        if (gConfettiGroupTable[slot])
            FreeConfettiGroup(slot);
}

// One flake's frame; false when it died.
static bool MoveFlake(ConfettiGroupRecord* group, int i, float dt)
{
    Point3D& p = group->position[i];
    Vector3D& v = group->velocity[i];
    Vector3D& r = group->rotation[i];
    const Vector3D& rate = group->rotationRate[i];

    v.y -= group->gravity * dt;
    r.x += rate.x * dt;
    r.y += rate.y * dt;
    r.z += rate.z * dt;
    p.x += v.x * dt;
    p.y += v.y * dt;
    p.z += v.z * dt;

    if (!(group->flags & PGROUP_IGNORE_GROUND)) {
        float ground = TerrainHeightAt(p.x, p.z);
        if (ground == kNoTerrain)
            ground = 0;
        ground += 10;
        if (group->flags & PGROUP_BOUNCE) {
            if (v.y < 0 && p.y < ground) {
                p.y = ground;
                v.y *= -0.4f;
                v.x += gLastTerrainNormal.x * 300;
                v.z += gLastTerrainNormal.z * 300;
            }
        } else if (p.y < ground) {
            return false;
        }
    }

    group->scale[i] -= group->shrinkRate * dt;
    if (group->scale[i] <= 0)
        return false;

    group->holdTime[i] -= dt;
    if (group->holdTime[i] <= 0) {
        group->alpha[i] -= group->fadeSpeed * dt;
        if (group->alpha[i] <= 0)
            return false;
    }
    return true;
}

void UpdateConfetti(ObjNode*)
{
    float dt = gFrameSeconds;
    for (int slot = 0; slot < CONFETTI_GROUP_LIMIT; slot++) {
        ConfettiGroupRecord* group = gConfettiGroupTable[slot];
        if (!group)
            continue;
        bool anyUsed = false;
        for (int i = 0; i < CONFETTI_PER_GROUP; i++) {
            if (!group->inUse[i])
                continue;
            anyUsed = true;
            if (!MoveFlake(group, i, dt))
                group->inUse[i] = false;
        }
        // The mesh lives in the heap and is drawn this frame only if it holds flakes: no need to wait.
        if (!anyUsed)
            FreeConfettiGroup(slot);
    }
}

void RenderConfetti(ObjNode*)
{
    OGL_PushState();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    OGL_SetColor4f(1, 1, 1, 1);

    for (ConfettiGroupRecord* group : gConfettiGroupTable) {
        if (!group)
            continue;
        VertexArrayGeometry* mesh = MO_GetGeometryData(group->geometry);
        BoundingBox box = {1e8f, 1e8f, 1e8f, -1e8f, -1e8f, -1e8f, false};
        int j = 0;
        for (int i = 0; i < CONFETTI_PER_GROUP; i++) {
            if (!group->inUse[i])
                continue;
            float s = group->baseSize * group->scale[i];
            const Point3D corners[4] = {{-s, s, 0}, {-s, -s, 0}, {s, -s, 0}, {s, s, 0}};
            Matrix4x4 m;
            const Vector3D& r = group->rotation[i];
            MatrixRotateXYZ(&m, r.x, r.y, r.z);
            m.value[12] = group->position[i].x;
            m.value[13] = group->position[i].y;
            m.value[14] = group->position[i].z;
            Point3D* out = mesh->points + j * 4;
            TransformPoints(corners, &m, out, 4);
            for (int c = 0; c < 4; c++) {
                box.minX = out[c].x < box.minX ? out[c].x : box.minX;
                box.minY = out[c].y < box.minY ? out[c].y : box.minY;
                box.minZ = out[c].z < box.minZ ? out[c].z : box.minZ;
                box.maxX = out[c].x > box.maxX ? out[c].x : box.maxX;
                box.maxY = out[c].y > box.maxY ? out[c].y : box.maxY;
                box.maxZ = out[c].z > box.maxZ ? out[c].z : box.maxZ;
                float* color = mesh->colors + (j * 4 + c) * 4;
                color[0] = color[1] = color[2] = 1;
                color[3] = group->alpha[i];
            }
            j++;
        }
        if (j == 0)
            continue;
        mesh->numPoints = 4 * j;
        mesh->numTriangles = 2 * j;
        if (mesh->numPoints < kPointsDrawnUnculled || IsBoxVisible(&box, nullptr))
            MO_DrawObject(group->geometry);
    }

    OGL_PopState();
    OGL_SetColor4f(1, 1, 1, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
}
