// TQ3D writer: an in-memory description of a model file (materials with their textures, and a list
// of models, each a mesh or a group of meshes and groups) and its serialization in the game's model
// format. The description is written exactly as given, so tests can also build faulty files;
// FindTQ3DFaults lists what the game's loader would refuse or misread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Record tags of the format.
enum TQ3DTag : uint32_t
{
    kTQ3DTagMaterialFlags = 0,
    kTQ3DTagDiffuseColor = 1,
    kTQ3DTagTextureMap = 2,
    kTQ3DTagGroupStart = 3,
    kTQ3DTagGroupEnd = 4,
    kTQ3DTagGeometry = 5,
    kTQ3DTagPoints = 6,
    kTQ3DTagNormals = 7,
    kTQ3DTagUVs = 8,
    kTQ3DTagVertexColors = 9,
    kTQ3DTagTriangles = 10,
    kTQ3DTagEndFile = 11,
    kTQ3DTagBoundingBox = 12,
    kTQ3DTagJpegTextureMap = 13,
};

constexpr uint32_t kTQ3DPixelFormatRGBA = 0x1908; // 4 bytes a pixel: r, g, b, a
constexpr uint32_t kTQ3DPixelFormat1555 = 0x8366; // 2 bytes a pixel, host-order packing
constexpr uint32_t kTQ3DPixelFormat8888 = 0x8367; // 4 bytes a pixel, host-order packing
constexpr int kTQ3DHeaderSize = 20;
constexpr int kTQ3DTextureHeaderSize = 36;
constexpr int kTQ3DGeometryHeaderSize = 52;
constexpr int kTQ3DJpegHeaderSize = 16;
constexpr int kTQ3DMaxLayers = 4; // layer material slots in a geometry header

struct TQ3DVec3
{
    float x = 0, y = 0, z = 0;
};

struct TQ3DVec2
{
    float u = 0, v = 0;
};

struct TQ3DColor
{
    uint8_t r = 255, g = 255, b = 255, a = 255;
};

// One texture map of a material. Raw: `pixels` are stored as given under `pixelFormat` (tag 2; row 0
// is v = 0). Compressed: `compressed` holds an encoded image (JPEG or anything the game's image
// decoder reads) and `alphaMask`, when not empty, one alpha byte a pixel (tag 13).
struct TQ3DTexture
{
    bool isCompressed = false;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pixelFormat = kTQ3DPixelFormatRGBA;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> compressed;
    std::vector<uint8_t> alphaMask;
};

struct TQ3DMaterial
{
    uint32_t flags = 0; // MO_MATERIAL_FLAG_* bits
    float diffuse[4] = {1, 1, 1, 1};
    std::vector<TQ3DTexture> textures; // the first is the one drawn
};

// An indexed triangle mesh. Normals, UVs and colours are each empty or one per point.
struct TQ3DMesh
{
    std::vector<uint32_t> layerMaterials; // indices into the file's materials, at most 4 (2 drawn)
    std::vector<TQ3DVec3> points;
    std::vector<TQ3DVec3> normals;
    std::vector<TQ3DVec2> uvs;
    std::vector<TQ3DColor> colors;
    std::vector<uint32_t> triangles; // three point indices a triangle
    bool writeBounds = true;         // add the mesh's bounding box record
};

// A model, or a member of a group: a mesh when `isGroup` is false, else a group of `members`.
struct TQ3DNode
{
    bool isGroup = false;
    TQ3DMesh mesh;
    std::vector<TQ3DNode> members;
};

struct TQ3DFile
{
    std::vector<TQ3DMaterial> materials;
    std::vector<TQ3DNode> models; // the root group's members, in model-number order
};

// The file's bytes: header, every material in order, every model in order, end tag. Throws
// std::invalid_argument when a per-point array's length differs from the point count, when a mesh
// names more than four layers, or when the triangle index list is not a multiple of three.
std::vector<uint8_t> SerializeTQ3D(const TQ3DFile& file);

// Serializes and writes `file` to `path`; throws std::runtime_error naming the path on failure.
void WriteTQ3DFile(const std::filesystem::path& path, const TQ3DFile& file);

// Everything in `file` the game's loader would refuse or misread, one line each (empty: none):
// meshes with more than two layers, material indices past the list, triangle indices past a mesh's points,
// raw texture buffers whose size is not width x height pixels, alpha masks not width x height, empty
// compressed images.
std::vector<std::string> FindTQ3DFaults(const TQ3DFile& file);
