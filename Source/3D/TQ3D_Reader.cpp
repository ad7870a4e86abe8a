// TQ3D_Reader.cpp: reading a model file held in memory into a container, in one pass over its tagged
// records, through one bounded reader.
//
// Nothing in the file is trusted. Every payload is taken only when the file still holds all of it;
// counts are multiplied in 64 bits and checked before anything is allocated; material numbers must
// name materials already read; triangle corners must name points of their mesh; a mesh must end up
// with the arrays its counts promise. So whatever the loader accepts can be drawn, bounded and
// picked without reading past an array. Every refusal is a fatal alert naming the file.
#include "3D/OGL_Support.h"
#include "3D/TQ3D_Local.h"
#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "System/Memory.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// The bytes of the file and how far the parse has come.
struct TQ3DReader
{
    const char* fileName;
    const uint8_t* data;
    int64_t size;
    int64_t pos;
};

static TQ3DReader gTQ3D_Reader;
static TQ3DParsedFile* gTQ3D_Parsed;

// Parser state while a file is read.
static MetaObject* gTQ3D_CurrentMaterialObj; // the latest material
static int gTQ3D_CurrentMaterialMaps;        // texture maps read into it so far
static MetaObject* gTQ3D_CurrentGroup;       // starts as the root
static MetaObject* gTQ3D_CurrentGeometry;    // the latest mesh
static int gTQ3D_GeometryCount;              // meshes started so far, for messages
static MetaObject* gTQ3D_GroupStack[TQ3D_GROUP_STACK_SIZE];
static int gTQ3D_GroupStackIndex;
static int gTQ3D_VARtype; // the vertex-array pool of this file's arrays, -1 for the heap

// ---------------------------------------------------------------------------------------------------------
// The bounded reader
// ---------------------------------------------------------------------------------------------------------

[[noreturn]] static void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A fatal alert about the file being read.
static void Fail(const char* format, ...)
{
    char message[768];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    TQ3D_FatalInFile(gTQ3D_Reader.fileName, "%s", message);
}

// The next `count` bytes, or null (the position unchanged) when the file holds fewer.
static const uint8_t* TryTake(uint64_t count)
{
    TQ3DReader* r = &gTQ3D_Reader;
    if (count > uint64_t(r->size - r->pos))
        return nullptr;
    const uint8_t* bytes = r->data + r->pos;
    r->pos += int64_t(count);
    return bytes;
}

// The next `count` bytes; a file that ends first is fatal, naming the routine and what was cut.
static const uint8_t* Take(uint64_t count, const char* routine, const char* what)
{
    const uint8_t* bytes = TryTake(count);
    if (!bytes)
        Fail("%s: the file ends inside the %s (%llu bytes needed, %lld left)", routine, what,
             (unsigned long long)count, (long long)(gTQ3D_Reader.size - gTQ3D_Reader.pos));
    return bytes;
}

static void ReadFloats(const uint8_t* bytes, float* out, int64_t count)
{
    for (int64_t i = 0; i < count; i++)
        out[i] = BigEndianFloat(bytes + i * 4);
}

// ---------------------------------------------------------------------------------------------------------
// Memory of the parse
// ---------------------------------------------------------------------------------------------------------

// Arrays come from the file's vertex-array pool, or the heap; the mesh that holds them gives them back.
static void* AllocVertexArray(int64_t bytes)
{
    if (gTQ3D_VARtype < 0)
        return AllocPtr(int32_t(bytes));
    return OGL_AllocVertexArrayMemory(int32_t(bytes), gTQ3D_VARtype);
}

