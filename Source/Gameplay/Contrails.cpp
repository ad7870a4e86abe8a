// Contrails.cpp: ribbons of up to 50 points trailing behind the player's wing tips. Each contrail is a
// ring of centre points; the newest is written at writeIndex. Every point fades at 0.5 alpha per second,
// and the ribbon is rebuilt each frame from the newest point back to the first faded one, into the mesh
// copy of the frame's parity (pools 6 and 7), so the copy the previous frame submitted stays untouched.
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Memory.h"

ContrailRecord gContrailTable[CONTRAIL_LIMIT];

static VertexArrayGeometry gContrailMeshes[CONTRAIL_LIMIT][2];

static constexpr uint32_t kContrailManagerFlags = NODEBIT_ADDITIVE | NODEBIT_DEPTH_WRITE_OFF |
                                                  NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES |
                                                  NODEBIT_NO_CULLING;
static constexpr float kRampStep = 0.05f; // opacity gained per point away from the newest

static int PreviousPoint(int k)
{
    return k == 0 ? CONTRAIL_POINT_RING - 1 : k - 1;
}

void ResetContrails()
{
    for (int c = 0; c < CONTRAIL_LIMIT; c++) {
        ContrailRecord& contrail = gContrailTable[c];
        contrail.isActive = false;
        contrail.owner = nullptr;
        for (int parity = 0; parity < 2; parity++) {
            int pool = VERTEX_ARRAY_POOL_CONTRAILS_0 + parity;
            VertexArrayGeometry& mesh = gContrailMeshes[c][parity];
            mesh = {};
            mesh.varPool = int16_t(pool);
            mesh.points = (Point3D*)OGL_AllocVertexArrayMemory(sizeof(Point3D) * CONTRAIL_MESH_POINTS, pool);
            mesh.colors = (float*)OGL_AllocVertexArrayMemory(sizeof(float) * 4 * CONTRAIL_MESH_POINTS, pool);
            mesh.triangles =
                (uint32_t*)OGL_AllocVertexArrayMemory(sizeof(uint32_t) * 3 * CONTRAIL_MESH_TRIANGLES, pool);
            contrail.mesh[parity] = &mesh;
        }
    }
    ObjNode* manager =
        MakeEffectManager(CONTRAIL_MANAGER_SLOT, kContrailManagerFlags, UpdateContrails, RenderContrails);
    manager->VertexArrayPool = VERTEX_ARRAY_POOL_CONTRAILS_0;
}

int16_t CreateContrail(float halfWidth, int16_t* owner)
{
    for (int c = 0; c < CONTRAIL_LIMIT; c++) {
        ContrailRecord& contrail = gContrailTable[c];
        if (contrail.isActive)
            continue;
        contrail.isActive = true;
        contrail.halfWidth = halfWidth;
        contrail.writeIndex = 0;
        contrail.owner = owner;
        for (float& alpha : contrail.alpha)
            alpha = 0;
        for (VertexArrayGeometry* mesh : contrail.mesh)
            if (mesh)
                mesh->numPoints = mesh->numTriangles = 0;
        if (owner)
            *owner = int16_t(c);
        return int16_t(c);
    }
    if (owner)
        *owner = -1;
    return -1;
}

static bool IsLiveContrail(int16_t index)
{
    return index >= 0 && index < CONTRAIL_LIMIT && gContrailTable[index].isActive;
}

int16_t AddPointToContrail(int16_t index, const Point3D* point, const Vector3D* direction, float alpha)
{
    if (!IsLiveContrail(index))
        ShowFatalAlert("AddPointToContrail:  bad contrailNum");
    ContrailRecord& contrail = gContrailTable[index];
    int k = contrail.writeIndex;
    contrail.alpha[k] = alpha;
    contrail.points[k] = *point;
    contrail.directions[k] = *direction;
    contrail.writeIndex = int16_t((k + 1) % CONTRAIL_POINT_RING);
    return contrail.writeIndex;
}

void ModifyContrailPreviousAddition(int16_t index, const Point3D* point)
{
    if (!IsLiveContrail(index))
        ShowFatalAlert("ModifyContrailPreviousAddition:  bad contrailNum");
    ContrailRecord& contrail = gContrailTable[index];
    contrail.points[PreviousPoint(contrail.writeIndex)] = *point;
}

void DetachContrailOwner(int16_t index)
{
    if (index < 0 || index >= CONTRAIL_LIMIT)
        return;
    gContrailTable[index].owner = nullptr;
}

void FreeContrailMeshes()
{
    for (int c = 0; c < CONTRAIL_LIMIT; c++) {
        for (int parity = 0; parity < 2; parity++) {
            VertexArrayGeometry& mesh = gContrailMeshes[c][parity];
            if (mesh.points) {
                int pool = VERTEX_ARRAY_POOL_CONTRAILS_0 + parity;
                OGL_FreeVertexArrayMemory(mesh.points, pool);
                OGL_FreeVertexArrayMemory(mesh.colors, pool);
                OGL_FreeVertexArrayMemory(mesh.triangles, pool);
            }
            mesh = {};
            gContrailTable[c].mesh[parity] = nullptr;
        }
        gContrailTable[c].isActive = false;
    }
}

// Fades the points from the newest back and lists the live ones, newest first; returns their number.
static int FadeContrailPoints(ContrailRecord& contrail, int newest, float dt, int live[CONTRAIL_POINT_RING])
{
    int n = 0;
    int k = newest;
    do {
        contrail.alpha[k] -= CONTRAIL_FADE_RATE * dt;
        if (contrail.alpha[k] <= 0)
            break;
        live[n++] = k;
        k = PreviousPoint(k);
    } while (k != newest && contrail.alpha[k] > 0);
    return n;
}

