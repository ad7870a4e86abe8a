// The playfield's data fork: one compressed 256 x 256 image per non-empty supertile cell, row by row.
// Images become 258 x 258 textures whose border repeats the neighbours' edge pixels, so three
// staggered passes run over the rows: load the images of row r, build the textures of row r - 2 (its
// neighbours are all loaded by then) and free the images of row r - 4 (no texture needs them any
// more). At most five rows of decoded images exist at once.

#include "Terrain/TerrainLocal.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "System/Memory.h"
#include "Tarnet/Tarnet.h"

#include <cstring>
#include <stb_image.h>

using namespace Tarnet;

constexpr int kImageBytes = SUPERTILE_TEXTURE_SIZE * SUPERTILE_TEXTURE_SIZE * 4;
constexpr int kTextureSize = SUPERTILE_TEXTURE_SIZE_BORDERED;
constexpr int kLoadToBuildRows = 2; // a row's textures are built two rows after its images are loaded
constexpr int kLoadToFreeRows = 4;  // and its images freed two rows after that

static uint8_t* gAssemblyBuffer; // the 258 x 258 texture being assembled
static uint8_t* gImageAssembled; // per image index: its texture was assembled (decode-only mode)

// ---------------------------------------------------------------------------------------------------------
// One image record
// ---------------------------------------------------------------------------------------------------------

static void ReadExactly(void* buffer, int32_t count, int row, int col)
{
    int32_t done = count;
    OSErr err = FSRead(gPlayfieldDataRefNum, &done, buffer);
    if (err != noErr || done != count)
        PlayfieldFault("LoadSuperTilePixelBuffer: !iErr: the image record of supertile (%d, %d) is cut short",
                       row, col);
}

// Decodes one image to RGBA with its rows reversed, so that pixel row 0 lies at the supertile's
// smallest z; null when it does not decode or is not 256 x 256 (its size, 0 x 0 when unreadable, in
// width and height). The size is checked before decoding, so a hostile header cannot ask for a huge
// buffer.
static uint8_t* DecompressSuperTileImage(const uint8_t* data, int32_t size, int* width, int* height)
{
    int channels = 0;
    *width = *height = 0;
    if (!stbi_info_from_memory(data, size, width, height, &channels))
        return nullptr;
    if (*width != SUPERTILE_TEXTURE_SIZE || *height != SUPERTILE_TEXTURE_SIZE)
        return nullptr;
    int decodedWidth = 0, decodedHeight = 0;
    uint8_t* pixels = stbi_load_from_memory(data, size, &decodedWidth, &decodedHeight, &channels, 4);
    if (!pixels)
        return nullptr;
    uint8_t* image = (uint8_t*)AllocPtr(kImageBytes);
    constexpr int kRowBytes = SUPERTILE_TEXTURE_SIZE * 4;
    for (int y = 0; y < SUPERTILE_TEXTURE_SIZE; y++)
        std::memcpy(image + y * kRowBytes, pixels + (SUPERTILE_TEXTURE_SIZE - 1 - y) * kRowBytes, kRowBytes);
    stbi_image_free(pixels);
    return image;
}

