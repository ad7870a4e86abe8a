// Shards.cpp: a model breaking apart. Every chosen triangle of the object's meshes becomes a shard that
// flies, spins, falls and shrinks on its own until it vanishes or (unless it bounces) hits the ground.
// Drawn one immediate-mode triangle each.
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Random.h"
#include "Terrain/Terrain.h"

ShardRecord gShardTable[SHARD_LIMIT];
int32_t gNumShards = 0;

static constexpr float kCentreWeight = 0.3333f; // the centre is the corners' sum times this
static constexpr float kUpwardKick = 1.5f;      // of the force, with SHATTER_UPWARD
static constexpr float kSpinPerForce = 0.008f;
static constexpr float kGravity = 300, kHeavyGravity = 1000;

// What the object being shattered lends its shards while its meshes are walked.
struct ShatterContext
{
    const ObjNode* node;
    Point3D centre;
    float force;
    uint8_t flags;
    int density;
    float shrinkRate;
    Matrix4x4 transform; // model to world of the mesh being visited
    bool tableFull;
};

static void RebuildShardMatrix(ShardRecord& shard)
{
    Matrix4x4 scale, rotate, scaledRotate;
    MatrixScale(&scale, shard.scale, shard.scale, shard.scale);
    MatrixRotateXYZ(&rotate, shard.rotation.x, shard.rotation.y, shard.rotation.z);
    MatrixMultiply(&scale, &rotate, &scaledRotate);
    shard.matrix = scaledRotate;
    shard.matrix.value[12] = shard.position.x;
    shard.matrix.value[13] = shard.position.y;
    shard.matrix.value[14] = shard.position.z;
}

void ResetShards()
{
    for (ShardRecord& shard : gShardTable)
        shard.inUse = false;
    gNumShards = 0;
    MakeEffectManager(SHARD_MANAGER_SLOT, NODEBIT_SHOW_BACKFACES, MoveShards, DrawShards);
}

static ShardRecord* FindFreeShard()
{
    if (gNumShards >= SHARD_LIMIT)
        return nullptr;
    for (ShardRecord& shard : gShardTable)
        if (!shard.inUse)
            return &shard;
    return nullptr;
}

static void ShatterMesh(ShatterContext* context, const VertexArrayGeometry* mesh,
                        MetaObject* overrideMaterial)
{
    const ObjNode* node = context->node;
    for (int t = 0; t < mesh->numTriangles; t += context->density) {
        // 1. A free record, or the explosion ends here.
        ShardRecord* shard = FindFreeShard();
        if (!shard) {
            context->tableFull = true;
            return;
        }

        // 2. The corners in world space around their centre; texture coordinates when the mesh has them.
        Point3D corners[3];
        for (int c = 0; c < 3; c++) {
            uint32_t index = mesh->triangles[t * 3 + c];
            TransformPoint(&mesh->points[index], &context->transform, &corners[c]);
            if (mesh->uvs[0]) {
                shard->uvs[c][0] = mesh->uvs[0][index * 2];
                shard->uvs[c][1] = mesh->uvs[0][index * 2 + 1];
            } else {
                shard->uvs[c][0] = shard->uvs[c][1] = 0;
            }
        }
        Point3D centre = {(corners[0].x + corners[1].x + corners[2].x) * kCentreWeight,
                          (corners[0].y + corners[1].y + corners[2].y) * kCentreWeight,
                          (corners[0].z + corners[1].z + corners[2].z) * kCentreWeight};
        for (int c = 0; c < 3; c++)
            shard->points[c] = {corners[c].x - centre.x, corners[c].y - centre.y, corners[c].z - centre.z};

        // 3. Look of the object it came from.
        shard->material = overrideMaterial           ? overrideMaterial
                          : (mesh->numMaterials > 0) ? mesh->materials[0]
                                                     : nullptr;
        shard->tint[0] = node->Tint.r;
        shard->tint[1] = node->Tint.g;
        shard->tint[2] = node->Tint.b;
        shard->tint[3] = node->Tint.a;
        shard->additive = (node->StatusFlags & NODEBIT_ADDITIVE) != 0;
        shard->position = centre;
        shard->rotation = {0, 0, 0};
        shard->scale = 1;

        // 4. Flung out from the centre, or any which way.
        float force = context->force;
        if (context->flags & SHATTER_RADIAL) {
            Vector3D out;
            Normalize3XYZ(centre.x - context->centre.x, centre.y - context->centre.y,
                          centre.z - context->centre.z, &out);
            shard->velocity = {out.x * force, out.y * force, out.z * force};
        } else {
            float x = RandomSigned(), y = RandomSigned(), z = RandomSigned();
            shard->velocity = {x * force, y * force, z * force};
        }
        if (context->flags & SHATTER_UPWARD)
            shard->velocity.y += force * kUpwardKick;

        // 5. Tumbling in proportion to the blast.
        float spin = force * kSpinPerForce;
        float rx = RandomSigned(), ry = RandomSigned(), rz = RandomSigned();
        shard->rotationRate = {rx * spin, ry * spin, rz * spin};
        shard->shatterFlags = context->flags;
        shard->shrinkRate = context->shrinkRate;
        RebuildShardMatrix(*shard);
        gNumShards++;
        shard->inUse = true;
    }
}

