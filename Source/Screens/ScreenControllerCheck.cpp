// Before a two-player game: asks for the gamepads the players still lack. The last player may play
// on the keyboard; the cheat keys let a tester through without any gamepad.

#include "Screens/Screens.h"
#include "Screens/ScreensLocal.h"

#include "3D/Atlas.h"
#include "3D/OGL_Support.h"
#include "3D/TextMesh.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/StringIDs.h"
#include "Interface/Twitch.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Log.h"

#include <algorithm>

static constexpr uint32_t kAcceptRate = 43690; // the choice sound a little low
static constexpr int kTextSlot = 100;

enum
{
    kCheckGoesOn = 0,
    kCheckCancelled,
    kCheckAccepted,
};

static void SetUpCheckView()
{
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearScreen = true;
    setup.clearColor[0] = setup.clearColor[1] = setup.clearColor[2] = 0.22f; // the grey prompt shows on it
    setup.clearColor[3] = 1;
    setup.useFog = false;
    setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = 0.5f;
    for (float* color : setup.lightColor)
        color[0] = color[1] = color[2] = 0.5f;
    gNumPanes = 1;
    OGL_SetupGameView(&setup);
}

// The status line for the controllers still missing.
static void ShowMissingCount(ObjNode* status, int missing)
{
    const char* text = missing > 1    ? GetLocalizedString(STR_CONTROLLERS_MISSING)
                       : missing == 1 ? GetLocalizedString(STR_CONTROLLER_MISSING)
                                      : "OK";
    TextMesh_Update(text, 0, status);
}

static void Refuse(ObjNode* status)
{
    PlayEffect_Parms(EFFECT_BADSELECT, 64, 64, kNormalRate);
    MakeTwitch(status, kTwitchPreset_PadlockWiggle);
}

// One frame's keys: cancel, continue on the keyboard, refuse, or the tester's way through.
static int CheckKeys(ObjNode* status, int missing)
{
    if (missing <= 0)
        return kCheckAccepted;
    if (GetNeedState(kNeedMenuBack, -1) == KEYSTATE_PRESSED)
        return kCheckCancelled;
    bool enter = QueryKeyState(SDL_SCANCODE_RETURN) == KEYSTATE_PRESSED ||
                 QueryKeyState(SDL_SCANCODE_KP_ENTER) == KEYSTATE_PRESSED;
    if (enter) {
        if (missing == 1) {
            PlayEffect_Parms(EFFECT_MENUSELECT, kFullVolume, kFullVolume, kAcceptRate);
            return kCheckAccepted;
        }
        Refuse(status);
    } else if (GetNeedState(kNeedMenuConfirm, -1) == KEYSTATE_PRESSED) {
        Refuse(status); // a gamepad's confirm with players still lacking one
    }
    if (CheatKeysHeld()) {
        PlayEffect_Parms(EFFECT_CRYSTALSHATTER, kFullVolume, kFullVolume, kNormalRate);
        return kCheckAccepted;
    }
    return kCheckGoesOn;
}

bool CheckTwoPlayerControllers()
{
    const int needed = 2;
    if (CountOpenControllers() >= needed)
        return false;
    LogLine(kLogInfo, "Controller check shown");

    // 1. The view, the status and the prompt.
    SetUpCheckView();
    LoadSpriteAtlas(ATLAS_SLOT_SWISS, ":sprites:fonts:swiss", ATLAS_FONT);
    ObjNode* status = MakeScreenText("", 320, 240, 0.4f, kTextSlot);
    ObjNode* prompt =
        MakeScreenText(GetLocalizedString(STR_CONTROLLER_CHECK_PROMPT), 320, 460, 0.27f, kTextSlot);
    prompt->Tint = {0.5f, 0.5f, 0.5f, 1};
    MakeTwitch(prompt, kTwitchPreset_PressKeyPrompt);
    StartFade(kFadeFlags_In, 3);
    LockAllInputStates(); // the press that chose the game must not answer here

    // 2. Until enough controllers, a continue or a cancel.
    int result = kCheckGoesOn;
    int shownMissing = -1;
    while (result == kCheckGoesOn) {
        CalcFrameRate();
        PollInput();
        int missing = std::max(0, needed - CountOpenControllers()); // gamepads come and go
        if (missing != shownMissing)
            ShowMissingCount(status, missing);
        shownMissing = missing;
        result = CheckKeys(status, missing);
        MoveObjects();
        OGL_DrawScene(DrawObjectList);
    }

    // 3. Out, and everything it made goes.
    FadeOutAndWait(DrawObjectList, MoveObjects);
    DisposeAllObjects();
    DisposeAtlas(ATLAS_SLOT_SWISS);
    OGL_DisposeGameView();
    return result == kCheckCancelled;
}
