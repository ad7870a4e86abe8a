// Drawing the terrain, once per pane and eye, and releasing the supertiles that left every window
// once the frame's last pane is drawn.

#include "Terrain/TerrainLocal.h"

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Prefs.h"

int16_t gSuperTilesDrawn;

constexpr float kSplineDebugLift = 10.0f;

// Debug display 2 shows every spline as a line just above the ground.
static void DrawSplinesForDebug()
{
    OGL_DisableTexture2D();
    OGL_SetColor4f(0.5f, 1.0f, 0.75f, 1.0f);
    for (int i = 0; i < gNumSplines; i++) {
        const SplineRecordType* spline = &gSplines[i];
        glBegin(GL_LINE_STRIP);
        for (int j = 0; j < spline->numPoints; j++) {
            float x = spline->points[j].x, z = spline->points[j].z;
            glVertex3f(x, TerrainHeightAt(x, z) + kSplineDebugLift, z);
        }
        glEnd();
    }
    OGL_SetColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// A supertile built but in no window this frame gives its slot back; in stereo the window marks are
// cleared only after the second eye, which must still draw them.
void ReleaseSuperTilesOutsideWindows()
{
    bool lastEye = gPrefs.stereoMode == 0 || gAnaglyphPass > 0;
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            SuperTileStatus* cell = &gSuperTileCells[row][col];
            if ((cell->mode & (SUPERTILE_MODE_BUILT | SUPERTILE_MODE_IN_WINDOW)) == SUPERTILE_MODE_BUILT) {
                gSuperTileSlots[cell->slot].inUse = false;
                gNumFreeSuperTiles++;
                cell->mode = 0;
            }
            if (lastEye)
                cell->mode &= uint8_t(~SUPERTILE_MODE_IN_WINDOW);
        }
    }
}

void DrawTerrain(ObjNode*)
{
    if (!gSuperTileCells)
        return;

    // 1. Lighting is baked into the vertex colours.
    OGL_PushState();
    glDisable(GL_NORMALIZE);
    OGL_DisableLighting();
    glDisable(GL_ALPHA_TEST);
    gSuperTilesDrawn = 0;

    // 2. Every supertile of the windows that is ready and in this pane's view.
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            const SuperTileStatus* cell = &gSuperTileCells[row][col];
            int16_t image = gSuperTileGrid[row][col];
            if (!(cell->mode & SUPERTILE_MODE_IN_WINDOW) || image == -1)
                continue;
            SuperTileSlot* slot = &gSuperTileSlots[cell->slot];
            if (slot->drawDelay > 0) {
                slot->drawDelay--;
                continue;
            }
            if (!IsBoxVisible(&slot->bounds, nullptr))
                continue;
            MO_DrawMaterial(gSuperTileMaterials[image]);
            MO_DrawGeometry_VertexArray(slot->mesh);
            gSuperTilesDrawn++;
        }
    }

    // 3. Everything else expects alpha testing on.
    OGL_PopState();
    glEnable(GL_ALPHA_TEST);

    // 4. Once per frame, after the last game pane: free what no window holds.
    if (gNumPanes < 2 || gCurrentPane >= 1)
        ReleaseSuperTilesOutsideWindows();

    // 5. The debug display of the paths.
    if (gDebugMode == 2)
        DrawSplinesForDebug();
}
