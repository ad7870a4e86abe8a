#include "Interface/Overlay.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "System/Prefs.h"

#include <GL/gl.h>

float gOverlayInvScale = 1;
float gOverlayLeft = 0;
float gOverlayRight = 640;
float gOverlayTop = 0;
float gOverlayBottom = 480;

// Fits the logical screen into the pane, widening or heightening it to the pane's shape so nothing is
// stretched.
static void FitOverlayToPane(int paneWidth, int paneHeight, float scale, float* top, float* bottom,
                             float* left, float* right)
{
    float logicalWidth = 640.0f / scale;
    float logicalHeight = 480.0f / scale;
    float paneAspect = paneHeight > 0 ? float(paneWidth) / float(paneHeight) : 4.0f / 3.0f;
    float width, height;
    if (paneAspect >= logicalWidth / logicalHeight) {
        width = paneAspect * logicalHeight;
        height = logicalHeight;
    } else {
        width = logicalWidth;
        height = logicalWidth / paneAspect;
    }
    *left = (logicalWidth - width) / 2;
    *right = *left + width;
    *top = (logicalHeight - height) / 2;
    *bottom = *top + height;
}

void GetOverlayRect(int pane, float scale, float* top, float* bottom, float* left, float* right)
{
    int x, y, paneWidth, paneHeight;
    OGL_GetPaneViewport(pane, &x, &y, &paneWidth, &paneHeight);
    FitOverlayToPane(paneWidth, paneHeight, scale, top, bottom, left, right);
}

void SetOverlayProjection(float eyeOffset, float scale)
{
    OGL_DisableLighting();
    OGL_DisableCullFace();
    glDisable(GL_DEPTH_TEST);
    gMaterialFlagsOverride =
        MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V;

    int x, y, paneWidth, paneHeight;
    OGL_GetPaneViewport(gCurrentPane, &x, &y, &paneWidth, &paneHeight);
    gOverlayInvScale = 1.0f / scale;
    FitOverlayToPane(paneWidth, paneHeight, scale, &gOverlayTop, &gOverlayBottom, &gOverlayLeft,
                     &gOverlayRight);

    float left = gOverlayLeft;
    float right = gOverlayRight;
    if (gPrefs.stereoMode != 0) {
        float shift = gAnaglyphPass == 0 ? -eyeOffset : eyeOffset;
        left += shift;
        right += shift;
    }

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, gOverlayBottom, gOverlayTop, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
