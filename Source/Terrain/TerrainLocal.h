// TerrainLocal.h: what the terrain module's files share. Not for the rest of the game.
#pragma once

#include <cstdint>

#include "Terrain/Terrain.h"

// How the data fork's images are used: made into textures (the game), or only decoded, checked and
// assembled (tools, tests and the fuzzer, without a draw context).
enum PlayfieldImageMode
{
    kPlayfieldImages_MakeTextures,
    kPlayfieldImages_DecodeOnly,
};

// The steps of LoadPlayfield with a choice of image mode; DecodeOnly needs no draw context, and no
// supertile memory is made.
void LoadPlayfieldData(const Tarnet::FSSpec* spec, PlayfieldImageMode mode);

// The resource fork into the terrain globals (PlayfieldFile.cpp).
void ReadPlayfieldResources(const Tarnet::FSSpec* spec);
// The data fork's images through the three staggered passes (PlayfieldImages.cpp).
void ReadSuperTileImages(const Tarnet::FSSpec* spec, PlayfieldImageMode mode);
// The decoded images and the scratch of ReadSuperTileImages (after a fault, too: it first waits for
// the decoding thread).
void FreePlayfieldImageBuffers();

// Derived tables (TerrainTables.cpp).
void BuildTileSplitFlags();
void BuildTerrainItemList();
void FindPlayerStartCoordItems();
void BuildVertexShade();

// The file name of the playfield being read, for fault messages.
extern char gPlayfieldName[256];
// A fatal alert naming the playfield file; closes whatever fork the reader holds open first.
[[noreturn]] void PlayfieldFault(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Forks the reader holds open, closed by PlayfieldFault; -1 when none.
void ClosePlayfieldForks(); // also releases the resource being decoded; after an interrupted read
extern int16_t gPlayfieldResRefNum;
extern int16_t gPlayfieldDataRefNum;

// A block holding a table of row pointers followed by the rows; freed with SafeDisposePtr.
void** Alloc2DArray(int32_t rows, int32_t cols, int32_t elementSize);

// Height of a terrain corner as the supertile meshes draw it: the map's last row and column of
// corners, and anything beyond, lie at 0.
float MeshCornerHeight(int row, int col);
// The two face normals (unnormalised) of a map tile as its mesh draws it; tiles outside the map
// face straight up.
void TileFaceNormals(int mapRow, int mapCol, Vector3D* first, Vector3D* second);

// Triangle index tables for one supertile mesh, per tile split flag, built by InitTerrainManager:
// [split][tile][6] (two triangles of three vertex indices).
extern uint32_t gSuperTileTriangleTables[2][TILES_PER_SUPERTILE * TILES_PER_SUPERTILE][6];
void BuildSuperTileTriangleTables();

void FreeSuperTileMemoryList();       // the mesh records and their pool blocks; every slot free
void ResetSuperTileDrawDelayToggle(); // at the start of every window update
// Once per frame after the last pane: slots of supertiles in no window are given back.
void ReleaseSuperTilesOutsideWindows();

// The window masks: 2n x 2n bytes per radius n (3..9); 0 outside, 1 inside, 2 inside on the rim.
const uint8_t* GetSuperTileWindowMask(int radius);
