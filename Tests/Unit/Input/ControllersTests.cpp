// Controller slots, pad needs and rumble, driven by SDL's virtual joysticks.

#include "InputTestFixture.h"

#include <string>

struct RumbleLog
{
    int calls;
    Uint16 low, high;
};

static int RecordRumble(void* userdata, Uint16 low, Uint16 high)
{
    RumbleLog* log = static_cast<RumbleLog*>(userdata);
    log->calls++;
    log->low = low;
    log->high = high;
    return 0;
}

class ControllerTest : public InputTest
{
protected:
    RumbleLog rumbleLog = {};

    // Attaches a virtual gamepad with every standard button and axis; returns its device index.
    int AttachPad(const char* name)
    {
        SDL_VirtualJoystickDesc desc = {};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = name;
        desc.userdata = &rumbleLog;
        desc.Rumble = RecordRumble;
        int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(deviceIndex, 0) << SDL_GetError();
        return deviceIndex;
    }

    static SDL_Joystick* PadJoystick(int slot) { return SDL_GameControllerGetJoystick(GetController(slot)); }

    static void SetButton(int slot, SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(PadJoystick(slot), button, down ? 1 : 0);
    }

    static void SetAxis(int slot, SDL_GameControllerAxis axis, int value)
    {
        SDL_JoystickSetVirtualAxis(PadJoystick(slot), axis, Sint16(value));
    }
};

TEST_F(ControllerTest, RemovingTheFirstPadMovesTheSecondIntoSlotZero)
{
    testing::internal::CaptureStdout();
    int first = AttachPad("Pad One");
    AttachPad("Pad Two");
    PollInput();
    ASSERT_EQ(CountOpenControllers(), 2);
    SDL_JoystickID firstId = gControllers[0].joystickId;
    SDL_JoystickID secondId = gControllers[1].joystickId;

    SDL_JoystickDetachVirtual(first);
    PollInput();
    std::string log = testing::internal::GetCapturedStdout();

    EXPECT_EQ(CountOpenControllers(), 1);
    EXPECT_EQ(gControllers[0].joystickId, secondId);
    EXPECT_FALSE(gControllers[1].open);
    EXPECT_EQ(gControllers[1].joystickId, -1);
    EXPECT_EQ(SDL_GameControllerGetPlayerIndex(GetController(0)), 0);
    EXPECT_NE(log.find("Opened joystick " + std::to_string(firstId) + " as controller: Pad One\n"),
              std::string::npos);
    EXPECT_NE(
        log.find("Joystick " + std::to_string(firstId) + " was removed, was used by controller slot #0\n"),
        std::string::npos);
    EXPECT_NE(log.find("Remapped player controller 1 ---> 0\n"), std::string::npos);
}

TEST_F(ControllerTest, AThirdPadWaitsAndTakesAFreedSlot)
{
    testing::internal::CaptureStdout();
    int first = AttachPad("Pad One");
    AttachPad("Pad Two");
    AttachPad("Pad Three");
    PollInput();
    EXPECT_EQ(CountOpenControllers(), 2);

    SDL_JoystickDetachVirtual(first);
    PollInput();
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("All controller slots used up.\n"), std::string::npos);
    EXPECT_EQ(CountOpenControllers(), 2);
    EXPECT_STREQ(SDL_GameControllerName(GetController(0)), "Pad Two");
    EXPECT_STREQ(SDL_GameControllerName(GetController(1)), "Pad Three");
}

TEST_F(ControllerTest, ClosingAPadThatHasNoSlotChangesNothing)
{
    testing::internal::CaptureStdout();
    AttachPad("Pad One");
    PollInput();
    SDL_JoystickID held = gControllers[0].joystickId;

    CloseController(held + 100);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(CountOpenControllers(), 1);
    EXPECT_EQ(gControllers[0].joystickId, held);
}