static TQ3DTextureImage* AddTextureImage()
{
    TQ3DParsedFile* parsed = gTQ3D_Parsed;
    if (parsed->numImages == parsed->imageCapacity) {
        int32_t capacity = parsed->imageCapacity ? parsed->imageCapacity * 2 : 16;
        parsed->images =
            (TQ3DTextureImage*)ReallocPtr(parsed->images, capacity * int32_t(sizeof(TQ3DTextureImage)));
        parsed->imageCapacity = capacity;
    }
    TQ3DTextureImage* image = &parsed->images[parsed->numImages++];
    memset(image, 0, sizeof(*image));
    image->material = gTQ3D_CurrentMaterialObj;
    return image;
}

// ---------------------------------------------------------------------------------------------------------
// Materials
// ---------------------------------------------------------------------------------------------------------

static void ReadMaterialFlags()
{
    const uint8_t* bytes = TryTake(4);
    if (!bytes)
        Fail("ReadMaterialFlags: FSRead failed");
    TQ3DContainer* container = gTQ3D_Parsed->container;
    if (container->numMaterials >= MAX_TQ3D_MATERIALS)
        Fail("ReadMaterialFlags: more than %d materials", MAX_TQ3D_MATERIALS);

    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.flags = BigEndianU32(bytes);
    material.diffuseColor[0] = material.diffuseColor[1] = material.diffuseColor[2] =
        material.diffuseColor[3] = 1.0f;

    // The container's list keeps the creation reference.
    MetaObject* obj = MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
    container->materials[container->numMaterials++] = obj;
    gTQ3D_CurrentMaterialObj = obj;
    gTQ3D_CurrentMaterialMaps = 0;
}

static void ReadMaterialDiffuseColor()
{
    if (!gTQ3D_CurrentMaterialObj)
        Fail("ReadMaterialDiffuseColor: gTQ3D_CurrentMaterialObj == nil");
    const uint8_t* bytes = TryTake(16);
    if (!bytes)
        Fail("ReadMaterialDiffuseColor: FSRead failed");
    ReadFloats(bytes, MO_GetMaterialData(gTQ3D_CurrentMaterialObj)->diffuseColor, 4);
}

// Checks shared by both kinds of texture map; the first map of a material gives it its size.
static void BeginTextureMap(const char* routine, uint32_t width, uint32_t height)
{
    if (gTQ3D_CurrentMaterialMaps >= MO_MAX_MIPMAPS)
        Fail("%s:%d: %s", routine, __LINE__, "data->numMipmaps < MO_MAX_MIPMAPS");
    if (width > MAX_TQ3D_TEXTURE_SIZE || height > MAX_TQ3D_TEXTURE_SIZE)
        Fail("%s: a texture of %ux%u pixels is larger than %dx%d", routine, width, height,
             MAX_TQ3D_TEXTURE_SIZE, MAX_TQ3D_TEXTURE_SIZE);

    MaterialRecord* material = MO_GetMaterialData(gTQ3D_CurrentMaterialObj);
    if (gTQ3D_CurrentMaterialMaps == 0) {
        material->width = int32_t(width);
        material->height = int32_t(height);
    }
    gTQ3D_CurrentMaterialMaps++;
}

