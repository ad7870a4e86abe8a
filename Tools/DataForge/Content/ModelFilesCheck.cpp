// The model files of a data folder, read by the game's own model reader and checked against the rules
// the game's code relies on: how many models each file has, the shape of the models the level code
// changes (sphere-mapped reflections, the wormhole), meshes per model, normals and texture coordinates,
// and the model pool every level shares. The structure needs no OpenGL: files are parsed, their textures
// decoded but not uploaded.

#include "DataForge/Check.h"

#include "3D/TQ3D.h"
#include "System/Alerts.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kMaxMeshesPerModel = 10;       // meshes picked per object (world-geometry cache)
constexpr int kMaxModelsPerFile = 70;        // members of one group, the root included
constexpr int kMaxDoorFramePoints = 1000;    // the rotated-box scratch buffer
constexpr int kMaxTextureSize = 2048;        // the smallest texture size the game accepts a card for
constexpr int64_t kModelPoolBytes = 6000000; // vertex-array pool 3

struct ModelFileRule
{
    const char* name;           // in Data/Models
    int minModels;              // every model number the game refers to is below this
    std::vector<int> sphereMap; // models that get a reflection layer: meshes with textured materials
    int doorFrame;              // model whose meshes get a rotated box, or -1
    int wormhole;               // model that must be one textured mesh (its layer is changed), or -1
};

const ModelFileRule kModelFiles[] = {
    {"Global.tq3d", 32, {2, 3, 4, 5, 6, 21}, -1, 20},
    {"playerparts.tq3d", 2, {0}, -1, -1},
    {"Weapons.tq3d", 6, {}, -1, -1},
    {"levelintro.tq3d", 1, {}, -1, -1},
    {"forest.tq3d", 50, {45}, 42, -1},
    {"desert.tq3d", 52, {4, 33}, 47, -1},
    {"swamp.tq3d", 37, {}, 32, -1},
};

// Model files loaded together during a level or the level-intro screen share the model pool.
const std::vector<std::vector<const char*>> kPoolSharing = {
    {"Global.tq3d", "playerparts.tq3d", "Weapons.tq3d", "forest.tq3d"},
    {"Global.tq3d", "playerparts.tq3d", "Weapons.tq3d", "desert.tq3d"},
    {"Global.tq3d", "playerparts.tq3d", "Weapons.tq3d", "swamp.tq3d"},
    {"levelintro.tq3d", "playerparts.tq3d"},
};

// A fatal alert of the reader becomes a problem of the file; nothing is shown.
void QuietPresenter(const char*, bool) {}

struct QuietAlerts
{
    QuietAlerts() { SetAlertPresenter(QuietPresenter); }
    ~QuietAlerts() { SetAlertPresenter(nullptr); }
};

class ModelFileChecker
{
public:
    ModelFileChecker(const std::string& file, const TQ3DParsedFile* parsed, DataCheckReport* report)
        : file(file), parsed(parsed), report(report)
    {}

    void Check(const ModelFileRule& rule)
    {
        int models = gNumObjectsInGroupList[MODEL_GROUP_GLOBAL];
        if (models < rule.minModels)
            Problem("has " + std::to_string(models) + " models; the game uses model numbers up to " +
                    std::to_string(rule.minModels - 1));
        if (models > kMaxModelsPerFile)
            Problem("has more than " + std::to_string(kMaxModelsPerFile) + " models");
        for (int t = 0; t < models; t++)
            CheckModel(t);
        for (int t : rule.sphereMap) {
            if (t < models)
                CheckSphereMapped(t);
        }
        if (rule.doorFrame >= 0 && rule.doorFrame < models)
            CheckPointsPerMesh(rule.doorFrame, Model(rule.doorFrame));
        if (rule.wormhole >= 0 && rule.wormhole < models) {
            if (Model(rule.wormhole)->type != MO_TYPE_GEOMETRY)
                ModelProblem(rule.wormhole, "the wormhole must be a single mesh, not a group");
            else if (!IsTexturedMesh(Model(rule.wormhole)))
                ModelProblem(rule.wormhole, "the wormhole needs a textured first material and uvs");
        }
        for (int32_t i = 0; i < parsed->numImages; i++) {
            const TQ3DTextureImage& image = parsed->images[i];
            if (image.width > kMaxTextureSize || image.height > kMaxTextureSize)
                Problem("a texture of " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                        " is larger than " + std::to_string(kMaxTextureSize));
        }
    }

    int64_t PoolBytes() const { return poolBytes; }

private:
    static MetaObject* Model(int t) { return gTQ3DModelList[MODEL_GROUP_GLOBAL][t]; }

    void Problem(const std::string& rule) { report->Add(file, rule); }
    void ModelProblem(int t, const std::string& rule) { Problem("model " + std::to_string(t) + ": " + rule); }

    bool HasTexture(MetaObject* material) const
    {
        for (int32_t i = 0; i < parsed->numImages; i++) {
            if (parsed->images[i].material == material)
                return true;
        }
        return false;
    }

    bool IsTexturedMesh(MetaObject* mesh) const
    {
        const VertexArrayGeometry* data = MO_GetGeometryData(mesh);
        if (data->numMaterials < 1)
            return false;
        const MaterialRecord* material = MO_GetMaterialData(data->materials[0]);
        return (material->flags & MO_MATERIAL_FLAG_TEXTURED) && HasTexture(data->materials[0]) &&
               data->uvs[0];
    }

