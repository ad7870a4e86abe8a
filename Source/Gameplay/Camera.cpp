// The pane cameras: where each one goes every frame, in the order the modes take precedence.

#include "Gameplay/Camera.h"

#include "3D/OGL_Support.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "Terrain/Terrain.h"

#include <algorithm>
#include <cmath>

float gCameraLookLag = 8;
float gCameraChaseLag = 2;
uint8_t gCameraMode[2] = {CAMERA_MODE_CHASE, CAMERA_MODE_CHASE};
bool gCameraOrbit[2] = {false, false};
bool gCameraWatchExit = false;
Point3D gExitWormholePosition = {0, 0, 0};

static constexpr float kLookAheadDistance = 600;
static constexpr float kChaseHeight = 60;
static constexpr float kChaseDistance = 280;
static constexpr float kGroundClearance = 80;
static constexpr float kCeilingClearance = 300;

void StepToward(Point3D* from, const Point3D* target, float rate, float dt)
{
    float t = std::min(rate * dt, 1.0f); // never past the target
    from->x += (target->x - from->x) * t;
    from->y += (target->y - from->y) * t;
    from->z += (target->z - from->z) * t;
}

void ResetCamera(int player)
{
    gCameraLookLag = 8;
    gCameraChaseLag = 2;
    gCameraWatchExit = false;
    gCameraOrbit[player] = false;

    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    if (!node)
        return;

    // Arriving through the start wormhole, the camera waits off to the side of its mouth.
    bool arriving = node->Skeleton && node->Skeleton->animNum == PLAYER_ANIM_ARRIVE;
    float angle = node->Rotation.y + (arriving ? 2.5132742f : 0.0f);
    float distance = arriving ? 1680.0f : kChaseDistance;
    gCameraChaseLag = arriving ? 0.0f : 2.0f;
    float x = node->Position.x + std::sin(angle) * distance;
    float z = node->Position.z + std::cos(angle) * distance;
    float y = TerrainHeightAt(x, z) + (arriving ? 600.0f : 200.0f);
    record.cameraFrom = {x, y, z};
    record.cameraTo = {node->Position.x, node->Position.y + 100, node->Position.z};
    OGL_UpdateCameraFromTo(&record.cameraFrom, &record.cameraTo, player);
}

static void ToggleCameraMode(int player)
{
    if (GetNeedState(kNeedCameraMode, player) == KEYSTATE_PRESSED) {
        gCameraMode[player]++;
        if (gCameraMode[player] > CAMERA_MODE_COCKPIT)
            gCameraMode[player] = CAMERA_MODE_CHASE;
    }
}

static void PlaceCockpitCamera(int player, ObjNode* node)
{
    const Vector3D nose = {0, 0, -1};
    const Vector3D localUp = {0, 1, 0};
    Vector3D forward, up;
    TransformVector(&nose, &node->Transform, &forward);
    TransformVector(&localUp, &node->Transform, &up);
    PlayerRecord& record = gPlayers[player];
    record.cameraFrom = node->Position;
    record.cameraTo = {node->Position.x + forward.x, node->Position.y + forward.y,
                       node->Position.z + forward.z};
    OGL_UpdateCameraFromToUp(&record.cameraFrom, &record.cameraTo, &up, player);
}

// Backing away from the dust devil and sinking; the look-at point stays.
static void RetreatFromDustDevil(int player)
{
    PlayerRecord& record = gPlayers[player];
    Point3D& from = record.cameraFrom;
    ObjNode* devil = record.dustDevil;
    if (devil && devil->CType != INVALID_NODE_FLAG) {
        Vector3D away;
        Normalize3XYZ(from.x - devil->Position.x, 0, from.z - devil->Position.z, &away);
        from.x += away.x * 600 * gFrameSeconds;
        from.z += away.z * 600 * gFrameSeconds;
    }
    from.y = std::max(from.y - 400 * gFrameSeconds, TerrainHeightAt(from.x, from.z) + kGroundClearance);
    OGL_UpdateCameraFromTo(&record.cameraFrom, &record.cameraTo, player);
}