static void ExplodeGeometry_Recurse(ShatterContext* context, MetaObject* object)
{
    if (object->cookie != MO_COOKIE)
        ShowFatalAlert("ExplodeGeometry_Recurse: cookie is invalid!");

    switch (object->type) {
    case MO_TYPE_GEOMETRY:
        if (object->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            ShowFatalAlert("ExplodeGeometry_Recurse: unknown sub-type!");
        ShatterMesh(context, MO_GetGeometryData(object), nullptr);
        break;
    case MO_TYPE_GROUP: {
        // A group scopes its matrices: what its members multiply in ends with it.
        Matrix4x4 saved = context->transform;
        MetaObjectGroupData* group = MO_GetGroupData(object);
        for (int i = 0; i < group->numObjectsInGroup && !context->tableFull; i++)
            ExplodeGeometry_Recurse(context, group->objects[i]);
        context->transform = saved;
        break;
    }
    case MO_TYPE_MATRIX: {
        Matrix4x4 combined;
        MatrixMultiply(MO_GetMatrixData(object), &context->transform, &combined);
        context->transform = combined;
        break;
    }
    default:
        break;
    }
}

void ShatterObject(ObjNode* node, float force, uint8_t shatterFlags, int density, float shrinkRate)
{
    ShatterContext context = {};
    context.force = force;
    context.flags = shatterFlags;
    context.density = density < 1 ? 1 : density;
    context.shrinkRate = shrinkRate;

    for (ObjNode* part = node; part && !context.tableFull; part = part->ChainNext) {
        if (part->CType == INVALID_NODE_FLAG)
            break;
        context.node = part;
        context.centre = {part->Position.x + (part->ModelBounds.minX + part->ModelBounds.maxX) / 2,
                          part->Position.y + (part->ModelBounds.minY + part->ModelBounds.maxY) / 2,
                          part->Position.z + (part->ModelBounds.minZ + part->ModelBounds.maxZ) / 2};
        MatrixIdentity(&context.transform);

        if (part->Genre == SKELETON_GENRE && part->Skeleton) {
            // The skin is already in world space.
            int meshCount = 0;
            const VertexArrayGeometry* meshes = CurrentSkinnedMeshes(part, &meshCount);
            for (int i = 0; i < meshCount && !context.tableFull; i++)
                ShatterMesh(&context, &meshes[i], part->Skeleton->materialOverride[i]);
        } else if (part->Genre == DISPLAY_GROUP_GENRE && part->BaseGroup) {
            ExplodeGeometry_Recurse(&context, part->BaseGroup);
        }
    }
}

void MoveShards(ObjNode*)
{
    if (gNumShards == 0)
        return;
    if (gNumShards < 0)
        ShowFatalAlert("%s:%d: %s", "MoveShards", 385, "gNumShards > 0");

    float dt = gFrameSeconds;
    for (ShardRecord& shard : gShardTable) {
        if (!shard.inUse)
            continue;

        // 1. Spin, fall and fly.
        shard.rotation.x += shard.rotationRate.x * dt;
        shard.rotation.y += shard.rotationRate.y * dt;
        shard.rotation.z += shard.rotationRate.z * dt;
        shard.velocity.y -= ((shard.shatterFlags & SHATTER_HEAVY) ? kHeavyGravity : kGravity) * dt;
        shard.position.x += shard.velocity.x * dt;
        shard.position.y += shard.velocity.y * dt;
        shard.position.z += shard.velocity.z * dt;

        // 2. The ground ends it, or throws it back up.
        float ground = TerrainHeightAt(shard.position.x, shard.position.z);
        if (shard.position.y <= ground) {
            if (!(shard.shatterFlags & SHATTER_BOUNCE)) {
                shard.inUse = false;
                gNumShards--;
                continue;
            }
            shard.position.y = ground;
            shard.velocity.y *= -0.5f;
            shard.velocity.x *= 0.9f;
            shard.velocity.z *= 0.9f;
        }

        // 3. Shrink to nothing.
        shard.scale -= shard.shrinkRate * dt;
        if (shard.scale <= 0) {
            shard.inUse = false;
            gNumShards--;
            continue;
        }
        RebuildShardMatrix(shard);
    }
}

void DrawShards(ObjNode*)
{
    if (gNumShards == 0)
        return;
    if (gNumShards < 0)
        ShowFatalAlert("%s:%d: %s", "DrawShards", 461, "gNumShards > 0");

    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_NORMALIZE); // a shrinking shard's matrix scales its normal too
    for (const ShardRecord& shard : gShardTable) {
        if (!shard.inUse)
            continue;
        gDrawTint[0] = shard.tint[0];
        gDrawTint[1] = shard.tint[1];
        gDrawTint[2] = shard.tint[2];
        gDrawOpacity = shard.tint[3];
        OGL_BlendFunc(GL_SRC_ALPHA, shard.additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        if (shard.material)
            MO_DrawMaterial(shard.material);
        else
            OGL_DisableTexture2D();

        glPushMatrix();
        glMultMatrixf(shard.matrix.value);
        const Point3D* p = shard.points;
        Vector3D edge1 = {p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z};
        Vector3D edge2 = {p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z};
        Vector3D normal;
        CrossNormalized(&edge1, &edge2, &normal);
        glBegin(GL_TRIANGLES);
        glNormal3f(normal.x, normal.y, normal.z);
        for (int c = 0; c < 3; c++) {
            glTexCoord2f(shard.uvs[c][0], shard.uvs[c][1]);
            glVertex3f(shard.points[c].x, shard.points[c].y, shard.points[c].z);
        }
        glEnd();
        glPopMatrix();
        gFrameStats.drawCalls++;
    }
    gDrawTint[0] = gDrawTint[1] = gDrawTint[2] = 1;
    gDrawOpacity = 1;
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_NORMALIZE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
}