static void ReadMaterialTextureMap()
{
    if (!gTQ3D_CurrentMaterialObj)
        Fail("ReadMaterialTextureMap: gTQ3D_CurrentMaterialObj == nil");
    const uint8_t* header = Take(TQ3D_TEXTURE_HEADER_SIZE, "ReadMaterialTextureMap", "texture header");
    uint32_t width = BigEndianU32(header + 0);
    uint32_t height = BigEndianU32(header + 4);
    uint32_t srcPixelFormat = BigEndianU32(header + 8);
    uint32_t bufferSize = BigEndianU32(header + 16);
    BeginTextureMap("ReadMaterialTextureMap", width, height);

    GLenum type;
    uint64_t bytesPerPixel;
    switch (srcPixelFormat) {
    case TQ3D_PIXELS_RGBA:
        type = GL_UNSIGNED_BYTE;
        bytesPerPixel = 4;
        break;
    case TQ3D_PIXELS_1555_REVERSED:
        type = GL_UNSIGNED_SHORT_1_5_5_5_REV;
        bytesPerPixel = 2;
        break;
    case TQ3D_PIXELS_8888_REVERSED:
        type = GL_UNSIGNED_INT_8_8_8_8_REV;
        bytesPerPixel = 4;
        break;
    default:
        Fail("Unsupported TQ3D srcPixelFormat 0x%04x", srcPixelFormat);
    }

    // OpenGL reads width x height pixels whatever the buffer holds, so the two must agree.
    uint64_t expected = uint64_t(width) * height * bytesPerPixel;
    if (bufferSize != expected)
        Fail("ReadMaterialTextureMap: a buffer of %u bytes does not hold %ux%u pixels of %d bytes",
             bufferSize, width, height, int(bytesPerPixel));
    const uint8_t* pixels = Take(bufferSize, "ReadMaterialTextureMap", "texture pixels");

    TQ3DTextureImage* image = AddTextureImage();
    image->width = int32_t(width);
    image->height = int32_t(height);
    image->type = type;
    image->pixels = (uint8_t*)AllocPtr(int32_t(bufferSize));
    memcpy(image->pixels, pixels, bufferSize); // uploaded as stored, without byte swapping
}

static void ReadMaterialJPEGTextureMap()
{
    if (!gTQ3D_CurrentMaterialObj)
        Fail("ReadMaterialJPEGTextureMap:%d: %s", __LINE__, "gTQ3D_CurrentMaterialObj");
    const uint8_t* header = Take(TQ3D_JPEG_HEADER_SIZE, "ReadMaterialJPEGTextureMap", "JPEG texture header");
    uint32_t width = BigEndianU32(header + 0);
    uint32_t height = BigEndianU32(header + 4);
    uint32_t jpegBufferSize = BigEndianU32(header + 8);
    bool hasAlphaMask = header[15] != 0;
    BeginTextureMap("ReadMaterialJPEGTextureMap", width, height);

    const uint8_t* jpegBuffer = Take(jpegBufferSize, "ReadMaterialJPEGTextureMap", "compressed image");
    // The mask is checked for before decoding, so a short file costs no decode.
    const uint8_t* alpha = nullptr;
    if (hasAlphaMask)
        alpha = Take(uint64_t(width) * height, "ReadMaterialJPEGTextureMap", "alpha mask");

    uint8_t* rgba = nullptr;
    const char* failed = DecodeQTImage(jpegBuffer, int32_t(jpegBufferSize), int(width), int(height), &rgba);
    if (failed)
        Fail("ReadMaterialJPEGTextureMap: DecompressQTImage failed: %s", failed);

    TQ3DTextureImage* image = AddTextureImage();
    image->width = int32_t(width);
    image->height = int32_t(height);
    image->type = GL_UNSIGNED_BYTE;
    image->pixels = rgba;
    image->fromDecoder = true;
    if (alpha) {
        for (int64_t i = 0; i < int64_t(width) * height; i++)
            rgba[i * 4 + 3] = alpha[i];
    }
}

// ---------------------------------------------------------------------------------------------------------
// Groups
// ---------------------------------------------------------------------------------------------------------

// Checked before anything is made, so a full group leaves nothing half-attached.
static void CheckRoomInCurrentGroup(const char* routine)
{
    if (MO_GetGroupData(gTQ3D_CurrentGroup)->numObjectsInGroup >= MO_MAX_ITEMS_IN_GROUP)
        Fail("%s: too many objects in group! (at most %d)", routine, MO_MAX_ITEMS_IN_GROUP);
}

static void ReadGroup()
{
    if (gTQ3D_GroupStackIndex >= TQ3D_GROUP_STACK_SIZE)
        Fail("ReadGroup: gTQ3D_GroupStackIndex overflow!");
    CheckRoomInCurrentGroup("ReadGroup");

    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    gTQ3D_GroupStack[gTQ3D_GroupStackIndex++] = gTQ3D_CurrentGroup;
    MO_AppendToGroup(gTQ3D_CurrentGroup, group);
    MO_DisposeObjectReference(group); // the parent holds it now
    gTQ3D_CurrentGroup = group;
}