    static int64_t PoolArrayBytes(int64_t bytes) { return bytes > 0 ? (bytes + 15) / 16 * 16 : 0; }

    void CheckMesh(int t, MetaObject* mesh)
    {
        const VertexArrayGeometry* data = MO_GetGeometryData(mesh);
        if (data->numTriangles > 0 && !data->normals)
            ModelProblem(t, "a mesh has no normals, so lighting cannot shade it");
        if (data->numMaterials > 0) {
            MetaObject* material = data->materials[0];
            bool textured = MO_GetMaterialData(material)->flags & MO_MATERIAL_FLAG_TEXTURED;
            if (textured && !data->uvs[0])
                ModelProblem(t, "a mesh with a textured material has no uvs");
            if (textured && !HasTexture(material))
                ModelProblem(t, "a mesh's material is marked textured but holds no texture");
        }
        int64_t p = data->numPoints;
        poolBytes += PoolArrayBytes(12 * p) + PoolArrayBytes(data->normals ? 12 * p : 0) +
                     PoolArrayBytes(data->uvs[0] ? 8 * p : 0) + PoolArrayBytes(data->colors ? 16 * p : 0) +
                     PoolArrayBytes(12 * int64_t(data->numTriangles));
    }

    // Walks a model's tree; returns its mesh count.
    int CheckTree(int t, MetaObject* obj)
    {
        if (obj->type == MO_TYPE_GEOMETRY) {
            CheckMesh(t, obj);
            return 1;
        }
        int meshes = 0;
        const MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            meshes += CheckTree(t, group->objects[i]);
        return meshes;
    }

    void CheckModel(int t)
    {
        int meshes = CheckTree(t, Model(t));
        if (meshes > kMaxMeshesPerModel)
            ModelProblem(t, "has " + std::to_string(meshes) + " meshes; at most " +
                                std::to_string(kMaxMeshesPerModel) + " can be picked");
        if (meshes == 0)
            ModelProblem(t, "has no mesh");
    }

    void CheckSphereMapped(int t)
    {
        MetaObject* model = Model(t);
        std::vector<MetaObject*> meshes;
        if (model->type == MO_TYPE_GEOMETRY) {
            meshes.push_back(model);
        } else {
            const MetaObjectGroupData* group = MO_GetGroupData(model);
            for (int i = 0; i < group->numObjectsInGroup; i++) {
                if (group->objects[i]->type != MO_TYPE_GEOMETRY) {
                    ModelProblem(t, "gets a sphere map, so it must be a mesh or a group of meshes only");
                    return;
                }
                meshes.push_back(group->objects[i]);
            }
        }
        for (MetaObject* mesh : meshes) {
            if (!IsTexturedMesh(mesh) || !MO_GetGeometryData(mesh)->normals)
                ModelProblem(t,
                             "gets a sphere map, so every mesh needs a textured material, uvs and normals");
        }
    }

    void CheckPointsPerMesh(int t, MetaObject* obj)
    {
        if (obj->type == MO_TYPE_GEOMETRY) {
            if (MO_GetGeometryData(obj)->numPoints > kMaxDoorFramePoints)
                ModelProblem(t, "is a door frame, so each mesh may have at most " +
                                    std::to_string(kMaxDoorFramePoints) + " points");
            return;
        }
        const MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            CheckPointsPerMesh(t, group->objects[i]);
    }

    std::string file;
    const TQ3DParsedFile* parsed;
    DataCheckReport* report;
    int64_t poolBytes = 0;
};

// Reads and checks one file; returns its bytes in the model pool, or -1 when it did not load.
int64_t CheckModelFile(const std::filesystem::path& dataFolder, const ModelFileRule& rule,
                       DataCheckReport* report)
{
    std::string file = std::string("Models/") + rule.name;
    std::ifstream in(dataFolder / "Models" / rule.name, std::ios::binary);
    if (!in) {
        report->Add(file, "the model file must exist");
        return -1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    TQ3DParsedFile parsed;
    try {
        TQ3D_ParseFile(rule.name, bytes.data(), int32_t(bytes.size()), -1, &parsed);
    } catch (const FatalAlertError& error) {
        report->Add(file, error.what());
        return -1;
    }
    TQ3D_PublishContainer(&parsed, MODEL_GROUP_GLOBAL);
    ModelFileChecker checker(file, &parsed, report);
    checker.Check(rule);
    TQ3D_FreeParsedFile(&parsed);
    TQ3D_DisposeContainer(MODEL_GROUP_GLOBAL);
    return checker.PoolBytes();
}

} // namespace

void CheckModelFiles(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    QuietAlerts quiet;
    std::map<std::string, int64_t> poolBytes;
    for (const ModelFileRule& rule : kModelFiles)
        poolBytes[rule.name] = CheckModelFile(dataFolder, rule, report);

    for (const std::vector<const char*>& together : kPoolSharing) {
        int64_t total = 0;
        for (const char* name : together)
            total += std::max<int64_t>(0, poolBytes[name]);
        if (total > kModelPoolBytes)
            report->Add(std::string("Models/") + together.back(),
                        "with the files loaded beside it, needs " + std::to_string(total) +
                            " bytes of the model pool, which holds " + std::to_string(kModelPoolBytes));
    }
}
