// Model-group slots loaded from the data folder, and the material changes the level code makes to
// loaded models. Files here carry no textures, and the vertex-array pools need no context either.
#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"
#include "Unit/Models/TQ3DBytes.h"
#include "Window/RenderTestImages.h"

#include <gtest/gtest.h>

class ModelGroups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        std::filesystem::create_directories(folder.Path() / "Data" / "Skeletons");
        std::filesystem::create_directories(folder.Path() / "Data" / "Models");
        savedDataFolder = gDataFolderSpec;
        gDataFolderSpec = Tarnet::HostPathToFSSpec(folder.Path() / "Data" / "Skeletons");
        TQ3D_InitContainers();
        OGL_InitVertexArrayMemory();
        objectsBefore = gNumMetaObjects;
    }
    void TearDown() override
    {
        TQ3D_DisposeAllContainers();
        OGL_DisposeVertexArrayMemory();
        EXPECT_EQ(gNumMetaObjects, objectsBefore);
        gDataFolderSpec = savedDataFolder;
        Tarnet::Shutdown();
    }

    void WriteModelFile(const char* name, const TQ3DBytes& file)
    {
        WriteFile(folder.Path() / "Data" / "Models" / name, file.bytes);
    }

    // A file whose model 0 is a group of two textured-material meshes, model 1 a bare mesh with a
    // material, model 2 a group holding a group, model 3 a mesh without material.
    void WriteSelectionFile()
    {
        TQ3DBytes file;
        file.Material(MO_MATERIAL_FLAG_TEXTURED).Material(MO_MATERIAL_FLAG_TEXTURED);
        file.GroupStart().Triangle(1, 1, 0).Triangle(1, 1, 1).GroupEnd();
        file.Triangle(2, 1, 1);
        file.GroupStart().GroupStart().Triangle().GroupEnd().GroupEnd();
        file.Triangle(3).End();
        WriteModelFile("Global.tq3d", file);
        ASSERT_EQ(LoadModelGroup(MODEL_GROUP_GLOBAL, ":models:Global.tq3d"), 4);
    }

    static MaterialRecord* FirstMaterialOf(MetaObject* mesh)
    {
        return MO_GetMaterialData(MO_GetGeometryData(mesh)->materials[0]);
    }
    static MetaObject* Member(int type, int i)
    {
        return MO_GetGroupData(gTQ3DModelList[MODEL_GROUP_GLOBAL][type])->objects[i];
    }

    TempFolder folder;
    Tarnet::FSSpec savedDataFolder;
    int objectsBefore = 0;
};

TEST_F(ModelGroups, ColonPathFindsTheFileWhateverTheFolderCaseAndReplacesTheSlotsOlderFile)
{
    WriteModelFile("Weapons.tq3d", TQ3DBytes().Triangle().Triangle().End());
    WriteModelFile("other.tq3d", TQ3DBytes().Triangle().End());
    EXPECT_EQ(LoadModelGroup(MODEL_GROUP_WEAPONS, ":Models:Weapons.tq3d"), 2);
    EXPECT_EQ(LoadModelGroup(MODEL_GROUP_WEAPONS, ":models:other.tq3d"), 1);
    EXPECT_EQ(gNumObjectsInGroupList[MODEL_GROUP_WEAPONS], 1);
}

TEST_F(ModelGroups, MissingFileIsFatalWithItsName)
{
    EXPECT_EQ(FatalAlertMessageOf([] { LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, ":models:nowhere.tq3d"); }),
              "ImportTQ3D: FSpOpenDF failed (in :models:nowhere.tq3d)");
}

TEST_F(ModelGroups, DamagedFileIsFatalWithItsNameAndLeavesTheSlotEmpty)
{
    WriteModelFile("swamp.tq3d", TQ3DBytes().Geometry(3, 1).Points({0, 0, 0}).End());
    std::string message =
        FatalAlertMessageOf([] { LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, ":models:swamp.tq3d"); });
    EXPECT_NE(message.find("(in swamp.tq3d)"), std::string::npos) << message;
    EXPECT_EQ(gLoadedModelFiles[MODEL_GROUP_LEVELSPECIFIC], nullptr);
}

