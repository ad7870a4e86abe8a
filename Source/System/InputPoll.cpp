// The once-per-frame input poll: drains SDL's event queue, then advances the state of every key,
// mouse input and need.
//
// The down-tables follow the key and button events of the queue, the same events SDL builds its
// own keyboard and mouse-button arrays from. Every input therefore passes through one door, and an
// event pushed onto the queue acts exactly like one from the hardware.

#include "System/InputHook.h"
#include "System/InputLocal.h"

#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "System/Window.h"

#include <algorithm>
#include <cstring>
#include <iterator>

uint8_t gKeyStates[NUM_KEY_STATES];
uint8_t gMouseStates[NUM_MOUSE_STATES];
uint8_t gKeyboardNeedStates[NUM_CONTROL_NEEDS];
bool gKeyDown[NUM_KEY_STATES];
bool gMouseButtonDown[NUM_MOUSE_STATES];
SDL_Point gMouseWindowPosition;
SDL_Point gMouseMotionSum;

int8_t gLastControllerForNeed[NUM_CONTROL_NEEDS];
bool gGamepadLastUsed;
bool gMouseMotionNow;
char gTextInput[SDL_TEXTINPUTEVENT_TEXT_SIZE];
int gDebugMode = 0;

static int gWheelSumX; // wheel motion of this poll
static int gWheelSumY;

void SetUpInput()
{
    // A new input session starts with nothing held.
    std::fill(std::begin(gKeyDown), std::end(gKeyDown), false);
    std::fill(std::begin(gMouseButtonDown), std::end(gMouseButtonDown), false);
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++)
        gLastControllerForNeed[need] = -1;
    OpenAllControllers();
}

static void SetKeyDown(SDL_Scancode scancode, bool down)
{
    if (scancode >= 0 && scancode < NUM_KEY_STATES)
        gKeyDown[scancode] = down;
}

static void SetMouseButtonDown(int button, bool down)
{
    if (button >= 1 && button <= kMouseButtonLastReal)
        gMouseButtonDown[button] = down;
}

static void HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        RequestQuit();

    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            RequestQuit();
        break;

    case SDL_TEXTINPUT:
        std::memcpy(gTextInput, event.text.text, sizeof(gTextInput));
        gTextInput[sizeof(gTextInput) - 1] = '\0';
        break;

    case SDL_MOUSEMOTION:
        gMouseMotionNow = true;
        gGamepadLastUsed = false;
        gMouseWindowPosition = {event.motion.x, event.motion.y};
        gMouseMotionSum.x += event.motion.xrel;
        gMouseMotionSum.y += event.motion.yrel;
        break;

    case SDL_KEYDOWN:
        gGamepadLastUsed = false;
        SetKeyDown(event.key.keysym.scancode, true);
        break;

    case SDL_KEYUP:
        SetKeyDown(event.key.keysym.scancode, false);
        break;

    case SDL_MOUSEBUTTONDOWN:
        SetMouseButtonDown(event.button.button, true);
        break;

    case SDL_MOUSEBUTTONUP:
        SetMouseButtonDown(event.button.button, false);
        break;

    case SDL_MOUSEWHEEL:
        gWheelSumX += event.wheel.x;
        gWheelSumY += event.wheel.y;
        gGamepadLastUsed = false;
        break;

    case SDL_JOYBUTTONDOWN:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        gGamepadLastUsed = true;
        break;

    case SDL_CONTROLLERDEVICEADDED:
        OpenController(event.cdevice.which);
        break;

    case SDL_CONTROLLERDEVICEREMOVED:
        CloseController(event.cdevice.which);
        break;

    default:
        break;
    }
}

// Whether mouse input n (a button, or a wheel direction turned during this poll) is down now.
static bool IsMouseInputDownNow(int n)
{
    switch (n) {
    case kMouseWheelUp:
        return gWheelSumY > 0;
    case kMouseWheelDown:
        return gWheelSumY < 0;
    case kMouseWheelLeft:
        return gWheelSumX < 0;
    case kMouseWheelRight:
        return gWheelSumX > 0;
    default:
        return n >= 1 && n <= kMouseButtonLastReal && gMouseButtonDown[n];
    }
}

// A need is down while any of its keys or its mouse input is physically down; a need locked by a
// screen therefore stays locked until every one of them is let go.
static void AdvanceKeyboardNeedStates()
{
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
        const InputBinding& binding = gPrefs.bindings[need];
        bool down = IsMouseInputDownNow(binding.mouseButton);
        for (int16_t key : binding.key) {
            if (key > 0 && key < NUM_KEY_STATES && gKeyDown[key])
                down = true;
        }
        gKeyboardNeedStates[need] = AdvanceInputState(gKeyboardNeedStates[need], down);
    }
}

static void (*gPollHook)() = nullptr;

void SetPollHook(void (*hook)())
{
    gPollHook = hook;
}

void PollInputBetweenFrames()
{
    void (*hook)() = gPollHook;
    gPollHook = nullptr;
    PollInput();
    gPollHook = hook;
}

void PollInput()
{
    if (gPollHook)
        gPollHook();

    // This frame's text, motion flag and wheel motion start empty; the events refill them.
    gTextInput[0] = '\0';
    gMouseMotionNow = false;
    gWheelSumX = 0;
    gWheelSumY = 0;

    // Drain the queue: quit requests, hot-plugged controllers and the raw down-tables.
    SDL_Event event;
    while (SDL_PollEvent(&event))
        HandleEvent(event);

    // Keys first, so that Alt+Enter below sees this frame's edges.
    for (int scancode = 0; scancode < NUM_KEY_STATES; scancode++)
        gKeyStates[scancode] = AdvanceInputState(gKeyStates[scancode], gKeyDown[scancode]);

    // Alt must already be held (state 1) when Return goes down, so that pressing both together does
    // nothing; everything is then locked so the Return cannot also confirm a menu item.
    if (gKeyStates[SDL_SCANCODE_RETURN] == KEYSTATE_PRESSED &&
        (gKeyStates[SDL_SCANCODE_LALT] == KEYSTATE_HELD || gKeyStates[SDL_SCANCODE_RALT] == KEYSTATE_HELD)) {
        ToggleFullscreen();
        LockAllInputStates();
    }

    // F8 steps through the diagnostic displays; the renderer shows whichever is set.
    if (gKeyStates[SDL_SCANCODE_F8] == KEYSTATE_PRESSED)
        gDebugMode = (gDebugMode + 1) % NUM_DEBUG_MODES;

    // Mouse buttons and wheel directions.
    for (int n = 1; n < NUM_MOUSE_STATES; n++)
        gMouseStates[n] = AdvanceInputState(gMouseStates[n], IsMouseInputDownNow(n));

    // The needs of the keyboard and mouse, then those of each controller.
    AdvanceKeyboardNeedStates();
    UpdateControllerNeedStates();
    AdvanceScriptedNeedStates();
}
