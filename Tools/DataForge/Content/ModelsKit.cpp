#include "DataForge/Content/ModelsKit.h"

#include "3D/MetaObjects.h"

#include <algorithm>
#include <stdexcept>

constexpr int kMaxModelsInFile = MO_MAX_ITEMS_IN_GROUP; // the root group's limit
constexpr size_t kMaxPointsInMesh = 1000;               // rotated-box and picking buffers
constexpr size_t kMaxMaterialsInFile = 400;

static TQ3DTexture RawTexture(const Image& image)
{
    TQ3DTexture texture;
    texture.width = uint32_t(image.width);
    texture.height = uint32_t(image.height);
    texture.pixels = image.pixels;
    return texture;
}

uint32_t ModelFileBuilder::Textured(const std::string& key, const std::function<Image()>& image,
                                    uint32_t extraFlags)
{
    if (auto found = materialByKey.find(key); found != materialByKey.end())
        return found->second;
    TQ3DMaterial material;
    material.flags = MO_MATERIAL_FLAG_TEXTURED | extraFlags;
    material.textures.push_back(RawTexture(image()));
    file.materials.push_back(std::move(material));
    return materialByKey[key] = uint32_t(file.materials.size() - 1);
}

uint32_t ModelFileBuilder::TexturedJpeg(const std::string& key, const std::function<Image()>& image,
                                        bool keepAlpha)
{
    if (auto found = materialByKey.find(key); found != materialByKey.end())
        return found->second;
    Image rgba = image();
    TQ3DTexture texture;
    texture.isCompressed = true;
    texture.width = uint32_t(rgba.width);
    texture.height = uint32_t(rgba.height);
    texture.compressed = EncodeJpeg(rgba, 90);
    if (keepAlpha)
        for (size_t i = 3; i < rgba.pixels.size(); i += 4)
            texture.alphaMask.push_back(rgba.pixels[i]);
    TQ3DMaterial material;
    material.flags = MO_MATERIAL_FLAG_TEXTURED | (keepAlpha ? MO_MATERIAL_FLAG_ALWAYS_BLEND : 0);
    material.textures.push_back(std::move(texture));
    file.materials.push_back(std::move(material));
    return materialByKey[key] = uint32_t(file.materials.size() - 1);
}

uint32_t ModelFileBuilder::Colored(const std::string& key, Rgb color, float alpha, uint32_t flags)
{
    if (auto found = materialByKey.find(key); found != materialByKey.end())
        return found->second;
    TQ3DMaterial material;
    material.flags = flags;
    material.diffuse[0] = color.r;
    material.diffuse[1] = color.g;
    material.diffuse[2] = color.b;
    material.diffuse[3] = alpha;
    file.materials.push_back(std::move(material));
    return materialByKey[key] = uint32_t(file.materials.size() - 1);
}

static TQ3DMesh ToTQ3DMesh(Mesh mesh, uint32_t material)
{
    if (mesh.normals.empty())
        SmoothNormals(mesh);
    TQ3DMesh out;
    out.layerMaterials = {material};
    for (const Vec3& p : mesh.points)
        out.points.push_back({p.x, p.y, p.z});
    for (const Vec3& n : mesh.normals)
        out.normals.push_back({n.x, n.y, n.z});
    for (const Vec2& uv : mesh.uvs)
        out.uvs.push_back({uv.x, uv.y});
    for (const Color8& c : mesh.colors)
        out.colors.push_back({c.r, c.g, c.b, c.a});
    out.triangles = std::move(mesh.triangles);
    return out;
}

void ModelFileBuilder::Add(int number, std::vector<ModelPart> parts)
{
    std::string where = name + " model " + std::to_string(number);
    if (number != int(file.models.size()))
        throw std::runtime_error(where + ": added out of order");
    if (parts.empty())
        throw std::runtime_error(where + ": no meshes");
    TQ3DNode model;
    model.isGroup = parts.size() > 1;
    for (ModelPart& part : parts) {
        if (model.isGroup)
            model.members.push_back({false, ToTQ3DMesh(std::move(part.mesh), part.material), {}});
        else
            model.mesh = ToTQ3DMesh(std::move(part.mesh), part.material);
    }
    file.models.push_back(std::move(model));
}

