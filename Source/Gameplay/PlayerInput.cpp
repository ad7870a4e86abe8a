// The flight controls: steer and pitch from the needs, and from the mouse for the player who owns it.

#include "Gameplay/Player.h"

#include "System/Input.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"

#include <algorithm>
#include <cmath>

// The mouse value replaces the need value when it pushes harder.
static float StrongerOf(float needValue, float mouseValue)
{
    return std::fabs(mouseValue) > std::fabs(needValue) ? mouseValue : needValue;
}

void UpdatePlayerInputs(int player)
{
    PlayerRecord& record = gPlayers[player];
    float steer = GetNeedAxis(kNeedLeft, kNeedRight, player);
    float pitch = GetNeedAxis(kNeedUp, kNeedDown, player);

    // The keyboard and mouse belong to the last local player; a script replaces every device.
    bool ownsMouse = player == std::min(gNumPanes, MAX_PLAYERS) - 1;
    if (ownsMouse && !AreNeedsScripted()) {
        SDL_FPoint delta = GetMouseDelta();
        float scale = float(gPrefs.mouseSensitivity) * 0.01f * 0.08f;
        steer = StrongerOf(steer, std::clamp(delta.x * scale, -1.0f, 1.0f));
        pitch = StrongerOf(pitch, std::clamp(delta.y * scale, -1.0f, 1.0f));
    }

    record.rawSteer = steer;
    record.rawPitch = pitch;
    if (gPrefs.invertVertical)
        pitch = -pitch;
    record.steer = steer;
    record.pitch = pitch;
}