// A strip across the direction of travel in the horizontal plane; the ends are transparent and the
// second point too, so a fresh ribbon grows in instead of starting with a hard edge.
static void BuildRibbon(const ContrailRecord& contrail, VertexArrayGeometry* mesh, const int live[], int n)
{
    float w = contrail.halfWidth;
    float ramp = 0;
    for (int l = 0; l < n; l++) {
        const Point3D& p = contrail.points[live[l]];
        const Vector3D& a = contrail.directions[live[l]];
        mesh->points[2 * l] = {p.x - a.z * w, p.y, p.z + a.x * w};
        mesh->points[2 * l + 1] = {p.x + a.z * w, p.y, p.z - a.x * w};

        float alpha = 0;
        if (l > 0 && l < n - 1) {
            alpha = ramp * contrail.alpha[live[l]];
        }
        if (l >= 1)
            ramp = ramp + kRampStep < 1 ? ramp + kRampStep : 1;
        for (int side = 0; side < 2; side++) {
            float* color = mesh->colors + (2 * l + side) * 4;
            color[0] = color[1] = color[2] = 1;
            color[3] = alpha;
        }
        if (l >= 1) {
            uint32_t* t = mesh->triangles + (l - 1) * 6;
            uint32_t v = uint32_t(2 * l);
            t[0] = v - 2, t[1] = v - 1, t[2] = v;
            t[3] = v, t[4] = v - 1, t[5] = v + 1;
        }
    }
    mesh->numPoints = 2 * n;
    mesh->numTriangles = 2 * n - 2;
}

void UpdateContrails(ObjNode* manager)
{
    int parity = EffectFrameParity();
    manager->VertexArrayPool = uint8_t(VERTEX_ARRAY_POOL_CONTRAILS_0 + parity);

    for (ContrailRecord& contrail : gContrailTable) {
        if (!contrail.isActive)
            continue;
        VertexArrayGeometry* mesh = contrail.mesh[parity];

        // 1. Fade the live points, newest first.
        int newest = PreviousPoint(contrail.writeIndex);
        bool newestWasLive = contrail.alpha[newest] > 0;
        int live[CONTRAIL_POINT_RING];
        int n = newestWasLive ? FadeContrailPoints(contrail, newest, gFrameSeconds, live) : 0;

        // 2. The ribbon of this frame's parity; one point is no ribbon.
        if (mesh) {
            if (n >= 2)
                BuildRibbon(contrail, mesh, live, n);
            else
                mesh->numPoints = mesh->numTriangles = 0;
        }

        // 3. Faded out: the contrail dies and its owner hears of it.
        if (!newestWasLive || n == 0) {
            contrail.isActive = false;
            if (contrail.owner)
                *contrail.owner = -1;
            contrail.owner = nullptr;
        }
    }
}

void RenderContrails(ObjNode*)
{
    int parity = EffectFrameParity();
    OGL_EnableBlend();
    OGL_DisableTexture2D();
    for (ContrailRecord& contrail : gContrailTable) {
        VertexArrayGeometry* mesh = contrail.mesh[parity];
        if (contrail.isActive && mesh && mesh->numTriangles > 0)
            MO_DrawGeometry_VertexArray(mesh);
    }
}

// ---------------------------------------------------------------------------------------------------------
// The player's wing tips
// ---------------------------------------------------------------------------------------------------------

static constexpr float kRollForTrails = 0.31415927f; // 18 degrees of bank
static constexpr float kPitchForTrails = 0.3926991f; // 22.5 degrees of climb or dive
static constexpr float kWingContrailHalfWidth = 1.1f;
static constexpr float kWingContrailAlpha = 0.6f;
static constexpr float kMinPointSpacing = 15;

static bool IsPullingHard(const ObjNode* player, float steer, float pitch)
{
    int anim = player->Skeleton ? player->Skeleton->animNum : 0;
    if (anim == 0 || anim == 3 || anim == 5 || anim == 11)
        return false;
    float roll = player->Rotation.z, pitchAngle = player->Rotation.x;
    return (roll > kRollForTrails && steer < 0) || (roll < -kRollForTrails && steer > 0) ||
           (pitchAngle > kPitchForTrails && pitch > 0) || (pitchAngle < -kPitchForTrails && pitch < 0);
}

void TrailWingContrails(ObjNode* player, float steer, float pitch, Point3D lastWingPoints[2])
{
    static const int kWingJoint[2] = {16, 21};
    static const Point3D kWingTipOffset[2] = {{35, 0, 3}, {-35, 0, 3}};

    // 1. Only a hard bank or pull draws trails; otherwise both ribbons are let go to fade.
    if (!IsPullingHard(player, steer, pitch)) {
        for (int16_t& index : player->ContrailIndices) {
            DetachContrailOwner(index);
            index = -1;
        }
        return;
    }

    // 2. The direction of flight lays each ribbon across it.
    Vector3D dir;
    Normalize3XYZ(player->Velocity.x, player->Velocity.y, player->Velocity.z, &dir);

    // 3. Each wing tip adds a point, or drags the newest one along until it is far enough from the last.
    for (int wing = 0; wing < 2; wing++) {
        Point3D tip;
        TransformPointByJoint(player, kWingJoint[wing], &kWingTipOffset[wing], &tip);
        int16_t& index = player->ContrailIndices[wing];
        if (index == -1) {
            if (CreateContrail(kWingContrailHalfWidth, &index) == -1)
                continue;
        } else if (Distance3D(&tip, &lastWingPoints[wing]) < kMinPointSpacing) {
            ModifyContrailPreviousAddition(index, &tip);
            continue;
        }
        lastWingPoints[wing] = tip;
        AddPointToContrail(index, &tip, &dir, kWingContrailAlpha);
    }
}
