// The frame, the view and the texts every screen uses.

#include "Screens/ScreensLocal.h"

#include "3D/Atlas.h"
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/TextMesh.h"
#include "Interface/Overlay.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"
#include "System/Input.h"

#include <GL/gl.h>

void SetUpScreenView(float nearClip, float farClip, float fov)
{
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearScreen = true;
    setup.clearColor[0] = setup.clearColor[1] = setup.clearColor[2] = 0;
    setup.clearColor[3] = 1;
    setup.useFog = false;
    setup.nearClip = nearClip;
    setup.farClip = farClip;
    setup.fov = fov;
    gNumPanes = 1;
    OGL_SetupGameView(&setup);
}

void RunScreenFrame()
{
    CalcFrameRate();
    PollInput();
    MoveObjects();
    OGL_DrawScene(DrawObjectList);
}

ObjNode* MakeScreenText(const char* text, float x, float y, float scale, int slot)
{
    ObjectDefinition def = {};
    def.artGroup = ATLAS_SLOT_SWISS;
    def.position = {x, y, 0};
    def.scale = scale;
    def.slot = int16_t(slot);
    def.statusFlags = NODEBIT_NO_CULLING;
    ObjNode* node = TextMesh_New(text, 0, &def);
    MakeOverlayOnly(node);
    return node;
}

// Black, clear at the top edge and opaque at the bottom of the overlay. The last vertex colour is
// the one the colour cache was given, so the cache stays true; the overlay's forced material flags
// are put back afterwards, as every overlay drawer does.
static void DrawBottomGradient(ObjNode* node)
{
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    float top = node->FloatSlots[0];
    OGL_PushState();
    SetOverlayProjection(0, 1);
    OGL_DisableTexture2D();
    OGL_EnableBlend();
    OGL_SetColor4f(0, 0, 0, node->Tint.a);
    glBegin(GL_QUADS);
    glColor4f(0, 0, 0, 0);
    glVertex2f(gOverlayLeft, top);
    glVertex2f(gOverlayRight, top);
    glColor4f(0, 0, 0, node->Tint.a);
    glVertex2f(gOverlayRight, gOverlayBottom);
    glVertex2f(gOverlayLeft, gOverlayBottom);
    glEnd();
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

ObjNode* MakeBottomGradient(float fromY, int slot)
{
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = int16_t(slot);
    def.scale = 1;
    def.statusFlags = NODEBIT_NO_CULLING;
    def.drawProc = DrawBottomGradient;
    ObjNode* node = MakeNewObject(&def);
    node->FloatSlots[0] = fromY;
    MakeOverlayOnly(node);
    return node;
}
