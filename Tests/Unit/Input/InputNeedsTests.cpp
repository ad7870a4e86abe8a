// Need states driven through the real SDL event queue, frame by frame.

#include "InputTestFixture.h"

#include "Support/AlertCapture.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

TEST_F(InputTest, KeyNeedWalksThroughPressedHeldReleasedUp)
{
    PushKey(SDL_SCANCODE_SPACE, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(QueryKeyState(SDL_SCANCODE_SPACE), KEYSTATE_PRESSED);

    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_HELD);

    PushKey(SDL_SCANCODE_SPACE, false);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_RELEASED);

    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_UP);
}

TEST_F(InputTest, KeyPressedAndReleasedBetweenPollsIsNotSeen)
{
    PushKey(SDL_SCANCODE_SPACE, true);
    PushKey(SDL_SCANCODE_SPACE, false);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_UP);
}

TEST_F(InputTest, PressStillDownWhenAScreenLocksDoesNotActTwice)
{
    PushKey(SDL_SCANCODE_RETURN, true);
    PollInput();
    ASSERT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_PRESSED);

    LockAllInputStates(); // the new screen opens with Return still down
    PollInput();
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_LOCKED);
    EXPECT_FALSE(IsStateDown(GetNeedState(kNeedMenuConfirm, -1)));

    PushKey(SDL_SCANCODE_RETURN, false);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_UP);

    PushKey(SDL_SCANCODE_RETURN, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_PRESSED);
}

TEST_F(InputTest, LockNeedLocksOnlyThatNeed)
{
    PushKey(SDL_SCANCODE_ESCAPE, true);
    PollInput();
    LockNeed(kNeedPause);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedPause, 0), KEYSTATE_LOCKED);
    EXPECT_EQ(GetNeedState(kNeedMenuBack, 0), KEYSTATE_HELD);
}

TEST_F(InputTest, FlightAndMenuNeedsSharingAKeyBothReport)
{
    PushKey(SDL_SCANCODE_W, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedUp, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(GetNeedState(kNeedMenuUp, 0), KEYSTATE_PRESSED);
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedUp, 0), 1.0f);
    EXPECT_FLOAT_EQ(GetNeedAxis(kNeedUp, kNeedDown, 0), -1.0f);
}

TEST_F(InputTest, AltEnterNeedsAltAlreadyHeldAndLocksTheReturn)
{
    gPrefs.fullscreen = 1;

    // Both in the same frame: Alt is only just pressed, so nothing toggles.
    PushKey(SDL_SCANCODE_LALT, true);
    PushKey(SDL_SCANCODE_RETURN, true);
    PollInput();
    EXPECT_EQ(gPrefs.fullscreen, 1);
    PushKey(SDL_SCANCODE_RETURN, false);
    PollInput();
    PollInput();

    // Return while Alt is held toggles, and the Return does not also confirm.
    PushKey(SDL_SCANCODE_RETURN, true);
    PollInput();
    EXPECT_EQ(gPrefs.fullscreen, 0);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_LOCKED);
}

TEST_F(InputTest, MouseButtonsAndWheelDriveTheirNeeds)
{
    PushMouseButton(SDL_BUTTON_LEFT, true);
    PushWheel(0, 1);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(GetNeedState(kNeedPrevWeapon, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(GetMouseButtonState(kMouseWheelUp), KEYSTATE_PRESSED);

    // A wheel notch lasts one frame; the button stays down until released.
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedPrevWeapon, 0), KEYSTATE_RELEASED);
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_HELD);

    PushWheel(0, -2);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedNextWeapon, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(GetMouseButtonState(99), KEYSTATE_UP);
}

TEST_F(InputTest, KeyboardBelongsToTheLastPlayerInTwoPlayerGames)
{
    gNumPanes = 2;
    PushKey(SDL_SCANCODE_SPACE, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_UP);
    EXPECT_EQ(GetNeedState(kNeedFire, 1), KEYSTATE_PRESSED);
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedFire, 0), 0.0f);
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedFire, 1), 1.0f);
    EXPECT_EQ(GetNeedState(kNeedFire, -1), KEYSTATE_PRESSED);
    EXPECT_EQ(GetLastControllerForNeedAnyP(kNeedFire), -1);
}