TEST_F(ModelGroups, ImportIntoAnOccupiedSlotIsAProgrammingError)
{
    WriteModelFile("Global.tq3d", TQ3DBytes().Triangle().End());
    LoadModelGroup(MODEL_GROUP_GLOBAL, ":models:Global.tq3d");
    Tarnet::FSSpec spec;
    Tarnet::FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, ":models:Global.tq3d", &spec);
    EXPECT_NE(
        FatalAlertMessageOf([&] { ImportTQ3D(&spec, MODEL_GROUP_GLOBAL, -1); }).find("gLoadedModelFiles"),
        std::string::npos);
}

TEST_F(ModelGroups, SphereMapOnEveryMemberChangesEachMembersFirstMaterial)
{
    WriteSelectionFile();
    SetSphereMapInfo(MODEL_GROUP_GLOBAL, 0, -1, MO_LAYER_COMBINE_ADD_COLOR, 4);
    for (int i = 0; i < 2; i++) {
        MaterialRecord* material = FirstMaterialOf(Member(0, i));
        EXPECT_EQ(material->flags, uint32_t(MO_MATERIAL_FLAG_TEXTURED | MO_MATERIAL_FLAG_MULTITEXTURE));
        EXPECT_EQ(material->layerMode, 0);
        EXPECT_EQ(material->layerCombine, MO_LAYER_COMBINE_ADD_COLOR);
        EXPECT_EQ(material->envMapNum, 4);
    }
}

TEST_F(ModelGroups, SphereMapOnOneMemberOrABareMeshChangesOnlyThat)
{
    WriteSelectionFile();
    SetSphereMapInfo(MODEL_GROUP_GLOBAL, 0, 0, MO_LAYER_COMBINE_MODULATE, 2);
    EXPECT_EQ(FirstMaterialOf(Member(0, 0))->envMapNum, 2);
    EXPECT_EQ(FirstMaterialOf(Member(0, 1))->flags, uint32_t(MO_MATERIAL_FLAG_TEXTURED)); // untouched
    TQ3D_SetContainerMaterialFlags(MODEL_GROUP_GLOBAL, 1, 7, MO_MATERIAL_FLAG_CLAMP_U);
    EXPECT_EQ(FirstMaterialOf(gTQ3DModelList[MODEL_GROUP_GLOBAL][1])->flags & MO_MATERIAL_FLAG_CLAMP_U,
              uint32_t(MO_MATERIAL_FLAG_CLAMP_U));
}

TEST_F(ModelGroups, SelectionThatMissesAMeshIsFatal)
{
    WriteSelectionFile();
    EXPECT_EQ(FatalAlertMessageOf([] { SetSphereMapInfo(MODEL_GROUP_GLOBAL, 0, 2, 1, 0); }),
              "TQ3D_SphereMapGeomteryMaterial: geometryNum out of range");
    EXPECT_EQ(FatalAlertMessageOf([] { TQ3D_SetContainerMaterialFlags(MODEL_GROUP_GLOBAL, 0, -2, 1); }),
              "TQ3D_SetContainerMaterialFlags: geometryNum out of range");
    EXPECT_EQ(FatalAlertMessageOf([] { SetSphereMapInfo(MODEL_GROUP_GLOBAL, 2, -1, 1, 0); }),
              "SetSphereMapInfo:  object isnt a vertex array");
    EXPECT_EQ(FatalAlertMessageOf([] { TQ3D_SetContainerMaterialFlags(MODEL_GROUP_GLOBAL, 3, -1, 1); }),
              "TQ3D_SetContainerMaterialFlags:  no materials!");
    EXPECT_EQ(FatalAlertMessageOf([] { SetSphereMapInfo(MODEL_GROUP_GLOBAL, 3, -1, 1, 0); }),
              "SetSphereMapInfo:  no materials!");
    EXPECT_EQ(FatalAlertMessageOf([] { SetSphereMapInfo(MODEL_GROUP_GLOBAL, 45, -1, 1, 0); }),
              "SetSphereMapInfo: model 45 of group 0 does not exist (the group has 4 models)");
    EXPECT_EQ(FatalAlertMessageOf([] { SetSphereMapInfoOnMaterialObject(gTQ3DModelList[0][1], 1, 0); }),
              "SetSphereMapInfoOnMaterialObject:  object isnt a material");
}
