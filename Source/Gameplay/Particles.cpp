// Particles.cpp: the particle group table, its manager's move pass and the per-pane mesh build.
//
// Every group owns one mesh per frame parity and pane, allocated once from the particle vertex-array pools
// (parity k in pool k) and rewritten in place: a frame writes only the copy of its own parity, so the copy
// the previous frame submitted is never touched while the driver may still read it. For the same reason
// an empty group is not freed at once but waits PARTICLE_FREE_DELAY frames, until both copies are out of use.
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Memory.h"
#include "Terrain/Terrain.h"

ParticleGroupRecord* gParticleGroupTable[PARTICLE_GROUP_LIMIT];
int16_t gParticleGroupCount = 0;

static constexpr uint32_t kParticleManagerFlags = NODEBIT_ADDITIVE | NODEBIT_FOG_OFF |
                                                  NODEBIT_DEPTH_WRITE_OFF | NODEBIT_LIGHTING_OFF |
                                                  NODEBIT_SHOW_BACKFACES;
static constexpr int kQuadPoints = 4 * PARTICLES_PER_GROUP;
static constexpr int kQuadTriangles = 2 * PARTICLES_PER_GROUP;
static constexpr float kGroundClearance = 10; // particles live this far above the terrain
static constexpr float kBounceDamping = -0.4f;
static constexpr float kBounceKick = 300; // horizontal push along the terrain normal

int EffectFrameParity()
{
    return gGameViewInfoPtr ? (gGameViewInfoPtr->frameCount & 1) : 0;
}

MetaObject* ParticleTexture(int spriteIndex)
{
    int count = gNumSpritesInGroupList[SPRITE_GROUP_PARTICLES];
    if (spriteIndex < 0 || spriteIndex >= count)
        ShowFatalAlert("ParticleTexture: sprite %d is not in the particle group of %d", spriteIndex, count);
    return gSpriteGroupList[SPRITE_GROUP_PARTICLES][spriteIndex].materialObject;
}

ObjNode* MakeEffectManager(uint16_t slot, uint32_t statusFlags, ObjNodeProc move, ObjNodeProc draw)
{
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = int16_t(slot);
    def.statusFlags = statusFlags;
    def.moveProc = move;
    def.drawProc = draw;
    def.scale = 1;
    return MakeNewObject(&def);
}

Point3D PaneEyePosition(int pane)
{
    if (!gGameViewInfoPtr)
        return {0, 0, 0};
    return gGameViewInfoPtr->cameras[pane].eye;
}

// ---------------------------------------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------------------------------------

void InitParticleSystem()
{
    for (ParticleGroupRecord*& group : gParticleGroupTable)
        group = nullptr;
    gParticleGroupCount = 0;

    if (gNumSpritesInGroupList[SPRITE_GROUP_PARTICLES] != PARTICLE_SObjType_COUNT)
        ShowFatalAlert("%s:%d: %s", "InitParticleSystem", 76,
                       "gNumSpritesInGroupList[SPRITE_GROUP_PARTICLES] == PARTICLE_SObjType_COUNT");

    ObjNode* manager = MakeEffectManager(PARTICLE_MANAGER_SLOT, kParticleManagerFlags, UpdateParticleGroups,
                                         RenderParticleGroups);
    manager->VertexArrayPool = VERTEX_ARRAY_POOL_PARTICLES_0;
}

// One pane's mesh of one parity: room for every particle of the group, the quads' corners, texture
// coordinates and triangles fixed once here; points and colours are rewritten every frame.
static MetaObject* MakeParticleMesh(int parity, uint8_t spriteIndex)
{
    VertexArrayGeometry geometry = {};
    geometry.varPool = int16_t(parity);
    geometry.numMaterials = 1;
    geometry.materials[0] = ParticleTexture(spriteIndex);
    geometry.points = (Point3D*)OGL_AllocVertexArrayMemory(sizeof(Point3D) * kQuadPoints, parity);
    geometry.uvs[0] = (float*)OGL_AllocVertexArrayMemory(sizeof(float) * 2 * kQuadPoints, parity);
    geometry.colors = (float*)OGL_AllocVertexArrayMemory(sizeof(float) * 4 * kQuadPoints, parity);
    geometry.triangles = (uint32_t*)OGL_AllocVertexArrayMemory(sizeof(uint32_t) * 3 * kQuadTriangles, parity);

    static const float kCornerUVs[8] = {0, 0, 0, 1, 1, 1, 1, 0};
    FillQuadUVsAndTriangles(&geometry, PARTICLES_PER_GROUP, kCornerUVs);
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &geometry);
}

void FillQuadUVsAndTriangles(VertexArrayGeometry* geometry, int quads, const float cornerUVs[8])
{
    for (int q = 0; q < quads; q++) {
        for (int i = 0; i < 8; i++)
            geometry->uvs[0][q * 8 + i] = cornerUVs[i];
        uint32_t* t = geometry->triangles + q * 6;
        uint32_t p = uint32_t(q * 4);
        t[0] = p, t[1] = p + 1, t[2] = p + 2;
        t[3] = p, t[4] = p + 2, t[5] = p + 3;
    }
}

