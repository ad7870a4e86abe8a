// OGL_DrawScene.cpp: one frame. The window is split into the player panes plus a full-window overlay
// pass; in stereo every pane is drawn once per eye with its camera shifted sideways.
#include "3D/MetaObjects.h"
#include "3D/OGL_Local.h"
#include "System/Alerts.h"
#include "System/Input.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"

#include <cmath>

float gPaneAspectRatio = 1.0f;
int gAnaglyphPass = 0;
float gStereoEyeSpacing = 40.0f;
float gStereoFocusDistance = 450.0f;
Matrix4x4 gViewMatrix;
Matrix4x4 gProjectionMatrix;
Matrix4x4 gViewProjectionMatrix;
Matrix4x4 gScreenMatrix[MAX_VIEW_PANES];
Matrix4x4 gWorldToScreenMatrix[MAX_VIEW_PANES];

static CameraPlacement gSavedCameras[MAX_CAMERA_SLOTS];

static bool IsStereoOn()
{
    return gPrefs.stereoMode != 0;
}

// Moves the pane's camera sideways for the eye being drawn; the saved camera is the centre.
static void ShiftCameraForEye(int pane)
{
    const CameraPlacement* saved = &gSavedCameras[pane];
    CameraPlacement* camera = &gGameViewInfoPtr->cameras[pane];

    Vector3D direction, side;
    Normalize3XYZ(saved->target.x - saved->eye.x, saved->target.y - saved->eye.y,
                  saved->target.z - saved->eye.z, &direction);
    side.x = direction.y * saved->up.z - direction.z * saved->up.y;
    side.y = direction.z * saved->up.x - direction.x * saved->up.z;
    side.z = direction.x * saved->up.y - direction.y * saved->up.x;

    float s = gAnaglyphPass == 0 ? gStereoEyeSpacing : -gStereoEyeSpacing;
    camera->eye = {saved->eye.x + side.x * s, saved->eye.y + side.y * s, saved->eye.z + side.z * s};
    camera->target = {saved->target.x + side.x * s, saved->target.y + side.y * s,
                      saved->target.z + side.z * s};
}

// Off-axis frustum: both eyes converge on the focus distance instead of looking parallel.
static void LoadStereoProjection(float fov, float aspect)
{
    const GameViewInfo* view = gGameViewInfoPtr;
    float t = tanf(fov / 2) * view->nearClip;
    float k = gStereoEyeSpacing * 0.5f * (view->nearClip / gStereoFocusDistance);
    float left, right;
    if (gAnaglyphPass == 0) {
        left = k - t * aspect;
        right = k + t * aspect;
    } else {
        left = -t * aspect - k;
        right = t * aspect - k;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(left, right, -t, t, view->nearClip, view->farClip);
}

void OGL_ApplyPaneCamera(int pane, int x, int y, int width, int height)
{
    (void)x;
    (void)y;
    GameViewInfo* view = gGameViewInfoPtr;
    const CameraPlacement* camera = &view->cameras[pane];

    // The overlay pass of a split screen keeps the shape of one split pane, so both look alike.
    int aspectWidth = width, aspectHeight = height;
    if (gSplitScreenMode != 0 && pane == gNumPanes) {
        int px, py;
        OGL_GetPaneViewport(0, &px, &py, &aspectWidth, &aspectHeight);
    }
    float aspect = aspectHeight > 0 ? (float)aspectWidth / (float)aspectHeight : 1.0f;

    if (IsStereoOn()) {
        LoadStereoProjection(view->fov[pane], aspect);
    } else {
        Matrix4x4 projection;
        MatrixPerspective(&projection, view->fov[pane], aspect, view->nearClip, view->farClip);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(projection.value);
    }

    Matrix4x4 lookAt;
    MatrixLookAtView(&lookAt, &camera->eye, &camera->target, &camera->up);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(lookAt.value);

    // Directional lights are transformed by the model-view at the time they are sent: send them
    // again under the new camera so they stay fixed in the world.
    for (int i = 0; i < view->lightCount; i++) {
        const Vector3D* d = &view->lightDirection[i];
        const float position[4] = {-d->x, -d->y, -d->z, 0};
        glLightfv(GL_LIGHT0 + i, GL_POSITION, position);
    }

    glGetFloatv(GL_MODELVIEW_MATRIX, gViewMatrix.value);
    glGetFloatv(GL_PROJECTION_MATRIX, gProjectionMatrix.value);
    MatrixMultiply(&gViewMatrix, &gProjectionMatrix, &gViewProjectionMatrix);
    gWorldToClipMatrix = gViewProjectionMatrix;
    MatrixPaneViewport(&gScreenMatrix[pane], width, height);
    MatrixMultiply(&gViewProjectionMatrix, &gScreenMatrix[pane], &gWorldToScreenMatrix[pane]);
}

// Clears the buffers for an eye pass and masks the colour channels the glasses let through.
static void ClearForEyePass(int pass)
{
    const GameViewInfo* view = gGameViewInfoPtr;
    int stereoMode = gPrefs.stereoMode;

    if (pass == 0 || stereoMode == 3) {
        if (view->clearScreen || gDebugMode == 3 || stereoMode == 1 || stereoMode == 2) {
            // Open the channels the clear must reach. Monochrome anaglyph leaves green alone: neither
            // eye draws it, so it stays as black as the view's own clear left it.
            if (stereoMode == 1)
                glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            else if (stereoMode == 2)
                glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_TRUE);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else {
            glClear(GL_DEPTH_BUFFER_BIT);
        }
    }

    if (stereoMode == 1 || stereoMode == 2) {
        if (pass == 0)
            glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_TRUE);
        else if (stereoMode == 1)
            glColorMask(GL_FALSE, GL_TRUE, GL_TRUE, GL_TRUE);
        else
            glColorMask(GL_FALSE, GL_FALSE, GL_TRUE, GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
}

// Shutter glasses find the eye of each buffer by a blue line along the bottom row.
static void DrawShutterSyncLines()
{
    for (int eye = 0; eye < 2; eye++) {
        glDrawBuffer(eye == 0 ? GL_BACK_LEFT : GL_BACK_RIGHT);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_DITHER);
        glDisable(GL_FOG);
        glDisable(GL_LIGHTING);
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_LINE_STIPPLE);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_TEXTURE_2D);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glLineWidth(1);

        glViewport(0, 0, gWindowWidth, gWindowHeight);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, gWindowWidth, gWindowHeight, 0, -1, 1); // top-left pixel space
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();

        float y = gWindowHeight - 0.5f;
        glBegin(GL_LINES);
        glColor4f(0, 0, 0, 1);
        glVertex2f(0, y);
        glVertex2f((float)gWindowWidth, y);
        glColor4f(0, 0, 1, 1);
        glVertex2f(0, y);
        glVertex2f(gWindowWidth * (eye == 0 ? 0.3f : 0.8f), y);
        glEnd();

        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopAttrib();
    }
    glDrawBuffer(GL_BACK);
    OGL_CheckGLError(__FILE__, __LINE__);
}

