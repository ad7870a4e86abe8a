// The data check of model files: each rule the game's code relies on is reported against its file.
#include "DataForge/Check.h"
#include "Support/TempFolder.h"
#include "Unit/Models/TQ3DBytes.h"
#include "Window/RenderTestImages.h"

#include <gtest/gtest.h>

#include <algorithm>

class ModelFilesCheck : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(folder.Path() / "Models"); }

    void Write(const char* name, const TQ3DBytes& file)
    {
        WriteFile(folder.Path() / "Models" / name, file.bytes);
    }

    // The rules reported against one file.
    std::vector<std::string> ProblemsOf(const char* file)
    {
        DataCheckReport report;
        CheckModelFiles(folder.Path(), &report);
        std::vector<std::string> rules;
        for (const DataProblem& problem : report.problems) {
            if (problem.file == std::string("Models/") + file)
                rules.push_back(problem.rule);
        }
        return rules;
    }

    static bool Mentions(const std::vector<std::string>& rules, const char* text)
    {
        return std::any_of(rules.begin(), rules.end(),
                           [text](const std::string& rule) { return rule.find(text) != std::string::npos; });
    }

    TempFolder folder;
};

TEST_F(ModelFilesCheck, MissingAndDamagedFilesAreProblemsOfTheirOwn)
{
    Write("Weapons.tq3d", TQ3DBytes("TQ3d").End());
    EXPECT_TRUE(Mentions(ProblemsOf("swamp.tq3d"), "must exist"));
    EXPECT_TRUE(Mentions(ProblemsOf("Weapons.tq3d"), "ReadTQ3DHeader: TQ3D file has invalid header."));
}

TEST_F(ModelFilesCheck, GlobalModelsTheLevelCodeChangesMustHaveTheirShape)
{
    // 32 models: 0..19 plain triangles, 20 a group (the wormhole must be one mesh), 21 a mesh whose
    // material is not textured although it gets a sphere map, the rest plain.
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED).TextureMap(1, 1, TQ3D_PIXELS_RGBA, {1, 2, 3, 4}).Material(0);
    for (int t = 0; t < 20; t++)
        file.Triangle(1, 1, 0);
    file.GroupStart().Triangle(1, 1, 0).GroupEnd();
    file.Triangle(1, 1, 1);
    for (int t = 22; t < 32; t++)
        file.Geometry(3, 1).Points({0, 0, 0, 1, 0, 0, 0, 1, 0}).Triangles({0, 1, 2}); // no normals
    Write("Global.tq3d", file.End());

    std::vector<std::string> rules = ProblemsOf("Global.tq3d");
    EXPECT_TRUE(Mentions(rules, "model 20: the wormhole must be a single mesh"));
    EXPECT_TRUE(Mentions(rules, "model 21: gets a sphere map"));
    EXPECT_TRUE(Mentions(rules, "model 22: a mesh has no normals"));
    EXPECT_FALSE(Mentions(rules, "model 2:")) << "a textured egg is fine";
}

TEST_F(ModelFilesCheck, SceneFileTooShortForTheModelNumbersTheGameUsesIsReported)
{
    TQ3DBytes file;
    for (int t = 0; t < 40; t++)
        file.Triangle();
    Write("desert.tq3d", file.End());
    EXPECT_TRUE(Mentions(ProblemsOf("desert.tq3d"), "has 40 models; the game uses model numbers up to 51"));
}
