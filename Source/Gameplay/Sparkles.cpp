// Sparkles.cpp: glints pinned to points or to objects. The caller allocates a record and fills it; an
// object keeps the indices of its sparkles in SparkleSlots and deleting the object deletes them. Drawn by
// the particle manager, each as one immediate-mode quad facing the camera.
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"
#include "System/Alerts.h"
#include "System/Random.h"

SparkleRecord gSparkleTable[SPARKLE_LIMIT];
int32_t gSparkleCount = 0;

void ResetSparkles()
{
    for (SparkleRecord& sparkle : gSparkleTable)
        sparkle.isActive = false;
    gSparkleCount = 0;
    SetNodeEffectReleaseProcs(DeleteSparkle, DetachContrailOwner);
}

int16_t AllocSparkle(ObjNode* owner)
{
    for (int i = 0; i < SPARKLE_LIMIT; i++) {
        SparkleRecord& sparkle = gSparkleTable[i];
        if (sparkle.isActive)
            continue;
        sparkle = {};
        sparkle.isActive = true;
        sparkle.owner = owner;
        sparkle.color[0] = sparkle.color[1] = sparkle.color[2] = sparkle.color[3] = 1;
        gSparkleCount++;
        return int16_t(i);
    }
    return -1;
}

void DeleteSparkle(int16_t index)
{
    if (index == -1)
        return;
    if (index < 0 || index >= SPARKLE_LIMIT || !gSparkleTable[index].isActive) {
        ShowAlert("DeleteSparkle: double delete sparkle");
        return;
    }
    gSparkleTable[index].isActive = false;
    gSparkleTable[index].owner = nullptr;
    gSparkleCount--;
}

int16_t AttachSparkleToObject(ObjNode* owner)
{
    for (int16_t& slot : owner->SparkleSlots) {
        if (slot != -1)
            continue;
        slot = AllocSparkle(owner);
        return slot;
    }
    return -1;
}

// Where the sparkle is this frame and which way it faces; false when its owner hides it in this pane.
static bool PlaceSparkle(const SparkleRecord& sparkle, int pane, Point3D* where, Vector3D* facing)
{
    *where = sparkle.position;
    *facing = sparkle.facing;
    ObjNode* owner = sparkle.owner;
    if (!owner)
        return true;
    if (!(sparkle.flags & GLINT_ALWAYS) &&
        (owner->StatusFlags & (NODEBIT_INVISIBLE | (NODEBIT_CULLED_PANE0 << pane))))
        return false;
    if (sparkle.flags & GLINT_OWNER_SPACE) {
        TransformPoint(&sparkle.position, &owner->Transform, where);
        if (!(sparkle.flags & GLINT_ALL_DIRECTIONS))
            TransformVector(&sparkle.facing, &owner->Transform, facing);
    }
    return true;
}

void RenderSparkles(int pane)
{
    static const Vector3D kUp = {0, 1, 0};
    Point3D eye = PaneEyePosition(pane);

    for (SparkleRecord& sparkle : gSparkleTable) {
        if (!sparkle.isActive)
            continue;

        // 1. World position and facing, through the owner when pinned in its space.
        Point3D where;
        Vector3D facing;
        if (!PlaceSparkle(sparkle, pane, &where, &facing))
            continue;

        // 2. Pulled toward the camera so the owner's own model does not hide it.
        Vector3D toEye;
        Normalize3XYZ(eye.x - where.x, eye.y - where.y, eye.z - where.z, &toEye);
        where.x += toEye.x * sparkle.pullToCamera;
        where.y += toEye.y * sparkle.pullToCamera;
        where.z += toEye.z * sparkle.pullToCamera;

        // 3. A directional glint is as bright as it faces the camera, and unseen from behind.
        if (!(sparkle.flags & GLINT_ALL_DIRECTIONS)) {
            float d = toEye.x * facing.x + toEye.y * facing.y + toEye.z * facing.z;
            if (d <= 0)
                continue;
            sparkle.color[3] = d;
        }

        // 4. The quad's corners facing the camera.
        float s = sparkle.halfSize;
        const Point3D corners[4] = {{-s, s, 0}, {s, s, 0}, {s, -s, 0}, {-s, -s, 0}};
        Matrix4x4 orient;
        MatrixOrientToward(&orient, &kUp, &where, &eye);
        Point3D quad[4];
        TransformPoints(corners, &orient, quad, 4);

        // 5. Flicker: a random brightness each frame, sometimes none at all.
        float opacity = sparkle.color[3];
        if (sparkle.flags & GLINT_FLICKER) {
            opacity += RandomSigned() * 0.5f;
            if (opacity < 0)
                continue;
            opacity = opacity < 1 ? opacity : 1;
        }

        // 6. One immediate-mode quad.
        gDrawOpacity = opacity;
        MO_DrawMaterial(ParticleTexture(sparkle.spriteIndex));
        static const float kUVs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        glBegin(GL_QUADS);
        for (int c = 0; c < 4; c++) {
            glTexCoord2f(kUVs[c][0], kUVs[c][1]);
            glVertex3f(quad[c].x, quad[c].y, quad[c].z);
        }
        glEnd();
        gFrameStats.drawCalls++;
    }
    gDrawOpacity = 1;
}
