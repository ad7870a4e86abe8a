// The queries the game asks of the input states, and the locks that keep one press from acting
// twice.

#include "System/InputLocal.h"

#include "System/Alerts.h"
#include "System/ProgramState.h"

int GetKeyboardPlayer()
{
    return gNumPanes - 1;
}

uint8_t QueryKeyState(int scancode)
{
    if (scancode < 0 || scancode >= NUM_KEY_STATES)
        return KEYSTATE_UP;
    return gKeyStates[scancode];
}

uint8_t GetMouseButtonState(int n)
{
    if (n < 0 || n >= NUM_MOUSE_STATES)
        return KEYSTATE_UP;
    return gMouseStates[n];
}

// Scripted play: the script's value of each need per player, and the states advanced from them.
static bool gNeedsScripted = false;
static float gScriptedNeedValue[MAX_LOCAL_PLAYERS][NUM_CONTROL_NEEDS];
static uint8_t gScriptedNeedState[MAX_LOCAL_PLAYERS][NUM_CONTROL_NEEDS];

void SetNeedsScripted(bool on)
{
    gNeedsScripted = on;
    for (int player = 0; player < MAX_LOCAL_PLAYERS; player++) {
        for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
            gScriptedNeedValue[player][need] = 0;
            gScriptedNeedState[player][need] = KEYSTATE_UP;
        }
    }
}

bool AreNeedsScripted()
{
    return gNeedsScripted;
}

void SetScriptedNeedValue(int player, int need, float value)
{
    if (player >= 0 && player < MAX_LOCAL_PLAYERS && need >= 0 && need < NUM_CONTROL_NEEDS)
        gScriptedNeedValue[player][need] = value;
}

void AdvanceScriptedNeedStates()
{
    if (!gNeedsScripted)
        return;
    for (int player = 0; player < MAX_LOCAL_PLAYERS; player++) {
        for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
            uint8_t& state = gScriptedNeedState[player][need];
            state = AdvanceInputState(state, gScriptedNeedValue[player][need] > 0);
        }
    }
}

// The scripted answer; player -1 asks both players, player 0 first.
static uint8_t ScriptedNeedState(int need, int player)
{
    if (need < 0 || need >= NUM_CONTROL_NEEDS || player >= MAX_LOCAL_PLAYERS)
        return KEYSTATE_UP;
    if (player >= 0)
        return gScriptedNeedState[player][need];
    uint8_t first = gScriptedNeedState[0][need];
    return first != KEYSTATE_UP ? first : gScriptedNeedState[1][need];
}

static float ScriptedNeedAnalog(int need, int player)
{
    if (need < 0 || need >= NUM_CONTROL_NEEDS || player >= MAX_LOCAL_PLAYERS)
        return 0;
    if (player >= 0)
        return gScriptedNeedValue[player][need];
    float first = gScriptedNeedValue[0][need];
    return first != 0 ? first : gScriptedNeedValue[1][need];
}

uint8_t GetNeedState(int need, int player)
{
    if (gNeedsScripted)
        return ScriptedNeedState(need, player);
    if (player == -1) {
        // An out-of-range need would index past every table below.
        if (need < 0)
            FatalAssertion("GetNeedState", 440, "needID >= 0");
        if (need >= NUM_CONTROL_NEEDS)
            FatalAssertion("GetNeedState", 441, "needID < NUM_CONTROL_NEEDS");

        for (int slot = 0; slot < MAX_LOCAL_PLAYERS; slot++) {
            if (gControllers[slot].open && gControllers[slot].needStates[need] != KEYSTATE_UP) {
                gLastControllerForNeed[need] = int8_t(slot);
                return gControllers[slot].needStates[need];
            }
        }
        gLastControllerForNeed[need] = -1;
        return gKeyboardNeedStates[need];
    }

    if (player < 0)
        FatalAssertion("GetNeedState", 438, "playerID >= 0");
    if (player >= MAX_LOCAL_PLAYERS)
        FatalAssertion("GetNeedState", 439, "playerID < MAX_LOCAL_PLAYERS");
    if (need < 0)
        FatalAssertion("GetNeedState", 440, "needID >= 0");
    if (need >= NUM_CONTROL_NEEDS)
        FatalAssertion("GetNeedState", 441, "needID < NUM_CONTROL_NEEDS");

    const ControllerSlot& controller = gControllers[player];
    if (controller.open && controller.needStates[need] != KEYSTATE_UP)
        return controller.needStates[need];
    if (player == GetKeyboardPlayer())
        return gKeyboardNeedStates[need];
    return KEYSTATE_UP;
}