int16_t CreateParticleGroup(const ParticleGroupSpec* def)
{
    int slot = 0;
    while (slot < PARTICLE_GROUP_LIMIT && gParticleGroupTable[slot])
        slot++;
    if (slot == PARTICLE_GROUP_LIMIT)
        return -1;

    auto* group = (ParticleGroupRecord*)AllocPtrClear(sizeof(ParticleGroupRecord));
    if (!group)
        return -1;

    group->kind = def->kind;
    group->flags = def->flags;
    group->gravity = def->gravity;
    group->attraction = def->attraction;
    group->baseSize = def->baseSize;
    group->shrinkRate = def->shrinkRate;
    group->fadeSpeed = def->fadeSpeed;
    group->stamp = def->stamp;
    group->spriteIndex = def->spriteIndex;
    group->blendSource = def->blendSource;
    group->blendDest = def->blendDest;
    group->visibleInPane[0] = group->visibleInPane[1] = true;
    group->bounds.isEmpty = true;

    for (int parity = 0; parity < 2; parity++)
        for (int pane = 0; pane < gNumPanes && pane < 2; pane++)
            group->meshes[parity][pane] = MakeParticleMesh(parity, def->spriteIndex);

    gParticleGroupTable[slot] = group;
    gParticleGroupCount++;
    return int16_t(slot);
}

bool AddParticleToGroup(const ParticleSpec* def)
{
    if (uint16_t(def->group) >= PARTICLE_GROUP_LIMIT)
        ShowFatalAlert("%s:%d: %s", "AddParticleToGroup", 328, "Illegal group #");

    // A group waiting to be freed is never moved or drawn again: a particle added there would be lost.
    ParticleGroupRecord* group = gParticleGroupTable[def->group];
    if (!group || group->pendingFree)
        return true;

    int i = 0;
    while (i < PARTICLES_PER_GROUP && group->inUse[i])
        i++;
    if (i == PARTICLES_PER_GROUP)
        return true;

    group->alpha[i] = def->alpha;
    group->scale[i] = def->scale;
    group->spin[i] = def->spin;
    group->spinRate[i] = def->spinRate;
    group->position[i] = *def->position;
    group->velocity[i] = *def->velocity;
    group->inUse[i] = true;
    return false;
}

bool IsParticleGroupCurrent(int16_t group, uint32_t stamp)
{
    if (group < 0 || group >= PARTICLE_GROUP_LIMIT)
        return false;
    ParticleGroupRecord* record = gParticleGroupTable[group];
    return record && !record->pendingFree && record->stamp == stamp;
}

void SetParticleGroupVisiblePanes(int16_t group, bool pane0, bool pane1)
{
    if (uint16_t(group) >= PARTICLE_GROUP_LIMIT)
        ShowFatalAlert("%s:%d: %s", "SetParticleGroupVisiblePanes", 369, "Illegal group #");
    ParticleGroupRecord* record = gParticleGroupTable[group];
    if (!record)
        return;
    record->visibleInPane[0] = pane0;
    record->visibleInPane[1] = pane1;
}

static void FreeParticleGroup(int slot)
{
    ParticleGroupRecord* group = gParticleGroupTable[slot];
    for (auto& parityMeshes : group->meshes)
        for (MetaObject*& mesh : parityMeshes)
            if (mesh) {
                MO_DisposeObjectReference(mesh);
                mesh = nullptr;
            }
    SafeDisposePtr(group);
    gParticleGroupTable[slot] = nullptr;
    gParticleGroupCount--;
}

void FreeAllParticleGroups()
{
    for (int slot = 0; slot < PARTICLE_GROUP_LIMIT; slot++)
        if (gParticleGroupTable[slot])
            FreeParticleGroup(slot);
}

int CountLiveParticles()
{
    int count = 0;
    for (ParticleGroupRecord* group : gParticleGroupTable)
        if (group && !group->pendingFree)
            for (bool used : group->inUse)
                count += used;
    return count;
}

// ---------------------------------------------------------------------------------------------------------
// The move pass
// ---------------------------------------------------------------------------------------------------------

// One particle's frame; false when it died.
static bool MoveParticle(ParticleGroupRecord* group, int i, float dt)
{
    Point3D& p = group->position[i];
    Vector3D& v = group->velocity[i];

    v.y -= group->gravity * dt;
    group->spin[i] += group->spinRate[i] * dt;
    p.x += v.x * dt;
    p.y += v.y * dt;
    p.z += v.z * dt;

    if (!(group->flags & PGROUP_IGNORE_GROUND)) {
        float ground = TerrainHeightAt(p.x, p.z) + kGroundClearance;
        if (group->flags & PGROUP_BOUNCE) {
            if (v.y < 0 && p.y < ground) {
                p.y = ground;
                v.y *= kBounceDamping;
                v.x += gLastTerrainNormal.x * kBounceKick;
                v.z += gLastTerrainNormal.z * kBounceKick;
            }
        } else if (p.y < ground) {
            return false;
        }
    }

    group->scale[i] -= group->shrinkRate * dt;
    if (group->scale[i] <= 0)
        return false;
    group->alpha[i] -= group->fadeSpeed * dt;
    return group->alpha[i] > 0;
}

