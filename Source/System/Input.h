// Input: named needs (fire, menu-confirm...) bound to keys, gamepad inputs and one mouse input;
// two game-controller slots with hot-plugging, dead zones and rumble; mouse capture. Gameplay code
// never reads raw keys: it asks for needs. PollInput runs once per frame and is the only place
// that pumps SDL's events.
#pragma once

#include <SDL.h>
#include <cstdint>

// The needs, in the order of their binding records in the preferences.
enum
{
    kNeedUp,
    kNeedDown,
    kNeedLeft,
    kNeedRight,
    kNeedFire,
    kNeedDropEgg,
    kNeedPrevWeapon,
    kNeedNextWeapon,
    kNeedBoost,
    kNeedCameraMode,
    kNeedSpare,
    kNeedMenuUp,
    kNeedMenuDown,
    kNeedMenuLeft,
    kNeedMenuRight,
    kNeedMenuConfirm,
    kNeedMenuDelete,
    kNeedMenuStart,
    kNeedMenuBack,
    kNeedPause,
    NUM_CONTROL_NEEDS
};

constexpr int MAX_LOCAL_PLAYERS = 2;
constexpr int MAX_USER_BINDINGS_PER_NEED = 2; // key and gamepad slots the controls menus may edit
constexpr int NUM_KEY_STATES = 512;           // SDL scancodes tracked
constexpr int NUM_MOUSE_STATES = 31;          // mouse inputs 1..30; index 0 is unused

// The state byte of every key, mouse input, need and controller need, advanced once per poll.
enum
{
    KEYSTATE_UP = 0,       // up: next 3 if down
    KEYSTATE_HELD = 1,     // held down: next 2 if up
    KEYSTATE_RELEASED = 2, // went up this frame: next 3 if down, else 0
    KEYSTATE_PRESSED = 3,  // went down this frame: next 1 if down, else 2
    KEYSTATE_LOCKED = 4    // a press already acted on: ignored until released
};

// Mouse inputs: 1..26 are SDL mouse buttons (1 left, 2 middle, 3 right, 4 and 5 the side buttons).
enum
{
    kMouseButtonLeft = 1,
    kMouseButtonMiddle = 2,
    kMouseButtonRight = 3,
    kMouseButton4 = 4,
    kMouseButtonLastReal = 26,
    kMouseWheelLeft = 27,
    kMouseWheelRight = 28,
    kMouseWheelUp = 29,
    kMouseWheelDown = 30
};

// Kinds of gamepad binding slots.
enum
{
    kPadBindingNone = 0,
    kPadBindingButton = 1,   // id = SDL game-controller button
    kPadBindingAxisPlus = 2, // id = SDL game-controller axis pushed positive
    kPadBindingAxisMinus = 3 // ... pushed negative
};

struct PadBinding
{
    uint8_t type; // kPadBinding...
    uint8_t id;
};

// One need's bindings as stored in the preferences (18 bytes, native byte order).
struct InputBinding
{
    int16_t key[4];      // SDL scancodes, 0 = empty; slots 2 and 3 only ever hold defaults
    PadBinding pad[4];   // slots 2 and 3 only ever hold defaults
    uint8_t mouseButton; // 0 none, else a mouse input 1..30
    uint8_t reserved;    // 0
};
static_assert(sizeof(InputBinding) == 18, "binding records are stored in the preferences file");

struct ControllerSlot
{
    uint8_t open;
    uint8_t rumbleCapable;
    SDL_GameController* controllerInstance;
    SDL_JoystickID joystickId; // -1 when closed
    uint8_t needStates[NUM_CONTROL_NEEDS];
    float needAnalog[NUM_CONTROL_NEEDS]; // 0..1
};

extern ControllerSlot gControllers[MAX_LOCAL_PLAYERS];
extern int8_t gLastControllerForNeed[NUM_CONTROL_NEEDS]; // slot of the last any-player answer, -1 keyboard
extern bool gGamepadLastUsed;                            // the last input came from a gamepad
extern bool gMouseMotionNow;                             // the mouse moved during this poll
extern char gTextInput[SDL_TEXTINPUTEVENT_TEXT_SIZE];    // text typed during this poll (UTF-8)
extern float gPlayerRumbleTime[MAX_LOCAL_PLAYERS];       // seconds of rumble last started per player

// The diagnostic display that F8 steps through: 0 off, 1 statistics, 2 also collision boxes,
// 3 also wire frame. Input sets it; the renderer and the object and terrain drawers read it.
constexpr int NUM_DEBUG_MODES = 4;
extern int gDebugMode;

extern const InputBinding kDefaultInputBindings[NUM_CONTROL_NEEDS];

// --- Set-up and the frame poll ---
void SetUpInput(); // forgets the last controllers per need and opens the controllers present
void PollInput();  // pumps SDL's events and advances every state; once per frame

// --- Queries ---
uint8_t QueryKeyState(int scancode);                     // state of a key; 0 for scancodes outside the table
uint8_t GetMouseButtonState(int n);                      // state of mouse input n (1..30); 0 outside
uint8_t GetNeedState(int need, int player);              // player -1: any player
float GetNeedAnalogValue(int need, int player);          // 0..1 strength; player -1: any player
float GetNeedAxis(int negNeed, int posNeed, int player); // -1..1
int GetLastControllerForNeedAnyP(int need);              // slot of the last any-player answer, -1 keyboard
bool AnySkipPressed();                                   // a screen may be skipped
bool CheatKeysHeld();                                    // every key of a cheat combination is held

inline bool IsStateDown(uint8_t state)
{
    return (state & 1) != 0;
}

// --- Scripted play: while on, every need's state and analog value come from the script, for
// every reader of needs; PollInput still pumps the events (closing the window still quits) ---
void SetNeedsScripted(bool on); // off: the devices answer again
bool AreNeedsScripted();
void SetScriptedNeedValue(int player, int need, float value); // 0..1, held from the next poll on

// --- Locks: a screen that opens with a press still down calls these so it does not act twice ---
void LockAllInputStates(); // every key, mouse, need and controller-need state becomes locked
void LockNeed(int need);   // the keyboard-and-mouse state of one need becomes locked

// --- Mouse ---
void SetMouseCapture(bool on);        // window grab and relative mouse mode
SDL_FPoint GetMouseDelta();           // relative motion, sampled at most 60 times a second
SDL_FPoint GetMouseOverlayPosition(); // the pointer in the 2D overlay coordinates

// --- Controllers ---
int CountOpenControllers();
SDL_GameController* GetController(int slot); // null when the slot is closed or out of range
SDL_GameController* OpenController(int deviceIndex);
void CloseController(SDL_JoystickID instanceID);
void CompactControllerSlots();
void OpenAllControllers();
void MakeControllerSlotFirst(int slot); // nothing for slot 0 or a negative slot
void SwapControllerSlots(int a, int b); // nothing when equal or negative
void Rumble(float lowStrength, float highStrength, uint32_t milliseconds, int player); // player -1: all

// --- Default bindings (edit gPrefs) ---
void RestoreDefaultKeys();
void RestoreDefaultPadBindings();   // also sets the rumble intensity to 100
void RestoreDefaultMouseBindings(); // also sets the mouse sensitivity to 100
