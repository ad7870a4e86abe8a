// The default bindings of every need, and the resets of the controls menus.

#include "System/Input.h"

#include "System/Prefs.h"

static constexpr PadBinding kNone = {kPadBindingNone, 0};

static constexpr PadBinding Button(SDL_GameControllerButton button)
{
    return {kPadBindingButton, uint8_t(button)};
}

static constexpr PadBinding AxisPlus(SDL_GameControllerAxis axis)
{
    return {kPadBindingAxisPlus, uint8_t(axis)};
}

static constexpr PadBinding AxisMinus(SDL_GameControllerAxis axis)
{
    return {kPadBindingAxisMinus, uint8_t(axis)};
}

static constexpr SDL_GameControllerAxis kLeftX = SDL_CONTROLLER_AXIS_LEFTX;
static constexpr SDL_GameControllerAxis kLeftY = SDL_CONTROLLER_AXIS_LEFTY;

// clang-format off
const InputBinding kDefaultInputBindings[NUM_CONTROL_NEEDS] = {
    // kNeedUp
    {{SDL_SCANCODE_UP, SDL_SCANCODE_W}, {AxisMinus(kLeftY), Button(SDL_CONTROLLER_BUTTON_DPAD_UP)}, 0, 0},
    // kNeedDown
    {{SDL_SCANCODE_DOWN, SDL_SCANCODE_S}, {AxisPlus(kLeftY), Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN)}, 0, 0},
    // kNeedLeft
    {{SDL_SCANCODE_LEFT, SDL_SCANCODE_A}, {AxisMinus(kLeftX), Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT)}, 0, 0},
    // kNeedRight
    {{SDL_SCANCODE_RIGHT, SDL_SCANCODE_D}, {AxisPlus(kLeftX), Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)}, 0, 0},
    // kNeedFire
    {{SDL_SCANCODE_SPACE}, {Button(SDL_CONTROLLER_BUTTON_X)}, kMouseButtonLeft, 0},
    // kNeedDropEgg
    {{SDL_SCANCODE_LALT, SDL_SCANCODE_RALT}, {Button(SDL_CONTROLLER_BUTTON_Y)}, 0, 0},
    // kNeedPrevWeapon
    {{SDL_SCANCODE_RCTRL}, {Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER)}, kMouseWheelUp, 0},
    // kNeedNextWeapon
    {{SDL_SCANCODE_LCTRL}, {Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER), Button(SDL_CONTROLLER_BUTTON_B)},
     kMouseWheelDown, 0},
    // kNeedBoost
    {{SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT}, {Button(SDL_CONTROLLER_BUTTON_A)}, kMouseButtonRight, 0},
    // kNeedCameraMode
    {{SDL_SCANCODE_TAB}, {Button(SDL_CONTROLLER_BUTTON_LEFTSTICK)}, kMouseButtonMiddle, 0},
    // kNeedSpare
    {{}, {kNone}, 0, 0},
    // kNeedMenuUp
    {{SDL_SCANCODE_UP, SDL_SCANCODE_W}, {Button(SDL_CONTROLLER_BUTTON_DPAD_UP), AxisMinus(kLeftY)}, 0, 0},
    // kNeedMenuDown
    {{SDL_SCANCODE_DOWN, SDL_SCANCODE_S}, {Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN), AxisPlus(kLeftY)}, 0, 0},
    // kNeedMenuLeft
    {{SDL_SCANCODE_LEFT, SDL_SCANCODE_A},
     {Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT), AxisMinus(kLeftX), Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER)}, 0, 0},
    // kNeedMenuRight
    {{SDL_SCANCODE_RIGHT, SDL_SCANCODE_D},
     {Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), AxisPlus(kLeftX), Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER)}, 0, 0},
    // kNeedMenuConfirm
    {{SDL_SCANCODE_RETURN, SDL_SCANCODE_SPACE, SDL_SCANCODE_KP_ENTER}, {Button(SDL_CONTROLLER_BUTTON_A)}, 0, 0},
    // kNeedMenuDelete
    {{SDL_SCANCODE_DELETE, SDL_SCANCODE_BACKSPACE}, {Button(SDL_CONTROLLER_BUTTON_X)}, 0, 0},
    // kNeedMenuStart
    {{}, {Button(SDL_CONTROLLER_BUTTON_START)}, 0, 0},
    // kNeedMenuBack
    {{SDL_SCANCODE_ESCAPE, SDL_SCANCODE_BACKSPACE},
     {Button(SDL_CONTROLLER_BUTTON_B), Button(SDL_CONTROLLER_BUTTON_BACK)}, kMouseButton4, 0},
    // kNeedPause
    {{SDL_SCANCODE_ESCAPE}, {Button(SDL_CONTROLLER_BUTTON_START)}, 0, 0},
};
// clang-format on

void RestoreDefaultKeys()
{
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
        for (int i = 0; i < 4; i++)
            gPrefs.bindings[need].key[i] = kDefaultInputBindings[need].key[i];
    }
}

void RestoreDefaultPadBindings()
{
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
        for (int i = 0; i < 4; i++)
            gPrefs.bindings[need].pad[i] = kDefaultInputBindings[need].pad[i];
    }
    gPrefs.rumbleIntensity = 100;
}

void RestoreDefaultMouseBindings()
{
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++)
        gPrefs.bindings[need].mouseButton = kDefaultInputBindings[need].mouseButton;
    gPrefs.mouseSensitivity = 100;
}
