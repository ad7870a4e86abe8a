// Controller rumble, scaled by the rumble-intensity preference.

#include "System/InputLocal.h"

#include "System/Alerts.h"
#include "System/Prefs.h"

float gPlayerRumbleTime[MAX_LOCAL_PLAYERS];

// Strengths outside 0..1 would overflow SDL's 16-bit motor speeds.
static Uint16 MotorSpeed(float strength, float intensity)
{
    float clamped = strength < 0.0f ? 0.0f : strength > 1.0f ? 1.0f : strength;
    return Uint16(clamped * intensity * 65535.0f);
}

static void RumbleOnePlayer(float low, float high, uint32_t milliseconds, int player, float intensity)
{
    if (player < 0)
        FatalAssertion("Rumble", 814, "playerID >= 0");
    if (player >= MAX_LOCAL_PLAYERS)
        FatalAssertion("Rumble", 815, "playerID < MAX_LOCAL_PLAYERS");

    const ControllerSlot& slot = gControllers[player];
    if (!slot.open || !slot.rumbleCapable || !slot.controllerInstance)
        return;

    SDL_GameControllerRumble(slot.controllerInstance, MotorSpeed(low, intensity), MotorSpeed(high, intensity),
                             Uint32(float(milliseconds) * intensity));
    gPlayerRumbleTime[player] = float(milliseconds) * 0.001f;
}

void Rumble(float lowStrength, float highStrength, uint32_t milliseconds, int player)
{
    if (gPrefs.rumbleIntensity == 0)
        return;
    float intensity = gPrefs.rumbleIntensity * 0.01f;

    if (player == -1) {
        for (int p = 0; p < MAX_LOCAL_PLAYERS; p++)
            RumbleOnePlayer(lowStrength, highStrength, milliseconds, p, intensity);
    } else {
        RumbleOnePlayer(lowStrength, highStrength, milliseconds, player, intensity);
    }
}
