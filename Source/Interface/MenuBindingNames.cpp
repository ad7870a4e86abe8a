// The names the controls pages show for keys, gamepad inputs and mouse inputs.

#include "Interface/Menu.h"

#include "Interface/LocalizedStrings.h"
#include "Interface/StringIDs.h"
#include "System/Input.h"

#include <SDL.h>
#include <cstdio>

struct KeyName
{
    int16_t scancode;
    const char* name;
};

// Keys whose system name is a symbol that reads badly in the menu font.
static const KeyName kKeyNames[] = {
    {45, "Dash"},         {46, "Equals"},      {47, "Left Bracket"},  {48, "Right Bracket"},
    {49, "Backslash"},    {51, "Semicolon"},   {52, "Apostrophe"},    {53, "Backtick"},
    {55, "Period"},       {56, "Slash"},       {84, "Keypad Slash"},  {85, "Keypad Star"},
    {86, "Keypad Minus"}, {87, "Keypad Plus"}, {99, "Keypad Period"}, {100, "ISO Extra Key"},
};

void GetKeyBindingName(int16_t scancode, char* text, size_t capacity)
{
    if (scancode <= 0 || scancode >= NUM_KEY_STATES) {
        std::snprintf(text, capacity, "%s", GetLocalizedString(STR_BINDING_NONE));
        return;
    }
    for (const KeyName& key : kKeyNames) {
        if (key.scancode == scancode) {
            std::snprintf(text, capacity, "%s", key.name);
            return;
        }
    }
    const char* name = SDL_GetScancodeName(SDL_Scancode(scancode));
    std::snprintf(text, capacity, "%s", name && name[0] ? name : GetLocalizedString(STR_NONE));
}

static int AxisStringId(uint8_t axis, bool positive)
{
    static const int kPositive[6] = {STR_LEFT_STICK_RIGHT, STR_LEFT_STICK_DOWN, STR_RIGHT_STICK_RIGHT,
                                     STR_RIGHT_STICK_DOWN, STR_LEFT_TRIGGER,    STR_RIGHT_TRIGGER};
    static const int kNegative[6] = {STR_LEFT_STICK_LEFT, STR_LEFT_STICK_UP, STR_RIGHT_STICK_LEFT,
                                     STR_RIGHT_STICK_UP,  STR_LEFT_TRIGGER,  STR_RIGHT_TRIGGER};
    if (axis >= 6)
        return -1;
    return positive ? kPositive[axis] : kNegative[axis];
}

void GetPadBindingName(uint8_t type, uint8_t id, char* text, size_t capacity)
{
    switch (type) {
    case kPadBindingNone:
        std::snprintf(text, capacity, "%s", GetLocalizedString(STR_BINDING_NONE));
        return;
    case kPadBindingButton: {
        if (id <= 3) {
            std::snprintf(text, capacity, "%s", GetLocalizedString(STR_PAD_BUTTON_A + id));
        } else if (id >= 7 && id <= 14) {
            std::snprintf(text, capacity, "%s", GetLocalizedString(STR_PAD_LEFT_STICK_CLICK + id - 7));
        } else {
            const char* name = SDL_GameControllerGetStringForButton(SDL_GameControllerButton(id));
            std::snprintf(text, capacity, "%s", name ? name : GetLocalizedString(STR_NONE));
        }
        return;
    }
    case kPadBindingAxisPlus:
    case kPadBindingAxisMinus: {
        int stringId = AxisStringId(id, type == kPadBindingAxisPlus);
        if (stringId >= 0) {
            std::snprintf(text, capacity, "%s", GetLocalizedString(stringId));
        } else {
            const char* name = SDL_GameControllerGetStringForAxis(SDL_GameControllerAxis(id));
            std::snprintf(text, capacity, "%s", name ? name : GetLocalizedString(STR_NONE));
        }
        return;
    }
    default:
        std::snprintf(text, capacity, "???");
        return;
    }
}

void GetMouseBindingName(uint8_t mouseInput, char* text, size_t capacity)
{
    int stringId;
    switch (mouseInput) {
    case 0:
        stringId = STR_BINDING_NONE;
        break;
    case kMouseButtonLeft:
        stringId = STR_MOUSE_LEFT;
        break;
    case kMouseButtonMiddle:
        stringId = STR_MOUSE_MIDDLE;
        break;
    case kMouseButtonRight:
        stringId = STR_MOUSE_RIGHT;
        break;
    case kMouseWheelLeft:
        stringId = STR_WHEEL_LEFT;
        break;
    case kMouseWheelRight:
        stringId = STR_WHEEL_RIGHT;
        break;
    case kMouseWheelUp:
        stringId = STR_WHEEL_UP;
        break;
    case kMouseWheelDown:
        stringId = STR_WHEEL_DOWN;
        break;
    default:
        std::snprintf(text, capacity, "%s %d", GetLocalizedString(STR_MOUSE_BUTTON), int(mouseInput));
        return;
    }
    std::snprintf(text, capacity, "%s", GetLocalizedString(stringId));
}
