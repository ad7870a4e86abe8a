// The window of supertiles around each player's camera: a roughly round patch of cells that follows
// the camera supertile by supertile. Cells entering a window get a mesh and their map items; cells
// left by every window are released after the frame's last pane is drawn (SupertileDraw.cpp).

#include "Terrain/TerrainLocal.h"

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

constexpr int32_t kNoPreviousWindow = -100000; // makes the first update scan every cell
constexpr int16_t kTerrainDrawSlot = 1;        // drawn first: everything else lies on the ground

int32_t gWindowLeft[MAX_TERRAIN_PLAYERS], gWindowTop[MAX_TERRAIN_PLAYERS];
int32_t gPrevWindowLeft[MAX_TERRAIN_PLAYERS], gPrevWindowTop[MAX_TERRAIN_PLAYERS];
SuperTileStatus** gSuperTileCells;
MapItemAddRoutine gMapItemAddRoutines[NUM_MAP_ITEM_TYPES];

// 1 = inside the window, 2 = inside on its rim (the cells a one-supertile move can bring in).
static const char* const kWindowMask9[18] = {
    "000002222222200000", "000022111111222000", "002211111111112200", "022111111111111220",
    "021111111111111120", "221111111111111122", "211111111111111112", "211111111111111112",
    "211111111111111112", "211111111111111112", "211111111111111112", "211111111111111112",
    "221111111111111122", "021111111111111120", "022111111111111220", "002211111111112200",
    "000222111111222000", "000002222222200000",
};
static const char* const kWindowMask7[14] = {
    "00002222220000", "00222111122200", "02211111111220", "02111111111120", "22111111111122",
    "21111111111112", "21111111111112", "21111111111112", "21111111111112", "22111111111122",
    "02111111111120", "02211111111220", "00222111122200", "00002222220000",
};

static uint8_t gMask9[18 * 18];
static uint8_t gMask7[14 * 14];

static void DecodeMask(const char* const* rows, int side, uint8_t* out)
{
    for (int r = 0; r < side; r++)
        for (int c = 0; c < side; c++)
            out[r * side + c] = uint8_t(rows[r][c] - '0');
}

const uint8_t* GetSuperTileWindowMask(int radius)
{
    if (!gMask9[5]) {
        DecodeMask(kWindowMask9, 18, gMask9);
        DecodeMask(kWindowMask7, 14, gMask7);
    }
    GAME_ASSERT(radius == SUPERTILE_RANGE || radius == SUPERTILE_RANGE_REDUCED);
    return radius == SUPERTILE_RANGE ? gMask9 : gMask7;
}

// The window's first column (or row) for a camera coordinate: the window's centre follows the
// camera, rounded to the nearest supertile edge.
static int32_t WindowCorner(float coordinate, int radius)
{
    float corner = (coordinate - float(radius) * gSuperTileSize) * gSuperTileSizeInv + 0.5f;
    if (!(corner > -1.0e6f && corner < 1.0e6f))
        return kNoPreviousWindow;
    return int32_t(corner);
}

void InitSuperTileWindows()
{
    for (int i = 0; i < MAX_TERRAIN_PLAYERS; i++) {
        gPrevWindowLeft[i] = gPrevWindowTop[i] = kNoPreviousWindow;
        int32_t left = WindowCorner(float(gPlayerStarts[i].x), gSuperTileRange);
        int32_t top = WindowCorner(float(gPlayerStarts[i].z), gSuperTileRange);
        gWindowLeft[i] = left < 0 ? 0 : left;
        gWindowTop[i] = top < 0 ? 0 : top;
    }

    ObjectDefinition def;
    std::memset(&def, 0, sizeof(def));
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kTerrainDrawSlot;
    def.drawProc = DrawTerrain;
    def.statusFlags = NODEBIT_CLAMP_UV | NODEBIT_NO_CULLING | NODEBIT_LIGHTING_OFF;
    def.scale = 1.0f;
    MakeNewObject(&def);
}

void AddItemsInSuperTile(int row, int col)
{
    const SuperTileItemIndexType* cell = &gItemCells[row][col];
    for (int i = cell->first; i < cell->first + cell->count; i++) {
        MapItemType* item = &gMapItems[i];
        if (item->flags & ITEM_FLAG_ADDED)
            continue;
        float x = float(item->x), z = float(item->z);
        if (IsPointOutOfRange(x, z))
            continue;
        if (item->type >= NUM_MAP_ITEM_TYPES)
            ShowFatalAlert("Illegal Map Item Type %d!", item->type);
        MapItemAddRoutine add = gMapItemAddRoutines[item->type];
        if (add && add(item, x, z))
            item->flags |= ITEM_FLAG_ADDED;
    }
}

static void UpdatePlayerWindow(int player, float cameraX, float cameraZ)
{
    int n = gSuperTileRange;
    const uint8_t* mask = GetSuperTileWindowMask(n);
    int32_t left = WindowCorner(cameraX, n), top = WindowCorner(cameraZ, n);
    int32_t dx = std::abs(left - gPrevWindowLeft[player]), dz = std::abs(top - gPrevWindowTop[player]);
    bool moved = dx != 0 || dz != 0;
    bool jumped = dx > 1 || dz > 1;

    for (int32_t row = top < 0 ? 0 : top; row < top + 2 * n && row < gSuperTilesDeep; row++) {
        for (int32_t col = left < 0 ? 0 : left; col < left + 2 * n && col < gSuperTilesWide; col++) {
            uint8_t m = mask[(row - top) * 2 * n + (col - left)];
            if (m == 0)
                continue;
            SuperTileStatus* cell = &gSuperTileCells[row][col];
            cell->windowBits |= uint8_t(1 << player);
            if (cell->mode & SUPERTILE_MODE_BUILT)
                cell->mode |= SUPERTILE_MODE_IN_WINDOW;
            else if (gSuperTileGrid[row][col] != -1) {
                cell->slot =
                    int16_t(BuildSuperTileMesh(col * TILES_PER_SUPERTILE, row * TILES_PER_SUPERTILE));
                cell->mode = SUPERTILE_MODE_BUILT | SUPERTILE_MODE_IN_WINDOW;
            }
            // Only cells that can be new to the window are scanned: all of them after a jump, the rim
            // after a one-supertile move, none while the window stands still.
            if (moved && (jumped || m == 2))
                AddItemsInSuperTile(row, col);
        }
    }
    gWindowLeft[player] = gPrevWindowLeft[player] = left;
    gWindowTop[player] = gPrevWindowTop[player] = top;
}

void UpdateSuperTileWindows()
{
    // 1. A level without supertile images has nothing to show.
    if (gNumUniqueSuperTiles == 0 || !gSuperTileCells)
        return;

    // 2. Windows are rebuilt from scratch every frame; the staggered first draw restarts.
    for (int row = 0; row < gSuperTilesDeep; row++)
        for (int col = 0; col < gSuperTilesWide; col++)
            gSuperTileCells[row][col].windowBits = 0;
    ResetSuperTileDrawDelayToggle();

    // 3. Each player's window follows that player's camera.
    GAME_ASSERT(gGameViewInfoPtr);
    int players = gNumPanes < MAX_TERRAIN_PLAYERS ? gNumPanes : MAX_TERRAIN_PLAYERS;
    for (int i = 0; i < players; i++)
        UpdatePlayerWindow(i, gGameViewInfoPtr->cameras[i].eye.x, gGameViewInfoPtr->cameras[i].eye.z);
}
