// Supertile meshes: the fixed pool of 1296 mesh slots, whose arrays are carved from five blocks of
// vertex-array pool 2, and the building of one supertile's 9 x 9-vertex mesh with its lighting baked
// into vertex colours (the terrain is drawn with lighting off).

#include "Terrain/TerrainLocal.h"

#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/Memory.h"

#include <cmath>
#include <cstring>

constexpr int kVertsPerSide = TILES_PER_SUPERTILE + 1;
constexpr float kNormalEpsilon = 1e-4f;

SuperTileSlot gSuperTileSlots[SUPERTILE_POOL_SIZE];
int16_t gNumFreeSuperTiles = SUPERTILE_POOL_SIZE;
bool gTerrainLoading;
static uint8_t gDrawDelayToggle;

static VertexArrayGeometry* gSuperTileMeshData;
static Point3D* gPointBlock;
static Vector3D* gNormalBlock;
static float* gUVBlock;
static float* gColorBlock;
static uint32_t* gTriangleBlock;

// The texture coordinates never change: each tile spans 32 texels of the 258-texel texture, and the
// outer vertices sit on the boundary between the border texel and the image.
static void SetFixedTextureCoordinates(float* uvs)
{
    for (int j = 0; j < kVertsPerSide; j++) {
        for (int k = 0; k < kVertsPerSide; k++) {
            uvs[(j * kVertsPerSide + k) * 2] = float(1 + 32 * k) / float(SUPERTILE_TEXTURE_SIZE_BORDERED);
            uvs[(j * kVertsPerSide + k) * 2 + 1] = float(1 + 32 * j) / float(SUPERTILE_TEXTURE_SIZE_BORDERED);
        }
    }
}

static void* AllocTerrainPoolBlock(int32_t bytesPerSlot)
{
    return OGL_AllocVertexArrayMemory(bytesPerSlot * SUPERTILE_POOL_SIZE, VERTEX_ARRAY_POOL_TERRAIN);
}

void CreateSuperTileMemoryList()
{
    FreeSuperTileMemoryList();
    gSuperTileMeshData =
        (VertexArrayGeometry*)AllocPtrClear(int32_t(sizeof(VertexArrayGeometry)) * SUPERTILE_POOL_SIZE);
    gPointBlock = (Point3D*)AllocTerrainPoolBlock(SUPERTILE_VERTICES * sizeof(Point3D));
    gNormalBlock = (Vector3D*)AllocTerrainPoolBlock(SUPERTILE_VERTICES * sizeof(Vector3D));
    gUVBlock = (float*)AllocTerrainPoolBlock(SUPERTILE_VERTICES * 2 * sizeof(float));
    gColorBlock = (float*)AllocTerrainPoolBlock(SUPERTILE_VERTICES * 4 * sizeof(float));
    gTriangleBlock = (uint32_t*)AllocTerrainPoolBlock(SUPERTILE_TRIANGLES * 3 * sizeof(uint32_t));

    for (int i = 0; i < SUPERTILE_POOL_SIZE; i++) {
        VertexArrayGeometry* mesh = &gSuperTileMeshData[i];
        mesh->varPool = VERTEX_ARRAY_POOL_TERRAIN;
        mesh->numMaterials = -1; // drawn with the supertile's material applied just before
        mesh->numPoints = SUPERTILE_VERTICES;
        mesh->numTriangles = SUPERTILE_TRIANGLES;
        mesh->points = gPointBlock + i * SUPERTILE_VERTICES;
        mesh->normals = gNormalBlock + i * SUPERTILE_VERTICES;
        mesh->uvs[0] = gUVBlock + i * SUPERTILE_VERTICES * 2;
        mesh->colors = gColorBlock + i * SUPERTILE_VERTICES * 4;
        mesh->triangles = gTriangleBlock + i * SUPERTILE_TRIANGLES * 3;
        SetFixedTextureCoordinates(mesh->uvs[0]);

        std::memset(&gSuperTileSlots[i], 0, sizeof(SuperTileSlot));
        gSuperTileSlots[i].mesh = mesh;
    }
    gNumFreeSuperTiles = SUPERTILE_POOL_SIZE;
}

void FreeSuperTileMemoryList()
{
    void* blocks[] = {gPointBlock, gNormalBlock, gUVBlock, gColorBlock, gTriangleBlock};
    for (void* block : blocks) {
        if (block)
            OGL_FreeVertexArrayMemory(block, VERTEX_ARRAY_POOL_TERRAIN);
    }
    gPointBlock = nullptr;
    gNormalBlock = nullptr;
    gUVBlock = nullptr;
    gColorBlock = nullptr;
    gTriangleBlock = nullptr;
    SafeDisposePtr(gSuperTileMeshData);
    gSuperTileMeshData = nullptr;
    std::memset(gSuperTileSlots, 0, sizeof(gSuperTileSlots));
    gNumFreeSuperTiles = SUPERTILE_POOL_SIZE;
}

void ResetSuperTileDrawDelayToggle()
{
    gDrawDelayToggle = 0;
}

