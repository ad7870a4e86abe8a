// Whole levels played through the level harness on the generated data: every level starts, plays,
// pauses and ends, and gives back everything it took (memory blocks, models, textures, pool space),
// however often it is started.

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Interface/Menu.h"
#include "Objects/ObjNode.h"
#include "Support/GameWindowTest.h"
#include "Support/TempFolder.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Memory.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

static int gWorstStateStackDepth = 0;

static void RecordStateStackDepth(int)
{
    gWorstStateStackDepth = std::max(gWorstStateStackDepth, OGL_GetStateStackDepth());
}

static void PushKey(SDL_Scancode scancode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    SDL_PushEvent(&event);
}

// A player who flies forward, fires now and then, and pauses once for a moment.
static void ScriptedPlayer(int frame)
{
    PushKey(SDL_SCANCODE_UP, frame % 40 < 30);
    PushKey(SDL_SCANCODE_SPACE, frame % 25 == 0);
    if (frame == 60 || frame == 61)
        PushKey(SDL_SCANCODE_ESCAPE, frame == 60);
    // The pause menu reads input once it has faded in: Esc every tenth frame until it has gone.
    if (frame >= 70 && frame % 10 <= 1)
        PushKey(SDL_SCANCODE_ESCAPE, frame % 10 == 0 && gPaused);
}

using LevelCycleTest = GameWindowTest;

struct LevelRun
{
    int levelIndex;
    int16_t playMode;
    int numPanes;
    int splitScreenMode;
};

static std::string DescribeRun(const LevelRun& run)
{
    return "level " + std::to_string(run.levelIndex) + " with " + std::to_string(run.numPanes) +
           " pane(s), layout " + std::to_string(run.splitScreenMode);
}

TEST_F(LevelCycleTest, EveryLevelPlaysInItsModeAndGivesBackEverythingItTookThreeTimesOver)
{
    const LevelRun runs[] = {
        {0, kPlayMode_Adventure, 1, 2},      {1, kPlayMode_Adventure, 1, 2},
        {2, kPlayMode_Adventure, 1, 2},      {3, kPlayMode_Race, 2, 1},
        {4, kPlayMode_Race, 2, 2},           {5, kPlayMode_Battle, 2, 1},
        {6, kPlayMode_Battle, 2, 2},         {7, kPlayMode_CaptureTheFlag, 2, 1},
        {8, kPlayMode_CaptureTheFlag, 2, 2},
    };
    constexpr int kStartsPerLevel = 3; // a leak small enough to hide once shows as a drift
    constexpr int kFramesOfFirstStart = 150, kFramesOfLaterStarts = 10;

    // A fixed frame time: at the frame rates of a slow build the scripted players would fly far
    // enough to lose every life and end a battle early.
    gFixedFrameSeconds = 1.0f / 60;
    for (const LevelRun& run : runs) {
        int32_t blocksBefore = gLiveBlockCount;
        int64_t bytesBefore = gLiveBlockBytes;
        int metaObjectsBefore = gNumMetaObjects;
        int32_t texturesBefore = gLiveTextureCount;

        for (int start = 1; start <= kStartsPerLevel; start++) {
            SCOPED_TRACE(DescribeRun(run) + ", start " + std::to_string(start));
            int frames = start == 1 ? kFramesOfFirstStart : kFramesOfLaterStarts;
            HarnessStartLevel(run.levelIndex, run.playMode, run.numPanes, run.splitScreenMode);
            EXPECT_EQ(gNumPanes, run.numPanes);
            gWorstStateStackDepth = 0;
            EXPECT_EQ(HarnessPlayFrames(frames, ScriptedPlayer, RecordStateStackDepth), frames);
            EXPECT_EQ(gWorstStateStackDepth, 0) << "the render state stack is unbalanced after a frame";
            EXPECT_FALSE(gPaused);
            HarnessEndLevel();

            EXPECT_EQ(gLiveBlockCount, blocksBefore);
            EXPECT_EQ(gLiveBlockBytes, bytesBefore);
            EXPECT_EQ(gNumMetaObjects, metaObjectsBefore);
            EXPECT_EQ(gLiveTextureCount, texturesBefore);
            EXPECT_EQ(gVertexArrayBytesForgotten, 0);
            EXPECT_EQ(gNumPanes, 1);
            EXPECT_EQ(gPlayMode, kPlayMode_Adventure);
        }
    }
    gFixedFrameSeconds = 0;
}

