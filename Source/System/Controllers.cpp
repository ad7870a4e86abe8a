// The two game-controller slots, one per local player: opening controllers as they appear,
// closing them as they go, keeping the open ones packed from slot 0, and the explicit swaps.

#include "System/InputLocal.h"

#include "System/Alerts.h"
#include "System/Log.h"

#include <cstring>

ControllerSlot gControllers[MAX_LOCAL_PLAYERS] = {
    {0, 0, nullptr, -1, {}, {}},
    {0, 0, nullptr, -1, {}, {}},
};

static void ClearSlot(ControllerSlot* slot)
{
    std::memset(slot, 0, sizeof(*slot));
    slot->joystickId = -1;
}

int CountOpenControllers()
{
    int count = 0;
    for (const ControllerSlot& slot : gControllers) {
        if (slot.open)
            count++;
    }
    return count;
}

SDL_GameController* GetController(int slot)
{
    if (slot < 0 || slot >= MAX_LOCAL_PLAYERS || !gControllers[slot].open)
        return nullptr;
    return gControllers[slot].controllerInstance;
}

static int FindSlotOfJoystick(SDL_JoystickID instanceID)
{
    for (int i = 0; i < MAX_LOCAL_PLAYERS; i++) {
        if (gControllers[i].open && gControllers[i].joystickId == instanceID)
            return i;
    }
    return -1;
}

SDL_GameController* OpenController(int deviceIndex)
{
    int existing = FindSlotOfJoystick(SDL_JoystickGetDeviceInstanceID(deviceIndex));
    if (existing >= 0)
        return gControllers[existing].controllerInstance;

    if (!SDL_IsGameController(deviceIndex))
        return nullptr;

    int slotIndex = -1;
    for (int i = 0; i < MAX_LOCAL_PLAYERS && slotIndex < 0; i++) {
        if (!gControllers[i].open)
            slotIndex = i;
    }
    if (slotIndex < 0) {
        LogLine(kLogInfo, "All controller slots used up.");
        return nullptr;
    }

    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller)
        return nullptr;

    ControllerSlot* slot = &gControllers[slotIndex];
    ClearSlot(slot);
    SDL_GameControllerSetPlayerIndex(controller, slotIndex);
    slot->open = true;
    slot->controllerInstance = controller;
    slot->rumbleCapable = SDL_GameControllerHasRumble(controller);
    slot->joystickId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));

    const char* name = SDL_GameControllerName(controller);
    LogLine(kLogInfo, "Opened joystick %d as controller: %s", slot->joystickId, name ? name : "");
    gGamepadLastUsed = true;
    return controller;
}

void OpenAllControllers()
{
    // Restart the scan after each open: opening may renumber the device list.
    int deviceIndex = 0;
    while (deviceIndex < SDL_NumJoysticks()) {
        bool alreadyOpen = FindSlotOfJoystick(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0;
        if (SDL_IsGameController(deviceIndex) && !alreadyOpen && OpenController(deviceIndex)) {
            deviceIndex = 0;
            continue;
        }
        deviceIndex++;
    }

    if (SDL_NumJoysticks() != CountOpenControllers()) {
        LogLine(kLogInfo, "Joystick(s) found, but none is suitable as an SDL_GameController.");
    }
}

void CompactControllerSlots()
{
    int writeIndex = 0;
    for (int i = 0; i < MAX_LOCAL_PLAYERS; i++) {
        if (writeIndex > i)
            FatalAssertion("CompactControllerSlots", 889, "writeIndex <= i");
        if (!gControllers[i].open)
            continue;
        if (writeIndex != i) {
            LogLine(kLogInfo, "Remapped player controller %d ---> %d", i, writeIndex);
            gControllers[writeIndex] = gControllers[i];
            ClearSlot(&gControllers[i]);
            SDL_GameControllerSetPlayerIndex(gControllers[writeIndex].controllerInstance, writeIndex);
        }
        writeIndex++;
    }
}

void CloseController(SDL_JoystickID instanceID)
{
    // A controller that never got a slot (a third one) leaves nothing to close.
    int slotIndex = FindSlotOfJoystick(instanceID);
    if (slotIndex < 0)
        return;

    LogLine(kLogInfo, "Joystick %d was removed, was used by controller slot #%d", instanceID, slotIndex);
    ControllerSlot* slot = &gControllers[slotIndex];
    if (!slot->open)
        FatalAssertion("CloseController", 851, "gControllers[controllerSlot].open");
    if (!slot->controllerInstance)
        FatalAssertion("CloseController", 852, "gControllers[controllerSlot].controllerInstance");

    SDL_GameControllerClose(slot->controllerInstance);
    ClearSlot(slot);

    // Keep player 0 on a controller whenever one is left, then take up any waiting controller.
    CompactControllerSlots();
    OpenAllControllers();

    if (CountOpenControllers() == 0)
        gGamepadLastUsed = false;
}

void SwapControllerSlots(int a, int b)
{
    if (a == b || a < 0 || b < 0 || a >= MAX_LOCAL_PLAYERS || b >= MAX_LOCAL_PLAYERS)
        return;

    ControllerSlot saved = gControllers[a];
    gControllers[a] = gControllers[b];
    gControllers[b] = saved;

    if (gControllers[a].controllerInstance)
        SDL_GameControllerSetPlayerIndex(gControllers[a].controllerInstance, a);
    if (gControllers[b].controllerInstance)
        SDL_GameControllerSetPlayerIndex(gControllers[b].controllerInstance, b);
}

void MakeControllerSlotFirst(int slot)
{
    if (slot <= 0)
        return;
    SwapControllerSlots(0, slot);
}
