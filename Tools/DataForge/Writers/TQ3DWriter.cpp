#include "DataForge/Writers/TQ3DWriter.h"

#include "DataForge/Writers/BigEndianWriter.h"

#include <algorithm>
#include <stdexcept>

// Offset of the JPEG stream inside a compressed image description: the offset word itself, then
// the image at once.
constexpr uint32_t kCompressedImageOffset = 4;

static void WriteTexture(BigEndianWriter& out, const TQ3DTexture& texture)
{
    if (texture.isCompressed) {
        out.U32(kTQ3DTagJpegTextureMap);
        out.U32(texture.width);
        out.U32(texture.height);
        out.U32(static_cast<uint32_t>(kCompressedImageOffset + texture.compressed.size()));
        out.U32(texture.alphaMask.empty() ? 0 : 1);
        out.U32(kCompressedImageOffset);
        out.Bytes(texture.compressed);
        out.Bytes(texture.alphaMask);
        return;
    }
    out.U32(kTQ3DTagTextureMap);
    out.U32(texture.width);
    out.U32(texture.height);
    out.U32(texture.pixelFormat);
    out.U32(texture.pixelFormat);
    out.U32(static_cast<uint32_t>(texture.pixels.size()));
    out.Zeros(16);
    out.Bytes(texture.pixels);
}

static void WriteMaterial(BigEndianWriter& out, const TQ3DMaterial& material)
{
    out.U32(kTQ3DTagMaterialFlags);
    out.U32(material.flags);
    out.U32(kTQ3DTagDiffuseColor);
    for (float channel : material.diffuse)
        out.Float(channel);
    for (const TQ3DTexture& texture : material.textures)
        WriteTexture(out, texture);
}

static void WriteVectors(BigEndianWriter& out, uint32_t tag, const std::vector<TQ3DVec3>& vectors)
{
    out.U32(tag);
    for (const TQ3DVec3& v : vectors) {
        out.Float(v.x);
        out.Float(v.y);
        out.Float(v.z);
    }
}

static void CheckMeshShape(const TQ3DMesh& mesh)
{
    size_t n = mesh.points.size();
    auto fits = [n](size_t size) { return size == 0 || size == n; };
    if (!fits(mesh.normals.size()) || !fits(mesh.uvs.size()) || !fits(mesh.colors.size()))
        throw std::invalid_argument("TQ3D mesh: a per-point array differs from the point count");
    if (mesh.layerMaterials.size() > size_t(kTQ3DMaxLayers))
        throw std::invalid_argument("TQ3D mesh: more than four material layers");
    if (mesh.triangles.size() % 3 != 0)
        throw std::invalid_argument("TQ3D mesh: triangle indices are not a multiple of three");
}