void OGL_DrawScene(void (*drawRoutine)())
{
    GameViewInfo* view = gGameViewInfoPtr;

    // 1. The drawable can change size at any time (resizes, full-screen switches).
    SDL_GL_GetDrawableSize(gGameWindow, &gWindowWidth, &gWindowHeight);
    if (!view || !view->isActive)
        ShowFatalAlert("OGL_DrawScene isActive == false");

    // 2. Stereo shifts the cameras per eye; keep the centre cameras to shift from and to restore.
    int numEyePasses = IsStereoOn() ? 2 : 1;
    if (IsStereoOn()) {
        gAnaglyphPass = 0;
        for (int pane = 0; pane <= gNumPanes; pane++)
            gSavedCameras[pane] = view->cameras[pane];
    }

    // 3. Draw-time state starts clean every frame, whatever the last frame left behind.
    gTrianglesDrawn = 0;
    OGL_ResetFrameStats();
    gLastAppliedMaterial = nullptr;
    gMaterialFlagsOverride = 0;
    gDrawOpacity = 1.0f;
    OGL_SetColor4f(1, 1, 1, 1);
    // The wire-frame diagnostic display draws the whole frame in lines.
    glPolygonMode(GL_FRONT_AND_BACK, gDebugMode == 3 ? GL_LINE : GL_FILL);

    // 4. Every eye draws every pane, then the full-window overlay pass (pane index gNumPanes).
    for (int pass = 0; pass < numEyePasses; pass++) {
        gAnaglyphPass = pass;
        if (gPrefs.stereoMode == 3) {
            glDrawBuffer(pass == 0 ? GL_BACK_LEFT : GL_BACK_RIGHT);
            OGL_CheckGLError(__FILE__, __LINE__);
        }
        ClearForEyePass(pass);

        for (gCurrentPane = 0; gCurrentPane <= gNumPanes; gCurrentPane++) {
            if (IsStereoOn())
                ShiftCameraForEye(gCurrentPane);
            int x, y, w, h;
            OGL_GetPaneViewport(gCurrentPane, &x, &y, &w, &h);
            glViewport(x, y, w, h);
            gPaneAspectRatio = w > 0 ? (float)h / (float)w : 1.0f;
            OGL_ApplyPaneCamera(gCurrentPane, x, y, w, h);
            if (drawRoutine)
                drawRoutine();
        }
    }
    gCurrentPane = gNumPanes; // the statistics below draw over the full window, like the overlay pass

    // 5. The statistics overlay of the diagnostic displays.
    OGL_DrawStatistics();

    // 6. Shutter glasses need their sync lines in both back buffers. An anaglyph eye's colour mask ends
    //    with the frame: a clear outside it (a new view, a loading screen) must reach every channel.
    if (gPrefs.stereoMode == 3)
        DrawShutterSyncLines();
    if (gPrefs.stereoMode == 1 || gPrefs.stereoMode == 2)
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    // 7. Present. The frame counter's parity picks double-buffered meshes, so it stands still in pause.
    SDL_GL_SwapWindow(gGameWindow);
    if (!gPaused)
        view->frameCount++;

    // 8. Put the centre cameras back so gameplay never sees an eye's camera.
    if (IsStereoOn()) {
        for (int pane = 0; pane <= gNumPanes; pane++)
            view->cameras[pane] = gSavedCameras[pane];
    }
}
