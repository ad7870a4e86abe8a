// Hand-made TQ3D files for the reader's tests: each call appends one record, big-endian, exactly as
// the format lays it out, so a test can also write what no honest writer would.
#pragma once

#include "3D/TQ3D.h"

#include <cstdint>
#include <cstring>
#include <vector>

struct TQ3DBytes
{
    std::vector<uint8_t> bytes;

    // The whole header at once, then the magic over its start: growing a 4-byte vector to the
    // header's size would move the magic into the new block, a copy GCC 12's bounds check at -O3
    // wrongly reports as reading past the first block.
    explicit TQ3DBytes(const char* magic = "TQ3D")
    {
        bytes.assign(TQ3D_HEADER_SIZE, 0);
        std::memcpy(bytes.data(), magic, 4);
    }

    TQ3DBytes& U32(uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(v >> shift));
        return *this;
    }
    TQ3DBytes& F32(float f)
    {
        uint32_t v;
        memcpy(&v, &f, 4);
        return U32(v);
    }
    TQ3DBytes& Raw(const std::vector<uint8_t>& raw)
    {
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }
    TQ3DBytes& Zeros(int count)
    {
        bytes.resize(bytes.size() + count, 0);
        return *this;
    }

    TQ3DBytes& Material(uint32_t flags) { return U32(TQ3D_TAG_MATERIAL_FLAGS).U32(flags); }
    TQ3DBytes& Diffuse(float r, float g, float b, float a)
    {
        return U32(TQ3D_TAG_MATERIAL_DIFFUSE_COLOR).F32(r).F32(g).F32(b).F32(a);
    }
    // A raw map; bufferSize defaults to what width x height x bytesPerPixel needs.
    TQ3DBytes& TextureMap(uint32_t width, uint32_t height, uint32_t format,
                          const std::vector<uint8_t>& pixels, int64_t bufferSize = -1)
    {
        U32(TQ3D_TAG_TEXTURE_MAP).U32(width).U32(height).U32(format).U32(format);
        U32(uint32_t(bufferSize < 0 ? pixels.size() : bufferSize)).Zeros(16);
        return Raw(pixels);
    }
    // A compressed map: offset word, `gap` ignored bytes, the encoded image, then the optional mask.
    TQ3DBytes& JpegTextureMap(uint32_t width, uint32_t height, const std::vector<uint8_t>& image,
                              const std::vector<uint8_t>& alphaMask = {}, uint32_t gap = 4)
    {
        U32(TQ3D_TAG_JPEG_TEXTURE_MAP).U32(width).U32(height).U32(uint32_t(4 + gap + image.size()));
        U32(alphaMask.empty() ? 0 : 1).U32(4 + gap).Zeros(int(gap)).Raw(image);
        return Raw(alphaMask);
    }
    TQ3DBytes& GroupStart() { return U32(TQ3D_TAG_GROUP_START); }
    TQ3DBytes& GroupEnd() { return U32(TQ3D_TAG_GROUP_END); }
    TQ3DBytes& Geometry(uint32_t numPoints, uint32_t numTriangles, uint32_t numMaterials = 0,
                        uint32_t material = 0, uint32_t type = 0)
    {
        U32(TQ3D_TAG_GEOMETRY).U32(type).U32(numMaterials).U32(material).U32(0).U32(0).U32(0).U32(0);
        return U32(numPoints).U32(numTriangles).Zeros(16);
    }
    TQ3DBytes& Floats(uint32_t tag, const std::vector<float>& values)
    {
        U32(tag);
        for (float v : values)
            F32(v);
        return *this;
    }
    TQ3DBytes& Points(const std::vector<float>& xyz) { return Floats(TQ3D_TAG_POINTS, xyz); }
    TQ3DBytes& Normals(const std::vector<float>& xyz) { return Floats(TQ3D_TAG_NORMALS, xyz); }
    TQ3DBytes& UVs(const std::vector<float>& uv) { return Floats(TQ3D_TAG_UVS, uv); }
    TQ3DBytes& Colors(const std::vector<uint8_t>& rgba) { return U32(TQ3D_TAG_VERTEX_COLORS).Raw(rgba); }
    TQ3DBytes& Triangles(const std::vector<uint32_t>& corners)
    {
        U32(TQ3D_TAG_TRIANGLES);
        for (uint32_t c : corners)
            U32(c);
        return *this;
    }
    TQ3DBytes& Box(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, bool empty)
    {
        U32(TQ3D_TAG_BOUNDING_BOX).F32(minX).F32(minY).F32(minZ).F32(maxX).F32(maxY).F32(maxZ);
        bytes.push_back(empty ? 1 : 0);
        return Zeros(3);
    }
    // One triangle (0,0,0) (size,0,0) (0,size,0) facing +z, with the given material layer count.
    TQ3DBytes& Triangle(float size = 1, uint32_t numMaterials = 0, uint32_t material = 0)
    {
        Geometry(3, 1, numMaterials, material);
        Points({0, 0, 0, size, 0, 0, 0, size, 0}).Normals({0, 0, 1, 0, 0, 1, 0, 0, 1});
        if (numMaterials)
            UVs({0, 0, 1, 0, 0, 1});
        return Triangles({0, 1, 2});
    }
    TQ3DBytes& End() { return U32(TQ3D_TAG_END_FILE); }
};
