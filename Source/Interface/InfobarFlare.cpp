// InfobarFlare.cpp: the lens flare. When a pane's camera looks toward the sun, a row of glowing
// rings runs from the sun through the pane's centre, brightest when looking straight at it.
#include "Interface/InfobarLocal.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Interface/Infobar.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

struct FlareElement
{
    int sprite;     // of the particle group
    float position; // along the line from the pane's centre (0) to the sun (1)
    float halfSize; // in normalised device units, of the pane's height
};

static const FlareElement kFlareElements[] = {
    {25, 1.0f, 0.40000004f},   {26, 0.6f, 0.08f},   {27, 0.3f, 0.13333334f},
    {28, 0.125f, 0.26666668f}, {27, -0.25f, 0.04f}, {26, -0.5f, 0.13333334f},
};
constexpr int kLastFlareSprite = 28;

static Vector3D Normalized(float x, float y, float z)
{
    float length = std::sqrt(x * x + y * y + z * z);
    if (length <= 0)
        return {0, 0, 0};
    return {x / length, y / length, z / length};
}

// The sun in the pane's pixels (y down); false when it lies behind the camera.
static bool ProjectSun(int pane, const Point3D& sun, float* x, float* y)
{
    const float* m = gWorldToScreenMatrix[pane].value;
    float w = m[3] * sun.x + m[7] * sun.y + m[11] * sun.z + m[15];
    if (w <= 0.0001f)
        return false;
    *x = (m[0] * sun.x + m[4] * sun.y + m[8] * sun.z + m[12]) / w;
    *y = (m[1] * sun.x + m[5] * sun.y + m[9] * sun.z + m[13]) / w;
    return true;
}

static void DrawFlareQuad(float x, float y, float halfWidth, float halfHeight)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x - halfWidth, y + halfHeight);
    glTexCoord2f(1, 0);
    glVertex2f(x + halfWidth, y + halfHeight);
    glTexCoord2f(1, 1);
    glVertex2f(x + halfWidth, y - halfHeight);
    glTexCoord2f(0, 1);
    glVertex2f(x - halfWidth, y - halfHeight);
    glEnd();
    gFrameStats.drawCalls++;
    gTrianglesDrawn += 2;
}

void DrawLensFlare(int pane)
{
    const GameViewInfo* view = gGameViewInfoPtr;
    if (!gLensFlareOn || !view || gNumSpritesInGroupList[SPRITE_GROUP_PARTICLES] <= kLastFlareSprite)
        return;

    // 1. Only while the camera looks into the sun's half of the sky.
    const CameraPlacement& camera = view->cameras[pane];
    const Vector3D& light = view->lightDirection[0];
    Vector3D look = Normalized(camera.target.x - camera.eye.x, camera.target.y - camera.eye.y,
                               camera.target.z - camera.eye.z);
    Vector3D toLight = Normalized(light.x, light.y, light.z);
    float c = look.x * toLight.x + look.y * toLight.y + look.z * toLight.z;
    if (c >= 0)
        return;
    float intensity = std::cos(2 * std::acos(std::max(c, -1.0f)));

    // 2. The sun at the far clip, straight against the light.
    Point3D sun = {camera.eye.x - light.x * view->farClip, camera.eye.y - light.y * view->farClip,
                   camera.eye.z - light.z * view->farClip};
    float sunX, sunY;
    if (!ProjectSun(pane, sun, &sunX, &sunY))
        return;
    int vx, vy, w, h;
    OGL_GetPaneViewport(pane, &vx, &vy, &w, &h);
    if (w <= 0 || h <= 0)
        return;
    float centerX = float(w) / 2, centerY = float(h) / 2;
    float dx = sunX - centerX, dy = sunY - centerY;
    float distance = std::sqrt(dx * dx + dy * dy);
    float dirX = distance > 0 ? dx / distance : 0, dirY = distance > 0 ? dy / distance : 0;

    // 3. The elements along the line, in normalised device coordinates, added onto the picture.
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableCullFace();
    glDisable(GL_DEPTH_TEST);
    OGL_EnableBlend();
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
    gMaterialFlagsOverride =
        MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    OGL_SetColor4f(1, 1, 1, 1);

    int i = 0;
    for (const FlareElement& element : kFlareElements) {
        float px = dirX * distance * element.position + centerX;
        float py = dirY * distance * element.position + centerY;
        float x = px / (float(w) / 2) - 1;
        float y = (float(h) - py) / (float(h) / 2) - 1;
        gDrawOpacity = i == 0 ? 0.99f : intensity;
        MO_DrawMaterial(gSpriteGroupList[SPRITE_GROUP_PARTICLES][element.sprite].materialObject);
        if (i == 1) {
            // Past the sun itself the rings show only while looking nearly at it.
            if (intensity <= 0)
                break;
            OGL_SetColor4f(1, 1, 1, intensity);
        }
        DrawFlareQuad(x, y, element.halfSize * gPaneAspectRatio, element.halfSize);
        i++;
    }
    gDrawOpacity = 1;
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}
