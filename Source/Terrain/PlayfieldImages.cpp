// The playfield's data fork: one compressed 256 x 256 image per non-empty supertile cell, row by row.
// Images become 258 x 258 textures whose border repeats the neighbours' edge pixels, so three
// staggered passes run over the rows: load the images of row r, build the textures of row r - 2 (its
// neighbours are all loaded by then) and free the images of row r - 4 (no texture needs them any
// more). At most five rows of decoded images exist at once.
//
// A second thread decodes the images of row r while the main thread builds and uploads the textures
// of row r - 2. The main thread reads the records and raises every fault, always while the decoder is
// idle. Decoded images live in blocks that are handed on from row to row, so a level touches fresh
// memory for about five rows of images only, however large its map.
//
// Several cells may name one image index. Every record is read and decoded, so a damaged one is
// refused, but the index keeps the image of the first cell naming it; its texture is built once, at
// that cell, and its image is freed with the last cell naming it.

#include "Terrain/TerrainLocal.h"

#include "3D/ImageDecode.h"
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "System/Memory.h"
#include "Tarnet/Tarnet.h"

#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

using namespace Tarnet;

constexpr int kImageBytes = SUPERTILE_TEXTURE_SIZE * SUPERTILE_TEXTURE_SIZE * 4;
constexpr int kTextureSize = SUPERTILE_TEXTURE_SIZE_BORDERED;
constexpr int kLoadToBuildRows = 2; // a row's textures are built two rows after its images are loaded
constexpr int kLoadToFreeRows = 4;  // and its images freed two rows after that

// One image record of the row being decoded.
struct RowDecodeJob
{
    int col;
    uint8_t* record; // the whole record, freed once decoded
    const uint8_t* image;
    int32_t imageSize;
    uint8_t* pixels; // a block of kImageBytes, rows reversed once decoded
    bool decoded;
    char reason[160]; // why it did not decode
};

static uint8_t* gAssemblyBuffer;   // the 258 x 258 texture being assembled
static uint8_t* gImageAssembled;   // per image index: its texture was assembled (decode-only mode)
static int32_t* gLastCellOfImage;  // per image index: row * width + column of the last cell naming it
static uint8_t** gFreeImageBlocks; // image blocks decoded and freed, ready for the next row
static int32_t gNumFreeImageBlocks;
static RowDecodeJob* gRowJobs; // one per column
static int32_t gNumRowJobs;
static std::thread gRowDecoder;

// ---------------------------------------------------------------------------------------------------------
// Image blocks and the decoding thread
// ---------------------------------------------------------------------------------------------------------

static uint8_t* TakeImageBlock()
{
    if (gNumFreeImageBlocks > 0)
        return gFreeImageBlocks[--gNumFreeImageBlocks];
    return (uint8_t*)AllocPtr(kImageBytes);
}

// The pool holds every block there ever is: at most one per image index and one per job.
static void GiveBackImageBlock(uint8_t* block)
{
    gFreeImageBlocks[gNumFreeImageBlocks++] = block;
}

static void DecodeRow(RowDecodeJob* jobs, int32_t count)
{
    for (int32_t i = 0; i < count; i++) {
        RowDecodeJob* job = &jobs[i];
        const char* reason = "";
        job->decoded = DecodeImageInto(job->image, job->imageSize, SUPERTILE_TEXTURE_SIZE,
                                       SUPERTILE_TEXTURE_SIZE, true, job->pixels, &reason);
        if (!job->decoded)
            std::snprintf(job->reason, sizeof(job->reason), "%s", reason);
    }
}

static void StartRowDecode()
{
    if (gNumRowJobs == 0)
        return;
    try {
        gRowDecoder = std::thread(DecodeRow, gRowJobs, gNumRowJobs);
    } catch (const std::system_error&) {
        DecodeRow(gRowJobs, gNumRowJobs); // no second thread to be had: decode here
    }
}

static void FinishRowDecode()
{
    if (gRowDecoder.joinable())
        gRowDecoder.join();
}

