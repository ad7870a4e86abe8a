// Items on small generated playfields: the terrain test's flat maps with the object pool, a scene
// model file of plain untextured models (so no draw context is needed) loaded as model group 1, and
// the item tables installed for a chosen level.
#pragma once

#include "Unit/Models/TQ3DBytes.h"
#include "Unit/Terrain/TerrainTestSupport.h"

#include "3D/TQ3D.h"
#include "Gameplay/Items.h"
#include "Objects/ObjNode.h"
#include "System/ProgramState.h"
#include "Terrain/SplineObjects.h"

constexpr int kTestSceneModels = 50;
constexpr float kTestModelBottom = -20.0f; // every test model reaches this far below its origin

class ItemTest : public TerrainTest
{
protected:
    void SetUp() override
    {
        TerrainTest::SetUp();
        InitObjectPool();
        TQ3D_InitContainers();
        savedDataFolder = gDataFolderSpec;
        std::filesystem::create_directories(temp.Path() / "Data" / "Skeletons");
        std::filesystem::create_directories(temp.Path() / "Data" / "Models");
        gDataFolderSpec = Tarnet::HostPathToFSSpec(temp.Path() / "Data" / "Skeletons");

        // Each model a thin upright triangle from 20 below its origin to 200 above it.
        TQ3DBytes file;
        for (int i = 0; i < kTestSceneModels; i++) {
            file.Geometry(3, 1);
            file.Points({-10, kTestModelBottom, 0, 10, kTestModelBottom, 0, 0, 200, 5});
            file.Normals({0, 0, 1, 0, 0, 1, 0, 0, 1}).Triangles({0, 1, 2});
        }
        file.End();
        WriteFileBytes(temp.Path() / "Data" / "Models" / "scene.tq3d", file.bytes);
        LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, ":models:scene.tq3d");
        InstallItemRoutines(0, "level1");
    }
    void TearDown() override
    {
        gTimeDemoMode = false;
        EmptySplineObjectList();
        DisposeAllObjects(); // before the terrain goes: deletion re-arms the items
        TQ3D_DisposeAllContainers();
        std::memset(gSplineItemAddRoutines, 0, sizeof(gSplineItemAddRoutines));
        gDataFolderSpec = savedDataFolder;
        TerrainTest::TearDown();
    }

    // Loads p, then installs the tables again (the terrain test's load leaves them as they were).
    void LoadItems(const PlayfieldDescription& p, int levelIndex = 0, const char* levelName = "level1")
    {
        Load(p);
        gTerrainLoading = false;
        InstallItemRoutines(levelIndex, levelName);
        InitSuperTileWindows();
    }

    // The camera of player 0 over world point (x, z), and the window following it.
    void ViewFrom(float x, float z)
    {
        PlaceCamera(0, x, z);
        UpdateSuperTileWindows();
        ReleaseSuperTilesOutsideWindows();
    }

    // Objects in the list made from `item`.
    static int ObjectsOf(const MapItemType* item)
    {
        int n = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            n += node->TerrainItem == item;
        return n;
    }

    // The grouped item of a type (the first one), or null.
    static MapItemType* ItemOfType(int type)
    {
        for (int i = 0; i < gNumMapItems; i++)
            if (gMapItems[i].type == type)
                return &gMapItems[i];
        return nullptr;
    }

    Tarnet::FSSpec savedDataFolder;
};
