// The kit every model file is built with: a ModelFileBuilder collects shared materials (each with
// its procedural texture) and numbered models made of meshes, and checks the rules the game relies
// on before anything is written: model numbers in order, at most 70 models a file and 10 meshes a
// model, at most 1000 points a mesh, normals everywhere, UVs under every texture, and the sphere-mapped
// and single-mesh models the game changes at run time.
#pragma once

#include "DataForge/Content/MeshBuilder.h"
#include "DataForge/Content/TextureSynth.h"
#include "DataForge/Writers/TQ3DWriter.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

// One mesh of a model and the material it is drawn with.
struct ModelPart
{
    Mesh mesh;
    uint32_t material;
};

class ModelFileBuilder
{
public:
    explicit ModelFileBuilder(std::string fileName) : name(std::move(fileName)) {}

    // Materials are made once per key; later calls with the same key return the same index, so
    // meshes share them. `extraFlags` adds to the textured flag (blending, clamping, second layer).
    uint32_t Textured(const std::string& key, const std::function<Image()>& image, uint32_t extraFlags = 0);
    // The same, with the image stored JPEG-compressed and, when `keepAlpha`, its alpha as a mask.
    uint32_t TexturedJpeg(const std::string& key, const std::function<Image()>& image, bool keepAlpha);
    uint32_t Colored(const std::string& key, Rgb color, float alpha = 1, uint32_t flags = 0);

    // Adds model `number`, which must be the next one. One part is stored as a bare mesh, more as a
    // group. Shapes without normals get smooth ones.
    void Add(int number, std::vector<ModelPart> parts);
    // Marks a model that the game gives a sphere-mapped second layer, or that must stay one mesh.
    void RequireSphereMapped(int number) { sphereMapped.push_back(number); }
    void RequireSingleMesh(int number) { singleMesh.push_back(number); }

    // The finished description; throws std::runtime_error naming the file and model on a broken rule.
    TQ3DFile Finish() const;

    int ModelCount() const { return int(file.models.size()); }
    const std::string& Name() const { return name; }

private:
    bool IsTextured(uint32_t material) const;
    void CheckMesh(int model, const TQ3DMesh& mesh) const;

    std::string name;
    TQ3DFile file;
    std::map<std::string, uint32_t> materialByKey;
    std::vector<int> sphereMapped, singleMesh;
};

// Bytes the game's vertex-array pool spends on a loaded file (each array rounded up to 16 bytes).
size_t VertexArrayBytes(const TQ3DFile& file);

// Shorthand for colours written as 0..255.
inline Rgb Rgb255(int r, int g, int b)
{
    return {float(r) / 255, float(g) / 255, float(b) / 255};
}

inline Color8 ToColor8(Rgb c, float alpha = 1)
{
    auto byte = [](float f) { return uint8_t(std::min(std::max(f, 0.0f), 1.0f) * 255 + 0.5f); };
    return {byte(c.r), byte(c.g), byte(c.b), byte(alpha)};
}
