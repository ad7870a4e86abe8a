#include "Support/GameWindowTest.h"

#include "Objects/ObjNode.h"
#include "System/Input.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <cstdlib>

std::filesystem::path BuildFolder()
{
    return QUORVEL_BINARY_DIR;
}

void ClearItemObjectsNear(const Point3D& where, float radius)
{
    ObjNode* node = gObjectListHead;
    while (node) {
        ObjNode* next = node->NextInList;
        float dx = node->Position.x - where.x, dz = node->Position.z - where.z;
        if (node->TerrainItem && dx * dx + dz * dz < radius * radius) {
            node->TerrainItem = nullptr;
            DisposeObject(node);
        }
        node = next;
    }
}

bool OpenGameWindow(int width, int height)
{
    Tarnet::Startup();
    ResetPrefsToDefaults();
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    if (!OpenTestWindow(width, height))
        return false;
    SetUpInput();
    HarnessPrepareGame();
    return true;
}

void CloseGameWindow()
{
    HarnessFinishGame();
    CloseTestWindow();
    Tarnet::Shutdown();
}

void GameWindowTest::SetUp()
{
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    configFolder = std::make_unique<TempFolder>();
    setenv("XDG_CONFIG_HOME", configFolder->Path().c_str(), 1);
    inBuildFolder = std::make_unique<ScopedWorkingDirectory>(BuildFolder());
    Tarnet::Startup();
    ResetPrefsToDefaults();
    SetUpInput();
    HarnessPrepareGame();
}

void GameWindowTest::TearDown()
{
    if (inBuildFolder) {
        HarnessFinishGame();
        Tarnet::Shutdown();
    }
    inBuildFolder.reset();
    configFolder.reset();
    WindowTest::TearDown();
}
