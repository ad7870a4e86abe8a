// OGL_Stats.cpp: the statistics overlay of the diagnostic modes and the time-demo frame count.
#include "3D/Atlas.h"
#include "3D/MetaObjects.h"
#include "3D/OGL_Local.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"
#include "System/Memory.h"
#include "System/ProgramState.h"

#include <cstdio>

static void DrawStatisticLine(const char* label, int value, float y)
{
    char text[32];
    snprintf(text, sizeof(text), "%d", value);
    OGL_DrawDebugText(label, 10, y);
    OGL_DrawDebugText(text, 60, y);
}

void OGL_DrawStatistics()
{
    if (gTimeDemoMode) {
        char text[32];
        snprintf(text, sizeof(text), "%d", gGameViewInfoPtr->frameCount);
        OGL_DrawDebugText(text, 20, 20);
    }
    if (gDebugMode <= 0)
        return;
    DrawStatisticLine("fps:", (int)(gFrameRate + 0.5f), 100);
    DrawStatisticLine("tri:", gTrianglesDrawn, 115);
    DrawStatisticLine("KB:", (int)(gLiveBlockBytes / 1024), 130);
    DrawStatisticLine("PTR:", gLiveBlockCount, 145);
    DrawStatisticLine("OBJ:", gLiveNodeCount, 160);
    DrawStatisticLine("DRW:", gFrameStats.drawCalls, 175);
}

void OGL_DrawDebugText(const char* text, float x, float y)
{
    OGL_PushState();
    OGL_DisableLighting();
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    OGL_SetColor4f(1, 1, 1, 1);
    // Without the font (a screen drawn before start-up loaded it) there is nothing to draw with.
    if (gAtlases[ATLAS_SLOT_FONT_ALT]) {
        glTranslatef(x, y, 0);
        glScalef(0.25f, 0.25f, 1);
        Atlas_ImmediateDraw(ATLAS_SLOT_FONT_ALT, text, TEXT_ALIGN_LEFT | TEXT_ALIGN_TOP);
    }
    OGL_PopState();
}