static void EndGroup()
{
    if (gTQ3D_GroupStackIndex <= 0)
        Fail("EndGroup: stack is empty!");
    gTQ3D_CurrentGroup = gTQ3D_GroupStack[--gTQ3D_GroupStackIndex];
}

// ---------------------------------------------------------------------------------------------------------
// Meshes
// ---------------------------------------------------------------------------------------------------------

// A mesh is complete when the next one starts or the file ends: by then it must hold every array its
// counts promise, or drawing and bounding it would read through a null pointer.
static void FinishGeometry()
{
    if (!gTQ3D_CurrentGeometry)
        return;
    const VertexArrayGeometry* data = MO_GetGeometryData(gTQ3D_CurrentGeometry);
    if (data->numPoints > 0 && !data->points)
        Fail("ReadNewGeometry: mesh %d has %d points but no point list", gTQ3D_GeometryCount - 1,
             data->numPoints);
    if (data->numTriangles > 0 && !data->triangles)
        Fail("ReadNewGeometry: mesh %d has %d triangles but no triangle list", gTQ3D_GeometryCount - 1,
             data->numTriangles);
}

static void ReadNewGeometry()
{
    FinishGeometry();
    const uint8_t* header = Take(TQ3D_GEOMETRY_HEADER_SIZE, "ReadNewGeometry", "geometry header");
    if (BigEndianU32(header + 0) != 0)
        Fail("ReadNewGeometry: unknown geo type");

    // A mesh holds two layer materials at most (the header names four, the last two unused). The file
    // stores texture coordinates for the first layer only; the second layer is drawn with them.
    uint32_t numMaterials = BigEndianU32(header + 4);
    constexpr uint32_t kMaxLayers = sizeof(VertexArrayGeometry::materials) / sizeof(MetaObject*);
    if (numMaterials > kMaxLayers)
        Fail("ReadNewGeometry: mesh %d has %u material layers; a mesh can have at most %u",
             gTQ3D_GeometryCount, numMaterials, kMaxLayers);
    TQ3DContainer* container = gTQ3D_Parsed->container;
    uint32_t layerMaterial[2] = {BigEndianU32(header + 8), BigEndianU32(header + 12)};
    for (uint32_t i = 0; i < numMaterials; i++) {
        if (layerMaterial[i] >= uint32_t(container->numMaterials))
            Fail("ReadNewGeometry: mesh %d uses material %u, but only %d materials come before it",
                 gTQ3D_GeometryCount, layerMaterial[i], container->numMaterials);
    }

    // The largest per-point array is 16 bytes (colours); every size must fit an allocation.
    uint32_t numPoints = BigEndianU32(header + 28);
    uint32_t numTriangles = BigEndianU32(header + 32);
    if (numPoints > uint32_t(INT32_MAX / 16) || numTriangles > uint32_t(INT32_MAX / 12))
        Fail("ReadNewGeometry: mesh %d claims %u points and %u triangles; the array sizes overflow",
             gTQ3D_GeometryCount, numPoints, numTriangles);
    CheckRoomInCurrentGroup("ReadNewGeometry");

    VertexArrayGeometry data;
    memset(&data, 0, sizeof(data));
    data.varPool = int16_t(gTQ3D_VARtype);
    data.numMaterials = int16_t(numMaterials);
    for (uint32_t i = 0; i < numMaterials; i++)
        data.materials[i] = container->materials[layerMaterial[i]];
    data.numPoints = int32_t(numPoints);
    data.numTriangles = int32_t(numTriangles);
    data.bounds.isEmpty = true;

    MetaObject* geometry = MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &data);
    MO_AppendToGroup(gTQ3D_CurrentGroup, geometry);
    MO_DisposeObjectReference(geometry); // the group holds it now
    gTQ3D_CurrentGeometry = geometry;
    gTQ3D_GeometryCount++;
}

