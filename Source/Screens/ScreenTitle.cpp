// The title splash: the game's name, its version and the notices, for ten seconds or until skipped.

#include "Screens/Screens.h"
#include "Screens/ScreensLocal.h"

#include "3D/Atlas.h"
#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Log.h"

static constexpr float kSplashSeconds = 10;
static constexpr float kSplashTextScale = 0.19f;
static constexpr float kSplashFirstLineY = 120;
static constexpr float kSplashLinePitch = 20;

// Null entries take a line each and show nothing.
static const char* const kSplashLines[] = {
    "Quorvel II:  Drellin",
    "\v2.1.0\r",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "www.quorvel.example.org",
    "forum.quorvel.example.org",
    "Quorvel 2 comes with no warranty; see the licence that came with it.",
};

void ShowTitleSplash()
{
    LogLine(kLogInfo, "Title splash shown");
    // 1. The view and the text.
    SetUpScreenView(10, 3000, 1.2f);
    LoadSpriteAtlas(ATLAS_SLOT_SWISS, ":sprites:fonts:swiss", ATLAS_FONT);
    float y = kSplashFirstLineY;
    for (const char* line : kSplashLines) {
        if (line)
            MakeScreenText(line, 320, y, kSplashTextScale, 100);
        y += kSplashLinePitch;
    }

    // 2. Until the time is up or a press skips it.
    StartFade(kFadeFlags_In, 2);
    for (float timeLeft = kSplashSeconds; timeLeft > 0;) {
        RunScreenFrame();
        timeLeft -= gFrameSeconds;
        if (AnySkipPressed() || GetMouseButtonState(kMouseButtonLeft) == KEYSTATE_PRESSED)
            break;
    }

    // 3. Out, and everything it made goes.
    FadeOutAndWait(DrawObjectList, MoveObjects);
    DisposeAllObjects();
    DisposeAtlas(ATLAS_SLOT_SWISS);
    OGL_DisposeGameView();
}
