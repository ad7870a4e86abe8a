// The need states of each controller slot, read from its buttons and sticks through the bindings.

#include "System/InputLocal.h"

#include "System/Prefs.h"

#include <cstdlib>

// A third of full deflection for flight needs, two thirds for menu needs, so that a stick resting
// slightly off centre neither steers nor scrolls through a menu.
static constexpr int kFlightDeadZone = 10813;
static constexpr int kMenuDeadZone = 21626;
static constexpr int kAxisMax = 32767;

// Strength 0..1 of one gamepad binding on a controller.
static float ReadPadBinding(SDL_GameController* controller, PadBinding binding, int deadZone)
{
    switch (binding.type) {
    case kPadBindingButton:
        return SDL_GameControllerGetButton(controller, SDL_GameControllerButton(binding.id)) ? 1.0f : 0.0f;

    case kPadBindingAxisPlus:
    case kPadBindingAxisMinus: {
        int value = SDL_GameControllerGetAxis(controller, SDL_GameControllerAxis(binding.id));
        bool pushedThisWay = binding.type == kPadBindingAxisPlus ? value > deadZone : value < -deadZone;
        if (!pushedThisWay)
            return 0.0f;
        // -32768 reaches one step further than 32767; keep the strength within 0..1.
        float strength = float(std::abs(value) - deadZone) / float(kAxisMax - deadZone);
        return strength > 1.0f ? 1.0f : strength;
    }

    default:
        return 0.0f;
    }
}

void UpdateControllerNeedStates()
{
    for (ControllerSlot& slot : gControllers) {
        if (!slot.open)
            continue;

        for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
            int deadZone = need < kNeedSpare ? kFlightDeadZone : kMenuDeadZone;
            float strongest = 0.0f;
            for (PadBinding binding : gPrefs.bindings[need].pad) {
                float strength = ReadPadBinding(slot.controllerInstance, binding, deadZone);
                if (strength > strongest)
                    strongest = strength;
            }
            slot.needAnalog[need] = strongest;
            slot.needStates[need] = AdvanceInputState(slot.needStates[need], strongest > 0.0f);
        }
    }
}