// The current mesh, for a record that belongs to one.
static VertexArrayGeometry* CurrentGeometry(const char* routine)
{
    if (!gTQ3D_CurrentGeometry)
        Fail("%s: no geometry before it", routine);
    return MO_GetGeometryData(gTQ3D_CurrentGeometry);
}

// Reads count x components big-endian floats into a new array of the current mesh.
static float* ReadFloatArray(const char* routine, const char* what, void* existing, int64_t count,
                             int components)
{
    if (existing)
        Fail("%s: %s already assigned!", routine, what);
    int64_t values = count * components;
    const uint8_t* bytes = Take(uint64_t(values) * 4, routine, what);
    if (values == 0)
        return nullptr;
    float* array = (float*)AllocVertexArray(values * 4);
    ReadFloats(bytes, array, values);
    return array;
}

static void ReadVertexArray()
{
    VertexArrayGeometry* data = CurrentGeometry("ReadVertexArray");
    data->points = (Point3D*)ReadFloatArray("ReadVertexArray", "points", data->points, data->numPoints, 3);
}

static void ReadNormalsArray()
{
    VertexArrayGeometry* data = CurrentGeometry("ReadNormalsArray");
    data->normals =
        (Vector3D*)ReadFloatArray("ReadNormalsArray", "normals", data->normals, data->numPoints, 3);
}

static void ReadUVArray()
{
    VertexArrayGeometry* data = CurrentGeometry("ReadUVArray");
    data->uvs[0] = ReadFloatArray("ReadUVArray", "uvs", data->uvs[0], data->numPoints, 2);
}

static void ReadVertexColors()
{
    VertexArrayGeometry* data = CurrentGeometry("ReadVertexColors");
    if (data->colors)
        Fail("ReadVertexColors: colors already assigned!");
    int64_t values = int64_t(data->numPoints) * 4;
    const uint8_t* bytes = Take(uint64_t(values), "ReadVertexColors", "vertex colors");
    if (values == 0)
        return;
    data->colors = (float*)AllocVertexArray(values * 4);
    for (int64_t i = 0; i < values; i++)
        data->colors[i] = bytes[i] / 255.0f;
}

static void ReadTriangleArray()
{
    VertexArrayGeometry* data = CurrentGeometry("ReadTriangleArray");
    if (data->triangles)
        Fail("ReadTriangleArray: triangles already assigned!");
    int64_t corners = int64_t(data->numTriangles) * 3;
    const uint8_t* bytes = Take(uint64_t(corners) * 4, "ReadTriangleArray", "triangles");
    if (corners == 0)
        return;

    // Every corner is checked before the array is made, so a bad one leaves nothing behind.
    for (int64_t i = 0; i < corners; i++) {
        uint32_t index = BigEndianU32(bytes + i * 4);
        if (index >= uint32_t(data->numPoints))
            Fail("ReadTriangleArray: triangle %lld of mesh %d uses point %u, but the mesh has %d points",
                 (long long)(i / 3), gTQ3D_GeometryCount - 1, index, data->numPoints);
    }
    data->triangles = (uint32_t*)AllocVertexArray(corners * 4);
    for (int64_t i = 0; i < corners; i++)
        data->triangles[i] = BigEndianU32(bytes + i * 4);
}

static void ReadBoundingBox()
{
    VertexArrayGeometry* data = CurrentGeometry("ReadBoundingBox");
    const uint8_t* bytes = Take(TQ3D_BOUNDING_BOX_SIZE, "ReadBoundingBox", "bounding box");
    float values[6];
    ReadFloats(bytes, values, 6);
    data->bounds.minX = values[0];
    data->bounds.minY = values[1];
    data->bounds.minZ = values[2];
    data->bounds.maxX = values[3];
    data->bounds.maxY = values[4];
    data->bounds.maxZ = values[5];
    data->bounds.isEmpty = bytes[24] != 0;
}

