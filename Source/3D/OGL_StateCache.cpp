// OGL_StateCache.cpp: capability, colour and blend-function caches. Code that changes these states
// must come through here, or the cache goes stale and later changes are skipped by mistake.
#include "3D/OGL_Local.h"
#include "System/Alerts.h"

#include <cstring>

RenderFrameStats gFrameStats;
int64_t gGLStateCallsTotal = 0;

static bool gLightingOn = false;
static bool gCullFaceOn = false;
static bool gFogOn = false;
static bool gBlendOn = false;
static bool gTexture2DOn = false; // unit 0 only
static float gCurrentColor[4] = {1, 1, 1, 1};
static GLenum gBlendSrc = GL_ONE;
static GLenum gBlendDst = GL_ZERO;
static int gActiveTextureUnit = 0;

static void CountStateCall()
{
    gFrameStats.stateCalls++;
    gGLStateCallsTotal++;
}

void OGL_IssueCapability(GLenum capability, bool enable)
{
    if (enable)
        glEnable(capability);
    else
        glDisable(capability);
    CountStateCall();
}

void OGL_CountDrawCall()
{
    gFrameStats.drawCalls++;
}

void OGL_ResetFrameStats()
{
    memset(&gFrameStats, 0, sizeof(gFrameStats));
}

// Sets one cached capability, calling OpenGL only on a change.
static void SetCachedCapability(bool* cached, GLenum capability, bool enable)
{
    if (*cached == enable)
        return;
    *cached = enable;
    OGL_IssueCapability(capability, enable);
}

void OGL_EnableLighting()
{
    SetCachedCapability(&gLightingOn, GL_LIGHTING, true);
}

void OGL_DisableLighting()
{
    SetCachedCapability(&gLightingOn, GL_LIGHTING, false);
}

void OGL_EnableCullFace()
{
    SetCachedCapability(&gCullFaceOn, GL_CULL_FACE, true);
}

void OGL_DisableCullFace()
{
    SetCachedCapability(&gCullFaceOn, GL_CULL_FACE, false);
}

void OGL_EnableFog()
{
    SetCachedCapability(&gFogOn, GL_FOG, true);
}

void OGL_DisableFog()
{
    SetCachedCapability(&gFogOn, GL_FOG, false);
}

void OGL_EnableBlend()
{
    SetCachedCapability(&gBlendOn, GL_BLEND, true);
}

void OGL_DisableBlend()
{
    SetCachedCapability(&gBlendOn, GL_BLEND, false);
}

// The cache mirrors unit 0 only: the other units are switched rarely and always get the call.
void OGL_EnableTexture2D()
{
    if (gActiveTextureUnit == 0)
        SetCachedCapability(&gTexture2DOn, GL_TEXTURE_2D, true);
    else
        OGL_IssueCapability(GL_TEXTURE_2D, true);
}

void OGL_DisableTexture2D()
{
    if (gActiveTextureUnit == 0)
        SetCachedCapability(&gTexture2DOn, GL_TEXTURE_2D, false);
    else
        OGL_IssueCapability(GL_TEXTURE_2D, false);
}

bool OGL_IsLightingOn()
{
    return gLightingOn;
}

bool OGL_IsCullFaceOn()
{
    return gCullFaceOn;
}

bool OGL_IsBlendOn()
{
    return gBlendOn;
}

bool OGL_IsTexture2DOn()
{
    return gTexture2DOn;
}

void OGL_SetColor4f(float r, float g, float b, float a)
{
    if (gCurrentColor[0] == r && gCurrentColor[1] == g && gCurrentColor[2] == b && gCurrentColor[3] == a)
        return;
    gCurrentColor[0] = r;
    gCurrentColor[1] = g;
    gCurrentColor[2] = b;
    gCurrentColor[3] = a;
    glColor4f(r, g, b, a);
    CountStateCall();
}

void OGL_SetColor4fv(const float* rgba)
{
    OGL_SetColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void OGL_GetCurrentColor(float* rgba)
{
    memcpy(rgba, gCurrentColor, sizeof(gCurrentColor));
}

void OGL_BlendFunc(GLenum src, GLenum dst)
{
    if (src == gBlendSrc && dst == gBlendDst)
        return;
    gBlendSrc = src;
    gBlendDst = dst;
    glBlendFunc(src, dst);
    CountStateCall();
}

void OGL_GetBlendFunc(GLenum* src, GLenum* dst)
{
    *src = gBlendSrc;
    *dst = gBlendDst;
}

void OGL_SetActiveTextureUnit(int unit)
{
    gGlActiveTextureProc(GL_TEXTURE0 + unit);
    gGlClientActiveTextureProc(GL_TEXTURE0 + unit);
    gActiveTextureUnit = unit;
}

int OGL_GetActiveTextureUnit()
{
    return gActiveTextureUnit;
}

void OGL_ResetStateCache()
{
    gLightingOn = glIsEnabled(GL_LIGHTING);
    gCullFaceOn = glIsEnabled(GL_CULL_FACE);
    gFogOn = glIsEnabled(GL_FOG);
    gBlendOn = glIsEnabled(GL_BLEND);
    GLint unit = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    gActiveTextureUnit = unit - GL_TEXTURE0;
    if (gActiveTextureUnit == 0)
        gTexture2DOn = glIsEnabled(GL_TEXTURE_2D);
    glGetFloatv(GL_CURRENT_COLOR, gCurrentColor);
    GLint src = GL_ONE, dst = GL_ZERO;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    gBlendSrc = src;
    gBlendDst = dst;
}

static const char* GLErrorName(GLenum error)
{
    switch (error) {
    case GL_INVALID_ENUM:
        return "invalid enum";
    case GL_INVALID_VALUE:
        return "invalid value";
    case GL_INVALID_OPERATION:
        return "invalid operation";
    case GL_STACK_OVERFLOW:
        return "stack overflow";
    case GL_STACK_UNDERFLOW:
        return "stack underflow";
    default:
        return "";
    }
}

void OGL_CheckGLError(const char* file, int line)
{
    GLenum error = glGetError();
    if (error == GL_NO_ERROR)
        return;
    ShowFatalAlert("OpenGL error 0x%x (%s)\nin %s:%d", error, GLErrorName(error), file, line);
}