bool ModelFileBuilder::IsTextured(uint32_t material) const
{
    return material < file.materials.size() && (file.materials[material].flags & MO_MATERIAL_FLAG_TEXTURED) &&
           !file.materials[material].textures.empty();
}

void ModelFileBuilder::CheckMesh(int model, const TQ3DMesh& mesh) const
{
    std::string where = name + " model " + std::to_string(model);
    if (mesh.points.empty() || mesh.triangles.empty())
        throw std::runtime_error(where + ": empty mesh");
    if (mesh.points.size() > kMaxPointsInMesh)
        throw std::runtime_error(where + ": a mesh has more than 1000 points");
    if (mesh.normals.size() != mesh.points.size())
        throw std::runtime_error(where + ": a mesh has no normals");
    for (uint32_t material : mesh.layerMaterials)
        if (IsTextured(material) && mesh.uvs.size() != mesh.points.size())
            throw std::runtime_error(where + ": a textured mesh has no UVs");
}

TQ3DFile ModelFileBuilder::Finish() const
{
    if (file.models.size() > size_t(kMaxModelsInFile))
        throw std::runtime_error(name + ": more than 70 models");
    if (file.materials.size() > kMaxMaterialsInFile)
        throw std::runtime_error(name + ": more than 400 materials");
    for (size_t t = 0; t < file.models.size(); t++) {
        const TQ3DNode& model = file.models[t];
        if (model.isGroup && model.members.size() > size_t(MAX_MESHES_IN_MODEL))
            throw std::runtime_error(name + " model " + std::to_string(t) + ": more than 10 meshes");
        if (!model.isGroup)
            CheckMesh(int(t), model.mesh);
        for (const TQ3DNode& member : model.members)
            CheckMesh(int(t), member.mesh);
    }
    for (int t : sphereMapped) {
        if (t >= int(file.models.size()))
            throw std::runtime_error(name + " model " + std::to_string(t) + ": sphere-mapped model missing");
        const TQ3DNode& model = file.models[size_t(t)];
        std::vector<const TQ3DMesh*> meshes;
        if (!model.isGroup)
            meshes.push_back(&model.mesh);
        for (const TQ3DNode& member : model.members)
            meshes.push_back(&member.mesh);
        for (const TQ3DMesh* mesh : meshes)
            if (mesh->layerMaterials.empty() || !IsTextured(mesh->layerMaterials[0]))
                throw std::runtime_error(name + " model " + std::to_string(t) +
                                         ": sphere-mapped mesh untextured");
    }
    for (int t : singleMesh)
        if (t >= int(file.models.size()) || file.models[size_t(t)].isGroup)
            throw std::runtime_error(name + " model " + std::to_string(t) + ": must be a single mesh");
    std::vector<std::string> faults = FindTQ3DFaults(file);
    if (!faults.empty())
        throw std::runtime_error(name + ": " + faults.front());
    return file;
}

static size_t Rounded(size_t bytes)
{
    return (bytes + 15) / 16 * 16;
}

static size_t MeshBytes(const TQ3DMesh& mesh)
{
    size_t n = mesh.points.size();
    size_t bytes = Rounded(12 * n) + Rounded(12 * mesh.triangles.size() / 3);
    if (!mesh.normals.empty())
        bytes += Rounded(12 * n);
    if (!mesh.uvs.empty())
        bytes += Rounded(8 * n);
    if (!mesh.colors.empty())
        bytes += Rounded(16 * n);
    return bytes;
}

static size_t NodeBytes(const TQ3DNode& node)
{
    size_t bytes = node.isGroup ? 0 : MeshBytes(node.mesh);
    for (const TQ3DNode& member : node.members)
        bytes += NodeBytes(member);
    return bytes;
}

size_t VertexArrayBytes(const TQ3DFile& file)
{
    size_t bytes = 0;
    for (const TQ3DNode& model : file.models)
        bytes += NodeBytes(model);
    return bytes;
}