TEST_F(InputTest, RebindingAKeyMovesTheNeed)
{
    gPrefs.bindings[kNeedFire].key[0] = SDL_SCANCODE_F;
    PushKey(SDL_SCANCODE_F, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_PRESSED);

    RestoreDefaultKeys();
    EXPECT_EQ(gPrefs.bindings[kNeedFire].key[0], SDL_SCANCODE_SPACE);
}

TEST_F(InputTest, SkipWaitsForTheFadeIn)
{
    PushMouseButton(SDL_BUTTON_LEFT, true);
    PollInput();
    gFadeLevel = 0.5f;
    EXPECT_FALSE(AnySkipPressed());
    gFadeLevel = 1.0f;
    EXPECT_TRUE(AnySkipPressed());
}

TEST_F(InputTest, CheatNeedsEveryKeyOfACombinationHeld)
{
    PushKey(SDL_SCANCODE_B, true);
    PushKey(SDL_SCANCODE_U, true);
    PollInput();
    PollInput();
    EXPECT_FALSE(CheatKeysHeld());
    PushKey(SDL_SCANCODE_G, true);
    PollInput();
    EXPECT_FALSE(CheatKeysHeld()); // G only just pressed
    PollInput();
    EXPECT_TRUE(CheatKeysHeld());
}

TEST_F(InputTest, OutOfRangeQueriesAreFatalAssertions)
{
    EXPECT_EQ(FatalAlertMessageOf([] { GetNeedState(kNeedFire, 2); }),
              "GetNeedState:439: playerID < MAX_LOCAL_PLAYERS");
    EXPECT_EQ(FatalAlertMessageOf([] { GetNeedState(NUM_CONTROL_NEEDS, 0); }),
              "GetNeedState:441: needID < NUM_CONTROL_NEEDS");
    EXPECT_EQ(FatalAlertMessageOf([] { GetNeedState(-1, -1); }), "GetNeedState:440: needID >= 0");
    EXPECT_EQ(FatalAlertMessageOf([] { GetNeedAnalogValue(kNeedFire, -2); }),
              "GetNeedAnalogValue:492: playerID >= 0");
    EXPECT_EQ(FatalAlertMessageOf([] { GetLastControllerForNeedAnyP(20); }),
              "GetLastControllerForNeedAnyP:466: needID < NUM_CONTROL_NEEDS");
    EXPECT_EQ(QueryKeyState(600), KEYSTATE_UP);
}

TEST_F(InputTest, QuitEventEndsTheGame)
{
    ScopedAlertCapture capture;
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_THROW(PollInput(), Tarnet::QuitRequest);
}

TEST_F(InputTest, WindowCloseEndsTheGame)
{
    ScopedAlertCapture capture;
    SDL_Event close = {};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);
    EXPECT_THROW(PollInput(), Tarnet::QuitRequest);
}

TEST_F(InputTest, MouseDeltaIsSampledAtMostSixtyTimesASecond)
{
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 5;
    motion.motion.yrel = -3;
    SDL_PushEvent(&motion);
    PollInput();
    EXPECT_TRUE(gMouseMotionNow);

    gFrameSeconds = 1.0f / 30.0f;
    SDL_FPoint delta = GetMouseDelta();
    EXPECT_FLOAT_EQ(delta.x, 5.0f);
    EXPECT_FLOAT_EQ(delta.y, -3.0f);

    // A 240 fps frame is too short for a new sample: the last one stands.
    motion.motion.xrel = 7;
    SDL_PushEvent(&motion);
    PollInput();
    gFrameSeconds = 1.0f / 240.0f;
    EXPECT_FLOAT_EQ(GetMouseDelta().x, 5.0f);

    // The next sample carries the motion that waited, and then there is none.
    gFrameSeconds = 1.0f / 60.0f;
    EXPECT_FLOAT_EQ(GetMouseDelta().x, 7.0f);
    EXPECT_FLOAT_EQ(GetMouseDelta().x, 0.0f);
}

TEST_F(InputTest, F8StepsTheDiagnosticDisplayOncePerPressAndWrapsAround)
{
    gDebugMode = 0;
    for (int press = 1; press <= NUM_DEBUG_MODES; press++) {
        PushKey(SDL_SCANCODE_F8, true);
        PollInput();
        PollInput(); // held: no second step
        EXPECT_EQ(gDebugMode, press % NUM_DEBUG_MODES);
        PushKey(SDL_SCANCODE_F8, false);
        PollInput();
    }
}