static void PlaceChaseCamera(int player, ObjNode* node)
{
    PlayerRecord& record = gPlayers[player];
    float dt = gFrameSeconds;
    Point3D from = record.cameraFrom;
    Point3D to = record.cameraTo;

    // 1. The look-at point follows a point ahead of the nose.
    const Point3D ahead = {0, 0, -kLookAheadDistance};
    Point3D lookTarget;
    TransformPoint(&ahead, &node->Transform, &lookTarget);
    StepToward(&to, &lookTarget, gCameraLookLag, dt);

    // 2. The position circles a falling player, watches the exit, or follows behind and above.
    if (gCameraOrbit[player]) {
        float dx = from.x - node->Position.x;
        float dz = from.z - node->Position.z;
        float turn = 0.4f * dt;
        from.x = node->Position.x + dx * std::cos(turn) + dz * std::sin(turn);
        from.z = node->Position.z - dx * std::sin(turn) + dz * std::cos(turn);
        from.y += 100 * dt;
    } else if (gCameraWatchExit) {
        const Point3D& exit = gExitWormholePosition;
        Point3D target = {exit.x, TerrainHeightAt(exit.x, exit.z) + 600, exit.z};
        StepToward(&from, &target, gCameraChaseLag * 0.4f, dt);
    } else {
        const Point3D behind = {0, kChaseHeight, kChaseDistance};
        Point3D target;
        TransformPoint(&behind, &node->Transform, &target);
        StepToward(&from, &target, gCameraChaseLag, dt);
    }

    // 3. Below the ceiling margin first, so that on very high ground the terrain floor wins.
    float ceiling = MaxFlightAltitude(from.x, from.z) - kCeilingClearance;
    if (from.y > ceiling)
        from.y = ceiling;
    float floor = TerrainHeightAt(from.x, from.z) + kGroundClearance;
    if (from.y < floor)
        from.y = floor;

    // 4. Bank the view with the player's roll.
    Vector3D dir;
    Normalize3XYZ(to.x - from.x, to.y - from.y, to.z - from.z, &dir);
    record.cameraDir = dir;
    float bankFactor = gPrefs.stereoMode != 0 ? 0.3f : 0.2f;
    Matrix4x4 bank;
    const Vector3D worldUp = {0, 1, 0};
    Vector3D up = worldUp;
    if (VectorLength(&dir) > 0) {
        MatrixRotateAxis(&bank, &dir, node->Rotation.z * bankFactor);
        TransformVector(&worldUp, &bank, &up);
    }

    record.cameraFrom = from;
    record.cameraTo = to;
    OGL_UpdateCameraFromToUp(&from, &to, &up, player);
}

void MoveCameras()
{
    if (gTimeDemoMode)
        return;

    ObjNode* first = gPlayers[0].objNode;
    bool arriving = first && first->Skeleton && first->Skeleton->animNum == PLAYER_ANIM_ARRIVE;
    if (!arriving)
        gCameraChaseLag = std::min(gCameraChaseLag + 0.6f * gFrameSeconds, 2.0f);

    for (int player = 0; player < std::min(gNumPanes, MAX_PLAYERS); player++) {
        ObjNode* node = gPlayers[player].objNode;
        if (!node)
            continue;
        ToggleCameraMode(player);
        if (gCameraMode[player] == CAMERA_MODE_COCKPIT) {
            PlaceCockpitCamera(player, node);
            continue;
        }
        if (!node->Skeleton)
            ShowFatalAlert("MoveCameras: player has no skeleton!");
        if (node->Skeleton->animNum == PLAYER_ANIM_SPIN) {
            RetreatFromDustDevil(player);
            continue;
        }
        PlaceChaseCamera(player, node);
    }
}