static void BuildParticleMeshes(int parity);

void UpdateParticleGroups(ObjNode* manager)
{
    float dt = gFrameSeconds;

    // 1. Groups found empty two frames ago: neither mesh copy is in use any more.
    for (int slot = 0; slot < PARTICLE_GROUP_LIMIT; slot++) {
        ParticleGroupRecord* group = gParticleGroupTable[slot];
        if (group && group->pendingFree && --group->freeDelay <= 0)
            FreeParticleGroup(slot);
    }

    // 2. This frame draws the copies of its parity.
    int parity = EffectFrameParity();
    manager->VertexArrayPool = uint8_t(VERTEX_ARRAY_POOL_PARTICLES_0 + parity);

    // 3. Move every particle; 4. a group with none left starts its delayed free.
    for (ParticleGroupRecord* group : gParticleGroupTable) {
        if (!group || group->pendingFree)
            continue;
        bool anyUsed = false;
        for (int i = 0; i < PARTICLES_PER_GROUP; i++) {
            if (!group->inUse[i])
                continue;
            anyUsed = true;
            if (!MoveParticle(group, i, dt))
                group->inUse[i] = false;
        }
        if (!anyUsed) {
            group->pendingFree = true;
            group->freeDelay = PARTICLE_FREE_DELAY;
        }
    }

    // 5. The quads of this frame, facing each pane's camera.
    BuildParticleMeshes(parity);
}

// ---------------------------------------------------------------------------------------------------------
// The mesh build
// ---------------------------------------------------------------------------------------------------------

static void WidenBox(BoundingBox* box, const Point3D* points, int count)
{
    for (int i = 0; i < count; i++) {
        const Point3D& p = points[i];
        box->minX = p.x < box->minX ? p.x : box->minX;
        box->minY = p.y < box->minY ? p.y : box->minY;
        box->minZ = p.z < box->minZ ? p.z : box->minZ;
        box->maxX = p.x > box->maxX ? p.x : box->maxX;
        box->maxY = p.y > box->maxY ? p.y : box->maxY;
        box->maxZ = p.z > box->maxZ ? p.z : box->maxZ;
    }
}

static void BuildGroupMesh(ParticleGroupRecord* group, VertexArrayGeometry* mesh, const Point3D* eye)
{
    static const Vector3D kUp = {0, 1, 0};
    BoundingBox box = {1e8f, 1e8f, 1e8f, -1e8f, -1e8f, -1e8f, false};
    Matrix4x4 facing;
    int j = 0;

    for (int i = 0; i < PARTICLES_PER_GROUP; i++) {
        if (!group->inUse[i])
            continue;
        float s = group->baseSize * group->scale[i];
        const Point3D corners[4] = {{-s, s, 0}, {-s, -s, 0}, {s, -s, 0}, {s, s, 0}};

        // The camera-facing orientation costs a look-at per particle; most groups share the first one's.
        const Point3D& p = group->position[i];
        if (j == 0 || (group->flags & PGROUP_FACE_EACH)) {
            MatrixOrientToward(&facing, &kUp, &p, eye);
        } else {
            facing.value[12] = p.x;
            facing.value[13] = p.y;
            facing.value[14] = p.z;
        }

        Point3D* out = mesh->points + j * 4;
        if (group->spin[i] != 0) {
            Matrix4x4 spin, spunFacing;
            MatrixRotateZ(&spin, group->spin[i]);
            MatrixMultiply(&spin, &facing, &spunFacing);
            TransformPoints(corners, &spunFacing, out, 4);
        } else {
            TransformPoints(corners, &facing, out, 4);
        }
        WidenBox(&box, out, 4);

        float* color = mesh->colors + j * 16;
        for (int c = 0; c < 4; c++) {
            color[c * 4 + 0] = color[c * 4 + 1] = color[c * 4 + 2] = 1;
            color[c * 4 + 3] = group->alpha[i];
        }
        j++;
    }

    mesh->numPoints = j * 4;
    mesh->numTriangles = j * 2;
    if (j > 0)
        group->bounds = box;
}

static void BuildParticleMeshes(int parity)
{
    for (int pane = 0; pane < gNumPanes && pane < 2; pane++) {
        Point3D eye = PaneEyePosition(pane);
        for (ParticleGroupRecord* group : gParticleGroupTable) {
            if (!group || group->pendingFree)
                continue;
            BuildGroupMesh(group, MO_GetGeometryData(group->meshes[parity][pane]), &eye);
        }
    }
}
