// AtlasDraw.cpp: text drawn at once as quads, for overlays that change every frame.
#include "3D/Atlas.h"

#include "3D/OGL_Local.h"
#include "System/Alerts.h"

static Point3D gImmediatePoints[MAX_IMMEDIATE_TEXT_QUADS * 4];
static float gImmediateUVs[MAX_IMMEDIATE_TEXT_QUADS * 8];

// Debug display: the text's box, top edge white and bottom edge blue.
static void DrawTextBox(const TextMetrics* m)
{
    float left = m->lineX[0], top = m->lineY[0];
    float right = left + m->maxWidth, bottom = top + m->totalHeight;
    OGL_PushState();
    OGL_DisableTexture2D();
    glBegin(GL_LINE_LOOP);
    glColor4f(1, 1, 1, 1);
    glVertex3f(left, top, 0);
    glVertex3f(right, top, 0);
    glColor4f(0, 0.5f, 1, 1);
    glVertex3f(right, bottom, 0);
    glVertex3f(left, bottom, 0);
    glEnd();
    float cachedColor[4]; // the colours above went around the colour cache: put its colour back
    OGL_GetCurrentColor(cachedColor);
    glColor4fv(cachedColor);
    OGL_PopState();
}

void Atlas_ImmediateDraw(int slot, const char* text, int flags)
{
    GAME_ASSERT((size_t)slot < (size_t)MAX_ATLASES);
    const Atlas* font = gAtlases[slot];
    GAME_ASSERT(font);

    TextMetrics metrics;
    Atlas_ComputeMetrics(font, text, flags, &metrics);
    if (metrics.numQuads >= MAX_IMMEDIATE_TEXT_QUADS)
        FatalAssertion(__func__, __LINE__, "Can't draw this many quads in immediate mode!");
    int quads = Atlas_LayoutQuads(font, text, flags, &metrics, gImmediatePoints, gImmediateUVs,
                                  MAX_IMMEDIATE_TEXT_QUADS);

    if (gDebugMode >= 2)
        DrawTextBox(&metrics);

    MO_DrawMaterial(font->material);
    glBegin(GL_QUADS);
    for (int i = 0; i < quads * 4; i++) {
        glTexCoord2fv(&gImmediateUVs[i * 2]);
        glVertex3fv(&gImmediatePoints[i].x);
    }
    glEnd();
    OGL_CountDrawCall();
    gTrianglesDrawn += 2 * quads;
}

void Atlas_DrawString(int slot, const char* text, float x, float y, float scaleX, float scaleY,
                      float rotation, int flags)
{
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableCullFace();
    glDisable(GL_DEPTH_TEST);
    if (flags & TEXT_ADDITIVE)
        OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
    glTranslatef(x, y, 0);
    glScalef(scaleX, scaleY, 1);
    if (rotation != 0)
        glRotatef(rotation * (180.0f / PI), 0, 0, 1);
    Atlas_ImmediateDraw(slot, text, flags);
    OGL_PopState();
}