// Frees what the jobs still hold (after a fault).
static void DisposeRowJobs()
{
    for (int32_t i = 0; i < gNumRowJobs; i++) {
        SafeDisposePtr(gRowJobs[i].record);
        SafeDisposePtr(gRowJobs[i].pixels);
    }
    gNumRowJobs = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Image records
// ---------------------------------------------------------------------------------------------------------

[[noreturn]] static void RecordCutShort(int row, int col)
{
    PlayfieldFault("LoadSuperTilePixelBuffer: !iErr: the image record of supertile (%d, %d) is cut short",
                   row, col);
}

// Reads the next record of the data fork: int32 size, then size bytes whose first four give the
// offset of the compressed image within them. The image's size is checked from its header here,
// so that a record of the wrong size is refused before anything is decoded.
static void ReadImageRecord(int row, int col, RowDecodeJob* job)
{
    uint8_t sizeBytes[4];
    int32_t done = 4;
    if (FSRead(gPlayfieldDataRefNum, &done, sizeBytes) != noErr || done != 4)
        RecordCutShort(row, col);
    int32_t size = BigEndianS32(sizeBytes);
    int32_t mark = 0, length = 0;
    GetFPos(gPlayfieldDataRefNum, &mark);
    GetEOF(gPlayfieldDataRefNum, &length);
    if (size < 4 || size > length - mark)
        PlayfieldFault(
            "LoadSuperTilePixelBuffer: !iErr: the image record of supertile (%d, %d) claims %d bytes, "
            "but %d remain",
            row, col, size, length - mark);

    job->col = col;
    job->record = (uint8_t*)AllocPtr(size);
    done = size;
    if (FSRead(gPlayfieldDataRefNum, &done, job->record) != noErr || done != size)
        RecordCutShort(row, col);
    int32_t offset = BigEndianS32(job->record);
    if (offset < 4 || offset >= size)
        PlayfieldFault("the image record of supertile (%d, %d) puts its image at offset %d of %d bytes", row,
                       col, offset, size);
    job->image = job->record + offset;
    job->imageSize = size - offset;

    int width = 0, height = 0;
    const char* reason = "";
    if (!ReadImageSize(job->image, job->imageSize, &width, &height, &reason))
        PlayfieldFault("DecompressQTImage: pixelData: the image of supertile (%d, %d) does not decode (%s)",
                       row, col, reason);
    if (width != SUPERTILE_TEXTURE_SIZE || height != SUPERTILE_TEXTURE_SIZE)
        PlayfieldFault("DecompressQTImage: %s: the image of supertile (%d, %d) is %d x %d, not %d x %d",
                       width != SUPERTILE_TEXTURE_SIZE ? "actualW == w" : "actualH == h", row, col, width,
                       height, SUPERTILE_TEXTURE_SIZE, SUPERTILE_TEXTURE_SIZE);
    job->pixels = TakeImageBlock();
}

static void ReadRowRecords(int row)
{
    gNumRowJobs = 0;
    for (int col = 0; col < gSuperTilesWide; col++) {
        if (gSuperTileGrid[row][col] < 0)
            continue;
        RowDecodeJob* job = &gRowJobs[gNumRowJobs++];
        std::memset(job, 0, sizeof(*job));
        ReadImageRecord(row, col, job);
    }
}

static void ReportProgress(float fraction)
{
    if (gPlayfieldProgressProc)
        gPlayfieldProgressProc(fraction);
}

// Once the row is decoded: each image goes to its index, or back to the pool when an earlier cell
// named that index already.
static void KeepRowImages(int row, int32_t* recordsLoaded, int32_t numRecords)
{
    for (int32_t i = 0; i < gNumRowJobs; i++) {
        RowDecodeJob* job = &gRowJobs[i];
        SafeDisposePtr(job->record);
        job->record = nullptr;
        if (!job->decoded)
            PlayfieldFault(
                "DecompressQTImage: pixelData: the image of supertile (%d, %d) does not decode (%s)", row,
                job->col, job->reason);
    }
    for (int32_t i = 0; i < gNumRowJobs; i++) {
        RowDecodeJob* job = &gRowJobs[i];
        int16_t index = gSuperTileGrid[row][job->col];
        if (gSuperTilePixelBuffers[index])
            GiveBackImageBlock(job->pixels);
        else
            gSuperTilePixelBuffers[index] = job->pixels;
        job->pixels = nullptr;
        ReportProgress(float(++*recordsLoaded) / float(numRecords));
    }
    gNumRowJobs = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Seamless textures
// ---------------------------------------------------------------------------------------------------------

uint8_t* GetSuperTileImage(int row, int col)
{
    if (row < 0 || col < 0 || row >= gSuperTilesDeep || col >= gSuperTilesWide)
        return nullptr;
    int16_t index = gSuperTileGrid[row][col];
    if (index < 0)
        return nullptr;
    uint8_t* image = gSuperTilePixelBuffers[index];
    GAME_ASSERT(image);
    return image;
}

static const uint8_t* ImagePixel(const uint8_t* image, int y, int x)
{
    return image + (y * SUPERTILE_TEXTURE_SIZE + x) * 4;
}

static uint8_t* TexturePixel(uint8_t* buffer, int y, int x)
{
    return buffer + (y * kTextureSize + x) * 4;
}

// Copies `bytes` from `source`, or clears them (transparent black) where the map ends.
static void CopyOrClear(uint8_t* to, const uint8_t* source, int bytes)
{
    if (source)
        std::memcpy(to, source, size_t(bytes));
    else
        std::memset(to, 0, size_t(bytes));
}

// Every texel is written exactly once: the image, then the border from the neighbours, transparent
// black where there is none.
void AssembleSeamlessSuperTileTexture(int row, int col, uint8_t* buffer)
{
    GAME_ASSERT(GetSuperTileImage(row, col));
    const uint8_t* image = GetSuperTileImage(row, col);
    const uint8_t* above = GetSuperTileImage(row - 1, col);
    const uint8_t* below = GetSuperTileImage(row + 1, col);
    const uint8_t* left = GetSuperTileImage(row, col - 1);
    const uint8_t* right = GetSuperTileImage(row, col + 1);
    constexpr int kLast = SUPERTILE_TEXTURE_SIZE - 1;
    constexpr int kRowBytes = SUPERTILE_TEXTURE_SIZE * 4;

    // Rows 1..256: the left neighbour's last column, the image row, the right neighbour's first column.
    for (int y = 0; y < SUPERTILE_TEXTURE_SIZE; y++) {
        CopyOrClear(TexturePixel(buffer, y + 1, 0), left ? ImagePixel(left, y, kLast) : nullptr, 4);
        std::memcpy(TexturePixel(buffer, y + 1, 1), ImagePixel(image, y, 0), kRowBytes);
        CopyOrClear(TexturePixel(buffer, y + 1, kTextureSize - 1), right ? ImagePixel(right, y, 0) : nullptr,
                    4);
    }
    CopyOrClear(TexturePixel(buffer, 0, 1), above ? ImagePixel(above, kLast, 0) : nullptr, kRowBytes);
    CopyOrClear(TexturePixel(buffer, kTextureSize - 1, 1), below ? ImagePixel(below, 0, 0) : nullptr,
                kRowBytes);

    const uint8_t* topLeft = GetSuperTileImage(row - 1, col - 1);
    const uint8_t* topRight = GetSuperTileImage(row - 1, col + 1);
    const uint8_t* bottomLeft = GetSuperTileImage(row + 1, col - 1);
    const uint8_t* bottomRight = GetSuperTileImage(row + 1, col + 1);
    CopyOrClear(TexturePixel(buffer, 0, 0), topLeft ? ImagePixel(topLeft, kLast, kLast) : nullptr, 4);
    CopyOrClear(TexturePixel(buffer, 0, kTextureSize - 1),
                topRight ? ImagePixel(topRight, kLast, 0) : nullptr, 4);
    CopyOrClear(TexturePixel(buffer, kTextureSize - 1, 0),
                bottomLeft ? ImagePixel(bottomLeft, 0, kLast) : nullptr, 4);
    CopyOrClear(TexturePixel(buffer, kTextureSize - 1, kTextureSize - 1),
                bottomRight ? ImagePixel(bottomRight, 0, 0) : nullptr, 4);
}

static MetaObject* MakeSuperTileMaterial(uint8_t* texturePixels)
{
    MaterialRecord material;
    std::memset(&material, 0, sizeof(material));
    material.flags = MO_MATERIAL_FLAG_TEXTURED | MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V;
    for (float& channel : material.diffuseColor)
        channel = 1.0f;
    material.width = kTextureSize;
    material.height = kTextureSize;
    material.numMipmaps = 1;
    material.textureName[0] =
        OGL_TextureMap_Load(texturePixels, kTextureSize, kTextureSize, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE);
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

// ---------------------------------------------------------------------------------------------------------
// The passes
// ---------------------------------------------------------------------------------------------------------

static bool TextureMade(int16_t index, PlayfieldImageMode mode)
{
    return mode == kPlayfieldImages_MakeTextures ? gSuperTileMaterials[index] != nullptr
                                                 : gImageAssembled[index] != 0;
}

static void BuildSuperTileTexture(int row, int col, int16_t index, PlayfieldImageMode mode)
{
    if (TextureMade(index, mode))
        return; // an earlier cell names the same image
    AssembleSeamlessSuperTileTexture(row, col, gAssemblyBuffer);
    if (mode == kPlayfieldImages_MakeTextures)
        gSuperTileMaterials[index] = MakeSuperTileMaterial(gAssemblyBuffer);
    else
        gImageAssembled[index] = 1;
}

static void FreeSuperTileImage(int row, int col, int16_t index)
{
    if (gLastCellOfImage[index] != row * gSuperTilesWide + col)
        return; // a later cell names the same image
    GiveBackImageBlock(gSuperTilePixelBuffers[index]);
    gSuperTilePixelBuffers[index] = nullptr;
}

// Allocates the per-image tables and finds the last cell naming each image; returns the number of
// records the data fork holds (one per non-empty cell).
static int32_t PrepareImageTables()
{
    int32_t arraySize = gNumUniqueSuperTiles > 0 ? gNumUniqueSuperTiles : 1;
    gSuperTilePixelBuffers = (uint8_t**)AllocPtrClear(arraySize * int32_t(sizeof(uint8_t*)));
    gSuperTileMaterials = (MetaObject**)AllocPtrClear(arraySize * int32_t(sizeof(MetaObject*)));
    gImageAssembled = (uint8_t*)AllocPtrClear(arraySize);
    gLastCellOfImage = (int32_t*)AllocPtrClear(arraySize * int32_t(sizeof(int32_t)));
    gFreeImageBlocks = (uint8_t**)AllocPtr((arraySize + gSuperTilesWide) * int32_t(sizeof(uint8_t*)));
    gNumFreeImageBlocks = 0;
    gRowJobs =
        (RowDecodeJob*)AllocPtr((gSuperTilesWide > 0 ? gSuperTilesWide : 1) * int32_t(sizeof(RowDecodeJob)));
    gNumRowJobs = 0;
    gAssemblyBuffer = (uint8_t*)AllocPtr(kTextureSize * kTextureSize * 4);

    int32_t numRecords = 0;
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            int16_t index = gSuperTileGrid[row][col];
            if (index >= 0) {
                gLastCellOfImage[index] = row * gSuperTilesWide + col;
                numRecords++;
            }
        }
    }
    return numRecords;
}

void ReadSuperTileImages(const FSSpec* spec, PlayfieldImageMode mode)
{
    if (gNumUniqueSuperTiles == 0 && gSuperTilesDeep == 0)
        return; // no header: nothing was read
    if (FSpOpenDF(spec, fsRdPerm, &gPlayfieldDataRefNum) != noErr) {
        gPlayfieldDataRefNum = -1;
        ShowFatalAlert("ReadDataFromPlayfieldFile: FSpOpenDF failed!");
    }
    int32_t numRecords = PrepareImageTables();

    int32_t recordsLoaded = 0;
    for (int r = 0; r < gSuperTilesDeep + kLoadToFreeRows; r++) {
        // 1. Load row r: the records are read here, the images decoded on the second thread.
        bool loading = r < gSuperTilesDeep;
        if (loading) {
            ReadRowRecords(r);
            StartRowDecode();
        }
        // 2. Meanwhile build row r - 2: the rows around it were decoded in earlier rounds.
        int build = r - kLoadToBuildRows;
        for (int c = 0; build >= 0 && build < gSuperTilesDeep && c < gSuperTilesWide; c++) {
            if (gSuperTileGrid[build][c] >= 0)
                BuildSuperTileTexture(build, c, gSuperTileGrid[build][c], mode);
        }
        // 3. Wait for row r and keep its images.
        if (loading) {
            FinishRowDecode();
            KeepRowImages(r, &recordsLoaded, numRecords);
        }
        // 4. Free row r - 4: no texture still to be built needs it.
        int release = r - kLoadToFreeRows;
        for (int c = 0; release >= 0 && release < gSuperTilesDeep && c < gSuperTilesWide; c++) {
            if (gSuperTileGrid[release][c] >= 0)
                FreeSuperTileImage(release, c, gSuperTileGrid[release][c]);
        }
    }
    FSClose(gPlayfieldDataRefNum);
    gPlayfieldDataRefNum = -1;

    for (int i = 0; i < gNumUniqueSuperTiles; i++) {
        if (!TextureMade(int16_t(i), mode))
            PlayfieldFault("2nd pass incomplete: not all textures were loaded (image %d is named by no cell)",
                           i);
        if (gSuperTilePixelBuffers[i])
            PlayfieldFault("3rd pass incomplete: not all buffers were freed");
    }
    FreePlayfieldImageBuffers();
    ReportProgress(1.0f);
}

void FreePlayfieldImageBuffers()
{
    FinishRowDecode(); // the decoder may still be writing into blocks after a fault
    if (gRowJobs) {
        DisposeRowJobs();
        SafeDisposePtr(gRowJobs);
        gRowJobs = nullptr;
    }
    if (gSuperTilePixelBuffers) {
        for (int i = 0; i < gNumUniqueSuperTiles; i++)
            SafeDisposePtr(gSuperTilePixelBuffers[i]);
        SafeDisposePtr(gSuperTilePixelBuffers);
        gSuperTilePixelBuffers = nullptr;
    }
    if (gFreeImageBlocks) {
        for (int32_t i = 0; i < gNumFreeImageBlocks; i++)
            SafeDisposePtr(gFreeImageBlocks[i]);
        SafeDisposePtr(gFreeImageBlocks);
        gFreeImageBlocks = nullptr;
        gNumFreeImageBlocks = 0;
    }
    SafeDisposePtr(gAssemblyBuffer);
    gAssemblyBuffer = nullptr;
    SafeDisposePtr(gImageAssembled);
    gImageAssembled = nullptr;
    SafeDisposePtr(gLastCellOfImage);
    gLastCellOfImage = nullptr;
}
