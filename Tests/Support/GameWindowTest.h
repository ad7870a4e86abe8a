// Fixture for tests that run the real game in its window: a private preferences folder, the
// build folder (where the generated Data folder lives) as the working directory, the toolbox
// layer, default preferences, input, and the tables and shared art the main routine prepares.
// Tests start and end levels themselves through the level harness.
#pragma once

#include "3D/Math3D.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"

#include <filesystem>
#include <memory>

class GameWindowTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // False when the window could not be opened and the test is skipped or has failed; subclasses
    // check it before their own set-up and tear-down.
    bool GameReady() const { return inBuildFolder != nullptr; }

private:
    std::unique_ptr<TempFolder> configFolder;
    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
};

// The build folder the tests were built for, which holds the generated Data folder.
std::filesystem::path BuildFolder();

// Level item objects within `radius` of `where` (across the ground) go for good, for pictures of one
// thing: detached from their items, which stay marked as added, so no later scan makes them again.
void ClearItemObjectsNear(const Point3D& where, float radius);

// The same game outside a test fixture, for benchmarks run from the build folder: the toolbox layer,
// default preferences, a window of `width` x `height`, input and the prepared game. False when no
// window opens.
bool OpenGameWindow(int width, int height);
void CloseGameWindow();
