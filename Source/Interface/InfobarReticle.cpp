// InfobarReticle.cpp: the aiming reticle over the player's aim points: flat in the overlay, or in
// stereo a billboard standing in the world at the first aim point.
#include "Interface/InfobarLocal.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Gameplay/Player.h"
#include "Interface/Infobar.h"
#include "Interface/Overlay.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"

#include <GL/gl.h>
#include <cmath>

constexpr uint16_t kStereoReticleSlot = 3097;
constexpr int kBombWeapon = 4;
constexpr float kAwayFromCameraLimit = -0.1f;

// Whether the pane's player shows a reticle at all: flying normally, with a weapon that aims, and not
// heading back toward the camera.
static bool WantsReticle(int pane, float* towardView, float* side)
{
    const PlayerRecord& player = gPlayers[pane];
    if (!gPrefs.showCrosshair || !player.objNode || player.currentWeapon == kBombWeapon || gPlayerDead[pane])
        return false;
    if (player.objNode->Skeleton) {
        int anim = player.objNode->Skeleton->animNum;
        if (anim == PLAYER_ANIM_FALL || anim == PLAYER_ANIM_ARRIVE || anim == PLAYER_ANIM_EXIT ||
            anim == PLAYER_ANIM_SPIN)
            return false;
    }
    const Vector3D& m = player.objNode->MotionDir;
    const Vector3D& c = player.cameraDir;
    *towardView = m.x * c.x + m.y * c.y + m.z * c.z;
    *side = m.z * c.x - m.x * c.z;
    return *towardView >= kAwayFromCameraLimit;
}

// A world point in the pane's overlay units; false when it lies behind the camera.
static bool ProjectToOverlay(int pane, const Point3D& point, float* x, float* y)
{
    const float* m = gWorldToScreenMatrix[pane].value;
    float w = m[3] * point.x + m[7] * point.y + m[11] * point.z + m[15];
    if (w <= 0.0001f)
        return false;
    float px = (m[0] * point.x + m[4] * point.y + m[8] * point.z + m[12]) / w;
    float py = (m[1] * point.x + m[5] * point.y + m[9] * point.z + m[13]) / w;
    int vx, vy, width, height;
    OGL_GetPaneViewport(pane, &vx, &vy, &width, &height);
    if (width <= 0 || height <= 0)
        return false;
    *x = px * (gOverlayRight - gOverlayLeft) / float(width) + gOverlayLeft;
    *y = py * (gOverlayBottom - gOverlayTop) / float(height) + gOverlayTop;
    return true;
}

void DrawAimingReticle(int pane)
{
    const PlayerRecord& player = gPlayers[pane];
    float towardView, side;
    if (gPrefs.stereoMode != 0 || !WantsReticle(pane, &towardView, &side))
        return;

    float x, y;
    if (ProjectToOverlay(pane, player.aimPoints[0], &x, &y)) {
        gDrawOpacity = 0.8f;
        if (player.carriedEgg) {
            float turn = std::fmod(gLevelTime, 1.0f) * 2 * PI; // once a second
            DrawInfobarSpriteRotated(x, y, 19.5f, HUD_SPRITE_RETICLE_EGG, turn);
            DrawInfobarSpriteCentered(x, y, 24, HUD_SPRITE_RETICLE_RING);
        } else {
            DrawInfobarSpriteCentered(x, y, 15, HUD_SPRITE_RETICLE_DOT);
            float turn = (side > 0 ? 1 - towardView : towardView - 1) * 25;
            DrawInfobarSpriteRotated(x, y, 24, HUD_SPRITE_RETICLE_ARC, turn);
        }
        gDrawOpacity = 1;
    }
    if (ProjectToOverlay(pane, player.aimPoints[1], &x, &y))
        DrawInfobarSpriteCentered(x, y, 9, HUD_SPRITE_RETICLE_DOT);
}

// --- The stereo reticle ---

// A square of half-size `half` facing the player, on the billboard's axes.
static void DrawBillboardSprite(const Point3D& at, const Vector3D& right, const Vector3D& up, float half,
                                int sprite)
{
    GAME_ASSERT(gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR] > sprite);
    MO_DrawMaterial(gSpriteGroupList[SPRITE_GROUP_INFOBAR][sprite].materialObject);
    static const float kCorners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    static const float kUVs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        float sx = kCorners[i][0] * half, sy = kCorners[i][1] * half;
        glTexCoord2fv(kUVs[i]);
        glVertex3f(at.x + right.x * sx + up.x * sy, at.y + right.y * sx + up.y * sy,
                   at.z + right.z * sx + up.z * sy);
    }
    glEnd();
    gFrameStats.drawCalls++;
    gTrianglesDrawn += 2;
}

static void DrawStereoReticle(ObjNode* node)
{
    (void)node;
    int pane = gCurrentPane;
    if (pane >= gNumPanes || pane >= MAX_PLAYERS || gHudHidden)
        return;
    const PlayerRecord& player = gPlayers[pane];
    float towardView, side;
    if (!WantsReticle(pane, &towardView, &side))
        return;

    // Facing the player: forward from the aim point to the player, right across it, up to finish.
    const Point3D& at = player.aimPoints[0];
    Vector3D forward = {player.coord.x - at.x, player.coord.y - at.y, player.coord.z - at.z};
    float length = std::sqrt(forward.x * forward.x + forward.y * forward.y + forward.z * forward.z);
    if (length <= 0)
        return;
    forward = {forward.x / length, forward.y / length, forward.z / length};
    Vector3D right = {forward.z, 0, -forward.x};
    float rightLength = std::sqrt(right.x * right.x + right.z * right.z);
    right = rightLength > 0 ? Vector3D{right.x / rightLength, 0, right.z / rightLength} : Vector3D{1, 0, 0};
    Vector3D up = {forward.y * right.z - forward.z * right.y, forward.z * right.x - forward.x * right.z,
                   forward.x * right.y - forward.y * right.x};

    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableCullFace();
    glDisable(GL_DEPTH_TEST);
    gMaterialFlagsOverride |=
        MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V;
    DrawBillboardSprite(at, right, up, 45, HUD_SPRITE_RETICLE_RING);
    if (player.carriedEgg) {
        DrawBillboardSprite(at, right, up, 45, HUD_SPRITE_RETICLE_EGG);
    } else {
        DrawBillboardSprite(at, right, up, 35, HUD_SPRITE_RETICLE_DOT);
        DrawBillboardSprite(at, right, up, 45, HUD_SPRITE_RETICLE_ARC);
    }
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

void MakeStereoReticle()
{
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kStereoReticleSlot;
    def.drawProc = DrawStereoReticle;
    def.scale = 1;
    MakeNewObject(&def);
}
