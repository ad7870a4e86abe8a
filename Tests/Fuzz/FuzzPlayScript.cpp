// Feeds arbitrary bytes to the play-script reader: whatever it accepts must hold only known needs or
// keyboard keys, players 0 and 1, values from 0 to 1 and frames that never go backwards; whatever it
// refuses must say which line was wrong. Never a crash or an overrun.

#include "System/Input.h"
#include "System/ScriptedPlay.h"

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptEvent> events;
    std::string error;
    if (!ParsePlayScript(text, &events, &error)) {
        if (error.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    int32_t lastFrame = 0;
    for (const ScriptEvent& event : events) {
        bool knownNeed = event.need >= 0 && event.need < NUM_CONTROL_NEEDS && event.scancode == 0;
        bool knownKey = event.need == -1 && event.scancode > 0 && event.scancode < SDL_NUM_SCANCODES;
        bool sound = event.frame >= lastFrame && event.player >= 0 && event.player < MAX_LOCAL_PLAYERS &&
                     (knownNeed || knownKey) && event.value >= 0 && event.value <= 1;
        if (!sound)
            std::abort();
        lastFrame = event.frame;
    }
    return 0;
}