float GetNeedAnalogValue(int need, int player)
{
    if (gNeedsScripted)
        return ScriptedNeedAnalog(need, player);
    if (player == -1) {
        player = GetKeyboardPlayer();
        for (int slot = 0; slot < MAX_LOCAL_PLAYERS; slot++) {
            if (need >= 0 && need < NUM_CONTROL_NEEDS && gControllers[slot].open &&
                gControllers[slot].needStates[need] != KEYSTATE_UP) {
                player = slot;
                break;
            }
        }
    }

    if (player < 0)
        FatalAssertion("GetNeedAnalogValue", 492, "playerID >= 0");
    if (player >= MAX_LOCAL_PLAYERS)
        FatalAssertion("GetNeedAnalogValue", 493, "playerID < MAX_LOCAL_PLAYERS");
    if (need < 0)
        FatalAssertion("GetNeedAnalogValue", 494, "needID >= 0");
    if (need >= NUM_CONTROL_NEEDS)
        FatalAssertion("GetNeedAnalogValue", 495, "needID < NUM_CONTROL_NEEDS");

    const ControllerSlot& controller = gControllers[player];
    if (controller.open && controller.needAnalog[need] != 0.0f)
        return controller.needAnalog[need];
    if (player == GetKeyboardPlayer() && IsStateDown(gKeyboardNeedStates[need]))
        return 1.0f;
    return 0.0f;
}

float GetNeedAxis(int negNeed, int posNeed, int player)
{
    float negative = GetNeedAnalogValue(negNeed, player);
    float positive = GetNeedAnalogValue(posNeed, player);
    if (negative > positive)
        return -negative;
    return positive;
}

int GetLastControllerForNeedAnyP(int need)
{
    if (need < 0)
        FatalAssertion("GetLastControllerForNeedAnyP", 465, "needID >= 0");
    if (need >= NUM_CONTROL_NEEDS)
        FatalAssertion("GetLastControllerForNeedAnyP", 466, "needID < NUM_CONTROL_NEEDS");
    return gLastControllerForNeed[need];
}

bool AnySkipPressed()
{
    // While a screen fades in, a press meant for the previous screen must not skip this one.
    if (gFadeLevel < 1.0f)
        return false;

    return GetNeedState(kNeedMenuConfirm, -1) == KEYSTATE_PRESSED ||
           GetNeedState(kNeedMenuBack, -1) == KEYSTATE_PRESSED ||
           GetNeedState(kNeedPause, -1) == KEYSTATE_PRESSED ||
           gMouseStates[kMouseButtonLeft] == KEYSTATE_PRESSED;
}

bool CheatKeysHeld()
{
    static const SDL_Scancode kCheatCombinations[2][3] = {
        {SDL_SCANCODE_B, SDL_SCANCODE_U, SDL_SCANCODE_G},
        {SDL_SCANCODE_C, SDL_SCANCODE_H, SDL_SCANCODE_T},
    };

    for (const auto& combination : kCheatCombinations) {
        bool allHeld = true;
        for (SDL_Scancode key : combination) {
            if (gKeyStates[key] != KEYSTATE_HELD)
                allHeld = false;
        }
        if (allHeld)
            return true;
    }
    return false;
}

void LockAllInputStates()
{
    for (uint8_t& state : gKeyStates)
        state = KEYSTATE_LOCKED;
    for (uint8_t& state : gMouseStates)
        state = KEYSTATE_LOCKED;
    for (uint8_t& state : gKeyboardNeedStates)
        state = KEYSTATE_LOCKED;
    for (ControllerSlot& controller : gControllers) {
        for (uint8_t& state : controller.needStates)
            state = KEYSTATE_LOCKED;
    }
}

void LockNeed(int need)
{
    if (need >= 0 && need < NUM_CONTROL_NEEDS)
        gKeyboardNeedStates[need] = KEYSTATE_LOCKED;
}
