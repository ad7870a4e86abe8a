// The fade node. Its Phase holds the direction (out, in, finished) and its Speed the rate in
// brightness per second. A finished fade-out stays frozen in the list, holding the screen black
// until the screen's objects are deleted.

#include "System/Fades.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Interface/Overlay.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Input.h"

#include <GL/gl.h>

enum
{
    kFadePhase_Out = 0,
    kFadePhase_In = 1,
    kFadePhase_Done = 2,
};

static constexpr int kFadeSlot = 7000;

static void MoveFadeNode(ObjNode* fade);

// Black over the pane at 1 - gFadeLevel. The overlay's forced material flags are put back afterwards,
// since the object list only re-applies the state that differs from one node to the next.
static void DrawFadeNode(ObjNode*)
{
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    SetOverlayProjection(0, 1);
    OGL_DisableTexture2D();
    OGL_EnableBlend();
    OGL_SetColor4f(0, 0, 0, 1.0f - gFadeLevel);
    glBegin(GL_QUADS);
    glVertex2f(gOverlayLeft, gOverlayTop);
    glVertex2f(gOverlayRight, gOverlayTop);
    glVertex2f(gOverlayRight, gOverlayBottom);
    glVertex2f(gOverlayLeft, gOverlayBottom);
    glEnd();
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

static ObjNode* FindFadeNode()
{
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->MoveProc == MoveFadeNode)
            return node;
    }
    return nullptr;
}

static ObjNode* FindOrMakeFadeNode()
{
    ObjNode* fade = FindFadeNode();
    if (fade) {
        // Clears an earlier finished fade-out's freeze.
        fade->StatusFlags = NODEBIT_NO_CULLING;
        return fade;
    }

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kFadeSlot;
    def.scale = 1;
    def.statusFlags = NODEBIT_NO_CULLING;
    def.moveProc = MoveFadeNode;
    def.drawProc = DrawFadeNode;
    return MakeNewObject(&def);
}

static void RestrictFadeToPane(ObjNode* fade, int flags)
{
    fade->StatusFlags |= NODEBIT_PANE_ONLY;
    if (flags & kFadeFlags_P1Only)
        fade->PaneIndex = 0;
    else if (flags & kFadeFlags_P2Only)
        fade->PaneIndex = 1;
    else
        fade->PaneIndex = uint8_t(gNumPanes); // the full-window overlay pass
}

ObjNode* StartFade(int flags, float speed)
{
    ObjNode* fade = FindOrMakeFadeNode();
    bool fadingIn = (flags & kFadeFlags_In) != 0;
    gFadeLevel = fadingIn ? 0.0f : 1.0f;
    fade->Speed = speed;
    fade->Phase = fadingIn ? kFadePhase_In : kFadePhase_Out;
    RestrictFadeToPane(fade, flags);
    return fade;
}

static void MoveFadeNode(ObjNode* fade)
{
    switch (fade->Phase) {
    case kFadePhase_In:
        gFadeLevel += gFrameSeconds * fade->Speed;
        if (gFadeLevel >= 1.0f) {
            gFadeLevel = 1.0f;
            fade->Phase = kFadePhase_Done;
            DisposeObject(fade);
        }
        break;

    case kFadePhase_Out:
        gFadeLevel -= gFrameSeconds * fade->Speed;
        if (gFadeLevel <= 0.0f) {
            gFadeLevel = 0.0f;
            fade->StatusFlags |= NODEBIT_FROZEN;
            fade->Phase = kFadePhase_Done;
        }
        break;

    default:
        break;
    }

    if (gGameViewInfoPtr && gGameViewInfoPtr->fadeSound)
        SetSoundMasterScale(gFadeLevel);
}

void FadeOutAndWait(void (*drawRoutine)(), void (*moveRoutine)())
{
    ObjNode* fade = FindOrMakeFadeNode();
    gFadeLevel = 1.0f;
    fade->Phase = kFadePhase_Out;
    fade->Speed = 3;
    RestrictFadeToPane(fade, 0);

    // When moveRoutine is MoveObjects the fade node is moved by it too, so the fade runs at
    // twice the speed; screens rely on that pace.
    while (fade->Phase != kFadePhase_Done) {
        CalcFrameRate();
        PollInput();
        if (moveRoutine)
            moveRoutine();
        MoveFadeNode(fade);
        OGL_DrawScene(drawRoutine);
    }

    gFadeLevel = 0.0f;
    CalcFrameRate();
    PollInput();
    OGL_DrawScene(drawRoutine);

    if (gGameViewInfoPtr && gGameViewInfoPtr->fadeSound) {
        SetSoundMasterScale(0);
        StopSong();
        SilenceAllEffects();
        SetSoundMasterScale(1);
    }
}