// Vertex normals: the sum of both faces of the four tiles around each vertex, taken from the map so
// that a vertex on a supertile's edge gets the same normal as the neighbour's matching vertex.
static void CalcSuperTileNormals(int tileRow, int tileCol, Vector3D* normals)
{
    constexpr int kFaceSide = TILES_PER_SUPERTILE + 2; // the supertile's tiles and a ring around them
    Vector3D faceSums[kFaceSide * kFaceSide];
    for (int r = 0; r < kFaceSide; r++) {
        for (int c = 0; c < kFaceSide; c++) {
            Vector3D a, b;
            TileFaceNormals(tileRow + r - 1, tileCol + c - 1, &a, &b);
            faceSums[r * kFaceSide + c] = {a.x + b.x, a.y + b.y, a.z + b.z};
        }
    }
    for (int j = 0; j < kVertsPerSide; j++) {
        for (int k = 0; k < kVertsPerSide; k++) {
            Vector3D sum = {0, 0, 0};
            for (int r = j; r <= j + 1; r++) {
                for (int c = k; c <= k + 1; c++) {
                    const Vector3D& f = faceSums[r * kFaceSide + c];
                    sum.x += f.x, sum.y += f.y, sum.z += f.z;
                }
            }
            Vector3D* n = &normals[j * kVertsPerSide + k];
            if (std::fabs(sum.x) <= kNormalEpsilon && std::fabs(sum.y) <= kNormalEpsilon &&
                std::fabs(sum.z) <= kNormalEpsilon)
                *n = {0, 0, 0};
            else
                Normalize3(&sum, n);
        }
    }
}

// Lighting baked into the vertex colours: the view's ambient plus up to two fill lights, times the
// vertex shade (tree shadows).
static void CalcSuperTileColors(int tileRow, int tileCol, const Vector3D* normals, float* colors)
{
    const GameViewInfo* view = gGameViewInfoPtr;
    GAME_ASSERT(view);
    int lights = view->lightCount < 2 ? view->lightCount : 2;
    for (int j = 0; j < kVertsPerSide; j++) {
        for (int k = 0; k < kVertsPerSide; k++) {
            const Vector3D& n = normals[j * kVertsPerSide + k];
            float rgb[3] = {view->ambientColor[0], view->ambientColor[1], view->ambientColor[2]};
            for (int l = 0; l < lights; l++) {
                const Vector3D& dir = view->lightDirection[l];
                float d = -(n.x * dir.x + n.y * dir.y + n.z * dir.z);
                if (d > 0.0f) {
                    for (int ch = 0; ch < 3; ch++)
                        rgb[ch] += d * view->lightColor[l][ch];
                }
            }
            int mapRow = tileRow + j, mapCol = tileCol + k;
            bool onMap = mapRow <= gTerrainTileDepth && mapCol <= gTerrainTileWide;
            float shade = onMap && gVertexShade ? gVertexShade[mapRow][mapCol] : 1.0f;
            float* out = &colors[(j * kVertsPerSide + k) * 4];
            for (int ch = 0; ch < 3; ch++)
                out[ch] = std::fmin(1.0f, rgb[ch]) * shade;
            out[3] = 1.0f;
        }
    }
}

int BuildSuperTileMesh(int tileCol, int tileRow)
{
    // 1. The first free slot.
    int slotIndex = 0;
    while (slotIndex < SUPERTILE_POOL_SIZE && gSuperTileSlots[slotIndex].inUse)
        slotIndex++;
    if (slotIndex == SUPERTILE_POOL_SIZE || !gSuperTileSlots[slotIndex].mesh)
        ShowFatalAlert("No Free Supertiles!");
    SuperTileSlot* slot = &gSuperTileSlots[slotIndex];
    slot->inUse = true;
    gNumFreeSuperTiles--;
    slot->tileRow = tileRow;
    slot->tileCol = tileCol;
    slot->left = int32_t(float(tileCol) * gTileSize);
    slot->top = int32_t(float(tileRow) * gTileSize);
    slot->centerX = float(slot->left) + gSuperTileSize * 0.5f;
    slot->centerZ = float(slot->top) + gSuperTileSize * 0.5f;

    // 2. Points; the map's last row and column of corners lie at 0 (MeshCornerHeight).
    VertexArrayGeometry* mesh = slot->mesh;
    float lowest = 1e30f, highest = -1e30f;
    for (int j = 0; j < kVertsPerSide; j++) {
        for (int k = 0; k < kVertsPerSide; k++) {
            float y = MeshCornerHeight(tileRow + j, tileCol + k);
            mesh->points[j * kVertsPerSide + k] = {float(tileCol + k) * gTileSize, y,
                                                   float(tileRow + j) * gTileSize};
            lowest = std::fmin(lowest, y);
            highest = std::fmax(highest, y);
        }
    }

    // 3. Triangles, each tile cut as its split flag says.
    for (int r = 0; r < TILES_PER_SUPERTILE; r++) {
        for (int c = 0; c < TILES_PER_SUPERTILE; c++) {
            int tile = r * TILES_PER_SUPERTILE + c;
            int mapRow = tileRow + r, mapCol = tileCol + c;
            bool onMap = mapRow < gTerrainTileDepth && mapCol < gTerrainTileWide;
            int split = onMap ? gTileSplit[mapRow][mapCol] : 0;
            std::memcpy(&mesh->triangles[tile * 6], gSuperTileTriangleTables[split][tile],
                        6 * sizeof(uint32_t));
        }
    }

    // 4. and 5. Normals, then the colours that bake the lighting from them.
    CalcSuperTileNormals(tileRow, tileCol, mesh->normals);
    CalcSuperTileColors(tileRow, tileCol, mesh->normals, mesh->colors);

    // 6. Centre height and the culling box.
    slot->centerY = (lowest + highest) * 0.5f;
    slot->bounds = {float(slot->left),
                    lowest,
                    float(slot->top),
                    float(slot->left) + gSuperTileSize,
                    highest,
                    float(slot->top) + gSuperTileSize,
                    false};
    mesh->bounds = slot->bounds;

    // 7. Supertiles built in one update alternate between no delay and one skipped draw, so that in
    //    stereo a frame's new supertiles do not all appear in the same eye first.
    if (gTerrainLoading)
        slot->drawDelay = 0;
    else {
        slot->drawDelay = gDrawDelayToggle;
        gDrawDelayToggle = uint8_t((gDrawDelayToggle - 1) & 1);
    }
    return slotIndex;
}
