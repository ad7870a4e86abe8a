// OGL_StateStack.cpp: saves and restores both matrices and the render state around a piece of drawing,
// so that a group, a sprite or an overlay can change state freely and leave nothing behind.
#include "3D/OGL_Local.h"
#include "System/Alerts.h"

struct SavedRenderState
{
    GLboolean depthMask;
    bool fog, blend, texture2D, normalize, depthTest, cullFace, lighting;
    float color[4];
    GLenum blendSrc, blendDst;
};

static SavedRenderState gStateStack[OGL_STATE_STACK_DEPTH];
static int gStateStackIndex = 0;

int OGL_GetStateStackDepth()
{
    return gStateStackIndex;
}

void OGL_PushState()
{
    // Checked before touching OpenGL's matrix stacks, so a failure leaves them balanced.
    if (gStateStackIndex >= OGL_STATE_STACK_DEPTH)
        ShowFatalAlert("OGL_PushState: stack overflow");

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);

    SavedRenderState* s = &gStateStack[gStateStackIndex++];

    // Fog, depth test and normalise can be switched outside the cache (node render state), so read them.
    s->fog = glIsEnabled(GL_FOG);
    s->depthTest = glIsEnabled(GL_DEPTH_TEST);
    s->normalize = glIsEnabled(GL_NORMALIZE);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s->depthMask);
    s->lighting = OGL_IsLightingOn();
    s->cullFace = OGL_IsCullFaceOn();
    s->blend = OGL_IsBlendOn();
    s->texture2D = OGL_IsTexture2DOn();
    OGL_GetCurrentColor(s->color);
    OGL_GetBlendFunc(&s->blendSrc, &s->blendDst);
}

// Sets a capability that is not cached, straight through the counted door.
static void RestoreCapability(GLenum capability, bool enable)
{
    if ((bool)glIsEnabled(capability) != enable)
        OGL_IssueCapability(capability, enable);
}

void OGL_PopState()
{
    if (gStateStackIndex <= 0)
        ShowFatalAlert("OGL_PopState: stack underflow!");

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    const SavedRenderState* s = &gStateStack[--gStateStackIndex];

    if (s->lighting)
        OGL_EnableLighting();
    else
        OGL_DisableLighting();
    if (s->cullFace)
        OGL_EnableCullFace();
    else
        OGL_DisableCullFace();
    if (s->blend)
        OGL_EnableBlend();
    else
        OGL_DisableBlend();
    if (s->fog)
        OGL_EnableFog();
    else
        OGL_DisableFog();
    RestoreCapability(GL_DEPTH_TEST, s->depthTest);
    RestoreCapability(GL_NORMALIZE, s->normalize);

    // The cache covers texture 2D on unit 0 only; other units are set directly.
    if (OGL_GetActiveTextureUnit() == 0) {
        if (s->texture2D)
            OGL_EnableTexture2D();
        else
            OGL_DisableTexture2D();
    } else {
        OGL_IssueCapability(GL_TEXTURE_2D, s->texture2D);
    }

    glDepthMask(s->depthMask);
    OGL_BlendFunc(s->blendSrc, s->blendDst);
    OGL_SetColor4fv(s->color);
}