// Reads the next record of the data fork: int32 size, then size bytes whose first four give the
// offset of the compressed image within them.
static void LoadSuperTilePixelBuffer(int row, int col, int index, PlayfieldImageMode mode)
{
    uint8_t sizeBytes[4];
    ReadExactly(sizeBytes, 4, row, col);
    int32_t size = BigEndianS32(sizeBytes);
    int32_t mark = 0, length = 0;
    GetFPos(gPlayfieldDataRefNum, &mark);
    GetEOF(gPlayfieldDataRefNum, &length);
    if (size < 4 || size > length - mark)
        PlayfieldFault(
            "LoadSuperTilePixelBuffer: !iErr: the image record of supertile (%d, %d) claims %d bytes, "
            "but %d remain",
            row, col, size, length - mark);

    uint8_t* record = (uint8_t*)AllocPtr(size);
    int32_t done = size;
    OSErr err = FSRead(gPlayfieldDataRefNum, &done, record);
    int32_t offset = BigEndianS32(record);
    uint8_t* image = nullptr;
    int width = 0, height = 0;
    bool readWhole = err == noErr && done == size;
    bool offsetInside = offset >= 4 && offset < size;
    if (readWhole && offsetInside && mode == kPlayfieldImages_SkipDecode) {
        image = (uint8_t*)AllocPtrClear(kImageBytes);
        width = height = SUPERTILE_TEXTURE_SIZE;
    } else if (readWhole && offsetInside)
        image = DecompressSuperTileImage(record + offset, size - offset, &width, &height);
    SafeDisposePtr(record);

    if (!readWhole)
        PlayfieldFault("LoadSuperTilePixelBuffer: !iErr: the image record of supertile (%d, %d) is cut short",
                       row, col);
    if (!offsetInside)
        PlayfieldFault("the image record of supertile (%d, %d) puts its image at offset %d of %d bytes", row,
                       col, offset, size);
    bool readable = width > 0 && height > 0;
    if (readable && (width != SUPERTILE_TEXTURE_SIZE || height != SUPERTILE_TEXTURE_SIZE))
        PlayfieldFault("DecompressQTImage: %s: the image of supertile (%d, %d) is %d x %d, not %d x %d",
                       width != SUPERTILE_TEXTURE_SIZE ? "actualW == w" : "actualH == h", row, col, width,
                       height, SUPERTILE_TEXTURE_SIZE, SUPERTILE_TEXTURE_SIZE);
    if (!image)
        PlayfieldFault("DecompressQTImage: pixelData: the image of supertile (%d, %d) does not decode", row,
                       col);
    gSuperTilePixelBuffers[index] = image;
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

void AssembleSeamlessSuperTileTexture(int row, int col, uint8_t* buffer)
{
    GAME_ASSERT(GetSuperTileImage(row, col));
    const uint8_t* image = GetSuperTileImage(row, col);
    constexpr int kLast = SUPERTILE_TEXTURE_SIZE - 1;
    constexpr int kRowBytes = SUPERTILE_TEXTURE_SIZE * 4;

    // Transparent black where the map ends: no neighbour, no border colour.
    std::memset(buffer, 0, kTextureSize * kTextureSize * 4);
    for (int y = 0; y < SUPERTILE_TEXTURE_SIZE; y++)
        std::memcpy(TexturePixel(buffer, y + 1, 1), ImagePixel(image, y, 0), kRowBytes);

    if (const uint8_t* above = GetSuperTileImage(row - 1, col))
        std::memcpy(TexturePixel(buffer, 0, 1), ImagePixel(above, kLast, 0), kRowBytes);
    if (const uint8_t* below = GetSuperTileImage(row + 1, col))
        std::memcpy(TexturePixel(buffer, kTextureSize - 1, 1), ImagePixel(below, 0, 0), kRowBytes);
    if (const uint8_t* left = GetSuperTileImage(row, col - 1)) {
        for (int y = 0; y < SUPERTILE_TEXTURE_SIZE; y++)
            std::memcpy(TexturePixel(buffer, y + 1, 0), ImagePixel(left, y, kLast), 4);
    }
    if (const uint8_t* right = GetSuperTileImage(row, col + 1)) {
        for (int y = 0; y < SUPERTILE_TEXTURE_SIZE; y++)
            std::memcpy(TexturePixel(buffer, y + 1, kTextureSize - 1), ImagePixel(right, y, 0), 4);
    }

    if (const uint8_t* corner = GetSuperTileImage(row - 1, col - 1))
        std::memcpy(TexturePixel(buffer, 0, 0), ImagePixel(corner, kLast, kLast), 4);
    if (const uint8_t* corner = GetSuperTileImage(row - 1, col + 1))
        std::memcpy(TexturePixel(buffer, 0, kTextureSize - 1), ImagePixel(corner, kLast, 0), 4);
    if (const uint8_t* corner = GetSuperTileImage(row + 1, col - 1))
        std::memcpy(TexturePixel(buffer, kTextureSize - 1, 0), ImagePixel(corner, 0, kLast), 4);
    if (const uint8_t* corner = GetSuperTileImage(row + 1, col + 1))
        std::memcpy(TexturePixel(buffer, kTextureSize - 1, kTextureSize - 1), ImagePixel(corner, 0, 0), 4);
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

static void ReportProgress(float fraction)
{
    if (gPlayfieldProgressProc)
        gPlayfieldProgressProc(fraction);
}

static void BuildSuperTileTexture(int row, int col, int index, PlayfieldImageMode mode)
{
    AssembleSeamlessSuperTileTexture(row, col, gAssemblyBuffer);
    if (mode == kPlayfieldImages_MakeTextures)
        gSuperTileMaterials[index] = MakeSuperTileMaterial(gAssemblyBuffer);
    else
        gImageAssembled[index] = 1;
}

void ReadSuperTileImages(const FSSpec* spec, PlayfieldImageMode mode)
{
    if (gNumUniqueSuperTiles == 0 && gSuperTilesDeep == 0)
        return; // no header: nothing was read
    if (FSpOpenDF(spec, fsRdPerm, &gPlayfieldDataRefNum) != noErr) {
        gPlayfieldDataRefNum = -1;
        ShowFatalAlert("ReadDataFromPlayfieldFile: FSpOpenDF failed!");
    }

    int32_t arraySize = gNumUniqueSuperTiles > 0 ? gNumUniqueSuperTiles : 1;
    gSuperTilePixelBuffers = (uint8_t**)AllocPtrClear(arraySize * int32_t(sizeof(uint8_t*)));
    gSuperTileMaterials = (MetaObject**)AllocPtrClear(arraySize * int32_t(sizeof(MetaObject*)));
    gImageAssembled = (uint8_t*)AllocPtrClear(arraySize);
    gAssemblyBuffer = (uint8_t*)AllocPtr(kTextureSize * kTextureSize * 4);

    int loaded = 0;
    for (int r = 0; r < gSuperTilesDeep + kLoadToFreeRows; r++) {
        for (int c = 0; c < gSuperTilesWide; c++) {
            if (r < gSuperTilesDeep && gSuperTileGrid[r][c] >= 0) {
                LoadSuperTilePixelBuffer(r, c, gSuperTileGrid[r][c], mode);
                ReportProgress(float(++loaded) / float(gNumUniqueSuperTiles));
            }
            int build = r - kLoadToBuildRows;
            if (build >= 0 && build < gSuperTilesDeep && gSuperTileGrid[build][c] >= 0)
                BuildSuperTileTexture(build, c, gSuperTileGrid[build][c], mode);
            int release = r - kLoadToFreeRows;
            if (release >= 0 && release < gSuperTilesDeep && gSuperTileGrid[release][c] >= 0) {
                int16_t index = gSuperTileGrid[release][c];
                SafeDisposePtr(gSuperTilePixelBuffers[index]);
                gSuperTilePixelBuffers[index] = nullptr;
            }
        }
    }
    FSClose(gPlayfieldDataRefNum);
    gPlayfieldDataRefNum = -1;

    for (int i = 0; i < gNumUniqueSuperTiles; i++) {
        bool made =
            mode == kPlayfieldImages_MakeTextures ? gSuperTileMaterials[i] != nullptr : gImageAssembled[i];
        if (!made)
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
    if (gSuperTilePixelBuffers) {
        for (int i = 0; i < gNumUniqueSuperTiles; i++)
            SafeDisposePtr(gSuperTilePixelBuffers[i]);
        SafeDisposePtr(gSuperTilePixelBuffers);
        gSuperTilePixelBuffers = nullptr;
    }
    SafeDisposePtr(gAssemblyBuffer);
    gAssemblyBuffer = nullptr;
    SafeDisposePtr(gImageAssembled);
    gImageAssembled = nullptr;
}
