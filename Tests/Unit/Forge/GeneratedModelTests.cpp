// The generated model set: shapes wound outward with normals that keep hard edges, the project's own
// trigonometry, every model file read by the game's reader with the model numbers and structure the
// game relies on, and forging that gives the same bytes twice.
#include "3D/TQ3D.h"
#include "DataForge/Content/MeshBuilder.h"
#include "DataForge/Content/ModelsFiles.h"
#include "DataForge/Content/ModelsKit.h"
#include "DataForge/Forge.h"
#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

// For a shape closed around its centre, every face must face away from it, or the renderer culls
// the outside and shows the inside.
static void ExpectFacesPointOutward(const Mesh& mesh, Vec3 centre, const char* what)
{
    int inward = 0;
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        Vec3 a = mesh.points[mesh.triangles[t]], b = mesh.points[mesh.triangles[t + 1]],
             c = mesh.points[mesh.triangles[t + 2]];
        Vec3 face = Cross(b - a, c - a);
        if (Length(face) > 1e-6f && Dot(face, (a + b + c) * (1.0f / 3) - centre) < 0)
            inward++;
    }
    EXPECT_EQ(inward, 0) << what;
}

TEST(MeshBuilder, ClosedPrimitivesWindOutward)
{
    ExpectFacesPointOutward(Sphere(2, 8, 6), {0, 0, 0}, "sphere");
    ExpectFacesPointOutward(Box({-1, -2, -3}, {1, 2, 3}), {0, 0, 0}, "box");
    ExpectFacesPointOutward(Cylinder(1, 0.5f, 2, 7), {0, 1, 0}, "cylinder");
    ExpectFacesPointOutward(Extrude({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, 1), {0, 0, 0}, "extrusion");
    ExpectFacesPointOutward(Extrude({{-1, 1}, {1, 1}, {1, -1}, {-1, -1}}, 1), {0, 0, 0}, "clockwise outline");
    Mesh turned = Sphere(1, 8, 6);
    Scale(turned, {-1, 1, 1});
    ExpectFacesPointOutward(turned, {0, 0, 0}, "mirrored sphere");
}

TEST(MeshBuilder, SmoothNormalsKeepBoxEdgesHardAndCloseLatheSeams)
{
    Mesh box = Box({-1, -1, -1}, {1, 1, 1});
    SmoothNormals(box);
    for (size_t i = 0; i < box.points.size(); i++)
        EXPECT_NEAR(std::fabs(box.normals[i].x) + std::fabs(box.normals[i].y) + std::fabs(box.normals[i].z),
                    1, 1e-5)
            << "corner normals must not be averaged across faces";

    Mesh sphere = Sphere(1, 8, 6);
    SmoothNormals(sphere);
    for (size_t i = 0; i < sphere.points.size(); i++) {
        if (std::fabs(sphere.points[i].y) < 0.99f) {
            EXPECT_GT(Dot(sphere.normals[i], Normalize(sphere.points[i])), 0.97f) << "point " << i;
        }
    }
}

TEST(MeshBuilder, OwnTrigonometryMatchesTheLibraryClosely)
{
    for (float x = -20; x <= 20; x += 0.37f) {
        EXPECT_NEAR(DetSin(x), std::sin(double(x)), 2e-6) << x;
        EXPECT_NEAR(DetCos(x), std::cos(double(x)), 2e-6) << x;
        EXPECT_NEAR(DetAtan2(std::sin(x), std::cos(x)), std::atan2(std::sin(x), std::cos(x)), 0.003) << x;
    }
}

TEST(ModelFileBuilder, RefusesBrokenRulesBeforeWriting)
{
    ModelFileBuilder outOfOrder("a.tq3d");
    uint32_t plain = outOfOrder.Colored("plain", {1, 1, 1});
    EXPECT_THROW(outOfOrder.Add(1, {{Sphere(1, 6, 4), plain}}), std::runtime_error);

    ModelFileBuilder tooDense("b.tq3d");
    tooDense.Add(0, {{Sphere(1, 60, 30), tooDense.Colored("plain", {1, 1, 1})}});
    EXPECT_THROW(tooDense.Finish(), std::runtime_error) << "more than 1000 points in a mesh";

    ModelFileBuilder untextured("c.tq3d");
    untextured.Add(0, {{Sphere(1, 6, 4), untextured.Colored("plain", {1, 1, 1})}});
    untextured.RequireSphereMapped(0);
    EXPECT_THROW(untextured.Finish(), std::runtime_error) << "sphere-mapped mesh without a texture";

    ModelFileBuilder grouped("d.tq3d");
    uint32_t m = grouped.Colored("plain", {1, 1, 1});
    grouped.Add(0, {{Sphere(1, 6, 4), m}, {Sphere(1, 6, 4), m}});
    grouped.RequireSingleMesh(0);
    EXPECT_THROW(grouped.Finish(), std::runtime_error) << "a group where one mesh is needed";
}

class GeneratedModelFiles : public ::testing::Test
{
protected:
    void SetUp() override { TQ3D_InitContainers(); }
    void TearDown() override
    {
        TQ3D_FreeParsedFile(&parsed);
        TQ3D_DisposeAllContainers();
    }
    // Reads the file with the game's reader into group 0 and returns its model count.
    int Load(const TQ3DFile& file)
    {
        TQ3D_FreeParsedFile(&parsed);
        TQ3D_DisposeAllContainers();
        bytes = SerializeTQ3D(file);
        TQ3D_ParseFile("generated.tq3d", bytes.data(), int32_t(bytes.size()), -1, &parsed);
        return TQ3D_PublishContainer(&parsed, MODEL_GROUP_GLOBAL);
    }
    static MetaObject* Model(int t) { return gTQ3DModelList[MODEL_GROUP_GLOBAL][t]; }

    // Every mesh of the model has a textured first material and UVs, as a sphere-mapped layer needs.
    static void ExpectSphereMappable(int t, const char* file)
    {
        std::vector<MetaObject*> meshes;
        if (Model(t)->type == MO_TYPE_GROUP)
            for (int i = 0; i < MO_GetGroupData(Model(t))->numObjectsInGroup; i++)
                meshes.push_back(MO_GetGroupData(Model(t))->objects[i]);
        else
            meshes.push_back(Model(t));
        for (MetaObject* mesh : meshes) {
            ASSERT_EQ(mesh->type, MO_TYPE_GEOMETRY) << file << " model " << t;
            VertexArrayGeometry* data = MO_GetGeometryData(mesh);
            ASSERT_GE(data->numMaterials, 1) << file << " model " << t;
            EXPECT_TRUE(MO_GetMaterialData(data->materials[0])->flags & MO_MATERIAL_FLAG_TEXTURED)
                << file << " model " << t;
            EXPECT_NE(data->uvs[0], nullptr) << file << " model " << t;
            EXPECT_NE(data->normals, nullptr) << file << " model " << t;
        }
    }

    std::vector<uint8_t> bytes;
    TQ3DParsedFile parsed = {};
};

TEST_F(GeneratedModelFiles, EachFileHoldsEveryModelNumberTheGameUses)
{
    EXPECT_GE(Load(BuildGlobalModels()), 32);
    EXPECT_GE(Load(BuildWeaponModels()), 6);
    EXPECT_GE(Load(BuildPlayerPartModels()), 2);
    EXPECT_GE(Load(BuildLevelIntroModels()), 1);
    EXPECT_EQ(Load(BuildForestModels()), 50);
    EXPECT_EQ(Load(BuildDesertModels()), 52);
    EXPECT_EQ(Load(BuildSwampModels()), 41);
}

TEST_F(GeneratedModelFiles, ModelsTheGameChangesAtRunTimeHaveTheShapeItNeeds)
{
    Load(BuildGlobalModels());
    for (int t : {2, 3, 4, 5, 6, 21})
        ExpectSphereMappable(t, "Global");
    EXPECT_EQ(Model(20)->type, MO_TYPE_GEOMETRY) << "the wormhole must be one mesh";
    EXPECT_TRUE(MO_GetMaterialData(MO_GetGeometryData(Model(20))->materials[0])->flags &
                MO_MATERIAL_FLAG_TEXTURED);

    Load(BuildPlayerPartModels());
    ExpectSphereMappable(0, "playerparts");
    Load(BuildForestModels());
    ExpectSphereMappable(45, "forest");
    Load(BuildDesertModels());
    ExpectSphereMappable(4, "desert");
    ExpectSphereMappable(33, "desert");
}

TEST_F(GeneratedModelFiles, TheSkyDomeStaysInsideTheFarClipAndTheMineHangsFromItsChain)
{
    for (TQ3DFile (*build)() : {BuildForestModels, BuildDesertModels, BuildSwampModels}) {
        Load(build());
        // Scaled by farClip x 0.01, the dome must stay within farClip.
        EXPECT_LT(gTQ3DModelRadii[MODEL_GROUP_GLOBAL][0], 100.0f);
        EXPECT_GT(gTQ3DModelRadii[MODEL_GROUP_GLOBAL][0], 60.0f);
    }
    Load(BuildForestModels());
    EXPECT_NEAR(gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][44].maxY, 1000, 1)
        << "the mine sits at chain height 1000";
    Load(BuildSwampModels());
    EXPECT_NEAR(gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][30].maxY, 2000, 1) << "and at 2000 outside the forest";
}

static std::vector<char> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ForgeModels, ForgingTwiceWritesTheSameBytes)
{
    TempFolder first, second;
    ForgeModels(first.Path());
    ForgeModels(second.Path());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(first.Path() / "Models")) {
        std::vector<char> a = ReadAll(entry.path());
        EXPECT_FALSE(a.empty()) << entry.path().filename();
        EXPECT_TRUE(a == ReadAll(second.Path() / "Models" / entry.path().filename()))
            << entry.path().filename();
        files++;
    }
    EXPECT_EQ(files, 7);
}
