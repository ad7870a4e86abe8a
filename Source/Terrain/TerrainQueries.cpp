// The questions the game asks the terrain every frame: the height and slope under a point, whether
// a point is still near a player, and which line marker a move crossed.

#include "Terrain/TerrainLocal.h"

#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"

#include <cmath>

constexpr float kAlignLookAhead = 30.0f; // AlignToTerrain faces a point this far along the heading

// The triangle of the drawn surface under (x, z) as a plane; false off the map.
static bool SurfacePlaneAt(float x, float z, Vector3D* normal, float* constant)
{
    // Columns and rows are 16-bit: anything beyond is off the map anyway (and NaN is too).
    float colF = x * gTileSizeInv, rowF = z * gTileSizeInv;
    if (!(colF > -32768.0f && colF < 32768.0f && rowF > -32768.0f && rowF < 32768.0f))
        return false;
    int col = int(colF), row = int(rowF);
    if (col < 0 || col >= gTerrainTileWide || row < 0 || row >= gTerrainTileDepth)
        return false;

    int tile = int(gTileSize);
    float x0 = float(col * tile), z0 = float(row * tile);
    float fx = x - x0, fz = z - z0, t = gTileSize;
    Point3D tl = {x0, gHeightField[row][col], z0};
    Point3D tr = {x0 + t, gHeightField[row][col + 1], z0};
    Point3D br = {x0 + t, gHeightField[row + 1][col + 1], z0 + t};
    Point3D bl = {x0, gHeightField[row + 1][col], z0 + t};

    const Point3D *a, *b, *c;
    if (gTileSplit[row][col]) {
        if (t - fx > fz)
            a = &tl, b = &tr, c = &bl;
        else
            a = &tr, b = &br, c = &bl;
    } else {
        if (fz > fx)
            a = &tl, b = &br, c = &bl;
        else
            a = &tl, b = &tr, c = &br;
    }
    Vector3D cb = {c->x - b->x, c->y - b->y, c->z - b->z};
    Vector3D ca = {c->x - a->x, c->y - a->y, c->z - a->z};
    Normalize3XYZ(cb.y * ca.z - cb.z * ca.y, cb.z * ca.x - cb.x * ca.z, cb.x * ca.y - cb.y * ca.x, normal);
    *constant = normal->x * c->x + normal->y * c->y + normal->z * c->z;
    return true;
}

float TerrainHeightAt(float x, float z)
{
    if (!gHeightField)
        return TERRAIN_HEIGHT_NO_MAP;
    Vector3D n;
    float d;
    if (!SurfacePlaneAt(x, z, &n, &d))
        return 0.0f;
    gLastTerrainNormal = n;
    return (d - (n.x * x + n.z * z)) / n.y;
}

void GetTerrainNormalAt(float x, float z, Vector3D* normal)
{
    float d;
    if (!gHeightField || !SurfacePlaneAt(x, z, normal, &d))
        *normal = {0.0f, 1.0f, 0.0f};
}

float LowestTerrainUnderBox(float x, float z, const BoundingBox* box, float scale)
{
    float lowest = TerrainHeightAt(x, z);
    const float xs[2] = {x + scale * box->minX, x + scale * box->maxX};
    const float zs[2] = {z + scale * box->minZ, z + scale * box->maxZ};
    for (float cornerZ : zs)
        for (float cornerX : xs)
            lowest = std::fmin(lowest, TerrainHeightAt(cornerX, cornerZ));
    return lowest;
}

float LowestTerrainUnderModel(float x, float z, int group, int model, float scale)
{
    GAME_ASSERT(group >= 0 && group < MAX_TQ3D_GROUPS);
    GAME_ASSERT(model >= 0 && model < gNumObjectsInGroupList[group]);
    return LowestTerrainUnderBox(x, z, &gTQ3DModelBBoxes[group][model], scale);
}

