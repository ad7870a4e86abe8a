// What the input files share among themselves; the rest of the game uses System/Input.h.
#pragma once

#include "System/Input.h"

extern uint8_t gKeyStates[NUM_KEY_STATES];
extern uint8_t gMouseStates[NUM_MOUSE_STATES];
extern uint8_t gKeyboardNeedStates[NUM_CONTROL_NEEDS]; // the keyboard-and-mouse state of each need

// Whether each key and mouse button is physically down, as the event queue last reported it.
extern bool gKeyDown[NUM_KEY_STATES];
extern bool gMouseButtonDown[NUM_MOUSE_STATES];

extern SDL_Point gMouseWindowPosition; // pointer position in window coordinates
extern SDL_Point gMouseMotionSum;      // relative motion not yet sampled by GetMouseDelta

// The state machine of every key, button and need: 0 -> 3 -> 1 -> 2 -> 0, and 4 until released.
inline uint8_t AdvanceInputState(uint8_t state, bool downNow)
{
    switch (state) {
    case KEYSTATE_UP:
    case KEYSTATE_RELEASED:
        return downNow ? KEYSTATE_PRESSED : KEYSTATE_UP;
    case KEYSTATE_PRESSED:
    case KEYSTATE_HELD:
        return downNow ? KEYSTATE_HELD : KEYSTATE_RELEASED;
    default: // locked
        return downNow ? KEYSTATE_LOCKED : KEYSTATE_UP;
    }
}

// The player who owns the keyboard and mouse: the last one (player 1 in two-player games).
int GetKeyboardPlayer();

// Recomputes every open slot's need states and analog values from its controller.
void UpdateControllerNeedStates();

// Advances the scripted need states from their held values (scripted play only).
void AdvanceScriptedNeedStates();