static void WriteBounds(BigEndianWriter& out, const TQ3DMesh& mesh)
{
    TQ3DVec3 low{}, high{};
    if (!mesh.points.empty())
        low = high = mesh.points.front();
    for (const TQ3DVec3& p : mesh.points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    out.U32(kTQ3DTagBoundingBox);
    for (float f : {low.x, low.y, low.z, high.x, high.y, high.z})
        out.Float(f);
    out.U8(mesh.points.empty() ? 1 : 0);
    out.Zeros(3);
}

static void WriteMesh(BigEndianWriter& out, const TQ3DMesh& mesh)
{
    CheckMeshShape(mesh);
    out.U32(kTQ3DTagGeometry);
    out.U32(0); // vertex array, the only geometry type
    out.U32(static_cast<uint32_t>(mesh.layerMaterials.size()));
    for (int layer = 0; layer < kTQ3DMaxLayers; layer++)
        out.U32(layer < int(mesh.layerMaterials.size()) ? mesh.layerMaterials[layer] : 0);
    out.U32(0); // flags
    out.U32(static_cast<uint32_t>(mesh.points.size()));
    out.U32(static_cast<uint32_t>(mesh.triangles.size() / 3));
    out.Zeros(16);

    WriteVectors(out, kTQ3DTagPoints, mesh.points);
    if (!mesh.normals.empty())
        WriteVectors(out, kTQ3DTagNormals, mesh.normals);
    if (!mesh.uvs.empty()) {
        out.U32(kTQ3DTagUVs);
        for (const TQ3DVec2& uv : mesh.uvs) {
            out.Float(uv.u);
            out.Float(uv.v);
        }
    }
    if (!mesh.colors.empty()) {
        out.U32(kTQ3DTagVertexColors);
        for (const TQ3DColor& c : mesh.colors)
            out.Bytes(&c, 4);
    }
    out.U32(kTQ3DTagTriangles);
    for (uint32_t index : mesh.triangles)
        out.U32(index);
    if (mesh.writeBounds)
        WriteBounds(out, mesh);
}

static void WriteNode(BigEndianWriter& out, const TQ3DNode& node)
{
    if (!node.isGroup) {
        WriteMesh(out, node.mesh);
        return;
    }
    out.U32(kTQ3DTagGroupStart);
    for (const TQ3DNode& member : node.members)
        WriteNode(out, member);
    out.U32(kTQ3DTagGroupEnd);
}

std::vector<uint8_t> SerializeTQ3D(const TQ3DFile& file)
{
    BigEndianWriter out;
    out.Chars("TQ3D");
    out.Zeros(kTQ3DHeaderSize - 4);
    for (const TQ3DMaterial& material : file.materials)
        WriteMaterial(out, material);
    for (const TQ3DNode& model : file.models)
        WriteNode(out, model);
    out.U32(kTQ3DTagEndFile);
    return out.Take();
}

void WriteTQ3DFile(const std::filesystem::path& path, const TQ3DFile& file)
{
    WriteFileBytes(path, SerializeTQ3D(file));
}

static void FindMeshFaults(const TQ3DMesh& mesh, size_t materialCount, const std::string& where,
                           std::vector<std::string>& faults)
{
    if (mesh.layerMaterials.size() > 2)
        faults.push_back(where + ": " + std::to_string(mesh.layerMaterials.size()) +
                         " material layers, more than the two a mesh draws");
    for (uint32_t material : mesh.layerMaterials)
        if (material >= materialCount)
            faults.push_back(where + ": material " + std::to_string(material) + " is not defined");
    for (uint32_t index : mesh.triangles)
        if (index >= mesh.points.size()) {
            faults.push_back(where + ": triangle index " + std::to_string(index) + " past the points");
            break;
        }
}

static void FindNodeFaults(const TQ3DNode& node, size_t materialCount, const std::string& where,
                           std::vector<std::string>& faults)
{
    if (!node.isGroup) {
        FindMeshFaults(node.mesh, materialCount, where, faults);
        return;
    }
    for (size_t i = 0; i < node.members.size(); i++)
        FindNodeFaults(node.members[i], materialCount, where + "." + std::to_string(i), faults);
}

std::vector<std::string> FindTQ3DFaults(const TQ3DFile& file)
{
    std::vector<std::string> faults;
    for (size_t m = 0; m < file.materials.size(); m++) {
        for (const TQ3DTexture& texture : file.materials[m].textures) {
            std::string where = "material " + std::to_string(m);
            size_t pixelCount = size_t(texture.width) * size_t(texture.height);
            if (texture.isCompressed && texture.compressed.empty())
                faults.push_back(where + ": empty compressed image");
            if (texture.isCompressed && !texture.alphaMask.empty() && texture.alphaMask.size() != pixelCount)
                faults.push_back(where + ": alpha mask is not one byte a pixel");
            size_t pixelSize = texture.pixelFormat == kTQ3DPixelFormat1555 ? 2 : 4;
            if (!texture.isCompressed && texture.pixels.size() != pixelCount * pixelSize)
                faults.push_back(where + ": texture buffer is not width x height pixels");
        }
    }
    for (size_t t = 0; t < file.models.size(); t++)
        FindNodeFaults(file.models[t], file.materials.size(), "model " + std::to_string(t), faults);
    return faults;
}