void AlignToTerrain(ObjNode* obj, float yOffset, const Vector3D* normal)
{
    obj->Position.y = TerrainHeightAt(obj->Position.x, obj->Position.z) + yOffset;
    Vector3D up = normal ? *normal : gLastTerrainNormal;

    float heading = obj->Rotation.y;
    Point3D ahead = {obj->Position.x - std::sin(heading) * kAlignLookAhead, 0.0f,
                     obj->Position.z - std::cos(heading) * kAlignLookAhead};
    ahead.y = TerrainHeightAt(ahead.x, ahead.z) + yOffset;

    // The node's transform takes its scale first, then this rotation, then its position.
    MatrixAlignToNormal(&obj->RotMatrix, &up, &ahead, &obj->Position);
    obj->StatusFlags |= NODEBIT_USE_ROT_MATRIX;
    RebuildNodeTransform(obj);
}

bool IsPointOutOfRange(float x, float z)
{
    if (!(x >= 0.0f && z >= 0.0f && x < float(gMapWidthUnits) && z < float(gMapDepthUnits)) ||
        !gSuperTileCells)
        return true;
    int col = int(x * gSuperTileSizeInv), row = int(z * gSuperTileSizeInv);
    if (col >= gSuperTilesWide || row >= gSuperTilesDeep)
        return true;
    return gSuperTileCells[row][col].windowBits == 0;
}

bool IsObjectOutOfRange(const ObjNode* obj)
{
    if (obj->StatusFlags & NODEBIT_ALWAYS_IN_RANGE)
        return false;
    return IsPointOutOfRange(obj->Position.x, obj->Position.z);
}

int CrossedLineMarker(const ObjNode* obj)
{
    Point2D from = {obj->OldPosition.x, obj->OldPosition.z};
    Point2D to = {gWorkPos.x, gWorkPos.z};
    for (int i = 0; i < gNumLineMarkers; i++) {
        Point2D a = {gLineMarkers[i].x1, gLineMarkers[i].z1};
        Point2D b = {gLineMarkers[i].x2, gLineMarkers[i].z2};
        float ix, iz;
        if (SegmentsIntersect2D(&from, &to, &a, &b, &ix, &iz))
            return i;
    }
    return -1;
}

float MapUnitsToWorld(float mapUnits)
{
    return mapUnits * gMapToWorld;
}

float WorldToMapUnits(float world)
{
    return world * gWorldToMap;
}

float MeshCornerHeight(int row, int col)
{
    if (row < 0 || col < 0 || row >= gTerrainTileDepth || col >= gTerrainTileWide)
        return 0.0f;
    return gHeightField[row][col];
}

void TileFaceNormals(int mapRow, int mapCol, Vector3D* first, Vector3D* second)
{
    if (mapRow < 0 || mapCol < 0 || mapRow >= gTerrainTileDepth || mapCol >= gTerrainTileWide) {
        *first = *second = {0.0f, 1.0f, 0.0f};
        return;
    }
    // Corners in mesh vertex order around the tile: v, v+1, v+9, v+10.
    float t = gTileSize;
    Point3D corner[4] = {
        {0.0f, MeshCornerHeight(mapRow, mapCol), 0.0f},
        {t, MeshCornerHeight(mapRow, mapCol + 1), 0.0f},
        {0.0f, MeshCornerHeight(mapRow + 1, mapCol), t},
        {t, MeshCornerHeight(mapRow + 1, mapCol + 1), t},
    };
    static const int kCorners[2][6] = {{2, 3, 0, 3, 1, 0}, {1, 0, 2, 3, 1, 2}};
    const int* tri = kCorners[gTileSplit[mapRow][mapCol]];
    Vector3D* out[2] = {first, second};
    for (int k = 0; k < 2; k++) {
        const Point3D &a = corner[tri[k * 3]], &b = corner[tri[k * 3 + 1]], &c = corner[tri[k * 3 + 2]];
        Vector3D u = {a.x - c.x, a.y - c.y, a.z - c.z}, v = {b.x - c.x, b.y - c.y, b.z - c.z};
        *out[k] = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    }
}