TEST_F(ControllerTest, StickStrengthStartsAtTheDeadZone)
{
    testing::internal::CaptureStdout();
    AttachPad("Pad One");
    PollInput();

    // Half deflection steers (flight dead zone a third) but does not scroll a menu (two thirds).
    SetAxis(0, SDL_CONTROLLER_AXIS_LEFTY, -16384);
    PollInput();
    EXPECT_NEAR(GetNeedAnalogValue(kNeedUp, 0), (16384.0f - 10813.0f) / (32767.0f - 10813.0f), 1e-4f);
    EXPECT_EQ(GetNeedState(kNeedUp, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(GetNeedState(kNeedMenuUp, 0), KEYSTATE_UP);
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedDown, 0), 0.0f);
    EXPECT_LT(GetNeedAxis(kNeedUp, kNeedDown, 0), -0.25f);

    // Inside the flight dead zone nothing at all.
    SetAxis(0, SDL_CONTROLLER_AXIS_LEFTY, -10000);
    PollInput();
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedUp, 0), 0.0f);
    EXPECT_EQ(GetNeedState(kNeedUp, 0), KEYSTATE_RELEASED);

    // Full deflection, even the one step past 32767, is exactly full strength.
    SetAxis(0, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    PollInput();
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedUp, 0), 1.0f);
    EXPECT_EQ(GetNeedState(kNeedMenuUp, 0), KEYSTATE_PRESSED);
    testing::internal::GetCapturedStdout();
}

TEST_F(ControllerTest, KeyAndPadButtonServeOneNeed)
{
    testing::internal::CaptureStdout();
    AttachPad("Pad One");
    PollInput();

    SetButton(0, SDL_CONTROLLER_BUTTON_A, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_PRESSED);
    EXPECT_EQ(GetLastControllerForNeedAnyP(kNeedMenuConfirm), 0);
    SetButton(0, SDL_CONTROLLER_BUTTON_A, false);
    PollInput();
    PollInput();

    PushKey(SDL_SCANCODE_RETURN, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, -1), KEYSTATE_PRESSED);
    EXPECT_EQ(GetLastControllerForNeedAnyP(kNeedMenuConfirm), -1);
    EXPECT_EQ(GetNeedState(kNeedMenuConfirm, 0), KEYSTATE_PRESSED);
    testing::internal::GetCapturedStdout();
}

TEST_F(ControllerTest, PadOnSlotZeroMovesOnlyPlayerZeroInTwoPlayerGames)
{
    testing::internal::CaptureStdout();
    gNumPanes = 2;
    AttachPad("Pad One");
    PollInput();

    SetButton(0, SDL_CONTROLLER_BUTTON_X, true);
    PollInput();
    EXPECT_EQ(GetNeedState(kNeedFire, 0), KEYSTATE_PRESSED);
    EXPECT_EQ(GetNeedState(kNeedFire, 1), KEYSTATE_UP);
    EXPECT_FLOAT_EQ(GetNeedAnalogValue(kNeedFire, 1), 0.0f);
    testing::internal::GetCapturedStdout();
}

TEST_F(ControllerTest, MakeControllerSlotFirstSwapsPlayers)
{
    testing::internal::CaptureStdout();
    AttachPad("Pad One");
    AttachPad("Pad Two");
    PollInput();

    MakeControllerSlotFirst(-1);
    MakeControllerSlotFirst(0);
    EXPECT_STREQ(SDL_GameControllerName(GetController(0)), "Pad One");

    MakeControllerSlotFirst(1);
    EXPECT_STREQ(SDL_GameControllerName(GetController(0)), "Pad Two");
    EXPECT_EQ(SDL_GameControllerGetPlayerIndex(GetController(0)), 0);
    EXPECT_EQ(SDL_GameControllerGetPlayerIndex(GetController(1)), 1);
    testing::internal::GetCapturedStdout();
}

TEST_F(ControllerTest, RumbleFollowsTheIntensityPreference)
{
    testing::internal::CaptureStdout();
    AttachPad("Pad One");
    PollInput();
    testing::internal::GetCapturedStdout();

    gPrefs.rumbleIntensity = 0;
    Rumble(1.0f, 1.0f, 200, -1);
    EXPECT_EQ(rumbleLog.calls, 0);

    gPrefs.rumbleIntensity = 50;
    Rumble(1.0f, 0.5f, 200, 0);
    EXPECT_EQ(rumbleLog.calls, 1);
    EXPECT_EQ(rumbleLog.low, Uint16(1.0f * 0.5f * 65535.0f));
    EXPECT_EQ(rumbleLog.high, Uint16(0.5f * 0.5f * 65535.0f));
    EXPECT_FLOAT_EQ(gPlayerRumbleTime[0], 0.2f);

    // No controller on player 1: nothing happens there.
    Rumble(1.0f, 1.0f, 100, 1);
    EXPECT_EQ(rumbleLog.calls, 1);
}