// ---------------------------------------------------------------------------------------------------------
// The file
// ---------------------------------------------------------------------------------------------------------

static void ReadTQ3DHeader()
{
    const uint8_t* header = TryTake(TQ3D_HEADER_SIZE);
    if (!header)
        Fail("ReadTQ3DHeader: FSRead failed");
    if (memcmp(header, "TQ3D", 4) != 0)
        Fail("ReadTQ3DHeader: TQ3D file has invalid header.");
}

static void ParseTQ3DFile()
{
    for (;;) {
        const uint8_t* tagBytes = TryTake(4);
        if (!tagBytes)
            Fail("ParseTQ3DFile: FSRead failed");
        switch (BigEndianU32(tagBytes)) {
        case TQ3D_TAG_MATERIAL_FLAGS:
            ReadMaterialFlags();
            break;
        case TQ3D_TAG_MATERIAL_DIFFUSE_COLOR:
            ReadMaterialDiffuseColor();
            break;
        case TQ3D_TAG_TEXTURE_MAP:
            ReadMaterialTextureMap();
            break;
        case TQ3D_TAG_GROUP_START:
            ReadGroup();
            break;
        case TQ3D_TAG_GROUP_END:
            EndGroup();
            break;
        case TQ3D_TAG_GEOMETRY:
            ReadNewGeometry();
            break;
        case TQ3D_TAG_POINTS:
            ReadVertexArray();
            break;
        case TQ3D_TAG_NORMALS:
            ReadNormalsArray();
            break;
        case TQ3D_TAG_UVS:
            ReadUVArray();
            break;
        case TQ3D_TAG_VERTEX_COLORS:
            ReadVertexColors();
            break;
        case TQ3D_TAG_TRIANGLES:
            ReadTriangleArray();
            break;
        case TQ3D_TAG_BOUNDING_BOX:
            ReadBoundingBox();
            break;
        case TQ3D_TAG_JPEG_TEXTURE_MAP:
            ReadMaterialJPEGTextureMap();
            break;
        case TQ3D_TAG_END_FILE:
            FinishGeometry();
            return;
        default:
            Fail("ParseTQ3DFile: unrecognized tag");
        }
    }
}

void TQ3D_ParseFile(const char* fileName, const uint8_t* data, int32_t size, int varPool,
                    TQ3DParsedFile* parsed)
{
    memset(parsed, 0, sizeof(*parsed));
    gTQ3D_Reader = {fileName, data, size, 0};
    gTQ3D_Parsed = parsed;
    gTQ3D_CurrentMaterialObj = nullptr;
    gTQ3D_CurrentMaterialMaps = 0;
    gTQ3D_CurrentGeometry = nullptr;
    gTQ3D_GeometryCount = 0;
    gTQ3D_GroupStackIndex = 0;
    gTQ3D_VARtype = varPool;

    parsed->container = TQ3D_NewContainer();
    gTQ3D_CurrentGroup = parsed->container->root;

    // A fatal alert that returns control (tests, tools) must not leave the half-read file behind. In
    // the game a fatal alert quits instead, and nothing needs freeing.
    try {
        ReadTQ3DHeader();
        ParseTQ3DFile();
    } catch (const FatalAlertError&) {
        TQ3D_FreeParsedFile(parsed);
        throw;
    }
}

void TQ3D_FreeParsedFile(TQ3DParsedFile* parsed)
{
    for (int32_t i = 0; i < parsed->numImages; i++)
        TQ3D_FreeTextureImage(&parsed->images[i]);
    SafeDisposePtr(parsed->images);
    if (parsed->container)
        TQ3D_FreeContainer(parsed->container);
    memset(parsed, 0, sizeof(*parsed));
}
