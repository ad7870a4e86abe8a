// A fixture for input tests: SDL with the dummy video driver, an empty event queue, every input
// table released, default bindings, one player.
#pragma once

#include "3D/OGL_Support.h"
#include "System/Fades.h"
#include "System/InputLocal.h"
#include "System/Prefs.h"

#include <SDL.h>
#include <cstring>
#include <gtest/gtest.h>

class InputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK | SDL_INIT_EVENTS), 0)
            << SDL_GetError();
        ResetPrefsToDefaults();
        std::memset(gKeyStates, 0, sizeof(gKeyStates));
        std::memset(gMouseStates, 0, sizeof(gMouseStates));
        std::memset(gKeyboardNeedStates, 0, sizeof(gKeyboardNeedStates));
        std::memset(gKeyDown, 0, sizeof(gKeyDown));
        std::memset(gMouseButtonDown, 0, sizeof(gMouseButtonDown));
        gMouseMotionSum = {0, 0};
        gNumPanes = 1;
        gFadeLevel = 1.0f;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    void TearDown() override
    {
        for (int slot = 0; slot < MAX_LOCAL_PLAYERS; slot++) {
            if (gControllers[slot].open)
                SDL_GameControllerClose(gControllers[slot].controllerInstance);
            std::memset(&gControllers[slot], 0, sizeof(ControllerSlot));
            gControllers[slot].joystickId = -1;
        }
        SDL_Quit();
    }

    static void PushKey(SDL_Scancode scancode, bool down)
    {
        SDL_Event event = {};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }

    static void PushMouseButton(int button, bool down)
    {
        SDL_Event event = {};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = uint8_t(button);
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&event);
    }

    static void PushWheel(int x, int y)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.x = x;
        event.wheel.y = y;
        SDL_PushEvent(&event);
    }
};