static WindowPixels gLastFrame;

static void CaptureAfterOverlay()
{
    DrawLevel();
    if (gCurrentPane == gNumPanes)
        gLastFrame = ReadBackBuffer();
}

TEST_F(LevelCycleTest, FirstLevelShowsTheForestSkyAboveLitTerrain)
{
    HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
    HarnessPlayFrames(60, nullptr, nullptr); // past the fade-in
    OGL_DrawScene(CaptureAfterOverlay);
    HarnessEndLevel();

    // Above, the forest's violet-blue sky; below the horizon, lit ground.
    Rgba top = gLastFrame.MeanOf(0, 0, gLastFrame.width, gLastFrame.height / 8);
    EXPECT_GT(top.b, 90) << "the sky is missing";
    EXPECT_GT(top.b, top.g);
    Rgba ground = gLastFrame.MeanOf(0, gLastFrame.height * 3 / 4, gLastFrame.width, gLastFrame.height);
    int difference = std::abs(ground.r - top.r) + std::abs(ground.g - top.g) + std::abs(ground.b - top.b);
    EXPECT_GT(difference, 40) << "the lower part of the view should show terrain, not fog";
}

TEST_F(LevelCycleTest, PauseFreezesLevelTimeAndOnlyPauseScreenNodesMove)
{
    HarnessStartLevel(3, kPlayMode_Race, 2, 2);
    HarnessPlayFrames(5, nullptr, nullptr);

    DoPauseMenu();
    ASSERT_TRUE(gPaused);
    float timeAtPause = gLevelTime;
    int32_t framesAtPause = gLevelFrames;
    HarnessPlayFrames(10, nullptr, nullptr);
    for (int i = 0; i < 200 && GetMenuState() != kMenuState_Ready; i++)
        HarnessPlayFrames(1, nullptr, nullptr);
    EXPECT_EQ(gLevelTime, timeAtPause);
    EXPECT_EQ(gLevelFrames, framesAtPause);

    // The pause need resumes play.
    HarnessPlayFrames(
        2, [](int frame) { PushKey(SDL_SCANCODE_ESCAPE, frame == 0); }, nullptr);
    EXPECT_FALSE(gPaused);
    HarnessPlayFrames(5, nullptr, nullptr);
    EXPECT_GT(gLevelTime, timeAtPause);
    HarnessEndLevel();
}

TEST_F(LevelCycleTest, LevelEndsWhenItsEndTimerRunsOutAndASecondEndDoesNotRestartIt)
{
    HarnessStartLevel(5, kPlayMode_Battle, 2, 1);
    BeginLevelEnd(0.5f);
    HarnessPlayFrames(3, nullptr, nullptr);
    float remaining = gLevelEndTimer;
    BeginLevelEnd(10.0f);
    EXPECT_EQ(gLevelEndTimer, remaining);

    // At most 1/13 s a frame, half a second takes at most seven frames... and at least a few.
    int played = HarnessPlayFrames(200, nullptr, nullptr);
    EXPECT_LT(played, 200);
    HarnessEndLevel();
}

TEST_F(LevelCycleTest, LevelSkipKeysDecideTheLevel)
{
    HarnessStartLevel(7, kPlayMode_CaptureTheFlag, 2, 2);
    HarnessPlayFrames(
        3,
        [](int frame) {
            PushKey(SDL_SCANCODE_LGUI, true);
            PushKey(SDL_SCANCODE_F10, frame == 1);
        },
        nullptr);
    EXPECT_TRUE(gLevelEnding);
    PushKey(SDL_SCANCODE_LGUI, false);
    HarnessEndLevel();
}

TEST_F(LevelCycleTest, LoadingBarWaitsTwoHundredMillisecondsAndStaysBehindTheLoad)
{
    HarnessStartLevel(4, kPlayMode_Race, 2, 2);
    ShowLoadingProgress(0);
    ShowLoadingProgress(0.5f);
    EXPECT_FALSE(IsLoadingBarShown()) << "a load that is quick so far shows no bar";

    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    ShowLoadingProgress(0.5f);
    EXPECT_FALSE(IsLoadingBarShown()) << "250 ms for half the load is on schedule";
    ShowLoadingProgress(0.1f);
    EXPECT_TRUE(IsLoadingBarShown()) << "250 ms for a tenth of the load is slow enough to show";
    HarnessEndLevel();
}
