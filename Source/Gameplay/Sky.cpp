// Sky objects. The dome is level model 0, the cloud layer level model 1. Both are placed at the
// camera of the pane being drawn, inside their draw routines, because every pane has its own camera.
//
// Node fields used: the cloud layer keeps its texture drift in FloatSlots[0] (s) and [1] (t).

#include "Gameplay/Sky.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Objects/DisplayGroups.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"
#include "System/Prefs.h"

#include <GL/gl.h>

enum
{
    kSkyModel_Dome = 0,
    kSkyModel_Clouds = 1,
};

static constexpr int kSkyDomeSlot = 2;
static constexpr int kCloudLayerSlot = 3;
static constexpr float kCloudLayerHeight = 4000;

static void DrawSkyDome(ObjNode* dome)
{
    const CameraPlacement& camera = gGameViewInfoPtr->cameras[gCurrentPane];
    dome->Position = camera.eye;
    RebuildNodeTransform(dome);

    // The dome's texture has no holes; alpha testing would only cut its soft horizon.
    GLboolean alphaTestWasOn = glIsEnabled(GL_ALPHA_TEST);
    glDisable(GL_ALPHA_TEST);
    MO_DrawObject(dome->BaseGroup);
    if (alphaTestWasOn)
        glEnable(GL_ALPHA_TEST);
}

static void MoveCloudLayer(ObjNode* clouds)
{
    clouds->FloatSlots[0] += 0.02f * gFrameSeconds;
    clouds->FloatSlots[1] += 0.03f * gFrameSeconds;
}

// The clouds slide with the camera's ground position a little, so flying shows them passing by.
static void DrawCloudLayer(ObjNode* clouds)
{
    const CameraPlacement& camera = gGameViewInfoPtr->cameras[gCurrentPane];
    clouds->Position = {camera.eye.x, kCloudLayerHeight, camera.eye.z};
    RebuildNodeTransform(clouds);

    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glTranslatef(camera.eye.x * 0.0001f + clouds->FloatSlots[0],
                 clouds->FloatSlots[1] - camera.eye.z * 0.0001f, 0);
    glMatrixMode(GL_MODELVIEW);
    MO_DrawObject(clouds->BaseGroup);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void MakeSkyObjects()
{
    float farClip = gGameViewInfoPtr->farClip;

    ObjectDefinition dome = {};
    dome.artGroup = MODEL_GROUP_LEVELSPECIFIC;
    dome.artIndex = kSkyModel_Dome;
    dome.slot = kSkyDomeSlot;
    dome.statusFlags = NODEBIT_NO_CULLING | NODEBIT_FOG_OFF | NODEBIT_LIGHTING_OFF;
    dome.drawProc = DrawSkyDome;
    dome.scale = farClip * 0.01f;
    MakeNewDisplayGroupObject(&dome);

    if (gPrefs.reducedDetail)
        return;

    ObjectDefinition clouds = {};
    clouds.artGroup = MODEL_GROUP_LEVELSPECIFIC;
    clouds.artIndex = kSkyModel_Clouds;
    clouds.slot = kCloudLayerSlot;
    clouds.statusFlags = NODEBIT_NO_CULLING | NODEBIT_SHOW_BACKFACES | NODEBIT_LIGHTING_OFF |
                         NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF;
    clouds.moveProc = MoveCloudLayer;
    clouds.drawProc = DrawCloudLayer;
    clouds.scale = farClip * 0.85f;
    MakeNewDisplayGroupObject(&clouds);
}
