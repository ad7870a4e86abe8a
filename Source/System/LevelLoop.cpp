// The play loop: a frame's logic (LevelMove.cpp), then its drawing; the frame time measured after
// drawing scales the next frame.

#include "System/Level.h"

#include "3D/OGL_Support.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Player.h"
#include "Gameplay/TimeDemo.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Input.h"
#include "System/Log.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "System/ScriptedPlay.h"
#include "Tarnet/Files/StandardOutput.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <cstdio>

static constexpr int kScancodeF10 = 67;
static constexpr int kFrameRateHistorySamples = 8; // CalcFrameRate averages the last eight frames
static constexpr int kScancodeLeftGUI = 227;
static constexpr int kScancodeRightGUI = 231;

// While paused only the nodes that run when paused (the menu) move, and level time stands still.
static void RunPausedFrame()
{
    MoveObjects();
    CalcFrameRate();
    UpdateSuperTileWindows();
    OGL_DrawScene(DrawLevel);
    if (ShouldLeavePauseMenu())
        LeavePauseMenu();
}

// A level skip for testing: GUI+F10 decides the level at once.
static void CheckLevelSkipKeys()
{
    bool guiHeld =
        IsStateDown(QueryKeyState(kScancodeLeftGUI)) || IsStateDown(QueryKeyState(kScancodeRightGUI));
    if (guiHeld && QueryKeyState(kScancodeF10) == KEYSTATE_PRESSED)
        gLevelEnding = true;
}

static bool IsLevelOver()
{
    if (gLevelLost)
        return true;
    if (gLevelEnding) {
        gLevelEndTimer -= gFrameSeconds;
        return gLevelEndTimer <= 0;
    }
    return false;
}

static void UpdateDeathFades();

static void RunLevelFrame()
{
    uint64_t logicStart = gTimeDemoMode ? Tarnet::MicrosecondsNow() : 0;
    MoveLevelFrame();
    if (gTimeDemoMode)
        RecordTimeDemoLogic(Tarnet::MicrosecondsNow() - logicStart);
    OGL_DrawScene(DrawLevel);
    CalcFrameRate();

    gLevelFrames++;
    gLevelTime += gFrameSeconds;

    UpdateDeathFades();

    if (GetNeedState(kNeedPause, -1) == KEYSTATE_PRESSED)
        DoPauseMenu();

    CheckLevelSkipKeys();
}

// A dead player's pane fades out alone when the respawn timer runs out, and back in at the respawn.
static void UpdateDeathFades()
{
    uint32_t fadeOut, fadeIn;
    UpdatePlayerDeathTimers(&fadeOut, &fadeIn);
    for (int player = 0; player < gNumPanes; player++) {
        int paneOnly = kFadeFlags_P1Only << player;
        if (fadeOut & (1u << player))
            StartFade(paneOnly, 4);
        if (fadeIn & (1u << player))
            StartFade(kFadeFlags_In | paneOnly, 3);
    }
}

static uint32_t gTimeDemoStartTicks = 0;

void BeginLevelPlay()
{
    PollInput();
    // A scripted game's level frames poll once each from here on: a level's own script, shifted by
    // this frame, plays the level inside the game.
    if (ScriptedGameFrame() >= 0)
        LogLine(kLogInfo, "Level %d starts at script frame %d", gLevelIndex + 1, ScriptedGameFrame());
    // Twice, so the first measured frame does not include the loading time. The time demo fills the
    // whole history with its fixed 40 instead, so that rates measured before it cannot reach its
    // first frames and every run moves exactly alike.
    int samples = gTimeDemoMode ? kFrameRateHistorySamples : 2;
    for (int i = 0; i < samples; i++)
        CalcFrameRate();
    StartFade(kFadeFlags_In, 1);
    gTimeDemoStartTicks = gTimeDemoMode ? Tarnet::TickCount() : 0;
    if (gTimeDemoMode)
        BeginTimeDemoReport();
    SetMouseCapture(true);
}

bool PlayLevelFrame()
{
    PollInput();
    if (gPaused) {
        RunPausedFrame();
        return true;
    }
    RunLevelFrame();
    if (gTimeDemoMode) {
        RecordTimeDemoFrame();
        if (IsTimeDemoFrameLimitReached(gLevelFrames))
            return false;
    }
    return !IsLevelOver();
}

void FinishLevelPlay()
{
    SetMouseCapture(false);
    if (gFadeLevel > 0) {
        gGameViewInfoPtr->fadeSound = true;
        FadeOutAndWait(DrawLevel, UpdateSuperTileWindows);
    }

    if (gTimeDemoMode) {
        float seconds = float(Tarnet::TickCount() - gTimeDemoStartTicks) / 60.0f;
        ShowTimeDemoResults(gLevelFrames, seconds, float(gLevelFrames) / seconds);
        if (!DoesTimeDemoSoakGoOn())
            Tarnet::ExitToShell(); // the demo ends the program; its results are all that matter
    }
}

void RunLevelLoop()
{
    BeginLevelPlay();
    while (PlayLevelFrame()) {
    }
    FinishLevelPlay();
}

void BeginLevelEnd(float seconds)
{
    if (gLevelEnding)
        return;
    gLevelEndTimer = seconds;
    gLevelEnding = true;
}

void DrawLevel()
{
    // In stereo each pane's camera mode sets the eye spacing and focus distance.
    if (gPrefs.stereoMode != 0 && gCurrentPane < gNumPanes && gCurrentPane < MAX_PLAYERS) {
        switch (gCameraMode[gCurrentPane]) {
        case CAMERA_MODE_CHASE:
            gStereoEyeSpacing = gPrefs.stereoMode == 3 ? 45.0f : 35.0f;
            gStereoFocusDistance = gPrefs.stereoMode == 3 ? 280.0f : 260.0f;
            break;
        case CAMERA_MODE_COCKPIT:
            gStereoEyeSpacing = 80;
            gStereoFocusDistance = 300;
            break;
        default:
            gStereoEyeSpacing = 50;
            gStereoFocusDistance = 700;
            break;
        }
    }
    DrawObjectList();
}

// With "--timedemo" the results go to standard output followed by the frame-time report, and the
// alert, which waits for a click, is left out when nobody is at a terminal to click it.
void ShowTimeDemoResults(int32_t frames, float seconds, float framesPerSecond)
{
    char text[512];
    std::snprintf(text, sizeof(text), "%s:\nFrames: %d\nTime: %f\nAverage FPS: %f\nPeak #Objs: %d",
                  "ShowTimeDemoResults", frames, double(seconds), double(framesPerSecond), gPeakNodeCount);
    bool atTerminal = Tarnet::IsStandardOutputATerminal();
    if (!gTimeDemoRequested || atTerminal)
        ShowAlert("%s", text);
    else
        std::printf("%s\n", text);
    if (gTimeDemoRequested)
        PrintTimeDemoReport(stdout, frames, seconds);
}
